#pragma once
// Twips (1/1440 inch) are the unit the windows' design layouts are written in.
// These helpers turn them into the device-independent pixels Qt positions
// widgets with, through the widget's logical DPI, so a layout keeps its
// physical proportions whatever the screen's scaling.

#include <QSizeF>

class QWidget;

namespace acquenza::ui {

inline constexpr double kTwipsPerInch = 1440.0;

// The widget must not be null: its logical DPI decides the conversion.
double TwipsToPixelsX(const QWidget* widget, double twips);
double TwipsToPixelsY(const QWidget* widget, double twips);
double PixelsToTwipsX(const QWidget* widget, double pixels);
double PixelsToTwipsY(const QWidget* widget, double pixels);

// Sets the widget's geometry (relative to its parent) from a design layout in
// twips, each edge rounded to the nearest whole pixel.
void PlaceInTwips(QWidget* widget, int left, int top, int width, int height);

// Size of the area of the widget's screen that windows may use (without task
// bars and docks), in twips. Falls back to the primary screen for a widget
// that has none yet; empty when there is no screen at all.
QSizeF AvailableScreenSizeInTwips(const QWidget* widget);

}  // namespace acquenza::ui
