#pragma once

// The file's units turned into the ones the program calculates in: flows in
// l/s, lengths, elevations and heads in m, diameters and Darcy-Weisbach
// roughness in mm.

#include "interchange/inp_network.h"

namespace acquenza::interchange {

// Litres per second in one unit of `units` (1 GPM = 0.0630901964 l/s).
double LitresPerSecondPer(FlowUnits units);

// `network` in LPS with metric lengths. Flows of every unit are converted;
// lengths, elevations, heads, tank sizes and volumes, diameters and
// Darcy-Weisbach roughness only when the file is in US customary units.
// Hazen-Williams and Chezy-Manning coefficients have no units. Pump and
// valve parameters stay as they were (the import refuses them anyway).
InpNetwork ToLitresPerSecondAndMetres(const InpNetwork& network);

}  // namespace acquenza::interchange
