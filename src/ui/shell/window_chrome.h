#pragma once
// Pieces the two working windows share: labelled controls placed in twips,
// menu entries with names, the 20-position toolbar, the window entry at the
// right end of the menu bar.

#include <QColor>
#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "app/windows.h"

class QAction;
class QLabel;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolButton;
class QWidget;

namespace acquenza::ui {

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QString& tooltip,
                  int left, int top, int width, int height);
void SetBackground(QWidget* widget, const QColor& colour);

// A working window's caption: its own text, then the project's file name
// ("senza nome" before it has one) and the mark of unsaved changes.
QString WorkingCaption(const QString& caption, const std::string& fileName);

QAction* AddMenuEntry(QMenu* menu, const char* name, const QString& text,
                      std::function<void()> action);
void AddMenuSeparator(QMenu* menu, const char* name);
// The "Visualizza" entry of the window one is in: checked, and it stays
// checked whatever is chosen.
void PinCheckMark(QAction* entry);

// The "?" menu of both working windows: guide, tips, support, about. Each
// window names its menu, tips entry and separators in its own way.
struct HelpMenuNames {
    const char* menu;
    const char* tips;
    const char* firstSeparator;
    const char* secondSeparator;
};
void AddHelpMenu(QMenuBar* bar, const HelpMenuNames& names,
                 const std::function<void(WindowId)>& show);

// The help window shown by toolbar positions 13 to 16, the same in both
// working windows; nothing for the other positions.
std::optional<WindowId> HelpWindowAtToolbarPosition(int position);

// The window's own entry at the right end of the bar; it acts at once.
QToolButton* AddWindowEntry(QMenuBar* bar, const QString& text, std::function<void()> action);

struct ToolbarButton {
    const char* tooltip;  // nullptr: a separator
    const char* icon;     // the program's own drawing, ":/toolbar/<icon>.svg"
};

// The toolbar "Toolbar1" of 20 positions; a click calls onClick(position).
// The actions are named Toolbar1_1 .. Toolbar1_20. The toolbar stays where it
// is: it cannot be moved, floated, or hidden from a context menu.
void BuildToolbar(QMainWindow* window, const std::array<ToolbarButton, 20>& buttons,
                  std::function<void(int)> onClick);

// "nuovo progetto" before the toolbar's first position, in both working
// windows; the 20 positions keep their numbers.
void AddNewProjectButton(QMainWindow* window, std::function<void()> onClick);

// The layout both working windows share: the same buttons at every position
// but those the window sets for itself (6, 8, 9, 11, 18, 19).
std::array<ToolbarButton, 20> SharedToolbarLayout();

}  // namespace acquenza::ui
