#include "app/companion_folder.h"

#include <system_error>

#ifndef ACQUENZA_INSTALLED_DATA_FOLDER
#define ACQUENZA_INSTALLED_DATA_FOLDER "../share/acquenza"
#endif

namespace acquenza {

const char* const InstalledDataFolder = ACQUENZA_INSTALLED_DATA_FOLDER;

std::filesystem::path CompanionFolder(const std::filesystem::path& programFolder) {
    std::error_code error;
    for (const std::filesystem::path& folder :
         {programFolder, (programFolder / InstalledDataFolder).lexically_normal()}) {
        if (std::filesystem::is_regular_file(folder / TipsFileName, error)) {
            return folder;
        }
    }
    return programFolder;
}

std::vector<std::string> MissingCompanionFiles(const std::filesystem::path& folder) {
    std::vector<std::string> missing;
    for (const char* name : CompanionFileNames) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(folder / name, error)) {
            missing.emplace_back(name);
        }
    }
    return missing;
}

}  // namespace acquenza
