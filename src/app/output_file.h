#pragma once
// The file a document is written to: never the project's own data file, and
// always with the extension of its kind, so the desktop opens it with the
// right program.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace acquenza {

// Whether the two names reach one and the same file: the same device and
// inode when both exist (so hard and symbolic links count), else the same
// path once links and "." and ".." are resolved.
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// `name` with `extension` (".docx") added, unless it already ends with it
// (in any case). A different extension is kept and the right one added
// after it: "relazione.pdf" gives "relazione.pdf.docx", so no other file the
// user has is taken for the document.
std::filesystem::path WithExtension(const std::filesystem::path& name, std::string_view extension);

// When `output`, as named or with `extension` added, is the data file
// `project`: why the document cannot go there, in Italian, naming both.
std::optional<std::string> ProjectAsOutput(const std::filesystem::path& output,
                                           std::string_view extension,
                                           const std::filesystem::path& project);

}  // namespace acquenza
