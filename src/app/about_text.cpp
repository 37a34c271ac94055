#include "app/about_text.h"

#include <array>
#include <utility>

namespace acquenza {

namespace {

std::string FamilyName(const std::string& kernelType) {
    static const std::array<std::pair<const char*, const char*>, 7> names = {{
        {"linux", "Linux"},
        {"darwin", "macOS"},
        {"winnt", "Windows"},
        {"freebsd", "FreeBSD"},
        {"netbsd", "NetBSD"},
        {"openbsd", "OpenBSD"},
        {"qnx", "QNX"},
    }};
    for (const auto& [kernel, name] : names) {
        if (kernelType == kernel) {
            return name;
        }
    }
    std::string name = kernelType;
    if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') {
        name[0] = static_cast<char>(name[0] - 'a' + 'A');
    }
    return name;
}

// Word size of the processor the system runs on; 0 when it is not known.
int Bits(const std::string& architecture) {
    if (architecture.empty() || architecture == "unknown") {
        return 0;
    }
    if (architecture.find("64") != std::string::npos || architecture == "sparcv9" ||
        architecture == "s390x") {
        return 64;
    }
    return 32;
}

bool Told(const std::string& fact) {
    return !fact.empty() && fact != "unknown";
}

}  // namespace

std::string VersionLine(const ProgramValues& values) {
    // The year is whatever follows the date's last slash (the whole text when
    // there is none).
    const std::string& date = values.VersionDate;
    const std::size_t slash = date.rfind('/');
    const std::string year = slash == std::string::npos ? date : date.substr(slash + 1);
    return "edizione professionale - versione " + values.ProgramVersion + "  " + " " + year +
           "- 20" + values.BuildYear;
}

std::string PlatformLine(const SystemFacts& system) {
    const std::string family =
        Told(system.kernelType) ? FamilyName(system.kernelType) : system.productName;
    std::string line = "per sistemi";
    if (Told(family)) {
        line += " " + family;
    }
    if (const int bits = Bits(system.cpuArchitecture); bits != 0) {
        line += " a " + std::to_string(bits) + " bit";
    }
    line += " ";
    std::string running;
    if (Told(system.productName) && system.productName != family) {
        running = system.productName;
    }
    if (Told(system.cpuArchitecture)) {
        running += (running.empty() ? "processore " : ", ") + system.cpuArchitecture;
    }
    if (!running.empty()) {
        line += "\nsistema in uso: " + running;
    }
    return line;
}

}  // namespace acquenza
