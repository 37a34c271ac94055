#pragma once
// Pieces the two working windows share: labelled controls placed in twips,
// background colours, the caption.

#include <QColor>
#include <QString>
#include <string>

class QLabel;
class QWidget;

namespace acquenza::ui {

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QString& tooltip,
                  int left, int top, int width, int height);
void SetBackground(QWidget* widget, const QColor& colour);

// A working window's caption: its own text, then the project's file name
// ("senza nome" before it has one) and the mark of unsaved changes.
QString WorkingCaption(const QString& caption, const std::string& fileName);

}  // namespace acquenza::ui
