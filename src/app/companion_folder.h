#pragma once
// Where the program's companion files (tips, tune, example project, icon)
// are: beside the program when it runs from its build folder, or in the data
// folder an installation puts them in (<prefix>/share/acquenza beside
// <prefix>/bin).

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "app/program_shell.h"
#include "app/tips.h"

namespace acquenza {

// Relative to the program's own folder, where an installation puts the files
// ("../share/acquenza" for the usual layout).
extern const char* const InstalledDataFolder;

// The first of the program's folder and the installed data folder holding the
// tips file; the program's folder when neither does (the program then runs
// without tips and tune, as when a file is missing).
std::filesystem::path CompanionFolder(const std::filesystem::path& programFolder);

inline constexpr const char* ExampleProjectName = "Acquenza-dati-esempio";
inline constexpr const char* IconFileName = "acquenza.png";

// Every file shipped beside the program.
inline constexpr std::array<const char*, 4> CompanionFileNames = {
    TipsFileName, ProgramShell::TuneFile, ExampleProjectName, IconFileName};

// The companion files the folder lacks, by name.
std::vector<std::string> MissingCompanionFiles(const std::filesystem::path& folder);

}  // namespace acquenza
