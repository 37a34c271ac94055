#include "app/program_shell.h"

#include <gtest/gtest.h>

#include "app/fakes.h"

namespace acquenza {
namespace {

using testing::FakeDialogs;
using testing::FakeWindows;
using testing::RecordingPlayer;

class Shell : public ::testing::Test {
  protected:
    ProgramState state;
    FakeDialogs dialogs;
    FakeWindows windows{state, dialogs};
    RecordingPlayer music;
    ProgramShell shell{state, music, dialogs, windows};
};

TEST_F(Shell, TheSplashPlaysAndShowsTheProgram) {
    shell.LoadSplash("/opt/acquenza/Internet.mid");
    EXPECT_EQ(music.log, (std::vector<std::string>{"open /opt/acquenza/Internet.mid", "play"}));
    EXPECT_EQ(shell.SplashLabel(3), "Acquenza");
    EXPECT_EQ(shell.SplashLabel(5), "EDIZIONE PROFESSIONALE - VERSIONE 3.04.05");
    EXPECT_EQ(shell.SplashLabel(2), "                        presenta");
    shell.SplashClicked();
    EXPECT_EQ(music.log.back(), "pause");
    EXPECT_EQ(windows.log.back(), "show 0");
}

TEST_F(Shell, ExitAnsweredNoChangesNothing) {
    shell.LoadSplash("t.mid");
    shell.SplashClicked();
    state.project.sections.Set(1, Field::lungh, FieldValue::Text("100"));
    state.currentFileName = "/home/a/Acquenza-dati-x";
    dialogs.answers = {Answer::No};
    EXPECT_FALSE(shell.ConfirmExit());
    EXPECT_EQ(dialogs.shown.back(), (Message{"Attenzione: i dati non archiviati andranno persi !",
                                             "Vuoi uscire da Acquenza?", MessageIcon::Question,
                                             MessageButtons::YesNo, Answer::No}));
    EXPECT_TRUE(windows.IsOpen(WindowId::dati));
    EXPECT_EQ(state.currentFileName, "/home/a/Acquenza-dati-x");
}

TEST_F(Shell, ExitAnsweredYesClosesEverythingAndReturnsToTheSplash) {
    shell.LoadSplash("t.mid");
    shell.SplashClicked();
    windows.Show(WindowId::informa);
    windows.Show(WindowId::frontespizio);
    windows.log.clear();
    state.project.sections.Set(1, Field::lungh, FieldValue::Text("100"));
    CountEnteredSections(state.project);
    state.currentFileName = "/home/a/Acquenza-dati-x";
    dialogs.answers = {Answer::Yes};
    EXPECT_TRUE(shell.ConfirmExit());
    EXPECT_EQ(windows.log, (std::vector<std::string>{"close 0", "close 1", "close 13", "splash"}));
    EXPECT_EQ(state.project.enteredSectionCount, 0);
    EXPECT_TRUE(state.project.sections.Get(1, Field::lungh).IsEmpty());
    EXPECT_TRUE(state.currentFileName.empty());
    EXPECT_EQ(music.log.back(), "play");
    EXPECT_EQ(shell.SplashLabel(2), "          elaborazione eseguita con");
    shell.LoadSplash("t.mid");  // a splash made again after a key keeps saying so
    EXPECT_EQ(shell.SplashLabel(2), "          elaborazione eseguita con");
}

TEST_F(Shell, AKeyClosesTheSplashAndTheCatalogue) {
    windows.Show(WindowId::prodotti);
    shell.SplashKeyPressed();
    EXPECT_EQ(music.log.back(), "close");
    EXPECT_FALSE(windows.IsOpen(WindowId::prodotti));
    EXPECT_EQ(windows.log[1], "close splash");
}

}  // namespace
}  // namespace acquenza
