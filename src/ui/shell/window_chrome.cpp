#include "ui/shell/window_chrome.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSvgRenderer>
#include <QToolBar>
#include <QToolButton>

#include "ui/shell/twips.h"

// The toolbar's drawings are compiled into the program; a resource file in a
// static library has to be registered by hand, from the global namespace.
static void RegisterToolbarIcons() {
    Q_INIT_RESOURCE(toolbar);
}

namespace acquenza::ui {

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QString& tooltip,
                  int left, int top, int width, int height) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setToolTip(tooltip);
    PlaceInTwips(label, left, top, width, height);
    return label;
}

void SetBackground(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QString WorkingCaption(const QString& caption, const std::string& fileName) {
    const QString name = fileName.empty() ? QStringLiteral("senza nome")
                                          : QFileInfo(QString::fromStdString(fileName)).fileName();
    return caption + QStringLiteral(" \u2014 ") + name + QStringLiteral("[*]");
}

QAction* AddMenuEntry(QMenu* menu, const char* name, const QString& text,
                      std::function<void()> action) {
    QAction* entry = menu->addAction(text);
    entry->setObjectName(QString::fromLatin1(name));
    QObject::connect(entry, &QAction::triggered, menu, [action = std::move(action)] { action(); });
    return entry;
}

void AddMenuSeparator(QMenu* menu, const char* name) {
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

void PinCheckMark(QAction* entry) {
    entry->setCheckable(true);
    entry->setChecked(true);
    // Qt flips a checkable entry at each use; this one marks a place.
    QObject::connect(entry, &QAction::toggled, entry, [entry](bool on) {
        if (!on) {
            entry->setChecked(true);
        }
    });
}

void AddHelpMenu(QMenuBar* bar, const HelpMenuNames& names,
                 const std::function<void(WindowId)>& show) {
    QMenu* help = bar->addMenu(QStringLiteral("&?"));
    help->setObjectName(QString::fromLatin1(names.menu));
    auto showing = [show](WindowId w) { return [show, w] { show(w); }; };
    AddMenuEntry(help, "guida", QStringLiteral("&Guida in linea"), showing(WindowId::sommario));
    AddMenuEntry(help, names.tips, QStringLiteral("&Suggerimenti..."), showing(WindowId::frmTip));
    AddMenuSeparator(help, names.firstSeparator);
    AddMenuEntry(help, "supporto", QStringLiteral("Supporto &prodotto"),
                 showing(WindowId::supportoclienti));
    AddMenuSeparator(help, names.secondSeparator);
    AddMenuEntry(help, "informazioni", QStringLiteral("&Informazioni su Acquenza"),
                 showing(WindowId::informa));
}

std::optional<WindowId> HelpWindowAtToolbarPosition(int position) {
    switch (position) {
        case 13:
            return WindowId::sommario;
        case 14:
            return WindowId::frmTip;
        case 15:
            return WindowId::supportoclienti;
        case 16:
            return WindowId::informa;
        default:
            return std::nullopt;
    }
}

QToolButton* AddWindowEntry(QMenuBar* bar, const QString& text, std::function<void()> action) {
    auto* entry = new QToolButton(bar);
    entry->setObjectName(QStringLiteral("finestra"));
    entry->setText(text);
    entry->setAutoRaise(true);
    QObject::connect(entry, &QToolButton::clicked, bar, [action = std::move(action)] { action(); });
    bar->setCornerWidget(entry, Qt::TopRightCorner);
    return entry;
}

namespace {

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

}  // namespace

void BuildToolbar(QMainWindow* window, const std::array<ToolbarButton, 20>& buttons,
                  std::function<void(int)> onClick) {
    auto* toolbar = window->addToolBar(QStringLiteral("Toolbar1"));
    toolbar->setObjectName(QStringLiteral("Toolbar1"));
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    // The main window's context menu lists its bars by their internal names
    // and can hide the toolbar for good; the windows have no use for it.
    window->setContextMenuPolicy(Qt::NoContextMenu);
    toolbar->setIconSize(QSize(ToolbarIconSize, ToolbarIconSize));
    for (int position = 1; position <= 20; ++position) {
        const ToolbarButton& b = buttons[static_cast<std::size_t>(position - 1)];
        QAction* action = nullptr;
        if (b.tooltip == nullptr) {
            action = toolbar->addSeparator();
        } else {
            action = toolbar->addAction(ToolbarIcon(b.icon), QString::fromUtf8(b.tooltip));
            action->setToolTip(QString::fromUtf8(b.tooltip));
            QObject::connect(action, &QAction::triggered, window,
                             [onClick, position] { onClick(position); });
        }
        action->setObjectName(QStringLiteral("Toolbar1_%1").arg(position));
    }
}

void AddNewProjectButton(QMainWindow* window, std::function<void()> onClick) {
    auto* toolbar = window->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
    auto* first = window->findChild<QAction*>(QStringLiteral("Toolbar1_1"));
    if (toolbar == nullptr || first == nullptr) {
        return;
    }
    auto* action = new QAction(ToolbarIcon("nuovo"), QStringLiteral("nuovo progetto"), toolbar);
    action->setObjectName(QStringLiteral("Toolbar1_nuovo"));
    action->setToolTip(QStringLiteral("nuovo progetto"));
    toolbar->insertAction(first, action);
    QObject::connect(action, &QAction::triggered, window,
                     [onClick = std::move(onClick)] { onClick(); });
}

std::array<ToolbarButton, 20> SharedToolbarLayout() {
    const ToolbarButton separator{nullptr, nullptr};
    return {{
        {"apri file", "apri"},
        {"salva file", "salva"},
        {"salva file con nome", "salvanome"},
        {"elimina file", "elimina"},
        separator,
        {"stampa dati finestra", "stampa"},
        separator,
        {"visualizza finestra 'Dati'", "finestra-dati"},
        {"visualizza finestra 'Frontespizio'", "finestra-frontespizio"},
        separator,
        {"colore di sfondo", "colore"},
        separator,
        {"guida in linea", "guida"},
        {"suggerimenti", "suggerimenti"},
        {"supporto prodotto", "supporto"},
        {"informazioni su Acquenza", "informazioni"},
        separator,
        {"controllo dati immessi", "controllo"},
        {"cancella dati finestra", "cancella"},
        {"uscita da Acquenza", "uscita"},
    }};
}

}  // namespace acquenza::ui
