#pragma once

// Hand-made branched networks and seeded random trees, shared by the
// interchange tests, the EPANET engine comparison and the benchmarks.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
#include <string>

#include "interchange/branched_network.h"

namespace acquenza::interchange::samples {

inline BranchedSection Section(std::string name, int upstream, double length, double z0, double z1,
                               double along, double own, double diameter, double roughness = 0.01) {
    BranchedSection s;
    s.name = std::move(name);
    s.upstream = upstream;
    s.length_m = length;
    s.startElevation_m = z0;
    s.endElevation_m = z1;
    s.alongFlow_lps = along;
    s.endDemand_lps = own;
    s.diameter_mm = diameter;
    s.roughness_mm = roughness;
    return s;
}

inline BranchedNetwork SinglePipe() {
    return {"Una condotta", 120, {Section("1", 0, 1000, 100, 80, 0, 5, 100)}, {}};
}

inline BranchedNetwork Chain() {
    return {"Adduttrice a quattro tronchi",
            145.5,
            {Section("1", 0, 850, 118.4, 104.2, 2.4, 0.8, 163.6),
             Section("2", 1, 620.25, 104.2, 96.75, 3.1, 1.2, 141),
             Section("3", 2, 410, 96.75, 90.1, 1.75, 0.5, 110.2, 0.1),
             Section("4", 3, 300.5, 90.1, 86.35, 1.2, 2.05, 90)},
            {}};
}

// A main with two branches, as a small village is fed.
inline BranchedNetwork SmallTree() {
    return {"Rete di Colle Alto: dorsale e due diramazioni",
            212.3,
            {Section("1", 0, 480, 196.5, 184.2, 1.5, 0, 176.2),
             Section("2", 1, 350, 184.2, 176.8, 2.2, 0.6, 147.6),
             Section("3", 2, 290, 176.8, 171.4, 1.4, 1.1, 110.2),
             Section("4", 1, 410, 184.2, 168.9, 2.6, 0.9, 96.8),
             Section("5", 4, 260, 168.9, 162.3, 1.3, 0.7, 79.2, 0.1),
             Section("6", 2, 330, 176.8, 169.5, 1.8, 1.5, 79.2)},
            {}};
}

// Section 3 climbs 18 m to a hamlet on a hill; section 2 starts 40 cm below
// where section 1 ends (the data say so; the network check points it out).
inline BranchedNetwork RisingBranch() {
    return {"Diramazione in salita",
            160,
            {Section("1", 0, 700, 121, 108.5, 1.2, 0.4, 141),
             Section("2", 1, 520, 108.1, 101.3, 2.1, 1.3, 96.8),
             Section("3", 1, 640, 108.5, 126.5, 0.9, 0.6, 79.2),
             Section("4", 3, 380, 126.5, 131.75, 0.6, 0.35, 65.4)},
            {}};
}

// A random tree of `count` sections: lengths, elevations and flows typed to
// the centimetre and the hundredth of a litre, each section hanging from an
// earlier one or from the source, diameters that keep velocities near 1 m/s
// and a source high enough for positive pressures.
inline BranchedNetwork RandomTree(unsigned seed, int count) {
    std::mt19937 rng(seed);
    // What an engineer types: the double nearest to a short decimal.
    const auto uniform = [&](double a, double b, double scale) {
        const double v = std::uniform_real_distribution<double>(a, b)(rng);
        return std::round(v * scale) / scale;
    };
    BranchedNetwork net;
    net.title = "Albero casuale " + std::to_string(seed);
    std::vector<double> ground{200};
    for (int i = 1; i <= count; ++i) {
        const int upstream =
            i == 1 ? 0 : std::uniform_int_distribution<int>(std::max(0, i - 12), i - 1)(rng);
        const double z0 = ground[static_cast<std::size_t>(upstream)];
        const double z1 = std::round((z0 + uniform(-6, 3, 100)) * 100) / 100;
        ground.push_back(z1);
        net.sections.push_back(Section(std::to_string(i), upstream, uniform(40, 400, 100), z0, z1,
                                       uniform(0, 1.5, 100), uniform(0, 0.8, 100), 0));
    }
    // Diameters from the flow each section carries at its start.
    std::vector<double> carried(net.sections.size(), 0.0);
    for (std::size_t i = net.sections.size(); i-- > 0;) {
        const auto& s = net.sections[i];
        carried[i] += s.endDemand_lps + s.alongFlow_lps;
        if (s.upstream > 0) {
            carried[static_cast<std::size_t>(s.upstream - 1)] += carried[i];
        }
    }
    for (std::size_t i = 0; i < net.sections.size(); ++i) {
        const double velocity = uniform(0.6, 1.2, 100);
        const double d = std::sqrt(4 * carried[i] / 1000 / (std::numbers::pi * velocity)) * 1000;
        net.sections[i].diameter_mm = std::max(40.0, std::round(d * 10) / 10);
        net.sections[i].roughness_mm = uniform(0, 1, 1) == 0 ? 0.01 : 0.1;
    }
    net.sourceHead_m = 200 + 60 + count / 10.0;
    return net;
}

}  // namespace acquenza::interchange::samples
