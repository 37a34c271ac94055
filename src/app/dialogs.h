#pragma once
// Everything the program asks or tells the user goes through Dialogs, so the
// behaviour can be driven by tests with scripted answers.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "reports/printer_device.h"

namespace acquenza {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb LightGrey{192, 192, 192};

enum class MessageIcon { None, Stop, Exclamation, Information, Question };
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class Answer { Ok, Yes, No, Cancel };

// A modal message box. Lines of the text are separated by "\n".
struct Message {
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    Answer defaultAnswer = Answer::Ok;
    bool operator==(const Message&) const = default;
};

struct FileFilter {
    std::string description;
    std::string pattern;
    bool operator==(const FileFilter&) const = default;
};

// An open-file or save-file dialog. initialName preselects a file (a bare
// name or a full path); selectedFilter indexes filters from 0.
struct FileDialogRequest {
    enum class Kind { Open, Save };
    Kind kind = Kind::Open;
    std::string title;
    std::string initialName;
    std::vector<FileFilter> filters;
    int selectedFilter = 0;
    // The start of every name the user is meant to type the rest behind:
    // when initialName starts with it, the name box leaves it unselected,
    // with the cursor after it.
    std::string namePrefix = {};
    // Saving the project's own data file. Every other save dialog writes a
    // document, which must never replace the project's file.
    bool projectFile = false;
    bool operator==(const FileDialogRequest&) const = default;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;

    // The full path chosen, or nullopt when the dialog was cancelled.
    virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;
    // The printer dialog: the printer chosen, ready to print on, or nothing
    // when the dialog was cancelled.
    virtual std::unique_ptr<PrinterDevice> ChoosePrinter() = 0;

    virtual Answer Show(const Message& message) = 0;
    // The colour dialog with `current` preselected; nullopt when cancelled.
    virtual std::optional<Rgb> ChooseColour(Rgb current) = 0;

    void Inform(std::string title, std::string text, MessageIcon icon) {
        Show({std::move(title), std::move(text), icon, MessageButtons::Ok, Answer::Ok});
    }
    bool AskYesNo(std::string title, std::string text, MessageIcon icon, Answer defaultAnswer) {
        return Show({std::move(title), std::move(text), icon, MessageButtons::YesNo,
                     defaultAnswer}) == Answer::Yes;
    }
};

}  // namespace acquenza
