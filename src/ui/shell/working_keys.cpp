#include "ui/shell/working_keys.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPointer>

namespace acquenza::ui {

namespace {

// Keeps the text boxes from taking the undo keys for their own undo. An
// editable combo box hands the keys straight to its own text box, past any
// filter there: it is watched itself.
class UndoKeysToTheProject final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ShortcutOverride &&
            (qobject_cast<QLineEdit*>(watched) || qobject_cast<QComboBox*>(watched))) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
                key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_Y)) {
                event->ignore();
                return true;  // not overridden: the window's shortcut runs
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

namespace {

// A box's own menu, with the project's undo and redo in place of the box's:
// the box's own would bring back texts the history knows nothing of. The
// toolkit puts its undo and redo first in the menu of a box that can be
// edited.
void ShowBoxMenu(QLineEdit* box, const QPoint& where, const UndoEntries& entries) {
    QPointer<QMenu> menu = box->createStandardContextMenu();
    const QList<QAction*> actions = menu->actions();
    if (!box->isReadOnly() && actions.size() >= 2 && !actions[0]->isSeparator() &&
        !actions[1]->isSeparator()) {
        menu->insertAction(actions[0], entries.undo);
        menu->insertAction(actions[0], entries.redo);
        menu->removeAction(actions[0]);
        menu->removeAction(actions[1]);
    }
    menu->exec(box->mapToGlobal(where));
    delete menu;
}

}  // namespace

void GuardTextBoxes(QMainWindow* window, const UndoEntries& entries) {
    auto* keys = new UndoKeysToTheProject(window);
    for (QLineEdit* box : window->findChildren<QLineEdit*>()) {
        box->installEventFilter(keys);
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        QObject::connect(box, &QWidget::customContextMenuRequested, box,
                         [box, entries](const QPoint& where) { ShowBoxMenu(box, where, entries); });
    }
    for (QComboBox* box : window->findChildren<QComboBox*>()) {
        box->installEventFilter(keys);
    }
}

void DetachControls(QObject* window) {
    for (QObject* control : window->findChildren<QObject*>()) {
        control->disconnect(window);
        control->removeEventFilter(window);
    }
}

void ShowUndoState(const UndoEntries& entries, const EditHistory& history) {
    if (entries.undo == nullptr) {
        return;
    }
    entries.undo->setEnabled(history.CanUndo());
    entries.undo->setToolTip(history.CanUndo() ? QStringLiteral("Annulla: ") +
                                                     QString::fromStdString(history.UndoName())
                                               : QStringLiteral("Annulla: nulla da annullare"));
    entries.redo->setEnabled(history.CanRedo());
    entries.redo->setToolTip(history.CanRedo() ? QStringLiteral("Ripeti: ") +
                                                     QString::fromStdString(history.RedoName())
                                               : QStringLiteral("Ripeti: nulla da ripetere"));
}

}  // namespace acquenza::ui
