// The network analysis against the EPANET 2.2 engine: random trees exported
// as the program exports a project's network, solved by the engine, must give
// at every end node the pressure our own Darcy-Weisbach / Colebrook-White
// heads give, within 0.05 m or 0.5 % (EPANET uses Swamee-Jain's form of
// Colebrook's friction factor and its own cubic fit between Re 2000 and
// 4000), and at the start of every section its flow within 0.01 l/s.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "core/network.h"
#include "engine_harness.h"
#include "interchange/branched_export.h"
#include "interchange/network_exchange.h"

namespace acquenza::interchange {
namespace {

// A random tree shaped as distribution networks are: each section continues
// from any earlier one (so paths from the source are a few dozen sections
// long, not hundreds), lengths of 50 to 400 m on gentle ground, and
// diameters an engineer would choose — 0.5 to 1.2 m/s where the flow is
// largest, never below 50 mm — all stating their loss by Darcy-Weisbach.
NetworkInput DarcyWeisbachTree(unsigned seed, int sections, double risingShare) {
    std::mt19937 rng(seed);
    auto uniform = [&](double a, double b) { return std::uniform_real_distribution<>(a, b)(rng); };
    NetworkInput input = NetworkInput::WithSections(sections);
    input.sourceHead = 260;
    for (int i = 1; i <= sections; ++i) {
        NetworkSection& s = input.sections[static_cast<std::size_t>(i)];
        const int from = i == 1 ? 0 : std::uniform_int_distribution<>(0, i - 1)(rng) % i;
        s.entered = true;
        s.upstream = from;
        s.length = uniform(50, 400);
        s.zStart = from == 0 ? 200 : input.sections[static_cast<std::size_t>(from)].zEnd;
        s.zEnd = s.zStart + (uniform(0, 1) < risingShare ? uniform(0.5, 4) : -uniform(0, 6));
        s.flowAlong = uniform(0, 1) < 0.3 ? 0 : uniform(0, 1.5);
        s.nodeDemand = uniform(0, 1) < 0.3 ? 0 : uniform(0, 2);
        s.loss.formula = LossFormula::DarcyWeisbach;
        s.loss.roughnessMm = uniform(0, 1) < 0.5 ? 0.01 : 0.1;
    }
    const std::vector<double> flowEnd = SumFlows(input, BuildTree(input));
    for (std::size_t i = 1; i < input.sections.size(); ++i) {
        NetworkSection& s = input.sections[i];
        const double q = (flowEnd[i] + s.flowAlong) / 1000;  // m3/s
        s.diameter = std::max(0.05, std::sqrt(4 * q / (std::numbers::pi * uniform(0.5, 1.2))));
    }
    return input;
}

void ExpectEngineAgrees(const NetworkInput& input, const std::string& name) {
    const NetworkTree tree = BuildTree(input);
    const NetworkResult ours = AnalyseNetwork(input, tree);
    const NetworkExport exported = ExportNetwork(input, "Prova " + name, 0.1);
    ASSERT_TRUE(exported.ok) << exported.error;
    const InpExportResult file = ExportToInp(exported.network);
    ASSERT_TRUE(file.ok) << file.error;
    const epanet_test::EngineRun run = epanet_test::SolveWithEngine(file.text, name);
    ASSERT_TRUE(run.ok) << run.error;
    double worst = 0;  // the largest difference as a share of its tolerance
    int compared = 0;
    for (int i = 1; i <= input.SectionCount(); ++i) {
        const SectionHydraulics& h = ours.sections[static_cast<std::size_t>(i)];
        if (h.state != HeadState::Computed) {
            continue;
        }
        const auto node = run.solution.nodes.find(EndNodeId(std::to_string(i)));
        ASSERT_NE(node, run.solution.nodes.end()) << "node of section " << i;
        const double tolerance = std::max(0.05, 0.005 * std::abs(h.pressureEnd));
        EXPECT_NEAR(node->second.pressure, h.pressureEnd, tolerance) << name << " node " << i;
        worst = std::max(worst, std::abs(node->second.pressure - h.pressureEnd) / tolerance);
        const auto pipe = run.solution.links.find(SectionPipeId(std::to_string(i), 1));
        ASSERT_NE(pipe, run.solution.links.end()) << "first pipe of section " << i;
        EXPECT_NEAR(pipe->second.flow, h.flowStart, 0.01) << name << " section " << i;
        ++compared;
    }
    EXPECT_GT(compared, 0);
    std::printf("%s: %d nodes, worst difference %.0f %% of the tolerance\n", name.c_str(), compared,
                100 * worst);
}

TEST(NetworkAgainstEngine, RandomTreesUpToFiveHundredSections) {
    ACQUENZA_REQUIRE_EPANET_ENGINE();
    ExpectEngineAgrees(DarcyWeisbachTree(11, 12, 0.2), "rete-12");
    ExpectEngineAgrees(DarcyWeisbachTree(12, 60, 0.3), "rete-60");
    ExpectEngineAgrees(DarcyWeisbachTree(13, 500, 0.2), "rete-500");
}

TEST(NetworkAgainstEngine, RisingBranches) {
    ACQUENZA_REQUIRE_EPANET_ENGINE();
    ExpectEngineAgrees(DarcyWeisbachTree(21, 40, 0.8), "salite");
}

TEST(NetworkAgainstEngine, SectionsOutsideTheNetworkAreLeftOutAndNamed) {
    NetworkInput input = DarcyWeisbachTree(31, 10, 0.2);
    input.sections[4].upstream.reset();  // stand-alone now
    const NetworkExport exported = ExportNetwork(input, "Prova", 0.1);
    ASSERT_TRUE(exported.ok);
    EXPECT_NE(std::find(exported.leftOut.begin(), exported.leftOut.end(), 4),
              exported.leftOut.end());
    for (const BranchedSection& s : exported.network.sections) {
        EXPECT_NE(s.name, "4");
    }
    input.sections[4].upstream = 0;
    input.sections[4].diameter = 0;
    const NetworkExport refused = ExportNetwork(input, "Prova", 0.1);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error,
              "Tronco n. 4: manca il diametro, e senza diametro la rete non si può esportare.");
}

}  // namespace
}  // namespace acquenza::interchange
