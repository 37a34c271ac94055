// What waits for the splash to reach the screen runs once, after its first
// paint, in the order it was given; never before the window is painted.

#include "ui/shell/first_paint.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>
#include <string>

namespace acquenza::ui {
namespace {

class CountingWidget final : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST(AfterFirstPaint, RunsOnceInOrderOnlyAfterThePaint) {
    CountingWidget window;
    window.resize(200, 100);
    std::string done;
    AfterFirstPaint(&window, [&] { done += "musica "; });
    AfterFirstPaint(&window, [&] { done += "icona"; });
    QCoreApplication::processEvents();
    EXPECT_EQ(done, "") << "ran before the window was shown";

    window.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !done.empty(); }, 5000));
    EXPECT_GE(window.paints, 1);
    EXPECT_EQ(done, "musica icona");

    window.repaint();
    QCoreApplication::processEvents();
    EXPECT_EQ(done, "musica icona") << "ran again at a later paint";
}

TEST(AfterFirstPaint, AWindowGoneBeforeItsPaintRunsNothing) {
    bool ran = false;
    {
        QWidget window;
        AfterFirstPaint(&window, [&] { ran = true; });
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace acquenza::ui
