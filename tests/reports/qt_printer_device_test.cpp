#include "reports/qt_printer_device.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QFontInfo>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>
#include <csignal>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "docx_test_support.h"

namespace acquenza {
namespace {

using reports_test::FindProgram;
using reports_test::Quoted;
using reports_test::RunCommand;
namespace fs = std::filesystem;

using Item = PrintItem;

TEST(NumberItemText, BlankForTheSignThenOneAfter) {
    EXPECT_EQ(NumberItemText(12), " 12 ");
    EXPECT_EQ(NumberItemText(-3), "-3 ");
    EXPECT_EQ(NumberItemText(9.77), " 9,77 ");
    EXPECT_EQ(NumberItemText(-0.5), "-0,5 ");
    EXPECT_EQ(NumberItemText(0), " 0 ");
    EXPECT_EQ(NumberItemText(-0.0), " 0 ");
}

TEST(PrinterFonts, ReportFontsMapToInstalledLookAlikes) {
    for (const char* name : {"Courier New", "courier new"}) {
        const QFontInfo mono(QtPrinterDevice::FontFor(name, 10));
        EXPECT_TRUE(mono.fixedPitch()) << name << " -> " << mono.family().toStdString();
        EXPECT_TRUE(mono.family() == "Liberation Mono" || mono.family() == "DejaVu Sans Mono")
            << mono.family().toStdString();
    }
    const QFont roman = QtPrinterDevice::FontFor("Roman", 12);
    const QFontInfo romanInfo(roman);
    EXPECT_FALSE(romanInfo.fixedPitch());
    EXPECT_TRUE(romanInfo.family() == "Liberation Serif" || romanInfo.family() == "DejaVu Serif")
        << romanInfo.family().toStdString();
    EXPECT_DOUBLE_EQ(roman.pointSizeF(), 12);

    const QFont other = QtPrinterDevice::FontFor("Century Gothic", 9);
    EXPECT_EQ(other.family(), "Century Gothic");
    EXPECT_DOUBLE_EQ(other.pointSizeF(), 9);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

// Margins of one inch, so the printable area starts at 72 pt on the page.
constexpr double MarginPt = 72;

class QtPrinterDeviceTest : public reports_test::ScratchFolder {
  protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        if (!FindProgram("pdftotext") || !FindProgram("pdfinfo") || !FindProgram("pdffonts") ||
            !FindProgram("pdftoppm")) {
            GTEST_SKIP() << "poppler-utils is not installed";
        }
        pdf_ = folder_ / "stampa.pdf";
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(QString::fromStdString(pdf_.string()));
        printer_.setPageSize(QPageSize(QPageSize::A4));
        printer_.setPageMargins(QMarginsF(25.4, 25.4, 25.4, 25.4), QPageLayout::Millimeter);
    }

    // Page 1: columns and numbers in Courier New 10. Page 2: placed lines in
    // Roman 12. Page 3: ruled lines. Returns the last page number.
    int PrintSample() {
        QtPrinterDevice device(printer_);
        PrinterDevice& p = device;
        EXPECT_FALSE(p.Failed()) << p.FailureText();
        EXPECT_EQ(p.PageNumber(), 1);
        p.SetFont("Courier New", 10);
        p.PrintLine({Item::Words("Tratto"), Item::TabTo(16), Item::Words("Portata"),
                     Item::TabTo(45), Item::Words("12,50")});
        p.PrintLine({Item::TabTo(16), Item::Value(3.5), Item::Value(-2), Item::Words("l/s")});
        p.PrintLine({Item::Words("ABCDEFGHIJ"), Item::TabTo(5), Item::Words("K")});
        p.PrintLine({Item::Words("A"), Item::Spaces(3), Item::Words("B")});
        // Ten columns in from the left edge; the tab still counts from the edge.
        p.SetPosition(1200, p.CurrentY());
        p.PrintLine({Item::Words("X"), Item::TabTo(16), Item::Words("Y")});

        p.NewPage();
        EXPECT_EQ(p.PageNumber(), 2);
        EXPECT_EQ(p.CurrentY(), 0);
        p.SetFont("Roman", 12);
        p.SetPosition(1440, 2880);
        p.PrintLine({Item::Words("Alto")});
        secondLineTwips_ = p.CurrentY();
        p.SetFontSize(14);
        p.PrintLine({Item::Words("Località servita")});

        p.NewPage();
        p.SetFont("Courier New", 10);
        p.PrintLine({Item::Words("Ultima pagina")});
        // Three dots thick, one inch below the top of the printable area.
        p.DrawLine(0, 1440, 2880, 1440, 3);
        // One dot thick, two inches from the left.
        p.DrawLine(2880, 2880, 2880, 5760, 1);
        p.EndDocument();
        EXPECT_FALSE(p.Failed()) << p.FailureText();
        return p.PageNumber();
    }

    // The text of each page, as pdftotext lays it out with a fixed pitch of
    // Courier New 10 (6.01 pt).
    std::vector<std::string> Pages() {
        const std::optional<std::string> text =
            RunCommand("pdftotext -fixed 6.01 " + Quoted(pdf_.string()) + " -");
        std::vector<std::string> pages;
        std::stringstream in(text.value_or(""));
        std::string page;
        while (std::getline(in, page, '\f')) {
            pages.push_back(page);
        }
        return pages;
    }

    QPrinter printer_{QPrinter::HighResolution};
    fs::path pdf_;
    double secondLineTwips_ = 0;
};

TEST_F(QtPrinterDeviceTest, PagesEndWithTheLastPrintedOneInMonoAndSerif) {
    const int pages = PrintSample();
    EXPECT_EQ(pages, 3);
    const std::optional<std::string> info = RunCommand("pdfinfo " + Quoted(pdf_.string()));
    ASSERT_TRUE(info);
    EXPECT_NE(info->find("Pages:           " + std::to_string(pages) + "\n"), std::string::npos)
        << *info;

    const std::vector<std::string> text = Pages();
    ASSERT_GE(text.size(), 3u);
    EXPECT_NE(text[0].find("Tratto"), std::string::npos);
    EXPECT_EQ(text[0].find("Alto"), std::string::npos);
    EXPECT_NE(text[1].find("Alto"), std::string::npos);
    EXPECT_NE(text[1].find("Località"), std::string::npos);
    EXPECT_NE(text[2].find("Ultima pagina"), std::string::npos);

    const std::optional<std::string> fonts = RunCommand("pdffonts " + Quoted(pdf_.string()));
    ASSERT_TRUE(fonts);
    const bool liberation = fonts->find("LiberationMono") != std::string::npos;
    EXPECT_TRUE(liberation || fonts->find("DejaVuSansMono") != std::string::npos) << *fonts;
    EXPECT_NE(fonts->find(liberation ? "LiberationSerif" : "DejaVuSerif"), std::string::npos)
        << *fonts;
    // The header, its rule and one line per font: a changed size keeps the family.
    EXPECT_EQ(Lines(*fonts).size(), 4u) << *fonts;
}

TEST_F(QtPrinterDeviceTest, ColumnsCountFromTheLeftEdge) {
    PrintSample();
    const std::vector<std::string> pages = Pages();
    ASSERT_FALSE(pages.empty());
    std::vector<std::string> lines = Lines(pages[0]);
    ASSERT_EQ(lines.size(), 5u) << pages[0];
    // The margin comes out as leading blanks; column 1 is where "Tratto" starts.
    const std::size_t edge = lines[0].find("Tratto");
    ASSERT_NE(edge, std::string::npos);
    for (std::string& line : lines) {
        ASSERT_GE(line.size(), edge) << line;
        line.erase(0, edge);
    }
    EXPECT_EQ(lines[0],
              "Tratto" + std::string(9, ' ') + "Portata" + std::string(22, ' ') + "12,50");
    EXPECT_EQ(lines[0].size(), 49u);
    // A number has a blank before it unless negative, and one after.
    EXPECT_EQ(lines[1], std::string(16, ' ') + "3,5 -2 l/s");
    EXPECT_EQ(lines[2], "ABCDEFGHIJK");
    EXPECT_EQ(lines[3], "A   B");
    EXPECT_EQ(lines[4], std::string(10, ' ') + "X" + std::string(4, ' ') + "Y");
}

// The top left corner of each word on a page, in points from the top left
// of the sheet.
std::map<std::string, std::pair<double, double>> WordCorners(const fs::path& pdf, int page) {
    std::map<std::string, std::pair<double, double>> corners;
    const auto pages = reports_test::PdfWords(pdf);
    if (page >= 1 && static_cast<std::size_t>(page) <= pages.size()) {
        for (const reports_test::PdfWord& w : pages[static_cast<std::size_t>(page - 1)]) {
            corners[w.text] = {w.xMin, w.yMin};
        }
    }
    return corners;
}

TEST_F(QtPrinterDeviceTest, PositionIsTheTopLeftOfTheLineInsideTheMargins) {
    PrintSample();
    const auto words = WordCorners(pdf_, 2);
    ASSERT_TRUE(words.count("Alto") && words.count("Località")) << words.size();
    // SetPosition(1440, 2880): one inch and two inches into the printable area;
    // the top of the text box, not its baseline, is at the position.
    EXPECT_NEAR(words.at("Alto").first, MarginPt + 72, 0.3);
    EXPECT_NEAR(words.at("Alto").second, MarginPt + 144, 0.6);
    // The next line starts where CurrentY said, back at the left edge.
    EXPECT_NEAR(words.at("Località").first, MarginPt, 0.3);
    EXPECT_NEAR(words.at("Località").second, MarginPt + secondLineTwips_ / 20, 0.6);
}

// Total darkness (1 a black pixel) of a strip of page 3 rendered at 600 dpi,
// one pixel wide or tall, and where along the strip its middle is, in pixels
// from the page's edge.
std::pair<double, double> DarkAlong(const fs::path& pdf, int x, int y, int w, int h) {
    const fs::path stem = pdf.parent_path() / "striscia";
    RunCommand("pdftoppm -r 600 -gray -singlefile -f 3 -l 3 -x " + std::to_string(x) + " -y " +
               std::to_string(y) + " -W " + std::to_string(w) + " -H " + std::to_string(h) + " " +
               Quoted(pdf.string()) + " " + Quoted(stem.string()));
    std::ifstream in(stem.string() + ".pgm", std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    in >> magic >> width >> height >> maxValue;
    in.get();
    const std::string grey{std::istreambuf_iterator<char>(in), {}};
    EXPECT_EQ(grey.size(), static_cast<std::size_t>(w) * h) << magic;
    double sum = 0;
    double moment = 0;
    for (std::size_t i = 0; i < grey.size(); ++i) {
        const double dark = 1 - static_cast<unsigned char>(grey[i]) / 255.0;
        sum += dark;
        moment += dark * (static_cast<double>(i) + 0.5);
    }
    return {sum, (w == 1 ? y : x) + moment / sum};
}

TEST_F(QtPrinterDeviceTest, RuledLinesAreDotsOfA600DpiPrinter) {
    PrintSample();
    // Rendered at 600 dpi a dot is a pixel, and the printable area starts one
    // inch (600 pixels) in. Across the horizontal line, past the text above:
    const auto [thick, row] = DarkAlong(pdf_, 600 + 900, 0, 1, 3000);
    EXPECT_NEAR(thick, 3, 0.3);
    EXPECT_NEAR(row, 600 + 600, 0.5);
    // Across the vertical line, below the horizontal one.
    const auto [thin, column] = DarkAlong(pdf_, 0, 600 + 1500, 3000, 1);
    EXPECT_NEAR(thin, 1, 0.3);
    EXPECT_NEAR(column, 600 + 1200, 0.5);
}

TEST_F(QtPrinterDeviceTest, LinesAdvanceByTheFontHeight) {
    QtPrinterDevice device(printer_);
    PrinterDevice& p = device;
    p.SetFont("Courier New", 10);
    p.SetPosition(500, 1000);
    p.PrintLine({Item::Words("uno")});
    const double line = p.CurrentY() - 1000;
    // A line is a little taller than the font size (200 twips).
    EXPECT_GT(line, 200);
    EXPECT_LT(line, 280);
    p.PrintLine({});
    EXPECT_NEAR(p.CurrentY() - 1000, 2 * line, 1e-9);
    EXPECT_NEAR(p.LineHeight(10), line, 1e-9);
    // Measuring prints nothing and moves nothing: columns of 6 pt in
    // Courier New 10, from the left edge.
    EXPECT_NEAR(p.LineEnd({Item::TabTo(16), Item::Words("ab"), Item::Value(7)}), 20 * 6 * 20, 10);
    EXPECT_NEAR(p.CurrentY() - 1000, 2 * line, 1e-9);
    // The printable area inside margins of one inch, on an A4 sheet of
    // 595 x 842 pt.
    EXPECT_NEAR(p.PageWidth(), 20 * (595 - 144), 1);
    EXPECT_NEAR(p.PageHeight(), 20 * (842 - 144), 1);
    p.SetFontSize(20);
    p.PrintLine({Item::Words("due")});
    EXPECT_NEAR(p.CurrentY() - 1000 - 2 * line, 2 * line, 0.1 * line);
    EXPECT_NEAR(p.LineHeight(20), 2 * line, 0.1 * line);
    p.EndDocument();
    EXPECT_FALSE(p.Failed());
    EXPECT_EQ(p.PageNumber(), 1);
}

TEST_F(QtPrinterDeviceTest, FailureToStartStopsEverything) {
    const fs::path missing = folder_ / "manca" / "stampa.pdf";
    printer_.setOutputFileName(QString::fromStdString(missing.string()));
    QtPrinterDevice device(printer_);
    PrinterDevice& p = device;
    ASSERT_TRUE(p.Failed());
    EXPECT_NE(p.FailureText().find("Impossibile"), std::string::npos) << p.FailureText();
    EXPECT_NE(p.FailureText().find(missing.string()), std::string::npos) << p.FailureText();
    p.SetFont("Roman", 12);
    p.SetPosition(100, 100);
    p.PrintLine({Item::Words("niente"), Item::Value(1)});
    p.DrawLine(0, 0, 100, 100, 2);
    p.NewPage();
    p.EndDocument();
    EXPECT_EQ(p.PageNumber(), 1);
    EXPECT_EQ(p.CurrentY(), 0);
    EXPECT_TRUE(p.Failed());
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(QtPrinterDeviceTest, APdfPrintThatFailsMidwayIsReportedAndTheFileLeftToItsOwner) {
    // The disk fills up on page 10 or so, for root as for anyone.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit capped = old;
    capped.rlim_cur = 20000;
    setrlimit(RLIMIT_FSIZE, &capped);
    bool failed = false;
    {
        QtPrinterDevice device(printer_);
        PrinterDevice& p = device;
        p.SetFont("Courier New", 10);
        for (int page = 1; page <= 40 && !p.Failed(); ++page) {
            for (int line = 0; line < 50; ++line) {
                p.PrintLine({Item::Words("Tronco n. " + std::to_string(page)), Item::TabTo(20),
                             Item::Value(line * 1.25)});
            }
            p.NewPage();
        }
        p.EndDocument();
        failed = p.Failed();
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(failed);
    // The device removes no file it did not make: PrintOn's work file is
    // removed by PrintOn, a file named by the caller is the caller's.
    EXPECT_TRUE(fs::exists(pdf_));
}

}  // namespace
}  // namespace acquenza
