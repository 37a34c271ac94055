// The yardstick of the start-up benchmark (bench/startup.py): a bare Qt
// window the size of the splash, timed from the same first paint.

#include <QApplication>
#include <QWidget>

#include "ui/shell/first_paint.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("bare"));
    window.resize(480, 288);
    acquenza::ui::StampFirstPaintWhenAsked(&window);
    window.show();
    return QApplication::exec();
}
