// A field that exists only in this test, described once in a project's table
// of fields: the grid shows and takes it, the history undoes it, the data
// file keeps it and reads it back, the summary's spreadsheet file exports it
// — with no other line of the program naming it.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/archive_commands.h"
#include "app/fakes.h"
#include "app/network_summary.h"
#include "app/undo_commands.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;

// The depth the pipe is laid at, as a later version might add it: a number
// of the section, saved as an eleventh value of its line.
const Field Depth = static_cast<Field>(StandardFieldCount);

FieldSpec DepthSpec() {
    FieldSpec spec;
    spec.field = Depth;
    spec.name = "profondita";
    spec.label = "profondità di posa";
    spec.kind = FieldKind::Number;
    spec.storage = Storage::SectionLine;
    spec.position = 10;
    spec.screen = {"profondità", "metri", "profondità di posa della condotta", 9400, 600};
    spec.summary = {110, "Profondità di posa (m)", "Profondità\n(m)", 2};
    return spec;
}

class DescribedField : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
        state.project = Project(layout);
        folder = fs::temp_directory_path() / ("acquenza-campo-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    DataWindowModel& grid() { return windows.LoadDataWindow(); }

    void TypeSection(int row) {
        for (const auto& [f, text] :
             std::vector<std::pair<Field, std::string>>{{Field::lungh, "250"},
                                                        {Field::quotain, "120"},
                                                        {Field::quotafin, "115"},
                                                        {Field::portun, "1.5"},
                                                        {Field::portfin, "2"},
                                                        {Depth, "1.2"}}) {
            grid().TypeInBox(row, f, text);
            grid().LeaveBox(row, f);
        }
        grid().PickPipeType(row, "nuova");
    }

    const FieldTable layout = StandardFields().With(DepthSpec());
    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::FakeWindows windows{state, dialogs};
    fs::path folder;
};

TEST_F(DescribedField, IsShownTypedUndoneSavedReadBackAndExported) {
    TypeSection(1);
    // The grid: a box in every row, judged as a number of its own name.
    EXPECT_EQ(grid().BoxText(1, Depth), "1.2");
    EXPECT_EQ(state.project.sections.Get(1, Depth), FieldValue::Text("1.2"));
    grid().TypeInBox(2, Depth, "x");
    EXPECT_EQ(dialogs.LastText(),
              "Tronco n. 2: nella casella «profondità di posa» si può digitare solo un numero.");
    EXPECT_EQ(grid().BoxText(2, Depth), "");

    // The history: its own step, undone and done again.
    grid().TypeInBox(1, Depth, "1.5");
    grid().LeaveBox(1, Depth);
    EXPECT_EQ(state.history.UndoName(), "profondità di posa del tronco n. 1");
    UndoCommands(state, windows).Undo();
    EXPECT_EQ(state.project.sections.Get(1, Depth), FieldValue::Text("1.2"));
    EXPECT_EQ(grid().BoxText(1, Depth), "1.2");
    UndoCommands(state, windows).Redo();
    EXPECT_EQ(grid().BoxText(1, Depth), "1.5");

    // The file: the eleventh value of the section's line, read back whole.
    const std::string file = (folder / "Acquenza-dati-campo").string();
    windows.LoadTitlePage().TypeInField(TitleField::progetto, "Rete");
    dialogs.files = {file};
    ArchiveCommands(state, dialogs, windows, WindowId::dati).Save();
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(bytes.substr(0, bytes.find("\r\n\"Rete\"")),
              "1\r\n\"250\",\"120\",\"115\",\"1,5\",,,\"2\",,,\"nuova\",\"1.5\"");

    ProgramState other;
    other.project = Project(layout);
    testing::FakeDialogs otherDialogs;
    testing::FakeWindows otherWindows(other, otherDialogs);
    ASSERT_TRUE(ArchiveCommands(other, otherDialogs, otherWindows, WindowId::dati).OpenFile(file));
    EXPECT_TRUE(otherDialogs.shown.empty()) << otherDialogs.LastText();  // no layout warning
    EXPECT_EQ(other.project.sections.Get(1, Depth), FieldValue::Text("1.5"));
    EXPECT_EQ(otherWindows.LoadDataWindow().BoxText(1, Depth), "1.5");

    // The spreadsheet file: its heading and its value, after the standard
    // columns and before the velocity check that closes every line.
    const std::string csv = SummaryCsv(SummarizeNetwork(other.project, other.settings));
    const std::size_t headingEnd = csv.find("\r\n");
    const std::string heading = csv.substr(0, headingEnd);
    EXPECT_NE(heading.find(";Scabrezza;Profondità di posa (m);Verifica velocità"),
              std::string::npos)
        << heading;
    const std::string row = csv.substr(headingEnd + 2, csv.find("\r\n", headingEnd + 2));
    EXPECT_NE(row.find(";0,0025;1,50;"), std::string::npos) << row;
}

}  // namespace
}  // namespace acquenza
