// How the documents hold their numbers and pages together: map and data
// columns as wide as their widest value, a title page that stays one page
// whatever the title texts, the data window's document with its heading rows
// and page numbers on every page. Checked on the model with the fonts' real
// metrics, then on what LibreOffice prints.

#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QJsonArray>
#include <QString>
#include <regex>
#include <sstream>

#include "core/numbers.h"
#include "core/section_calculation.h"
#include "docx_test_support.h"
#include "reports/column_widths.h"
#include "reports/docx_writer.h"
#include "reports/other_documents.h"
#include "reports/pagination.h"
#include "reports/report_values.h"
#include "reports/titled_project.h"
#include "reports/word_report.h"

namespace acquenza {
namespace {

using reports_test::Named;
using reports_test::Titled;

namespace fs = std::filesystem;

const Office TestOffice{"Studio Tecnico Rossi", "Via Roma 1 - Perugia"};

TitleTexts TitlesOf(const std::string& text) {
    TitleTexts titles;
    for (const TitleFieldSpec& field : TitleFields) {
        titles.*field.text = text;
    }
    return titles;
}

// Sections whose map holds values of four and five integer digits: lengths
// of a kilometre and more, elevations above 1000 m, flows of 1000 l/s and
// more; and one small section, whose map keeps the usual size.
Project LargeValues() {
    Project p;
    const struct {
        const char *lungh, *quotain, *quotafin, *portun, *portfin;
    } sections[] = {
        {"1000", "1450.5", "1200", "0", "1200,5"},
        {"1450.5", "1200", "1150", "12,5", "1500"},
        {"9999.99", "2800", "1000", "1000", "12345,67"},
        {"70", "100", "95", "0,5", "0,5"},
    };
    int s = 1;
    for (const auto& t : sections) {
        p.sections.Set(s, Field::lungh, FieldValue::Text(t.lungh));
        p.sections.Set(s, Field::quotain, FieldValue::Text(t.quotain));
        p.sections.Set(s, Field::quotafin, FieldValue::Text(t.quotafin));
        p.sections.Set(s, Field::portun, FieldValue::Text(t.portun));
        p.sections.Set(s, Field::portfin, FieldValue::Text(t.portfin));
        p.sections.Set(s, Field::tipoc, FieldValue::Text("in uso"));
        EXPECT_EQ(SettleSection(p, s), CalculationOutcome::Calculated) << s;
        ++s;
    }
    CountEnteredSections(p);
    return p;
}

// Widths in points, shaped by Qt as a whole string (kerning and all), on a
// device of its own: not the measure the column widths were made with.
double PrintedWidth(const Table& t, const std::string& text) {
    QImage device(1, 1, QImage::Format_Mono);
    device.setDotsPerMeterX(94488);  // 2400 dpi
    device.setDotsPerMeterY(94488);
    QFont font(QString::fromStdString(t.fontName));
    font.setPointSizeF(t.fontSize);
    return QFontMetricsF(font, &device).horizontalAdvance(QString::fromStdString(text)) * 72 / 2400;
}

// Every cell of the table fits its column on one line.
void ExpectNoCellWraps(const Table& t, const std::string& name) {
    const std::vector<double> shares = ColumnShares(t);
    const double padding = 2.0 * CellSidePaddingTwips / 20;
    for (int c = 0; c < t.columns; ++c) {
        const double room = shares[static_cast<std::size_t>(c)] * PageTextWidthPoints() - padding;
        for (int r = 0; r < t.rows; ++r) {
            const std::string& text =
                t.cells[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
            EXPECT_LE(PrintedWidth(t, text), room)
                << name << ", row " << r + 1 << ", column " << c + 1 << ": " << text;
        }
    }
}

TEST(ReportLayout, MapAndDataColumnsAreNeverNarrowerThanTheirWidestValue) {
    const Project p = LargeValues();
    const Document report = BuildWordReport(Titled(p, TitlesOf("Rete")), TestOffice);
    ASSERT_EQ(report.TableCount(), 5 + 4);
    ExpectNoCellWraps(report.TableAt(3), "data table");
    for (int s = 1; s <= 4; ++s) {
        const Table& map = report.TableAt(4 + s);
        ExpectNoCellWraps(map, "map of section " + std::to_string(s));
        EXPECT_GE(map.fontSize, 5);
        EXPECT_EQ(map.cells[3][14], FormatHundredths(p.sections.Segment(s, 14).zEnd));
    }
    // Small numbers keep the map's own size; large ones make it smaller.
    EXPECT_EQ(report.TableAt(8).fontSize, 8);
    EXPECT_LT(report.TableAt(7).fontSize, 8);
    EXPECT_EQ(report.TableAt(7).cells[1][14], "9999,99");

    const Document window = BuildDataWindowDocument(Named(p, "Rete"));
    ExpectNoCellWraps(window.TableAt(1), "data window table");
}

// The boxes hold texts of any length; each title line stays one line as long
// as the smallest size allows, and the title page one page whatever the texts.
TEST(ReportLayout, TheTitlePageStaysOnePage) {
    Project p;
    p.sections.Set(1, Field::lungh, FieldValue::Text("100"));
    p.enteredSectionCount = 1;
    for (const std::size_t length : {1u, 40u, 59u, 60u, 61u, 90u, 150u, 400u, 1000u}) {
        SCOPED_TRACE(std::to_string(length) + " characters");
        std::string text;
        while (CharLength(text) < length) {
            text += "Poggio Verde, ";
        }
        while (CharLength(text) > length) {
            text.pop_back();
        }
        const Document report = BuildWordReport(Titled(p, TitlesOf(text)), {text, text});
        std::vector<Block> titlePage;
        for (const Block& block : report.Blocks()) {
            if (std::holds_alternative<PageBreak>(block)) {
                break;
            }
            titlePage.push_back(block);
        }
        EXPECT_EQ(CountPages(Document(titlePage)), 1);
        while (!std::get<Paragraph>(titlePage.back()).HasContent()) {
            titlePage.pop_back();
        }
        ASSERT_EQ(std::get<Paragraph>(titlePage.back()).Text(), text);  // the office address
        if (length <= 60) {
            for (const Block& block : titlePage) {
                const Paragraph& line = std::get<Paragraph>(block);
                if (line.runs.empty()) {
                    continue;
                }
                const acquenza::Run& run = line.runs.front();
                EXPECT_GE(run.fontSize, 8) << line.Text();
                if (line.Text() == text + ": " + text) {
                    continue;  // place and date: two texts on one line may take two
                }
                EXPECT_LE(TextWidthPoints(line.Text(), run.fontName, run.fontSize),
                          PageTextWidthPoints())
                    << line.Text();
            }
        }
    }
}

TEST(ReportLayout, TheDataWindowDocumentNumbersItsPagesAndRepeatsItsHeadings) {
    Project p;
    p.sections.Set(3, Field::portun, FieldValue::Text("1"));  // no length
    for (int s = 1; s <= 500; ++s) {
        if (s != 3) {
            p.sections.Set(s, Field::lungh, FieldValue::Text("100"));
        }
    }
    CountEnteredSections(p);
    const Document d = BuildDataWindowDocument(Named(p, "Rete"));
    const Table& t = d.TableAt(1);
    EXPECT_EQ(t.rows, 502);  // section 3 has its row, and 500 is not lost
    EXPECT_EQ(t.cells[501][0], " 500");
    EXPECT_EQ(t.headerRows, 2);
    ASSERT_TRUE(d.Footer().has_value());
    EXPECT_TRUE(d.FooterOnFirstPage());
    const int pages = CountPages(d);
    EXPECT_GE(pages, 7);
    EXPECT_EQ(d.Footer()->Text(), "pagina 1 di " + std::to_string(pages));

    Project last;
    last.sections.Set(12, Field::tipoc, FieldValue::Text("nuova"));
    EXPECT_EQ(BuildDataWindowDocument(Named(last, "")).TableAt(1).rows, 14);
}

class PrintedLayout : public reports_test::ScratchFolder {};

// A page's lines of pdftotext -layout, page by page.
std::vector<std::string> Pages(const fs::path& pdf) {
    const std::string text =
        reports_test::RunCommand("pdftotext -layout " + reports_test::Quoted(pdf.string()) + " -")
            .value_or("");
    std::vector<std::string> pages;
    std::stringstream in(text);
    for (std::string page; std::getline(in, page, '\f');) {
        pages.push_back(page);
    }
    return pages;
}

// What LibreOffice prints: every map value whole on its row, the title page
// one page with its texts, the data window's pages with their headings and
// numbers. One LibreOffice run converts the three documents.
TEST_F(PrintedLayout, LibreOfficePrintsEveryValueWholeAndEveryPageComplete) {
    const Project large = LargeValues();
    const fs::path report = folder_ / "grande.docx";
    ASSERT_TRUE(WriteDocx(BuildWordReport(Titled(large, TitlesOf("Rete")), TestOffice), report).ok);
    const std::string title60 = "Rete idrica di distribuzione dell'abitato di Poggio Verde WW";
    ASSERT_EQ(title60.size(), 60u);
    const fs::path titled = folder_ / "titoli.docx";
    ASSERT_TRUE(
        WriteDocx(BuildWordReport(Titled(large, TitlesOf(title60)), TestOffice), titled).ok);
    Project many;
    for (int s = 1; s <= 500; ++s) {
        many.sections.Set(s, Field::lungh, FieldValue::Text(std::to_string(s)));
    }
    CountEnteredSections(many);
    Document windowDocument = BuildDataWindowDocument(Named(many, "Rete"));
    const int stated = CountPages(windowDocument);
    const fs::path window = folder_ / "dati.docx";
    ASSERT_TRUE(WriteDocx(windowDocument, window).ok);

    const auto pdfs = reports_test::LibreOfficePdfs({report, titled, window});
    if (!pdfs) {
        GTEST_SKIP() << "LibreOffice or pdfinfo is not installed";
    }
    // Each map row: its name, then its 14 values, on one line.
    const std::vector<std::string> pages = Pages((*pdfs)[0]);
    std::string all;
    for (const std::string& page : pages) {
        all += page;
    }
    for (int s = 1; s <= 4; ++s) {
        for (const auto& [name, value] :
             {std::pair{"q0", &SegmentCell::zStart}, std::pair{"q1", &SegmentCell::zEnd},
              std::pair{"po", &SegmentCell::flow}}) {
            std::string row = std::string("\n") + name;
            for (int j = 1; j <= SegmentCount; ++j) {
                row += " +" + FormatHundredths(large.sections.Segment(s, j).*value);
            }
            EXPECT_TRUE(std::regex_search(all, std::regex(row + " *\n")))
                << "section " << s << ", row " << name;
        }
    }
    const std::vector<std::string> titledPages = Pages((*pdfs)[1]);
    ASSERT_GE(titledPages.size(), 2u);
    EXPECT_NE(titledPages[0].find("Via Roma 1 - Perugia"), std::string::npos) << titledPages[0];
    for (const char* label :
         {"progetto: ", "località: ", "tipologia di studio: ", "committente: "}) {
        EXPECT_NE(titledPages[0].find(label + title60 + "\n"), std::string::npos) << label << "\n"
                                                                                  << titledPages[0];
    }
    EXPECT_EQ(titledPages[1].find_first_not_of(" \n"), titledPages[1].find("CRITERI DI CALCOLO"));

    const std::vector<std::string> windowPages = Pages((*pdfs)[2]);
    ASSERT_EQ(reports_test::PdfPages((*pdfs)[2]), stated);
    for (int n = 1; n <= stated; ++n) {
        const std::string& page = windowPages[static_cast<std::size_t>(n - 1)];
        EXPECT_TRUE(std::regex_search(page, std::regex("\\btronco +lungh\\. +quota1")))
            << "page " << n;
        EXPECT_NE(page.find("pagina " + std::to_string(n) + " di " + std::to_string(stated)),
                  std::string::npos)
            << "page " << n;
    }
}

}  // namespace
}  // namespace acquenza
