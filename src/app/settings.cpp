#include "app/settings.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <utility>

#include "app/office.h"
#include "archive/cp1252.h"
#include "archive/error_text.h"
#include "core/numbers.h"

namespace acquenza {

namespace {

namespace fs = std::filesystem;

// Far more than any office writes; a larger file is not a settings file.
constexpr std::uintmax_t MaxSettingsFileBytes = 1024 * 1024;

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lower;
}

// One key=value found in a file, where it was found.
struct Entry {
    std::string section;  // as written, for the messages
    std::string key;
    std::string value;
    std::string file;
    int line = 0;
};

// Keyed by section and key in lower case: "[Ufficio] Nome" is "[ufficio] nome".
using Entries = std::map<std::pair<std::string, std::string>, Entry>;

std::string AtLine(const std::string& file, int line) {
    return "File " + file + ", riga " + std::to_string(line) + ": ";
}

std::string AtKey(const Entry& e) {
    return "File " + e.file + ", sezione [" + e.section + "], chiave " + e.key + ": ";
}

// The value after '=': as it stands, or what stands between double quotes.
// Nothing when the quotes are not closed or something follows them.
std::optional<std::string> Unquoted(std::string_view raw) {
    raw = Trimmed(raw);
    if (raw.empty() || raw.front() != '"') {
        return std::string(raw);
    }
    std::string text;
    for (std::size_t i = 1; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '\\' && i + 1 < raw.size() && (raw[i + 1] == '"' || raw[i + 1] == '\\')) {
            text += raw[++i];
        } else if (c == '"') {
            const std::string_view rest = Trimmed(raw.substr(i + 1));
            if (rest.empty() || rest.front() == ';' || rest.front() == '#') {
                return text;
            }
            return std::nullopt;
        } else {
            text += c;
        }
    }
    return std::nullopt;
}

// The key=value lines of one file's text into `entries`, over what earlier
// files put there.
void ParseInto(const std::string& text, const std::string& file, Entries& entries,
               std::vector<std::string>& problems) {
    std::optional<std::string> section;
    bool skipping = false;  // the lines under a section header that is not one
    int number = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line = Trimmed(std::string_view(text).substr(start, end - start));
        start = end + 1;
        ++number;
        if (line.empty() || line.front() == ';' || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || Trimmed(line.substr(1, line.size() - 2)).empty()) {
                problems.push_back(AtLine(file, number) + "«" + std::string(line) +
                                   "» non è un nome di sezione valido; le righe che seguono "
                                   "sono state ignorate fino alla sezione successiva.");
                section.reset();
                skipping = true;
                continue;
            }
            section = std::string(Trimmed(line.substr(1, line.size() - 2)));
            skipping = false;
            continue;
        }
        if (skipping) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos || Trimmed(line.substr(0, equals)).empty()) {
            problems.push_back(AtLine(file, number) + "«" + std::string(line) +
                               "» non ha la forma chiave=valore ed è stata ignorata.");
            continue;
        }
        Entry entry{section.value_or(""), std::string(Trimmed(line.substr(0, equals))), "", file,
                    number};
        if (!section) {
            problems.push_back(AtLine(file, number) + "la chiave " + entry.key +
                               " non appartiene ad alcuna sezione ed è stata ignorata.");
            continue;
        }
        const std::optional<std::string> value = Unquoted(line.substr(equals + 1));
        if (!value) {
            problems.push_back(AtKey(entry) +
                               "le virgolette del valore non sono chiuse, oppure dopo di esse "
                               "c'è altro testo; il valore è stato ignorato.");
            continue;
        }
        entry.value = *value;
        entries[{Lower(entry.section), Lower(entry.key)}] = std::move(entry);
    }
}

// The file's text, or nothing when it is missing or cannot be read (which is
// then recorded).
std::optional<std::string> ReadFileText(SettingsFile& file, std::vector<std::string>& problems) {
    std::error_code error;
    const fs::file_status status = fs::status(file.path, error);
    if (status.type() == fs::file_type::not_found) {
        file.state = SettingsFile::State::Missing;
        return std::nullopt;
    }
    file.state = SettingsFile::State::Unreadable;
    const std::string where = "File " + file.path + ": ";
    if (error) {
        problems.push_back(where + "impossibile leggerlo: " + ItalianErrorText(error.value()) +
                           ".");
        return std::nullopt;
    }
    if (status.type() != fs::file_type::regular) {
        problems.push_back(where + "il nome non indica un file di testo; è stato ignorato.");
        return std::nullopt;
    }
    if (fs::file_size(file.path, error) > MaxSettingsFileBytes) {
        problems.push_back(where +
                           "è troppo grande per un file delle impostazioni; è stato "
                           "ignorato.");
        return std::nullopt;
    }
    std::ifstream in(file.path, std::ios::binary);
    if (!in) {
        problems.push_back(where + "impossibile leggerlo: " + ItalianErrorText(errno) + ".");
        return std::nullopt;
    }
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        problems.push_back(where + "impossibile leggerlo: " + ItalianErrorText(errno) + ".");
        return std::nullopt;
    }
    file.state = SettingsFile::State::Read;
    // Written with a Windows editor as often as with a Linux one.
    return DecodeUtf8OrCp1252(bytes).utf8;
}

// "0,6", "0.6", "2", ",5": a velocity in m/s, with either decimal separator.
std::optional<double> Velocity(std::string_view text) {
    std::string number(Trimmed(text));
    std::replace(number.begin(), number.end(), ',', '.');
    if (number.empty() || number.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(number.begin(), number.end(), '.') > 1 ||
        number.find_first_of("0123456789") == std::string::npos) {
        return std::nullopt;
    }
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error != std::errc() || end != number.data() + number.size()) {
        return std::nullopt;
    }
    return value;
}

// The settings' keys, section by section, with where each value goes.
struct Key {
    const char* section;
    const char* key;
    std::string Settings::*text = nullptr;
    std::string SupportContacts::*contact = nullptr;
    double Settings::*number = nullptr;
};

const Key Keys[] = {
    {"ufficio", "nome", &Settings::officeName},
    {"ufficio", "indirizzo", &Settings::officeAddress},
    {"assistenza", "indirizzo", nullptr, &SupportContacts::postalAddress},
    {"assistenza", "telefono", nullptr, &SupportContacts::phone},
    {"assistenza", "fax", nullptr, &SupportContacts::fax},
    {"assistenza", "email", nullptr, &SupportContacts::email},
    {"assistenza", "sito", nullptr, &SupportContacts::web},
    {"assistenza", "referente", nullptr, &SupportContacts::contact},
    {"verifica", "velocita_min", nullptr, nullptr, &Settings::velocityMin},
    {"verifica", "velocita_max", nullptr, nullptr, &Settings::velocityMax},
    {"verifica", "pressione_min", nullptr, nullptr, &Settings::pressureMin},
    {"verifica", "pressione_max_statica", nullptr, nullptr, &Settings::staticPressureMax},
    {"tubazioni", "serie", &Settings::pipeSeries},
};

std::string KnownKeys(const std::string& section) {
    std::string known;
    for (const Key& k : Keys) {
        if (section == k.section) {
            known += (known.empty() ? "" : ", ") + std::string(k.key);
        }
    }
    return known;
}

void Apply(const Entries& entries, Settings& s) {
    std::map<long long, std::string> products;
    bool velocityFromFile = false;
    for (const auto& [name, entry] : entries) {
        const auto& [section, key] = name;
        if (section == "prodotti") {
            long long number = 0;
            const auto [end, error] = std::from_chars(key.data(), key.data() + key.size(), number);
            if (error != std::errc() || end != key.data() + key.size() || number < 1) {
                s.problems.push_back(AtKey(entry) +
                                     "i prodotti si numerano 1, 2, 3…; la riga è stata ignorata.");
            } else if (!Trimmed(entry.value).empty()) {
                products[number] = std::string(Trimmed(entry.value));
            }
            continue;
        }
        const auto known = std::find_if(std::begin(Keys), std::end(Keys), [&](const Key& k) {
            return section == k.section && key == k.key;
        });
        if (known == std::end(Keys)) {
            if (!KnownKeys(section).empty()) {
                s.problems.push_back(AtKey(entry) + "chiave sconosciuta, ignorata (la sezione [" +
                                     section + "] ha le chiavi " + KnownKeys(section) + ").");
            }
            continue;  // a section of its own, for someone else's use
        }
        if (known->number == nullptr) {
            std::string& slot =
                known->text != nullptr ? s.*(known->text) : s.support.*(known->contact);
            slot = std::string(Trimmed(entry.value));
            continue;
        }
        double& slot = s.*(known->number);
        if (Trimmed(entry.value).empty()) {
            continue;  // nothing set: the default holds
        }
        const bool pressure = known->number == &Settings::pressureMin ||
                              known->number == &Settings::staticPressureMax;
        if (const std::optional<double> v = Velocity(entry.value)) {
            slot = *v;
            velocityFromFile = velocityFromFile || !pressure;
        } else if (pressure) {
            s.problems.push_back(AtKey(entry) + "il valore «" + entry.value +
                                 "» non è una pressione in metri (per esempio 20 oppure 25,5); "
                                 "resta " +
                                 NumberText(slot) + " m.");
        } else {
            s.problems.push_back(AtKey(entry) + "il valore «" + entry.value +
                                 "» non è una velocità in m/s (per esempio 0,5 oppure 0.5); "
                                 "resta " +
                                 NumberText(slot) + " m/s.");
        }
    }
    if (!products.empty()) {
        s.products.clear();
        for (auto& [number, product] : products) {
            s.products.push_back(std::move(product));
        }
    }
    if (velocityFromFile && s.velocityMin > s.velocityMax) {
        s.problems.push_back("Sezione [verifica]: velocita_min (" + NumberText(s.velocityMin) +
                             ") è maggiore di velocita_max (" + NumberText(s.velocityMax) +
                             "); i due valori sono stati scambiati.");
        std::swap(s.velocityMin, s.velocityMax);
    }
}

}  // namespace

Settings BuiltInSettings() {
    Settings settings;
    settings.officeName = DefaultOfficeName;
    settings.officeAddress = DefaultOfficeAddress;
    return settings;
}

std::vector<SettingsFile> SettingsFileLocations(const char* xdgConfigHome, const char* home,
                                                const char* xdgConfigDirs) {
    const auto set = [](const char* v) { return v != nullptr && *v != '\0'; };
    const fs::path inFolder = fs::path("Acquenza") / "acquenza.conf";
    std::vector<SettingsFile> files;
    if (set(xdgConfigHome)) {
        files.push_back({(xdgConfigHome / inFolder).string(), false});
    } else if (set(home)) {
        files.push_back({(fs::path(home) / ".config" / inFolder).string(), false});
    }
    const std::string dirs = set(xdgConfigDirs) ? xdgConfigDirs : "/etc/xdg";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        const std::string dir = dirs.substr(start, end - start);
        start = end + 1;
        // Only absolute folders count; a relative one would change with the
        // folder the program is started from.
        if (!dir.empty() && dir.front() == '/') {
            files.push_back({(dir / inFolder).string(), true});
        }
    }
    return files;
}

Settings ReadSettingsFiles(Settings defaults, std::vector<SettingsFile> files) {
    Settings s = std::move(defaults);
    Entries entries;
    // The least important file first, so what follows has the last word.
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        if (const std::optional<std::string> text = ReadFileText(*file, s.problems)) {
            ParseInto(*text, file->path, entries, s.problems);
        }
    }
    Apply(entries, s);
    s.files = std::move(files);
    return s;
}

Settings ReadSettings(Settings defaults) {
    return ReadSettingsFiles(
        std::move(defaults),
        SettingsFileLocations(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"),
                              std::getenv("XDG_CONFIG_DIRS")));
}

std::string SettingsProblemsText(const Settings& settings) {
    if (settings.problems.empty()) {
        return {};
    }
    std::string text = settings.problems.size() == 1 ? "Un'impostazione non è stata letta:"
                                                     : "Alcune impostazioni non sono state lette:";
    for (const std::string& problem : settings.problems) {
        text += "\n\n" + problem;
    }
    return text;
}

std::string HomeRelative(const std::string& path, const char* home) {
    if (home == nullptr || *home == '\0') {
        return path;
    }
    std::string folder = home;
    if (folder.back() != '/') {
        folder += '/';
    }
    return path.starts_with(folder) ? "~/" + path.substr(folder.size()) : path;
}

std::string SettingsFileToEdit(const Settings& settings) {
    const auto read = std::find_if(settings.files.begin(), settings.files.end(), [](const auto& f) {
        return f.state == SettingsFile::State::Read;
    });
    const auto file = read != settings.files.end() ? read : settings.files.begin();
    return file != settings.files.end() ? HomeRelative(file->path, std::getenv("HOME"))
                                        : "acquenza.conf";
}

std::string WhereTheOfficeIsSet(const Settings& settings) {
    std::string where = "nelle chiavi nome e indirizzo della sezione [ufficio] del file ";
    const char* home = std::getenv("HOME");
    const auto user = std::find_if(settings.files.begin(), settings.files.end(),
                                   [](const SettingsFile& f) { return !f.forAllUsers; });
    const auto machine = std::find_if(settings.files.begin(), settings.files.end(),
                                      [](const SettingsFile& f) { return f.forAllUsers; });
    if (user == settings.files.end() && machine == settings.files.end()) {
        return where + "delle impostazioni acquenza.conf";
    }
    if (user != settings.files.end()) {
        where += HomeRelative(user->path, home) + " (per il solo utente)";
    }
    if (machine != settings.files.end()) {
        where += (user != settings.files.end() ? " o " : "") + machine->path +
                 " (per tutti gli utenti del computer)";
    }
    return where;
}

}  // namespace acquenza
