#include "app/sizing_catalogues.h"

#include <cstdlib>
#include <vector>

namespace acquenza {

CatalogueSet ProgramCatalogues(const std::filesystem::path& programFolder) {
    std::vector<std::filesystem::path> folders;
    if (!programFolder.empty()) {
        folders.push_back(programFolder);
    }
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (config != nullptr && *config != '\0') {
        folders.push_back(std::filesystem::path(config) / "Acquenza" / CatalogueFolderName);
    } else if (home != nullptr && *home != '\0') {
        folders.push_back(std::filesystem::path(home) / ".config" / "Acquenza" /
                          CatalogueFolderName);
    }
    return LoadCatalogues(folders);
}

const PipeSeries* FindSeries(const CatalogueSet& catalogues, const std::string& name) {
    for (const PipeSeries& series : catalogues.series) {
        if (!name.empty() && series.name == name) {
            return &series;
        }
    }
    return nullptr;
}

}  // namespace acquenza
