#pragma once

// A branched network read from EPANET: one reservoir (or tank) as the
// source, junctions and pipes; each pipe becomes a section, linked to the
// section that ends where it starts. The 14-pipe chains our own export
// writes for one section fold back into that section, with its flow along
// and its end node's own demand, so that export, import and export again
// give the same file.

#include <string>
#include <string_view>
#include <vector>

#include "interchange/branched_network.h"
#include "interchange/inp_network.h"

namespace acquenza::interchange {

struct BranchedImportResult {
    bool ok = false;
    BranchedNetwork network;  // sections in the order of their pipes in the file
    // The file's identifier of each section's end node, in the same order.
    std::vector<std::string> endNodes;
    std::string error;  // an Italian message naming what stands in the way
    // Italian notes on what was converted or left out (units, formula,
    // sections of the file not read).
    std::vector<std::string> notes;
};

// Refuses, naming what stands in the way: pumps or valves (one named), no
// source, more than one source (reservoirs and tanks named), a junction with
// a negative demand (a second inflow), a closed pipe, a pipe without a
// positive length or diameter, a loop (one of its pipes named), a junction
// not connected to the source, more than 500 sections. Units are converted
// to l/s and metres first; node demands are the base demands, or those of
// [DEMANDS], times the first multiplier of their pattern and the demand
// multiplier.
BranchedImportResult ImportBranchedNetwork(const InpNetwork& network);

// Reads the file's text and imports it; a reading error is the error, the
// reader's warnings come first among the notes.
BranchedImportResult ImportFromInp(std::string_view text);

}  // namespace acquenza::interchange
