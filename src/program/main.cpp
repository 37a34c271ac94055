// Acquenza: sizing the sections of a drinking-water network.

#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "app/program_state.h"
#include "ui/shell/fluidsynth_player.h"
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
    // The toolkit's own dialogs (files, colours, printers) speak Italian too.
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    QTranslator qtItalian;
    if (qtItalian.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtItalian);
    }

    acquenza::ProgramState state;
    acquenza::ui::QtDialogs dialogs;
    acquenza::ui::FluidSynthPlayer music;
    acquenza::ui::QtWindowSystem windows(state, dialogs, music,
                                         QApplication::applicationDirPath().toStdString());
    windows.Start();
    return QApplication::exec();
}
