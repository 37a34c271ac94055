#include "ui/shell/twips.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace acquenza::ui {

double TwipsToPixelsX(const QWidget* widget, double twips) {
    return twips * widget->logicalDpiX() / kTwipsPerInch;
}

double TwipsToPixelsY(const QWidget* widget, double twips) {
    return twips * widget->logicalDpiY() / kTwipsPerInch;
}

double PixelsToTwipsX(const QWidget* widget, double pixels) {
    return pixels * kTwipsPerInch / widget->logicalDpiX();
}

double PixelsToTwipsY(const QWidget* widget, double pixels) {
    return pixels * kTwipsPerInch / widget->logicalDpiY();
}

void PlaceInTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(qRound(TwipsToPixelsX(widget, left)), qRound(TwipsToPixelsY(widget, top)),
                        qRound(TwipsToPixelsX(widget, width)),
                        qRound(TwipsToPixelsY(widget, height)));
}

QSizeF AvailableScreenSizeInTwips(const QWidget* widget) {
    const QScreen* screen = widget->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return {};
    }
    const QSize available = screen->availableGeometry().size();
    return {PixelsToTwipsX(widget, available.width()), PixelsToTwipsY(widget, available.height())};
}

}  // namespace acquenza::ui
