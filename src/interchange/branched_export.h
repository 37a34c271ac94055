#pragma once

// A branched network written for EPANET 2.2. The source is a reservoir at
// the source head; every section becomes 14 pipes of equal length with 13
// junctions between them, so that EPANET sees the flow drawn along the
// section the way the section calculation does: each intermediate junction
// takes 1/14 of the flow along, and the end node its own demand plus 1/14.
// Segment k (1..14) then carries q_end + q_along - (k - 1) q_along / 14.
//
// Identifiers, for a section named "12": pipes T12_01 .. T12_14, junctions
// N12_01 .. N12_13 between them and N12 at its end; the source is SORGENTE.
// The import recognises these chains and folds them back into one section.

#include <string>

#include "interchange/branched_network.h"
#include "interchange/inp_network.h"

namespace acquenza::interchange {

// Kinematic viscosity of water at 10 °C, m2/s, and EPANET's reference for
// its relative VISCOSITY option (1.1e-5 ft2/s, water at 20 °C).
inline constexpr double WaterViscosity10C_m2s = 1.307e-6;
inline constexpr double EpanetReferenceViscosity_m2s = 1.1e-5 * 0.3048 * 0.3048;

inline constexpr const char* SourceId = "SORGENTE";
// The first comment line of every exported file.
inline constexpr const char* ExportSignature =
    " Rete esportata da Acquenza: ogni tronco è diviso in 14 tubi di uguale lunghezza.";

// Identifiers of a section's objects; k counts from 1.
std::string EndNodeId(const std::string& section);
std::string InnerNodeId(const std::string& section, int k);
std::string SectionPipeId(const std::string& section, int k);

// Ground elevation of the k-th junction (1..13) of a section that rises or
// falls uniformly. The import recovers the start elevation by this very
// expression, so that export, import and export again give the same bytes.
inline double InnerElevation(double start_m, double end_m, int k) {
    return start_m + (end_m - start_m) * k / PipesPerSection;
}

struct InpBuildResult {
    bool ok = false;
    InpNetwork network;
    std::string error;  // Italian, naming the section
};

// Refuses, naming the section: a name that cannot make EPANET identifiers
// (empty, longer than 27 bytes, blanks, ';'), two sections giving the same
// identifier, an upstream section that does not exist or is the section
// itself, sections that close a loop, a length or diameter not positive, a
// missing or negative roughness, negative flows, values that are not finite
// numbers, and a network without sections.
InpBuildResult BuildInpNetwork(const BranchedNetwork& network);

struct InpExportResult {
    bool ok = false;
    std::string text;  // the .inp file's bytes
    std::string error;
};

InpExportResult ExportToInp(const BranchedNetwork& network);

}  // namespace acquenza::interchange
