#include "reports/word_report.h"

#include "archive/project_file.h"
#include "core/numbers.h"
#include "reports/pagination.h"
#include "reports/report_texts.h"
#include "reports/report_values.h"

namespace acquenza {

namespace {

using namespace report;

const char* const ReportFont = "Century Gothic";
constexpr double FooterFontSize = 9;

std::string Repeat(const char* text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += text;
    }
    return out;
}

// Typed paragraphs that stay on the page where what follows them starts;
// `text` ends its last paragraph.
void TypeKeptWithNext(DocumentBuilder& doc, const std::string& text) {
    doc.SetKeepWithNext(true);
    doc.TypeText(text);
    doc.SetKeepWithNext(false);
}

const std::string& Title(const TitleTexts& titles, TitleField field) {
    return titles[static_cast<std::size_t>(field)];
}

void SymbolTable(DocumentBuilder& doc, const Entry* entries, std::size_t count,
                 const char* firstHeading = "simbolo") {
    TableHandle t = doc.AddTable(static_cast<int>(count) + 1, 2);
    t.SetFontSize(10);
    t.SetCell(1, 1, firstHeading);
    t.SetCell(1, 2, "significato");
    for (std::size_t i = 0; i < count; ++i) {
        t.SetCell(static_cast<int>(i) + 2, 1, entries[i].symbol);
        t.SetCell(static_cast<int>(i) + 2, 2, entries[i].meaning);
    }
}

void TitlePage(DocumentBuilder& doc, const TitleTexts& titles, const Office& office) {
    doc.SetFontName(ReportFont);
    doc.ToggleBold();
    doc.SetFontSize(24);
    doc.TypeText("CALCOLI IDRAULICI\r");
    doc.SetFontSize(14);
    doc.TypeText("(per tronchi di condotte idriche)\r");
    doc.ToggleBold();
    doc.SetFontSize(14);
    doc.TypeText("\r\r\r\rprogetto: " + Title(titles, TitleField::progetto) + "\r\r\r");
    doc.TypeText("località: " + Title(titles, TitleField::localita) + "\r\r\r");
    doc.TypeText("tipologia di studio: " + Title(titles, TitleField::tipostudio));
    doc.TypeText(Repeat("\r", 9));
    doc.TypeText("progettista: " + office.name + "\r");
    doc.TypeText("committente: " + Title(titles, TitleField::committente) + "\r\r");
    doc.TypeText(Title(titles, TitleField::luogo) + ": " + Title(titles, TitleField::data));
    doc.TypeText(Repeat("\r", 12));
    doc.TypeText(office.name + "\r");
    // The page break that ends the title page is the one that opens the
    // criteria below: one break, not two, so no blank page in between.
    doc.TypeText(office.address + "\r");
}

void Criteria(DocumentBuilder& doc) {
    doc.SetFontSize(18);
    doc.TypeText("\f");
    TypeKeptWithNext(doc, "CRITERI DI CALCOLO\r\r");
    doc.SetFontSize(12);
    doc.TypeText(std::string(CriteriaFirst) + "\r");
    doc.TypeText(std::string(CriteriaSecond) + "\r");
    doc.TypeText("\r" + std::string(DarcyFormula) + "\r\r");
    TypeKeptWithNext(doc, "in cui:\r");
    SymbolTable(doc, DarcySymbols.data(), DarcySymbols.size());
    doc.SetFontSize(12);
    doc.TypeText("\r" + std::string(Procedure[0]) + "\r");
    doc.TypeText(std::string(Procedure[1]) + "\r");
    doc.TypeText(std::string(Procedure[2]) + "\r");
}

void FireFlow(DocumentBuilder& doc) {
    doc.SetFontSize(18);
    doc.TypeText("\r\r");
    TypeKeptWithNext(doc, "PORTATA ANTINCENDIO\r\r");
    doc.SetFontSize(12);
    doc.TypeText(std::string(FireIntroduction) + "\r");
    doc.TypeText("\r" + std::string(FireFormula) + "\r\r");
    TypeKeptWithNext(doc, "in cui:\r");
    SymbolTable(doc, FireSymbols.data(), FireSymbols.size());
    doc.SetFontSize(12);
    doc.TypeText("\r" + std::string(FireParagraph) + "\r");
}

void DataRow(TableHandle& t, int row, const SectionTable& sections, int s) {
    const SectionRecord& r = sections.Record(s);
    auto number = [&](Field f) { return FormatHundredths(NumericValue(r[f], f)); };
    const std::string cells[14] = {
        std::to_string(s),
        number(Field::lungh),
        number(Field::quotain),
        number(Field::quotafin),
        number(Field::portun),
        r[Field::abitun].DisplayText(),
        AllowanceCell(r[Field::dotazun]),
        number(Field::portfin),
        r[Field::abitfin].DisplayText(),
        AllowanceCell(r[Field::dotazfin]),
        FormatResult(r[Field::per], 2),
        FormatResult(r[Field::dia], 2),
        FormatResult(r[Field::vel], 2),
        FormatResult(r[Field::sca], 4),
    };
    for (int c = 0; c < 14; ++c) {
        t.SetCell(row, c + 1, cells[c]);
    }
}

void DataAndResults(DocumentBuilder& doc, const Project& project) {
    doc.SetFontSize(18);
    doc.TypeText("\r\r");
    TypeKeptWithNext(doc, "DATI E RISULTATI DEL CALCOLO\r\r");
    doc.SetFontSize(12);
    doc.TypeText(std::string(DataParagraphs[0]) + "\r");
    doc.TypeText(std::string(DataParagraphs[1]) + "\r\r");
    TypeKeptWithNext(doc, "Legenda:\r");
    TableHandle legend = doc.AddTable(16, 2);
    legend.SetFontSize(10);
    legend.SetCell(1, 1, "simbolo");
    legend.SetCell(1, 2, "significato");
    for (std::size_t c = 0; c < DataColumns.size(); ++c) {
        legend.SetCell(static_cast<int>(c) + 2, 1, DataColumns[c].heading);
        legend.SetCell(static_cast<int>(c) + 2, 2, DataColumns[c].legend);
    }
    legend.SetCell(16, 1, FireLegend.symbol);
    legend.SetCell(16, 2, FireLegend.meaning);
    doc.SetFontSize(12);
    doc.TypeText("\r");
    TypeKeptWithNext(doc, "Tabella dei dati e dei risultati:\r");

    const int count = project.enteredSectionCount;
    TableHandle data = doc.AddTable(count + 2, 14);
    data.SetFontSize(8);
    data.SetHeaderRows(2);
    for (std::size_t c = 0; c < DataColumns.size(); ++c) {
        data.SetCell(1, static_cast<int>(c) + 1, DataColumns[c].heading);
        data.SetCell(2, static_cast<int>(c) + 1, DataColumns[c].unit);
        data.SetColumnAlignment(static_cast<int>(c) + 1, Alignment::Right);
    }
    for (int s = 1; s <= count; ++s) {
        DataRow(data, s + 2, project.sections, s);
    }
    doc.TypeText("\r");
}

void Map(DocumentBuilder& doc, const Project& project) {
    doc.SetFontSize(18);
    doc.TypeText("\r\r");
    doc.SetKeepWithNext(true);
    doc.TypeText("MAPPA DELLE PERDITE DI CARICO E DELLE PORTATE\r");
    doc.SetFontSize(12);
    TypeKeptWithNext(doc, "\r");
    doc.TypeText(std::string(MapParagraph) + "\r");
    doc.TypeText("\r");
    TypeKeptWithNext(doc, "Legenda:\r");
    SymbolTable(doc, MapRows.data(), MapRows.size());
    for (int s = 1; s <= project.enteredSectionCount; ++s) {
        doc.SetFontSize(12);
        doc.TypeText("\r\r");
        TypeKeptWithNext(doc, "Tronco n." + SignedText(s) + "\r");
        TableHandle t = doc.AddTable(6, 15);
        t.SetFontSize(8);
        t.SetKeepTogether(true);
        for (int row = 0; row < 6; ++row) {
            t.SetCell(row + 1, 1, MapRows[static_cast<std::size_t>(row)].symbol);
        }
        for (int j = 1; j <= SegmentCount; ++j) {
            const SegmentCell& cell = project.segments.Get(j, s);
            t.SetCell(1, j + 1, std::to_string(j));
            t.SetCell(2, j + 1, FormatHundredths(SegmentAbscissa(project.sections, s, j)));
            t.SetCell(3, j + 1, FormatHundredths(cell.zStart));
            t.SetCell(4, j + 1, FormatHundredths(cell.zEnd));
            t.SetCell(5, j + 1, FormatHundredths(cell.headLoss));
            t.SetCell(6, j + 1, FormatHundredths(cell.flow));
            t.SetColumnAlignment(j + 1, Alignment::Right);
        }
        doc.TypeText("\r");
    }
}

void Closing(DocumentBuilder& doc, const TitleTexts& titles, const Office& office) {
    doc.SetFontSize(12);
    doc.TypeText("\r");
    // The closing lines and the signature stay together on the last page.
    doc.SetKeepWithNext(true);
    doc.TypeText("La presente relazione di stima è composta di n. ");
    doc.InsertPageCountField();
    doc.TypeText(" pagine.\r");
    doc.TypeText("Si allega: " + Title(titles, TitleField::allegati) + "\r\r\r");
    doc.TypeText(Title(titles, TitleField::luogo) + ": " + Title(titles, TitleField::data) +
                 "\r\r\r");
    doc.TypeText("il progettista\r");
    doc.SetKeepWithNext(false);
    // No office set: the line stays blank for the name written by hand.
    doc.TypeText(office.name.empty() ? "" : "(" + office.name + ")");
}

// "pagina X di Y" at the foot of every page after the title page.
Paragraph PageFooter() {
    Paragraph footer;
    footer.alignment = Alignment::Right;
    footer.markFontName = ReportFont;
    footer.markFontSize = FooterFontSize;
    const auto run = [](std::string text) {
        return Run{std::move(text), ReportFont, FooterFontSize, false, false, false};
    };
    footer.runs = {run("pagina "), run("2"), run(" di "), run("1")};
    footer.runs[1].pageNumberField = true;
    footer.runs[3].pageCountField = true;
    return footer;
}

}  // namespace

Document BuildWordReport(const Project& project, const TitleTexts& titles, const Office& office) {
    DocumentBuilder doc;
    TitlePage(doc, titles, office);
    Criteria(doc);
    FireFlow(doc);
    DataAndResults(doc, project);
    Map(doc, project);
    Closing(doc, titles, office);
    doc.SetAllParagraphsAlignment(Alignment::Justified);
    Document document = doc.Finish();
    document.SetFooterAfterFirstPage(PageFooter());
    SettlePageCount(document);
    return document;
}

int SettlePageCount(Document& document) {
    int pages = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const int counted = CountPages(document);
        if (counted == pages) {
            break;
        }
        pages = counted;
        document.SetPageCountText(std::to_string(pages));
    }
    return pages;
}

}  // namespace acquenza
