#pragma once
// A printer device that owns the QPrinter it prints on, so the printer lives
// exactly as long as the print: the one chosen in the printer dialog, or a
// PDF file named on the command line.

#include <filesystem>
#include <memory>
#include <optional>

#include "archive/atomic_file.h"
#include "reports/printer_device.h"

class QPrinter;

namespace acquenza {

// A print to a PDF file (the dialog's "print to file" or the command line)
// goes to a work file beside it, and takes the file's place only once it is
// complete, by the rules of every file the program writes
// (WriteFileAtomically): a protected file is refused before anything is
// printed, a link is written through, and a print that fails leaves the
// file, and everything else, as it was.
std::unique_ptr<PrinterDevice> PrintOn(std::unique_ptr<QPrinter> printer,
                                       const WriteOptions& options = {});

// An A4 PDF file at `file`.
std::unique_ptr<PrinterDevice> PrintToPdf(const std::filesystem::path& file,
                                          const WriteOptions& options = {});

// The PDF file a printer is set to print to, if it is.
std::optional<std::filesystem::path> PdfFileOf(const QPrinter& printer);

}  // namespace acquenza
