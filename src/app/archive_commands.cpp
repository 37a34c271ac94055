#include "app/archive_commands.h"

#include "app/archive_messages.h"

#include <filesystem>
#include <memory>

#include "app/data_window_model.h"
#include "app/new_project.h"
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
    windows_.LoadDataWindow().FinishTyping();
    if (!LetProjectGo(state_, dialogs_, windows_, from_)) {
        return;
    }
    const std::optional<std::string> chosen = dialogs_.ChooseFile(
        {FileDialogRequest::Kind::Open, "Apri file", "", {AllFiles, DataFiles}, 1});
    if (!chosen) {
        return;  // nothing changes: the project in memory stays as it was
    }
    DialogName() = *chosen;
    OpenFile(*chosen);
}

bool ArchiveCommands::OpenFile(const std::string& path) {
    // The file is read into a project of its own: the one in memory is
    // replaced only once there is something to replace it with.
    auto read = std::make_unique<Project>();
    TitlePageModel& titlePage = windows_.LoadTitlePage();
    TitleTexts titles = titlePage.Texts();
    const ReadOutcome outcome = ReadProjectFile(path, *read, titles);
    const OpenReport report = ReportOpen(outcome, path);
    auto message = report.messages.begin();
    if (report.read == OpenReport::Read::Nothing) {
        dialogs_.Show(*message);
        return false;
    }
    // Read in part: the user decides between what was read and the project
    // in memory.
    if (report.read == OpenReport::Read::UpToLine && dialogs_.Show(*message++) != Answer::Yes) {
        return false;
    }
    {
        EditScope step(state_,
                       "apertura del file " + std::filesystem::path(path).filename().string(), 1);
        ReplaceProject(*read, titles);
        // A damaged or hand-edited file must never be overwritten by a later
        // Save without the user naming a file.
        state_.currentFileName = report.forgetFileName ? std::string() : path;
    }
    if (!report.forgetFileName) {
        state_.history.MarkSaved();
    }
    for (; message != report.messages.end(); ++message) {
        dialogs_.Show(*message);
    }
    return true;
}

void ArchiveCommands::ReplaceProject(const Project& read, const TitleTexts& titles) {
    Project& project = state_.project;
    for (int s = 1; s <= MaxSections; ++s) {
        for (const Field f : InputFields) {
            project.sections.Set(s, f, read.sections.Get(s, f));
        }
        for (const Field f : {Field::per, Field::dia, Field::vel, Field::sca}) {
            project.sections.Clear(s, f);
        }
        project.segments.ClearSection(s);
    }
    project.enteredSectionCount = read.enteredSectionCount;
    // Residents typed before belong to the project that was replaced: the
    // fire button has nothing to act on until residents are typed again.
    project.residentsMarker = 0;
    // Each title text the file replaced goes through the field's own handling
    // (the length warning), in the file's order.
    TitlePageModel& titlePage = windows_.LoadTitlePage();
    for (int f = progetto; f <= allegati; ++f) {
        if (titles[static_cast<std::size_t>(f)] != titlePage.Text(f)) {
            titlePage.SetField(f, titles[static_cast<std::size_t>(f)]);
        }
    }
    project.firstVisibleSection = 1;
    windows_.LoadDataWindow().RefreshGrid();
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
        return;
    }
    state_.history.MarkSaved();
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
