// Acquenza: sizing the sections of a drinking-water network.

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/companion_folder.h"
#include "app/program_state.h"
#include "ui/shell/fluidsynth_player.h"
#include "ui/shell/qt_dialogs.h"
#include "ui/shell/qt_window_system.h"

namespace {

// For installers and support: where the program finds its companion files
// and which are missing; 0 when every one is in place.
int CheckInstallation(const std::filesystem::path& folder) {
    const std::vector<std::string> missing = acquenza::MissingCompanionFiles(folder);
    std::printf("Cartella dei file di Acquenza: %s\n", folder.string().c_str());
    for (const char* name : acquenza::CompanionFileNames) {
        const bool absent = std::find(missing.begin(), missing.end(), name) != missing.end();
        std::printf("  %s: %s\n", name, absent ? "MANCANTE" : "presente");
    }
    return missing.empty() ? 0 : 1;
}

}  // namespace

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

    // The tips, the tune, the example project and the icon: beside the program
    // in its build folder, in <prefix>/share/acquenza once installed.
    const std::filesystem::path folder =
        acquenza::CompanionFolder(QApplication::applicationDirPath().toStdString());
    if (QApplication::arguments().contains(QStringLiteral("--verifica-installazione"))) {
        return CheckInstallation(folder);
    }
    QApplication::setWindowIcon(
        QIcon(QString::fromStdString((folder / acquenza::IconFileName).string())));

    acquenza::ProgramState state;
    acquenza::ui::QtDialogs dialogs(folder);
    acquenza::ui::FluidSynthPlayer music;
    acquenza::ui::QtWindowSystem windows(state, dialogs, music, folder);
    windows.Start();
    return QApplication::exec();
}
