#include "ui/shell/line_control.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <algorithm>

#include "ui/shell/twips.h"

namespace acquenza::ui {

namespace {

struct Span {
    int start;
    int length;
    bool widened;  // the line runs along the other axis
};

// Pixel extent covered by a line between a and b along one axis. A line
// running along the other axis would have no extent at all, so the span is
// widened, around the line, to the pen's thickness.
Span CoveredSpan(double a, double b, int thickness) {
    const double low = std::min(a, b);
    const double high = std::max(a, b);
    const int start = qRound(low);
    const int end = qRound(high);
    if (end - start >= thickness) {
        return {start, end - start, false};
    }
    return {qRound((low + high - thickness) / 2.0), thickness, true};
}

}  // namespace

LineControl::LineControl(QWidget* parent) : QWidget(parent) {
    // Lines decorate the window; the boxes beneath their bounding box must
    // still take the clicks.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    UpdatePlacement();
}

void LineControl::SetX1(double twips) {
    SetEndPoints(twips, y1_, x2_, y2_);
}

void LineControl::SetY1(double twips) {
    SetEndPoints(x1_, twips, x2_, y2_);
}

void LineControl::SetX2(double twips) {
    SetEndPoints(x1_, y1_, twips, y2_);
}

void LineControl::SetY2(double twips) {
    SetEndPoints(x1_, y1_, x2_, twips);
}

void LineControl::SetEndPoints(double x1, double y1, double x2, double y2) {
    x1_ = x1;
    y1_ = y1;
    x2_ = x2;
    y2_ = y2;
    UpdatePlacement();
}

void LineControl::SetBorderWidth(int pixels) {
    borderWidth_ = std::max(pixels, 1);
    UpdatePlacement();
}

void LineControl::SetBorderColor(const QColor& color) {
    borderColor_ = color;
    update();
}

void LineControl::UpdatePlacement() {
    const Span across =
        CoveredSpan(TwipsToPixelsX(this, x1_), TwipsToPixelsX(this, x2_), borderWidth_);
    const Span down =
        CoveredSpan(TwipsToPixelsY(this, y1_), TwipsToPixelsY(this, y2_), borderWidth_);
    setGeometry(across.start, down.start, across.length, down.length);
    update();
}

void LineControl::paintEvent(QPaintEvent* /*event*/) {
    const double ax = TwipsToPixelsX(this, x1_);
    const double bx = TwipsToPixelsX(this, x2_);
    const double ay = TwipsToPixelsY(this, y1_);
    const double by = TwipsToPixelsY(this, y2_);
    QPointF from(ax - x(), ay - y());
    QPointF to(bx - x(), by - y());
    // A horizontal or vertical line goes down the middle of its strip, so the
    // pen fills whole pixel rows instead of smearing over two half-lit ones.
    if (CoveredSpan(ax, bx, borderWidth_).widened) {
        from.setX(width() / 2.0);
        to.setX(width() / 2.0);
    }
    if (CoveredSpan(ay, by, borderWidth_).widened) {
        from.setY(height() / 2.0);
        to.setY(height() / 2.0);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(borderColor_, borderWidth_, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(from, to);
}

}  // namespace acquenza::ui
