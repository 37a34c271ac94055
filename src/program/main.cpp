// Acquenza: sizing the sections of a drinking-water network.

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>
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
#include "app/program_state.h"
#include "app/settings.h"
#include "reports/owned_printer.h"
#include "ui/shell/deferred_music_player.h"
#include "ui/shell/first_paint.h"
#include "ui/shell/fluidsynth_player.h"
#include "ui/shell/qt_dialogs.h"
#include "ui/shell/qt_document_desk.h"
#include "ui/shell/qt_window_system.h"
#include "ui/shell/splash_window.h"

namespace {

const char* const Usage =
    "Uso: acquenza [PROGETTO]\n"
    "     acquenza --relazione PROGETTO [-o FILE.docx]\n"
    "     acquenza --stampa-pdf PROGETTO -o FILE.pdf\n"
    "     acquenza --csv PROGETTO -o FILE.csv\n"
    "     acquenza --verifica-installazione\n"
    "\n"
    "  PROGETTO                  apre il file di dati (Acquenza-dati-...) nella finestra Dati\n"
    "  --relazione PROGETTO      scrive la relazione di calcolo come documento .docx\n"
    "  --stampa-pdf PROGETTO     stampa la relazione (stampa diretta) in un file PDF\n"
    "  --csv PROGETTO            scrive il riepilogo della rete come foglio di calcolo\n"
    "  -o FILE                   il file da scrivere (l'estensione .docx, .pdf o .csv si\n"
    "                            aggiunge se manca; mai il file del progetto)\n"
    "  --verifica-installazione  dice dove il programma trova i suoi file e le impostazioni,\n"
    "                            e quali mancano\n"
    "  -h, --help                questo aiuto\n";

struct CommandLine {
    bool help = false;
    bool checkInstallation = false;
    std::optional<acquenza::BatchJob> job;
    std::optional<std::string> project;  // to open in the data window
    std::string error;

    bool OpensNoWindow() const { return help || checkInstallation || job || !error.empty(); }
};

CommandLine ParseCommandLine(int argc, char* argv[]) {
    CommandLine line;
    std::optional<std::filesystem::path> output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 < argc) {
                return std::string(argv[++i]);
            }
            line.error = "Manca il valore dell'opzione " + arg + ".";
            return std::nullopt;
        };
        if (arg == "-h" || arg == "--help") {
            line.help = true;
        } else if (arg == "--verifica-installazione") {
            line.checkInstallation = true;
        } else if (arg == "--relazione" || arg == "--stampa-pdf" || arg == "--csv") {
            using Kind = acquenza::BatchJob::Kind;
            if (const auto project = value()) {
                const Kind kind = arg == "--relazione"    ? Kind::WordReport
                                  : arg == "--stampa-pdf" ? Kind::PdfReport
                                                          : Kind::SummaryCsv;
                line.job = acquenza::BatchJob{kind, *project, std::nullopt};
            }
        } else if (arg == "-o" || arg == "--output") {
            if (const auto file = value()) {
                output = *file;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            line.error = "Opzione sconosciuta: " + arg + ".";
        } else if (!line.project) {
            line.project = arg;
        } else {
            line.error = "Si può aprire un solo progetto alla volta.";
        }
    }
    if (line.job) {
        line.job->output = output;
    }
    return line;
}

// For installers and support: where the program finds its companion files
// and which are missing, and which settings files it reads; 0 when every
// companion file is in place (settings files are optional).
int CheckInstallation(const std::filesystem::path& folder, const acquenza::Settings& settings) {
    const std::vector<std::string> missing = acquenza::MissingCompanionFiles(folder);
    std::printf("Cartella dei file di Acquenza: %s\n", folder.string().c_str());
    for (const char* name : acquenza::CompanionFileNames) {
        const bool absent = std::find(missing.begin(), missing.end(), name) != missing.end();
        std::printf("  %s: %s\n", name, absent ? "MANCANTE" : "presente");
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

void SpeakItalian(QTranslator& qtItalian) {
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    if (qtItalian.load(QLocale(QLocale::Italian, QLocale::Italy), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtItalian);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    // Past a file size limit (ulimit -f) the system would end the program in
    // the middle of a save; ignored, the write fails with EFBIG instead and
    // the user is told which file could not be written.
    std::signal(SIGXFSZ, SIG_IGN);
    const CommandLine line = ParseCommandLine(argc, argv);
    if (line.OpensNoWindow()) {
        // Nothing goes on screen, so no display is needed: these work over
        // ssh, in scripts and in build machines.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(KeepOnlyToolkitErrors);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Acquenza"));
    QApplication::setOrganizationName(QStringLiteral("Acquenza"));
    // The program ends when no window of its own is left on screen, which the
    // window system decides (the exit closes every window before it shows the
    // splash again).
    QApplication::setQuitOnLastWindowClosed(false);
    // The toolkit's own dialogs (files, colours, printers) speak Italian too.
    QTranslator qtItalian;
    SpeakItalian(qtItalian);

    if (!line.error.empty()) {
        std::cerr << line.error << "\n\n" << Usage;
        return 2;
    }
    if (line.help) {
        std::cout << Usage;
        return 0;
    }
    // The tips, the tune, the example project and the icon: beside the program
    // in its build folder, in <prefix>/share/acquenza once installed.
    const std::filesystem::path folder =
        acquenza::CompanionFolder(QApplication::applicationDirPath().toStdString());
    acquenza::ProgramState state;
    state.settings = acquenza::ReadSettings(acquenza::BuiltInSettings());
    if (line.checkInstallation) {
        return CheckInstallation(folder, state.settings);
    }
    // A setting that could not be read is said once, at start.
    const std::string settingsProblems = acquenza::SettingsProblemsText(state.settings);
    if (line.job) {
        if (!settingsProblems.empty()) {
            std::cerr << acquenza::SettingsTitle << ": " << settingsProblems << '\n';
        }
        acquenza::ui::QtDocumentDesk desk;
        return acquenza::RunBatchJob(
            *line.job, state, desk,
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
