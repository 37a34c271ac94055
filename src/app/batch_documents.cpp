#include "app/batch_documents.h"

#include <ostream>

#include "app/archive_commands.h"
#include "app/document_commands.h"
#include "app/headless_windows.h"
#include "app/network_summary.h"
#include "archive/atomic_file.h"

namespace acquenza {

namespace {

// Nobody is there to answer: every message is written out, a question takes
// its default answer, a file or colour dialog is cancelled, and the printer
// is the PDF file of the command line.
class BatchDialogs final : public Dialogs {
  public:
    BatchDialogs(std::ostream& out, std::function<std::unique_ptr<PrinterDevice>()> printer)
        : out_(out), printer_(std::move(printer)) {}

    Answer Show(const Message& message) override {
        out_ << message.title << ": " << message.text << '\n';
        return message.buttons == MessageButtons::Ok ? Answer::Ok : message.defaultAnswer;
    }
    std::optional<std::string> ChooseFile(const FileDialogRequest&) override {
        return std::nullopt;
    }
    std::unique_ptr<PrinterDevice> ChoosePrinter() override {
        return printer_ ? printer_() : nullptr;
    }
    std::optional<Rgb> ChooseColour(Rgb) override { return std::nullopt; }

  private:
    std::ostream& out_;
    std::function<std::unique_ptr<PrinterDevice>()> printer_;
};

// The documents folder and time stamps of the desktop, but no word processor
// is started for a document made from the command line.
class BatchDesk final : public DocumentDesk {
  public:
    explicit BatchDesk(DocumentDesk& desk) : desk_(desk) {}
    std::filesystem::path DocumentsFolder() override { return desk_.DocumentsFolder(); }
    std::string Timestamp() override { return desk_.Timestamp(); }
    bool Open(const std::filesystem::path&) override { return true; }

  private:
    DocumentDesk& desk_;
};

}  // namespace

int RunBatchJob(const BatchJob& job, ProgramState& state, DocumentDesk& desk,
                const PdfPrinterFactory& pdfPrinter, const std::string& today,
                std::ostream& messages, std::ostream& done) {
    const bool pdf = job.kind == BatchJob::Kind::PdfReport;
    const bool csv = job.kind == BatchJob::Kind::SummaryCsv;
    if ((pdf || csv) && !job.output) {
        messages << "Indicare con -o il file " << (pdf ? "PDF" : "CSV") << " da scrivere.\n";
        return 2;
    }
    BatchDialogs dialogs(messages, [&] { return pdfPrinter(*job.output); });
    HeadlessWindows windows(state, dialogs, today);
    InitProgramValues(state.mod.values);
    windows.LoadDataWindow();
    if (!ArchiveCommands(state, dialogs, windows, WindowId::frontespizio).OpenFile(job.project)) {
        return 1;
    }
    if (csv) {
        const ArchiveResult written = WriteFileAtomically(
            *job.output, SummaryCsv(SummarizeNetwork(state.project, state.settings)));
        if (!written.ok) {
            messages << "Esportazione non eseguita. " << written.message << '\n';
            return 1;
        }
        done << job.output->string() << '\n';
        return 0;
    }
    windows.LoadTitlePage().SelectPrintMode(pdf ? 2 : 1);
    BatchDesk batchDesk(desk);
    DocumentCommands commands(state, dialogs, windows, batchDesk);
    if (job.output) {
        commands.WriteTo(*job.output);
    }
    if (!commands.FullReport()) {
        return 1;
    }
    done << (pdf ? job.output->string() : commands.LastDocument().value_or("").string()) << '\n';
    return 0;
}

}  // namespace acquenza
