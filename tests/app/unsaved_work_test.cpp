// Changes not archived are never dropped without asking: the exit, Open and
// New first ask whether to archive them, and go on only when the user lets
// them go or the save completed.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/archive_commands.h"
#include "app/fakes.h"
#include "app/new_project.h"
#include "app/program_shell.h"
#include "app/undo_commands.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;

const char* const Question =
    "Le modifiche al progetto senza nome non sono state archiviate. Archiviarle prima di "
    "continuare?";

enum class Road { Exit, Open, New };

struct World {
    World() {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
        shell.LoadSplash("t.mid");
        shell.SplashClicked();
    }
    DataWindowModel& grid() { return windows.LoadDataWindow(); }
    TitlePageModel& title() { return windows.LoadTitlePage(); }
    void TypeSection() {
        for (const auto& [f, text] :
             std::vector<std::pair<Field, std::string>>{{Field::lungh, "100"},
                                                        {Field::quotain, "300"},
                                                        {Field::quotafin, "290"},
                                                        {Field::portun, "1"},
                                                        {Field::portfin, "1"}}) {
            grid().TypeInBox(1, f, text);
            grid().LeaveBox(1, f);
        }
        grid().PickPipeType(1, "nuova");
    }
    void Take(Road road, WindowId from = WindowId::dati) {
        switch (road) {
            case Road::Exit:
                shell.ConfirmExit();
                break;
            case Road::Open:
                ArchiveCommands(state, dialogs, windows, from).Open();
                break;
            case Road::New:
                NewProject(state, dialogs, windows, from);
                break;
        }
    }

    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::FakeWindows windows{state, dialogs};
    testing::RecordingPlayer music;
    ProgramShell shell{state, music, dialogs, windows};
};

class UnsavedWork : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("acquenza-unsaved-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        other = (folder / "Acquenza-dati-altro").string();
        std::ofstream(other, std::ios::binary)
            << "1\r\n\"250\",\"120\",\"110\",\"1\",,,\"1\",,,\"in uso\"\r\n\"Altro\",,,,,,\r\n";
        saved = (folder / "Acquenza-dati-nuovo").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    // Whether the road was taken: the project in memory was let go.
    static bool WentOn(World& w, Road road) {
        switch (road) {
            case Road::Exit:
                return !w.windows.IsOpen(WindowId::dati);
            case Road::Open:
                return w.state.project.sections.Get(1, Field::lungh).DisplayText() == "250";
            case Road::New:
                return w.state.project.enteredSectionCount == 0;
        }
        return false;
    }

    fs::path folder;
    std::string other;
    std::string saved;
};

TEST_F(UnsavedWork, EveryRoadAsksAndEachAnswerDoesWhatItSays) {
    struct Answering {
        const char* name;
        std::vector<Answer> answers;
        bool projectNamed;
        bool dialogGivesAName;
        bool wentOn;
        bool written;
    };
    const std::vector<Answering> answerings = {
        {"Annulla", {Answer::Cancel}, true, true, false, false},
        {"No", {Answer::No}, true, true, true, false},
        {"Sì, archiviato", {Answer::Yes}, true, true, true, true},
        {"Sì, senza nome del progetto", {Answer::Yes}, false, true, false, false},
        {"Sì, finestra di salvataggio annullata", {Answer::Yes}, true, false, false, false},
    };
    for (const Road road : {Road::Exit, Road::Open, Road::New}) {
        for (const Answering& a : answerings) {
            SCOPED_TRACE(std::to_string(static_cast<int>(road)) + " " + a.name);
            fs::remove(saved);
            World w;
            w.TypeSection();
            if (a.projectNamed) {
                w.title().TypeInField(TitleField::progetto, "Rete");
            }
            ASSERT_TRUE(w.state.history.Modified());
            w.dialogs.answers.assign(a.answers.begin(), a.answers.end());
            // The save dialog comes first, and only when Sì runs a save.
            w.dialogs.files.clear();
            if (a.answers.front() == Answer::Yes) {
                w.dialogs.files.push_back(a.dialogGivesAName ? std::optional<std::string>(saved)
                                                             : std::nullopt);
            }
            w.dialogs.files.push_back(other);
            w.Take(road);
            ASSERT_FALSE(w.dialogs.shown.empty());
            const auto asked = std::find_if(w.dialogs.shown.begin(), w.dialogs.shown.end(),
                                            [](const Message& m) { return m.text == Question; });
            ASSERT_NE(asked, w.dialogs.shown.end());
            EXPECT_EQ(asked->buttons, MessageButtons::YesNoCancel);
            EXPECT_EQ(asked->defaultAnswer, Answer::Yes);
            EXPECT_EQ(asked->icon, MessageIcon::Question);
            EXPECT_EQ(WentOn(w, road), a.wentOn);
            EXPECT_EQ(fs::exists(saved), a.written);
            if (!a.wentOn) {
                // Everything as it was, the changes still marked.
                EXPECT_EQ(w.state.project.sections.Get(1, Field::lungh).DisplayText(), "100");
                EXPECT_TRUE(w.state.history.Modified());
                EXPECT_TRUE(w.windows.IsOpen(WindowId::dati));
            }
        }
    }
}

// Nothing to archive: Open and New go straight on, the exit asks only
// whether to leave.
TEST_F(UnsavedWork, WithNothingUnsavedNoQuestionAboutIt) {
    for (const Road road : {Road::Exit, Road::Open, Road::New}) {
        SCOPED_TRACE(static_cast<int>(road));
        World w;
        w.dialogs.answers = {Answer::Yes};
        w.dialogs.files = {other};
        w.Take(road);
        EXPECT_TRUE(WentOn(w, road));
        const std::vector<std::string> expected =
            road == Road::Exit ? std::vector<std::string>{"Vuoi uscire da Acquenza?"}
                               : std::vector<std::string>{};
        std::vector<std::string> texts;
        for (const Message& m : w.dialogs.shown) {
            texts.push_back(m.text);
        }
        EXPECT_EQ(texts, expected);
    }
}

// Saved once, changed again: the question names the project's file.
TEST_F(UnsavedWork, TheQuestionNamesTheProjectsFile) {
    World w;
    w.TypeSection();
    w.title().TypeInField(TitleField::progetto, "Rete");
    w.dialogs.files = {saved};
    ArchiveCommands(w.state, w.dialogs, w.windows, WindowId::dati).Save();
    ASSERT_FALSE(w.state.history.Modified());
    w.grid().TypeInBox(1, Field::lungh, "120");
    w.dialogs.answers = {Answer::Cancel};
    w.Take(Road::New, WindowId::frontespizio);
    EXPECT_EQ(w.dialogs.shown.back().text,
              "Le modifiche al progetto Acquenza-dati-nuovo non sono state archiviate. "
              "Archiviarle prima di continuare?");
    // The value still being typed counts as a change.
    EXPECT_EQ(w.state.project.sections.Get(1, Field::lungh).DisplayText(), "120");
}

// "Nuovo": the project as at start, with no name and nothing to undo.
TEST_F(UnsavedWork, NewStartsAnEmptyProjectWithNoNameAndNoHistory) {
    World w;
    for (int r = 1; r <= 3; ++r) {
        w.grid().TypeInBox(r, Field::lungh, std::to_string(100 * r));
    }
    w.grid().TypeInBox(3, Field::abitfin, "4000");
    w.grid().Scroll(2);
    w.title().TypeInField(TitleField::progetto, "Rete");
    w.title().TypeInField(TitleField::data, "ieri");
    w.dialogs.files = {saved};
    w.state.currentFileName = saved;
    w.grid().FileDialogName() = saved;
    w.dialogs.answers = {Answer::No};
    w.Take(Road::New, WindowId::frontespizio);

    for (int s = 1; s <= 4; ++s) {
        for (const Field f : InputFields) {
            EXPECT_TRUE(w.state.project.sections.Get(s, f).IsEmpty()) << s;
        }
    }
    EXPECT_EQ(w.state.project.enteredSectionCount, 0);
    EXPECT_EQ(w.grid().EnteredCountText(), "0");
    EXPECT_EQ(w.grid().ScrollValue(), 1);
    EXPECT_EQ(w.grid().BoxText(1, Field::lungh), "");
    EXPECT_EQ(w.grid().ResultText(Field::dia), "");
    EXPECT_EQ(w.grid().Guidance(),
              "Aprire un file archiviato o iniziare l'immissione digitando la lunghezza del primo "
              "tronco.");
    TitleTexts fresh{};
    fresh.data = "martedì, 8 dic 2026";
    EXPECT_EQ(w.title().Texts(), fresh);
    EXPECT_TRUE(w.state.currentFileName.empty());
    EXPECT_FALSE(w.state.history.CanUndo());
    EXPECT_FALSE(w.state.history.Modified());
    EXPECT_EQ(w.grid().FileDialogName(), (folder / "Acquenza-dati-").string());
    // The residents typed before belong to the project let go.
    w.grid().TypeInBox(1, Field::lungh, "100");
    w.grid().FireButton();
    EXPECT_TRUE(w.state.project.sections.Get(1, Field::portfin).IsEmpty());
    // The first Save asks for a name.
    w.title().TypeInField(TitleField::progetto, "Nuova rete");
    w.grid().TypeInBox(1, Field::quotain, "300");
    w.grid().TypeInBox(1, Field::quotafin, "290");
    w.grid().TypeInBox(1, Field::portun, "1");
    w.grid().TypeInBox(1, Field::portfin, "1");
    w.grid().PickPipeType(1, "nuova");
    const std::size_t dialogsBefore = w.dialogs.fileDialogs.size();
    w.dialogs.files = {std::nullopt};
    ArchiveCommands(w.state, w.dialogs, w.windows, WindowId::dati).Save();
    EXPECT_EQ(w.dialogs.fileDialogs.size(), dialogsBefore + 1);
}

}  // namespace
}  // namespace acquenza
