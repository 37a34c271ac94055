#pragma once
// The pipe catalogues the program finds: its own folder, then the user's.

#include <filesystem>
#include <string>

#include "core/pipe_catalogue.h"

namespace acquenza {

// The pipe catalogues: the program's folder (`programFolder`, empty for
// none), then the user's (~/.config/Acquenza/tubazioni), a later series
// replacing one of the same name.
CatalogueSet ProgramCatalogues(const std::filesystem::path& programFolder);
// The series named `name` (nothing for an empty name or one not found).
const PipeSeries* FindSeries(const CatalogueSet& catalogues, const std::string& name);

}  // namespace acquenza
