#pragma once
// The project data file: the entered-section count, one line of ten values per
// section and one line with the seven title-page texts, in Windows-1252 with
// CR LF line ends.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "archive/archive_result.h"
#include "archive/atomic_file.h"
#include "archive/file_fingerprint.h"
#include "core/project.h"

namespace acquenza {

// Longest text of one value: a title box holds one line, and no section
// value comes near; a hand-edited file with more would only freeze the
// documents.
inline constexpr std::size_t MaxValueCharacters = 1000;
// Largest magnitude of a section's number: no real project comes near.
inline constexpr double MaxValueMagnitude = 1e9;

// Why a section field's value cannot be in the file (too long, not a finite
// number, beyond MaxValueMagnitude), to follow "il dato «lungh» del tronco
// n. 2"; empty when it can. Reading and saving refuse the same values, so
// whatever is saved reads back.
std::string ValueLimitReason(FieldKind kind, const FieldValue& value);
// As ValueLimitReason, for a title text.
std::string TitleLimitReason(std::string_view text);

// The file's bytes for sections 1..enteredSectionCount (the fields its table
// keeps on a section's line, in their order) and the project's title texts. Refuses (naming the
// section and field) a text the file cannot hold: a double quote, a line break or a character
// outside Windows-1252 (named), and a value beyond the limits above.
ArchiveResult EncodeProjectFile(const Project& project, std::string& bytes);

// Writes the file through a temporary file in the same folder, so the previous
// file stays whole until the new one is complete on disk.
// `written`, when given, gets what the file holds afterwards.
ArchiveResult WriteProjectFile(const std::filesystem::path& path, const Project& project,
                               const WriteOptions& options = {},
                               FileFingerprint* written = nullptr);

// Where a file's layout first differs from the one the program writes (the
// count alone on line 1, ten values on each section line, the seven title
// texts on the last line): the values may then have slid into the wrong
// fields, although the file is read as the reading rules say.
struct LayoutDifference {
    int line = 0;  // 0 when the file has the program's own layout
    int valuesFound = 0;
    int valuesExpected = 0;
    // What that line should hold: the section number, 0 for the section
    // count, TitleLine for the title texts.
    int holds = 0;
    static constexpr int TitleLine = -1;
};

struct ReadOutcome {
    bool complete = true;
    // False when the file could not be read at all; `message` then names the
    // file and the system's reason.
    bool opened = true;
    int line = 0;          // where reading stopped, when not complete
    int lastLineRead = 0;  // line of the last value stored; 0: nothing reached the project
    std::string message;   // Italian, when not complete: why reading stopped
    bool readAsUtf8 = false;
    bool readAsUtf16 = false;
    LayoutDifference layout;
    // What the file held when it was read (ReadProjectFile only).
    FileFingerprint file;

    bool NothingRead() const { return !complete && lastLineRead == 0; }
};

// Reads the values into sections 1..N and then the project's title texts, in order,
// stopping at the first value that cannot be read. What was read stays; the
// titles change only once reading reaches their line. Sections above N and
// the results are not touched; the count is set to N (within 0..MaxSections).
// The bytes are Windows-1252, or UTF-8 as DecodeUtf8OrCp1252 tells them apart.
ReadOutcome ReadProjectData(std::string_view bytes, Project& project);
ReadOutcome ReadProjectFile(const std::filesystem::path& path, Project& project);

// Largest file the reader accepts; a real project is a few hundred kilobytes.
inline constexpr std::uintmax_t MaxProjectFileBytes = 16u * 1024u * 1024u;

}  // namespace acquenza
