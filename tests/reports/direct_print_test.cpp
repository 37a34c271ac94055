#include "reports/direct_print.h"

#include <gtest/gtest.h>

#include <QPageSize>
#include <QPrinter>
#include <QRectF>
#include <algorithm>
#include <cmath>
#include <regex>

#include "core/numbers.h"
#include "core/section_calculation.h"
#include "docx_test_support.h"
#include "recording_printer.h"
#include "reports/prose_lines.h"
#include "reports/qt_printer_device.h"
#include "reports/report_texts.h"
#include "reports/titled_project.h"

namespace acquenza {
namespace {

using reports_test::Named;
using reports_test::Titled;

namespace fs = std::filesystem;
using reports_test::RecordingPrinter;

const Office TestOffice{"Studio Tecnico Rossi", "Via Roma 1 - Perugia"};
const TitleTexts Titles = {"Rete di Colle Alto",   "Colle Alto", "progetto esecutivo",
                           "Comune di Colle Alto", "Perugia",    "martedì, 8 dic 2026",
                           "planimetria"};

Project Sections(int n) {
    Project p;
    for (int s = 1; s <= n; ++s) {
        auto& t = p.sections;
        t.Set(s, Field::lungh, FieldValue::Text("100"));
        t.Set(s, Field::quotain, FieldValue::Text(std::to_string(600 - s)));
        t.Set(s, Field::quotafin, FieldValue::Text(std::to_string(595 - s)));
        t.Set(s, Field::portun, FieldValue::Text("1,5"));
        t.Set(s, Field::abitun, FieldValue::Text("120"));
        t.Set(s, Field::dotazun, FieldValue::Number(250));
        t.Set(s, Field::portfin, FieldValue::Text("2"));
        t.Set(s, Field::abitfin, FieldValue::Text("80"));
        t.Set(s, Field::dotazfin, FieldValue::Text("antincend."));
        t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
        t.Set(s, Field::sca, FieldValue::Number(0.0025));
        CalculateSection(p, s);
    }
    p.enteredSectionCount = n;
    return p;
}

// A page tall enough that only the report's own page rules break it.
RecordingPrinter Printed(Project& p) {
    RecordingPrinter printer(0.01);
    PrintReport(printer, Titled(p, Titles), TestOffice, 12);
    return printer;
}

int PageOf(const RecordingPrinter& printer, const std::string& needle) {
    const RecordingPrinter::Line* line = printer.Find(needle);
    EXPECT_NE(line, nullptr) << needle;
    return line == nullptr ? 0 : line->page;
}

TEST(ProseLines, EveryLineButTheLastIsSixtySixCharacters) {
    using namespace report;
    const struct {
        const char* text;
        std::size_t lines;
    } paragraphs[] = {
        {CriteriaFirst, 4},     {CriteriaSecond, 2},     {Procedure[0], 7},
        {Procedure[1], 5},      {Procedure[2], 3},       {FireParagraph, 9},
        {DataParagraphs[0], 5}, {DataParagraphs[1], 12}, {MapParagraph, 6},
    };
    for (const auto& p : paragraphs) {
        const std::vector<std::string> lines = BreakIntoLines(p.text);
        EXPECT_EQ(lines.size(), p.lines) << p.text;
        std::string joined;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (i + 1 < lines.size()) {
                EXPECT_EQ(CharLength(lines[i]), 66u) << lines[i];
            } else {
                EXPECT_LE(CharLength(lines[i]), 66u);
            }
            EXPECT_NE(lines[i].front(), ' ');
            EXPECT_NE(lines[i].back(), ' ');
            joined += (i ? " " : "") + lines[i];
        }
        // Only blanks were added: the words, in order, are the paragraph's.
        std::string squeezed;
        for (const char c : joined) {
            if (!(c == ' ' && !squeezed.empty() && squeezed.back() == ' ')) {
                squeezed += c;
            }
        }
        EXPECT_EQ(squeezed, p.text);
    }
    EXPECT_EQ(BreakIntoLines("uno due", 66), (std::vector<std::string>{"uno due"}));
    EXPECT_EQ(BreakIntoLines("aaaa bb cc", 8), (std::vector<std::string>{"aaaa  bb", "cc"}));
    EXPECT_EQ(BreakIntoLines(std::string(70, 'x'), 66).size(), 1u);
}

TEST(DirectPrint, DataRowsLineUpTheirSeparators) {
    Project p = Sections(3);
    p.sections.Set(1, Field::lungh, FieldValue::Text("1234.5"));
    p.sections.Set(2, Field::lungh, FieldValue::Text("7"));
    p.sections.Set(3, Field::abitun, FieldValue::Text(""));
    CalculateSection(p, 1);
    const RecordingPrinter printer = Printed(p);

    const RecordingPrinter::Line* row1 = printer.Find("1234.5");
    ASSERT_NE(row1, nullptr);
    EXPECT_EQ(row1->size, 8);
    EXPECT_EQ(row1->text.find("1234.5") + 1, 12u);  // starts in column 12
    EXPECT_EQ(row1->text[16 - 1], '.');
    EXPECT_EQ(row1->text[8 - 1], '1');           // the section number's last digit in column 8
    EXPECT_EQ(row1->text.find("1,5") + 1, 37u);  // the flow's comma in column 38
    EXPECT_EQ(row1->text.substr(81 - 4, 4), "ant.");
    EXPECT_EQ(row1->text.substr(57 - 3, 3), "250");

    const RecordingPrinter::Line* row2 = printer.Find("       2      7");
    ASSERT_NE(row2, nullptr) << "length 7 starts in column 15";

    // The third row: "0" for the empty residents, ending in column 49.
    const std::vector<const RecordingPrinter::Line*> page3 = printer.OnPage(3);
    const RecordingPrinter::Line* row3 = nullptr;
    for (const RecordingPrinter::Line* l : page3) {
        if (l->size == 8 && l->text.size() > 8 && l->text[7] == '3') {
            row3 = l;
        }
    }
    ASSERT_NE(row3, nullptr);
    EXPECT_EQ(row3->text.substr(48, 1), "0");
    EXPECT_EQ(row3->text[47], ' ');
    EXPECT_TRUE(p.sections.Get(3, Field::abitun).IsEmpty());  // printed, not stored
    // A number result: its leading blank puts the separator one column right.
    const std::string per = NumberText(p.sections.Get(3, Field::per).NumberValue());
    EXPECT_EQ(row3->text.substr(87 - IntegerDigits(per) + 1, per.size()), per);
}

TEST(DirectPrint, NoLegendLineRunsOffTheA4Page) {
    Project p = Sections(1);
    const RecordingPrinter r = Printed(p);
    const RecordingPrinter::Line* dotaz2 = r.Find("dotaz.2   = dotazione idrica");
    ASSERT_NE(dotaz2, nullptr);
    const std::size_t index = static_cast<std::size_t>(dotaz2 - r.lines.data());
    const std::string& next = r.lines[index + 1].text;
    EXPECT_EQ(next.find_first_not_of(' '), 5u + 12u);  // under the meaning, column 18
    EXPECT_EQ(dotaz2->text.substr(5) + " " + next.substr(17),
              "dotaz.2   = dotazione idrica giornaliera per i residenti all'estremità del tronco");
    for (const auto& l : r.lines) {
        if (l.size == 12 && l.font == "Courier New") {
            EXPECT_LE(CharLength(l.text), 79u) << l.text;
        }
    }
}

TEST(DirectPrint, TheTableBreaksAsThePageRulesSay) {
    Project p36 = Sections(36);
    const RecordingPrinter r36 = Printed(p36);
    EXPECT_EQ(PageOf(r36, "DATI E RISULTATI DEL CALCOLO"), 3);
    EXPECT_EQ(PageOf(r36, "pagina  3"), 3);
    EXPECT_EQ(PageOf(r36, "MAPPA DELLE PERDITE"), 4);

    Project p37 = Sections(37);
    const RecordingPrinter r37 = Printed(p37);
    const std::vector<const RecordingPrinter::Line*> page4 = r37.OnPage(4);
    ASSERT_GE(page4.size(), 4u);
    EXPECT_NE(page4[0]->text.find("tronco lungh."), std::string::npos);
    EXPECT_NE(page4[1]->text.find("l/sec"), std::string::npos);
    EXPECT_EQ(page4[2]->text, "");
    EXPECT_NE(page4[3]->text.find("MAPPA DELLE PERDITE"), std::string::npos);

    Project p40 = Sections(40);
    const RecordingPrinter r40 = Printed(p40);
    const std::vector<const RecordingPrinter::Line*> page4of40 = r40.OnPage(4);
    ASSERT_GE(page4of40.size(), 7u);
    EXPECT_NE(page4of40[0]->text.find("tronco lungh."), std::string::npos);
    EXPECT_EQ(page4of40[3]->text.substr(6, 2), "38");
    EXPECT_EQ(page4of40[5]->text.substr(6, 2), "40");
    EXPECT_NE(page4of40[6]->text.find("MAPPA DELLE PERDITE"), std::string::npos);
}

TEST(DirectPrint, MapPagesBreakAfterFiveThenEverySeven) {
    Project p = Sections(13);
    const RecordingPrinter r = Printed(p);
    const int first = PageOf(r, "Tronco n. 1 ");
    EXPECT_EQ(PageOf(r, "Tronco n. 5 "), first);
    EXPECT_EQ(PageOf(r, "Tronco n. 6 "), first + 1);
    EXPECT_EQ(PageOf(r, "Tronco n. 12 "), first + 1);
    EXPECT_EQ(PageOf(r, "Tronco n. 13 "), first + 2);
    EXPECT_EQ(PageOf(r, "La presente relazione"), first + 2);
    const RecordingPrinter::Line* map = r.Find("Tronco n. 13 ");
    const RecordingPrinter::Line* as = nullptr;
    for (const auto& l : r.lines) {
        if (l.text.rfind("     as", 0) == 0 && l.page == map->page) {
            as = &l;
        }
    }
    ASSERT_NE(as, nullptr);
    EXPECT_EQ(as->text.substr(5, 2 + 8), "as    7.14");  // 100 m / 14, FormatFixed2 width 8
}

TEST(DirectPrint, EveryPageButTheTitleHasItsFooterAndNoEmptyPageFollows) {
    Project p = Sections(40);
    const RecordingPrinter r = Printed(p);
    EXPECT_TRUE(r.ended);
    const int pages = r.lines.back().page;
    EXPECT_EQ(r.PageNumber(), pages);
    EXPECT_EQ(r.lines.back().text, "pagina  " + std::to_string(pages) + " ");
    for (int page = 2; page <= pages; ++page) {
        int footers = 0;
        for (const RecordingPrinter::Line* l : r.OnPage(page)) {
            footers += l->text.rfind("pagina  ", 0) == 0 ? 1 : 0;
        }
        EXPECT_EQ(footers, 1) << "page " << page;
    }
    EXPECT_EQ(r.OnPage(1).front()->text.find("CALCOLI  IDRAULICI") + 1, 6u);
    EXPECT_EQ(r.OnPage(1).front()->font, "Roman");
    ASSERT_EQ(r.rules.size(), 2u);
    EXPECT_EQ(r.rules[0].y1, 14000);
    EXPECT_EQ(r.rules[1].y1, 15300);
    EXPECT_EQ(r.rules[0].width, 5);
    // The office's name and address stand between the two rules.
    for (const std::string& office : {TestOffice.name, TestOffice.address}) {
        const RecordingPrinter::Line* line = r.Find(std::string(10, ' ') + office);
        ASSERT_NE(line, nullptr) << office;
        EXPECT_GT(line->y, 14000);
        EXPECT_LT(line->y + 16 * 0.01, 15300);
        EXPECT_EQ(line->page, 1);
    }
    const std::string closing =
        "La presente relazione è composta di n. " + std::to_string(pages) + "  pagine.";
    EXPECT_NE(r.Find(closing), nullptr) << closing;
}

TEST(DirectPrint, NothingIsPrintedOverTheFooterOnARealPage) {
    Project p = Sections(120);
    RecordingPrinter r;  // A4-like line heights
    PrintReport(r, Titled(p, Titles), TestOffice, 12);
    for (const auto& l : r.lines) {
        if (l.text.rfind("pagina  ", 0) == 0) {
            EXPECT_EQ(l.y, 16000);
        } else if (l.page > 1) {  // a blank line's room above the footer
            EXPECT_LE(l.y + l.size * 20 * 1.15, 16000 - 12 * 20 * 1.15 + 0.5)
                << "page " << l.page << ": " << l.text;
        }
    }
    // Every row of the table is there once, on whatever page it fell.
    std::vector<int> rows(121, 0);
    for (const auto& l : r.lines) {
        // A data row: the section number ends in column 8, blanks before it.
        const std::string head = l.text.substr(0, 8);
        const std::size_t digits = head.find_first_not_of(' ');
        if (l.size == 8 && l.text.size() > 8 && digits != std::string::npos &&
            head.find_first_not_of("0123456789", digits) == std::string::npos) {
            ++rows[static_cast<std::size_t>(std::stoi(head.substr(digits)))];
        }
    }
    for (int s = 1; s <= 120; ++s) {
        EXPECT_EQ(rows[static_cast<std::size_t>(s)], 1) << s;
    }
}

// On a sheet shorter than the footer's place, the footer moves up to the
// foot of the printable area and the pages end above it.
TEST(DirectPrint, AShortSheetKeepsTheFooterOnThePaper) {
    Project p = Sections(40);
    RecordingPrinter r;
    r.pageHeight = 15440;  // Letter
    PrintReport(r, Titled(p, Titles), TestOffice, 12);
    const double footer = 15440 - 12 * 20 * 1.15;
    for (const auto& l : r.lines) {
        if (l.text.rfind("pagina  ", 0) == 0) {
            EXPECT_DOUBLE_EQ(l.y, footer);
        } else if (l.page > 1) {
            EXPECT_LE(l.y + l.size * 20 * 1.15, footer - 12 * 20 * 1.15 + 0.5) << l.text;
        }
    }
}

TEST(DirectPrint, APrinterFailureStopsThePrint) {
    Project p = Sections(40);
    RecordingPrinter r(0.01);
    r.FailAfter(60);
    PrintReport(r, Titled(p, Titles), TestOffice, 12);
    EXPECT_EQ(r.lines.size(), 60u);
    EXPECT_FALSE(r.ended);
    EXPECT_LE(r.callsAfterFailure, 1);
}

}  // namespace
}  // namespace acquenza

namespace acquenza {
namespace {

using reports_test::Titled;

class PrintedPdf : public reports_test::ScratchFolder {};

// The report through the real printer device, to a PDF read back as text.
TEST_F(PrintedPdf, PagesCarryTheirHeadingsRowsAndFooters) {
    if (!reports_test::FindProgram("pdftotext") || !reports_test::FindProgram("pdfinfo")) {
        GTEST_SKIP() << "poppler-utils is not installed";
    }
    const fs::path pdf = folder_ / "relazione.pdf";
    Project p = Sections(40);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        printer.setPageSize(QPageSize(QPageSize::A4));
        QtPrinterDevice device(printer);
        PrintReport(device, Titled(p, Titles), TestOffice, 12);
        ASSERT_FALSE(device.Failed()) << device.FailureText();
    }
    using reports_test::Quoted;
    const std::optional<std::string> info =
        reports_test::RunCommand("pdfinfo " + Quoted(pdf.string()));
    ASSERT_TRUE(info);
    std::smatch match;
    ASSERT_TRUE(std::regex_search(*info, match, std::regex(R"(Pages:\s+(\d+))")));
    const int pages = std::stoi(match[1]);
    auto page = [&](int n) {
        return reports_test::RunCommand("pdftotext -layout -f " + std::to_string(n) + " -l " +
                                        std::to_string(n) + " " + Quoted(pdf.string()) + " -")
            .value_or("");
    };
    const std::string title = page(1);
    EXPECT_TRUE(std::regex_search(title, std::regex(R"(CALCOLI\s+IDRAULICI)"))) << title;
    EXPECT_NE(title.find("Rete di Colle Alto"), std::string::npos);
    EXPECT_EQ(title.find("pagina"), std::string::npos);
    EXPECT_NE(page(2).find("CRITERI DI CALCOLO"), std::string::npos);
    EXPECT_NE(page(2).find("PORTATA ANTINCENDIO"), std::string::npos);
    // Real font metrics make the criteria a little longer than one A4 page:
    // the rest goes on the next page rather than over the footer.
    int dataPage = 0;
    int mapPage = 0;
    for (int n = 2; n <= pages; ++n) {
        const std::string text = page(n);
        EXPECT_TRUE(std::regex_search(text, std::regex("pagina\\s+" + std::to_string(n) + "\\s")))
            << "page " << n << ":\n"
            << text;
        if (dataPage == 0 && text.find("DATI E RISULTATI DEL CALCOLO") != std::string::npos) {
            dataPage = n;
        }
        if (mapPage == 0 && text.find("MAPPA DELLE PERDITE") != std::string::npos) {
            mapPage = n;
        }
    }
    ASSERT_GE(dataPage, 3);
    EXPECT_GT(mapPage, dataPage);
    const std::string data = page(dataPage);
    EXPECT_NE(data.find("tronco lungh."), std::string::npos);
    EXPECT_TRUE(std::regex_search(
        data, std::regex(R"(\n\s+1\s+100\s+599\s+594\s+1,5\s+120\s+250\s+2\s+80\s+ant\.)")))
        << data;
    EXPECT_TRUE(
        std::regex_search(page(pages), std::regex("La presente relazione è composta di n\\.\\s+" +
                                                  std::to_string(pages) + "\\s+pagine\\.")))
        << page(pages);
}

}  // namespace
}  // namespace acquenza

namespace acquenza {
namespace {

using reports_test::PdfWord;
using reports_test::Titled;

// Forwards to the real device and adds up how far the report's lines move
// down after the title page, footers apart.
class MeasuredDevice final : public ForwardingPrinterDevice {
  public:
    explicit MeasuredDevice(PrinterDevice& d) : ForwardingPrinterDevice(d), d_(d) {}
    void PrintLine(const std::vector<PrintItem>& items) override {
        const double before = d_.CurrentY();
        d_.PrintLine(items);
        const bool footer = !items.empty() && items.front().text == "pagina ";
        if (d_.PageNumber() > 1 && !footer) {
            height += d_.CurrentY() - before;
        }
    }

    double height = 0;

  private:
    PrinterDevice& d_;
};

// A page's words gathered into lines, top to bottom, each left to right.
std::vector<std::vector<PdfWord>> LinesOf(std::vector<PdfWord> words) {
    std::sort(words.begin(), words.end(), [](const PdfWord& a, const PdfWord& b) {
        return std::abs(a.yMin - b.yMin) > 0.5 ? a.yMin < b.yMin : a.xMin < b.xMin;
    });
    std::vector<std::vector<PdfWord>> lines;
    for (const PdfWord& w : words) {
        if (lines.empty() || std::abs(lines.back().front().yMin - w.yMin) > 0.5) {
            lines.emplace_back();
        }
        lines.back().push_back(w);
    }
    return lines;
}

bool IsDataRow(const std::vector<PdfWord>& line) {
    const std::string& first = line.front().text;
    return line.size() >= 8 && line.front().yMax - line.front().yMin < 10 &&
           first.find_first_not_of("0123456789") == std::string::npos;
}

// What the first block of a page needs on the page before, in points; zero
// where the page rules start the page whatever room was left (a section
// heading, the closing).
double FirstBlockHeight(const std::vector<std::vector<PdfWord>>& lines) {
    const auto height = [](const std::vector<PdfWord>& l) { return l[0].yMax - l[0].yMin; };
    const std::string& first = lines[0][0].text;
    if (first == "tronco" && lines.size() > 2) {
        return height(lines[2]);  // a row; the header lines come with every page
    }
    if (first == "Tronco") {
        for (const auto& l : lines) {
            // The block, and the three blank lines before it: at the body
            // size after the legend, at the rows' size after another block.
            if (l[0].text == "po") {
                const bool firstBlock = lines[0].back().text == "1";
                return l[0].yMax - lines[0][0].yMin + 3 * height(firstBlock ? lines[0] : l);
            }
        }
    }
    if (height(lines[0]) > 15 || first == "La") {
        return 0;
    }
    return height(lines[0]);
}

// The report through the real printer device on A4 and Letter, read back
// word by word with where each word stands on the sheet.
TEST_F(PrintedPdf, PagesFillToTheFooterWithWholeBlocks) {
    if (!reports_test::FindProgram("pdftotext")) {
        GTEST_SKIP() << "poppler-utils is not installed";
    }
    const struct {
        int sections;
        QPageSize::PageSizeId paper;
    } cases[] = {{12, QPageSize::A4},
                 {37, QPageSize::A4},
                 {40, QPageSize::A4},
                 {122, QPageSize::A4},
                 {500, QPageSize::A4},
                 {40, QPageSize::Letter},
                 // The map's heading does not fit under the table's last row.
                 {160, QPageSize::A4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.sections) + " sections" +
                     (c.paper == QPageSize::Letter ? ", Letter" : ", A4"));
        const fs::path pdf = folder_ / ("relazione-" + std::to_string(c.sections) + ".pdf");
        const Project p = Sections(c.sections);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        printer.setPageSize(QPageSize(c.paper));
        int pages = 0;
        double lines = 0;
        {
            QtPrinterDevice device(printer);
            MeasuredDevice measured(device);
            PrintReport(measured, Titled(p, Titles), TestOffice, 12);
            ASSERT_FALSE(device.Failed()) << device.FailureText();
            pages = device.PageNumber();
            lines = measured.height;
        }
        const QRectF area = printer.pageLayout().paintRectPoints();
        const auto words = reports_test::PdfWords(pdf);
        ASSERT_EQ(words.size(), static_cast<std::size_t>(pages));

        double usable = 0;
        double room = 0;  // left at the foot of the page before
        for (int n = 1; n <= pages; ++n) {
            SCOPED_TRACE("page " + std::to_string(n));
            for (const PdfWord& w : words[static_cast<std::size_t>(n - 1)]) {
                EXPECT_GE(w.xMin, area.left() - 0.5) << w.text;
                EXPECT_LE(w.xMax, area.right() + 0.5) << w.text;
                EXPECT_LE(w.yMax, area.bottom() + 0.5) << w.text;
            }
            if (n == 1) {
                continue;
            }
            std::vector<std::vector<PdfWord>> page =
                LinesOf(words[static_cast<std::size_t>(n - 1)]);
            ASSERT_GE(page.size(), 2u);
            const std::vector<PdfWord> footer = page.back();
            page.pop_back();
            ASSERT_EQ(footer[0].text, "pagina");
            ASSERT_EQ(footer.back().text, std::to_string(n));
            // Lines end a blank line above the footer; they start 1000 twips down.
            const double bottom = footer[0].yMin - (footer[0].yMax - footer[0].yMin);
            usable = bottom - area.top() - 50;
            for (const auto& line : page) {
                EXPECT_LE(line[0].yMax, bottom + 0.5) << line[0].text;
            }
            if (n > 2) {
                const double needed = FirstBlockHeight(page);
                EXPECT_TRUE(needed == 0 || room < needed)
                    << room << " pt left on the page before, " << needed << " needed by "
                    << page[0][0].text << " " << page[0].back().text;
            }
            room = bottom - page.back()[0].yMax;

            for (const auto& line : page) {
                const std::string& first = line[0].text;
                if (first == "CRITERI" || first == "PORTATA" || first == "DATI" ||
                    first == "MAPPA") {
                    EXPECT_GT(line[0].yMax - line[0].yMin, 18) << first;  // 18 pt headings
                }
            }
            const bool dataHeading = std::any_of(page.begin(), page.end(),
                                                 [](const auto& l) { return l[0].text == "DATI"; });
            if (!dataHeading && std::any_of(page.begin(), page.end(), IsDataRow)) {
                EXPECT_EQ(page[0][0].text, "tronco");
                EXPECT_EQ(page[1][0].text, "n.");
            }
            for (std::size_t i = 0; i < page.size(); ++i) {
                if (page[i][0].text != "Tronco") {
                    continue;
                }
                std::string rows;
                for (std::size_t j = i + 1; j < page.size() && j <= i + 6; ++j) {
                    rows += page[j][0].text + " ";
                }
                EXPECT_EQ(rows, "tr as q0 q1 pc po ") << page[i].back().text;
            }
        }
        const double ideal = lines / 20 / usable;
        EXPECT_GE(pages - 1, std::ceil(ideal - 0.01)) << ideal;
        EXPECT_LE(pages - 1, std::ceil(1.1 * ideal)) << ideal;
        const std::string last =
            reports_test::RunCommand("pdftotext -layout -f " + std::to_string(pages) + " " +
                                     reports_test::Quoted(pdf.string()) + " -")
                .value_or("");
        EXPECT_TRUE(std::regex_search(
            last, std::regex("composta di n\\.\\s+" + std::to_string(pages) + "\\s+pagine")))
            << last;
    }
}

}  // namespace
}  // namespace acquenza
