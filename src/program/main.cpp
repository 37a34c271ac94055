// Acquenza: sizing the sections of a drinking-water network.

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/batch_documents.h"
#include "app/companion_folder.h"
#include "app/italian_date.h"
#include "app/pipe_commands.h"
#include "app/program_state.h"
#include "app/settings.h"
#include "command_line.h"
#include "core/pipe_catalogue.h"
#include "graphical_session.h"
#include "reports/owned_printer.h"
#include "ui/shell/deferred_music_player.h"
#include "ui/shell/first_paint.h"
#include "ui/shell/fluidsynth_player.h"
#include "ui/shell/italian_toolkit.h"
#include "ui/shell/qt_dialogs.h"
#include "ui/shell/qt_document_desk.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"

namespace {

// For installers and support: where the program finds its companion files
// and which are missing, and which settings files it reads; 0 when every
// companion file is in place (settings files are optional).
int CheckInstallation(const std::filesystem::path& folder, const acquenza::Settings& settings,
                      const acquenza::ui::ItalianToolkit& italian) {
    const std::vector<std::string> missing = acquenza::MissingCompanionFiles(folder);
    std::printf("Cartella dei file di Acquenza: %s\n", folder.string().c_str());
    for (const char* name : acquenza::CompanionFileNames) {
        const bool absent = std::find(missing.begin(), missing.end(), name) != missing.end();
        std::printf("  %s: %s\n", name, absent ? "MANCANTE" : "presente");
    }
    // Without them the program works, with the toolkit's own buttons in English.
    const std::string translations =
        acquenza::ui::ItalianToolkit::TranslationsFolder().toStdString();
    if (italian.Translated()) {
        std::printf("Traduzioni italiane delle finestre di Qt: presenti in %s\n",
                    translations.c_str());
    } else {
        std::printf(
            "Traduzioni italiane delle finestre di Qt: MANCANTI in %s (pacchetto "
            "qt6-translations-l10n); i pulsanti delle finestre di Qt restano in inglese\n",
            translations.c_str());
    }
    std::printf("File delle impostazioni (il primo prevale sugli altri):\n");
    for (const acquenza::SettingsFile& file : settings.files) {
        using State = acquenza::SettingsFile::State;
        const char* state = file.state == State::Read         ? "letto"
                            : file.state == State::Unreadable ? "NON LEGGIBILE"
                                                              : "assente";
        std::printf("  %s (%s): %s\n", file.path.c_str(),
                    file.forAllUsers ? "tutti gli utenti" : "questo utente", state);
    }
    if (settings.officeName.empty() && settings.officeAddress.empty()) {
        std::printf("Studio tecnico delle relazioni: non impostato; si imposta %s.\n",
                    acquenza::WhereTheOfficeIsSet(settings).c_str());
    } else {
        std::printf("Studio tecnico delle relazioni: %s, %s\n", settings.officeName.c_str(),
                    settings.officeAddress.c_str());
    }
    const std::string problems = acquenza::SettingsProblemsText(settings);
    if (!problems.empty()) {
        std::printf("%s\n", problems.c_str());
    }
    return missing.empty() ? 0 : 1;
}

// Without a window the toolkit's own notes (a missing runtime folder and the
// like) would mix with the program's messages on the error stream.
void KeepOnlyToolkitErrors(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::cerr << message.toStdString() << '\n';
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    // Past a file size limit (ulimit -f) the system would end the program in
    // the middle of a save; ignored, the write fails with EFBIG instead and
    // the user is told which file could not be written.
    std::signal(SIGXFSZ, SIG_IGN);
    const acquenza::CommandLine line =
        acquenza::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!line.error.empty()) {
        std::cerr << line.error << "\n\n" << acquenza::UsageText();
        return 2;
    }
    if (line.help) {
        std::cout << acquenza::UsageText();
        return 0;
    }
    if (line.version) {
        std::cout << acquenza::VersionText();
        return 0;
    }
    std::optional<acquenza::DisplayConnectionWatch> connecting;
    if (line.OpensNoWindow()) {
        // Nothing goes on screen, so no display is needed: these work over
        // ssh, in scripts and in build machines.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(KeepOnlyToolkitErrors);
    } else if (const std::string noDisplay = acquenza::NoDisplayMessage(); !noDisplay.empty()) {
        std::cerr << noDisplay << '\n';
        return 1;
    } else {
        connecting.emplace();
    }
    QApplication app(argc, argv);
    connecting.reset();
    QApplication::setApplicationName(QStringLiteral("Acquenza"));
    QApplication::setOrganizationName(QStringLiteral("Acquenza"));
    // The program ends when no window of its own is left on screen, which the
    // window system decides (the exit closes every window before it shows the
    // splash again).
    QApplication::setQuitOnLastWindowClosed(false);
    // The toolkit's own dialogs (files, colours, printers) speak Italian too.
    const acquenza::ui::ItalianToolkit italian;

    // The tips, the tune, the example project and the icon: beside the program
    // in its build folder, in <prefix>/share/acquenza once installed.
    const std::filesystem::path folder =
        acquenza::CompanionFolder(QApplication::applicationDirPath().toStdString());
    acquenza::ProgramState state;
    state.settings = acquenza::ReadSettings(acquenza::BuiltInSettings());
    state.catalogues = acquenza::LoadProgramCatalogues(folder);
    if (line.checkInstallation) {
        return CheckInstallation(folder, state.settings, italian);
    }
    // A setting that could not be read is said once, at start.
    const std::string settingsProblems = acquenza::SettingsProblemsText(state.settings);
    if (line.job) {
        if (!settingsProblems.empty()) {
            std::cerr << acquenza::SettingsTitle << ": " << settingsProblems << '\n';
        }
        acquenza::ui::QtDocumentDesk desk;
        acquenza::BatchJob job = *line.job;
        job.catalogueFolder = folder / acquenza::CatalogueFolderName;
        return acquenza::RunBatchJob(
            job, state, desk,
            [](const std::filesystem::path& file) { return acquenza::PrintToPdf(file); },
            acquenza::TodayItalianLongDate(), std::cerr, std::cout);
    }

    acquenza::ui::QtDialogs dialogs(folder, [&state] { return state.currentFileName; });
    acquenza::ui::DeferredMusicPlayer music(
        [] { return std::make_unique<acquenza::ui::FluidSynthPlayer>(); });
    acquenza::ui::QtWindowSystem windows(state, dialogs, music, folder);
    windows.Start();
    QWidget* splash = windows.Splash();
    acquenza::ui::StampFirstPaintWhenAsked(splash);
    // The synthesizer takes longer to load than the splash to show: the tune
    // starts once the splash is on screen, or after a second at the latest.
    acquenza::ui::AfterFirstPaint(splash, [&music, &folder] {
        // Reading the icon looks through the toolkit's image plugins first.
        QApplication::setWindowIcon(
            QIcon(QString::fromStdString((folder / acquenza::IconFileName).string())));
        music.Start();
    });
    QTimer::singleShot(1000, [&music] { music.Start(); });
    const std::string catalogueProblems = acquenza::CatalogueProblemsText(state.catalogues);
    if (!catalogueProblems.empty()) {
        QTimer::singleShot(0, [&dialogs, &catalogueProblems] {
            dialogs.Inform(acquenza::CatalogueTitle, catalogueProblems,
                           acquenza::MessageIcon::Exclamation);
        });
    }
    if (!settingsProblems.empty()) {
        // Over the splash, once it is on screen.
        QTimer::singleShot(0, [&dialogs, &settingsProblems] {
            dialogs.Inform(acquenza::SettingsTitle, settingsProblems,
                           acquenza::MessageIcon::Exclamation);
        });
    }
    if (line.project) {
        windows.OpenAtStart(*line.project);
    }
    return QApplication::exec();
}
