#pragma once
// The commands of the two working windows, and the one description of their
// menus, toolbar and window entry, from which each window builds its own:
// the same entries in the same order, each window with the names, captions
// and tooltips it has always had where they differ, and every entry, button
// and key of a command running that one command.

#include <QObject>
#include <array>
#include <functional>

#include "app/windows.h"
#include "ui/shell/working_keys.h"

class QAction;
class QMainWindow;

namespace acquenza {
class Dialogs;
struct ProgramState;
}  // namespace acquenza

namespace acquenza::ui {

class QtWindowSystem;

enum class Command {
    New,
    Open,
    Save,
    SaveAs,
    Delete,
    // The print submenu's two documents: the data window's blank template
    // and its table; the title page alone and the full report.
    PrintOther,
    Print,
    Exit,
    Undo,
    Redo,
    Background,
    Check,
    Clear,
    ShowData,
    ShowTitlePage,
    Summary,
    HelpContents,
    Tips,
    Support,
    About,
    WindowGuide,  // the window entry at the right end of the bar
    HelpMessage,  // the AIUTO button
};
inline constexpr int CommandCount = static_cast<int>(Command::HelpMessage) + 1;

// What a window does for the commands that are its own; the rest are the
// same whichever window gives them.
struct OwnCommands {
    std::function<void()> printOther;
    std::function<void()> print;
    std::function<void()> background;
    std::function<void()> check;
    std::function<void()> clear;
    // The window's own "Visualizza" entry: the question about its guide.
    std::function<void()> guideQuestion;
    std::function<void()> windowGuide;
    std::function<void()> helpMessage;
};

class WorkingActions final : public QObject {
  public:
    // Builds the window's menus, toolbar and window entry. `which` is dati
    // or frontespizio.
    WorkingActions(QMainWindow* window, WindowId which, ProgramState& state, Dialogs& dialogs,
                   QtWindowSystem& windows, OwnCommands own);

    // Runs a command as its menu entry, button or key does, and brings every
    // window in line afterwards.
    void Run(Command command);
    // Undo and redo enabled, and named in their tooltips, as the history says.
    void ShowUndoState();
    // Once the window's boxes exist: the undo keys and the boxes' own menus
    // go to the project's history rather than to the boxes.
    void GuardBoxes();

  private:
    void Bind(OwnCommands own);
    void BuildMenus(QMainWindow* window);
    void BuildToolbar(QMainWindow* window);

    WindowId which_;
    ProgramState& state_;
    Dialogs& dialogs_;
    QtWindowSystem& windows_;
    std::array<std::function<void()>, CommandCount> run_{};
    UndoEntries undo_;
    QMainWindow* window_;
};

}  // namespace acquenza::ui
