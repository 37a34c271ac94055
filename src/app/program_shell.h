#pragma once
// Start-up at the splash, the splash's click and key, and the one exit
// procedure every exit command of every window runs.

#include <array>
#include <string>

#include "app/dialogs.h"
#include "app/music_player.h"
#include "app/program_state.h"
#include "app/windows.h"

namespace acquenza {

class ProgramShell {
  public:
    static constexpr int SplashLabelCount = 12;
    static constexpr const char* TuneFile = "Internet.mid";

    ProgramShell(ProgramState& state, MusicPlayer& music, Dialogs& dialogs, WindowSystem& windows);

    // Loading the splash: the tune starts, values and titles are set, the
    // labels take the program's name, subtitle and version. tunePath is the
    // tune beside the program.
    void LoadSplash(const std::string& tunePath);
    const std::string& SplashLabel(int index) const;

    void SplashClicked();
    void SplashKeyPressed();

    // Asks (about the unsaved changes when there are any, otherwise whether
    // to leave), then closes every window, discards the project and returns
    // to the splash. Returns whether the user let the program go.
    bool ConfirmExit();

  private:
    ProgramState& state_;
    MusicPlayer& music_;
    Dialogs& dialogs_;
    WindowSystem& windows_;
    std::array<std::string, SplashLabelCount> labels_{};
    std::string tunePath_;
    bool exited_ = false;
};

}  // namespace acquenza
