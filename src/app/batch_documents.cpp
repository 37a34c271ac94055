#include "app/batch_documents.h"

#include <ostream>

#include "app/archive_commands.h"
#include "app/document_commands.h"
#include "app/headless_windows.h"
#include "app/network_model.h"
#include "app/network_sizing_commands.h"
#include "app/network_summary.h"
#include "app/output_file.h"
#include "app/pipe_commands.h"
#include "app/sizing_catalogues.h"
#include "archive/atomic_file.h"
#include "archive/project_file.h"
#include "interchange/project_exchange.h"

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

namespace {

const char* ExtensionOf(BatchJob::Kind kind) {
    switch (kind) {
        case BatchJob::Kind::PdfReport:
            return ".pdf";
        case BatchJob::Kind::SummaryCsv:
        case BatchJob::Kind::PipeBill:
            return ".csv";
        case BatchJob::Kind::EpanetExport:
            return ".inp";
        case BatchJob::Kind::EpanetImport:
        case BatchJob::Kind::SizeNetwork:
        case BatchJob::Kind::SizeNetworkLeastCost:
            return "";  // a data file is named as the user names it
        case BatchJob::Kind::WordReport:
            break;
    }
    return ".docx";
}

// The file the document goes to, or nothing when it must not be written:
// a folder, or the project's own data file (which the document would
// replace), are refused; the extension of the document's kind is added.
std::optional<std::filesystem::path> OutputFile(const BatchJob& job, std::ostream& messages) {
    namespace fs = std::filesystem;
    const fs::path& given = *job.output;
    std::error_code error;
    if (given.empty() || !given.has_filename() || fs::is_directory(given, error)) {
        messages << "Il file da scrivere \"" << given.string()
                 << "\" è una cartella: indicare con -o anche il nome del file.\n";
        return std::nullopt;
    }
    const char* extension = ExtensionOf(job.kind);
    if (const auto refused = ProjectAsOutput(given, extension, job.project)) {
        messages << *refused << " Indicare con -o un altro nome.\n";
        return std::nullopt;
    }
    const fs::path named = WithExtension(given, extension);
    if (named != given) {
        messages << "Al nome del file è stata aggiunta l'estensione " << extension
                 << ": il documento sarà scritto in \"" << named.string() << "\".\n";
    }
    return named;
}

int WriteOut(const std::filesystem::path& output, const std::string& bytes, std::ostream& messages,
             std::ostream& done) {
    const ArchiveResult written = WriteFileAtomically(output, bytes);
    if (!written.ok) {
        messages << "Esportazione non eseguita. " << written.message << '\n';
        return 1;
    }
    done << output.string() << '\n';
    return 0;
}

int SaveNewProject(const std::filesystem::path& output, const Project& project,
                   std::ostream& messages, std::ostream& done) {
    const ArchiveResult written = WriteProjectFile(output, project);
    if (!written.ok) {
        messages << "Progetto non salvato. " << written.message << '\n';
        return 1;
    }
    done << output.string() << '\n';
    return 0;
}

// Far beyond a network of 500 sections written as 14 pipes each.
constexpr std::uintmax_t MaxEpanetFileBytes = 64u << 20;

int ImportEpanetFile(const std::filesystem::path& file, const std::filesystem::path& output,
                     const CatalogueSet& catalogues, std::ostream& messages, std::ostream& done) {
    std::string text;
    const ArchiveResult read = ReadWholeFile(file, MaxEpanetFileBytes, text);
    if (!read.ok) {
        messages << "Importazione non eseguita. " << read.message << '\n';
        return 1;
    }
    const interchange::ProjectInpImport imported =
        interchange::ImportProjectFromEpanet(text, catalogues.series);
    for (const std::string& note : imported.notes) {
        messages << note << '\n';
    }
    if (!imported.ok) {
        messages << "Importazione non eseguita. " << imported.error << '\n';
        return 1;
    }
    return SaveNewProject(output, imported.project, messages, done);
}

// The bill of the pipes laid, then the pipe of each section; nothing, with
// the reason, when the project lays none.
std::optional<std::string> PipeBillCsv(const ProgramState& state, std::ostream& messages) {
    const std::string problems = CatalogueProblemsText(state.catalogues);
    if (!problems.empty()) {
        messages << CatalogueTitle << ": " << problems << '\n';
    }
    std::string text = PipeBillText(state);
    if (text.empty()) {
        messages << NothingLaidText << '\n';
        return std::nullopt;
    }
    return text;
}

}  // namespace

int RunBatchJob(const BatchJob& job, ProgramState& state, DocumentDesk& desk,
                const PdfPrinterFactory& pdfPrinter, const std::string& today,
                std::ostream& messages, std::ostream& done) {
    using Kind = BatchJob::Kind;
    const bool pdf = job.kind == Kind::PdfReport;
    const bool csv = job.kind == Kind::SummaryCsv || job.kind == Kind::PipeBill;
    const bool inp = job.kind == Kind::EpanetExport;
    const bool dataFile = job.kind == Kind::EpanetImport || job.kind == Kind::SizeNetwork ||
                          job.kind == Kind::SizeNetworkLeastCost;
    if ((pdf || csv || inp || dataFile) && !job.output) {
        messages << "Indicare con -o il file "
                 << (pdf   ? "PDF"
                     : csv ? "CSV"
                     : inp ? "EPANET (.inp)"
                           : "di dati del nuovo progetto")
                 << " da scrivere.\n";
        return 2;
    }
    std::optional<std::filesystem::path> output;
    if (job.output) {
        output = OutputFile(job, messages);
        if (!output) {
            return 1;
        }
    }
    // The catalogues read at start-up; a caller that read none names a folder.
    const CatalogueSet catalogues =
        state.catalogues.series.empty() ? ProgramCatalogues(job.catalogueFolder) : state.catalogues;
    if (job.kind == Kind::EpanetImport) {
        return ImportEpanetFile(job.project, *output, catalogues, messages, done);
    }
    BatchDialogs dialogs(messages, [&] { return pdfPrinter(*output); });
    HeadlessWindows windows(state, dialogs, today);
    InitProgramValues(state.identity.values);
    windows.LoadDataWindow();
    if (!ArchiveCommands(state, dialogs, windows, WindowId::frontespizio).OpenFile(job.project)) {
        return 1;
    }
    if (dataFile) {
        const PipeSeries* series = FindSeries(catalogues, state.project.network.series);
        if (series == nullptr && !state.project.network.series.empty()) {
            messages << "La serie di tubazioni «" << state.project.network.series
                     << "» del progetto non è tra i cataloghi: si dimensionano i soli diametri "
                        "teorici.\n";
        }
        const NetworkSizingOutcome sized =
            SizeProjectNetwork(state, series, job.kind == Kind::SizeNetworkLeastCost);
        messages << sized.message << '\n';
        if (!sized.done) {
            return 1;
        }
        return SaveNewProject(*output, state.project, messages, done);
    }
    if (inp) {
        const PipeSeries* series = FindSeries(catalogues, state.project.network.series);
        const interchange::ProjectInpExport exported = interchange::ExportProjectToEpanet(
            state.project, OfficeLimits(state.settings),
            series != nullptr ? std::optional<double>(series->roughnessMm) : std::nullopt,
            state.catalogues.series);
        if (!exported.ok) {
            messages << "Esportazione non eseguita. " << exported.error << '\n';
            return 1;
        }
        if (!exported.leftOut.empty()) {
            messages << interchange::LeftOutText(exported.leftOut) << '\n';
        }
        return WriteOut(*output, exported.text, messages, done);
    }
    if (csv) {
        std::string text;
        if (job.kind == BatchJob::Kind::PipeBill) {
            const std::optional<std::string> bill = PipeBillCsv(state, messages);
            if (!bill) {
                return 1;
            }
            text = *bill;
        } else {
            // The network's figures with the pipes laid, as the window shows them.
            const bool network = HasNetwork(state.project);
            const NetworkResult analysis =
                network ? AnalyseNetwork(NetworkInputOf(state.project, OfficeLimits(state.settings),
                                                        state.catalogues.series))
                        : NetworkResult{};
            text = SummaryCsv(SummarizeNetwork(state.project, state.settings, network,
                                               network ? &analysis : nullptr));
        }
        const ArchiveResult written = WriteFileAtomically(*output, text);
        if (!written.ok) {
            messages << "Esportazione non eseguita. " << written.message << '\n';
            return 1;
        }
        done << output->string() << '\n';
        return 0;
    }
    windows.LoadTitlePage().SelectPrintMode(pdf ? 2 : 1);
    BatchDesk batchDesk(desk);
    DocumentCommands commands(state, dialogs, windows, batchDesk);
    if (output) {
        commands.WriteTo(*output);
    }
    if (!commands.FullReport()) {
        return 1;
    }
    done << (pdf ? output->string() : commands.LastDocument().value_or("").string()) << '\n';
    return 0;
}

}  // namespace acquenza
