#include "reports/pagination.h"

#include <gtest/gtest.h>

#include <iostream>
#include <regex>

#include "docx_test_support.h"
#include "reports/docx_writer.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;

Document Typed(std::string_view text, double fontSize = DefaultFontSize) {
    DocumentBuilder b;
    b.SetFontSize(fontSize);
    b.TypeText(text);
    return b.Finish();
}

std::string Lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "Riga del testo numero " + std::to_string(i + 1) + "\r";
    }
    text.pop_back();
    return text;
}

Document TableOf(int rows, int columns, const std::string& text, std::string_view before = "") {
    DocumentBuilder b;
    b.SetFontSize(10);
    b.TypeText(before);
    TableHandle t = b.AddTable(rows, columns);
    for (int r = 1; r <= rows; ++r) {
        for (int c = 1; c <= columns; ++c) {
            t.SetCell(r, c, text);
        }
    }
    return b.Finish();
}

// The expected counts hold for any ordinary font: a 12 pt line is 12 to 16 pt
// high, and a page has 714 pt of text height.
TEST(CountPages, PageBreaksAndLengthDecideThePages) {
    const struct {
        std::string text;
        int pages;
    } cases[] = {
        {"", 1},         {"Una riga", 1},
        {"A\fB\fC", 3},  {"A\f", 2},  // a break at the end still opens a page
        {"A\f\f", 3},    {Lines(30), 1},
        {Lines(60), 2},  {Lines(60) + "\fdopo", 3},
        {Lines(130), 3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountPages(Typed(c.text)), c.pages) << c.text.substr(0, 40);
    }
}

TEST(CountPages, LongParagraphsWrapIntoLines) {
    std::string sentence;
    while (sentence.size() < 6000) {
        sentence += "La portata di punta è ripartita sui nodi della rete secondo le utenze. ";
    }
    // 60 to 100 characters a line: 60 to 100 lines, two pages, in one paragraph.
    EXPECT_EQ(CountPages(Typed(sentence)), 2);
    EXPECT_EQ(CountPages(Typed(sentence.substr(0, 2000))), 1);
}

TEST(CountPages, BlankLinesCountAtTheSizeTheyWereTypedIn) {
    // 26 blank lines: about 390 pt at 12 pt, about 850 pt at 28 pt.
    const std::string blank(25, '\r');
    EXPECT_EQ(CountPages(Typed(blank, 12)), 1);
    EXPECT_EQ(CountPages(Typed(blank, 28)), 2);
}

TEST(CountPages, TablesSpanPagesRowByRow) {
    // 10 pt rows are 12 to 14 pt high: 51 to 59 rows a page.
    EXPECT_EQ(CountPages(TableOf(10, 6, "12,5")), 1);
    EXPECT_EQ(CountPages(TableOf(200, 6, "12,5")), 4);
    EXPECT_EQ(CountPages(TableOf(10, 6, "12,5", "Prima\f")), 2);
    // Text wider than its cell wraps and makes the rows taller.
    const int wrapped = CountPages(TableOf(200, 6, "Tratto principale della rete di Colle Alto"));
    EXPECT_GE(wrapped, 7);
}

TEST(CountPages, TablesNextToEachOtherAreKeptApartByAParagraph) {
    DocumentBuilder one;
    one.SetFontSize(10);
    one.AddTable(100, 3);
    DocumentBuilder many;
    many.SetFontSize(10);
    for (int i = 0; i < 100; ++i) {
        many.AddTable(1, 3);
    }
    // The same 100 rows, but each table followed by its empty paragraph.
    EXPECT_GT(CountPages(many.Finish()), CountPages(one.Finish()));
}

// The count we store is the one LibreOffice arrives at by itself.
TEST(CountPages, AgreesWithLibreOffice) {
    const fs::path folder =
        fs::temp_directory_path() / ("acquenza-docs-office-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);

    Document report = reports_test::SyntheticReport(30);
    const int pages = CountPages(report);
    report.SetPageCountText(std::to_string(pages));
    const fs::path file = folder / "relazione.docx";
    ASSERT_TRUE(WriteDocx(report, file).ok);
    const std::optional<int> officePages = reports_test::LibreOfficePages(file);
    fs::remove_all(folder);
    if (!officePages) {
        GTEST_SKIP() << "LibreOffice or pdfinfo is not installed";
    }
    std::cout << "CountPages " << pages << ", LibreOffice " << *officePages << "\n";
    EXPECT_NEAR(*officePages, pages, 1);
}

}  // namespace
}  // namespace acquenza
