// Any file opened as a project from either window, as a user opens it: the
// grid is refreshed and paged through, then every document is built: the
// report, the title page and the data window's table as word-processor
// packages, and the report printed on a recording printer. Nothing may crash
// or hang, and the project stays within its bounds.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/archive_commands.h"
#include "app/document_commands.h"
#include "app/fakes.h"
#include "app/program_values.h"
#include "fuzz_qt.h"
#include "reports/docx_writer.h"
#include "reports/other_documents.h"
#include "reports/recording_printer.h"
#include "reports/word_report.h"

using namespace acquenza;

namespace {

// The file lives in memory; the program opens it by its /proc name.
int fileDescriptor = -1;

class NoDesk : public DocumentDesk {
  public:
    std::filesystem::path DocumentsFolder() override { std::abort(); }
    std::string Timestamp() override { return "2026-12-08_09-30-15"; }
    bool Open(const std::filesystem::path&) override { return false; }
};

void Encode(const Document& document) {
    std::string bytes;
    std::string error;
    if (!EncodeDocx(document, bytes, error)) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv) {
    fuzz::StartQt((*argv)[0]);
    fileDescriptor = ::memfd_create("Acquenza-dati-fuzz", 0);
    return fileDescriptor >= 0 ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (::ftruncate(fileDescriptor, 0) != 0 ||
        ::pwrite(fileDescriptor, data, size, 0) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    ProgramState state;
    InitProgramValues(state.identity.values);
    InitSharedTitles(state.identity.titles, state.identity.values);
    testing::FakeDialogs dialogs;
    testing::FakeWindows windows(state, dialogs);
    dialogs.files = {"/proc/self/fd/" + std::to_string(fileDescriptor)};
    ArchiveCommands(state, dialogs, windows,
                    size % 2 == 0 ? WindowId::dati : WindowId::frontespizio)
        .Open();

    const Project& project = state.project;
    TitlePageModel& title = windows.LoadTitlePage();
    DataWindowModel& grid = windows.LoadDataWindow();
    if (project.enteredSectionCount < 0 || project.enteredSectionCount > MaxSections ||
        grid.ScrollValue() < 1 || grid.ScrollValue() > DataWindowModel::MaxFirstVisible) {
        std::abort();
    }
    for (int first = 11; first <= project.enteredSectionCount; first += 10) {
        grid.Scroll(first);
    }
    const Office office{"Studio Tecnico", "Via dell'Acquedotto 12"};
    Encode(BuildWordReport(state.project, office));
    Encode(BuildTitlePageDocument(state.project, office));
    Encode(BuildDataWindowDocument(state.project));

    title.SelectPrintMode(2);
    dialogs.nextPrinter = std::make_unique<reports_test::RecordingPrinter>();
    NoDesk desk;
    DocumentCommands(state, dialogs, windows, desk).FullReport();
    return 0;
}
