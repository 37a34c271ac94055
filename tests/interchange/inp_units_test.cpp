// Every flow unit of EPANET to l/s, and US customary lengths to metres.

#include <gtest/gtest.h>

#include "interchange/inp_units.h"

namespace acquenza::interchange {
namespace {

TEST(InpUnits, EveryUnitToLitresPerSecondAndMetres) {
    struct Case {
        FlowUnits units;
        double litresPerSecond;  // from the unit's definition, worked by hand
        bool us;
    };
    const std::vector<Case> cases = {
        {FlowUnits::CFS, 28.316846592, true},
        {FlowUnits::GPM, 0.0630901964, true},
        {FlowUnits::MGD, 43.812636388888889, true},
        {FlowUnits::IMGD, 52.616782407407407, true},
        {FlowUnits::AFD, 14.2764101568, true},
        {FlowUnits::LPS, 1, false},
        {FlowUnits::LPM, 1 / 60.0, false},
        {FlowUnits::MLD, 11.574074074074074, false},
        {FlowUnits::CMH, 0.27777777777777778, false},
        {FlowUnits::CMD, 0.011574074074074074, false},
    };
    for (const auto& c : cases) {
        InpNetwork n;
        n.options.units = c.units;
        n.options.headloss = HeadlossFormula::DarcyWeisbach;
        n.junctions.push_back({"J", 100, 2, {}, {}, 0});
        n.demands.push_back({"J", 3, {}, {}, 0});
        n.reservoirs.push_back({"R", 150, {}, {}, 0});
        n.tanks.push_back({"T", 10, 2, 1, 4, 20, 50, {}, {}, {}, 0});
        n.pipes.push_back({"P", "R", "J", 1000, 12, 0.5, 0, PipeStatus::Open, {}, 0});
        const InpNetwork m = ToLitresPerSecondAndMetres(n);
        const std::string name = FlowUnitsKeyword(c.units);
        EXPECT_EQ(m.options.units, FlowUnits::LPS);
        EXPECT_NEAR(m.junctions[0].baseDemand, 2 * c.litresPerSecond, 1e-12) << name;
        EXPECT_NEAR(m.demands[0].demand, 3 * c.litresPerSecond, 1e-12) << name;
        const double foot = c.us ? 0.3048 : 1;
        EXPECT_DOUBLE_EQ(m.junctions[0].elevation, 100 * foot) << name;
        EXPECT_DOUBLE_EQ(m.reservoirs[0].head, 150 * foot) << name;
        EXPECT_DOUBLE_EQ(m.tanks[0].initLevel, 2 * foot) << name;
        EXPECT_DOUBLE_EQ(m.tanks[0].minVolume, 50 * foot * foot * foot) << name;
        EXPECT_DOUBLE_EQ(m.pipes[0].length, 1000 * foot) << name;
        EXPECT_DOUBLE_EQ(m.pipes[0].diameter, c.us ? 304.8 : 12) << name;
        EXPECT_DOUBLE_EQ(m.pipes[0].roughness, 0.5 * foot) << name;  // millifeet to mm
        // Hazen-Williams coefficients have no units.
        n.options.headloss = HeadlossFormula::HazenWilliams;
        EXPECT_EQ(ToLitresPerSecondAndMetres(n).pipes[0].roughness, 0.5) << name;
    }
}

}  // namespace
}  // namespace acquenza::interchange
