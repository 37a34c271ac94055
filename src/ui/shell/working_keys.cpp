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

void Shortcut(QMainWindow* window, const char* entry, const QKeySequence& keys) {
    if (auto* action = window->findChild<QAction*>(QString::fromLatin1(entry))) {
        action->setShortcut(keys);
    }
}

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

void AddUsualShortcuts(QMainWindow* window, const char* print, const char* exit) {
    Shortcut(window, "nuovo", QKeySequence(Qt::CTRL | Qt::Key_N));
    Shortcut(window, "apri", QKeySequence(Qt::CTRL | Qt::Key_O));
    Shortcut(window, "salva", QKeySequence(Qt::CTRL | Qt::Key_S));
    Shortcut(window, "salvanome", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    Shortcut(window, print, QKeySequence(Qt::CTRL | Qt::Key_P));
    Shortcut(window, exit, QKeySequence(Qt::CTRL | Qt::Key_Q));
}

void AddSummaryEntry(QMainWindow* window, const char* viewMenu, std::function<void()> show) {
    auto* menu = window->findChild<QMenu*>(QString::fromLatin1(viewMenu));
    if (menu == nullptr) {
        return;
    }
    menu->addSeparator()->setObjectName(QStringLiteral("lriepilogo"));
    QAction* entry = menu->addAction(QStringLiteral("&Riepilogo della rete"));
    entry->setObjectName(QStringLiteral("riepilogo"));
    entry->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    entry->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(entry, &QAction::triggered, menu, [show = std::move(show)] { show(); });
}

UndoEntries AddUndoEntries(QMainWindow* window, const char* editMenu, std::function<void()> undo,
                           std::function<void()> redo) {
    auto* menu = window->findChild<QMenu*>(QString::fromLatin1(editMenu));
    UndoEntries entries;
    if (menu == nullptr) {
        return entries;
    }
    QAction* first = menu->actions().value(0);
    entries.undo = new QAction(QStringLiteral("A&nnulla"), menu);
    entries.undo->setObjectName(QStringLiteral("annulla"));
    entries.undo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    entries.redo = new QAction(QStringLiteral("&Ripeti"), menu);
    entries.redo->setObjectName(QStringLiteral("ripeti"));
    entries.redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction* action : {entries.undo, entries.redo}) {
        // Active wherever the focus is in the window, even in a box.
        action->setShortcutContext(Qt::WindowShortcut);
        menu->insertAction(first, action);
    }
    QAction* separator = menu->insertSeparator(first);
    separator->setObjectName(QStringLiteral("lannulla"));
    menu->setToolTipsVisible(true);
    QObject::connect(entries.undo, &QAction::triggered, menu, [undo = std::move(undo)] { undo(); });
    QObject::connect(entries.redo, &QAction::triggered, menu, [redo = std::move(redo)] { redo(); });
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
    return entries;
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
