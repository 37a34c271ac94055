// The network summary walked with the keyboard and the mouse: Ctrl+R opens
// it, a column sorts it, a double click takes the data window to the
// section, and an edit there shows here at once.

#include "ui/summary/summary_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <string>

#include "app/fakes.h"
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
    SummaryWindow summary(state, dialogs, {[](int) {}, [] { return std::string(); }, [] {}});
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

}  // namespace
}  // namespace acquenza::ui
