#pragma once
// Pieces the two working windows share: labelled controls placed in twips,
// menu entries with names, the 20-position toolbar, the window entry at the
// right end of the menu bar.

#include <QColor>
#include <QString>
#include <QStyle>
#include <array>
#include <functional>

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

QAction* AddMenuEntry(QMenu* menu, const char* name, const QString& text,
                      std::function<void()> action);
void AddMenuSeparator(QMenu* menu, const char* name);

// The window's own entry at the right end of the bar; it acts at once.
QToolButton* AddWindowEntry(QMenuBar* bar, const QString& text, std::function<void()> action);

struct ToolbarButton {
    const char* tooltip;  // nullptr: a separator
    const char* themeIcon;
    QStyle::StandardPixmap fallback;
};

// The toolbar "Toolbar1" of 20 positions; a click calls onClick(position).
// The actions are named Toolbar1_1 .. Toolbar1_20.
void BuildToolbar(QMainWindow* window, const std::array<ToolbarButton, 20>& buttons,
                  std::function<void(int)> onClick);

// The layout both working windows share: the same buttons at every position
// but those the window sets for itself (6, 8, 9, 11, 18, 19).
std::array<ToolbarButton, 20> SharedToolbarLayout();

}  // namespace acquenza::ui
