// The two working windows' menus, toolbars and command buttons, as a user
// meets them: every entry's name, text with its mnemonic, shortcuts, check
// mark, tooltip, enabled state and drawing, in order. Both windows are built
// from one set of commands; a change of that set must not move, rename or
// lose a single entry of either window.

#include <gtest/gtest.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "app/fakes.h"
#include "ui/data_window/data_window.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"
#include "ui/title_page/title_page_window.h"

namespace acquenza::ui {
namespace {

using acquenza::testing::FakeDialogs;
using acquenza::testing::RecordingPlayer;

QString Describe(const QAction* action) {
    if (action->isSeparator()) {
        return QStringLiteral("-- %1").arg(action->objectName());
    }
    QStringList keys;
    for (const QKeySequence& keySequence : action->shortcuts()) {
        keys << keySequence.toString(QKeySequence::PortableText);
    }
    QString line = QStringLiteral("%1 \"%2\"").arg(action->objectName(), action->text());
    if (!keys.isEmpty()) {
        line += QStringLiteral(" keys=%1/%2")
                    .arg(keys.join(QLatin1Char(',')))
                    .arg(static_cast<int>(action->shortcutContext()));
    }
    if (action->isCheckable()) {
        line += action->isChecked() ? QStringLiteral(" checked") : QStringLiteral(" unchecked");
    }
    if (!action->isEnabled()) {
        line += QStringLiteral(" disabled");
    }
    if (!action->icon().isNull()) {
        line += QStringLiteral(" icon");
    }
    line += QStringLiteral(" tip=\"%1\"").arg(action->toolTip());
    return line;
}

void DescribeMenu(const QMenu* menu, const QString& indent, QStringList& out) {
    out << indent + QStringLiteral("menu %1 \"%2\"%3")
                        .arg(menu->objectName(), menu->title(),
                             menu->toolTipsVisible() ? QStringLiteral(" tips") : QString());
    for (const QAction* action : menu->actions()) {
        if (action->menu() != nullptr) {
            DescribeMenu(action->menu(), indent + QStringLiteral("  "), out);
        } else {
            out << indent + QStringLiteral("  ") + Describe(action);
        }
    }
}

// What a user can reach in a working window, top to bottom.
QString DescribeWindow(QMainWindow* window) {
    QStringList out;
    for (const QAction* action : window->menuBar()->actions()) {
        DescribeMenu(action->menu(), QString(), out);
    }
    if (auto* corner = qobject_cast<QToolButton*>(window->menuBar()->cornerWidget())) {
        out << QStringLiteral("corner %1 \"%2\"").arg(corner->objectName(), corner->text());
    }
    auto* toolbar = window->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
    out << QStringLiteral("toolbar %1").arg(toolbar->objectName());
    for (const QAction* action : toolbar->actions()) {
        out << QStringLiteral("  ") + Describe(action);
    }
    for (const QPushButton* button : window->centralWidget()->findChildren<QPushButton*>()) {
        if (button->objectName().startsWith(QStringLiteral("delriga"))) {
            continue;
        }
        out << QStringLiteral("button %1 \"%2\" tip=\"%3\"%4")
                   .arg(button->objectName(), button->text(), button->toolTip(),
                        button->isEnabled() ? QString() : QStringLiteral(" disabled"));
    }
    return out.join(QLatin1Char('\n'));
}

const char* const DataWindowChrome = R"(menu file "&File"
  nuovo "&Nuovo" keys=Ctrl+N/1 tip="Nuovo"
  apri "&Apri..." keys=Ctrl+O/1 tip="Apri"
  -- l1
  salva "&Salva" keys=Ctrl+S/1 tip="Salva"
  salvanome "Salva con &nome..." keys=Ctrl+Shift+S/1 tip="Salva con nome"
  -- l2
  eliminare "&Elimina..." tip="Elimina"
  -- l4
  menu stam "S&tampa"
    acquisizionedati "&Modello acquisizione dati" tip="Modello acquisizione dati"
    stampa "&Dati finestra" keys=Ctrl+P/1 tip="Dati finestra"
  -- l3
  usci "Es&ci" keys=Ctrl+Q/1 tip="Esci"
menu modif "&Modifica" tips
  annulla "A&nnulla" keys=Ctrl+Z/1 disabled tip="Annulla: nulla da annullare"
  ripeti "&Ripeti" keys=Ctrl+Y,Ctrl+Shift+Z/1 disabled tip="Ripeti: nulla da ripetere"
  -- lannulla
  colora "&Colore di sfondo" tip="Colore di sfondo"
  -- l5
  controlla "Controllo &dati immessi" tip="Controllo dati immessi"
  -- l7
  cancella "C&ancella dati finestra" tip="Cancella dati finestra"
menu visu "&Visualizza"
  fin1 "Finestra Dati" checked tip="Finestra Dati"
  fin3 "Finestra Frontespizio" tip="Finestra Frontespizio"
  -- lriepilogo
  riepilogo "&Riepilogo della rete" keys=Ctrl+R/1 tip="Riepilogo della rete"
menu inter "&?"
  guida "&Guida in linea" tip="Guida in linea"
  suggerimenti "&Suggerimenti..." tip="Suggerimenti"
  -- l8
  supporto "Supporto &prodotto" tip="Supporto prodotto"
  -- l9
  informazioni "&Informazioni su Acquenza" tip="Informazioni su Acquenza"
corner finestra "Fi&nestra n.1 di 2"
toolbar Toolbar1
  Toolbar1_nuovo "nuovo progetto" icon tip="nuovo progetto"
  Toolbar1_1 "apri file" icon tip="apri file"
  Toolbar1_2 "salva file" icon tip="salva file"
  Toolbar1_3 "salva file con nome" icon tip="salva file con nome"
  Toolbar1_4 "elimina file" icon tip="elimina file"
  -- Toolbar1_5
  Toolbar1_6 "stampa dati finestra" icon tip="stampa dati finestra"
  -- Toolbar1_7
  Toolbar1_8 "visualizza finestra 'Dati'" icon tip="visualizza finestra 'Dati'"
  Toolbar1_9 "visualizza finestra 'Frontespizio'" icon tip="visualizza finestra 'Frontespizio'"
  -- Toolbar1_10
  Toolbar1_11 "colore di sfondo" icon tip="colore di sfondo"
  -- Toolbar1_12
  Toolbar1_13 "guida in linea" icon tip="guida in linea"
  Toolbar1_14 "suggerimenti" icon tip="suggerimenti"
  Toolbar1_15 "supporto prodotto" icon tip="supporto prodotto"
  Toolbar1_16 "informazioni su Acquenza" icon tip="informazioni su Acquenza"
  -- Toolbar1_17
  Toolbar1_18 "controllo dati immessi" icon tip="controllo dati immessi"
  Toolbar1_19 "cancella dati finestra" icon tip="cancella dati finestra"
  Toolbar1_20 "uscita da Acquenza" icon tip="uscita da Acquenza"
button antinc "&Antincendio" tip="cliccare dopo aver digitato il numero massimo di residenti per avere in automatico la portata antincendio"
button frontes "Fr&ontespizio" tip="cliccare per visualizzare il Frontespizio"
button guidainlinea "&Guida in linea" tip="cliccare per visualizzare il Sommario della guida"
button aiuto "&AIUTO" tip="cliccare per avere gli aiuti in linea"
button esco "&USCITA" tip="cliccare per uscire da Acquenza")";

const char* const TitlePageChrome = R"(menu file "&File"
  nuovo "&Nuovo" keys=Ctrl+N/1 tip="Nuovo"
  apri "&Apri..." keys=Ctrl+O/1 tip="Apri"
  -- linea1
  salva "&Salva" keys=Ctrl+S/1 tip="Salva"
  salvanome "Salva con &nome..." keys=Ctrl+Shift+S/1 tip="Salva con nome"
  -- linea2
  eliminare "&Elimina..." tip="Elimina"
  -- l9
  menu stamp "S&tampa"
    solodati "&Solo dati finestra" tip="Solo dati finestra"
    stampatutto "&Intera elaborazione" keys=Ctrl+P/1 tip="Intera elaborazione"
  -- linea5
  esci "Es&ci" keys=Ctrl+Q/1 tip="Esci"
menu modi "&Modifica" tips
  annulla "A&nnulla" keys=Ctrl+Z/1 disabled tip="Annulla: nulla da annullare"
  ripeti "&Ripeti" keys=Ctrl+Y,Ctrl+Shift+Z/1 disabled tip="Ripeti: nulla da ripetere"
  -- lannulla
  colorare "&Colore di sfondo" tip="Colore di sfondo"
  -- l
  controllodat "Controllo &dati immessi" tip="Controllo dati immessi"
  -- l8
  cancella "C&ancella dati finestra" tip="Cancella dati finestra"
menu visu "&Visualizza"
  fin1 "Finestra Dati" tip="Finestra Dati"
  fin3 "Finestra Frontespizio" checked tip="Finestra Frontespizio"
  -- lriepilogo
  riepilogo "&Riepilogo della rete" keys=Ctrl+R/1 tip="Riepilogo della rete"
menu help "&?"
  guida "&Guida in linea" tip="Guida in linea"
  sugger "&Suggerimenti..." tip="Suggerimenti"
  -- linea3
  supporto "Supporto &prodotto" tip="Supporto prodotto"
  -- linea4
  informazioni "&Informazioni su Acquenza" tip="Informazioni su Acquenza"
corner finestra "Fi&nestra n.2 di 2"
toolbar Toolbar1
  Toolbar1_nuovo "nuovo progetto" icon tip="nuovo progetto"
  Toolbar1_1 "apri file" icon tip="apri file"
  Toolbar1_2 "salva file" icon tip="salva file"
  Toolbar1_3 "salva file con nome" icon tip="salva file con nome"
  Toolbar1_4 "elimina file" icon tip="elimina file"
  -- Toolbar1_5
  Toolbar1_6 "stampa completa dell'elaborazione" icon tip="stampa completa dell'elaborazione"
  -- Toolbar1_7
  Toolbar1_8 "visualizza finestra 'Dati'" icon tip="visualizza finestra 'Dati'"
  Toolbar1_9 "visualizza finestra 'Frontespizio'" icon tip="visualizza finestra 'Frontespizio'"
  -- Toolbar1_10
  Toolbar1_11 "colore di sfondo" icon tip="colore di sfondo"
  -- Toolbar1_12
  Toolbar1_13 "guida in linea" icon tip="guida in linea"
  Toolbar1_14 "suggerimenti" icon tip="suggerimenti"
  Toolbar1_15 "supporto prodotto" icon tip="supporto prodotto"
  Toolbar1_16 "informazioni su Acquenza" icon tip="informazioni su Acquenza"
  -- Toolbar1_17
  Toolbar1_18 "controllo dati immessi" icon tip="controllo dati immessi"
  Toolbar1_19 "cancella dati finestra" icon tip="cancella dati finestra"
  Toolbar1_20 "uscita da Acquenza" icon tip="uscita da Acquenza"
button stampa "&Stampa" tip="cliccare per stampare la relazione"
button Command5 "&Dati" tip="cliccare per visualizzare la finestra Dati"
button guidainlinea "&Guida in linea" tip="cliccare per visualizzare il Sommario della guida"
button aiuto "&AIUTO" tip="cliccare per avere indicazioni sulla immissione dei dati"
button cmdesci "US&CITA" tip="cliccare per uscire da Acquenza")";

class WorkingMenus : public ::testing::Test {
  protected:
    void SetUp() override {
        windows.Start();
        QTest::mouseClick(windows.Splash(), Qt::LeftButton);
        windows.Show(WindowId::frontespizio);
    }

    ProgramState state;
    FakeDialogs dialogs;
    RecordingPlayer music;
    QtWindowSystem windows{state, dialogs, music, "/nessuna/cartella"};
};

TEST_F(WorkingMenus, EveryEntryOfBothWindowsStaysWhereTheUserKnowsIt) {
    EXPECT_EQ(DescribeWindow(windows.Data()).toStdString(), DataWindowChrome);
    EXPECT_EQ(DescribeWindow(windows.Title()).toStdString(), TitlePageChrome);
}

// The entries of the two windows that lead to each other, and the window's
// own: its entry asks about the guide, the other's shows the other window;
// the menu entry and the toolbar button do the same.
TEST_F(WorkingMenus, EachWindowsOwnEntryAsksAboutItsGuide) {
    struct Case {
        QMainWindow* window;
        const char* entry;
        bool asks;
    };
    const Case cases[] = {
        {windows.Data(), "fin1", true},   {windows.Data(), "Toolbar1_8", true},
        {windows.Data(), "fin3", false},  {windows.Data(), "Toolbar1_9", false},
        {windows.Title(), "fin3", true},  {windows.Title(), "Toolbar1_9", true},
        {windows.Title(), "fin1", false}, {windows.Title(), "Toolbar1_8", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window->objectName().toStdString() + " " + c.entry);
        dialogs.shown.clear();
        dialogs.answers = {Answer::No};
        auto* action = c.window->findChild<QAction*>(QString::fromLatin1(c.entry));
        ASSERT_NE(action, nullptr);
        action->trigger();
        EXPECT_EQ(dialogs.shown.size(), c.asks ? 1u : 0u);
        if (c.asks) {
            EXPECT_NE(dialogs.LastText().find("si vuole la guida della finestra?"),
                      std::string::npos);
        }
    }
}

}  // namespace
}  // namespace acquenza::ui
