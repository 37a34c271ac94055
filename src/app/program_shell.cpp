#include "app/program_shell.h"

#include "app/new_project.h"

namespace acquenza {

namespace {

const char* const AfterExitText = "          elaborazione eseguita con";

}  // namespace

ProgramShell::ProgramShell(ProgramState& state, MusicPlayer& music, Dialogs& dialogs,
                           WindowSystem& windows)
    : state_(state), music_(music), dialogs_(dialogs), windows_(windows) {}

void ProgramShell::LoadSplash(const std::string& tunePath) {
    tunePath_ = tunePath;
    music_.Open(tunePath);
    music_.Play();
    InitSharedTitles(state_.identity.titles, state_.identity.values);
    InitProgramValues(state_.identity.values);
    const ProgramValues& v = state_.identity.values;
    labels_[1] = "software VERDANO";
    // Once an exit has happened the splash says so for the rest of the run,
    // even when a key closed it and it had to be made again.
    labels_[2] = exited_ ? AfterExitText : "                        presenta";
    labels_[3] = v.ProgramName;
    labels_[4] = v.ProgramSubtitle;
    labels_[5] = "EDIZIONE PROFESSIONALE - VERSIONE " + v.ProgramVersion;
    labels_[7] =
        "Programma e brano musicale sono protetti dalle leggi sul diritto d'autore: ogni copia "
        "o uso non autorizzato è vietato.";
    labels_[8] = "(cliccare sulla finestra per iniziare; premere un tasto per uscire)";
}

const std::string& ProgramShell::SplashLabel(int index) const {
    static const std::string none;
    return index >= 0 && index < SplashLabelCount ? labels_[static_cast<std::size_t>(index)] : none;
}

void ProgramShell::SplashClicked() {
    music_.Pause();
    windows_.Show(WindowId::dati);
}

void ProgramShell::SplashKeyPressed() {
    music_.Close();
    windows_.CloseSplash();
    if (windows_.IsOpen(WindowId::prodotti)) {
        windows_.Close(WindowId::prodotti);
    }
}

bool ProgramShell::ConfirmExit() {
    if (state_.typingJudge != nullptr) {
        state_.typingJudge->FinishTyping();
    }
    if (state_.history.Modified()) {
        // Changes not archived: the one question is whether to keep them.
        if (!LetProjectGo(state_, dialogs_, windows_, WindowId::dati)) {
            return false;
        }
    } else {
        const std::string& name = state_.identity.values.ProgramName;
        if (!dialogs_.AskYesNo("Attenzione: i dati non archiviati andranno persi !",
                               "Vuoi uscire da " + name + "?", MessageIcon::Question, Answer::No)) {
            return false;
        }
    }
    for (const WindowId window : ExitClosingOrder) {
        if (windows_.IsOpen(window)) {
            windows_.Close(window);
        }
    }
    ClearAll(state_.project);
    // The next project starts with the title page's texts empty, as the
    // first one did.
    state_.project.titles = FreshTitles(windows_.Today());
    state_.history.Clear();
    state_.currentFileName.clear();
    exited_ = true;
    labels_[2] = AfterExitText;
    // The splash closed by a key is made again, which restarts its tune.
    windows_.ShowSplash();
    music_.Play();
    return true;
}

}  // namespace acquenza
