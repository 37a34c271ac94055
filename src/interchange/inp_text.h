#pragma once

// Text rules of .inp files: what an identifier may hold, which bytes are
// UTF-8, and free text (titles, comments) made safe for one line.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace acquenza::interchange {

// EPANET keeps identifiers in 31 bytes.
inline constexpr std::size_t MaxIdentifierBytes = 31;

// Why `id` cannot be an EPANET identifier, in Italian ("è più lungo di 31
// caratteri..."), or nothing when it can: not empty, at most 31 bytes of
// UTF-8, no spaces, ';', '"' or control characters, not starting with '['.
std::optional<std::string> IdentifierProblem(std::string_view id);

bool IsValidUtf8(std::string_view text);

// Text that is not UTF-8 is taken as Windows-1252, the usual encoding of
// files written by EPANET on Windows.
std::string Windows1252ToUtf8(std::string_view text);

// Free text on one line: control characters become spaces, ';' (which would
// start a comment) becomes ',', and a leading '[' (a section header to
// EPANET) becomes '('; surrounding blanks are dropped.
std::string OneLineText(std::string_view text);

// The first `maxBytes` bytes of `text` or fewer, never cutting a character.
std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes);

std::string AsciiUpper(std::string_view text);

// Quotes a name for a message: «name».
std::string Quoted(std::string_view name);

}  // namespace acquenza::interchange
