#pragma once
// Captions written for a narrower typeface than the desktop's: the largest
// size, from the design size down, at which they fit their box.

#include <QFont>
#include <QStringList>

namespace acquenza::ui {

// `font` itself when every text fits `room` pixels on one line, otherwise
// the first size half a point smaller at a time that fits, never below
// `smallest` points.
QFont FittedFont(QFont font, const QStringList& texts, int room, double smallest = 6);

}  // namespace acquenza::ui
