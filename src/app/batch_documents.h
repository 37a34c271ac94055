#pragma once
// Documents made from the command line, without any window: the full report
// as a word-processor document or printed to a PDF file, and the network
// summary as a spreadsheet file. They take the same
// road as the menus (open, data check, report), with every message written
// to the error stream instead of a message box.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "app/document_desk.h"
#include "app/program_state.h"
#include "reports/printer_device.h"

namespace acquenza {

struct BatchJob {
    enum class Kind {
        WordReport,
        PdfReport,
        SummaryCsv,
        EpanetExport,          // the network as an EPANET .inp file
        EpanetImport,          // an EPANET .inp file (in `project`) made into a data file
        SizeNetwork,           // the network sized from the source's head, saved as a new data file
        SizeNetworkLeastCost,  // the same, then the cost reduced
        PipeBill,              // the bill of the pipes laid, as a spreadsheet file
    };
    Kind kind = Kind::WordReport;
    std::string project;  // the data file (the .inp file for EpanetImport)
    // Where the document goes; for the word-processor report, when not
    // given, a new file in the documents folder as the menus make.
    std::optional<std::filesystem::path> output;
    // The program's own folder of pipe catalogues; the user's is looked at
    // after it.
    std::filesystem::path catalogueFolder;
};

using PdfPrinterFactory =
    std::function<std::unique_ptr<PrinterDevice>(const std::filesystem::path&)>;

// Runs the job on `state` and returns the exit status: 0 only when the
// document was written. Messages go to `messages`; the written file's name
// to `done`.
int RunBatchJob(const BatchJob& job, ProgramState& state, DocumentDesk& desk,
                const PdfPrinterFactory& pdfPrinter, const std::string& today,
                std::ostream& messages, std::ostream& done);

}  // namespace acquenza
