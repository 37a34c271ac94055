// The network window's chart for a project with a network: the profile
// along the path from the source to the chosen node, saved as a picture;
// a project of single sections keeps the section's own profile.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <string>

#include "app/fakes.h"
#include "core/project_network.h"
#include "core/section_calculation.h"
#include "ui/data_window/data_window.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"
#include "ui/summary/section_profile_view.h"
#include "ui/summary/summary_window.h"

namespace acquenza::ui {
namespace {

namespace fs = std::filesystem;

// Three sections; joined as 0 -> 1 -> {2, 3} when `linked`.
void PutSections(Project& p, bool linked) {
    const char* rows[3][4] = {
        {"600", "250", "244", "0"}, {"300", "244", "240", "3"}, {"250", "244", "239", "2"}};
    for (int s = 1; s <= 3; ++s) {
        auto& t = p.sections;
        t.Set(s, Field::lungh, FieldValue::Text(rows[s - 1][0]));
        t.Set(s, Field::quotain, FieldValue::Text(rows[s - 1][1]));
        t.Set(s, Field::quotafin, FieldValue::Text(rows[s - 1][2]));
        t.Set(s, Field::portfin, FieldValue::Text(rows[s - 1][3]));
        t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
    }
    p.enteredSectionCount = 3;
    if (linked) {
        for (int s = 1; s <= 3; ++s) {
            p.sections.Set(s, LinkField, UpstreamValue(p.sections, s == 1 ? 0 : 1));
        }
        p.network.sourceHead = "275";
        SettleNetwork(p);
    }
    for (int s = 1; s <= 3; ++s) {
        SettleSection(p, s);
    }
}

TEST(PathProfileInTheWindow, ANodeShowsItsPathAndSavesItAsAPicture) {
    for (const bool linked : {true, false}) {
        SCOPED_TRACE(linked ? "rete" : "tronchi singoli");
        ProgramState state;
        testing::FakeDialogs dialogs;
        testing::RecordingPlayer music;
        QtWindowSystem windows{state, dialogs, music, "/nessuna/cartella"};
        PutSections(state.project, linked);
        windows.Start();
        QTest::mouseClick(windows.Splash()->findChild<QLabel*>("label_3"), Qt::LeftButton);
        DataWindow* data = windows.Data();
        QApplication::setActiveWindow(data);
        QTest::keyClick(data, Qt::Key_R, Qt::ControlModifier);
        auto* summary = qobject_cast<SummaryWindow*>(windows.Window(WindowId::riepilogo));
        ASSERT_NE(summary, nullptr);
        auto* profile = summary->findChild<SectionProfileView*>("profilo");
        summary->SelectSection(3);
        if (linked) {
            ASSERT_TRUE(profile->Path().has_value());
            EXPECT_EQ(profile->Path()->endNode, 3) << profile->Path()->note;
            EXPECT_EQ(profile->Path()->sections, (std::vector<int>{1, 3}));
            EXPECT_EQ(profile->Path()->head.size(), 4u) << profile->Path()->note;
            EXPECT_TRUE(profile->accessibleName().endsWith("al nodo 3"));
        } else {
            EXPECT_FALSE(profile->Path().has_value());
            EXPECT_EQ(profile->Profile().section, 3);
        }
        // The picture goes where the user says, named after what it shows.
        const fs::path file =
            fs::temp_directory_path() / ("acquenza-profilo-" + std::to_string(::getpid()) + ".png");
        dialogs.files = {file.string()};
        QTest::mouseClick(summary->findChild<QPushButton*>("salvagrafico"), Qt::LeftButton);
        ASSERT_TRUE(dialogs.shown.empty()) << dialogs.LastText();
        ASSERT_FALSE(dialogs.fileDialogs.empty());
        EXPECT_EQ(dialogs.fileDialogs.back().initialName,
                  linked ? "profilo-percorso-nodo-3.png" : "profilo-tronco-3.png");
        const QImage saved(QString::fromStdString(file.string()));
        EXPECT_EQ(saved.size(), QSize(1200, 700));
        fs::remove(file);
    }
}

}  // namespace
}  // namespace acquenza::ui
