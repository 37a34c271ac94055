#pragma once

// Reads an EPANET input file into an InpNetwork, tolerantly: any case,
// comments after ';', blank lines, CR LF or LF, a byte-order mark, files in
// Windows-1252; sections EPANET does not know are read over and remembered.
// What cannot be understood is refused with an Italian message that names
// the line.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "interchange/inp_network.h"

namespace acquenza::interchange {

struct InpReadResult {
    bool ok = false;
    InpNetwork network;
    std::string error;  // "Riga 12: ..." when not ok
    int errorLine = 0;
    // What was read over or taken in a way the user may want to know.
    std::vector<std::string> warnings;
};

InpReadResult ReadInp(std::string_view bytes);

// The same from a file; a file that cannot be read is reported by name.
InpReadResult ReadInpFile(const std::filesystem::path& path);

}  // namespace acquenza::interchange
