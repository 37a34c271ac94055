#pragma once
// The keyboard of the two working windows: undo and redo of the project win
// over the text boxes' own.

#include <QObject>

#include "app/edit_history.h"

class QAction;
class QMainWindow;

namespace acquenza::ui {

struct UndoEntries {
    QAction* undo = nullptr;
    QAction* redo = nullptr;
};

// Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z in the window's text boxes, and their
// right-click menus, reach the entries "Annulla" and "Ripeti": the
// project's history is the one undo the user meets. For the boxes that
// exist when it is called.
void GuardTextBoxes(QMainWindow* window, const UndoEntries& entries);
// For a window's destructor: its controls still live a moment after the
// window's own members are gone, and a control losing the focus then must
// not reach the window's behaviour.
void DetachControls(QObject* window);

// Enabled only when there is a step, each naming it in its tooltip.
void ShowUndoState(const UndoEntries& entries, const EditHistory& history);

}  // namespace acquenza::ui
