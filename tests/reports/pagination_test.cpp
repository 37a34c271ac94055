#include "reports/pagination.h"

#include <gtest/gtest.h>

#include <functional>
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

// How many of the given blocks fill a page: the largest n whose document is
// still one page.
int PerPage(const std::function<Document(int)>& make) {
    int n = 1;
    while (CountPages(make(n + 1)) == 1) {
        ++n;
    }
    return n;
}

// A document of lines, a table of single-line rows at the lines' size, then
// more lines; `keep` is applied to the table (and to a heading before it).
Document LinesTableLines(int before, int rows, int after, bool keepTogether, int headerRows,
                         bool keptHeading) {
    DocumentBuilder b;
    if (before > 0) {
        b.TypeText(Lines(before) + "\r");
    }
    b.SetKeepWithNext(keptHeading);
    if (keptHeading) {
        b.TypeText("Titolo\r");
    }
    b.SetKeepWithNext(false);
    if (rows > 0) {
        TableHandle t = b.AddTable(rows, 2);
        t.SetKeepTogether(keepTogether);
        t.SetHeaderRows(headerRows);
        for (int r = 1; r <= rows; ++r) {
            t.SetCell(r, 1, std::to_string(r));
        }
    }
    if (after > 0) {
        b.TypeText(Lines(after));
    }
    return b.Finish();
}

// What keeps blocks whole moves them, and what follows, to the next page.
TEST(CountPages, KeptBlocksAndRepeatedHeadingRowsMoveWhatFollows) {
    const int lines = PerPage([](int n) { return Typed(Lines(n)); });
    const int rows = PerPage([](int n) { return LinesTableLines(0, n, 0, false, 0, false); });
    const struct {
        const char* what;
        Document plain;
        Document kept;
    } cases[] = {
        // One line left on page 1: a heading kept with its text goes over.
        {"heading", LinesTableLines(lines - 1, 0, lines, false, 0, false),
         [&] {
             DocumentBuilder b;
             b.TypeText(Lines(lines - 1) + "\r");
             b.SetKeepWithNext(true);
             b.TypeText("Titolo\r");
             b.SetKeepWithNext(false);
             b.TypeText(Lines(lines));
             return b.Finish();
         }()},
        // Three lines left: a table kept together starts on page 2 whole.
        {"table", LinesTableLines(lines - 3, 6, lines - 5, false, 0, false),
         LinesTableLines(lines - 3, 6, lines - 5, true, 0, false)},
        // Two pages of rows: the two heading rows come again on page 2.
        {"heading rows", LinesTableLines(0, 2 * rows, 0, false, 0, false),
         LinesTableLines(0, 2 * rows, 0, false, 2, false)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CountPages(c.plain), 2) << c.what;
        EXPECT_EQ(CountPages(c.kept), 3) << c.what;
    }
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
