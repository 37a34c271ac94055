#include "app/archive_commands.h"

#include "app/archive_messages.h"

#include <filesystem>
#include <memory>

#include "app/data_window_model.h"
#include "app/new_project.h"
#include "app/title_page_model.h"
#include "app/unsizable_sections.h"
#include "archive/atomic_file.h"
#include "archive/project_file.h"

namespace acquenza {

namespace {

// Shows every file, names without a dot included (a "*.*" pattern would hide
// the data files, which have no extension).
const FileFilter AllFiles{"Tutti i file", "*"};
const FileFilter DataFiles{"File Acquenza-dati-", "Acquenza-dati-*"};
// Data files are told apart by this start of their name alone.
const char* const DataFilePrefix = "Acquenza-dati-";

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
    // A save killed while it rewrote this file in place left a copy of what
    // the file held before: the user may open that instead.
    std::string source = path;
    if (const std::optional<InterruptedSave> copy = FindInterruptedSave(path)) {
        if (dialogs_.Show(InterruptedSaveQuestion(path, *copy)) == Answer::Yes) {
            source = copy->copy.string();
        }
    }
    // The file is read into a project of its own: the one in memory is
    // replaced only once there is something to replace it with.
    auto read = std::make_unique<Project>(state_.project.Fields());
    // A file that stops before its title line leaves the titles as they are.
    read->titles = state_.project.titles;
    const ReadOutcome outcome = ReadProjectFile(source, *read);
    const OpenReport report = ReportOpen(outcome, source);
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
        step.KeepFlowsAsRead();
        ReplaceProject(*read);
        // A damaged or hand-edited file must never be overwritten by a later
        // Save without the user naming a file.
        state_.currentFileName = report.forgetFileName ? std::string() : path;
    }
    if (!report.forgetFileName) {
        if (source == path) {
            state_.filesSeen[path] = outcome.file;
            state_.history.MarkSaved();
        } else {
            // The project now differs from the file: it shows as not
            // archived, and the file as it stands is what Save replaces.
            const std::optional<FileFingerprint> now = FingerprintOnDisk(path, MaxProjectFileBytes);
            if (now) {
                state_.filesSeen[path] = *now;
            } else {
                state_.filesSeen.erase(path);
            }
        }
    }
    for (; message != report.messages.end(); ++message) {
        dialogs_.Show(*message);
    }
    return true;
}

void ArchiveCommands::ReplaceProject(const Project& read) {
    Project& project = state_.project;
    // The file's sections come in as new ones, with ids of their own: what
    // referred to the sections of the project that goes refers to nothing
    // that is here.
    project.sections.ReplaceAll(read.sections);
    project.enteredSectionCount = read.enteredSectionCount;
    project.network = read.network;
    // Each title text the file replaced is warned about as typing it would
    // be (the length warning), in the file's order.
    for (const TitleFieldSpec& title : TitleFields) {
        const std::string& text = read.titles.*title.text;
        if (text != project.titles.*title.text) {
            project.titles.*title.text = text;
            WarnIfTitleTooLong(text, dialogs_, state_.identity.titles);
        }
    }
    // Both working windows stand ready with what was read, shown or not.
    windows_.LoadTitlePage();
    windows_.LoadDataWindow().ShowOpenedProject();
}

void ArchiveCommands::Save() {
    SaveProject(state_.currentFileName);
}

void ArchiveCommands::SaveAs() {
    const std::string previous = state_.currentFileName;
    state_.currentFileName.clear();
    SaveProject(previous);
}

void ArchiveCommands::SaveProject(std::string previousName) {
    if (!windows_.LoadDataWindow().CheckData(CheckFor::Save)) {
        state_.currentFileName = previousName;
        if (from_ == WindowId::frontespizio) {
            windows_.Show(WindowId::dati);
        }
        return;
    }
    if (state_.project.titles.progetto.empty()) {
        state_.currentFileName = previousName;
        dialogs_.Inform(state_.identity.titles.CheckTitle,
                        "E' necessario digitare almeno il dato del 'progetto'.", MessageIcon::Stop);
        windows_.Show(WindowId::frontespizio);
        return;
    }
    const bool named = state_.currentFileName.empty();
    if (named) {
        const std::optional<std::string> chosen =
            dialogs_.ChooseFile({FileDialogRequest::Kind::Save,
                                 "Salva file con nome",
                                 DialogName(),
                                 {DataFiles},
                                 0,
                                 DataFilePrefix,
                                 true});
        if (!chosen) {
            state_.currentFileName = previousName;
            return;
        }
        DialogName() = *chosen;
        state_.currentFileName = *chosen;
    }
    const std::string file = state_.currentFileName;
    // A file chosen in the dialog was confirmed there; one saved again by
    // name may have been changed by another program (another Acquenza on the
    // same project) since this one read or wrote it.
    if (!named && !MayOverwrite(file)) {
        return;
    }
    WriteOptions options;
    FileFingerprint written;
    ArchiveResult result = WriteProjectFile(file, state_.project, options, &written);
    if (!result.ok && result.ownedByOther) {
        if (!dialogs_.AskYesNo(ArchiveTitle, OthersFileQuestion(result, file),
                               MessageIcon::Question, Answer::No)) {
            state_.currentFileName = named ? previousName : file;
            return;
        }
        options.replaceOthersFile = true;
        result = WriteProjectFile(file, state_.project, options, &written);
    }
    if (!result.ok) {
        // The project still lives where it lived before: a name that holds
        // nothing of it must not become the one the next Save writes to
        // without asking, nor the one the caption shows.
        state_.currentFileName = previousName;
        dialogs_.Inform(ArchiveTitle, SaveFailureText(result, file), MessageIcon::Stop);
        return;
    }
    state_.filesSeen[file] = written;
    state_.history.MarkSaved();
    WarnOfUnsizableSections(state_.project.sections, dialogs_, state_.identity.titles.CheckTitle);
}

bool ArchiveCommands::MayOverwrite(const std::string& file) {
    const auto seen = state_.filesSeen.find(file);
    if (seen == state_.filesSeen.end()) {
        return true;
    }
    // A file deleted meanwhile is written again, as it always was.
    const std::optional<FileFingerprint> now = FingerprintOnDisk(file, MaxProjectFileBytes);
    if (!now || !now->exists || now->SameContents(seen->second)) {
        return true;
    }
    return dialogs_.Show(ChangedOnDiskQuestion(file)) == Answer::Yes;
}

void ArchiveCommands::Delete() {
    const std::optional<std::string> chosen =
        dialogs_.ChooseFile({FileDialogRequest::Kind::Open,
                             state_.identity.titles.DeleteDialogTitle,
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
