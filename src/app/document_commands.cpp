#include "app/document_commands.h"

#include <cerrno>
#include <system_error>

#include "app/data_window_model.h"
#include "app/guide_pages.h"
#include "app/network_model.h"
#include "app/title_page_model.h"
#include "archive/atomic_file.h"
#include "reports/direct_print.h"
#include "reports/docx_writer.h"
#include "reports/guide_documents.h"
#include "reports/other_documents.h"
#include "reports/word_report.h"

namespace acquenza {

namespace {

// The office the settings give, which the title page shows, is the one every
// report prints.
Office OfficeOf(const Settings& settings) {
    return {settings.officeName, settings.officeAddress};
}

// Documents made in the same second get "-2", "-3", ... up to this.
constexpr int MaxSameNamedDocuments = 1000;

// Characters that show nothing, or turn the text around, in a file name:
// controls, the bidirectional marks and embeddings, zero-width characters,
// the soft hyphen and the byte-order mark. A name holding them looks like
// another one, or like one with another extension.
bool Invisible(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0x9F) || cp == 0xAD || cp == 0x61C || cp == 0x180E ||
           (cp >= 0x200B && cp <= 0x200F) || (cp >= 0x202A && cp <= 0x202E) ||
           (cp >= 0x2060 && cp <= 0x206F) || cp == 0xFEFF || (cp >= 0xFFF9 && cp <= 0xFFFB);
}

// The code point of the UTF-8 sequence at text[pos], and its length; a byte
// that starts no sequence stands for itself.
std::pair<char32_t, std::size_t> NextCharacter(const std::string& text, std::size_t pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t length = lead < 0x80    ? 1
                               : lead >= 0xF0 ? 4
                               : lead >= 0xE0 ? 3
                               : lead >= 0xC0 ? 2
                                              : 1;
    if (pos + length > text.size()) {
        return {lead, 1};
    }
    char32_t cp = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80) {
            return {lead, 1};
        }
        cp = cp << 6 | (next & 0x3F);
    }
    return {cp, length};
}

std::string SafeName(const std::string& text) {
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const auto [cp, length] = NextCharacter(text, pos);
        const char c = text[pos];
        if (cp >= 0x80 && !Invisible(cp)) {
            out.append(text, pos, length);
        } else if (!Invisible(cp)) {
            const bool keep = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
                              (c >= 'A' && c <= 'Z') || c == '-' || c == '.';
            out += keep ? c : '_';
        }
        pos += length;
    }
    // Never cut a multi-byte character in half.
    std::size_t cut = std::min<std::size_t>(out.size(), 60);
    while (cut > 0 && cut < out.size() && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    out.resize(cut);
    while (!out.empty() && (out.front() == '.' || out.front() == '_')) {
        out.erase(0, 1);
    }
    return out;
}

}  // namespace

std::string DocumentFileName(const std::string& kind, const std::string& project,
                             const std::string& timestamp) {
    const std::string name = SafeName(project);
    return kind + (name.empty() ? "" : "-" + name) + "-" + timestamp + ".docx";
}

DocumentCommands::DocumentCommands(ProgramState& state, Dialogs& dialogs, WindowSystem& windows,
                                   DocumentDesk& desk)
    : state_(state), dialogs_(dialogs), windows_(windows), desk_(desk) {}

void DocumentCommands::RecalculateAll() {
    DataWindowModel& grid = windows_.LoadDataWindow();
    grid.FinishTyping();
    grid.RecalculateAll();
    // The data window's document also prints the sections after one whose
    // length was emptied, which the count leaves out.
    for (int s = state_.project.enteredSectionCount + 1;
         s <= LastSectionWithInput(state_.project.sections); ++s) {
        grid.RecalculateSection(s);
    }
}

bool DocumentCommands::FullReport() {
    if (!windows_.LoadDataWindow().CheckData(CheckFor::Documents)) {
        windows_.Show(WindowId::dati);
        return false;
    }
    RecalculateAll();
    // How to print is the title page's choice, as its window shows it.
    TitlePageModel& titlePage = windows_.LoadTitlePage();
    if (titlePage.PrintMode() == 2) {
        return PrintDirectly(titlePage.ReportBodyFontSize());
    }
    titlePage.SetGuidance("sto caricando WORD per la stampa");
    return Deliver(BuildWordReport(state_.project, OfficeOf(state_.settings),
                                   OfficeLimits(state_.settings), state_.catalogues.series),
                   "relazione");
}

bool DocumentCommands::PrintDirectly(int bodyFontSize) {
    const std::unique_ptr<PrinterDevice> printer = dialogs_.ChoosePrinter();
    if (!printer) {
        return false;  // cancelled: nothing is printed
    }
    PrintReport(*printer, state_.project, OfficeOf(state_.settings), bodyFontSize,
                OfficeLimits(state_.settings), state_.catalogues.series);
    if (printer->Failed()) {
        // A print that stops halfway must not pass for a finished one. The
        // device says what failed: the printer to check, or the PDF file
        // that could not be written and why.
        dialogs_.Inform(DocumentTitle,
                        "Stampa della relazione non riuscita. " + printer->FailureText(),
                        MessageIcon::Stop);
        return false;
    }
    return true;
}

void DocumentCommands::TitlePageDocument() {
    Deliver(BuildTitlePageDocument(state_.project, OfficeOf(state_.settings)), "frontespizio");
}

void DocumentCommands::DataWindowDocument() {
    RecalculateAll();
    windows_.LoadDataWindow().SetGuidance("sto caricando WORD");
    Deliver(BuildDataWindowDocument(state_.project), "dati");
}

void DocumentCommands::AcquisitionTemplate() {
    windows_.LoadDataWindow().SetGuidance("sto caricando WORD");
    Deliver(BuildAcquisitionTemplate(), "modello-acquisizione");
}

std::optional<std::filesystem::path> DocumentCommands::DocumentsFolder() {
    const std::filesystem::path folder = desk_.DocumentsFolder() / "Acquenza";
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        dialogs_.Inform(DocumentTitle,
                        "Impossibile creare la cartella dei documenti \"" + folder.string() +
                            "\": " + ItalianErrorText(ec.value()) + ".",
                        MessageIcon::Stop);
        return std::nullopt;
    }
    return folder;
}

bool DocumentCommands::Deliver(const Document& document, const std::string& kind) {
    if (target_) {
        // A file the user named: replaced as a saved file is.
        const ArchiveResult written = WriteDocx(document, *target_);
        if (!written.ok) {
            dialogs_.Inform(DocumentTitle, "Documento non creato. " + written.message,
                            MessageIcon::Stop);
            return false;
        }
        Opened(*target_);
        return true;
    }
    const std::optional<std::filesystem::path> folder = DocumentsFolder();
    if (!folder) {
        return false;
    }
    const std::string& project = state_.project.titles.progetto;
    const std::string stamp = desk_.Timestamp();
    std::string bytes;
    std::string error;
    if (!EncodeDocx(document, bytes, error)) {
        dialogs_.Inform(DocumentTitle,
                        "Documento non creato: impossibile preparare il documento (" + error + ").",
                        MessageIcon::Stop);
        return false;
    }
    // The name is taken only by creating the file, so a document that another
    // instance of the program made meanwhile is never replaced.
    for (int n = 1; n <= MaxSameNamedDocuments; ++n) {
        const std::filesystem::path file =
            *folder /
            DocumentFileName(kind, project, n == 1 ? stamp : stamp + "-" + std::to_string(n));
        const ArchiveResult created = CreateFileExclusively(file, bytes);
        if (created.ok) {
            Opened(file);
            return true;
        }
        if (created.error != EEXIST) {
            dialogs_.Inform(DocumentTitle, "Documento non creato. " + created.message,
                            MessageIcon::Stop);
            return false;
        }
    }
    dialogs_.Inform(DocumentTitle,
                    "Documento non creato: nella cartella \"" + folder->string() +
                        "\" esistono già troppi documenti con lo stesso nome.",
                    MessageIcon::Stop);
    return false;
}

void DocumentCommands::Opened(const std::filesystem::path& file) {
    last_ = file;
    if (!desk_.Open(file)) {
        dialogs_.Inform(DocumentTitle,
                        "Il documento è stato salvato in \"" + file.string() +
                            "\", ma nessun programma di videoscrittura ha potuto aprirlo: aprirlo "
                            "a mano da quella cartella.",
                        MessageIcon::Exclamation);
    }
}

void DocumentCommands::GuidePageDocument(WindowId page) {
    const GuidePage& guide = GuidePageOf(page);
    const ProgramValues& v = state_.identity.values;
    Deliver(BuildGuidePageDocument(v.ProgramName, v.ProgramSubtitle, {guide.title, guide.text}),
            std::string("guida-") + guide.name);
}

void DocumentCommands::CompleteGuide(const std::filesystem::path& programFolder) {
    const ProgramValues& v = state_.identity.values;
    std::vector<GuideText> pages;
    for (const GuidePage& page : GuidePages()) {
        pages.push_back({page.title, page.text});
    }
    const Document guide = BuildCompleteGuide(v.ProgramName, v.ProgramSubtitle, pages);
    const std::string name = v.ProgramName + "-guida.docx";
    const std::filesystem::path beside = programFolder / name;
    if (WriteDocx(guide, beside).ok) {
        last_ = beside;
        if (!desk_.Open(beside)) {
            dialogs_.Inform(DocumentTitle,
                            "La guida è stata salvata in \"" + beside.string() +
                                "\", ma nessun programma di videoscrittura ha potuto aprirla.",
                            MessageIcon::Exclamation);
        }
        return;
    }
    // A system-wide installation cannot write beside the program.
    const std::optional<std::filesystem::path> folder = DocumentsFolder();
    if (!folder) {
        return;
    }
    const ArchiveResult written = WriteDocx(guide, *folder / name);
    if (!written.ok) {
        dialogs_.Inform(DocumentTitle, "Guida non salvata. " + written.message, MessageIcon::Stop);
        return;
    }
    Opened(*folder / name);
    dialogs_.Inform(DocumentTitle,
                    "La cartella del programma non è scrivibile: la guida è stata salvata in \"" +
                        (*folder / name).string() + "\".",
                    MessageIcon::Information);
}

}  // namespace acquenza
