// Sections that cannot be sized: a save archives them and names them once,
// a report refuses them before writing anything.

#include "app/unsizable_sections.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "app/archive_commands.h"
#include "app/document_commands.h"
#include "app/fakes.h"
#include "archive/project_file.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;
using testing::FakeDesk;
using testing::FakeDialogs;
using testing::FakeWindows;

class Unsizable : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
        folder = fs::temp_directory_path() /
                 ("acquenza-unsizable-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        desk.folder = folder;
    }
    void TearDown() override { fs::remove_all(folder); }

    // n complete sections; those in `rising` climb by 5 m.
    void Sections(int n, const std::vector<int>& rising) {
        auto& t = state.project.sections;
        for (int s = 1; s <= n; ++s) {
            const bool up = std::find(rising.begin(), rising.end(), s) != rising.end();
            t.Set(s, Field::lungh, FieldValue::Text("100"));
            t.Set(s, Field::quotain, FieldValue::Text(std::to_string(600 - s)));
            t.Set(s, Field::quotafin, FieldValue::Text(std::to_string(up ? 605 - s : 595 - s)));
            t.Set(s, Field::portun, FieldValue::Text("1"));
            t.Set(s, Field::portfin, FieldValue::Text("2"));
            t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
        }
        CountEnteredSections(state.project);
        windows.LoadDataWindow().RefreshGrid();
        windows.LoadTitlePage().TypeInField(TitleField::progetto, "Colle Alto");
    }

    ProgramState state;
    FakeDialogs dialogs;
    FakeWindows windows{state, dialogs};
    FakeDesk desk;
    fs::path folder;
};

TEST_F(Unsizable, ASaveArchivesEverythingAndNamesThemOnce) {
    Sections(6, {2, 5});
    // A flow no pipe up to 10 m can carry within the drop.
    state.project.sections.Set(6, Field::portfin, FieldValue::Text("90000000"));
    const std::string file = (folder / "Acquenza-dati-salita").string();
    dialogs.files.push_back(file);
    ArchiveCommands(state, dialogs, windows, WindowId::dati).Save();
    ASSERT_TRUE(fs::exists(file));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text,
              "Il progetto è stato archiviato, ma 3 tronchi non possono essere dimensionati:\n"
              "- tronco n. 2: la quota iniziale non supera quella finale;\n"
              "- tronco n. 5: la quota iniziale non supera quella finale;\n"
              "- tronco n. 6: nessun diametro fino a 10 metri contiene la perdita di carico nel "
              "dislivello;\n"
              "correggerne i dati prima di stampare la relazione.");
    EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(state.history.Modified());

    Project read;
    ReadProjectFile(file, read);
    EXPECT_EQ(read.enteredSectionCount, 6);
    for (int s = 1; s <= 6; ++s) {
        for (const Field f : InputFields) {
            EXPECT_EQ(read.sections.Get(s, f).DisplayText(),
                      state.project.sections.Get(s, f).DisplayText())
                << s << " " << FieldName(f);
        }
    }

    // A save with nothing to say says nothing.
    state.project.sections.Set(2, Field::quotafin, FieldValue::Text("500"));
    state.project.sections.Set(5, Field::quotafin, FieldValue::Text("500"));
    state.project.sections.Set(6, Field::portfin, FieldValue::Text("1"));
    dialogs.shown.clear();
    ArchiveCommands(state, dialogs, windows, WindowId::dati).Save();
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Unsizable, AFailedOrCancelledSaveDoesNotClaimTheProjectWasArchived) {
    Sections(3, {2});
    ArchiveCommands(state, dialogs, windows, WindowId::dati).Save();  // name dialog cancelled
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Unsizable, ALongListIsCutAndCounted) {
    std::vector<UnsizableSection> many;
    for (int s = 1; s <= 40; ++s) {
        many.push_back({s, {SizingObstacle::Kind::NoDrop, Field::quotain}});
    }
    const std::string text = UnsizableAfterSaveText(many);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 14);
    EXPECT_NE(text.find("- tronco n. 12: "), std::string::npos);
    EXPECT_EQ(text.find("- tronco n. 13: "), std::string::npos);
    EXPECT_NE(text.find("\n- e altri 28 tronchi;\n"), std::string::npos);
    EXPECT_EQ(UnsizableAfterSaveText({}), "");
    EXPECT_EQ(UnsizableAfterSaveText({many[0]}),
              "Il progetto è stato archiviato, ma un tronco non può essere dimensionato:\n"
              "- tronco n. 1: la quota iniziale non supera quella finale;\n"
              "correggerne i dati prima di stampare la relazione.");
}

TEST_F(Unsizable, NeitherReportIsMadeAndTheSectionIsShown) {
    Sections(25, {18});
    for (const int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        windows.LoadTitlePage().SelectPrintMode(mode);
        dialogs.shown.clear();
        DocumentCommands commands(state, dialogs, windows, desk);
        EXPECT_FALSE(commands.FullReport());
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_TRUE(dialogs.shown[0].text.starts_with(
            "Tronco n. 18:\n- il dislivello non consente il dimensionamento: la quota iniziale "
            "(582 m) non supera la quota finale (587 m)."))
            << dialogs.shown[0].text;
        EXPECT_EQ(dialogs.printerDialogs, 0);
        EXPECT_FALSE(commands.LastDocument().has_value());
        EXPECT_EQ(windows.LoadDataWindow().ScrollValue(), 18);
        EXPECT_EQ(windows.log.back(), "show 0");
    }
    EXPECT_FALSE(fs::exists(folder / "Acquenza"));
}

}  // namespace
}  // namespace acquenza
