#pragma once
// The keyboard of the two working windows: the usual shortcuts on their
// menu entries, and undo and redo of the project at the top of "Modifica".

#include <QObject>
#include <functional>

#include "app/edit_history.h"

class QAction;
class QMainWindow;

namespace acquenza::ui {

// Ctrl+N, Ctrl+O, Ctrl+S, Ctrl+Shift+S, Ctrl+P and Ctrl+Q on the window's
// entries (found by name; `print` is the entry Ctrl+P runs), shown in the
// menus.
void AddUsualShortcuts(QMainWindow* window, const char* print, const char* exit);

// "Riepilogo della rete" at the end of the window's view menu, with Ctrl+R.
void AddSummaryEntry(QMainWindow* window, const char* viewMenu, std::function<void()> show);

struct UndoEntries {
    QAction* undo = nullptr;
    QAction* redo = nullptr;
};

// "Annulla" and "Ripeti" at the top of the window's edit menu, with Ctrl+Z,
// Ctrl+Y and Ctrl+Shift+Z, which win over the text boxes' own undo (keys
// and right-click menu): the project's history is the one undo the user
// meets.
UndoEntries AddUndoEntries(QMainWindow* window, const char* editMenu, std::function<void()> undo,
                           std::function<void()> redo);
// For a window's destructor: its controls still live a moment after the
// window's own members are gone, and a control losing the focus then must
// not reach the window's behaviour.
void DetachControls(QObject* window);

// Enabled only when there is a step, each naming it in its tooltip.
void ShowUndoState(const UndoEntries& entries, const EditHistory& history);

}  // namespace acquenza::ui
