#include "core/network.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numbers>
#include <random>
#include <set>

#include "random_network.h"

namespace acquenza {
namespace {

using testing::Downstream;
using testing::RandomNetwork;
using testing::RandomNetworkShape;

// A section with plain figures: 100 m, level ground at 100 m, a 0.1 m pipe.
NetworkSection Plain(std::optional<int> upstream) {
    NetworkSection s;
    s.entered = true;
    s.upstream = upstream;
    s.length = 100;
    s.zStart = 100;
    s.zEnd = 100;
    s.diameter = 0.1;
    return s;
}

NetworkInput Links(std::vector<std::optional<int>> links) {
    NetworkInput input = NetworkInput::WithSections(static_cast<int>(links.size()));
    for (std::size_t i = 0; i < links.size(); ++i) {
        input.sections[i + 1] = Plain(links[i]);
    }
    return input;
}

std::size_t Slot(int i) {
    return static_cast<std::size_t>(i);
}

TEST(NetworkLinks, RefusedLinksNameTheSections) {
    struct Case {
        std::vector<std::optional<int>> links;
        int section;
        int upstream;
        const char* message;  // nullptr: accepted
    };
    const Case cases[] = {
        {{0, 1, 2}, 2, 2, "Il tronco 2 non può continuare da se stesso."},
        {{0, 1, 2}, 3, 9, "Il tronco 3 non può continuare dal tronco 9: il tronco 9 non esiste."},
        {{0, 1, 2},
         3,
         -1,
         "Il tronco 3 ha come tronco a monte -1: va indicato 0 (la sorgente) o il numero di un "
         "tronco digitato."},
        {{0, 1, 2},
         1,
         3,
         "Il tronco 1 non può continuare dal tronco 3: il tronco 3 discende già dal tronco 1 "
         "(1 → 2 → 3) e il collegamento chiuderebbe un anello; la rete deve essere ad albero."},
        {{0, 1, 2},
         2,
         3,
         "Il tronco 2 non può continuare dal tronco 3: il tronco 3 discende già dal tronco 2 "
         "(2 → 3) e il collegamento chiuderebbe un anello; la rete deve essere ad albero."},
        {{0, 1, 2}, 3, 1, nullptr},             // moving a branch within the tree
        {{0, 1, 2}, 1, 0, nullptr},             // to the source
        {{0, 1, std::nullopt}, 1, 3, nullptr},  // under a stand-alone section: no loop
    };
    for (const Case& c : cases) {
        const NetworkInput input = Links(c.links);
        const auto refused = CheckLink(input, c.section, c.upstream);
        if (c.message == nullptr) {
            EXPECT_FALSE(refused) << *refused;
        } else {
            ASSERT_TRUE(refused) << c.section << " <- " << c.upstream;
            EXPECT_EQ(*refused, c.message);
        }
    }
    NetworkInput notEntered = Links({0, 1, 2});
    notEntered.sections[2].entered = false;
    EXPECT_EQ(CheckLink(notEntered, 3, 2).value_or(""),
              "Il tronco 3 non può continuare dal tronco 2: il tronco 2 non è stato digitato.");
}

TEST(NetworkLinks, TreeLeavesOutLoopsAndRefusedLinksAndSaysWhy) {
    // 1 from the source; 2 → 3 → 4 → 2 a loop with 5 hanging from it; 6 to a
    // missing section; 7 from 6; 8 stand-alone with 9 below it; 10 to itself.
    NetworkInput input = Links({0, 4, 2, 3, 3, 40, 6, std::nullopt, 8, 10});
    const NetworkTree tree = BuildTree(input);
    ASSERT_EQ(tree.problems.size(), 3u);
    EXPECT_EQ(tree.problems[0].section, 2);
    EXPECT_EQ(tree.problems[0].text,
              "I tronchi 2, 3 e 4 formano un anello (2 → 3 → 4 → 2): la rete deve essere ad "
              "albero, i loro collegamenti non sono accettati.");
    EXPECT_EQ(tree.problems[1].section, 6);
    EXPECT_EQ(tree.problems[2].section, 10);
    EXPECT_EQ(tree.order, std::vector<int>{1});
    EXPECT_EQ(tree.detached, (std::vector<int>{5, 7, 9}));

    const NetworkResult result = AnalyseNetwork(input, tree);
    EXPECT_EQ(result.sections[5].state, HeadState::Detached);
    EXPECT_EQ(result.sections[5].cause, 3);
    EXPECT_EQ(result.sections[9].cause, 8);
    EXPECT_EQ(result.sections[2].state, HeadState::NotInNetwork);
    std::map<int, std::vector<CheckKind>> kinds;
    for (const NetworkCheck& c : result.checks) {
        kinds[c.section].push_back(c.kind);
    }
    EXPECT_EQ(kinds[2], std::vector<CheckKind>{CheckKind::LinkRefused});
    bool detachedSaid = false;
    for (const NetworkCheck& c : result.checks) {
        if (c.section == 9 && c.kind == CheckKind::Detached) {
            detachedSaid = true;
            EXPECT_EQ(c.text,
                      "Tronco 9: continua dal tronco 8, che non è collegato alla sorgente: "
                      "pressioni non calcolabili.");
        }
    }
    EXPECT_TRUE(detachedSaid);
}

TEST(NetworkLinks, DeletingASectionRenumbersLinksAndResetsThoseToIt) {
    NetworkInput input = Links({0, 1, 2, 2, 4, std::nullopt});
    const std::vector<int> reset = RemoveSection(input, 2);
    EXPECT_EQ(reset, (std::vector<int>{2, 3}));  // old 3 and 4
    ASSERT_EQ(input.SectionCount(), 5);
    EXPECT_EQ(input.sections[1].upstream, 0);
    EXPECT_EQ(input.sections[2].upstream, 0);
    EXPECT_EQ(input.sections[3].upstream, 0);
    EXPECT_EQ(input.sections[4].upstream, 3);  // old 5 followed old 4
    EXPECT_FALSE(input.sections[5].upstream);
    EXPECT_TRUE(RemoveSection(input, 9).empty());
    EXPECT_EQ(input.SectionCount(), 5);
}

// A network whose every number is checked below, by hand:
//   source H0 = 150 m; 1 (0 → node 1) 1000 m, ground 120 → 100 m, pipe 0.2 m,
//   2 (1 → 2) 500 m, ground 101 → 130 m (rising, and not starting at 100 m),
//   3 (1 → 3) 800 m, ground 100 → 70 m with no diameter, 4 (3 → 4).
NetworkInput HandNetwork() {
    NetworkInput input = NetworkInput::WithSections(4);
    input.sourceHead = 150;
    auto& s = input.sections;
    s[1] = {true, 0, 1000, 120, 100, 2, 1, 0.2, {LossFormula::Coefficient, 0.0025, 0}};
    s[2] = {true, 1, 500, 101, 130, 1, 3, 0.05, {LossFormula::Coefficient, 0.004, 0}};
    s[3] = {true, 1, 800, 100, 70, 0, 2, 0, {}};
    s[4] = {true, 3, 300, 70, 65, 0.5, 0.5, 0.1, {}};
    return input;
}

TEST(NetworkAnalysis, HandNetworkFlowsHeadsAndChecks) {
    const NetworkInput input = HandNetwork();
    const NetworkResult r = AnalyseNetwork(input);
    // Flows: q_end(4) = 0.5; q_end(3) = 2 + 0.5 + 0.5 = 3; q_end(2) = 3;
    // q_end(1) = 1 + (1 + 3) + (0 + 3) = 8.
    EXPECT_DOUBLE_EQ(r.sections[4].flowEnd, 0.5);
    EXPECT_DOUBLE_EQ(r.sections[3].flowEnd, 3);
    EXPECT_DOUBLE_EQ(r.sections[1].flowEnd, 8);
    EXPECT_DOUBLE_EQ(r.sections[1].flowStart, 10);
    // Section 1: Y_k = (0.0025 · 1000 / 14) · (Q_k / 1000)² / 0.2⁵, Q_k from 10
    // down by 2/14: Σ Q_k² = 14·8² + 2·8·2·(14+…+1)/14 + 4·Σk²/14² = 1113.43…
    double sumSquares = 0;
    for (int k = 1; k <= 14; ++k) {
        const double q = 8 + 2 - (k - 1) * 2.0 / 14;
        sumSquares += q * q;
    }
    const double loss1 = 0.0025 * 1000 / 14 * sumSquares * 1e-6 / std::pow(0.2, 5);
    EXPECT_NEAR(r.sections[1].headLoss, loss1, 1e-12);
    EXPECT_NEAR(r.sections[1].headEnd, 150 - loss1, 1e-12);
    EXPECT_NEAR(r.sections[1].pressureEnd, 50 - loss1, 1e-12);
    EXPECT_DOUBLE_EQ(r.sections[1].staticStart, 30);
    EXPECT_DOUBLE_EQ(r.sections[1].staticEnd, 50);
    EXPECT_NEAR(r.sections[1].gradientPerKm, loss1, 1e-12);  // 1 km long
    EXPECT_NEAR(r.sections[1].velocityStart, 0.010 / (std::numbers::pi * 0.01), 1e-12);
    EXPECT_NEAR(r.sections[1].velocityEnd, (8 + 2.0 / 14) / 1000 / (std::numbers::pi * 0.01),
                1e-12);
    // Section 2 starts at node 1's head; its start pressure uses its own
    // elevation (101 m), which the check points out.
    EXPECT_EQ(r.sections[2].headStart, r.sections[1].headEnd);
    EXPECT_NEAR(r.sections[2].pressureStart, r.sections[1].headEnd - 101, 1e-12);
    EXPECT_EQ(r.sections[3].state, HeadState::NoDiameter);
    EXPECT_EQ(r.sections[4].state, HeadState::UpstreamUnknown);
    EXPECT_EQ(r.sections[4].cause, 3);
    EXPECT_TRUE(r.sections[4].hasLoss);  // its own loss and velocities are still known

    std::map<std::pair<int, CheckKind>, std::string> checks;
    for (const NetworkCheck& c : r.checks) {
        checks[std::pair(c.section, c.kind)] = c.text;
    }
    auto check = [&](int section, CheckKind kind) { return checks[std::pair(section, kind)]; };
    // Section 2: 4 l/s down to 3 + 1/14 in 5 cm over 500 m at B = 0.004 loses
    // 80.54 m: node 2 is left at 150 − 0.65 − 80.54 − 130 = −61.18 m.
    EXPECT_NEAR(r.sections[2].headLoss, 80.53877551020405, 1e-9);
    EXPECT_EQ(check(2, CheckKind::LowPressure),
              "Nodo 2: pressione di -61,18 m, sotto il minimo di 20,00 m.");
    EXPECT_EQ(check(4, CheckKind::HighStaticPressure),
              "Nodo 4: pressione statica di 85,00 m, sopra il massimo di 70,00 m.");
    EXPECT_EQ(check(3, CheckKind::HighStaticPressure),
              "Nodo 3: pressione statica di 80,00 m, sopra il massimo di 70,00 m.");
    EXPECT_EQ(check(2, CheckKind::ElevationMismatch),
              "Tronco 2: la quota iniziale di 101,00 m differisce dalla quota finale di 100,00 m "
              "del tronco 1 da cui continua: controllare le quote.");
    EXPECT_EQ(check(3, CheckKind::NotComputable),
              "Nodo 3: carico non calcolabile: il tronco 3 non ha un diametro con cui calcolare "
              "la perdita di carico.");
    EXPECT_EQ(check(4, CheckKind::NotComputable),
              "Nodo 4: carico non calcolabile: il tronco 3 a monte non ha un diametro con cui "
              "calcolare la perdita di carico.");
    // Section 2 carries 4 l/s at its start in 5 cm: 2.04 m/s; section 4 ends
    // with 0.5 + 0.5/14 l/s in 10 cm: 0.07 m/s.
    EXPECT_EQ(check(2, CheckKind::HighVelocity),
              "Tronco 2: velocità all'inizio di 2,04 m/s, sopra il massimo di 2,00 m/s.");
    EXPECT_EQ(check(4, CheckKind::LowVelocity),
              "Tronco 4: velocità alla fine di 0,07 m/s, sotto il minimo di 0,50 m/s.");
    EXPECT_FALSE(checks.contains(std::pair(1, CheckKind::LowPressure)));
    EXPECT_FALSE(checks.contains(std::pair(1, CheckKind::ElevationMismatch)));

    // Paths to the end nodes 2 and 4: available heads 150 − (130 + 20) = 0 and
    // 150 − (65 + 20) = 65; the path to 2 is the most unfavourable.
    ASSERT_EQ(r.paths.size(), 2u);
    EXPECT_EQ(r.paths[0].sections, (std::vector<int>{1, 2}));
    EXPECT_DOUBLE_EQ(r.paths[0].length, 1500);
    EXPECT_DOUBLE_EQ(r.paths[0].availableHead, 0);
    EXPECT_EQ(r.paths[1].sections, (std::vector<int>{1, 3, 4}));
    EXPECT_DOUBLE_EQ(r.paths[1].availableHead, 65);
    EXPECT_DOUBLE_EQ(*r.paths[1].availablePerMetre, 65.0 / 2100);
    EXPECT_EQ(r.worstPath, 0u);
}

// Seeded random trees: every number the analysis states is tied to its
// neighbours by the rules, whatever the shape.
TEST(NetworkAnalysis, RandomTreesKeepFlowBalanceHeadsAndPressures) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        RandomNetworkShape shape;
        shape.sections = 1 + static_cast<int>(seed * 7 % 120);
        shape.standAloneShare = seed % 3 == 0 ? 0.08 : 0;
        shape.noDiameterShare = seed % 4 == 0 ? 0.05 : 0;
        const NetworkInput input = RandomNetwork(rng, shape);
        const NetworkTree tree = BuildTree(input);
        const NetworkResult r = AnalyseNetwork(input, tree);
        SCOPED_TRACE("seed " + std::to_string(seed));
        ASSERT_TRUE(tree.problems.empty());

        double delivered = 0;  // everything the network draws, along and at nodes
        double leaving = 0;    // what leaves the source into its first sections
        for (int i = 1; i <= input.SectionCount(); ++i) {
            const NetworkSection& s = input.sections[Slot(i)];
            const SectionHydraulics& h = r.sections[Slot(i)];
            if (!s.upstream) {
                EXPECT_EQ(h.state, HeadState::NotInNetwork);
                continue;
            }
            // The flow leaving node i: its own demand plus what enters every
            // section continuing from it.
            double expected = s.nodeDemand;
            for (const int c : tree.children[Slot(i)]) {
                expected += input.sections[Slot(c)].flowAlong + r.sections[Slot(c)].flowEnd;
            }
            EXPECT_NEAR(h.flowEnd, expected, 1e-9);
            EXPECT_NEAR(h.flowStart, h.flowEnd + s.flowAlong, 1e-12);
            if (tree.inNetwork[Slot(i)]) {
                delivered += s.nodeDemand + s.flowAlong;
                if (*s.upstream == 0) {
                    leaving += h.flowStart;
                }
                EXPECT_EQ(h.staticEnd, input.sourceHead - s.zEnd);
            }
            for (double v : {h.headLoss, h.headStart, h.headEnd, h.pressureEnd, h.velocityStart,
                             h.velocityEnd, h.flowEnd}) {
                EXPECT_TRUE(std::isfinite(v));
            }
            if (h.state == HeadState::Computed) {
                const int p = *s.upstream;
                EXPECT_EQ(h.headStart, r.sections[Slot(p)].headEnd);
                EXPECT_EQ(h.headEnd, h.headStart - h.headLoss);
                EXPECT_EQ(h.headLoss,
                          *SectionHeadLoss(s.loss, s.length, h.flowEnd, s.flowAlong, s.diameter));
                EXPECT_EQ(h.pressureEnd, h.headEnd - s.zEnd);
                EXPECT_EQ(h.pressureStart, h.headStart - s.zStart);
            }
            if (h.state == HeadState::NoDiameter) {
                for (const int d : Downstream(input, i)) {
                    EXPECT_NE(r.sections[Slot(d)].state, HeadState::Computed) << d;
                }
            }
        }
        EXPECT_NEAR(leaving, delivered, 1e-9 * (1 + delivered));

        // Every end node reached from the source has exactly one path, which
        // runs link by link from the source; the worst is the smallest.
        std::set<int> ends;
        for (const NetworkPath& path : r.paths) {
            ends.insert(path.endNode);
            EXPECT_EQ(path.sections.back(), path.endNode);
            EXPECT_EQ(input.sections[Slot(path.sections.front())].upstream, 0);
            for (std::size_t k = 1; k < path.sections.size(); ++k) {
                EXPECT_EQ(input.sections[Slot(path.sections[k])].upstream, path.sections[k - 1]);
            }
            EXPECT_TRUE(tree.children[Slot(path.endNode)].empty());
            ASSERT_TRUE(r.worstPath);
            EXPECT_LE(*r.paths[*r.worstPath].availablePerMetre, *path.availablePerMetre);
        }
        std::size_t leaves = 0;
        for (const int i : tree.order) {
            leaves += tree.children[Slot(i)].empty() ? 1 : 0;
        }
        EXPECT_EQ(ends.size(), leaves);
    }
}

// A section with no link changes nothing in the network, whatever it carries.
TEST(NetworkAnalysis, StandAloneSectionsAreIgnored) {
    std::mt19937 rng(99);
    NetworkInput input = RandomNetwork(rng, {30, 0.2, 0, 0, 60});
    const NetworkResult before = AnalyseNetwork(input);
    NetworkInput more = input;
    more.sections.push_back(Plain(std::nullopt));  // a stand-alone section 31
    more.sections.back().nodeDemand = 50;
    const NetworkResult after = AnalyseNetwork(more);
    for (int i = 1; i <= 30; ++i) {
        EXPECT_EQ(after.sections[Slot(i)].headEnd, before.sections[Slot(i)].headEnd);
        EXPECT_EQ(after.sections[Slot(i)].flowEnd, before.sections[Slot(i)].flowEnd);
    }
    EXPECT_EQ(after.sections[31].state, HeadState::NotInNetwork);
    EXPECT_EQ(after.checks.size(), before.checks.size());
}

}  // namespace
}  // namespace acquenza

namespace acquenza {
namespace {

bool SameResult(const NetworkResult& a, const NetworkResult& b) {
    if (a.sections.size() != b.sections.size() || a.checks.size() != b.checks.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.sections.size(); ++i) {
        const SectionHydraulics& x = a.sections[i];
        const SectionHydraulics& y = b.sections[i];
        if (x.state != y.state || x.headEnd != y.headEnd || x.headLoss != y.headLoss ||
            x.flowEnd != y.flowEnd || x.pressureEnd != y.pressureEnd ||
            x.velocityStart != y.velocityStart) {
            return false;
        }
    }
    for (std::size_t k = 0; k < a.checks.size(); ++k) {
        if (a.checks[k].text != b.checks[k].text) {
            return false;
        }
    }
    return true;
}

// Seeded sequences of edits, as a user makes them: after each one the
// analysis that keeps the losses of unchanged sections is the analysis made
// afresh, bit for bit.
TEST(NetworkAnalysis, KeptLossesGiveTheFreshAnalysisAfterAnyEdits) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        std::mt19937 rng(seed);
        NetworkInput input = RandomNetwork(rng, {60, 0.2, 0.05, 0.03, 60, 1});
        LossMemo memo;
        auto pick = [&] { return std::uniform_int_distribution<>(1, input.SectionCount())(rng); };
        auto uniform = [&](double a, double b) {
            return std::uniform_real_distribution<>(a, b)(rng);
        };
        for (int step = 0; step < 150; ++step) {
            NetworkSection& s = input.sections[Slot(pick())];
            switch (std::uniform_int_distribution<>(0, 6)(rng)) {
                case 0:
                    s.nodeDemand = uniform(0, 5);
                    break;
                case 1:
                    s.flowAlong = uniform(0, 3);
                    break;
                case 2:
                    s.diameter = uniform(0, 1) < 0.1 ? 0 : uniform(0.05, 0.4);
                    break;
                case 3:
                    s.length = uniform(10, 900);
                    break;
                case 4:
                    s.loss.formula = s.loss.formula == LossFormula::Coefficient
                                         ? LossFormula::DarcyWeisbach
                                         : LossFormula::Coefficient;
                    break;
                case 5: {  // a new link, when it is accepted
                    const int section = static_cast<int>(&s - input.sections.data());
                    const int upstream = std::uniform_int_distribution<>(0, 60)(rng);
                    if (!CheckLink(input, section, upstream)) {
                        s.upstream = upstream;
                    }
                    break;
                }
                case 6:
                    s.zEnd += uniform(-3, 3);
                    break;
            }
            const NetworkTree tree = BuildTree(input);
            ASSERT_TRUE(tree.problems.empty());
            ASSERT_TRUE(SameResult(AnalyseNetwork(input, tree, &memo), AnalyseNetwork(input, tree)))
                << "seed " << seed << " step " << step;
        }
    }
}

}  // namespace
}  // namespace acquenza

namespace acquenza {
namespace {

bool AllFinite(const SectionHydraulics& h) {
    for (const double v :
         {h.flowEnd, h.flowStart, h.headLoss, h.gradientPerKm, h.velocityStart, h.velocityEnd,
          h.headStart, h.headEnd, h.pressureStart, h.pressureEnd, h.staticStart, h.staticEnd}) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

// A typed "1e999" reads as infinity: no figure derived from it may come out
// as a number, and the nodes say why they have none.
TEST(NetworkAnalysis, FiguresThatAreNoNumbersGiveNoNumbers) {
    struct Case {
        const char* what;
        void (*spoil)(NetworkInput&);
        const char* node4;  // the reason node 4 gives
    };
    const Case cases[] = {
        {"length", [](NetworkInput& in) { in.sections[3].length = INFINITY; },
         "Nodo 4: carico non calcolabile: il tronco 3 a monte ha lunghezza, quote o portate che "
         "non sono numeri utilizzabili."},
        {"elevation", [](NetworkInput& in) { in.sections[3].zEnd = -INFINITY; },
         "Nodo 4: carico non calcolabile: il tronco 3 a monte ha lunghezza, quote o portate che "
         "non sono numeri utilizzabili."},
        {"demand", [](NetworkInput& in) { in.sections[4].nodeDemand = INFINITY; },
         "Nodo 4: carico non calcolabile: il tronco 4 ha lunghezza, quote o portate che non sono "
         "numeri utilizzabili."},
        {"flow along", [](NetworkInput& in) { in.sections[4].flowAlong = NAN; },
         "Nodo 4: carico non calcolabile: il tronco 4 ha lunghezza, quote o portate che non sono "
         "numeri utilizzabili."},
        {"source", [](NetworkInput& in) { in.sourceHead = INFINITY; },
         "Nodo 4: carico non calcolabile: la quota piezometrica della sorgente non è un numero "
         "utilizzabile."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NetworkInput input = HandNetwork();
        input.sections[3].diameter = 0.1;
        c.spoil(input);
        const NetworkResult r = AnalyseNetwork(input);
        for (const SectionHydraulics& h : r.sections) {
            EXPECT_TRUE(AllFinite(h));
        }
        for (const NetworkPath& p : r.paths) {
            EXPECT_TRUE(std::isfinite(p.availableHead) && std::isfinite(p.length));
        }
        std::string said;
        for (const NetworkCheck& check : r.checks) {
            if (check.section == 4 && check.kind == CheckKind::NotComputable) {
                said = check.text;
            }
        }
        EXPECT_EQ(said, c.node4);
    }
}

}  // namespace
}  // namespace acquenza
