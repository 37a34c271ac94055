#include "ui/shell/working_actions.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSvgRenderer>
#include <QToolBar>
#include <QToolButton>
#include <vector>

#include "app/archive_commands.h"
#include "app/document_commands.h"
#include "app/new_project.h"
#include "app/program_shell.h"
#include "app/undo_commands.h"
#include "ui/shell/qt_window_system.h"

// The toolbar's drawings are compiled into the program; a resource file in a
// static library has to be registered by hand, from the global namespace.
static void RegisterToolbarIcons() {
    Q_INIT_RESOURCE(toolbar);
}

namespace acquenza::ui {

namespace {

// The two working windows, in the order of the names below.
std::size_t Side(WindowId which) {
    return which == WindowId::frontespizio ? 1 : 0;
}

// A name or text in each window; the title page's is the data window's
// where it is not given.
struct Both {
    const char* data;
    const char* title = nullptr;
    const char* In(WindowId which) const {
        return Side(which) == 1 && title != nullptr ? title : data;
    }
};

// One line of the menus: a menu opening or closing, an entry, a separator.
struct MenuLine {
    enum class Type { Menu, End, Entry, Separator } type;
    Command command = Command::New;
    Both name{nullptr};
    Both text{nullptr};
    bool tooltipsShown = false;  // a menu whose entries show their tooltips
};

using T = MenuLine::Type;
using C = Command;

const std::vector<MenuLine>& Menus() {
    static const std::vector<MenuLine> lines = {
        {T::Menu, C::New, {"file"}, {"&File"}},
        {T::Entry, C::New, {"nuovo"}, {"&Nuovo"}},
        {T::Entry, C::Open, {"apri"}, {"&Apri..."}},
        {T::Separator, C::New, {"l1", "linea1"}},
        {T::Entry, C::Save, {"salva"}, {"&Salva"}},
        {T::Entry, C::SaveAs, {"salvanome"}, {"Salva con &nome..."}},
        {T::Separator, C::New, {"l2", "linea2"}},
        {T::Entry, C::Delete, {"eliminare"}, {"&Elimina..."}},
        {T::Separator, C::New, {"l4", "l9"}},
        {T::Menu, C::New, {"stam", "stamp"}, {"S&tampa"}},
        {T::Entry,
         C::PrintOther,
         {"acquisizionedati", "solodati"},
         {"&Modello acquisizione dati", "&Solo dati finestra"}},
        {T::Entry, C::Print, {"stampa", "stampatutto"}, {"&Dati finestra", "&Intera elaborazione"}},
        {T::End},
        {T::Separator, C::New, {"l3", "linea5"}},
        {T::Entry, C::Exit, {"usci", "esci"}, {"Es&ci"}},
        {T::End},
        {T::Menu, C::New, {"modif", "modi"}, {"&Modifica"}, true},
        {T::Entry, C::Undo, {"annulla"}, {"A&nnulla"}},
        {T::Entry, C::Redo, {"ripeti"}, {"&Ripeti"}},
        {T::Separator, C::New, {"lannulla"}},
        {T::Entry, C::Background, {"colora", "colorare"}, {"&Colore di sfondo"}},
        {T::Separator, C::New, {"l5", "l"}},
        {T::Entry, C::Check, {"controlla", "controllodat"}, {"Controllo &dati immessi"}},
        {T::Separator, C::New, {"l7", "l8"}},
        {T::Entry, C::Clear, {"cancella"}, {"C&ancella dati finestra"}},
        {T::End},
        {T::Menu, C::New, {"visu"}, {"&Visualizza"}},
        {T::Entry, C::ShowData, {"fin1"}, {"Finestra Dati"}},
        {T::Entry, C::ShowTitlePage, {"fin3"}, {"Finestra Frontespizio"}},
        {T::Separator, C::New, {"lriepilogo"}},
        {T::Entry, C::Summary, {"riepilogo"}, {"&Riepilogo della rete"}},
        {T::End},
        {T::Menu, C::New, {"inter", "help"}, {"&?"}},
        {T::Entry, C::HelpContents, {"guida"}, {"&Guida in linea"}},
        {T::Entry, C::Tips, {"suggerimenti", "sugger"}, {"&Suggerimenti..."}},
        {T::Separator, C::New, {"l8", "linea3"}},
        {T::Entry, C::Support, {"supporto"}, {"Supporto &prodotto"}},
        {T::Separator, C::New, {"l9", "linea4"}},
        {T::Entry, C::About, {"informazioni"}, {"&Informazioni su Acquenza"}},
        {T::End},
    };
    return lines;
}

// The keys of the commands that have them, shown in the menus.
QList<QKeySequence> KeysOf(Command command) {
    switch (command) {
        case C::New:
            return {QKeySequence(Qt::CTRL | Qt::Key_N)};
        case C::Open:
            return {QKeySequence(Qt::CTRL | Qt::Key_O)};
        case C::Save:
            return {QKeySequence(Qt::CTRL | Qt::Key_S)};
        case C::SaveAs:
            return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)};
        case C::Print:
            return {QKeySequence(Qt::CTRL | Qt::Key_P)};
        case C::Exit:
            return {QKeySequence(Qt::CTRL | Qt::Key_Q)};
        case C::Undo:
            return {QKeySequence(Qt::CTRL | Qt::Key_Z)};
        case C::Redo:
            return {QKeySequence(Qt::CTRL | Qt::Key_Y),
                    QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
        case C::Summary:
            return {QKeySequence(Qt::CTRL | Qt::Key_R)};
        default:
            return {};
    }
}

// A position of the toolbar "Toolbar1": a button, or a separator where it
// has no tooltip. Positions keep the numbers 1 to 20 in their names.
struct Button {
    Command command;
    Both tooltip;
    const char* icon;
};

const std::array<Button, 20>& Toolbar() {
    static const std::array<Button, 20> buttons = {{
        {C::Open, {"apri file"}, "apri"},
        {C::Save, {"salva file"}, "salva"},
        {C::SaveAs, {"salva file con nome"}, "salvanome"},
        {C::Delete, {"elimina file"}, "elimina"},
        {C::New, {nullptr}, nullptr},
        {C::Print, {"stampa dati finestra", "stampa completa dell'elaborazione"}, "stampa"},
        {C::New, {nullptr}, nullptr},
        {C::ShowData, {"visualizza finestra 'Dati'"}, "finestra-dati"},
        {C::ShowTitlePage, {"visualizza finestra 'Frontespizio'"}, "finestra-frontespizio"},
        {C::New, {nullptr}, nullptr},
        {C::Background, {"colore di sfondo"}, "colore"},
        {C::New, {nullptr}, nullptr},
        {C::HelpContents, {"guida in linea"}, "guida"},
        {C::Tips, {"suggerimenti"}, "suggerimenti"},
        {C::Support, {"supporto prodotto"}, "supporto"},
        {C::About, {"informazioni su Acquenza"}, "informazioni"},
        {C::New, {nullptr}, nullptr},
        {C::Check, {"controllo dati immessi"}, "controllo"},
        {C::Clear, {"cancella dati finestra"}, "cancella"},
        {C::Exit, {"uscita da Acquenza"}, "uscita"},
    }};
    return buttons;
}

constexpr int ToolbarIconSize = 24;

// Drawn from the SVG at the sizes a toolbar asks for, on ordinary and on
// doubled-density screens, so no icon theme or image plugin is needed.
QIcon ToolbarIcon(const char* name) {
    static const bool registered = (RegisterToolbarIcons(), true);
    (void)registered;
    QSvgRenderer drawing(QStringLiteral(":/toolbar/%1.svg").arg(QString::fromLatin1(name)));
    QIcon icon;
    if (!drawing.isValid()) {
        return icon;
    }
    for (const int size : {16, 20, ToolbarIconSize, 32, 40, 2 * ToolbarIconSize}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        drawing.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// The "Visualizza" entry of the window one is in: checked, and it stays
// checked whatever is chosen (Qt flips a checkable entry at each use).
void PinCheckMark(QAction* entry) {
    entry->setCheckable(true);
    entry->setChecked(true);
    QObject::connect(entry, &QAction::toggled, entry, [entry](bool on) {
        if (!on) {
            entry->setChecked(true);
        }
    });
}

}  // namespace

WorkingActions::WorkingActions(QMainWindow* window, WindowId which, ProgramState& state,
                               Dialogs& dialogs, QtWindowSystem& windows, OwnCommands own)
    : QObject(window),
      which_(which),
      state_(state),
      dialogs_(dialogs),
      windows_(windows),
      window_(window) {
    Bind(std::move(own));
    BuildMenus(window);
    BuildToolbar(window);
}

void WorkingActions::Bind(OwnCommands own) {
    const WindowId from = which_;
    auto archive = [this, from](void (ArchiveCommands::*command)()) {
        return [this, from, command] {
            ArchiveCommands commands(state_, dialogs_, windows_, from);
            (commands.*command)();
        };
    };
    auto show = [this](WindowId window) { return [this, window] { windows_.Show(window); }; };
    // The window's own entry asks about its guide; the other's shows it.
    auto view = [&](WindowId window) {
        return window == which_ ? own.guideQuestion : show(window);
    };
    auto at = [this](Command c) -> std::function<void()>& {
        return run_[static_cast<std::size_t>(c)];
    };
    at(C::New) = [this, from] { NewProject(state_, dialogs_, windows_, from); };
    at(C::Open) = archive(&ArchiveCommands::Open);
    at(C::Save) = archive(&ArchiveCommands::Save);
    at(C::SaveAs) = archive(&ArchiveCommands::SaveAs);
    at(C::Delete) = archive(&ArchiveCommands::Delete);
    at(C::PrintOther) = std::move(own.printOther);
    at(C::Print) = std::move(own.print);
    at(C::Exit) = [this] { windows_.Shell().ConfirmExit(); };
    at(C::Undo) = [this] { UndoCommands(state_, windows_).Undo(); };
    at(C::Redo) = [this] { UndoCommands(state_, windows_).Redo(); };
    at(C::Background) = std::move(own.background);
    at(C::Check) = std::move(own.check);
    at(C::Clear) = std::move(own.clear);
    at(C::ShowData) = view(WindowId::dati);
    at(C::ShowTitlePage) = view(WindowId::frontespizio);
    at(C::Summary) = show(WindowId::riepilogo);
    at(C::HelpContents) = show(WindowId::sommario);
    at(C::Tips) = show(WindowId::frmTip);
    at(C::Support) = show(WindowId::supportoclienti);
    at(C::About) = show(WindowId::informa);
    at(C::WindowGuide) = std::move(own.windowGuide);
    at(C::HelpMessage) = std::move(own.helpMessage);
}

void WorkingActions::Run(Command command) {
    const std::function<void()>& action = run_[static_cast<std::size_t>(command)];
    if (action) {
        action();
    }
    // After the exit the windows are on their way out: nothing to show.
    if (command != Command::Exit) {
        windows_.SyncAll();
    }
}

void WorkingActions::BuildMenus(QMainWindow* window) {
    std::vector<QMenu*> open;
    for (const MenuLine& line : Menus()) {
        switch (line.type) {
            case T::Menu: {
                const QString title = QString::fromUtf8(line.text.In(which_));
                QMenu* menu =
                    open.empty() ? window->menuBar()->addMenu(title) : open.back()->addMenu(title);
                menu->setObjectName(QString::fromLatin1(line.name.In(which_)));
                menu->setToolTipsVisible(line.tooltipsShown);
                open.push_back(menu);
                break;
            }
            case T::End:
                open.pop_back();
                break;
            case T::Separator:
                open.back()->addSeparator()->setObjectName(
                    QString::fromLatin1(line.name.In(which_)));
                break;
            case T::Entry: {
                QAction* entry = open.back()->addAction(QString::fromUtf8(line.text.In(which_)));
                entry->setObjectName(QString::fromLatin1(line.name.In(which_)));
                entry->setShortcuts(KeysOf(line.command));
                // Active wherever the focus is in the window, even in a box.
                entry->setShortcutContext(Qt::WindowShortcut);
                const Command command = line.command;
                connect(entry, &QAction::triggered, this, [this, command] { Run(command); });
                if ((command == C::ShowData && which_ == WindowId::dati) ||
                    (command == C::ShowTitlePage && which_ == WindowId::frontespizio)) {
                    PinCheckMark(entry);
                }
                if (command == C::Undo) {
                    undo_.undo = entry;
                } else if (command == C::Redo) {
                    undo_.redo = entry;
                }
                break;
            }
        }
    }
    // The window's own entry at the right end of the bar: it acts at once.
    auto* entry = new QToolButton(window->menuBar());
    entry->setObjectName(QStringLiteral("finestra"));
    entry->setText(which_ == WindowId::frontespizio ? QStringLiteral("Fi&nestra n.2 di 2")
                                                    : QStringLiteral("Fi&nestra n.1 di 2"));
    entry->setAutoRaise(true);
    connect(entry, &QToolButton::clicked, this, [this] { Run(C::WindowGuide); });
    window->menuBar()->setCornerWidget(entry, Qt::TopRightCorner);
}

void WorkingActions::BuildToolbar(QMainWindow* window) {
    auto* toolbar = window->addToolBar(QStringLiteral("Toolbar1"));
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    // The main window's context menu lists its bars by their internal names
    // and can hide the toolbar for good; the windows have no use for it.
    window->setContextMenuPolicy(Qt::NoContextMenu);
    toolbar->setIconSize(QSize(ToolbarIconSize, ToolbarIconSize));
    auto button = [&](Command command, const QString& tooltip, const char* icon,
                      const QString& name) {
        QAction* action = toolbar->addAction(ToolbarIcon(icon), tooltip);
        action->setToolTip(tooltip);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, command] { Run(command); });
    };
    // "nuovo progetto" comes before the first position, which keeps its
    // number.
    button(C::New, QStringLiteral("nuovo progetto"), "nuovo", QStringLiteral("Toolbar1_nuovo"));
    for (std::size_t i = 0; i < Toolbar().size(); ++i) {
        const Button& b = Toolbar()[i];
        const QString name = QStringLiteral("Toolbar1_%1").arg(i + 1);
        if (b.tooltip.data == nullptr) {
            toolbar->addSeparator()->setObjectName(name);
        } else {
            button(b.command, QString::fromUtf8(b.tooltip.In(which_)), b.icon, name);
        }
    }
}

void WorkingActions::ShowUndoState() {
    ui::ShowUndoState(undo_, state_.history);
}

void WorkingActions::GuardBoxes() {
    GuardTextBoxes(window_, undo_);
}

}  // namespace acquenza::ui
