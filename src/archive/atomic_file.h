#pragma once
// Replacing a file so that a failure at any point leaves the old one whole.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "archive/archive_result.h"

namespace acquenza {

// Writes bytes to a temporary file beside `path`, flushes it to disk and
// renames it over `path`. On failure the temporary file is removed and the
// message says, in Italian, which file and why.
ArchiveResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Reads a whole file (at most maxBytes); the message says why it could not.
ArchiveResult ReadWholeFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                            std::string& bytes);

// The Italian wording of an errno value for the messages above.
std::string ItalianErrorText(int error);

}  // namespace acquenza
