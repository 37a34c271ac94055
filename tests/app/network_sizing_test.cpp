// "Dimensiona la rete" on whole projects: seeded random trees with rising
// sections and heads from tight to generous. Every node that had head to
// spare keeps the minimum pressure, the sizes written are the sizing's, one
// undo gives back the project exactly, and what cannot be sized is named
// with the head it misses while the rest is sized.

#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/fakes.h"
#include "app/network_model.h"
#include "app/network_sizing_commands.h"
#include "app/network_window_commands.h"
#include "app/undo_commands.h"
#include "archive/atomic_file.h"
#include "archive/project_file.h"
#include "core/numbers.h"
#include "core/project_network.h"
#include "core/section_calculation.h"

namespace acquenza {
namespace {

class Sizing : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
        const CatalogueParse pe = ReadCatalogueFile(std::filesystem::path(ACQUENZA_RESOURCES_DIR) /
                                                    "tubazioni" / "pe100-sdr11-pn16.txt");
        ASSERT_TRUE(pe.series) << (pe.errors.empty() ? "" : pe.errors.front());
        series = *pe.series;
    }

    // A tree of `count` sections falling and (a fifth of them) rising, fed
    // by a source `margin` metres above the first section's start.
    void MakeTree(unsigned seed, int count, double margin) {
        std::mt19937 rng(seed);
        auto uniform = [&](double a, double b) {
            return std::uniform_real_distribution<>(a, b)(rng);
        };
        auto round2 = [](double x) { return std::round(x * 100) / 100; };
        state.project = Project();
        SectionTable& t = state.project.sections;
        std::vector<double> zEnd(static_cast<std::size_t>(count + 1), 300);
        for (int s = 1; s <= count; ++s) {
            const int from = s == 1 ? 0 : std::uniform_int_distribution<>(0, s - 1)(rng);
            const double zStart = from == 0 ? 300 : zEnd[static_cast<std::size_t>(from)];
            zEnd[static_cast<std::size_t>(s)] =
                round2(zStart + (uniform(0, 1) < 0.2 ? uniform(0.5, 4) : -uniform(0.5, 8)));
            t.Set(s, Field::lungh, FieldValue::Number(round2(uniform(50, 400))));
            t.Set(s, Field::quotain, FieldValue::Number(zStart));
            t.Set(s, Field::quotafin, FieldValue::Number(zEnd[static_cast<std::size_t>(s)]));
            t.Set(s, Field::portun, FieldValue::Number(round2(uniform(0, 1.5))));
            t.Set(s, Field::portfin, FieldValue::Number(round2(uniform(0.1, 2))));
            t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
            if (from > 0) {
                KeepEndFlowAsDelivery(state.project, from);
            }
            t.Set(s, LinkField, UpstreamValue(t, from));
        }
        state.project.network.sourceHead = NumberText(300 + margin);
        CountEnteredSections(state.project);
        SettleNetwork(state.project);
        for (int s = 1; s <= count; ++s) {
            SettleSection(state.project, s);
        }
        state.history.Clear();
    }

    std::vector<SectionRecord> Records() const {
        std::vector<SectionRecord> all;
        for (int s = 1; s <= MaxSections; ++s) {
            all.push_back(state.project.sections.Record(s));
        }
        return all;
    }

    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::FakeWindows windows{state, dialogs};
    UndoCommands undo{state, windows};
    PipeSeries series;
};

TEST_F(Sizing, NodesWithHeadToSpareKeepTheMinimumAndUndoGivesTheProjectBack) {
    const NetworkLimits office = OfficeLimits(state.settings);
    for (const unsigned seed : {1u, 2u, 3u, 4u, 5u, 6u}) {
        // From tight (some nodes cannot be served) to generous.
        const double margin = 15 + 10 * (seed % 4);
        MakeTree(seed, 40, margin);
        const std::vector<SectionRecord> before = Records();
        const NetworkSettings settingsBefore = state.project.network;
        const bool withSeries = seed % 2 == 0;
        const NetworkSizingOutcome outcome =
            SizeProjectNetwork(state, withSeries ? &series : nullptr, false);
        ASSERT_TRUE(outcome.done) << outcome.message;
        EXPECT_EQ(state.project.network.sizingMethod, "percorso");
        int changed = 0;
        const std::vector<SectionRecord> sized = Records();
        for (int s = 0; s < 40; ++s) {
            changed += !(sized[static_cast<std::size_t>(s)].fields ==
                         before[static_cast<std::size_t>(s)].fields);
        }
        EXPECT_GT(changed, 20) << seed << ": " << outcome.message;

        // What was written is the sizing's.
        const SectionTable& t = state.project.sections;
        for (int s = 1; s <= 40; ++s) {
            const SectionSizing& z = outcome.sizing.sections[static_cast<std::size_t>(s)];
            if (!z.sized || !(z.theoreticalDiameter > 0)) {
                continue;
            }
            EXPECT_NEAR(NumericValue(t.Get(s, NetworkDiameterField), FieldKind::Number),
                        z.theoreticalDiameter * 1000, 1e-6)
                << seed << " section " << s;
            EXPECT_EQ(t.Get(s, PipeSizeField).DisplayText(),
                      withSeries && z.pipe ? series.sizes[*z.pipe].label : "")
                << seed << " section " << s;
        }
        // Without pipes the network's diameters are what the project's
        // analysis uses: every node whose ground and minimum pressure were
        // below the source's head has at least the minimum pressure.
        if (!withSeries) {
            const NetworkInput input = NetworkInputOf(state.project, office);
            const NetworkResult result = AnalyseNetwork(input);
            int checked = 0;
            for (int s = 1; s <= 40; ++s) {
                const NetworkSection& n = input.sections[static_cast<std::size_t>(s)];
                const SectionSizing& z = outcome.sizing.sections[static_cast<std::size_t>(s)];
                const SectionHydraulics& h = result.sections[static_cast<std::size_t>(s)];
                if (!z.sized || h.state != HeadState::Computed ||
                    input.sourceHead - n.zEnd - office.minimumPressure <= 0) {
                    continue;
                }
                EXPECT_GE(h.pressureEnd, office.minimumPressure - 1e-6) << seed << " node " << s;
                ++checked;
            }
            EXPECT_GT(checked, 0) << seed;
        }
        // Every problem names its section or node and the metres missing.
        for (const SizingProblem& problem : outcome.sizing.problems) {
            EXPECT_NE(outcome.message.find(problem.text), std::string::npos);
            EXPECT_NE(problem.text.find(std::to_string(problem.section)), std::string::npos);
        }

        undo.Undo();
        const std::vector<SectionRecord> after = Records();
        for (int s = 0; s < MaxSections; ++s) {
            ASSERT_EQ(after[static_cast<std::size_t>(s)].fields,
                      before[static_cast<std::size_t>(s)].fields)
                << seed << " section " << s + 1;
        }
        EXPECT_EQ(state.project.network, settingsBefore) << seed;
    }
}

TEST_F(Sizing, RisingBranchIsSizedWhereTheSectionAloneCannotBe) {
    // Source at 400 m; section 1 falls from 360 to 340, section 2 rises
    // from there to 350: alone it has no drop to size against.
    state.project = Project();
    SectionTable& t = state.project.sections;
    const double figures[2][4] = {{500, 360, 340, 0.5}, {300, 340, 350, 0.5}};
    for (int s = 1; s <= 2; ++s) {
        t.Set(s, Field::lungh, FieldValue::Number(figures[s - 1][0]));
        t.Set(s, Field::quotain, FieldValue::Number(figures[s - 1][1]));
        t.Set(s, Field::quotafin, FieldValue::Number(figures[s - 1][2]));
        t.Set(s, Field::portun, FieldValue::Number(figures[s - 1][3]));
        t.Set(s, Field::portfin, FieldValue::Number(3));
        t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
    }
    KeepEndFlowAsDelivery(state.project, 1);
    t.Set(1, LinkField, UpstreamValue(t, 0));
    t.Set(2, LinkField, UpstreamValue(t, 1));
    state.project.network.sourceHead = "400";
    CountEnteredSections(state.project);
    SettleNetwork(state.project);
    SettleSection(state.project, 1);
    SettleSection(state.project, 2);
    EXPECT_FALSE(t.Get(2, Field::dia).IsNumber() && t.Get(2, Field::dia).NumberValue() > 0);

    const NetworkSizingOutcome outcome = SizeProjectNetwork(state, &series, false);
    ASSERT_TRUE(outcome.done);
    EXPECT_TRUE(outcome.sizing.problems.empty()) << outcome.message;
    EXPECT_GT(NumericValue(t.Get(2, NetworkDiameterField), FieldKind::Number), 0);
    EXPECT_FALSE(t.Get(2, PipeSizeField).DisplayText().empty());
    const NetworkResult result = AnalyseNetwork(NetworkInputOf(state.project, NetworkLimits{}));
    EXPECT_GE(result.sections[2].pressureEnd, 20 - 1e-6);
    std::printf("%s\n", outcome.message.c_str());

    // A node above what the source can serve is named with the head it
    // misses, and the rest is still sized.
    t.Set(2, Field::quotafin, FieldValue::Number(385));
    state.history.Clear();
    const NetworkSizingOutcome high = SizeProjectNetwork(state, &series, false);
    ASSERT_TRUE(high.done);
    EXPECT_NE(high.message.find("Nodo 2"), std::string::npos) << high.message;
    EXPECT_NE(high.message.find("5,00 m"), std::string::npos) << high.message;
    EXPECT_TRUE(high.sizing.sections[1].sized);
}

TEST_F(Sizing, NothingToSizeLeavesTheProjectAlone) {
    MakeTree(8, 5, 30);
    state.project.network.sourceHead.clear();
    const std::vector<SectionRecord> before = Records();
    const NetworkSizingOutcome headless = SizeProjectNetwork(state, &series, false);
    EXPECT_FALSE(headless.done);
    EXPECT_NE(headless.message.find("carico alla sorgente"), std::string::npos);
    EXPECT_FALSE(state.history.CanUndo());
    EXPECT_EQ(Records()[0].fields, before[0].fields);

    state.project = Project();
    state.project.sections.Set(1, Field::lungh, FieldValue::Number(100));
    CountEnteredSections(state.project);
    const NetworkSizingOutcome none = SizeProjectNetwork(state, &series, true);
    EXPECT_FALSE(none.done);
    EXPECT_NE(none.message.find("non ha una rete"), std::string::npos);
    EXPECT_TRUE(state.project.network.Empty());
    EXPECT_TRUE(SizingReportLines(state.project, NetworkLimits{}).empty());
}

TEST_F(Sizing, LeastCostNeverCostsMoreAndTheReportStatesTheMethod) {
    MakeTree(11, 60, 45);
    const NetworkSizingOutcome outcome = SizeProjectNetwork(state, &series, true);
    ASSERT_TRUE(outcome.done) << outcome.message;
    ASSERT_TRUE(outcome.sizing.costBefore && outcome.sizing.costAfter);
    EXPECT_LE(outcome.sizing.costAfter->value, outcome.sizing.costBefore->value);
    EXPECT_EQ(state.project.network.sizingMethod, "percorso e costo");
    EXPECT_NE(outcome.message.find("dopo la riduzione"), std::string::npos);
    const std::vector<std::string> lines = SizingReportLines(state.project, NetworkLimits{});
    ASSERT_GE(lines.size(), 2u);
    EXPECT_NE(lines[0].find("con riduzione del costo"), std::string::npos);
    EXPECT_NE(lines[1].find("Percorso fino al nodo"), std::string::npos);
    EXPECT_NE(lines[1].find("m/km"), std::string::npos);
}

TEST_F(Sizing, FiveHundredSectionsInTime) {
    MakeTree(21, 500, 60);
    auto time = [&](bool leastCost) {
        state.history.Clear();
        const auto start = std::chrono::steady_clock::now();
        const NetworkSizingOutcome outcome = SizeProjectNetwork(state, &series, leastCost);
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        EXPECT_TRUE(outcome.done);
        int sized = 0;
        for (const SectionSizing& z : outcome.sizing.sections) {
            sized += z.sized;
        }
        EXPECT_GT(sized, 400);
        return ms;
    };
    const double paths = time(false);
    const double leastCost = time(true);
    std::printf("500 sections: path method %.1f ms, with the cost reduced %.1f ms\n", paths,
                leastCost);
    // Generous against a loaded build machine: ten times the budgets.
    EXPECT_LT(paths, 1000);
    EXPECT_LT(leastCost, 20000);
}

// The window's commands: export to a named .inp (stand-alone sections said),
// import into a new data file that reads back as the network, sizing with
// its message; a cancelled dialog writes nothing.
TEST_F(Sizing, WindowCommandsExportImportAndSize) {
    namespace fs = std::filesystem;
    const fs::path folder =
        fs::temp_directory_path() / ("acquenza-rete-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    MakeTree(31, 12, 40);
    state.project.sections.Set(13, Field::lungh, FieldValue::Number(80));  // stand-alone
    CountEnteredSections(state.project);
    NetworkWindowCommands commands(state, dialogs, fs::path(ACQUENZA_RESOURCES_DIR) / "tubazioni");
    // A rising section has no diameter of its own: the network's sizing gives it one.
    ASSERT_TRUE(commands.SizeNetwork(false));
    EXPECT_NE(dialogs.LastText().find("soli diametri teorici"), std::string::npos);

    dialogs.files = {std::nullopt};
    EXPECT_FALSE(commands.ExportEpanet("Poggio"));
    ASSERT_FALSE(dialogs.fileDialogs.empty()) << dialogs.LastText();
    EXPECT_EQ(dialogs.fileDialogs.back().initialName, "rete-Poggio.inp");
    dialogs.files = {(folder / "rete").string()};
    ASSERT_TRUE(commands.ExportEpanet("Poggio"));
    EXPECT_TRUE(fs::exists(folder / "rete.inp"));
    EXPECT_NE(dialogs.LastText().find("lasciato fuori: 13"), std::string::npos)
        << dialogs.LastText();

    dialogs.files = {(folder / "rete.inp").string(), (folder / "Acquenza-dati-rete").string()};
    ASSERT_EQ(commands.ImportEpanet(), (folder / "Acquenza-dati-rete").string())
        << dialogs.LastText();
    Project back;
    ASSERT_TRUE(ReadProjectFile(folder / "Acquenza-dati-rete", back).complete);
    EXPECT_EQ(back.enteredSectionCount, 12);
    EXPECT_TRUE(HasNetwork(back));
    EXPECT_EQ(back.network.sourceHead, state.project.network.sourceHead);

    ASSERT_TRUE(fs::exists(folder / "rete.inp"));
    std::string text;
    ASSERT_TRUE(ReadWholeFile(folder / "rete.inp", 1u << 24, text).ok);
    const std::size_t at = text.find("[PIPES]");
    text.insert(at, "[PUMPS]\nP1 SORGENTE N1 HEAD 1\n");
    ASSERT_TRUE(WriteFileAtomically(folder / "pompa.inp", text).ok);
    dialogs.files = {(folder / "pompa.inp").string()};
    EXPECT_EQ(commands.ImportEpanet(), "");
    EXPECT_NE(dialogs.LastText().find("Importazione non eseguita"), std::string::npos);

    state.project.network.series = "PE100 SDR11 PN16";
    state.history.Clear();
    EXPECT_TRUE(commands.SizeNetwork(false));
    EXPECT_NE(dialogs.LastText().find("«PE100 SDR11 PN16»"), std::string::npos)
        << dialogs.LastText();
    EXPECT_FALSE(state.project.sections.Get(1, PipeSizeField).DisplayText().empty());
    EXPECT_TRUE(state.history.CanUndo());
    fs::remove_all(folder);
}

}  // namespace
}  // namespace acquenza
