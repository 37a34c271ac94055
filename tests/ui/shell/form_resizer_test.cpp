#include "ui/shell/form_resizer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QMainWindow>
#include <QRect>
#include <QScreen>
#include <QString>
#include <QWidget>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <ostream>
#include <vector>

#include "ui/shell/line_control.h"
#include "ui/shell/twips.h"

// Readable rectangles in failure messages instead of raw bytes.
static void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ')';
}

namespace acquenza::ui {
namespace {

// Layouts below use multiples of 60 twips, whole pixels at every usual DPI.
QRect PixelRect(const QWidget* w, double left, double top, double width, double height) {
    return {qRound(TwipsToPixelsX(w, left)), qRound(TwipsToPixelsY(w, top)),
            qRound(TwipsToPixelsX(w, width)), qRound(TwipsToPixelsY(w, height))};
}

void ResizeInTwips(QWidget* w, double width, double height) {
    w->resize(qRound(TwipsToPixelsX(w, width)), qRound(TwipsToPixelsY(w, height)));
}

void Settle() {
    QApplication::processEvents();
}

class FormResizerTest : public ::testing::Test {
  protected:
    FormResizerTest() : form_(std::make_unique<QWidget>()) { ResizeInTwips(form(), 9600, 7200); }

    QWidget* form() { return form_.get(); }

    QWidget* AddControl(int left, int top, int width, int height, const QString& tag = {}) {
        auto* control = new QWidget(form());
        PlaceInTwips(control, left, top, width, height);
        if (!tag.isNull()) {
            control->setProperty("Tag", tag);
        }
        return control;
    }

    QRect At(double left, double top, double width, double height) {
        return PixelRect(form(), left, top, width, height);
    }

    std::unique_ptr<QWidget> form_;
    FormResizer resizer_;
};

TEST(FormResizeRounding, RecordedTwipsRoundToEven) {
    struct Case {
        double twips;
        std::int32_t recorded;
    };
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const std::vector<Case> cases = {
        {2.5, 2},          {3.5, 4},
        {0.5, 0},          {-2.5, -2},
        {-3.5, -4},        {2.4999, 2},
        {2.5001, 3},       {1234567.5, 1234568},
        {std::nan(""), 0}, {std::numeric_limits<double>::infinity(), 0},
        {3e9, kMax},       {-3e9, kMin},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoundTwips(c.twips), c.recorded) << c.twips;
    }
}

TEST(FormResizeScreenPlacement, CentresAShareOfTheScreen) {
    struct Case {
        double screenWidth;
        double screenHeight;
        quint8 percent;
        ScreenPlacement expected;
    };
    const std::vector<Case> cases = {
        {9600, 7200, 75, {1200, 900, 7200, 5400}},
        {9600, 7200, 100, {0, 0, 9600, 7200}},
        {9600, 7200, 0, {4800, 3600, 0, 0}},
        // Odd leftovers centre on half twips.
        {9601, 7201, 50, {2400.5, 1800.5, 4800, 3600}},
        // 0.01 in single precision is a hair under a hundredth: 2, not 3.
        {300, 300, 1, {149, 149, 2, 2}},
    };
    for (const Case& c : cases) {
        const ScreenPlacement p = ComputeScreenPlacement(c.screenWidth, c.screenHeight, c.percent);
        SCOPED_TRACE(testing::Message() << c.screenWidth << " x " << c.screenHeight << " at "
                                        << int{c.percent} << '%');
        EXPECT_EQ(p.left, c.expected.left);
        EXPECT_EQ(p.top, c.expected.top);
        EXPECT_EQ(p.width, c.expected.width);
        EXPECT_EQ(p.height, c.expected.height);
    }
}

TEST_F(FormResizerTest, FirstResizeOnlyRecordsTheLayout) {
    QWidget* box = AddControl(1200, 600, 2400, 480);
    resizer_.SetSourceForm(form());
    ResizeInTwips(form(), 4800, 7200);

    EXPECT_TRUE(resizer_.NeedsRecording());
    resizer_.ResizeControls();
    EXPECT_FALSE(resizer_.NeedsRecording());
    EXPECT_EQ(resizer_.BaseWidth(), 4800);
    EXPECT_EQ(resizer_.BaseHeight(), 7200);
    ASSERT_EQ(resizer_.ControlTable().size(), 1U);
    const FormResizer::ControlEntry& entry = resizer_.ControlTable().front();
    EXPECT_EQ(entry.control, box);
    EXPECT_EQ(entry.left, 1200);
    EXPECT_EQ(entry.top, 600);
    EXPECT_EQ(entry.width, 2400);
    EXPECT_EQ(entry.height, 480);
    EXPECT_EQ(box->geometry(), At(1200, 600, 2400, 480));

    ResizeInTwips(form(), 9600, 7200);
    resizer_.ResizeControls();
    EXPECT_EQ(box->geometry(), At(2400, 600, 4800, 480));
}

TEST_F(FormResizerTest, ScalesFromTheRecordAndReturnsToIt) {
    QWidget* box = AddControl(1200, 600, 2400, 480);
    QWidget* grid = AddControl(240, 1440, 9120, 4800);
    new QObject(form());              // not a widget: no entry
    new QWidget(form(), Qt::Dialog);  // a window of its own: no entry
    resizer_.SetSourceForm(form());
    resizer_.ResizeControls();
    ASSERT_EQ(resizer_.ControlTable().size(), 2U);

    ResizeInTwips(form(), 4800, 7200);
    resizer_.ResizeControls();
    EXPECT_EQ(box->geometry(), At(600, 600, 1200, 480));
    EXPECT_EQ(grid->geometry(), At(120, 1440, 4560, 4800));

    ResizeInTwips(form(), 9600, 3600);
    resizer_.ResizeControls();
    EXPECT_EQ(box->geometry(), At(1200, 300, 2400, 240));
    EXPECT_EQ(grid->geometry(), At(240, 720, 9120, 2400));

    ResizeInTwips(form(), 9600, 7200);
    resizer_.ResizeControls();
    EXPECT_EQ(box->geometry(), At(1200, 600, 2400, 480));
    EXPECT_EQ(grid->geometry(), At(240, 1440, 9120, 4800));
}

TEST_F(FormResizerTest, TagsChooseWhatIsScaled) {
    struct Case {
        QString tag;
        QRect expected;  // twips, after halving the width and doubling the height
    };
    const std::vector<Case> cases = {
        {QString(), {600, 1200, 1200, 960}},  {"", {600, 1200, 1200, 960}},
        {"@LT", {600, 1200, 2400, 480}},      {"@", {1200, 600, 2400, 480}},
        {"xyz", {600, 1200, 1200, 960}},      {"LT", {600, 1200, 1200, 960}},
        {"@wh", {1200, 600, 1200, 960}},      {"@H", {1200, 600, 2400, 960}},
        {"@L,T,W,H", {600, 1200, 1200, 960}},
    };
    std::vector<QWidget*> controls;
    for (const Case& c : cases) {
        controls.push_back(AddControl(1200, 600, 2400, 480, c.tag));
    }
    resizer_.SetSourceForm(form());
    resizer_.ResizeControls();
    ResizeInTwips(form(), 4800, 14400);
    resizer_.ResizeControls();

    for (std::size_t i = 0; i < cases.size(); ++i) {
        const QRect& e = cases[i].expected;
        EXPECT_EQ(controls[i]->geometry(), At(e.x(), e.y(), e.width(), e.height()))
            << "tag \"" << cases[i].tag.toStdString() << '"';
    }
}

TEST_F(FormResizerTest, UnscaledDimensionsKeepTheirCurrentValue) {
    QWidget* box = AddControl(1200, 600, 2400, 480, "@LT");
    resizer_.SetSourceForm(form());
    resizer_.ResizeControls();
    // The program resizes the box after the layout was recorded.
    PlaceInTwips(box, 1200, 600, 1800, 300);

    ResizeInTwips(form(), 4800, 14400);
    resizer_.ResizeControls();
    EXPECT_EQ(box->geometry(), At(600, 1200, 1800, 300));
}

TEST_F(FormResizerTest, LineEndPointsScaleWithTheirAxis) {
    auto* line = new LineControl(form());
    line->SetEndPoints(1200, 600, 6000, 3000);
    auto* pinned = new LineControl(form());
    pinned->SetEndPoints(1200, 600, 6000, 3000);
    pinned->setProperty("Tag", "@LT");
    resizer_.SetSourceForm(form());
    resizer_.ResizeControls();

    ResizeInTwips(form(), 4800, 14400);
    resizer_.ResizeControls();
    EXPECT_DOUBLE_EQ(line->X1(), 600);
    EXPECT_DOUBLE_EQ(line->Y1(), 1200);
    EXPECT_DOUBLE_EQ(line->X2(), 3000);
    EXPECT_DOUBLE_EQ(line->Y2(), 6000);
    EXPECT_EQ(line->geometry(), At(600, 1200, 2400, 4800));
    EXPECT_DOUBLE_EQ(pinned->X1(), 600);
    EXPECT_DOUBLE_EQ(pinned->Y1(), 1200);
    EXPECT_DOUBLE_EQ(pinned->X2(), 6000);
    EXPECT_DOUBLE_EQ(pinned->Y2(), 3000);
}

TEST_F(FormResizerTest, LineEndPointsRecordRoundedToEven) {
    auto* line = new LineControl(form());
    line->SetEndPoints(2.5, 3.5, 4800.5, 7199.5);
    resizer_.SetSourceForm(form());
    resizer_.ResizeControls();
    ASSERT_EQ(resizer_.ControlTable().size(), 1U);
    const FormResizer::ControlEntry& entry = resizer_.ControlTable().front();
    EXPECT_EQ(entry.left, 2);
    EXPECT_EQ(entry.top, 4);
    EXPECT_EQ(entry.width, 4800);
    EXPECT_EQ(entry.height, 7200);
    // Recording alone leaves the line where it was, half twips and all.
    EXPECT_DOUBLE_EQ(line->X1(), 2.5);
    EXPECT_DOUBLE_EQ(line->Y2(), 7199.5);

    resizer_.ResizeControls();
    EXPECT_DOUBLE_EQ(line->X1(), 2);
    EXPECT_DOUBLE_EQ(line->Y2(), 7200);
}

TEST_F(FormResizerTest, RepeatedResizingDoesNotDrift) {
    QWidget* box = AddControl(1260, 660, 2340, 420);
    QWidget* edge = AddControl(9540, 7140, 60, 60);
    auto* line = new LineControl(form());
    line->SetEndPoints(1260, 660, 8940, 6900);
    const QRect boxAtStart = box->geometry();
    const QRect edgeAtStart = edge->geometry();
    resizer_.SetSourceForm(form());
    resizer_.ResizeControls();

    const std::vector<QSize> sizes = {{337, 251}, {611, 389}, {123, 457}, {999, 77},
                                      {401, 401}, {53, 619},  {777, 333}, {211, 199}};
    for (int round = 0; round < 10; ++round) {
        for (const QSize& s : sizes) {
            form()->resize(s);
            resizer_.ResizeControls();
        }
    }
    ResizeInTwips(form(), 9600, 7200);
    resizer_.ResizeControls();
    EXPECT_EQ(box->geometry(), boxAtStart);
    EXPECT_EQ(edge->geometry(), edgeAtStart);
    EXPECT_DOUBLE_EQ(line->X1(), 1260);
    EXPECT_DOUBLE_EQ(line->Y1(), 660);
    EXPECT_DOUBLE_EQ(line->X2(), 8940);
    EXPECT_DOUBLE_EQ(line->Y2(), 6900);
}

TEST_F(FormResizerTest, ZeroRecordedSizeDoesNotScale) {
    QWidget window;
    ResizeInTwips(&window, 9600, 7200);
    auto* panel = new QWidget(&window);
    panel->setGeometry(0, 0, 0, qRound(TwipsToPixelsY(panel, 3600)));
    auto* box = new QWidget(panel);
    PlaceInTwips(box, 120, 120, 480, 240);
    const QRect before = box->geometry();
    resizer_.SetSourceForm(panel);
    resizer_.ResizeControls();
    EXPECT_EQ(resizer_.BaseWidth(), 0);

    ResizeInTwips(panel, 4800, 7200);
    resizer_.ResizeControls();
    EXPECT_EQ(box->geometry(), before);
}

TEST_F(FormResizerTest, DeletedControlsAreSkipped) {
    QWidget* gone = AddControl(1200, 600, 2400, 480);
    QWidget* kept = AddControl(240, 1440, 2400, 480);
    resizer_.SetSourceForm(form());
    resizer_.ResizeControls();
    delete gone;

    ResizeInTwips(form(), 4800, 7200);
    resizer_.ResizeControls();
    EXPECT_EQ(kept->geometry(), At(120, 1440, 1200, 480));
}

TEST_F(FormResizerTest, ReInitialiseTakesTheCurrentLayout) {
    QWidget* box = AddControl(1200, 600, 2400, 480);
    resizer_.SetSourceForm(form());
    resizer_.ResizeControls();
    PlaceInTwips(box, 2400, 1200, 1200, 240);
    AddControl(240, 240, 480, 480);
    resizer_.ReInitialise();
    EXPECT_EQ(resizer_.ControlTable().size(), 2U);

    ResizeInTwips(form(), 4800, 7200);
    resizer_.ResizeControls();
    EXPECT_EQ(box->geometry(), At(1200, 1200, 600, 240));

    // Another form is recorded afresh rather than given this form's layout.
    QWidget other;
    resizer_.SetSourceForm(&other);
    EXPECT_TRUE(resizer_.NeedsRecording());
    EXPECT_TRUE(resizer_.ControlTable().empty());
}

TEST_F(FormResizerTest, SizeFormToScreenPlacesTheWindowAndItsControls) {
    QWidget* box = AddControl(1200, 600, 2400, 480);
    resizer_.SetSourceForm(form());
    resizer_.SetScreenSizeForTesting(QSizeF(9600, 7200));
    resizer_.SizeFormToScreen(75);

    EXPECT_FALSE(resizer_.NeedsRecording());
    EXPECT_EQ(resizer_.BaseWidth(), 9600);
    const QPoint origin = form()->screen()->availableGeometry().topLeft();
    EXPECT_EQ(form()->frameGeometry(), At(1200, 900, 7200, 5400).translated(origin));
    // Scaled from the layout recorded before the window changed size.
    EXPECT_EQ(box->geometry(), At(900, 450, 1800, 360));

    // Once shown the window has a frame, which counts in the placement.
    form()->show();
    Settle();
    resizer_.SizeFormToScreen(50);
    Settle();
    EXPECT_EQ(form()->frameGeometry(), At(2400, 1800, 4800, 3600).translated(origin));
    EXPECT_EQ(box->geometry(), PixelRect(box, 1200 * PixelsToTwipsX(form(), form()->width()) / 9600,
                                         600 * PixelsToTwipsY(form(), form()->height()) / 7200,
                                         2400 * PixelsToTwipsX(form(), form()->width()) / 9600,
                                         480 * PixelsToTwipsY(form(), form()->height()) / 7200));
}

TEST_F(FormResizerTest, SizeFormToScreenFillsTheRealScreenAtFullSize) {
    AddControl(1200, 600, 2400, 480);
    resizer_.SetSourceForm(form());
    resizer_.SizeFormToScreen(100);
    const QRect available = form()->screen()->availableGeometry();
    EXPECT_LE(std::abs(form()->frameGeometry().width() - available.width()), 1);
    EXPECT_LE(std::abs(form()->frameGeometry().height() - available.height()), 1);
    EXPECT_LE((form()->frameGeometry().topLeft() - available.topLeft()).manhattanLength(), 1);
}

TEST_F(FormResizerTest, ResizeEventsOfAShownWindowRescale) {
    QWidget* box = AddControl(1200, 600, 2400, 480);
    resizer_.SetSourceForm(form());
    form()->show();
    Settle();
    EXPECT_FALSE(resizer_.NeedsRecording());  // the first resize event recorded

    ResizeInTwips(form(), 4800, 7200);
    Settle();
    EXPECT_EQ(box->geometry(), At(600, 600, 1200, 480));
}

TEST_F(FormResizerTest, MinimisedWindowWaitsUntilRestored) {
    QWidget* box = AddControl(1200, 600, 2400, 480);
    resizer_.SetSourceForm(form());
    form()->show();
    Settle();

    form()->showMinimized();
    Settle();
    ASSERT_TRUE(form()->isMinimized());
    ResizeInTwips(form(), 4800, 7200);
    Settle();
    resizer_.ResizeControls();
    EXPECT_EQ(box->geometry(), At(1200, 600, 2400, 480));

    form()->showNormal();
    Settle();
    ASSERT_FALSE(form()->isMinimized());
    EXPECT_EQ(box->geometry(), At(600, 600, 1200, 480));
}

TEST_F(FormResizerTest, MainWindowCentralWidgetFollowsTheWindow) {
    QMainWindow window;
    auto* central = new QWidget;
    window.setCentralWidget(central);
    ResizeInTwips(&window, 9600, 7200);
    window.show();
    Settle();
    auto* box = new QWidget(central);
    PlaceInTwips(box, 1200, 600, 2400, 480);
    resizer_.SetSourceForm(central);
    resizer_.ReInitialise();
    const double baseWidth = resizer_.BaseWidth();

    window.resize(window.width() / 2, window.height());
    Settle();
    const double ratio = PixelsToTwipsX(central, central->width()) / baseWidth;
    EXPECT_LT(ratio, 1.0);
    EXPECT_EQ(box->geometry(), PixelRect(box, 1200 * ratio, 600, 2400 * ratio, 480));
}

TEST(TwipConversion, OneInchIsTheLogicalDpi) {
    QWidget w;
    EXPECT_DOUBLE_EQ(TwipsToPixelsX(&w, kTwipsPerInch), w.logicalDpiX());
    EXPECT_DOUBLE_EQ(TwipsToPixelsY(&w, kTwipsPerInch), w.logicalDpiY());
    EXPECT_DOUBLE_EQ(PixelsToTwipsX(&w, w.logicalDpiX()), kTwipsPerInch);
    EXPECT_DOUBLE_EQ(PixelsToTwipsY(&w, w.logicalDpiY()), kTwipsPerInch);
    EXPECT_DOUBLE_EQ(PixelsToTwipsX(&w, TwipsToPixelsX(&w, 1234.5)), 1234.5);

    QWidget parent;
    auto* child = new QWidget(&parent);
    PlaceInTwips(child, 1440, 720, 2880, 360);
    EXPECT_EQ(child->geometry(),
              QRect(child->logicalDpiX(), qRound(child->logicalDpiY() / 2.0),
                    2 * child->logicalDpiX(), qRound(child->logicalDpiY() / 4.0)));
}

TEST(LineControlGeometry, BoundingBoxOfTheEndPoints) {
    QWidget parent;
    auto* line = new LineControl(&parent);
    line->SetEndPoints(1200, 600, 240, 2400);  // ends given right to left
    EXPECT_EQ(line->geometry(), PixelRect(line, 240, 600, 960, 1800));

    line->setProperty("X2", 3600.0);
    line->setProperty("Y1", 1200.0);
    EXPECT_DOUBLE_EQ(line->X2(), 3600);
    EXPECT_EQ(line->geometry(), PixelRect(line, 1200, 1200, 2400, 1200));
}

TEST(LineControlGeometry, StraightLinesKeepTheirThickness) {
    struct Case {
        double x1, y1, x2, y2;
        int borderWidth;
    };
    const std::vector<Case> cases = {
        {240, 960, 2400, 960, 1},
        {240, 960, 2400, 960, 3},
        {960, 240, 960, 2400, 2},
    };
    QWidget parent;
    for (const Case& c : cases) {
        auto* line = new LineControl(&parent);
        line->SetBorderWidth(c.borderWidth);
        line->SetEndPoints(c.x1, c.y1, c.x2, c.y2);
        const bool horizontal = c.y1 == c.y2;
        const QRect g = line->geometry();
        const int thickness = horizontal ? g.height() : g.width();
        const double along = horizontal ? TwipsToPixelsY(line, c.y1) : TwipsToPixelsX(line, c.x1);
        const int start = horizontal ? g.top() : g.left();
        EXPECT_EQ(thickness, c.borderWidth);
        EXPECT_LE(start, along);
        EXPECT_GE(start + thickness, along);
    }
}

TEST(LineControlPainting, DrawsTheLineInItsColour) {
    QWidget parent;
    auto* line = new LineControl(&parent);
    line->SetBorderColor(Qt::red);
    line->SetEndPoints(240, 960, 2400, 960);  // horizontal, one pixel thick
    const QImage strip = line->grab().toImage();
    EXPECT_EQ(QColor(strip.pixel(strip.width() / 2, 0)), QColor(Qt::red));

    line->SetBorderWidth(2);
    line->SetEndPoints(0, 0, 1440, 1440);  // diagonal
    const QImage box = line->grab().toImage();
    EXPECT_EQ(QColor(box.pixel(box.width() / 2, box.height() / 2)), QColor(Qt::red));
    EXPECT_NE(QColor(box.pixel(box.width() - 1, 0)), QColor(Qt::red));
}

}  // namespace
}  // namespace acquenza::ui
