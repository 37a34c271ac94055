#pragma once
// Message boxes, file, printer and colour dialogs for the user, on Qt.

#include <filesystem>
#include <functional>
#include <string>
#include <utility>

#include "app/dialogs.h"

namespace acquenza::ui {

class QtDialogs final : public Dialogs {
  public:
    // The full path of the project's data file, empty while it has none.
    using ProjectFile = std::function<std::string()>;

    QtDialogs() = default;
    // folder is offered in the file dialogs' list of places, so the example
    // project shipped with the program is one click away. A document chosen
    // in a save or printer dialog is never let onto `projectFile`.
    explicit QtDialogs(std::filesystem::path programFolder, ProjectFile projectFile = {})
        : programFolder_(std::move(programFolder)), projectFile_(std::move(projectFile)) {}

    Answer Show(const Message& message) override;
    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
    // The toolkit's printer dialog, which also offers printing to a PDF file.
    std::unique_ptr<PrinterDevice> ChoosePrinter() override;
    std::optional<Rgb> ChooseColour(Rgb current) override;

  private:
    // Why a document cannot be written to `file` (with `extension` added
    // when it lacks it), shown to the user; false when it can.
    bool RefuseProjectFile(const std::string& file, const std::string& extension,
                           const std::string& title);

    std::filesystem::path programFolder_;
    ProjectFile projectFile_;
};

}  // namespace acquenza::ui
