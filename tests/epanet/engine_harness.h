#pragma once

// Runs the EPANET 2.2 engine (epanet-js, WebAssembly, under Node.js) on an
// .inp text and hands back its steady-state results, for tests that check
// our hydraulics against it. The engine lives in this folder's
// node_modules, installed by `npm ci` (scripts/test.sh does it).

#include <cstdlib>
#include <map>
#include <string>

namespace acquenza::epanet_test {

struct EngineNode {
    int type = 0;  // 0 junction, 1 reservoir, 2 tank
    double elevation = 0;
    double demand = 0;    // flow units of the file
    double head = 0;      // m for metric files
    double pressure = 0;  // in the file's pressure units
};

struct EngineLink {
    std::string node1;
    std::string node2;
    double flow = 0;  // from node1 to node2, flow units of the file
    double velocity = 0;
    double headloss = 0;  // whole pipe
};

struct EngineSolution {
    int engineVersion = 0;  // 20200 for EPANET 2.2
    std::map<std::string, EngineNode> nodes;
    std::map<std::string, EngineLink> links;
};

struct EngineRun {
    bool ok = false;
    EngineSolution solution;
    std::string error;  // what node or the engine said
};

// Empty when node and the engine module are there; otherwise why not.
std::string EngineUnavailableReason();

// Writes `inpText` to a fresh temporary folder (kept only on failure, for a
// look), solves one period with the engine and parses its JSON.
EngineRun SolveWithEngine(const std::string& inpText, const std::string& name);

}  // namespace acquenza::epanet_test

// Skips the test when the engine is missing, except under CI, where a
// missing engine is a broken installation and fails the test.
#define ACQUENZA_REQUIRE_EPANET_ENGINE()                                             \
    do {                                                                             \
        const std::string why_ = ::acquenza::epanet_test::EngineUnavailableReason(); \
        if (!why_.empty()) {                                                         \
            if (std::getenv("CI") != nullptr) {                                      \
                FAIL() << "EPANET engine missing under CI: " << why_;                \
            }                                                                        \
            GTEST_SKIP() << "EPANET engine not installed: " << why_                  \
                         << " (run `npm ci` in tests/epanet)";                       \
        }                                                                            \
    } while (false)
