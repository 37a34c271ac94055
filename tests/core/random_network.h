#pragma once
// Seeded random trees for the network's property tests: branched, with
// rising and falling sections, section numbers shuffled so links point both
// ways, a few stand-alone sections and a few links to them.

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "core/network.h"

namespace acquenza::testing {

struct RandomNetworkShape {
    int sections = 40;
    double risingShare = 0.2;      // chance a section climbs
    double standAloneShare = 0.0;  // chance a section has no link
    double noDiameterShare = 0.0;  // chance a section has no diameter
    double sourceAbove = 60;       // H0 above the ground at the source, m
    double flowScale = 1;          // multiplies every flow drawn
};

inline NetworkInput RandomNetwork(std::mt19937& rng, const RandomNetworkShape& shape) {
    auto uniform = [&](double a, double b) { return std::uniform_real_distribution<>(a, b)(rng); };
    auto chance = [&](double p) { return uniform(0, 1) < p; };
    const int n = shape.sections;
    // Built in creation order (parents first), then renumbered at random.
    std::vector<int> parent(static_cast<std::size_t>(n + 1), 0);
    std::vector<NetworkSection> made(static_cast<std::size_t>(n + 1));
    const double groundAtSource = 200;
    for (int i = 1; i <= n; ++i) {
        NetworkSection& s = made[static_cast<std::size_t>(i)];
        int p = 0;
        if (i > 1 && !chance(0.1)) {
            p = chance(0.5) ? i - 1 : std::uniform_int_distribution<>(1, i - 1)(rng);
        }
        parent[static_cast<std::size_t>(i)] = p;
        s.entered = true;
        s.upstream = p;
        s.length = uniform(30, 700);
        s.zStart = p == 0 ? groundAtSource : made[static_cast<std::size_t>(p)].zEnd;
        s.zEnd = s.zStart - (chance(shape.risingShare) ? -uniform(0.5, 6) : uniform(0, 12));
        s.flowAlong = (chance(0.3) ? 0 : uniform(0, 3)) * shape.flowScale;
        s.nodeDemand = (chance(0.3) ? 0 : uniform(0, 4)) * shape.flowScale;
        s.diameter = chance(shape.noDiameterShare) ? 0 : uniform(0.06, 0.35);
        s.loss.formula = chance(0.5) ? LossFormula::Coefficient : LossFormula::DarcyWeisbach;
        s.loss.coefficient = chance(0.5) ? 0.0025 : 0.004;
        s.loss.roughnessMm = chance(0.5) ? 0.01 : 0.1;
    }
    for (int i = 1; i <= n; ++i) {
        if (chance(shape.standAloneShare)) {
            made[static_cast<std::size_t>(i)].upstream.reset();
        }
    }
    std::vector<int> number(static_cast<std::size_t>(n + 1));
    std::iota(number.begin(), number.end(), 0);
    std::shuffle(number.begin() + 1, number.end(), rng);
    NetworkInput input = NetworkInput::WithSections(n);
    input.sourceHead = groundAtSource + shape.sourceAbove;
    for (int i = 1; i <= n; ++i) {
        NetworkSection s = made[static_cast<std::size_t>(i)];
        if (s.upstream) {
            s.upstream = number[static_cast<std::size_t>(*s.upstream)];
        }
        input.sections[static_cast<std::size_t>(number[static_cast<std::size_t>(i)])] = s;
    }
    return input;
}

// The sections of the tree below section i (i excluded), by the links.
inline std::vector<int> Downstream(const NetworkInput& input, int i) {
    std::vector<int> out;
    std::vector<int> todo{i};
    while (!todo.empty()) {
        const int at = todo.back();
        todo.pop_back();
        for (int j = 1; j <= input.SectionCount(); ++j) {
            const auto& s = input.sections[static_cast<std::size_t>(j)];
            if (s.entered && s.upstream && *s.upstream == at && j != at) {
                out.push_back(j);
                todo.push_back(j);
            }
        }
    }
    return out;
}

}  // namespace acquenza::testing
