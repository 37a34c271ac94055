#pragma once
// The documents: the full report from the title page (as a word-processor
// document or printed directly), the title page alone, the data window's
// table and the blank collection form. Each word-processor document is
// written as a .docx file in the user's documents folder and opened in the
// word processor.

#include <filesystem>
#include <optional>
#include <string>

#include "app/dialogs.h"
#include "app/document_desk.h"
#include "app/program_state.h"
#include "app/windows.h"
#include "reports/document_model.h"

namespace acquenza {

class TitlePageModel;

class DocumentCommands {
  public:
    DocumentCommands(ProgramState& state, Dialogs& dialogs, WindowSystem& windows,
                     DocumentDesk& desk);

    // stampa, stampatutto, title-page toolbar 6: through the word processor or
    // straight on a printer, as the title page's print choice says.
    // True when the document was written or printed to its end.
    bool FullReport();
    void TitlePageDocument();    // solodati
    void DataWindowDocument();   // data window: stampa, toolbar 6
    void AcquisitionTemplate();  // acquisizionedati
    // A guide page's print, and the complete guide from the help contents,
    // saved as "Acquenza-guida.docx" in the program's folder (or, when that
    // folder is not writable, in the documents folder, and the user is told).
    void GuidePageDocument(WindowId page);
    void CompleteGuide(const std::filesystem::path& programFolder);

    static constexpr const char* DocumentTitle = "Acquenza: documenti";

    // Documents go to this file, replacing it, instead of a new file in the
    // documents folder (the command line's -o).
    void WriteTo(std::filesystem::path file) { target_ = std::move(file); }

    // The file a document was last written to (for tests and messages).
    const std::optional<std::filesystem::path>& LastDocument() const { return last_; }

  private:
    // Every section's results and map made current, without moving the grid
    // and without touching what the user typed.
    void RecalculateAll();
    bool PrintDirectly(int bodyFontSize);
    // Creates a new file for the document in the documents folder, never in
    // place of another (or writes the file WriteTo named), and opens it.
    bool Deliver(const Document& document, const std::string& kind);
    // Opens a written document, or tells the user where it is.
    void Opened(const std::filesystem::path& file);
    std::optional<std::filesystem::path> DocumentsFolder();

    ProgramState& state_;
    Dialogs& dialogs_;
    WindowSystem& windows_;
    DocumentDesk& desk_;
    std::optional<std::filesystem::path> last_;
    std::optional<std::filesystem::path> target_;
};

// "relazione-Rete_di_Colle_Alto-2026-12-08_09-30-15.docx": letters, digits and
// a few safe marks kept, the rest turned into "_", at most 60 characters.
std::string DocumentFileName(const std::string& kind, const std::string& project,
                             const std::string& timestamp);

}  // namespace acquenza
