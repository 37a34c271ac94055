// The title page's print-mode frame when the window changes size: the two
// option buttons inside the frame grow and shrink with it, and come back to
// their places at the design size.

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QRadioButton>
#include <array>

#include "app/fakes.h"
#include "ui/shell/qt_window_system.h"
#include "ui/title_page/title_page_window.h"

namespace acquenza::ui {
namespace {

using acquenza::testing::FakeDialogs;
using acquenza::testing::RecordingPlayer;

TEST(TitlePageResize, PrintModeOptionsFollowTheirFrame) {
    ProgramState state;
    FakeDialogs dialogs;
    RecordingPlayer music;
    QtWindowSystem windows(state, dialogs, music, ".");
    windows.Show(WindowId::frontespizio);
    TitlePageWindow* title = windows.Title();
    ASSERT_NE(title, nullptr);
    QApplication::processEvents();
    QWidget* form = title->centralWidget();
    auto* frame = title->findChild<QGroupBox*>(QStringLiteral("Frame2"));
    ASSERT_NE(frame, nullptr);
    std::array<QRadioButton*, 2> options{};
    for (int mode = 1; mode <= 2; ++mode) {
        options[mode - 1] =
            frame->findChild<QRadioButton*>(QStringLiteral("comestampo_%1").arg(mode));
        ASSERT_NE(options[mode - 1], nullptr) << mode;
    }
    const QSize designForm = form->size();
    const QRect designFrame = frame->geometry();
    const std::array<QRect, 2> designOptions = {options[0]->geometry(), options[1]->geometry()};

    struct Case {
        double width;
        double height;
    };
    // Grow, shrink, both ways at once, many times over, then the design size.
    const Case cases[] = {{1.6, 1.4}, {0.6, 0.7}, {1.3, 0.5}, {0.55, 1.5},
                          {1.6, 1.4}, {0.6, 0.7}, {1.0, 1.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
        const QSize target(qRound(designForm.width() * c.width),
                           qRound(designForm.height() * c.height));
        title->resize(title->size() + target - form->size());
        QApplication::processEvents();
        ASSERT_EQ(form->size(), target);

        const double frameX = static_cast<double>(target.width()) / designForm.width();
        const double frameY = static_cast<double>(target.height()) / designForm.height();
        EXPECT_NEAR(frame->width(), designFrame.width() * frameX, 1.0);
        EXPECT_NEAR(frame->height(), designFrame.height() * frameY, 1.0);
        // Each option is scaled by what its frame became, not by the form.
        const double optionX = static_cast<double>(frame->width()) / designFrame.width();
        const double optionY = static_cast<double>(frame->height()) / designFrame.height();
        for (std::size_t i = 0; i < options.size(); ++i) {
            const QRect now = options[i]->geometry();
            const QRect design = designOptions[i];
            EXPECT_NEAR(now.x(), design.x() * optionX, 1.0) << i;
            EXPECT_NEAR(now.y(), design.y() * optionY, 1.0) << i;
            EXPECT_NEAR(now.width(), design.width() * optionX, 1.0) << i;
            EXPECT_NEAR(now.height(), design.height() * optionY, 1.0) << i;
            EXPECT_TRUE(QRect(QPoint(), frame->size()).contains(now)) << i;
        }
    }
    EXPECT_EQ(frame->geometry(), designFrame);
    EXPECT_EQ(options[0]->geometry(), designOptions[0]);
    EXPECT_EQ(options[1]->geometry(), designOptions[1]);
}

}  // namespace
}  // namespace acquenza::ui
