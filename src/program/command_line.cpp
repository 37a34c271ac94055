#include "command_line.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include "app/program_values.h"

namespace acquenza {

namespace {

// What the options read so far have set.
struct Reading {
    CommandLine& line;
    std::optional<std::filesystem::path> output;
    std::string outputOption;
    std::string reduceCost;  // the option, when given

    void Job(BatchJob::Kind kind, const std::string& option, const std::string& project) {
        if (line.job || line.project) {
            Refuse("Si può indicare un solo progetto alla volta (" + option + ").");
            return;
        }
        line.job = BatchJob{kind, project, std::nullopt, {}};
    }
    void Refuse(const std::string& why) {
        if (line.error.empty()) {
            line.error = why;
        }
    }
};

struct Option {
    // Every name of the option; none for the project named alone.
    std::vector<std::string_view> names;
    // The value it takes, as the help shows it; empty when it takes none.
    std::string_view value;
    // A line of the help's "Uso:" block, when the option starts a use.
    std::string_view synopsis;
    // What it does, one line of the help per "\n".
    std::string_view help;
    // It opens no window and does its work without a display.
    bool withoutDisplay = false;
    // It writes a document, to the file that -o names.
    bool writesDocument = false;
    void (*apply)(Reading&, const std::string& option, const std::string& value) = nullptr;
};

// The options, in the order the help lists them. A new option is one entry.
const std::vector<Option>& Options() {
    using Kind = BatchJob::Kind;
    static const std::vector<Option> options = {
        {{},
         "PROGETTO",
         "acquenza [PROGETTO]",
         "apre il file di dati (Acquenza-dati-...) nella finestra Dati",
         false,
         false,
         [](Reading& r, const std::string&, const std::string& project) {
             if (r.line.project || r.line.job) {
                 r.Refuse("Si può indicare un solo progetto alla volta.");
                 return;
             }
             r.line.project = project;
         }},
        {{"--relazione"},
         "PROGETTO",
         "acquenza --relazione PROGETTO [-o FILE.docx]",
         "scrive la relazione di calcolo come documento .docx",
         true,
         true,
         [](Reading& r, const std::string& option, const std::string& project) {
             r.Job(Kind::WordReport, option, project);
         }},
        {{"--stampa-pdf"},
         "PROGETTO",
         "acquenza --stampa-pdf PROGETTO -o FILE.pdf",
         "stampa la relazione (stampa diretta) in un file PDF",
         true,
         true,
         [](Reading& r, const std::string& option, const std::string& project) {
             r.Job(Kind::PdfReport, option, project);
         }},
        {{"--csv"},
         "PROGETTO",
         "acquenza --csv PROGETTO -o FILE.csv",
         "scrive il riepilogo della rete come foglio di calcolo",
         true,
         true,
         [](Reading& r, const std::string& option, const std::string& project) {
             r.Job(Kind::SummaryCsv, option, project);
         }},
        {{"--epanet"},
         "PROGETTO",
         "acquenza --epanet PROGETTO -o FILE.inp",
         "scrive la rete del progetto come file di EPANET (.inp)",
         true,
         true,
         [](Reading& r, const std::string& option, const std::string& project) {
             r.Job(Kind::EpanetExport, option, project);
         }},
        {{"--da-epanet"},
         "FILE.inp",
         "acquenza --da-epanet FILE.inp -o PROGETTO",
         "fa di una rete ramificata di EPANET un nuovo progetto",
         true,
         true,
         [](Reading& r, const std::string& option, const std::string& file) {
             r.Job(Kind::EpanetImport, option, file);
         }},
        {{"--dimensiona-rete"},
         "PROGETTO",
         "acquenza --dimensiona-rete PROGETTO [--riduci-costo] -o PROGETTO2",
         "dimensiona la rete dal carico alla sorgente e la salva\n"
         "come nuovo progetto",
         true,
         true,
         [](Reading& r, const std::string& option, const std::string& project) {
             r.Job(Kind::SizeNetwork, option, project);
         }},
        {{"--riduci-costo"},
         {},
         {},
         "con --dimensiona-rete: riduce poi il costo delle tubazioni",
         false,
         false,
         [](Reading& r, const std::string& option, const std::string&) { r.reduceCost = option; }},
        {{"--computo"},
         "PROGETTO",
         "acquenza --computo PROGETTO -o FILE.csv",
         "scrive il computo delle tubazioni posate come foglio di calcolo",
         true,
         true,
         [](Reading& r, const std::string& option, const std::string& project) {
             r.Job(Kind::PipeBill, option, project);
         }},
        {{"-o", "--output"},
         "FILE",
         {},
         "il file da scrivere (l'estensione .docx, .pdf, .csv o .inp si\n"
         "aggiunge se manca; mai il file del progetto)",
         false,
         false,
         [](Reading& r, const std::string& option, const std::string& file) {
             r.output = file;
             r.outputOption = option;
         }},
        {{"--verifica-installazione"},
         {},
         "acquenza --verifica-installazione",
         "dice dove il programma trova i suoi file e le impostazioni,\n"
         "e quali mancano",
         true,
         false,
         [](Reading& r, const std::string&, const std::string&) {
             r.line.checkInstallation = true;
         }},
        {{"-h", "--help"},
         {},
         {},
         "questo aiuto",
         false,
         false,
         [](Reading& r, const std::string&, const std::string&) { r.line.help = true; }},
        {{"--version"},
         {},
         {},
         "la versione del programma",
         false,
         false,
         [](Reading& r, const std::string&, const std::string&) { r.line.version = true; }},
    };
    return options;
}

const Option* Find(std::string_view name) {
    for (const Option& option : Options()) {
        if (std::find(option.names.begin(), option.names.end(), name) != option.names.end()) {
            return &option;
        }
    }
    return nullptr;
}

// "a", "a e b", "a, b e c" (or with "o").
std::string Listed(const std::vector<std::string>& items, const std::string& last = " e ") {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == items.size() ? last : ", ") + items[i];
    }
    return text;
}

std::string NamesOf(const Option& option) {
    std::string text;
    for (const std::string_view name : option.names) {
        text += (text.empty() ? "" : ", ") + std::string(name);
    }
    return text;
}

std::string DocumentOptions() {
    std::vector<std::string> names;
    for (const Option& option : Options()) {
        if (option.writesDocument) {
            names.push_back(NamesOf(option));
        }
    }
    return Listed(names, " o ");
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    Reading reading{line, std::nullopt, {}, {}};
    const Option& projectAlone = Options().front();
    bool optionsOver = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsOver || argument.size() < 2 || argument[0] != '-') {
            projectAlone.apply(reading, {}, argument);
            continue;
        }
        if (argument == "--") {
            // What follows is a project, even when its name starts with "-".
            optionsOver = true;
            continue;
        }
        // "--opzione=valore" as well as "--opzione valore".
        const std::size_t equals =
            argument.starts_with("--") ? argument.find('=') : std::string::npos;
        const std::string name = argument.substr(0, equals);
        const Option* option = Find(name);
        if (option == nullptr) {
            reading.Refuse("Opzione sconosciuta: " + name + ".");
            continue;
        }
        std::string value;
        if (option->value.empty()) {
            if (equals != std::string::npos) {
                reading.Refuse("L'opzione " + name + " non vuole un valore.");
                continue;
            }
        } else if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            reading.Refuse("Manca il valore dell'opzione " + name + ".");
            continue;
        }
        option->apply(reading, name, value);
    }
    if (!reading.reduceCost.empty()) {
        if (line.job && line.job->kind == BatchJob::Kind::SizeNetwork) {
            line.job->kind = BatchJob::Kind::SizeNetworkLeastCost;
        } else {
            reading.Refuse("L'opzione " + reading.reduceCost + " vale solo con --dimensiona-rete.");
        }
    }
    if (reading.output) {
        if (line.job) {
            line.job->output = reading.output;
        } else {
            reading.Refuse("L'opzione " + reading.outputOption + " vale solo con " +
                           DocumentOptions() + ".");
        }
    }
    return line;
}

std::string UsageText() {
    std::string text;
    for (const Option& option : Options()) {
        if (!option.synopsis.empty()) {
            text += (text.empty() ? "Uso: " : "     ") + std::string(option.synopsis) + "\n";
        }
    }
    text += "\n";
    const auto left = [](const Option& option) {
        std::string names = NamesOf(option);
        if (!option.value.empty()) {
            names += (names.empty() ? "" : " ") + std::string(option.value);
        }
        return "  " + names;
    };
    std::size_t column = 0;
    for (const Option& option : Options()) {
        column = std::max(column, left(option).size() + 2);
    }
    for (const Option& option : Options()) {
        std::string first = left(option);
        std::string_view help = option.help;
        bool firstLine = true;
        while (true) {
            const std::size_t end = help.find('\n');
            const std::string start = firstLine ? first : std::string();
            text += start + std::string(column - start.size(), ' ') +
                    std::string(help.substr(0, end)) + "\n";
            firstLine = false;
            if (end == std::string_view::npos) {
                break;
            }
            help.remove_prefix(end + 1);
        }
    }
    text += "\nLe opzioni " + OptionsWithoutDisplay() +
            " non aprono finestre:\nfunzionano anche senza schermo (via ssh, negli script).\n";
    return text;
}

std::string VersionText() {
    ProgramValues values;
    InitProgramValues(values);
    return values.ProgramName + " " + values.ProgramVersion + " - " + values.ProgramSubtitle + "\n";
}

std::string OptionsWithoutDisplay() {
    std::vector<std::string> names;
    for (const Option& option : Options()) {
        if (option.withoutDisplay) {
            names.push_back(NamesOf(option));
        }
    }
    return Listed(names);
}

}  // namespace acquenza
