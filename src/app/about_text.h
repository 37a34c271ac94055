#pragma once
// Texts of the "Informazioni su" window that are built from the program's
// values.

#include <string>

#include "app/program_values.h"

namespace acquenza {

// "edizione professionale - versione <version>   <year of the version date>- 20<build year>"
std::string VersionLine(const ProgramValues& values);

}  // namespace acquenza
