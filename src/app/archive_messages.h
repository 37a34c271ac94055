#pragma once
// What the user is told about a project data file: after reading it, and when
// saving or deleting it failed.

#include <string>
#include <vector>

#include "app/dialogs.h"
#include "archive/archive_result.h"
#include "archive/atomic_file.h"
#include "archive/project_file.h"

namespace acquenza {

struct OpenReport {
    enum class Read { Whole, UpToLine, Nothing };
    Read read = Read::Whole;
    int lastLine = 0;  // with UpToLine: the last line whose values were read
    // The file must not be written again unless the user names it: it was not
    // read whole, or its layout shows it was edited by hand.
    bool forgetFileName = false;
    // The messages to show, in order; none when the file read cleanly. With
    // UpToLine the first one asks whether to show what was read.
    std::vector<Message> messages;
};

// What the user must be told after reading the data file `path`: whether
// nothing or only part of it was read, whether its layout was edited by hand
// (and where), and whether it was read as UTF-8 and will be saved in the
// program's own character set.
OpenReport ReportOpen(const ReadOutcome& outcome, const std::string& path);

// The message for a Save or a Delete of `path` that failed.
std::string SaveFailureText(const ArchiveResult& result, const std::string& path);
std::string DeleteFailureText(const ArchiveResult& result, const std::string& path);

// Whether to open, instead of `path`, the copy a save that was killed while
// it rewrote the file left behind (Yes opens the copy).
Message InterruptedSaveQuestion(const std::string& path, const InterruptedSave& found);

// Whether to overwrite `path`, which another program changed after this one
// read or wrote it (No as default).
Message ChangedOnDiskQuestion(const std::string& path);

}  // namespace acquenza
