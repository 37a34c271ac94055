// The frame around the work, used as a user would: the two working windows'
// "Visualizza" menus keep each window's own check mark whatever is chosen, a
// right click anywhere on the frame offers no menu that could hide the bars,
// the toolbar shows the program's own drawings; and on the splash a modifier
// pressed alone (the first half of Alt+Tab, Shift before a letter) is not the
// key that ends the program.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "app/fakes.h"
#include "ui/data_window/data_window.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"
#include "ui/title_page/title_page_window.h"

namespace acquenza::ui {
namespace {

using acquenza::testing::FakeDialogs;
using acquenza::testing::RecordingPlayer;

QAction* Entry(QMainWindow* window, const char* name) {
    auto* entry = window->menuBar()->findChild<QAction*>(QString::fromLatin1(name));
    EXPECT_NE(entry, nullptr) << name;
    return entry;
}

// A right click at the middle of `widget`; true when it opened any menu
// (closed again at once so the test goes on).
bool RightClickOpensAMenu(QWidget* widget) {
    bool opened = false;
    QTimer::singleShot(0, [&opened] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            opened = true;
            popup->close();
        }
    });
    const QPoint middle = widget->rect().center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, middle, widget->mapToGlobal(middle));
    QApplication::sendEvent(widget, &event);
    QApplication::processEvents();
    return opened || QApplication::activePopupWidget() != nullptr;
}

// The program started and the splash clicked: the data window is open.
class WindowFrame : public ::testing::Test {
  protected:
    void SetUp() override {
        windows.Start();
        QTest::mouseClick(windows.Splash(), Qt::LeftButton);
    }

    ProgramState state;
    FakeDialogs dialogs;
    RecordingPlayer music;
    QtWindowSystem windows{state, dialogs, music, "/nessuna/cartella"};
};

TEST_F(WindowFrame, EachWindowKeepsItsOwnMarkAndNoBarCanBeHidden) {
    DataWindow* data = windows.Data();
    ASSERT_NE(data, nullptr);
    windows.Show(WindowId::frontespizio);
    TitlePageWindow* title = windows.Title();
    ASSERT_NE(title, nullptr);

    auto expectMarks = [&](const char* after) {
        SCOPED_TRACE(after);
        EXPECT_TRUE(Entry(data, "fin1")->isChecked());
        EXPECT_FALSE(Entry(data, "fin3")->isChecked());
        EXPECT_TRUE(Entry(title, "fin3")->isChecked());
        EXPECT_FALSE(Entry(title, "fin1")->isChecked());
    };
    expectMarks("loading");
    // The own entry asks the guide question (answered No here); the other
    // shows the other window. Each is chosen more than once.
    for (int round = 0; round < 3; ++round) {
        dialogs.answers = {Answer::No};
        Entry(data, "fin1")->trigger();
        expectMarks("data window, Finestra Dati");
        Entry(data, "fin3")->trigger();
        expectMarks("data window, Finestra Frontespizio");
        dialogs.answers = {Answer::No};
        Entry(title, "fin3")->trigger();
        expectMarks("title page, Finestra Frontespizio");
        Entry(title, "fin1")->trigger();
        expectMarks("title page, Finestra Dati");
    }

    for (QMainWindow* window :
         {static_cast<QMainWindow*>(data), static_cast<QMainWindow*>(title)}) {
        SCOPED_TRACE(window->objectName().toStdString());
        auto* toolbar = window->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        ASSERT_NE(toolbar, nullptr);
        EXPECT_FALSE(RightClickOpensAMenu(toolbar));
        EXPECT_FALSE(RightClickOpensAMenu(window->menuBar()));
        EXPECT_FALSE(RightClickOpensAMenu(window->centralWidget()));
        EXPECT_TRUE(toolbar->isVisible());
        EXPECT_FALSE(toolbar->isMovable());
        EXPECT_FALSE(toolbar->isFloatable());
        // Every button carries its drawing, whatever the desktop's icon theme.
        int drawn = 0;
        for (QAction* action : toolbar->actions()) {
            if (action->isSeparator()) {
                continue;
            }
            const QImage image = action->icon().pixmap(toolbar->iconSize()).toImage();
            int inked = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    inked += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
                }
            }
            EXPECT_GT(inked, image.width() * image.height() / 8) << action->toolTip().toStdString();
            ++drawn;
        }
        EXPECT_EQ(drawn, 16);  // the 15 positions with a button, and "nuovo progetto"
    }
}

TEST_F(WindowFrame, AModifierAloneOnTheSplashIsNotAKey) {
    // The data window keeps the program alive when the splash goes.
    for (const Qt::Key key : {Qt::Key_Alt, Qt::Key_Shift, Qt::Key_Control, Qt::Key_AltGr,
                              Qt::Key_Meta, Qt::Key_Super_L, Qt::Key_CapsLock, Qt::Key_NumLock}) {
        // With its text given, QTest takes keys it cannot spell (AltGr).
        QTest::sendKeyEvent(QTest::Press, windows.Splash(), key, QString(), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, windows.Splash(), key, QString(), Qt::NoModifier);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_NE(windows.Splash(), nullptr) << key;
        EXPECT_TRUE(windows.Splash()->isVisible()) << key;
    }
    EXPECT_EQ(music.log.back(), "pause");

    // A key typed with a modifier held is a key.
    QTest::keyClick(windows.Splash(), Qt::Key_X, Qt::ShiftModifier);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows.Splash(), nullptr);
    EXPECT_EQ(music.log.back(), "close");
}

}  // namespace
}  // namespace acquenza::ui
