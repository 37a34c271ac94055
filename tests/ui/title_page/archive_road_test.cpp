// Saving a project through the real windows and getting it back after an
// exit: a section typed in the grid, the project named on the title page.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/fakes.h"
#include "ui/data_window/data_window.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"
#include "ui/title_page/title_page_window.h"

namespace acquenza::ui {
namespace {

using acquenza::testing::FakeDialogs;
using acquenza::testing::RecordingPlayer;

template <typename T>
T* Find(QWidget* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name.toStdString();
    return found;
}

void Type(QWidget* window, const QString& box, const QString& text) {
    QTest::keyClicks(Find<QWidget>(window, box), text);
}

TEST(ArchiveRoad, SaveExitStartAgainOpen) {
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("Acquenza-dati-strada-" + std::to_string(::getpid())))
                                 .string();
    ProgramState state;
    FakeDialogs dialogs;
    RecordingPlayer music;
    QtWindowSystem windows(state, dialogs, music, ".");
    windows.Start();
    QTest::mouseClick(windows.Splash(), Qt::LeftButton);
    DataWindow* data = windows.Data();
    Type(data, "lungh_1", "1000");
    Type(data, "quotain_1", "120");
    Type(data, "quotafin_1", "100");
    Type(data, "portun_1", "5");
    Type(data, "portfin_1", "2");
    Type(data, "tipoc_1", "in uso");
    ASSERT_EQ(Find<QLabel>(data, "dia")->text(), "10");

    QTest::mouseClick(Find<QPushButton>(data, "frontes"), Qt::LeftButton);
    TitlePageWindow* title = windows.Title();
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->isVisible());
    EXPECT_TRUE(Find<QRadioButton>(title, "comestampo_1")->isChecked());
    EXPECT_FALSE(Find<QLineEdit>(title, "data")->text().isEmpty());
    EXPECT_FALSE(Find<QLabel>(title, "Labelstudio")->text().isEmpty());
    Type(title, "progetto", "Rete di Colle Alto");
    Type(title, QStringLiteral("località"), "Colle Alto");

    dialogs.files = {file};
    Find<QAction>(title, "salva")->trigger();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(bytes.substr(0, 3), "1\r\n");
    EXPECT_NE(bytes.find("\"Colle Alto\""), std::string::npos);
    EXPECT_NE(bytes.find("\"Rete di Colle Alto\""), std::string::npos);

    dialogs.answers = {Answer::Yes};
    QTest::mouseClick(Find<QPushButton>(title, "cmdesci"), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows.Data(), nullptr);
    EXPECT_EQ(windows.Title(), nullptr);
    EXPECT_TRUE(state.currentFileName.empty());

    QTest::mouseClick(windows.Splash(), Qt::LeftButton);
    data = windows.Data();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Find<QLineEdit>(data, "lungh_1")->text(), "");
    dialogs.files = {file};
    Find<QAction>(data, "apri")->trigger();
    EXPECT_EQ(Find<QLineEdit>(data, "lungh_1")->text(), "1000");
    EXPECT_EQ(Find<QLineEdit>(data, "portun_1")->text(), "5");
    EXPECT_EQ(Find<QLabel>(data, "dia")->text(), "10");
    EXPECT_EQ(Find<QLabel>(data, "per")->text(), "9,58");
    EXPECT_EQ(Find<QLabel>(data, "Label1")->text(), "1");
    EXPECT_EQ(state.currentFileName, file);
    // The title page was loaded for the read without being shown.
    ASSERT_NE(windows.Title(), nullptr);
    EXPECT_FALSE(windows.Title()->isVisible());
    EXPECT_EQ(Find<QLineEdit>(windows.Title(), "progetto")->text(), "Rete di Colle Alto");
    std::filesystem::remove(file);
}

TEST(ArchiveRoad, GreyForBothWindowsLoadsTheTitlePageHidden) {
    ProgramState state;
    FakeDialogs dialogs;
    RecordingPlayer music;
    QtWindowSystem windows(state, dialogs, music, ".");
    windows.Start();
    QTest::mouseClick(windows.Splash(), Qt::LeftButton);
    dialogs.answers = {Answer::Yes};
    Find<QAction>(windows.Data(), "colora")->trigger();
    ASSERT_NE(windows.Title(), nullptr);
    EXPECT_FALSE(windows.Title()->isVisible());
    EXPECT_EQ(windows.Title()->centralWidget()->palette().color(QPalette::Window),
              QColor(192, 192, 192));
    EXPECT_EQ(windows.Data()->centralWidget()->palette().color(QPalette::Window),
              QColor(192, 192, 192));
}

}  // namespace
}  // namespace acquenza::ui
