// The direct print on printers with wide margins: every line inside the
// printable width, the table and the map in a smaller font where 8 points do
// not fit, and each legend kept on one page.

#include <gtest/gtest.h>

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QRectF>
#include <regex>
#include <sstream>

#include "core/numbers.h"
#include "core/section_calculation.h"
#include "docx_test_support.h"
#include "recording_printer.h"
#include "reports/direct_print.h"
#include "reports/qt_printer_device.h"
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

// n sections; every fifth one with values of four and five integer digits.
Project Sections(int n) {
    Project p;
    for (int s = 1; s <= n; ++s) {
        auto& t = p.sections;
        const bool large = s % 5 == 0;
        t.Set(s, Field::lungh, FieldValue::Text(large ? "9999.5" : "100"));
        t.Set(s, Field::quotain, FieldValue::Text(large ? "2800" : std::to_string(600 - s)));
        t.Set(s, Field::quotafin, FieldValue::Text(large ? "1000" : std::to_string(595 - s)));
        t.Set(s, Field::portun, FieldValue::Text("1,5"));
        t.Set(s, Field::abitun, FieldValue::Text("120"));
        t.Set(s, Field::dotazun, FieldValue::Number(250));
        t.Set(s, Field::portfin, FieldValue::Text(large ? "12345,5" : "2"));
        t.Set(s, Field::abitfin, FieldValue::Text("80"));
        t.Set(s, Field::dotazfin, FieldValue::Text("antincend."));
        t.Set(s, Field::tipoc, FieldValue::Text("in uso"));
        EXPECT_EQ(SettleSection(p, s), CalculationOutcome::Calculated) << s;
    }
    p.enteredSectionCount = n;
    return p;
}

// An A4 sheet's printable width with equal side margins, in twips.
double PrintableWidth(double marginMm) {
    return (210 - 2 * marginMm) * 1440 / 25.4;
}

TEST(DirectPrintWidth, EveryLineFitsThePrintableWidth) {
    const Project p = Sections(12);
    for (const double margin : {4.0, 6.35, 15.0, 25.0}) {
        SCOPED_TRACE(std::to_string(margin) + " mm margins");
        RecordingPrinter printer;
        printer.pageWidth = PrintableWidth(margin);
        PrintReport(printer, Titled(p, Titles), TestOffice, 12);
        ASSERT_TRUE(printer.ended);
        int rows = 0;
        double rowSize = 0;
        for (const RecordingPrinter::Line& line : printer.lines) {
            if (line.page == 1) {
                continue;  // the title page's font is not the fixed-pitch one
            }
            EXPECT_LE(static_cast<double>(CharLength(line.text)) * line.size * 12,
                      printer.pageWidth + 0.5)
                << line.size << " pt: " << line.text;
            // A data row: its section number ends in column 8, and every
            // column is there, the roughness last.
            if (line.size < 9 && line.text.size() > 8 && line.text[7] >= '0' &&
                line.text[7] <= '9' && line.text.find("ant.") != std::string::npos) {
                ++rows;
                rowSize = line.size;
                EXPECT_TRUE(line.text.ends_with(" 0,004 ")) << line.text;
            }
        }
        EXPECT_EQ(rows, 12);
        // 8 points where the lines fit (up to about 4 mm), smaller beyond.
        if (margin <= 4) {
            EXPECT_EQ(rowSize, 8);
        } else {
            EXPECT_LT(rowSize, 8);
            EXPECT_GE(rowSize, 4);
        }
        EXPECT_LE(printer.rules.front().x2, printer.pageWidth);
    }
}

// The page of the first line holding `from` (after `after`) and of the
// first holding `to` after it.
std::pair<int, int> PagesOf(const std::vector<std::pair<int, std::string>>& lines,
                            const std::string& after, const std::string& from,
                            const std::string& to) {
    std::size_t i = 0;
    while (i < lines.size() && lines[i].second.find(after) == std::string::npos) {
        ++i;
    }
    while (i < lines.size() && lines[i].second.find(from) == std::string::npos) {
        ++i;
    }
    std::size_t j = i;
    while (j < lines.size() && lines[j].second.find(to) == std::string::npos) {
        ++j;
    }
    if (j >= lines.size()) {
        return {-1, -2};
    }
    return {lines[i].first, lines[j].first};
}

void ExpectLegendsWhole(const std::vector<std::pair<int, std::string>>& lines, int sections) {
    const auto [dataFrom, dataTo] =
        PagesOf(lines, "DATI E RISULTATI", "Legenda:", "ant.      = calcolo");
    EXPECT_EQ(dataFrom, dataTo) << "the table's legend splits with " << sections << " sections";
    const auto [mapFrom, mapTo] =
        PagesOf(lines, "MAPPA DELLE PERDITE", "Legenda:", "po = portata d'acqua");
    EXPECT_EQ(mapFrom, mapTo) << "the map's legend splits with " << sections << " sections";
}

TEST(DirectPrintWidth, LegendsStayWholeWhateverTheSectionCount) {
    std::vector<int> counts;
    for (int n = 1; n <= 160; ++n) {
        counts.push_back(n);
    }
    counts.insert(counts.end(), {300, 450, 500});
    for (const int n : counts) {
        const Project p = Sections(n);
        RecordingPrinter printer;
        PrintReport(printer, Titled(p, Titles), TestOffice, 12);
        std::vector<std::pair<int, std::string>> lines;
        for (const RecordingPrinter::Line& l : printer.lines) {
            lines.emplace_back(l.page, l.text);
        }
        ExpectLegendsWhole(lines, n);
    }
}

// Forwards to the real device and notes the page of every line.
class PagedLines final : public ForwardingPrinterDevice {
  public:
    explicit PagedLines(PrinterDevice& d) : ForwardingPrinterDevice(d), d_(d) {}
    void PrintLine(const std::vector<PrintItem>& items) override {
        lines.emplace_back(d_.PageNumber(), RecordingPrinter::Compose(items));
        d_.PrintLine(items);
    }
    std::vector<std::pair<int, std::string>> lines;

  private:
    PrinterDevice& d_;
};

class PrintedWidth : public reports_test::ScratchFolder {};

TEST_F(PrintedWidth, TheRealPrinterKeepsLegendsWhole) {
    for (const int n : {60, 61, 62, 63, 64, 65, 66, 140, 300, 450}) {
        const Project p = Sections(n);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString((folder_ / "legenda.pdf").string()));
        printer.setPageSize(QPageSize(QPageSize::A4));
        QtPrinterDevice device(printer);
        PagedLines paged(device);
        PrintReport(paged, Titled(p, Titles), TestOffice, 12);
        ASSERT_FALSE(device.Failed()) << device.FailureText();
        ExpectLegendsWhole(paged.lines, n);
    }
}

// A printer with the usual quarter-inch margins: pdftotext finds every word
// inside the printable area, and every column of every row and map line.
TEST_F(PrintedWidth, QuarterInchMarginsShowEveryColumn) {
    if (!reports_test::FindProgram("pdftotext")) {
        GTEST_SKIP() << "poppler-utils is not installed";
    }
    for (const double margin : {6.35, 15.0}) {
        SCOPED_TRACE(std::to_string(margin) + " mm margins");
        const fs::path pdf = folder_ / "margini.pdf";
        const Project p = Sections(20);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        printer.setPageSize(QPageSize(QPageSize::A4));
        ASSERT_TRUE(printer.setPageMargins(QMarginsF(margin, margin, margin, margin),
                                           QPageLayout::Millimeter));
        {
            QtPrinterDevice device(printer);
            PrintReport(device, Titled(p, Titles), TestOffice, 12);
            ASSERT_FALSE(device.Failed()) << device.FailureText();
        }
        const QRectF area = printer.pageLayout().paintRectPoints();
        const auto pages = reports_test::PdfWords(pdf);
        ASSERT_GE(pages.size(), 5u);
        for (std::size_t n = 0; n < pages.size(); ++n) {
            for (const reports_test::PdfWord& w : pages[n]) {
                EXPECT_GE(w.xMin, area.left() - 0.5) << "page " << n + 1 << ": " << w.text;
                EXPECT_LE(w.xMax, area.right() + 0.5) << "page " << n + 1 << ": " << w.text;
            }
        }
        const std::string text = reports_test::RunCommand("pdftotext -layout " +
                                                          reports_test::Quoted(pdf.string()) + " -")
                                     .value_or("");
        int rows = 0;
        int mapLines = 0;
        std::stringstream in(text);
        for (std::string line; std::getline(in, line);) {
            std::stringstream words(line);
            std::vector<std::string> tokens;
            for (std::string w; words >> w;) {
                tokens.push_back(w);
            }
            if (tokens.size() > 9 && std::regex_match(tokens[0], std::regex("\\d+")) &&
                tokens[9] == "ant.") {
                ++rows;
                EXPECT_EQ(tokens.size(), 14u) << line;
                EXPECT_EQ(tokens.back(), "0,004") << line;
            }
            if (tokens.size() > 1 && (tokens[0] == "q0" || tokens[0] == "po") && tokens[1] != "=") {
                ++mapLines;
                EXPECT_EQ(tokens.size(), 15u) << line;
            }
        }
        EXPECT_EQ(rows, 20);
        EXPECT_EQ(mapLines, 40);
    }
}

}  // namespace
}  // namespace acquenza
