// A field described only in a project's table of fields gets its column in
// the real grid: a heading, a box in every row in the Tab road, and what is
// typed there reaches the project.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/fakes.h"
#include "ui/data_window/data_window.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"

namespace acquenza::ui {
namespace {

const Field Depth = static_cast<Field>(StandardFieldCount);

TEST(DescribedColumn, TheGridShowsAndTakesAFieldItsTableAdds) {
    FieldSpec spec;
    spec.field = Depth;
    spec.name = "profondita";
    spec.label = "profondità di posa";
    spec.kind = FieldKind::Number;
    spec.screen = {"profondità", "metri", "profondità di posa della condotta", 9400, 600};
    const FieldTable layout = StandardFields().With(spec);

    ProgramState state;
    state.project = Project(layout);
    testing::FakeDialogs dialogs;
    testing::RecordingPlayer music;
    QtWindowSystem windows(state, dialogs, music, "/nessuna/cartella");
    windows.Start();
    QTest::mouseClick(windows.Splash(), Qt::LeftButton);
    DataWindow* data = windows.Data();
    ASSERT_NE(data, nullptr);

    auto* heading = data->findChild<QLabel*>(QStringLiteral("profondita_titolo"));
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->text(), QStringLiteral("profondità\nmetri"));
    EXPECT_EQ(heading->toolTip(), QStringLiteral("profondità di posa della condotta"));
    for (int r = 1; r <= DataWindowModel::Rows; ++r) {
        ASSERT_NE(data->findChild<QLineEdit*>(QStringLiteral("profondita_%1").arg(r)), nullptr);
    }
    // After the pipe type in the Tab road, as it stands after it in the table.
    auto* box = data->findChild<QLineEdit*>(QStringLiteral("profondita_1"));
    auto* pipeType = data->findChild<QComboBox*>(QStringLiteral("tipoc_1"));
    EXPECT_EQ(pipeType->lineEdit()->nextInFocusChain(), box);

    QTest::keyClicks(box, QStringLiteral("1.2"));
    EXPECT_EQ(state.project.sections.Get(1, Depth), FieldValue::Text("1.2"));
    EXPECT_EQ(windows.LoadDataWindow().BoxText(1, Depth), "1.2");
}

}  // namespace
}  // namespace acquenza::ui
