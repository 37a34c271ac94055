#pragma once
// A printer device that owns the QPrinter it prints on, so the printer lives
// exactly as long as the print: the one chosen in the printer dialog, or a
// PDF file named on the command line.

#include <filesystem>
#include <memory>

#include "reports/printer_device.h"

class QPrinter;

namespace acquenza {

std::unique_ptr<PrinterDevice> PrintOn(std::unique_ptr<QPrinter> printer);

// An A4 PDF file at `file`.
std::unique_ptr<PrinterDevice> PrintToPdf(const std::filesystem::path& file);

}  // namespace acquenza
