#pragma once
// "Dimensiona la rete": the project's linked sections sized from the source's
// head by the most unfavourable path (and, as an option, "Riduci il costo"),
// in one edit step; and the few lines the report gives the method.

#include <string>
#include <vector>

#include "app/program_state.h"
#include "core/network_sizing.h"
#include "core/pipe_catalogue.h"
#include "reports/network_chapter.h"

namespace acquenza {

struct NetworkSizingOutcome {
    bool done = false;  // the network was sized (the project may have changed)
    NetworkSizing sizing;
    // Italian: what was sized, the cost before and after, and every node or
    // section that could not be sized, by number, with the head it misses.
    std::string message;
};

// Sizes every linked section reached from the source: writes its network
// diameter ("diametro della rete (mm)") and, with a series, the size laid
// ("misura"), and the method into the project's network values, all in one
// step that one undo takes back. Sections that cannot be sized are left as
// they were and named in the message; the rest is sized. A project without
// a network, or without the source's head, is left untouched, and the
// message says why.
NetworkSizingOutcome SizeProjectNetwork(ProgramState& state, const PipeSeries* series,
                                        bool reduceCost);

}  // namespace acquenza
