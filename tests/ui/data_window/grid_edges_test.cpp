// The toolkit's own habits on the real widgets of the data window: the
// wheel, completion, the undo keys and the boxes' own menu never change the
// project behind the user's back, and "Nuovo" is on both windows.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>

#include "app/fakes.h"
#include "ui/data_window/data_window.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"
#include "ui/title_page/title_page_window.h"

namespace acquenza::ui {
namespace {

using Inputs = std::vector<std::array<FieldValue, InputFieldCount>>;

class GridEdges : public ::testing::Test {
  protected:
    void SetUp() override {
        windows.Start();
        QTest::mouseClick(windows.Splash(), Qt::LeftButton);
        data = windows.Data();
        QApplication::setActiveWindow(data);
    }
    void TearDown() override { std::filesystem::remove(file); }

    template <typename T>
    T* Find(QWidget* window, const QString& name) {
        T* found = window->findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name.toStdString();
        return found;
    }
    TitlePageWindow* Title() {
        windows.LoadTitlePage();
        return windows.Title();
    }
    QComboBox* Type(int row) { return Find<QComboBox>(data, QStringLiteral("tipoc_%1").arg(row)); }
    QLineEdit* Box(const char* field, int row) {
        return Find<QLineEdit>(data, QStringLiteral("%1_%2").arg(QLatin1String(field)).arg(row));
    }
    // Sections typed through the model, as a user would, then shown.
    void TypeSections(int count) {
        DataWindowModel& m = data->Model();
        for (int s = 1; s <= count; ++s) {
            m.Scroll(std::min(s, DataWindowModel::MaxFirstVisible));
            for (const auto& [f, text] : std::vector<std::pair<Field, std::string>>{
                     {Field::lungh, "100"},
                     {Field::quotain, std::to_string(600 - s)},
                     {Field::quotafin, std::to_string(590 - s)},
                     {Field::portun, "1"},
                     {Field::portfin, "2"}}) {
                m.TypeInBox(1, f, text);
                m.LeaveBox(1, f);
            }
            m.PickPipeType(1, s % 2 == 0 ? "nuova" : "in uso");
        }
        m.Scroll(1);
        windows.SyncAll();
    }
    Inputs Snapshot() const {
        Inputs all(MaxSections + 1);
        for (int s = 1; s <= MaxSections; ++s) {
            for (const Field f : InputFields) {
                all[static_cast<std::size_t>(s)][static_cast<std::size_t>(f)] =
                    state.project.sections.Get(s, f);
            }
        }
        return all;
    }
    // One notch of the wheel (or several) over `widget`, where the pointer is.
    static void Wheel(QWidget* widget, int notches) {
        const QPointF local(widget->width() / 2.0, widget->height() / 2.0);
        QWheelEvent wheel(local, widget->mapToGlobal(local), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        // As from the mouse: focus by wheel and the climb to the parents.
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        QApplication::sendEvent(widget, &wheel);
    }

    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::RecordingPlayer music;
    QtWindowSystem windows{state, dialogs, music, "/nessuna/cartella"};
    DataWindow* data = nullptr;
    std::string file =
        (std::filesystem::temp_directory_path() / "Acquenza-dati-bordi-griglia").string();
};

TEST_F(GridEdges, TheWheelOverAPipeTypeBoxChangesNothingAndTurnsTheGrid) {
    TypeSections(12);
    state.history.MarkSaved();
    windows.SyncAll();
    const Inputs before = Snapshot();
    const std::size_t steps = state.history.StepCount();
    QComboBox* type = Type(4);
    ASSERT_EQ(type->currentText(), "nuova");
    Box("lungh", 1)->setFocus();
    Wheel(type, -1);  // one notch towards the user: the grid goes down
    EXPECT_EQ(Snapshot(), before);
    EXPECT_FALSE(data->isWindowModified());
    EXPECT_FALSE(type->hasFocus());
    EXPECT_EQ(Find<QScrollBar>(data, "VScroll1")->value(), 4);  // three sections a notch
    EXPECT_EQ(Find<QLabel>(data, "num_1")->text(), "4");
    EXPECT_EQ(Type(1)->currentText(), "nuova");  // section 4, as stored
    // Focused, the box still leaves its value to the keyboard and the list.
    type->setFocus();
    Wheel(type, 2);
    EXPECT_EQ(Snapshot(), before);
    EXPECT_EQ(Find<QScrollBar>(data, "VScroll1")->value(), 1);
    EXPECT_EQ(state.history.StepCount(), steps);
    EXPECT_FALSE(state.history.Modified());
}

// Wheel notches over random parts of the grid, focused or not, while the
// grid sits anywhere: the project never changes, and the grid follows the
// wheel as its bar would. ACQUENZA_SEED=n replays a road.
TEST_F(GridEdges, TheWheelAnywhereOverTheGridOnlyTurnsIt) {
    TypeSections(25);
    state.history.MarkSaved();
    windows.SyncAll();
    const char* given = std::getenv("ACQUENZA_SEED");
    const unsigned seed = given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
                                           : std::random_device{}();
    std::mt19937 rng(seed);
    auto pick = [&](int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng);
    };
    QList<QWidget*> targets;
    for (int r = 1; r <= DataWindowModel::Rows; ++r) {
        targets << Type(r) << Type(r)->lineEdit() << Box("lungh", r) << Box("portfin", r)
                << Box("dotazfin", r) << Find<QLabel>(data, QStringLiteral("num_%1").arg(r))
                << Find<QPushButton>(data, QStringLiteral("delriga_%1").arg(r));
    }
    targets << Find<QWidget>(data, "form") << Find<QLabel>(data, "passo")
            << Find<QLabel>(data, "dia") << Find<QScrollBar>(data, "VScroll1");
    const Inputs before = Snapshot();
    auto* bar = Find<QScrollBar>(data, "VScroll1");
    for (int step = 0; step < 300; ++step) {
        QWidget* target = targets[pick(0, static_cast<int>(targets.size()) - 1)];
        if (pick(0, 3) == 0) {
            targets[pick(0, static_cast<int>(targets.size()) - 1)]->setFocus();
        }
        QWidget* focused = QApplication::focusWidget();
        const int notches = pick(-2, 2);
        const int from = bar->value();
        Wheel(target, notches);
        const std::string where = "seed " + std::to_string(seed) + ", passo " +
                                  std::to_string(step) + ", " + target->objectName().toStdString();
        ASSERT_EQ(Snapshot(), before) << where;
        ASSERT_FALSE(state.history.Modified()) << where;
        ASSERT_EQ(bar->value(), std::clamp(from - 3 * notches, 1, DataWindowModel::MaxFirstVisible))
            << where;
        ASSERT_EQ(data->Model().ScrollValue(), bar->value()) << where;
        ASSERT_EQ(QApplication::focusWidget(), focused) << where;
        for (int r = 1; r <= DataWindowModel::Rows; ++r) {
            ASSERT_EQ(Type(r)->currentText().toStdString(), data->Model().BoxText(r, Field::tipoc))
                << where;
        }
    }
}

// "n" typed shows "nuova": that is the type stored and saved, even when the
// toolbar's Save is pressed without leaving the box.
TEST_F(GridEdges, ACompletionShownIsWhatIsStoredAndSaved) {
    TypeSections(1);
    windows.LoadTitlePage().TypeInField(TitleField::progetto, "Rete");
    QComboBox* type = Type(1);
    type->setFocus();
    type->lineEdit()->selectAll();
    QTest::keyClicks(type, "i");
    ASSERT_EQ(type->currentText(), "in uso");
    EXPECT_EQ(state.project.sections.Get(1, Field::tipoc), FieldValue::Text("in uso"));
    QTest::keyClick(type, Qt::Key_Backspace);  // the completion taken away
    EXPECT_EQ(type->currentText(), "i");
    EXPECT_EQ(state.project.sections.Get(1, Field::tipoc), FieldValue::Text("i"));
    type->lineEdit()->selectAll();
    QTest::keyClicks(type, "n");
    ASSERT_EQ(type->currentText(), "nuova");
    dialogs.files = {file};
    Find<QAction>(data, "Toolbar1_2")->trigger();
    std::ifstream in(file, std::ios::binary);
    const std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(saved.find("\"nuova\""), std::string::npos) << saved;
    EXPECT_EQ(state.project.sections.Get(1, Field::sca), FieldValue::Number(0.0025));
    // A capital letter is not completed into a text the list does not hold.
    type->lineEdit()->selectAll();
    QTest::keyClicks(type, "N");
    EXPECT_EQ(type->currentText(), "N");
}

TEST_F(GridEdges, TheUndoKeysWorkInAPipeTypeBox) {
    TypeSections(1);  // "in uso"
    QComboBox* type = Type(1);
    type->setFocus();
    type->lineEdit()->selectAll();
    QTest::keyClicks(type, "nuova");
    ASSERT_EQ(state.project.sections.Get(1, Field::tipoc), FieldValue::Text("nuova"));
    QTest::keyClick(type, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(state.project.sections.Get(1, Field::tipoc), FieldValue::Text("in uso"));
    EXPECT_EQ(type->currentText(), "in uso");
    QTest::keyClick(type, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(state.project.sections.Get(1, Field::tipoc), FieldValue::Text("nuova"));
    QTest::keyClick(type, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(type, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(state.project.sections.Get(1, Field::tipoc), FieldValue::Text("nuova"));
    EXPECT_EQ(type->currentText(), "nuova");
}

// The right-click menu of a box offers the project's undo, not the box's.
TEST_F(GridEdges, TheBoxMenuUndoesTheProject) {
    for (QLineEdit* box :
         {Box("lungh", 1), Type(1)->lineEdit(), Find<QLineEdit>(Title(), "progetto")}) {
        SCOPED_TRACE(box->objectName().toStdString());
        QStringList names;
        int count = 0;
        QTimer::singleShot(0, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : menu->actions()) {
                    names << action->objectName();
                }
                count = static_cast<int>(menu->actions().size());
                menu->close();
            }
        });
        emit box->customContextMenuRequested(QPoint(2, 2));
        ASSERT_GE(names.size(), 2);
        EXPECT_EQ(names[0], "annulla");
        EXPECT_EQ(names[1], "ripeti");
        // Cut, copy, paste, delete and select all stay; the box's own undo
        // and redo are gone.
        std::unique_ptr<QMenu> standard(box->createStandardContextMenu());
        EXPECT_EQ(count, standard->actions().size());
    }
}

// Typed in section 3, the grid moved far away with the bar, then Tab: when
// the refusal shows, section 3 is on screen and its box has the focus.
TEST_F(GridEdges, ARefusalShowsItsSectionAndBoxBeforeTheMessage) {
    TypeSections(3);
    QLineEdit* initial = Box("quotain", 3);
    initial->setFocus();
    initial->selectAll();
    QTest::keyClicks(initial, "100");  // below its final elevation, 587
    Find<QScrollBar>(data, "VScroll1")->setValue(60);
    ASSERT_EQ(Find<QLabel>(data, "num_3")->text(), "62");
    QString focusedBox;
    QString sectionInThatRow;
    dialogs.onShow = [&](const Message&) {
        QWidget* focused = QApplication::focusWidget();
        focusedBox = focused != nullptr ? focused->objectName() : QString();
        const QString row = focusedBox.section(QLatin1Char('_'), 1);
        sectionInThatRow = Find<QLabel>(data, QStringLiteral("num_") + row)->text();
    };
    QTest::keyClick(initial, Qt::Key_Tab);
    dialogs.onShow = nullptr;
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_TRUE(focusedBox.startsWith(QStringLiteral("quotain_"))) << focusedBox.toStdString();
    EXPECT_EQ(sectionInThatRow, "3");
    EXPECT_EQ(state.project.sections.Get(3, Field::quotain), FieldValue::Text(""));
    EXPECT_EQ(state.project.sections.Get(62, Field::quotain), FieldValue());
}

TEST_F(GridEdges, NuovoIsInBothWindowsAndAsksFirst) {
    TypeSections(2);
    TitlePageWindow* title = Title();
    for (QMainWindow* window :
         {static_cast<QMainWindow*>(data), static_cast<QMainWindow*>(title)}) {
        auto* fileMenu = Find<QMenu>(window, "file");
        ASSERT_GE(fileMenu->actions().size(), 2);
        EXPECT_EQ(fileMenu->actions()[0]->objectName(), "nuovo");
        EXPECT_EQ(fileMenu->actions()[0]->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
        EXPECT_EQ(fileMenu->actions()[1]->objectName(), "apri");
        EXPECT_EQ(Find<QAction>(window, "Toolbar1_nuovo")->toolTip(), "nuovo progetto");
    }
    dialogs.answers = {Answer::Cancel};
    QTest::keyClick(Box("lungh", 1), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(dialogs.shown.back().buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(Box("lungh", 2)->text(), "100");
    dialogs.answers = {Answer::No};
    Find<QAction>(title, "Toolbar1_nuovo")->trigger();
    EXPECT_EQ(Box("lungh", 1)->text(), "");
    EXPECT_EQ(Find<QLabel>(data, "Label1")->text(), "0");
    EXPECT_FALSE(data->isWindowModified());
    EXPECT_TRUE(data->windowTitle().endsWith(QStringLiteral("senza nome[*]")));
    EXPECT_FALSE(Find<QAction>(data, "annulla")->isEnabled());
}

}  // namespace
}  // namespace acquenza::ui

namespace acquenza::ui {
namespace {

// Exporting the summary while a length is still being typed: the length is
// judged first, and the refused "1e" never reaches the spreadsheet.
TEST_F(GridEdges, TheSummaryExportJudgesTheNumberBeingTyped) {
    TypeSections(2);
    QLineEdit* length = Box("lungh", 2);
    length->setFocus();
    length->selectAll();
    QTest::keyClicks(length, "1e");
    ASSERT_EQ(state.project.sections.Get(2, Field::lungh), FieldValue::Text("1e"));
    QTest::keyClick(data, Qt::Key_R, Qt::ControlModifier);
    QWidget* summary = windows.Window(WindowId::riepilogo);
    ASSERT_NE(summary, nullptr);
    const std::string csv = file + ".csv";
    dialogs.files = {csv};
    QTest::mouseClick(Find<QPushButton>(summary, "esportacsv"), Qt::LeftButton);
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_NE(dialogs.shown.front().text.find("«1e» non è un numero completo"), std::string::npos);
    EXPECT_EQ(state.project.sections.Get(2, Field::lungh), FieldValue::Text("100"));
    EXPECT_EQ(length->text(), "100");
    std::ifstream in(csv, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_NE(written.find("\n2;100,00;"), std::string::npos) << written;
    std::filesystem::remove(csv);
}

}  // namespace
}  // namespace acquenza::ui
