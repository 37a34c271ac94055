#pragma once
// What lives for the whole run: program values and titles, the project and
// the name of its data file.

#include <string>

#include "app/program_values.h"
#include "app/settings.h"
#include "core/project.h"

namespace acquenza {

struct ProgramState {
    ModAcquenza mod;
    Project project;
    std::string currentFileName;
    Settings settings = BuiltInSettings();
};

}  // namespace acquenza
