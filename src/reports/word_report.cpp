#include "reports/word_report.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/numbers.h"
#include "core/project_network.h"
#include "reports/column_widths.h"
#include "reports/network_chapter.h"
#include "reports/pagination.h"
#include "reports/pipes_chapter.h"
#include "reports/report_texts.h"
#include "reports/report_values.h"

namespace acquenza {

namespace {

using namespace report;

const char* const ReportFont = "Century Gothic";
constexpr double FooterFontSize = 9;
// Tables of numbers get smaller rather than break a number across lines, but
// not below this.
constexpr double SmallestTableFont = 5;

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
    return TitleText(titles, field);
}

void SymbolTable(DocumentBuilder& doc, const Entry* entries, std::size_t count,
                 const char* firstHeading = "simbolo") {
    TableHandle t = doc.AddTable(static_cast<int>(count) + 1, 2);
    t.SetFontSize(10);
    // A legend is read whole: it goes to the next page rather than split.
    t.SetKeepTogether(true);
    t.SetCell(1, 1, firstHeading);
    t.SetCell(1, 2, "significato");
    for (std::size_t i = 0; i < count; ++i) {
        t.SetCell(static_cast<int>(i) + 2, 1, entries[i].symbol);
        t.SetCell(static_cast<int>(i) + 2, 2, entries[i].meaning);
    }
}

constexpr double TitleSize = 14;
// Long texts are made smaller down to this size; only texts that would not
// leave the title page one page even then go smaller still.
constexpr double SmallestTitleSize = 8;
constexpr double LeastTitleSize = 5;
// Room to spare on the line for a word processor that prints the report's
// font wider than the one measured here.
constexpr double TitleWidthMargin = 1.15;

// The title page's layout: blank lines between its blocks, and how small a
// long text may get. A text too long for its line even at the smallest size
// takes the room of some blank lines, so the title page stays one page.
struct TitleLayout {
    int afterSubtitle = 4;
    int afterProject = 3;
    int afterPlace = 3;
    int beforeDesigner = 9;
    int beforeOffice = 12;
    double smallest = SmallestTitleSize;

    // One blank line fewer, from the widest gap first, then smaller texts;
    // false when nothing is left to give.
    bool Tighten() {
        for (auto [gap, least] : {std::pair{&beforeOffice, 2}, std::pair{&beforeDesigner, 2},
                                  std::pair{&afterSubtitle, 1}, std::pair{&afterProject, 1},
                                  std::pair{&afterPlace, 1}}) {
            if (*gap > least) {
                --*gap;
                return true;
            }
        }
        if (smallest > LeastTitleSize) {
            smallest -= 0.5;
            return true;
        }
        return false;
    }
};

// One line of the title page, made smaller when it would not fit across the
// page (the title boxes take one line each); `gap` blank lines follow it at
// the title page's size.
void TitleLine(DocumentBuilder& doc, const std::string& text, int gap, double smallest) {
    const double wide = TextWidthPoints(text, ReportFont, TitleSize) * TitleWidthMargin;
    const double room = PageTextWidthPoints();
    double size = TitleSize;
    if (wide > room) {
        size = std::max(smallest, std::floor(2 * TitleSize * room / wide) / 2);
    }
    doc.SetFontSize(size);
    doc.TypeText(text + "\r");
    doc.SetFontSize(TitleSize);
    doc.TypeText(Repeat("\r", gap));
}

void TitlePage(DocumentBuilder& doc, const TitleTexts& titles, const Office& office,
               const TitleLayout& layout) {
    const double least = layout.smallest;
    doc.SetFontName(ReportFont);
    doc.ToggleBold();
    doc.SetFontSize(24);
    doc.TypeText("CALCOLI IDRAULICI\r");
    doc.SetFontSize(TitleSize);
    doc.TypeText("(per tronchi di condotte idriche)\r");
    doc.ToggleBold();
    doc.TypeText(Repeat("\r", layout.afterSubtitle));
    TitleLine(doc, "progetto: " + Title(titles, TitleField::progetto), layout.afterProject - 1,
              least);
    TitleLine(doc, "località: " + Title(titles, TitleField::localita), layout.afterPlace - 1,
              least);
    TitleLine(doc, "tipologia di studio: " + Title(titles, TitleField::tipostudio),
              layout.beforeDesigner - 1, least);
    TitleLine(doc, "progettista: " + office.name, 0, least);
    TitleLine(doc, "committente: " + Title(titles, TitleField::committente), 1, least);
    TitleLine(doc, Title(titles, TitleField::luogo) + ": " + Title(titles, TitleField::data),
              layout.beforeOffice - 1, least);
    TitleLine(doc, office.name, 0, least);
    // The page break that ends the title page is the one that opens the
    // criteria below: one break, not two, so no blank page in between.
    TitleLine(doc, office.address, 0, least);
}

// The title page as designed, unless long texts would push it over one page
// (with a few lines to spare for a taller font).
TitleLayout FittedTitleLayout(const TitleTexts& titles, const Office& office) {
    constexpr int SpareLines = 3;
    TitleLayout layout;
    do {
        DocumentBuilder page;
        TitlePage(page, titles, office, layout);
        page.TypeText(Repeat("\r", SpareLines));
        if (CountPages(page.Finish()) <= 1) {
            break;
        }
    } while (layout.Tighten());
    return layout;
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

void DataRow(TableHandle& t, int row, const SectionTable& sections, int s,
             const std::vector<Field>& columns) {
    t.SetCell(row, 1, std::to_string(s));
    for (std::size_t c = 0; c < columns.size(); ++c) {
        t.SetCell(row, static_cast<int>(c) + 2,
                  DataCell(sections, s, columns[c], DataSheet::Report));
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
    const FieldTable& fields = project.Fields();
    const std::vector<Field> columns = ReportedFields(fields);
    const int width = static_cast<int>(columns.size()) + 1;
    TableHandle legend = doc.AddTable(width + 2, 2);
    legend.SetFontSize(10);
    legend.SetKeepTogether(true);
    legend.SetCell(1, 1, "simbolo");
    legend.SetCell(1, 2, "significato");
    legend.SetCell(2, 1, SectionNumberLegend.symbol);
    legend.SetCell(2, 2, SectionNumberLegend.meaning);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const ReportPlace& place = fields.Spec(columns[c]).report;
        legend.SetCell(static_cast<int>(c) + 3, 1, std::string(place.heading));
        legend.SetCell(static_cast<int>(c) + 3, 2, std::string(place.legend));
    }
    legend.SetCell(width + 2, 1, FireLegend.symbol);
    legend.SetCell(width + 2, 2, FireLegend.meaning);
    doc.SetFontSize(12);
    doc.TypeText("\r");
    TypeKeptWithNext(doc, "Tabella dei dati e dei risultati:\r");

    const int count = project.enteredSectionCount;
    TableHandle data = doc.AddTable(count + 2, width);
    data.SetFontSize(8);
    data.SetHeaderRows(2);
    data.SetCell(1, 1, SectionNumberLegend.symbol);
    data.SetCell(2, 1, SectionNumberUnit);
    data.SetColumnAlignment(1, Alignment::Right);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const ReportPlace& place = fields.Spec(columns[c]).report;
        data.SetCell(1, static_cast<int>(c) + 2, std::string(place.heading));
        data.SetCell(2, static_cast<int>(c) + 2, std::string(place.unit));
        data.SetColumnAlignment(static_cast<int>(c) + 2, Alignment::Right);
    }
    for (int s = 1; s <= count; ++s) {
        DataRow(data, s + 2, project.sections, s, columns);
    }
    data.ShrinkToFit(SmallestTableFont);
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
            const SegmentCell& cell = project.sections.Segment(s, j);
            t.SetCell(1, j + 1, std::to_string(j));
            t.SetCell(2, j + 1, FormatHundredths(SegmentAbscissa(project.sections, s, j)));
            t.SetCell(3, j + 1, FormatHundredths(cell.zStart));
            t.SetCell(4, j + 1, FormatHundredths(cell.zEnd));
            t.SetCell(5, j + 1, FormatHundredths(cell.headLoss));
            t.SetCell(6, j + 1, FormatHundredths(cell.flow));
            t.SetColumnAlignment(j + 1, Alignment::Right);
        }
        t.ShrinkToFit(SmallestTableFont);
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

}  // namespace

Document BuildWordReport(const Project& project, const Office& office,
                         const NetworkLimits& officeLimits,
                         std::span<const PipeSeries> catalogues) {
    const TitleTexts& titles = project.titles;
    DocumentBuilder doc;
    TitlePage(doc, titles, office, FittedTitleLayout(titles, office));
    Criteria(doc);
    FireFlow(doc);
    DataAndResults(doc, project);
    if (HasNetwork(project)) {
        TypeNetworkChapter(doc, NetworkChapterOf(project, officeLimits, catalogues), ReportFont);
    }
    Map(doc, project);
    WritePipesChapter(doc, project, catalogues);
    Closing(doc, titles, office);
    doc.SetAllParagraphsAlignment(Alignment::Justified);
    Document document = doc.Finish();
    document.SetFooterAfterFirstPage(PageOfPagesFooter(ReportFont, FooterFontSize, 2));
    SettlePageCount(document);
    return document;
}

Paragraph PageOfPagesFooter(const std::string& fontName, double points, int firstPage) {
    Paragraph footer;
    footer.alignment = Alignment::Right;
    footer.markFontName = fontName;
    footer.markFontSize = points;
    const auto run = [&](std::string text) {
        return Run{std::move(text), fontName, points, false, false, false};
    };
    footer.runs = {run("pagina "), run(std::to_string(firstPage)), run(" di "), run("1")};
    footer.runs[1].pageNumberField = true;
    footer.runs[3].pageCountField = true;
    return footer;
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
