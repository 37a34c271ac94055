#include "app/archive_commands.h"

#include "app/archive_messages.h"
#include "app/data_window_model.h"
#include "app/title_page_model.h"
#include "archive/atomic_file.h"
#include "archive/project_file.h"

namespace acquenza {

namespace {

// Shows every file, names without a dot included (a "*.*" pattern would hide
// the data files, which have no extension).
const FileFilter AllFiles{"Tutti i file", "*"};
const FileFilter DataFiles{"File Acquenza-dati-", "Acquenza-dati-*"};

}  // namespace

ArchiveCommands::ArchiveCommands(ProgramState& state, Dialogs& dialogs, WindowSystem& windows,
                                 WindowId from)
    : state_(state), dialogs_(dialogs), windows_(windows), from_(from) {}

std::string& ArchiveCommands::DialogName() {
    return from_ == WindowId::frontespizio ? windows_.LoadTitlePage().FileDialogName()
                                           : windows_.LoadDataWindow().FileDialogName();
}

void ArchiveCommands::Open() {
    if (from_ == WindowId::dati) {
        windows_.LoadDataWindow().ClearWindow();
    }
    const std::optional<std::string> chosen = dialogs_.ChooseFile(
        {FileDialogRequest::Kind::Open, "Apri file", "", {AllFiles, DataFiles}, 1});
    if (!chosen) {
        return;
    }
    DialogName() = *chosen;
    state_.currentFileName = *chosen;
    if (from_ == WindowId::frontespizio) {
        ClearAll(state_.project);
    }
    ReadChosenFile(*chosen);
}

void ArchiveCommands::ReadChosenFile(const std::string& path) {
    TitlePageModel& titlePage = windows_.LoadTitlePage();
    DataWindowModel& dataWindow = windows_.LoadDataWindow();
    TitleTexts titles = titlePage.Texts();
    const ReadOutcome read = ReadProjectFile(path, state_.project, titles);
    // Each title text the file replaced goes through the field's own handling
    // (the length warning), in the file's order.
    for (int f = progetto; f <= allegati; ++f) {
        if (titles[static_cast<std::size_t>(f)] != titlePage.Text(f)) {
            titlePage.SetField(f, titles[static_cast<std::size_t>(f)]);
        }
    }
    const OpenReport report = ReportOpen(read, path);
    // What was read stays on screen, but a damaged or hand-edited file must
    // never be overwritten by a later Save without the user naming a file.
    if (report.forgetFileName) {
        state_.currentFileName.clear();
    }
    for (const Message& message : report.messages) {
        dialogs_.Show(message);
    }
    state_.project.firstVisibleSection = 1;
    dataWindow.RefreshGrid();
}

void ArchiveCommands::Save() {
    SaveProject(state_.currentFileName);
}

void ArchiveCommands::SaveAs() {
    const std::string previous = state_.currentFileName;
    state_.currentFileName.clear();
    SaveProject(previous);
}

void ArchiveCommands::SaveProject(const std::string& previousName) {
    DataWindowModel& dataWindow = windows_.LoadDataWindow();
    state_.project.saveCheckPending = true;
    dataWindow.CheckData();
    if (state_.project.saveCheckPending) {
        state_.project.saveCheckPending = false;
        state_.currentFileName = previousName;
        if (from_ == WindowId::frontespizio) {
            windows_.Show(WindowId::dati);
        }
        return;
    }
    TitlePageModel& titlePage = windows_.LoadTitlePage();
    if (titlePage.Text(progetto).empty()) {
        state_.currentFileName = previousName;
        dialogs_.Inform(state_.mod.titles.CheckTitle,
                        "E' necessario digitare almeno il dato del 'progetto'.", MessageIcon::Stop);
        windows_.Show(WindowId::frontespizio);
        return;
    }
    if (state_.currentFileName.empty()) {
        const std::optional<std::string> chosen = dialogs_.ChooseFile(
            {FileDialogRequest::Kind::Save, "Salva file con nome", DialogName(), {DataFiles}, 0});
        if (!chosen) {
            state_.currentFileName = previousName;
            return;
        }
        DialogName() = *chosen;
        state_.currentFileName = *chosen;
    }
    const ArchiveResult written =
        WriteProjectFile(state_.currentFileName, state_.project, titlePage.Texts());
    if (!written.ok) {
        dialogs_.Inform(ArchiveTitle, SaveFailureText(written, state_.currentFileName),
                        MessageIcon::Stop);
    }
}

void ArchiveCommands::Delete() {
    const std::optional<std::string> chosen =
        dialogs_.ChooseFile({FileDialogRequest::Kind::Open,
                             state_.mod.titles.DeleteDialogTitle,
                             DialogName(),
                             {AllFiles, DataFiles},
                             1});
    if (!chosen) {
        return;
    }
    DialogName() = *chosen;
    const ArchiveResult deleted = DeleteFile(*chosen);
    if (!deleted.ok) {
        dialogs_.Inform(ArchiveTitle, DeleteFailureText(deleted, *chosen), MessageIcon::Stop);
    }
}

}  // namespace acquenza
