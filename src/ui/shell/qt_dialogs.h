#pragma once
// Message boxes and the colour dialog for the user, on Qt.

#include "app/dialogs.h"

namespace acquenza::ui {

class QtDialogs final : public Dialogs {
  public:
    Answer Show(const Message& message) override;
    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override;
    // The toolkit's printer dialog, which also offers printing to a PDF file.
    std::unique_ptr<PrinterDevice> ChoosePrinter() override;
    std::optional<Rgb> ChooseColour(Rgb current) override;
};

}  // namespace acquenza::ui
