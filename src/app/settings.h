#pragma once
// What an office sets for its installation: its name and address for the
// reports, who gives assistance, the products it lists, and the velocity band
// the network summary checks. Read at start-up from the settings files; the
// build only gives the office's defaults.
//
// The files are INI text written by hand, read by our own reader rather than
// the toolkit's, so that they mean what an Italian office writes in them:
// "0,6" and "0.6" are the same number, a ';' or a '#' starts a comment only
// at the start of a line (a ';' inside a value is part of it), a comma is
// part of a text and never splits it into a list, and a value may be put
// between double quotes (kept exactly, with \" and \\ for a quote and a
// backslash). What cannot be read is not guessed: the default stays and the
// user is told which file, section and key.

#include <string>
#include <string_view>
#include <vector>

namespace acquenza {

struct SupportContacts {
    std::string postalAddress;
    std::string phone;
    std::string fax;
    std::string email;
    std::string web;
    std::string contact;  // who adapts the program on request

    bool Any() const {
        return !(postalAddress.empty() && phone.empty() && fax.empty() && email.empty() &&
                 web.empty() && contact.empty());
    }
};

// A settings file the program looks at.
struct SettingsFile {
    enum class State { Missing, Read, Unreadable };
    std::string path;
    bool forAllUsers = false;  // the machine's file, under the user's own
    State state = State::Missing;
};

struct Settings {
    std::string officeName;
    std::string officeAddress;
    SupportContacts support;
    std::vector<std::string> products;
    double velocityMin = 0.5;  // m/s
    double velocityMax = 2.0;  // m/s
    // The network's limits at every node, for a project that sets none.
    double pressureMin = 20;        // m
    double staticPressureMax = 70;  // m
    // The catalogue series a project's pipes are first proposed from
    // ("[tubazioni] serie"); empty: none proposed.
    std::string pipeSeries;

    // The files looked at, the one that prevails first; none for the
    // settings the program was built with.
    std::vector<SettingsFile> files;
    // Each setting that could not be read, one Italian sentence naming the
    // file, the section and the key (or the line), and what holds instead.
    std::vector<std::string> problems;
};

// The defaults given when the program was built, before any settings file.
Settings BuiltInSettings();

// Where the settings files are, the one that prevails first: the user's
// ($XDG_CONFIG_HOME, else ~/.config), then the machine's, one for each
// folder of $XDG_CONFIG_DIRS (else /etc/xdg). Empty variables count as
// unset, as the XDG rules say.
std::vector<SettingsFile> SettingsFileLocations(const char* xdgConfigHome, const char* home,
                                                const char* xdgConfigDirs);

// The settings in force: the defaults, then every key of every file, the
// machine's first, so each key of the user's file has the last word. The
// files' states and every problem met are recorded in the result.
Settings ReadSettingsFiles(Settings defaults, std::vector<SettingsFile> files);

// ReadSettingsFiles over SettingsFileLocations of this process's environment.
Settings ReadSettings(Settings defaults);

// One message for every problem met, or empty when there was none.
std::string SettingsProblemsText(const Settings& settings);
inline constexpr const char* SettingsTitle = "Acquenza: file delle impostazioni";

// Where the office's name and address are set: the keys, the section and the
// files, in one Italian phrase ("nella sezione [ufficio] del file …").
std::string WhereTheOfficeIsSet(const Settings& settings);

// The file an office edits to set a value: the first one that was read,
// else the user's own; "~" for the home folder.
std::string SettingsFileToEdit(const Settings& settings);

// A path under the user's home folder written with "~", as the user reads it.
std::string HomeRelative(const std::string& path, const char* home);

}  // namespace acquenza
