#include "reports/other_documents.h"

#include <algorithm>
#include <array>

#include "core/numbers.h"
#include "reports/report_values.h"

namespace acquenza {

namespace {

const char* const DocumentFont = "Century Gothic";

void Heading(DocumentBuilder& doc) {
    doc.SetFontName(DocumentFont);
    doc.SetFontSize(18);
    doc.TypeText("ACQUENZA\r");
    doc.SetFontSize(12);
    doc.TypeText("(calcoli idraulici per tronchi di condotte idriche)\r\r");
}

void FillRows(TableHandle& table, const std::array<const char*, 2>* rows, int count) {
    for (int r = 0; r < count; ++r) {
        table.SetCell(r + 1, 1, rows[r][0]);
        table.SetCell(r + 1, 2, rows[r][1]);
    }
}

}  // namespace

Document BuildTitlePageDocument(const Project& project, const Office& office) {
    DocumentBuilder doc;
    Heading(doc);
    doc.TypeText("FRONTESPIZIO\r");
    TableHandle t = doc.AddTable(10, 2);
    t.SetFontSize(10);
    const char* labels[] = {"progetto",
                            "località",
                            "tipologia di studio",
                            "committente",
                            "luogo della elaborazione",
                            "data della elaborazione",
                            "allegati alla relazione"};
    t.SetCell(1, 1, "tipologia");
    t.SetCell(1, 2, "dati");
    for (const TitleFieldSpec& title : TitleFields) {
        const int row = static_cast<int>(title.field) + 2;
        t.SetCell(row, 1, labels[static_cast<std::size_t>(title.field)]);
        t.SetCell(row, 2, project.titles.*title.text);
    }
    t.SetCell(9, 1, "studio tecnico");
    t.SetCell(9, 2, office.name);
    t.SetCell(10, 1, "indirizzo");
    t.SetCell(10, 2, office.address);
    return doc.Finish();
}

Document BuildDataWindowDocument(const Project& project) {
    static const std::array<const char*, 2> legend[16] = {
        {"colonna", "significato"},
        {"tronco", "numero del tronco della rete dimensionato"},
        {"lungh.", "lunghezza del tronco"},
        {"quota1", "quota iniziale del tronco"},
        {"quota2", "quota finale del tronco"},
        {"port.1", "portata uniforme lungo il tronco"},
        {"abit.1", "numero di residenti serviti lungo il tronco"},
        {"dotaz.1", "dotazione idrica giornaliera per i residenti lungo il tronco"},
        {"port.2", "portata all'estremità finale del tronco"},
        {"abit.2", "numero di residenti serviti dall'estremità del tronco"},
        {"dotaz.2", "dotazione idrica giornaliera per i residenti all'estremità del tronco"},
        {"p.car.", "perdita di carico all'estremità del tronco"},
        {"diam.", "diametro teorico del tubo"},
        {"vel.", "velocità dell'acqua nel tubo"},
        {"scabr.", "coefficiente di scabrezza per il tipo di tubazioni"},
        {"ant.", "calcolo effettuato con la portata antincendio"},
    };
    static const std::array<const char*, 2> headings[14] = {
        {"tronco", "n."},    {"lungh.", "m."},      {"quota1", "m."},      {"quota2", "m."},
        {"port.1", "l/sec"}, {"abit.1", "n."},      {"dotaz.1", "l/abit"}, {"port.2", "l/sec"},
        {"abit.2", "n."},    {"dotaz.2", "l/abit"}, {"p.car.", "m."},      {"diam.", "cm."},
        {"vel.", "m/s"},     {"scabr.", "coeff."},
    };
    DocumentBuilder doc;
    Heading(doc);
    doc.TypeText("DATI E DIMENSIONAMENTO DEllA RETE\r\r");
    doc.TypeText("Progetto: " + project.titles.progetto + "\r\r");
    TableHandle l = doc.AddTable(16, 2);
    l.SetFontSize(10);
    FillRows(l, legend, 16);

    // Every section up to the last one typed, so that a section left
    // without its length does not take those after it off the page.
    const int count = std::max(project.enteredSectionCount, LastSectionWithInput(project.sections));
    TableHandle t = doc.AddTable(count + 2, 14);
    t.SetFontSize(7);
    // A table of 500 sections runs over several pages: each one opens with
    // the column names and units.
    t.SetHeaderRows(2);
    for (int c = 0; c < 14; ++c) {
        t.SetCell(1, c + 1, headings[c][0]);
        t.SetCell(2, c + 1, headings[c][1]);
        t.SetColumnAlignment(c + 1, Alignment::Right);
    }
    const SectionTable& sections = project.sections;
    for (int s = 1; s <= count; ++s) {
        const int row = s + 2;
        auto number = [&](Field f) { return FormatHundredths(NumericValue(sections, s, f)); };
        t.SetCell(row, 1, SignedText(s));
        t.SetCell(row, 2, number(Field::lungh));
        t.SetCell(row, 3, number(Field::quotain));
        t.SetCell(row, 4, number(Field::quotafin));
        t.SetCell(row, 5, number(Field::portun));
        const SectionRecord& r = sections.Record(s);
        t.SetCell(row, 6, ResidentsCell(r[Field::abitun]));
        t.SetCell(row, 7, AllowanceCell(r[Field::dotazun]));
        t.SetCell(row, 8, number(Field::portfin));
        t.SetCell(row, 9, ResidentsCell(r[Field::abitfin]));
        t.SetCell(row, 10, AllowanceCell(r[Field::dotazfin]));
        t.SetCell(row, 11, FormatResult(r[Field::per], 2));
        t.SetCell(row, 12, FormatResult(r[Field::dia], 2));
        t.SetCell(row, 13, FormatResult(r[Field::vel], 2));
        t.SetCell(row, 14, FormatResult(r[Field::sca], 4));
    }
    t.ShrinkToFit(5);
    Document document = doc.Finish();
    document.SetFooterOnEveryPage(PageOfPagesFooter(DocumentFont, 9, 1));
    SettlePageCount(document);
    return document;
}

Document BuildAcquisitionTemplate() {
    static const std::array<const char*, 2> columns[11] = {
        {"tronco", "n."},
        {"lunghezza", "metri"},
        {"quota in.", "metri"},
        {"quota fin.", "metri"},
        {"portata un.", "l/sec"},
        {"abitanti", "numero"},
        {"dot.idrica", "l/abitanti"},
        {"portata es.", "l/sec"},
        {"abitanti", "numero"},
        {"dot.idrica", "l/abitante"},
        {"condotta", "tipo"},
    };
    DocumentBuilder doc;
    Heading(doc);
    doc.TypeText("ACQUISIZIONE DATI DIMENSIONAMENTO DEI TRONCHI\r\r");
    doc.TypeText("Progetto" + std::string(35, '_') + "\r\r");
    doc.TypeText("Tipo di condotta e coefficiente di scabrezza:\r\r");
    TableHandle types = doc.AddTable(3, 3);
    const char* cells[3][3] = {
        {"numero", "tipologia", "valore"}, {"1", "nuova", "0,0025"}, {"2", "in uso", "0,0040"}};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            types.SetCell(r + 1, c + 1, cells[r][c]);
        }
    }
    TableHandle grid = doc.AddTable(42, 11);
    grid.SetFontSize(8);
    for (int c = 0; c < 11; ++c) {
        grid.SetCell(1, c + 1, columns[c][0]);
        grid.SetCell(2, c + 1, columns[c][1]);
    }
    return doc.Finish();
}

}  // namespace acquenza
