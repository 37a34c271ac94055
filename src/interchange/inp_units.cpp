#include "interchange/inp_units.h"

namespace acquenza::interchange {
namespace {

// Exact definitions: the international foot and inch, the US and imperial
// gallons, the acre (43 560 square feet).
constexpr double MetresPerFoot = 0.3048;
constexpr double MillimetresPerInch = 25.4;
constexpr double LitresPerCubicFoot = 28.316846592;
constexpr double LitresPerUsGallon = 3.785411784;
constexpr double LitresPerImperialGallon = 4.54609;
constexpr double SecondsPerDay = 86400;

}  // namespace

double LitresPerSecondPer(FlowUnits units) {
    switch (units) {
        case FlowUnits::CFS:
            return LitresPerCubicFoot;
        case FlowUnits::GPM:
            return LitresPerUsGallon / 60;
        case FlowUnits::MGD:
            return 1e6 * LitresPerUsGallon / SecondsPerDay;
        case FlowUnits::IMGD:
            return 1e6 * LitresPerImperialGallon / SecondsPerDay;
        case FlowUnits::AFD:
            return 43560 * LitresPerCubicFoot / SecondsPerDay;
        case FlowUnits::LPS:
            return 1;
        case FlowUnits::LPM:
            return 1.0 / 60;
        case FlowUnits::MLD:
            return 1e6 / SecondsPerDay;
        case FlowUnits::CMH:
            return 1000.0 / 3600;
        case FlowUnits::CMD:
            return 1000 / SecondsPerDay;
    }
    return 1;
}

InpNetwork ToLitresPerSecondAndMetres(const InpNetwork& network) {
    InpNetwork n = network;
    const double flow = LitresPerSecondPer(n.options.units);
    const bool us = IsUsCustomary(n.options.units);
    const double length = us ? MetresPerFoot : 1;
    const double diameter = us ? MillimetresPerInch : 1;
    const double volume = length * length * length;
    // Darcy-Weisbach roughness is in millifeet in US files: 1 mft = 0.3048 mm.
    const double roughness =
        us && n.options.headloss == HeadlossFormula::DarcyWeisbach ? MetresPerFoot : 1;
    for (auto& j : n.junctions) {
        j.elevation *= length;
        j.baseDemand *= flow;
    }
    for (auto& d : n.demands) {
        d.demand *= flow;
    }
    for (auto& r : n.reservoirs) {
        r.head *= length;
    }
    for (auto& t : n.tanks) {
        t.elevation *= length;
        t.initLevel *= length;
        t.minLevel *= length;
        t.maxLevel *= length;
        t.diameter *= length;
        t.minVolume *= volume;
    }
    for (auto& p : n.pipes) {
        p.length *= length;
        p.diameter *= diameter;
        p.roughness *= roughness;
    }
    for (auto& v : n.valves) {
        v.diameter *= diameter;
    }
    n.options.units = FlowUnits::LPS;
    return n;
}

}  // namespace acquenza::interchange
