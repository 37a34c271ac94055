#pragma once
// Saving a document model as a word-processor file (.docx, Office Open XML)
// that Word, LibreOffice and other readers open without repairs.

#include <filesystem>
#include <string>

#include "archive/archive_result.h"
#include "reports/document_model.h"

namespace acquenza {

// The package's bytes; false, with the zip library's reason, on failure.
bool EncodeDocx(const Document& document, std::string& bytes, std::string& error);

// Writes the package beside `path` and renames it over `path`, so a failure
// leaves any earlier file whole. The message on failure is in Italian and
// names the file.
ArchiveResult WriteDocx(const Document& document, const std::filesystem::path& path);

}  // namespace acquenza
