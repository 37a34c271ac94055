#pragma once
// A straight line drawn on a window, placed by its two end points rather than
// by a rectangle, so the form resizer can stretch it like the boxes around it.

#include <QColor>
#include <QWidget>

class QPaintEvent;

namespace acquenza::ui {

class LineControl : public QWidget {
    Q_OBJECT
    // End points in twips, relative to the parent widget.
    Q_PROPERTY(double X1 READ X1 WRITE SetX1)
    Q_PROPERTY(double Y1 READ Y1 WRITE SetY1)
    Q_PROPERTY(double X2 READ X2 WRITE SetX2)
    Q_PROPERTY(double Y2 READ Y2 WRITE SetY2)
    // Pen width in pixels.
    Q_PROPERTY(int BorderWidth READ BorderWidth WRITE SetBorderWidth)
    Q_PROPERTY(QColor BorderColor READ BorderColor WRITE SetBorderColor)

  public:
    explicit LineControl(QWidget* parent = nullptr);

    double X1() const { return x1_; }
    double Y1() const { return y1_; }
    double X2() const { return x2_; }
    double Y2() const { return y2_; }
    void SetX1(double twips);
    void SetY1(double twips);
    void SetX2(double twips);
    void SetY2(double twips);
    // Moves both ends with a single change of geometry.
    void SetEndPoints(double x1, double y1, double x2, double y2);

    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int pixels);
    QColor BorderColor() const { return borderColor_; }
    void SetBorderColor(const QColor& color);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void UpdatePlacement();

    double x1_ = 0;
    double y1_ = 0;
    double x2_ = 0;
    double y2_ = 0;
    int borderWidth_ = 1;
    QColor borderColor_ = Qt::black;
};

}  // namespace acquenza::ui
