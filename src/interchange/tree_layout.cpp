#include "interchange/tree_layout.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace acquenza::interchange {
namespace {

double Centimetres(double v) {
    const double r = std::round(v * 100) / 100;
    return r == 0 ? 0.0 : r;  // no "-0" on the map
}

}  // namespace

std::vector<MapPoint> LayOutTree(const std::vector<int>& upstream,
                                 const std::vector<double>& length_m) {
    const std::size_t count = upstream.size() + 1;
    std::vector<std::vector<std::size_t>> children(count);
    for (std::size_t i = 0; i < upstream.size(); ++i) {
        children[static_cast<std::size_t>(upstream[i])].push_back(i + 1);
    }
    // Parents before children, without recursion (a chain of 500 sections
    // is a deep tree).
    std::vector<std::size_t> order{0};
    for (std::size_t k = 0; k < order.size(); ++k) {
        for (const std::size_t c : children[order[k]]) {
            order.push_back(c);
        }
    }
    std::vector<double> x(count, 0.0);
    for (const std::size_t v : order) {
        for (const std::size_t c : children[v]) {
            x[c] = x[v] + length_m[c - 1];
        }
    }
    // Each subtree needs one band per end node without sections after it.
    std::vector<double> bands(count, 0.0);
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        double sum = 0;
        for (const std::size_t c : children[*it]) {
            sum += bands[c];
        }
        bands[*it] = std::max(sum, 1.0);
    }
    std::vector<double> row(count, 0.0);
    for (const std::size_t v : order) {
        double next = row[v];
        for (const std::size_t c : children[v]) {
            row[c] = next;
            next += bands[c];
        }
    }
    // Bands as high as makes the whole drawing about twice as wide as high.
    const double width = *std::max_element(x.begin(), x.end());
    const double band = std::max(width, 1.0) / (2 * bands[0]);
    std::vector<MapPoint> points(count);
    for (std::size_t v = 0; v < count; ++v) {
        points[v] = {Centimetres(x[v]), Centimetres(-row[v] * band)};
    }
    return points;
}

}  // namespace acquenza::interchange
