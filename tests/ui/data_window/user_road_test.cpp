// The road a user walks: click the splash, type a section into the real
// boxes, read the results, check the data, delete a row, exit.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <filesystem>
#include <utility>
#include <vector>

#include "app/fakes.h"
#include "ui/data_window/data_window.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"

namespace acquenza::ui {
namespace {

using acquenza::testing::FakeDialogs;
using acquenza::testing::RecordingPlayer;

class UserRoad : public ::testing::Test {
  protected:
    template <typename T>
    T* Find(QWidget* window, const char* name) {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void Type(QWidget* window, const char* box, const char* text) {
        QTest::keyClicks(Find<QWidget>(window, box), QString::fromUtf8(text));
    }
    QString Text(QWidget* window, const char* label) { return Find<QLabel>(window, label)->text(); }

    ProgramState state;
    FakeDialogs dialogs;
    RecordingPlayer music;
    QtWindowSystem windows{state, dialogs, music, "/nessuna/cartella"};
};

TEST_F(UserRoad, FromTheSplashToTheResultsAndBack) {
    windows.Start();
    SplashWindow* splash = windows.Splash();
    ASSERT_NE(splash, nullptr);
    EXPECT_TRUE(splash->isVisible());
    EXPECT_EQ(Text(splash, "label_3"), "Acquenza");

    QTest::mouseClick(Find<QLabel>(splash, "label_3"), Qt::LeftButton);
    DataWindow* data = windows.Data();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->isVisible());
    EXPECT_EQ(music.log.back(), "pause");
    EXPECT_EQ(Text(data, "passo"),
              "Aprire un file archiviato o iniziare l'immissione digitando la lunghezza del primo "
              "tronco.");

    Type(data, "lungh_1", "100");
    Type(data, "quotain_1", "100");
    Type(data, "quotafin_1", "90");
    Type(data, "portun_1", "0");
    Type(data, "portfin_1", "10");
    Type(data, "tipoc_1", "nuova");
    EXPECT_EQ(Text(data, "Label25"), "tronco n. 1");
    EXPECT_EQ(Text(data, "per"), "9,86");
    EXPECT_EQ(Text(data, "dia"), "7,6");
    EXPECT_EQ(Text(data, "vel"), "2,21");
    EXPECT_EQ(Text(data, "sca"), "0,0025");
    EXPECT_EQ(Text(data, "Label1"), "1");

    Find<QAction>(data, "controlla")->trigger();
    EXPECT_EQ(dialogs.LastText(),
              "I dati sono stati immessi correttamente per n. 1 tronchi: i valori non inseriti "
              "vengono considerati nulli.");

    Type(data, "lungh_2", "250");
    Type(data, "abitun_2", "1000");
    EXPECT_EQ(Find<QLineEdit>(data, "dotazun_2")->text(), "250");
    EXPECT_EQ(Find<QLineEdit>(data, "portun_2")->text(), "9,77");
    QTest::mouseClick(Find<QPushButton>(data, "delriga_1"), Qt::LeftButton);
    EXPECT_EQ(Find<QLineEdit>(data, "lungh_1")->text(), "250");
    EXPECT_EQ(Find<QLineEdit>(data, "lungh_2")->text(), "");
    EXPECT_EQ(Text(data, "Label1"), "1");

    Find<QScrollBar>(data, "VScroll1")->setValue(11);
    EXPECT_EQ(Text(data, "num_1"), "11");

    // Sections typed and never archived: the exit asks about them first.
    dialogs.answers = {Answer::Cancel};
    QTest::mouseClick(Find<QPushButton>(data, "esco"), Qt::LeftButton);
    EXPECT_EQ(dialogs.shown.back().text,
              "Le modifiche al progetto senza nome non sono state archiviate. Archiviarle prima "
              "di continuare?");
    EXPECT_TRUE(data->isVisible());

    dialogs.answers = {Answer::No};
    QTest::mouseClick(Find<QPushButton>(data, "esco"), Qt::LeftButton);
    QApplication::processEvents();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows.Data(), nullptr);
    ASSERT_NE(windows.Splash(), nullptr);
    EXPECT_TRUE(windows.Splash()->isVisible());
    EXPECT_EQ(Text(windows.Splash(), "label_2"), "          elaborazione eseguita con");
    EXPECT_EQ(state.project.enteredSectionCount, 0);
    EXPECT_TRUE(state.project.sections.Get(1, Field::lungh).IsEmpty());

    // A new click starts on a fresh data window.
    QTest::mouseClick(windows.Splash(), Qt::LeftButton);
    ASSERT_NE(windows.Data(), nullptr);
    EXPECT_EQ(Find<QLineEdit>(windows.Data(), "lungh_1")->text(), "");
    EXPECT_EQ(Text(windows.Data(), "Label1"), "0");
}

TEST_F(UserRoad, AKeyOnTheSplashWhileWorkingClosesOnlyTheSplash) {
    windows.Start();
    QTest::mouseClick(windows.Splash(), Qt::LeftButton);
    QTest::keyClick(windows.Splash(), Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows.Splash(), nullptr);
    ASSERT_NE(windows.Data(), nullptr);
    EXPECT_TRUE(windows.Data()->isVisible());
    EXPECT_EQ(music.log.back(), "close");

    // The window's own close button asks the exit question too.
    dialogs.answers = {Answer::Yes};
    windows.Data()->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dialogs.shown.back().text, "Vuoi uscire da Acquenza?");
    ASSERT_NE(windows.Splash(), nullptr);
    EXPECT_TRUE(windows.Splash()->isVisible());
    EXPECT_EQ(Text(windows.Splash(), "label_2"), "          elaborazione eseguita con");
    // Made anew, the splash started its tune again before resuming it.
    EXPECT_EQ(music.log[music.log.size() - 3], "open /nessuna/cartella/Internet.mid");
}

TEST_F(UserRoad, EveryRowOffersTheTwoPipeTypes) {
    windows.Start();
    QTest::mouseClick(windows.Splash(), Qt::LeftButton);
    for (int r = 1; r <= 10; ++r) {
        const auto* combo =
            windows.Data()->findChild<QComboBox*>(QStringLiteral("tipoc_%1").arg(r));
        ASSERT_NE(combo, nullptr);
        ASSERT_EQ(combo->count(), 2);
        EXPECT_EQ(combo->itemText(0), "nuova");
        EXPECT_EQ(combo->itemText(1), "in uso");
    }
}

}  // namespace
}  // namespace acquenza::ui

namespace acquenza::ui {
namespace {

// Typing an elevation key by key passes through impossible drops; only the
// value the user leaves with Tab is judged. One click on the scroll bar's
// arrow moves the grid one section, and shows nothing.
TEST_F(UserRoad, AnElevationIsJudgedOnLeavingAndOneClickScrollsOneStep) {
    windows.Start();
    QTest::mouseClick(Find<QLabel>(windows.Splash(), "label_3"), Qt::LeftButton);
    DataWindow* data = windows.Data();
    QApplication::setActiveWindow(data);
    Type(data, "lungh_1", "100");
    Type(data, "quotain_1", "300");
    Type(data, "quotafin_1", "100");
    auto* initial = Find<QLineEdit>(data, "quotain_1");
    initial->setFocus();
    initial->selectAll();
    QTest::keyClicks(initial, "488");  // through 4 and 48, both below 100
    EXPECT_TRUE(dialogs.shown.empty());
    QTest::keyClick(initial, Qt::Key_Backspace);
    QTest::keyClick(initial, Qt::Key_Tab);  // leaves 48: now it is refused
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(Find<QLineEdit>(data, "quotain_1")->text(), "");
    EXPECT_EQ(Find<QLineEdit>(data, "quotafin_1")->text(), "");

    // An impossible elevation still being typed while the bar is clicked:
    // one step, and no message until the box is left.
    Type(data, "quotain_1", "300");
    Find<QLineEdit>(data, "quotafin_1")->setFocus();
    Type(data, "quotafin_1", "400");
    auto* bar = Find<QScrollBar>(data, "VScroll1");
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - 4));
    EXPECT_EQ(bar->value(), 2);
    EXPECT_EQ(windows.Data()->Model().ScrollValue(), 2);
    EXPECT_EQ(dialogs.shown.size(), 1u);
    QTest::keyClick(Find<QLineEdit>(data, "quotafin_1"), Qt::Key_Tab);
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(state.project.sections.Get(1, Field::quotafin), FieldValue::Text(""));
}

}  // namespace
}  // namespace acquenza::ui

namespace acquenza::ui {
namespace {

// Where the user is and what the keys do: the caption names the project and
// marks unsaved changes, Ctrl+S saves, Ctrl+Z takes back the project's last
// step even inside a box, and Tab runs on across the grid's edge.
TEST_F(UserRoad, CaptionKeysAndTabAcrossTheGrid) {
    const std::string file =
        (std::filesystem::temp_directory_path() / "Acquenza-dati-tastiera").string();
    std::filesystem::remove(file);
    windows.Start();
    QTest::mouseClick(Find<QLabel>(windows.Splash(), "label_3"), Qt::LeftButton);
    DataWindow* data = windows.Data();
    QApplication::setActiveWindow(data);
    EXPECT_EQ(data->windowTitle(),
              "Acquenza: dati per il calcolo idraulico dei tronchi \u2014 senza nome[*]");
    EXPECT_FALSE(data->isWindowModified());
    for (const auto& [box, text] :
         std::vector<std::pair<const char*, const char*>>{{"lungh_1", "100"},
                                                          {"quotain_1", "120"},
                                                          {"quotafin_1", "100"},
                                                          {"portun_1", "1"},
                                                          {"portfin_1", "2"},
                                                          {"tipoc_1", "nuova"}}) {
        Type(data, box, text);
    }
    EXPECT_TRUE(data->isWindowModified());
    windows.LoadTitlePage().TypeInField(TitleField::progetto, "Rete");
    dialogs.files = {file};
    QWidget* box = Find<QLineEdit>(data, "lungh_2");
    box->setFocus();
    QTest::keyClick(box, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_TRUE(data->windowTitle().endsWith("Acquenza-dati-tastiera[*]"));
    EXPECT_FALSE(data->isWindowModified());

    QTest::keyClicks(box, "250");
    QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(state.project.sections.Get(2, Field::lungh).IsEmpty());
    EXPECT_EQ(Find<QLineEdit>(data, "lungh_2")->text(), "");
    EXPECT_FALSE(data->isWindowModified());
    QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(state.project.sections.Get(2, Field::lungh), FieldValue::Text("250"));

    auto* lastType = Find<QComboBox>(data, "tipoc_10");
    lastType->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(Find<QScrollBar>(data, "VScroll1")->value(), 2);
    EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(data, "lungh_10"));
    Find<QLineEdit>(data, "lungh_1")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(Find<QScrollBar>(data, "VScroll1")->value(), 1);
    EXPECT_EQ(Find<QPushButton>(data, "delriga_1")->focusPolicy(), Qt::NoFocus);
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace acquenza::ui
