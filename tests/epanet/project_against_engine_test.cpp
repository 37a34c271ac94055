// Projects exported for EPANET as the --epanet command writes them: the
// engine must give every node the pressure our own Darcy-Weisbach heads
// give for the same network, within 0.05 m or 0.5 %, and every section's
// flow within 0.01 l/s; the file must read back into a project that is
// written out again byte for byte; and what EPANET cannot read (a decimal
// comma, a byte-order mark) must never be in it.

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <random>
#include <string>

#include "archive/project_file.h"
#include "core/numbers.h"
#include "core/project_network.h"
#include "core/section_calculation.h"
#include "engine_harness.h"
#include "interchange/branched_export.h"
#include "interchange/project_exchange.h"

namespace acquenza::interchange {
namespace {

const NetworkLimits Office;

void Link(Project& project, int section, int upstream) {
    if (upstream > 0) {
        KeepEndFlowAsDelivery(project, upstream);
    }
    project.sections.Set(section, LinkField, UpstreamValue(project.sections, upstream));
}

void Settle(Project& project) {
    CountEnteredSections(project);
    SettleNetwork(project);
    for (int s = 1; s <= project.enteredSectionCount; ++s) {
        SettleSection(project, s);
    }
}

// The shipped example, its sections linked where one starts at the
// elevation another ends at (its sections are drawn that way), fed by a
// source 45 m above its first section.
Project LinkedExample() {
    Project project;
    const ReadOutcome read = ReadProjectFile(ACQUENZA_EXAMPLE_PROJECT, project);
    EXPECT_TRUE(read.complete) << read.message;
    const SectionTable& t = project.sections;
    for (int s = 1; s <= project.enteredSectionCount; ++s) {
        int upstream = 0;
        for (int k = 1; k < s; ++k) {
            if (NumericValue(t, k, Field::quotafin) == NumericValue(t, s, Field::quotain)) {
                upstream = k;
            }
        }
        Link(project, s, upstream);
    }
    project.network.sourceHead = NumberText(NumericValue(t, 1, Field::quotain) + 45);
    Settle(project);
    return project;
}

// A random tree of sections as an engineer types them, some rising, with
// some stand-alone sections among them; every linked section carries the
// network's diameter (as after sizing the network), since a rising section
// has none of its own.
Project RandomProject(unsigned seed, int sections, double standAloneShare = 0.05) {
    std::mt19937 rng(seed);
    auto uniform = [&](double a, double b) { return std::uniform_real_distribution<>(a, b)(rng); };
    auto round2 = [](double x) { return std::round(x * 100) / 100; };
    Project project;
    SectionTable& t = project.sections;
    std::vector<double> zEnd(static_cast<std::size_t>(sections + 1), 300);
    for (int s = 1; s <= sections; ++s) {
        const bool alone = s > 1 && uniform(0, 1) < standAloneShare;
        const int from = s == 1 ? 0 : std::uniform_int_distribution<>(0, s - 1)(rng);
        const double zStart = from == 0 ? 300 : zEnd[static_cast<std::size_t>(from)];
        zEnd[static_cast<std::size_t>(s)] =
            round2(zStart + (uniform(0, 1) < 0.2 ? uniform(0.5, 4) : -uniform(0.5, 6)));
        t.Set(s, Field::lungh, FieldValue::Text(NumberText(round2(uniform(50, 400)))));
        t.Set(s, Field::quotain, FieldValue::Number(zStart));
        t.Set(s, Field::quotafin, FieldValue::Number(zEnd[static_cast<std::size_t>(s)]));
        t.Set(s, Field::portun,
              FieldValue::Text(
                  DotToComma(NumberText(round2(uniform(0, 1) < 0.3 ? 0 : uniform(0, 1.5))))));
        t.Set(s, Field::portfin, FieldValue::Text(DotToComma(NumberText(round2(uniform(0.1, 2))))));
        t.Set(s, Field::tipoc, FieldValue::Text(uniform(0, 1) < 0.5 ? "nuova" : "in uso"));
        if (!alone) {
            Link(project, s, from);
        }
    }
    project.network.sourceHead = "360";
    Settle(project);
    // Diameters from the flows now summed: 0.4 to 0.9 m/s, never under 60 mm.
    const NetworkInput input = NetworkInputOf(project, Office);
    const std::vector<double> flowEnd = SumFlows(input, BuildTree(input));
    for (int s = 1; s <= sections; ++s) {
        const double q = (flowEnd[static_cast<std::size_t>(s)] +
                          input.sections[static_cast<std::size_t>(s)].flowAlong) /
                         1000;
        const double mm = std::max(60.0, 1000 * std::sqrt(4 * q / (3.14159 * uniform(0.4, 0.9))));
        t.Set(s, NetworkDiameterField, FieldValue::Number(std::round(mm * 10) / 10));
    }
    return project;
}

void ExpectEngineAgrees(const Project& project, const std::string& name,
                        std::optional<double> roughness = std::nullopt) {
    const ProjectInpExport file = ExportProjectToEpanet(project, Office, roughness);
    ASSERT_TRUE(file.ok) << file.error;
    const NetworkInput input = EpanetInputOf(project, Office, roughness);
    const NetworkResult ours = AnalyseNetwork(input);
    const epanet_test::EngineRun run = epanet_test::SolveWithEngine(file.text, name);
    ASSERT_TRUE(run.ok) << run.error;
    int compared = 0;
    double worst = 0;
    for (int i = 1; i <= input.SectionCount(); ++i) {
        const SectionHydraulics& h = ours.sections[static_cast<std::size_t>(i)];
        if (h.state != HeadState::Computed) {
            continue;
        }
        const auto node = run.solution.nodes.find(EndNodeId(std::to_string(i)));
        ASSERT_NE(node, run.solution.nodes.end()) << name << " node " << i;
        const double tolerance = std::max(0.05, 0.005 * std::abs(h.pressureEnd));
        EXPECT_NEAR(node->second.pressure, h.pressureEnd, tolerance) << name << " node " << i;
        const auto pipe = run.solution.links.find(SectionPipeId(std::to_string(i), 1));
        ASSERT_NE(pipe, run.solution.links.end()) << name << " section " << i;
        EXPECT_NEAR(pipe->second.flow, h.flowStart, 0.01) << name << " section " << i;
        worst = std::max(worst, std::abs(node->second.pressure - h.pressureEnd) / tolerance);
        ++compared;
    }
    EXPECT_EQ(compared, static_cast<int>(BuildTree(input).order.size())) << name;
    std::printf("%s: %d nodes, worst difference %.0f %% of the tolerance\n", name.c_str(), compared,
                100 * worst);
}

TEST(ProjectAgainstEngine, ExampleAndRandomProjects) {
    ACQUENZA_REQUIRE_EPANET_ENGINE();
    ExpectEngineAgrees(LinkedExample(), "esempio");
    ExpectEngineAgrees(LinkedExample(), "esempio-pe", 0.01);
    ExpectEngineAgrees(RandomProject(5, 30), "progetto-30");
    ExpectEngineAgrees(RandomProject(6, 500), "progetto-500");
    ExpectEngineAgrees(RandomProject(7, 500), "progetto-500-pe", 0.01);
}

// The example's pressures side by side, ours and the engine's, for a look.
TEST(ProjectAgainstEngine, ExamplePressuresSideBySide) {
    ACQUENZA_REQUIRE_EPANET_ENGINE();
    const Project project = LinkedExample();
    const ProjectInpExport file = ExportProjectToEpanet(project, Office, std::nullopt);
    ASSERT_TRUE(file.ok) << file.error;
    const NetworkResult ours = AnalyseNetwork(EpanetInputOf(project, Office, std::nullopt));
    const epanet_test::EngineRun run = epanet_test::SolveWithEngine(file.text, "esempio-nodi");
    ASSERT_TRUE(run.ok) << run.error;
    std::printf("nodo  pressione Acquenza (m)  pressione EPANET (m)\n");
    for (int i = 1; i <= project.enteredSectionCount; ++i) {
        const double engine = run.solution.nodes.at(EndNodeId(std::to_string(i))).pressure;
        std::printf("%4d  %22.3f  %20.3f\n", i,
                    ours.sections[static_cast<std::size_t>(i)].pressureEnd, engine);
    }
}

TEST(ProjectExchange, ExportImportExportGivesTheSameFile) {
    for (const auto& [name, project] : {std::pair<std::string, Project>{"esempio", LinkedExample()},
                                        {"progetto-200", RandomProject(9, 200, 0)}}) {
        const ProjectInpExport first = ExportProjectToEpanet(project, Office, std::nullopt);
        ASSERT_TRUE(first.ok) << first.error;
        const ProjectInpImport imported = ImportProjectFromEpanet(first.text, {});
        ASSERT_TRUE(imported.ok) << imported.error;
        // Through the data file, as the command line goes.
        std::string bytes;
        ASSERT_TRUE(EncodeProjectFile(imported.project, bytes).ok) << name;
        const ProjectInpExport second =
            ExportProjectToEpanet(imported.project, Office, std::nullopt);
        ASSERT_TRUE(second.ok) << second.error;
        // The stand-alone sections are not in the file, so not in the import.
        EXPECT_TRUE(first.leftOut.empty());
        const auto differ = std::mismatch(first.text.begin(), first.text.end(), second.text.begin(),
                                          second.text.end());
        EXPECT_TRUE(differ.first == first.text.end() && differ.second == second.text.end())
            << name << ": the files part at byte " << differ.first - first.text.begin() << ": «"
            << std::string(differ.first, std::min(differ.first + 60, first.text.end())) << "»";
    }
}

TEST(ProjectExchange, ImportedProjectHoldsTheNetwork) {
    const Project project = RandomProject(3, 12);
    const ProjectInpExport file = ExportProjectToEpanet(project, Office, std::nullopt);
    ASSERT_TRUE(file.ok) << file.error;
    // A series whose sizes hold two of the diameters, and one holding none.
    PipeSeries series;
    series.name = "Prova PN16";
    const NetworkInput before = NetworkInputOf(project, Office);
    const NetworkTree tree = BuildTree(before);
    for (const int s : {tree.order[0], tree.order[1]}) {
        PipeSize size;
        size.label = "DN" + std::to_string(s);
        size.internalMm = before.sections[static_cast<std::size_t>(s)].diameter * 1000;
        series.sizes.push_back(size);
    }
    PipeSeries other;
    other.name = "Altra";
    other.sizes.push_back(PipeSize{"1", 1.0, {}, {}, {}, {}, 0, {}});
    const ProjectInpImport imported = ImportProjectFromEpanet(file.text, {other, series});
    ASSERT_TRUE(imported.ok) << imported.error;
    int holding = 0;
    for (int s = 1; s <= before.SectionCount(); ++s) {
        const double mm = before.sections[static_cast<std::size_t>(s)].diameter * 1000;
        holding += tree.inNetwork[static_cast<std::size_t>(s)] &&
                   (mm == series.sizes[0].internalMm || mm == series.sizes[1].internalMm);
    }
    EXPECT_EQ(imported.matchedSizes, holding);
    EXPECT_EQ(imported.project.network.series, "Prova PN16");
    EXPECT_EQ(imported.project.network.sourceHead, project.network.sourceHead);
    const NetworkInput after = NetworkInputOf(imported.project, Office);
    const NetworkTree back = BuildTree(after);
    ASSERT_EQ(back.order.size(), tree.order.size());
    // Sections come in the order of the file: the project's numbers of the
    // sections in the network, ascending.
    std::vector<int> numbers;
    for (int s = 1; s <= before.SectionCount(); ++s) {
        if (tree.inNetwork[static_cast<std::size_t>(s)]) {
            numbers.push_back(s);
        }
    }
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        const NetworkSection& a = before.sections[static_cast<std::size_t>(numbers[k])];
        const NetworkSection& b = after.sections[k + 1];
        EXPECT_DOUBLE_EQ(b.length, a.length) << k;
        EXPECT_DOUBLE_EQ(b.zEnd, a.zEnd) << k;
        EXPECT_NEAR(b.flowAlong, a.flowAlong, 1e-12) << k;
        EXPECT_NEAR(b.nodeDemand, a.nodeDemand, 1e-9) << k;
        EXPECT_NEAR(b.diameter, a.diameter, 1e-12) << k;
        const int up = *b.upstream;
        EXPECT_EQ(up == 0 ? 0 : numbers[static_cast<std::size_t>(up - 1)], *a.upstream) << k;
    }
    const std::string laid = imported.project.sections.Get(1, PipeSizeField).DisplayText();
    EXPECT_EQ(laid, "DN" + std::to_string(numbers[0]));
}

TEST(ProjectExchange, HostileProjects) {
    Project project = RandomProject(4, 8);
    project.titles.progetto = "Acquedotto di Sant'Agata: città, località Pèrgola";
    const char* italian = std::setlocale(LC_ALL, "it_IT.UTF-8");
    const ProjectInpExport file = ExportProjectToEpanet(project, Office, std::nullopt);
    std::setlocale(LC_ALL, "C");
    ASSERT_TRUE(file.ok) << file.error;
    if (italian == nullptr) {
        std::printf("it_IT.UTF-8 not installed: the locale case ran in C\n");
    }
    EXPECT_EQ(file.text.find("\xEF\xBB\xBF"), std::string::npos);
    EXPECT_NE(file.text.find(project.titles.progetto), std::string::npos);
    // Numbers are written with a point: outside comments, no digit is
    // followed by a comma.
    bool comment = false;
    for (std::size_t i = 1; i < file.text.size(); ++i) {
        comment = file.text[i] == ';' || (comment && file.text[i] != '\n');
        if (!comment && file.text[i] == ',' &&
            std::isdigit(static_cast<unsigned char>(file.text[i - 1]))) {
            FAIL() << "decimal comma at " << file.text.substr(i - 10, 20);
        }
    }
    EXPECT_NE(file.text.find("UNITS"), std::string::npos);

    // A project without links, one without the source's head, and a file
    // with a loop are refused with the reason.
    Project alone;
    alone.sections.Set(1, Field::lungh, FieldValue::Text("100"));
    CountEnteredSections(alone);
    const ProjectInpExport none = ExportProjectToEpanet(alone, Office, std::nullopt);
    EXPECT_FALSE(none.ok);
    EXPECT_NE(none.error.find("non ha una rete"), std::string::npos) << none.error;
    project.network.sourceHead.clear();
    const ProjectInpExport headless = ExportProjectToEpanet(project, Office, std::nullopt);
    EXPECT_FALSE(headless.ok);
    EXPECT_NE(headless.error.find("carico alla sorgente"), std::string::npos) << headless.error;
    const std::string loop =
        "[JUNCTIONS]\nA 10 1\nB 10 1\nC 10 1\n[RESERVOIRS]\nR 50\n[PIPES]\n"
        "P1 R A 100 100 0.1\nP2 A B 100 100 0.1\nP3 B C 100 100 0.1\nP4 C A 100 100 0.1\n"
        "[OPTIONS]\nUNITS LPS\nHEADLOSS D-W\n[END]\n";
    const ProjectInpImport refused = ImportProjectFromEpanet(loop, {});
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.error.find("P"), std::string::npos) << refused.error;
    std::printf("%s\n", refused.error.c_str());
}

TEST(ProjectExchange, LongTitleIsCutAtAWord) {
    const std::string inp =
        "[TITLE]\nRete di distribuzione dell'acquedotto comunale di Castelnuovo della "
        "Daunia, zona alta\n[JUNCTIONS]\nA 10 1\n[RESERVOIRS]\nR 50\n[PIPES]\n"
        "P1 R A 100 100 0.1\n[OPTIONS]\nUNITS LPS\nHEADLOSS D-W\n[END]\n";
    const ProjectInpImport imported = ImportProjectFromEpanet(inp, {});
    ASSERT_TRUE(imported.ok) << imported.error;
    EXPECT_EQ(imported.project.titles.progetto,
              "Rete di distribuzione dell'acquedotto comunale di");
    EXPECT_EQ(imported.project.enteredSectionCount, 1);
    EXPECT_EQ(UpstreamText(imported.project.sections, 1), "0");
    EXPECT_EQ(imported.project.sections.Get(1, Field::portfin).DisplayText(), "1");
}

}  // namespace
}  // namespace acquenza::interchange
