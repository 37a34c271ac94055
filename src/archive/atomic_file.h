#pragma once
// Writing, creating, deleting and reading whole files so that a failure or a
// kill at any point leaves the old file whole and no stray file behind, and so
// that a user's protection on a file is respected.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "archive/archive_result.h"
#include "archive/error_text.h"

namespace acquenza {

// Replaces the contents of the file `path` names. A symbolic link is written
// through to its target and stays a link; the target keeps its permissions
// and owner. The new contents go to an unnamed file in the target's folder,
// reach the disk, and only then take the target's name. A file with several
// hard links is rewritten in place so every name sees the new contents (and
// gets the old ones back if that fails). A write-protected file is refused
// (writeProtected set). On failure the message says, in Italian, which file
// and why.
ArchiveResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Creates `path` with the given contents, complete on disk before the name
// appears, and never in place of anything already there: when the name is
// taken (by a file, a folder or a link, even a broken one) the result fails
// with error EEXIST.
ArchiveResult CreateFileExclusively(const std::filesystem::path& path, std::string_view bytes);

// Deletes the file (a symbolic link itself, not its target); a
// write-protected file is refused (writeProtected set).
ArchiveResult DeleteFile(const std::filesystem::path& path);

// Reads a whole regular file (at most maxBytes); the message says why it could
// not. Folders, devices and pipes are refused without being read.
ArchiveResult ReadWholeFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                            std::string& bytes);

}  // namespace acquenza
