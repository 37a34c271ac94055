// Acquenza: sizing the sections of a drinking-water network.

#include <QApplication>
#include <QDir>

#include "app/music_player.h"
#include "app/program_state.h"
#include "ui/shell/qt_dialogs.h"
#include "ui/shell/qt_window_system.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Acquenza"));
    QApplication::setOrganizationName(QStringLiteral("Verdano"));
    // The program ends when no window of its own is left on screen, which the
    // window system decides (the exit closes every window before it shows the
    // splash again).
    QApplication::setQuitOnLastWindowClosed(false);

    acquenza::ProgramState state;
    acquenza::ui::QtDialogs dialogs;
    acquenza::NullMusicPlayer music;
    const QString tune = QDir(QApplication::applicationDirPath())
                             .filePath(QString::fromLatin1(acquenza::ProgramShell::TuneFile));
    acquenza::ui::QtWindowSystem windows(state, dialogs, music, tune.toStdString());
    windows.Start();
    return QApplication::exec();
}
