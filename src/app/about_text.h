#pragma once
// Texts of the "Informazioni su" window that are built from the program's
// values and from the system it runs on.

#include <string>

#include "app/program_values.h"

namespace acquenza {

// "edizione professionale - versione <version>   <year of the version date>- 20<build year>"
std::string VersionLine(const ProgramValues& values);

// What the running system says about itself.
struct SystemFacts {
    std::string kernelType;       // "linux", "freebsd", "darwin", "winnt", ...
    std::string productName;      // "Debian GNU/Linux 12 (bookworm)"
    std::string cpuArchitecture;  // "x86_64", "arm64", "i386", ...
};

// "per sistemi Linux a 64 bit " and, on a second line, the system's own name
// and processor ("sistema in uso: Debian GNU/Linux 12 (bookworm), x86_64");
// only what the system told is said.
std::string PlatformLine(const SystemFacts& system);

}  // namespace acquenza
