#pragma once
// Message boxes, file, printer and colour dialogs for the user, on Qt.

#include <filesystem>
#include <utility>

#include "app/dialogs.h"

namespace acquenza::ui {

class QtDialogs final : public Dialogs {
  public:
    QtDialogs() = default;
    // folder is offered in the file dialogs' list of places, so the example
    // project shipped with the program is one click away.
    explicit QtDialogs(std::filesystem::path programFolder)
        : programFolder_(std::move(programFolder)) {}

    Answer Show(const Message& message) override;
    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
    // The toolkit's printer dialog, which also offers printing to a PDF file.
    std::unique_ptr<PrinterDevice> ChoosePrinter() override;
    std::optional<Rgb> ChooseColour(Rgb current) override;

  private:
    std::filesystem::path programFolder_;
};

}  // namespace acquenza::ui
