#include "app/new_project.h"

#include "app/archive_commands.h"
#include "app/data_window_model.h"
#include "app/title_page_model.h"

namespace acquenza {

std::string ProjectNameForQuestions(const std::string& fileName) {
    if (fileName.empty()) {
        return "senza nome";
    }
    const std::size_t slash = fileName.rfind('/');
    return slash == std::string::npos ? fileName : fileName.substr(slash + 1);
}

bool LetProjectGo(ProgramState& state, Dialogs& dialogs, WindowSystem& windows, WindowId from) {
    // A value still being typed is part of what is asked about.
    if (state.typingJudge != nullptr) {
        state.typingJudge->FinishTyping();
    }
    if (!state.history.Modified()) {
        return true;
    }
    const Answer answer =
        dialogs.Show({ArchiveCommands::ArchiveTitle,
                      "Le modifiche al progetto " + ProjectNameForQuestions(state.currentFileName) +
                          " non sono state archiviate. Archiviarle prima di continuare?",
                      MessageIcon::Question, MessageButtons::YesNoCancel, Answer::Yes});
    if (answer == Answer::No) {
        return true;
    }
    if (answer != Answer::Yes) {
        return false;
    }
    ArchiveCommands(state, dialogs, windows, from).Save();
    // A save that completed leaves nothing unsaved; any other outcome has
    // told the user why and leaves the road closed.
    return !state.history.Modified();
}

void NewProject(ProgramState& state, Dialogs& dialogs, WindowSystem& windows, WindowId from) {
    if (!LetProjectGo(state, dialogs, windows, from)) {
        return;
    }
    Project& project = state.project;
    ClearAll(project);
    project.titles = FreshTitles(windows.Today());
    state.currentFileName.clear();
    windows.LoadTitlePage().StartAfresh();
    windows.LoadDataWindow().StartAfresh();
    state.history.Clear();
}

}  // namespace acquenza
