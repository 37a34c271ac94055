#pragma once
// Pieces the two working windows share: labelled controls placed in twips,
// background colours, the caption.

#include <QColor>
#include <QString>
#include <memory>
#include <string>

class QLabel;
class QMainWindow;
class QWidget;

namespace acquenza::ui {

class FormResizer;

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const QString& tooltip,
                  int left, int top, int width, int height);
void SetBackground(QWidget* widget, const QColor& colour);

// A working window's caption: its own text, then the project's file name
// ("senza nome" before it has one) and the mark of unsaved changes.
QString WorkingCaption(const QString& caption, const std::string& fileName);

// A working window's form at its design size in twips, recorded by the
// resizer that sizes it to the screen; the window then takes its own size,
// with room for its menus and toolbar.
std::unique_ptr<FormResizer> SizeWorkingWindow(QMainWindow* window, QWidget* form, int widthTwips,
                                               int heightTwips);

}  // namespace acquenza::ui
