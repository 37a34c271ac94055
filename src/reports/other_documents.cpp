#include "reports/other_documents.h"

#include <algorithm>
#include <array>

#include "core/numbers.h"
#include "reports/report_texts.h"
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
    const FieldTable& fields = project.Fields();
    const std::vector<Field> columns = ReportedFields(fields);
    const int width = static_cast<int>(columns.size()) + 1;
    DocumentBuilder doc;
    Heading(doc);
    doc.TypeText("DATI E DIMENSIONAMENTO DEllA RETE\r\r");
    doc.TypeText("Progetto: " + project.titles.progetto + "\r\r");
    TableHandle l = doc.AddTable(width + 2, 2);
    l.SetFontSize(10);
    l.SetCell(1, 1, "colonna");
    l.SetCell(1, 2, "significato");
    l.SetCell(2, 1, report::SectionNumberLegend.symbol);
    l.SetCell(2, 2, report::SectionNumberLegend.meaning);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const ReportPlace& place = fields.Spec(columns[c]).report;
        l.SetCell(static_cast<int>(c) + 3, 1, place.heading);
        l.SetCell(static_cast<int>(c) + 3, 2,
                  place.sheetLegend.empty() ? place.legend : place.sheetLegend);
    }
    l.SetCell(width + 2, 1, report::FireLegend.symbol);
    l.SetCell(width + 2, 2, report::FireLegend.meaning);

    // Every section up to the last one typed, so that a section left
    // without its length does not take those after it off the page.
    const int count = std::max(project.enteredSectionCount, LastSectionWithInput(project.sections));
    TableHandle t = doc.AddTable(count + 2, width);
    t.SetFontSize(7);
    // A table of 500 sections runs over several pages: each one opens with
    // the column names and units.
    t.SetHeaderRows(2);
    t.SetCell(1, 1, report::SectionNumberLegend.symbol);
    t.SetCell(2, 1, report::SectionNumberUnit);
    t.SetColumnAlignment(1, Alignment::Right);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const ReportPlace& place = fields.Spec(columns[c]).report;
        t.SetCell(1, static_cast<int>(c) + 2, place.heading);
        t.SetCell(2, static_cast<int>(c) + 2, place.unit);
        t.SetColumnAlignment(static_cast<int>(c) + 2, Alignment::Right);
    }
    for (int s = 1; s <= count; ++s) {
        const int row = s + 2;
        t.SetCell(row, 1, SignedText(s));
        for (std::size_t c = 0; c < columns.size(); ++c) {
            t.SetCell(row, static_cast<int>(c) + 2,
                      DataCell(project.sections, s, columns[c], DataSheet::DataWindow));
        }
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
