#pragma once

// The network of the project's sections, as the network analysis sees it,
// translated to the branched network EPANET files are written from.

#include <optional>
#include <string>
#include <vector>

#include "core/network.h"
#include "interchange/branched_network.h"

namespace acquenza::interchange {

struct NetworkExport {
    bool ok = false;
    BranchedNetwork network;
    // Sections left out, by number: stand-alone, refused links, or linked to
    // a section that is not in the network.
    std::vector<int> leftOut;
    std::string error;  // Italian, naming the section, when not ok
};

// Every section reached from the source becomes a section of the file,
// named by its number, in the order of the numbers. Its diameter is the one
// the analysis states its loss with; its roughness is the Darcy-Weisbach one
// of its loss model, or `roughnessMm` for a section whose loss follows the
// coefficient formula (EPANET has no such formula: the material's roughness
// stands in). A section reached from the source without a diameter, or with
// figures that are not numbers, is refused by name.
NetworkExport ExportNetwork(const NetworkInput& input, const std::string& title,
                            double roughnessMm);

}  // namespace acquenza::interchange
