#include "ui/shell/splash_window.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include "app/program_shell.h"
#include "ui/shell/twips.h"

namespace acquenza::ui {

namespace {

// A water drop over a pipe, drawn rather than shipped as a file.
QPixmap DrawPicture(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath drop;
    const double w = size;
    drop.moveTo(w * 0.5, w * 0.08);
    drop.cubicTo(w * 0.5, w * 0.08, w * 0.18, w * 0.45, w * 0.18, w * 0.6);
    drop.arcTo(w * 0.18, w * 0.42, w * 0.64, w * 0.5, 180, 180);
    drop.cubicTo(w * 0.82, w * 0.45, w * 0.5, w * 0.08, w * 0.5, w * 0.08);
    QLinearGradient water(0, 0, 0, w);
    water.setColorAt(0, QColor(120, 200, 255));
    water.setColorAt(1, QColor(0, 90, 170));
    p.setBrush(water);
    p.setPen(QPen(QColor(0, 60, 120), 2));
    p.drawPath(drop);
    p.setBrush(QColor(255, 255, 255, 140));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(w * 0.32, w * 0.55, w * 0.1, w * 0.16));
    return pixmap;
}

// Keys that only change what another key means, or lock a mode: pressing one
// is the start of a combination (Alt+Tab to another window), not "a key".
bool IsModifierOnly(int key) {
    switch (key) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
        case Qt::Key_ScrollLock:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_Hyper_L:
        case Qt::Key_Hyper_R:
        case Qt::Key_Mode_switch:
        case Qt::Key_unknown:
            return true;
        default:
            return false;
    }
}

}  // namespace

SplashWindow::SplashWindow(ProgramShell& shell) : shell_(shell) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Acquenza"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(235, 244, 250));
    setPalette(pal);

    struct Place {
        int index, left, top, width, height;
    };
    // Design layout in twips: coloured bands (0, 9, 10, 11) and the texts.
    const Place places[] = {
        {0, 0, 0, 7200, 420},       {9, 0, 4200, 7200, 120},    {10, 0, 0, 180, 4320},
        {11, 7020, 0, 180, 4320},   {1, 2400, 540, 4500, 300},  {2, 2400, 840, 4500, 300},
        {3, 2400, 1200, 4500, 900}, {4, 2400, 2100, 4500, 300}, {5, 2400, 2460, 4500, 300},
        {7, 360, 3300, 6480, 420},  {8, 360, 3780, 6480, 300},
    };
    for (const Place& place : places) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("label_%1").arg(place.index));
        label->installEventFilter(this);
        PlaceInTwips(label, place.left, place.top, place.width, place.height);
        labels_[static_cast<std::size_t>(place.index)] = label;
    }
    for (int band : {0, 9, 10, 11}) {
        QLabel* l = labels_[static_cast<std::size_t>(band)];
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, band == 0 ? QColor(0, 90, 170) : QColor(120, 200, 255));
        l->setPalette(p);
    }
    QFont title = font();
    title.setPointSize(30);
    title.setWeight(QFont::Black);
    labels_[3]->setFont(title);
    QPalette titleColour = labels_[3]->palette();
    titleColour.setColor(QPalette::WindowText, QColor(0, 70, 140));
    labels_[3]->setPalette(titleColour);
    labels_[7]->setWordWrap(true);
    for (int i : {7, 8}) {
        labels_[static_cast<std::size_t>(i)]->setAlignment(Qt::AlignCenter);
    }
    QFont small = font();
    small.setPointSize(7);
    labels_[7]->setFont(small);

    auto* image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->installEventFilter(this);
    PlaceInTwips(image, 420, 600, 1800, 1800);
    image->setPixmap(DrawPicture(static_cast<int>(TwipsToPixelsX(this, 1800))));

    const QSize size(static_cast<int>(TwipsToPixelsX(this, 7200)),
                     static_cast<int>(TwipsToPixelsY(this, 4320)));
    setFixedSize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    RefreshLabels();
}

void SplashWindow::RefreshLabels() {
    for (int i : {1, 2, 3, 4, 5, 7, 8}) {
        labels_[static_cast<std::size_t>(i)]->setText(
            QString::fromStdString(shell_.SplashLabel(i)));
    }
}

void SplashWindow::mousePressEvent(QMouseEvent* event) {
    event->accept();
    shell_.SplashClicked();
}

void SplashWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (!IsModifierOnly(event->key())) {
        shell_.SplashKeyPressed();
    }
}

bool SplashWindow::eventFilter(QObject* watched, QEvent* event) {
    // A click on any label or on the picture counts as a click on the window.
    if (event->type() == QEvent::MouseButtonPress && watched != this) {
        shell_.SplashClicked();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace acquenza::ui
