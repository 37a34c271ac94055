// The guide as a user walks it: the contents from the data window, a topic,
// back to the contents, the window entries and guide questions of both
// working windows, and the prints through a recording desk.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <memory>

#include "app/fakes.h"
#include "ui/data_window/data_window.h"
#include "ui/help/help_contents_window.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"
#include "ui/title_page/title_page_window.h"

namespace acquenza::ui {
namespace {

namespace fs = std::filesystem;
using acquenza::testing::FakeDialogs;
using acquenza::testing::RecordingPlayer;

class RecordingDesk : public DocumentDesk {
  public:
    fs::path DocumentsFolder() override { return fs::temp_directory_path() / "acquenza-guida-nd"; }
    std::string Timestamp() override { return "2026-12-08_10-00-00"; }
    bool Open(const fs::path& file) override {
        opened.push_back(file);
        return true;
    }
    std::vector<fs::path> opened;
};

class GuideRoad : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("acquenza-guida-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        windows = std::make_unique<QtWindowSystem>(state, dialogs, music, folder);
        windows->SetDesk(desk);
        windows->Start();
        QTest::mouseClick(windows->Splash(), Qt::LeftButton);
        ASSERT_NE(windows->Data(), nullptr);
    }
    void TearDown() override {
        windows.reset();
        fs::remove_all(folder);
        fs::remove_all(desk.DocumentsFolder());
    }
    template <typename T>
    static T* Find(QWidget* window, const QString& name) {
        T* found = window == nullptr ? nullptr : window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    QWidget* Shown(WindowId w) {
        QWidget* window = windows->Window(w);
        return window != nullptr && window->isVisible() ? window : nullptr;
    }

    ProgramState state;
    FakeDialogs dialogs;
    RecordingPlayer music;
    RecordingDesk desk;
    fs::path folder;
    std::unique_ptr<QtWindowSystem> windows;
};

TEST_F(GuideRoad, ContentsTopicsPagesAndBackToTheSameContents) {
    QTest::mouseClick(Find<QPushButton>(windows->Data(), "guidainlinea"), Qt::LeftButton);
    QWidget* contents = Shown(WindowId::sommario);
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(contents->objectName(), "sommario");

    // Pressing a topic opens its page; the label looks pressed until release.
    QLabel* archive = Find<QLabel>(contents, "lbl_3");
    QTest::mousePress(archive, Qt::LeftButton);
    EXPECT_EQ(archive->frameShape(), QFrame::NoFrame);
    QTest::mouseRelease(archive, Qt::LeftButton);
    EXPECT_EQ(archive->frameShape(), QFrame::Box);
    QWidget* page = Shown(WindowId::guidaarchivio);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Find<QLabel>(page, "Label1")->text(), "ARCHIVIO DATI");

    // "Chiudi" hides the contents; the guide entry shows that same window.
    QTest::mouseClick(Find<QPushButton>(contents, "cmdChiudi"), Qt::LeftButton);
    EXPECT_FALSE(contents->isVisible());
    QTest::mouseClick(Find<QPushButton>(page, "cmdSommario"), Qt::LeftButton);
    EXPECT_EQ(Shown(WindowId::sommario), contents);

    // A page's "Chiudi" closes it for good.
    QTest::mouseClick(Find<QPushButton>(page, "cmdChiudi"), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(windows->Window(WindowId::guidaarchivio), nullptr);

    // The arrows: tips, then the maker's other products.
    QTest::mouseClick(Find<QPushButton>(contents, "puls_8"), Qt::LeftButton);
    EXPECT_NE(Shown(WindowId::frmTip), nullptr);
    QTest::mouseClick(Find<QPushButton>(contents, "puls_10"), Qt::LeftButton);
    QWidget* products = Shown(WindowId::prodotti);
    ASSERT_NE(products, nullptr);
    EXPECT_TRUE(Find<QLabel>(products, "catalogo")->text().contains("Nessun altro prodotto"));
}

TEST_F(GuideRoad, HoverMakesOneTopicBold) {
    windows->Show(WindowId::sommario);
    auto* contents = dynamic_cast<HelpContentsWindow*>(Shown(WindowId::sommario));
    ASSERT_NE(contents, nullptr);
    // The pointer's events as the window system delivers them (the offscreen
    // platform has no pointer of its own to move).
    auto moveOver = [](QWidget* widget) {
        const QPointF at(5, 5);
        QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    };
    auto enter = [](QWidget* widget) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(widget, &event);
    };
    enter(Find<QLabel>(contents, "lbl_5"));
    EXPECT_EQ(contents->BoldTopic(), 5);
    moveOver(Find<QLabel>(contents, "lbl_7"));
    EXPECT_EQ(contents->BoldTopic(), 7);
    EXPECT_FALSE(Find<QLabel>(contents, "lbl_5")->font().bold());
    moveOver(contents);
    EXPECT_EQ(contents->BoldTopic(), 0);
}

TEST_F(GuideRoad, WindowEntriesAndGuideQuestionsOpenEachWindowsPage) {
    QTest::mouseClick(Find<QToolButton>(windows->Data(), "finestra"), Qt::LeftButton);
    EXPECT_NE(Shown(WindowId::guidadati), nullptr);

    dialogs.answers = {Answer::Yes};
    QTest::mouseClick(Find<QPushButton>(windows->Data(), "frontes"), Qt::LeftButton);
    ASSERT_NE(windows->Title(), nullptr);
    Find<QAction>(windows->Title(), "fin3")->trigger();
    EXPECT_EQ(dialogs.shown.back().text,
              "E' questa la finestra 'Frontespizio': si vuole la guida della finestra?");
    EXPECT_NE(Shown(WindowId::guidafrontespizio), nullptr);

    windows->Close(WindowId::guidafrontespizio);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(windows->Window(WindowId::guidafrontespizio), nullptr);
    QTest::mouseClick(Find<QToolButton>(windows->Title(), "finestra"), Qt::LeftButton);
    EXPECT_NE(Shown(WindowId::guidafrontespizio), nullptr);
}

TEST_F(GuideRoad, HelpMenuAndToolbarPositionsOfBothWindowsShowTheSameWindows) {
    QWidget* data = windows->Data();
    Find<QAction>(data, "informazioni")->trigger();
    EXPECT_NE(Shown(WindowId::informa), nullptr);
    Find<QAction>(data, "Toolbar1_15")->trigger();
    EXPECT_NE(Shown(WindowId::supportoclienti), nullptr);

    windows->Show(WindowId::frontespizio);
    QWidget* title = windows->Title();
    Find<QAction>(title, "sugger")->trigger();
    EXPECT_NE(Shown(WindowId::frmTip), nullptr);
    Find<QAction>(title, "Toolbar1_13")->trigger();
    EXPECT_NE(Shown(WindowId::sommario), nullptr);
}

TEST_F(GuideRoad, PrintsGoThroughTheDocumentEngine) {
    windows->Show(WindowId::guidastampa);
    QTest::mouseClick(Find<QPushButton>(Shown(WindowId::guidastampa), "cmdStampa"), Qt::LeftButton);
    ASSERT_EQ(desk.opened.size(), 1u);
    EXPECT_EQ(desk.opened[0].extension(), ".docx");
    EXPECT_NE(desk.opened[0].filename().string().find("guidastampa"), std::string::npos);

    windows->Show(WindowId::sommario);
    QTest::mouseClick(Find<QPushButton>(Shown(WindowId::sommario), "cmdStampa"), Qt::LeftButton);
    ASSERT_EQ(desk.opened.size(), 2u);
    EXPECT_EQ(desk.opened[1], folder / "Acquenza-guida.docx");
    EXPECT_TRUE(fs::exists(folder / "Acquenza-guida.docx"));
}

}  // namespace
}  // namespace acquenza::ui
