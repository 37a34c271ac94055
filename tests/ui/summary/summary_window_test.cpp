// The network summary walked with the keyboard and the mouse: Ctrl+R opens
// it, a column sorts it, a double click takes the data window to the
// section, and an edit there shows here at once.

#include "ui/summary/summary_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <string>

#include "app/fakes.h"
#include "app/undo_commands.h"
#include "core/project_network.h"
#include "core/section_calculation.h"
#include "ui/data_window/data_window.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"
#include "ui/summary/section_profile_view.h"

namespace acquenza::ui {
namespace {

TEST(SummaryWindowRoad, OpenSortDoubleClickAndFollowTheDataWindow) {
    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::RecordingPlayer music;
    QtWindowSystem windows{state, dialogs, music, "/nessuna/cartella"};
    // 30 sections, ever longer at the same drop and flow: ever wider and slower.
    for (int s = 1; s <= 30; ++s) {
        auto& t = state.project.sections;
        t.Set(s, Field::lungh, FieldValue::Text(std::to_string(100 * s)));
        t.Set(s, Field::quotain, FieldValue::Text("200"));
        t.Set(s, Field::quotafin, FieldValue::Text("190"));
        t.Set(s, Field::portfin, FieldValue::Text("5"));
        t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
        SettleSection(state.project, s);
    }
    state.project.enteredSectionCount = 30;
    windows.Start();
    QTest::mouseClick(windows.Splash()->findChild<QLabel*>("label_3"), Qt::LeftButton);
    DataWindow* data = windows.Data();
    QApplication::setActiveWindow(data);
    QTest::keyClick(data, Qt::Key_R, Qt::ControlModifier);
    auto* summary = qobject_cast<SummaryWindow*>(windows.Window(WindowId::riepilogo));
    ASSERT_NE(summary, nullptr);
    ASSERT_TRUE(summary->isVisible());
    auto* table = summary->findChild<QTableView*>("tabella");
    EXPECT_FALSE(table->accessibleName().isEmpty());
    ASSERT_EQ(table->model()->rowCount(), 30);
    EXPECT_EQ(summary->findChild<QLabel*>("totali")->text().left(11), "Tronchi: 30");

    // Sorted by velocity, fastest first: the shortest section leads.
    auto* header = table->horizontalHeader();
    const int velocity =
        static_cast<int>(SummarizeNetwork(state.project, state.settings).ColumnOf(Field::vel));
    const QPoint onVelocity(header->sectionViewportPosition(velocity) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onVelocity);
    if (header->sortIndicatorOrder() == Qt::AscendingOrder) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, onVelocity);
    }
    EXPECT_EQ(table->model()->index(0, 0).data().toString(), "1");
    EXPECT_EQ(table->model()->index(29, 0).data().toString(), "30");
    // The slowest rows are marked, with the limit in the tooltip.
    EXPECT_TRUE(table->model()
                    ->index(29, velocity)
                    .data(Qt::ToolTipRole)
                    .toString()
                    .contains("sotto il minimo"));
    EXPECT_TRUE(table->model()->index(29, velocity).data(Qt::BackgroundRole).isValid());

    // A double click on the 16th row (section 16) takes the data window there.
    const QRect row = table->visualRect(table->model()->index(15, 0));
    // As a mouse does it: press, release, the double click, release.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mousePress(table->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(summary->SelectedSection(), 16);
    EXPECT_EQ(data->Model().ScrollValue(), 16);
    EXPECT_EQ(QApplication::focusWidget(), data->findChild<QLineEdit*>("lungh_1"));
    auto* profile = summary->findChild<SectionProfileView*>("profilo");
    EXPECT_EQ(profile->Profile().section, 16);
    EXPECT_TRUE(profile->accessibleName().endsWith("tronco n. 16"));

    // An edit in the data window shows in the summary at once.
    QTest::keyClicks(data->findChild<QLineEdit*>("lungh_1"), "0");
    EXPECT_EQ(summary->SelectedSection(), 16);  // followed as the rows sort again
    EXPECT_EQ(table->currentIndex().siblingAtColumn(1).data().toString(), "16000,00");
}

// A section that cannot be sized shows "non dimensionabile" whole, across
// the result columns, wherever a sort moves its row; its tooltip says why.
TEST(SummaryWindowRoad, UnsizableSectionsShowTheirMarkWhole) {
    ProgramState state;
    testing::FakeDialogs dialogs;
    for (int s = 1; s <= 6; ++s) {
        auto& t = state.project.sections;
        t.Set(s, Field::lungh, FieldValue::Text(std::to_string(100 * s)));
        t.Set(s, Field::quotain, FieldValue::Text("200"));
        t.Set(s, Field::quotafin, FieldValue::Text(s == 3 ? "205" : "190"));
        t.Set(s, Field::portfin, FieldValue::Text("5"));
        t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
        SettleSection(state.project, s);
    }
    CountEnteredSections(state.project);
    SummaryWindow summary(state, dialogs,
                          {[](int) {}, [] { return std::string(); }, [] {}, {}, {}});
    summary.show();
    auto* table = summary.findChild<QTableView*>("tabella");
    const NetworkSummary columns = SummarizeNetwork(state.project, state.settings);
    const int diameter = static_cast<int>(columns.ColumnOf(Field::dia));
    auto rowOf = [&](int section) {
        for (int r = 0; r < table->model()->rowCount(); ++r) {
            if (table->model()->index(r, 0).data().toInt() == section) {
                return r;
            }
        }
        return -1;
    };
    for (const int sortColumn : {0, static_cast<int>(columns.ColumnOf(Field::vel))}) {
        table->sortByColumn(sortColumn, Qt::DescendingOrder);
        for (int s = 1; s <= 6; ++s) {
            const int r = rowOf(s);
            EXPECT_EQ(table->columnSpan(r, diameter), s == 3 ? 3 : 1) << s;
        }
        const QModelIndex mark = table->model()->index(rowOf(3), diameter);
        EXPECT_EQ(mark.data().toString(), "non dimensionabile");
        EXPECT_GE(table->visualRect(mark).width(),
                  table->fontMetrics().horizontalAdvance(mark.data().toString()));
        EXPECT_EQ(mark.data(Qt::ToolTipRole).toString(),
                  "Tronco non dimensionabile: la quota iniziale non supera quella finale.");
    }
    // Mended, the section is sized and its row spans no more.
    state.project.sections.Set(3, Field::quotafin, FieldValue::Text("190"));
    SettleSection(state.project, 3);
    summary.Sync();
    EXPECT_EQ(table->columnSpan(rowOf(3), diameter), 1);
    EXPECT_NE(table->model()->index(rowOf(3), diameter).data().toString(), "non dimensionabile");
}

// The network typed in the window: the links and a delivery in the table's
// cells, the source's head above it; every edit one undo step, every
// refused value gone at once, and the data window showing the summed end
// flow as a result.
TEST(SummaryWindowRoad, TheNetworkTypedInTheTableAndAboveIt) {
    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::RecordingPlayer music;
    QtWindowSystem windows{state, dialogs, music, "/nessuna/cartella"};
    for (int s = 1; s <= 3; ++s) {
        auto& t = state.project.sections;
        t.Set(s, Field::lungh, FieldValue::Text("400"));
        t.Set(s, Field::quotain, FieldValue::Text(std::to_string(400 - 10 * (s - 1))));
        t.Set(s, Field::quotafin, FieldValue::Text(std::to_string(400 - 10 * s)));
        t.Set(s, Field::portun, FieldValue::Text("1"));
        t.Set(s, Field::portfin, FieldValue::Text("2"));
        t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
        SettleSection(state.project, s);
    }
    state.project.enteredSectionCount = 3;
    windows.Start();
    QTest::mouseClick(windows.Splash()->findChild<QLabel*>("label_3"), Qt::LeftButton);
    DataWindow* data = windows.Data();
    windows.Show(WindowId::riepilogo);
    auto* summary = qobject_cast<SummaryWindow*>(windows.Window(WindowId::riepilogo));
    ASSERT_NE(summary, nullptr);
    auto* table = summary->findChild<QTableView*>("tabella");
    auto* values = summary->findChild<QWidget*>("valoridellarete");
    auto* show = summary->findChild<QCheckBox*>("mostrarete");
    QApplication::setActiveWindow(summary);

    // Without links the window is the summary of single sections.
    const int plainColumns = static_cast<int>(SummaryColumnsOf(state.project.Fields()).size());
    EXPECT_EQ(table->model()->columnCount(), plainColumns);
    EXPECT_FALSE(values->isVisible());
    EXPECT_FALSE(show->isChecked());
    QTest::mouseClick(show, Qt::LeftButton);
    ASSERT_TRUE(values->isVisible());
    ASSERT_GT(table->model()->columnCount(), plainColumns);
    EXPECT_EQ(table->model()->headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(),
              "Tronco a monte");
    EXPECT_EQ(state.history.Modified(), false);  // showing edits nothing

    // The source's head above the table; a value that is no quota is
    // refused and leaves the box.
    auto* head = summary->findChild<QLineEdit*>("sorgente");
    auto* minimum = summary->findChild<QLineEdit*>("pressionemin");
    EXPECT_EQ(minimum->text(), "20");  // the office's
    head->setFocus();
    QTest::keyClicks(head, "420");
    QTest::keyClick(head, Qt::Key_Return);
    EXPECT_EQ(state.project.network.sourceHead, "420");
    QTest::keyClicks(head, "x");
    QTest::keyClick(head, Qt::Key_Return);
    EXPECT_NE(dialogs.LastText().find("non è una quota"), std::string::npos);
    EXPECT_EQ(head->text(), "420");
    EXPECT_EQ(state.project.network.sourceHead, "420");
    // Leaving the office's limit as it came keeps it the office's.
    minimum->setFocus();
    QTest::keyClick(minimum, Qt::Key_Return);
    EXPECT_EQ(state.project.network.minimumPressure, "");

    const int link = 1;
    auto typeInCell = [&](int section, int column, const QString& text) {
        table->setFocus();
        table->setCurrentIndex(table->model()->index(section - 1, column));
        QTest::keyClicks(table, text.left(1));
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(editor, nullptr);
        ASSERT_NE(editor, table);
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        // The editor hands its text in once the key is handled, and the
        // window applies it after that.
        for (int pass = 0; pass < 3; ++pass) {
            QApplication::processEvents();
        }
    };
    // A main down the hill: 1 from the source, 2 from 1, 3 from 2.
    typeInCell(1, link, "0");
    typeInCell(2, link, "1");
    typeInCell(3, link, "2");
    EXPECT_EQ(UpstreamOf(state.project.sections, 1), 0);
    EXPECT_EQ(UpstreamOf(state.project.sections, 3), 2);
    EXPECT_TRUE(show->isChecked());
    EXPECT_FALSE(show->isEnabled());  // a network stays shown
    // Section 1's end flow is now the sum downstream: 2 (its own typed end
    // flow, kept as its node's delivery) + 1 + 2 + 1 + 2.
    EXPECT_EQ(state.project.sections.Get(1, Field::portfin).DisplayText(), "8");
    EXPECT_TRUE(data->findChild<QLineEdit*>("portfin_1")->isReadOnly());
    EXPECT_FALSE(data->findChild<QLineEdit*>("portfin_3")->isReadOnly());
    EXPECT_EQ(data->findChild<QLineEdit*>("portfin_1")->text(), "8");

    // A loop and a link to itself are refused; the cells show the links kept.
    const std::size_t messages = dialogs.shown.size();
    typeInCell(1, link, "3");
    typeInCell(2, link, "2");
    EXPECT_EQ(dialogs.shown.size(), messages + 2) << dialogs.LastText();
    EXPECT_EQ(UpstreamOf(state.project.sections, 1), 0);
    EXPECT_EQ(UpstreamOf(state.project.sections, 2), 1);
    EXPECT_EQ(table->model()->index(0, link).data().toString(), "0");
    EXPECT_EQ(table->model()->index(1, link).data().toString(), "1");

    // The leaf's delivery typed: the sums follow in the same step.
    const int delivery = 2;
    typeInCell(3, delivery, "3.5");
    EXPECT_EQ(state.project.sections.Get(3, NodeDemandField).DisplayText(), "3,5");
    EXPECT_EQ(state.project.sections.Get(1, Field::portfin).DisplayText(), "9,5");
    // An editor opened and left as it came stores nothing (the undo below
    // finds the delivery as the last step).
    typeInCell(3, delivery, "3,5");
    // The pressure at each node, from the head typed above.
    const int pressure = static_cast<int>(
        SummarizeNetwork(state.project, state.settings).ColumnOf(SummaryValue::PressureEnd));
    EXPECT_FALSE(table->model()->index(2, pressure).data().toString().isEmpty());

    // One undo takes back the delivery and its sums; three more the links.
    // Ctrl+Z in the window itself.
    table->setFocus();
    QTest::keyClick(table, Qt::Key_Z, Qt::ControlModifier);
    UndoCommands undo(state, windows);
    EXPECT_EQ(state.project.sections.Get(3, NodeDemandField).DisplayText(), "");
    EXPECT_EQ(state.project.sections.Get(1, Field::portfin).DisplayText(), "8");
    for (int i = 0; i < 3; ++i) {
        undo.Undo();
    }
    windows.SyncAll();
    EXPECT_FALSE(HasNetwork(state.project));
    EXPECT_EQ(state.project.sections.Get(1, Field::portfin).DisplayText(), "2");
    EXPECT_FALSE(data->findChild<QLineEdit*>("portfin_1")->isReadOnly());
    EXPECT_TRUE(show->isEnabled());
    undo.Undo();
    windows.SyncAll();
    EXPECT_EQ(state.project.network.sourceHead, "");
    EXPECT_EQ(head->text(), "");
}

}  // namespace
}  // namespace acquenza::ui
