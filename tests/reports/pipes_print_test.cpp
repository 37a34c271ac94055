// The pipes laid and their bill in the direct print: the same texts as the
// word-processor report's chapter, their tables within the printable width
// with every figure whole on one line, and nothing of them for a project
// that lays no pipes.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/numbers.h"
#include "core/pipe_catalogue.h"
#include "core/project_network.h"
#include "core/section_calculation.h"
#include "reports/direct_print.h"
#include "reports/pipes_chapter.h"
#include "reports/recording_printer.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;
using reports_test::RecordingPrinter;

const Office TestOffice{"Studio Tecnico Rossi", "Via Roma 1 - Perugia"};

// A main from the source splitting in two at every end (section s fed by
// s / 2), `count` sections in all,
// each calculated; the source stands 30 m above the main's start.

Project Network(int count, bool linked = true) {
    Project p;
    for (int s = 1; s <= count; ++s) {
        auto& t = p.sections;
        int depth = 0;  // 3 m down from one end to the next
        for (int up = s; up > 1; up /= 2) {
            ++depth;
        }
        t.Set(s, Field::lungh, FieldValue::Text(std::to_string(200 + 35 * s)));
        t.Set(s, Field::quotain, FieldValue::Text(std::to_string(300 - 3 * depth)));
        t.Set(s, Field::quotafin, FieldValue::Text(std::to_string(297 - 3 * depth)));
        t.Set(s, Field::portun, FieldValue::Text("0,5"));
        t.Set(s, Field::portfin, FieldValue::Text(s == 1 ? "6" : "1,5"));
        t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
        t.Set(s, Field::sca, FieldValue::Number(0.0025));
        if (linked) {
            t.Set(s, LinkField, UpstreamValue(t, s / 2));
        }
    }
    p.enteredSectionCount = count;
    if (linked) {
        p.network.sourceHead = "330";
        SettleNetwork(p);
    }
    for (int s = 1; s <= count; ++s) {
        CalculateSection(p, s);
    }
    return p;
}

class PipesPrint : public ::testing::Test {
  protected:
    void SetUp() override {
        catalogues = LoadCatalogues({fs::path(ACQUENZA_RESOURCES_DIR) / "tubazioni"});
        ASSERT_TRUE(catalogues.errors.empty());
    }
    RecordingPrinter Print(const Project& p, double width, bool withCatalogues = true) {
        RecordingPrinter printer;
        printer.pageWidth = width;
        PrintReport(printer, p, TestOffice, 12, {},
                    withCatalogues ? std::span<const PipeSeries>(catalogues.series)
                                   : std::span<const PipeSeries>());
        return printer;
    }
    CatalogueSet catalogues;
};

std::size_t IndexOf(const RecordingPrinter& printer, const std::string& needle,
                    std::size_t from = 0) {
    for (std::size_t i = from; i < printer.lines.size(); ++i) {
        if (printer.lines[i].text.find(needle) != std::string::npos) {
            return i;
        }
    }
    ADD_FAILURE() << needle;
    return printer.lines.size();
}

// On A4 and on printers with ever wider margins, for a small network and one
// whose bill lists many sections on one pipe: every cell of both tables is
// printed whole (a figure never split) on a line of its own row, every table
// line within the printable width, after the map and before the closing.
TEST_F(PipesPrint, EveryFigureOfTheChapterPrintsWholeWithinThePrintableWidth) {
    for (const int count : {4, 40}) {
        Project p = Network(count);
        p.network.series = "PE100 SDR11 PN16";
        ASSERT_TRUE(HasPipesChapter(p));
        const PipesChapter chapter = PipesChapterOf(p, catalogues.series);
        ASSERT_EQ(chapter.pipeRows.size(), static_cast<std::size_t>(count));
        ASSERT_FALSE(chapter.billRows.empty());
        for (const double width : {11500.0, 9000.0, 7000.0}) {
            SCOPED_TRACE(std::to_string(count) + " tronchi, larghezza " + std::to_string(width));
            const RecordingPrinter printer = Print(p, width);
            const std::size_t start = IndexOf(printer, "TUBAZIONI POSATE");
            const std::size_t bill = IndexOf(printer, "COMPUTO DELLE TUBAZIONI");
            const std::size_t closing = IndexOf(printer, "La presente relazione");
            ASSERT_LT(IndexOf(printer, "MAPPA DELLE PERDITE"), start);
            ASSERT_LT(start, bill);
            ASSERT_LT(bill, closing);
            for (std::size_t i = start; i < closing; ++i) {
                const RecordingPrinter::Line& line = printer.lines[i];
                if (line.size < 10) {  // the tables' lines
                    EXPECT_LE(static_cast<double>(CharLength(line.text)) * line.size * 12, width)
                        << line.text;
                }
            }
            // Each row's cells, in order, on the lines from its first cell on.
            const auto rowPrinted = [&](const std::vector<std::string>& cells, std::size_t from,
                                        std::size_t to) {
                // The row starts a line with its first word.
                const std::string first = cells[0].substr(0, cells[0].find(' '));
                std::size_t at = from;
                while (at < to) {
                    const std::string& text = printer.lines[at].text;
                    const std::size_t lead = text.find_first_not_of(' ');
                    if (lead != std::string::npos && text.compare(lead, first.size(), first) == 0 &&
                        (text.size() == lead + first.size() || text[lead + first.size()] == ' ')) {
                        break;
                    }
                    ++at;
                }
                std::string text;
                for (std::size_t i = at; i < std::min(to, at + 4); ++i) {
                    text += printer.lines[i].text + "\n";
                }
                for (const std::string& cell : cells) {
                    if (cell.find(' ') == std::string::npos ||
                        cell.find(" / ") != std::string::npos) {
                        EXPECT_NE(text.find(cell), std::string::npos) << cell << " in\n" << text;
                    }
                }
                return at;
            };
            std::size_t at = IndexOf(printer, "(bar)") + 1;
            for (const std::vector<std::string>& row : chapter.pipeRows) {
                at = rowPrinted(row, at, bill) + 1;
            }
            ASSERT_LT(at, bill);
            at = IndexOf(printer, "Materiale") + 1;
            for (const std::vector<std::string>& row : chapter.billRows) {
                at = rowPrinted(row, at, closing) + 1;
            }
            ASSERT_LE(at, closing);
            EXPECT_NE(printer.Find(chapter.pressureCaption.substr(0, 30)), nullptr);
        }
    }
}

// The columns line up: in the pipe table every figure of a right-aligned
// column ends in the column where its heading ends.
TEST_F(PipesPrint, TheFiguresOfAColumnEndUnderItsHeading) {
    Project p = Network(6);
    p.network.series = "PE100 SDR11 PN16";
    const RecordingPrinter printer = Print(p, 11500);
    // The printed column just after `needle`'s last character on `line`.
    const auto endColumn = [](const std::string& line, const std::string& needle,
                              std::size_t from = std::string::npos) {
        const std::size_t at = line.rfind(needle, from);
        EXPECT_NE(at, std::string::npos) << needle << " in " << line;
        return at == std::string::npos ? 0 : CharLength(line.substr(0, at + needle.size()));
    };
    const std::size_t top = IndexOf(printer, "Tronco", IndexOf(printer, "TUBAZIONI POSATE"));
    const std::size_t units = IndexOf(printer, "(bar)", top);
    const std::size_t pnEnd = endColumn(printer.lines[units].text, "(bar)");
    const std::size_t sectionEnd = endColumn(printer.lines[top].text, "Tronco");
    const PipesChapter chapter = PipesChapterOf(p, catalogues.series);
    std::size_t at = units;
    for (const std::vector<std::string>& row : chapter.pipeRows) {
        while (++at < printer.lines.size() &&
               printer.lines[at].text.rfind(
                   std::string(sectionEnd - row[0].size(), ' ') + row[0] + " ", 0) != 0) {
        }
        ASSERT_LT(at, printer.lines.size()) << row[0];
        const std::string& line = printer.lines[at].text;
        ASSERT_FALSE(row[6].empty());
        // The PN is the figure before the pressures, which end the line.
        const std::size_t pressures = line.rfind(row[7]);
        ASSERT_NE(pressures, std::string::npos) << line;
        EXPECT_EQ(endColumn(line, " " + row[6] + " ", pressures) - 1, pnEnd) << line;
        EXPECT_EQ(endColumn(line, row[7]), CharLength(line)) << line;
    }
}

// A project that lays no pipes prints line for line as it did without the
// catalogues; one with pipes differs from it only from the chapter on.
TEST_F(PipesPrint, AProjectWithoutPipesPrintsAsBefore) {
    for (const bool network : {true, false}) {
        const Project p = Network(5, network);
        ASSERT_FALSE(HasPipesChapter(p));
        const RecordingPrinter with = Print(p, 11500);
        const RecordingPrinter without = Print(p, 11500, false);
        ASSERT_EQ(with.lines.size(), without.lines.size());
        for (std::size_t i = 0; i < with.lines.size(); ++i) {
            EXPECT_EQ(with.lines[i].text, without.lines[i].text);
            EXPECT_EQ(with.lines[i].page, without.lines[i].page);
        }
        EXPECT_EQ(with.Find("TUBAZIONI"), nullptr);
    }
}

}  // namespace
}  // namespace acquenza
