// The splash's "press a key to leave" on a real keyboard: a modifier pressed
// alone (the first half of Alt+Tab, Shift before a letter) is not a key.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "app/fakes.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"

namespace acquenza::ui {
namespace {

using acquenza::testing::FakeDialogs;
using acquenza::testing::RecordingPlayer;

TEST(SplashKeys, AModifierAloneIsNotAKey) {
    ProgramState state;
    FakeDialogs dialogs;
    RecordingPlayer music;
    QtWindowSystem windows(state, dialogs, music, "/nessuna/cartella");
    windows.Start();
    // The data window keeps the program alive when the splash goes.
    QTest::mouseClick(windows.Splash(), Qt::LeftButton);
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
