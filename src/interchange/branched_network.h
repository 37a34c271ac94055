#pragma once

// A branched (tree) network as the program sizes it: sections fed from one
// source, each starting where its upstream section ends. This is what goes
// to EPANET and what comes back from it; the project model is translated to
// and from it by the caller.

#include <optional>
#include <string>
#include <vector>

namespace acquenza::interchange {

struct BranchedSection {
    std::string name;  // "12" for section 12; becomes part of EPANET identifiers
    // 1-based position, in BranchedNetwork::sections, of the section whose end
    // this one starts from; 0 when it starts at the source.
    int upstream = 0;
    double length_m = 0;
    double startElevation_m = 0;  // ground at the start
    double endElevation_m = 0;    // ground at the end node
    double alongFlow_lps = 0;     // drawn uniformly along the section
    double endDemand_lps = 0;     // the end node's own demand
    double diameter_mm = 0;       // internal
    // Darcy-Weisbach absolute roughness. An imported file that used another
    // formula has none.
    std::optional<double> roughness_mm;
};

struct BranchedNetwork {
    std::string title;
    double sourceHead_m = 0;  // piezometric head of the source, m a.s.l.
    std::vector<BranchedSection> sections;
    // Free lines written as comments at the top of the file (for example the
    // stand-alone sections left out) and read back from there.
    std::vector<std::string> comments;
};

// At most this many sections come in from a file.
inline constexpr int MaxImportedSections = 500;

// Each section is written as this many pipes of equal length, the way the
// section calculation splits it.
inline constexpr int PipesPerSection = 14;

}  // namespace acquenza::interchange
