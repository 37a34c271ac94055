#pragma once

// A tidy drawing of a tree of sections for EPANET's map: x is the length
// along the path from the source, so the drawing reads like the network's
// profile; each section continues the line of its upstream section when it
// is the first to leave that node, and the others are stacked below, each
// subtree in a band of its own so that no two overlap.

#include <vector>

namespace acquenza::interchange {

struct MapPoint {
    double x = 0;
    double y = 0;
};

// `upstream[i]` is the section (1-based) that section i + 1 starts from, 0
// for the source; the tree must have no loops. `length_m[i]` is section
// i + 1's length. Returns the point of the source (index 0) and of the end
// of every section (index i + 1), in metres, rounded to centimetres.
std::vector<MapPoint> LayOutTree(const std::vector<int>& upstream,
                                 const std::vector<double>& length_m);

}  // namespace acquenza::interchange
