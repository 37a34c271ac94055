// A branched network to EPANET and back: the export's rules, the round trip,
// the import's refusals and how it reads other people's files.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "interchange/branched_export.h"
#include "interchange/branched_import.h"
#include "interchange/inp_reader.h"
#include "interchange/inp_text.h"
#include "interchange/sample_networks.h"
#include "interchange/tree_layout.h"

namespace acquenza::interchange {
namespace {

void ExpectSameNetwork(const BranchedNetwork& a, const BranchedNetwork& b) {
    EXPECT_EQ(OneLineText(a.title), b.title);  // a ';' would start a comment
    EXPECT_EQ(a.sourceHead_m, b.sourceHead_m);
    EXPECT_EQ(a.comments, b.comments);
    ASSERT_EQ(a.sections.size(), b.sections.size());
    for (std::size_t i = 0; i < a.sections.size(); ++i) {
        const auto& x = a.sections[i];
        const auto& y = b.sections[i];
        EXPECT_EQ(x.name, y.name);
        EXPECT_EQ(x.upstream, y.upstream) << x.name;
        EXPECT_EQ(x.length_m, y.length_m) << x.name;
        EXPECT_EQ(x.startElevation_m, y.startElevation_m) << x.name;
        EXPECT_EQ(x.endElevation_m, y.endElevation_m) << x.name;
        EXPECT_EQ(x.alongFlow_lps, y.alongFlow_lps) << x.name;
        EXPECT_EQ(x.endDemand_lps, y.endDemand_lps) << x.name;
        EXPECT_EQ(x.diameter_mm, y.diameter_mm) << x.name;
        EXPECT_EQ(x.roughness_mm, y.roughness_mm) << x.name;
    }
}

// Export, import, export: the same network and the same bytes.
void ExpectRoundTrip(const BranchedNetwork& net) {
    const InpExportResult first = ExportToInp(net);
    ASSERT_TRUE(first.ok) << first.error;
    const BranchedImportResult back = ImportFromInp(first.text);
    ASSERT_TRUE(back.ok) << back.error;
    EXPECT_TRUE(back.notes.empty()) << back.notes.front();
    ExpectSameNetwork(net, back.network);
    EXPECT_EQ(ExportToInp(back.network).text, first.text);
}

TEST(BranchedExchange, ExportImportExportIsIdentical) {
    ExpectRoundTrip(samples::SinglePipe());
    ExpectRoundTrip(samples::Chain());
    ExpectRoundTrip(samples::SmallTree());
    ExpectRoundTrip(samples::RisingBranch());
    BranchedNetwork hostile = samples::SmallTree();
    hostile.title =
        "Rete idrica di Sant'Agata de' Goti: località Capitolo, frazione Laiano; "
        "verifica della dorsale e delle diramazioni alte";
    hostile.comments = {"Tronchi isolati non esportati: 7, 8"};
    // Downstream sections listed before their upstream section.
    hostile.sections[0].upstream = 4;
    hostile.sections[3].upstream = 0;
    ExpectRoundTrip(hostile);
    for (unsigned seed = 1; seed <= 12; ++seed) {
        ExpectRoundTrip(samples::RandomTree(seed, 5 + static_cast<int>(seed) * 37));
    }
}

// Values no engineer types (thirds, long fractions) still fold back.
TEST(BranchedExchange, UntidyValuesStillFoldBack) {
    BranchedNetwork net = samples::Chain();
    for (auto& s : net.sections) {
        s.length_m = s.length_m / 3;
        s.startElevation_m = s.startElevation_m + 1.0 / 7;
        s.alongFlow_lps = s.alongFlow_lps / 3;
        s.endDemand_lps = std::sqrt(s.endDemand_lps);
    }
    net.sections[2].startElevation_m = 0.001;  // near zero, far from the end
    const InpExportResult first = ExportToInp(net);
    const BranchedImportResult back = ImportFromInp(first.text);
    ASSERT_TRUE(back.ok) << back.error;
    ASSERT_EQ(back.network.sections.size(), net.sections.size());
    EXPECT_EQ(ExportToInp(back.network).text, first.text);
}

TEST(BranchedExport, FileContent) {
    const InpExportResult e = ExportToInp(samples::Chain());
    ASSERT_TRUE(e.ok) << e.error;
    const InpReadResult r = ReadInp(e.text);
    ASSERT_TRUE(r.ok) << r.error;
    const InpNetwork& n = r.network;
    EXPECT_EQ(n.options.units, FlowUnits::LPS);
    EXPECT_EQ(n.options.headloss, HeadlossFormula::DarcyWeisbach);
    EXPECT_EQ(n.options.pressureUnits, "METERS");
    // 1.307e-6 m2/s against EPANET's 1.1e-5 ft2/s.
    EXPECT_NEAR(*n.options.viscosity, 1.27895, 1e-5);
    EXPECT_EQ(n.junctions.size(), 4u * 14);
    ASSERT_EQ(n.pipes.size(), 4u * 14);
    EXPECT_EQ(n.reservoirs.at(0).id, "SORGENTE");
    EXPECT_EQ(n.reservoirs.at(0).head, 145.5);
    // Section 2: pipes of equal length from N1 to N2, 1/14 of the flow along
    // at each junction, elevations on the straight line.
    EXPECT_EQ(n.pipes[14].id, "T2_01");
    EXPECT_EQ(n.pipes[14].node1, "N1");
    EXPECT_EQ(n.pipes[27].node2, "N2");
    EXPECT_EQ(n.pipes[20].length, 620.25 / 14);
    EXPECT_EQ(n.pipes[20].diameter, 141);
    EXPECT_EQ(n.pipes[20].roughness, 0.01);
    EXPECT_EQ(n.junctions[14].id, "N2_01");
    EXPECT_EQ(n.junctions[14].baseDemand, 3.1 / 14);
    EXPECT_NEAR(n.junctions[20].elevation, 104.2 - 7.45 * 7 / 14, 1e-12);
    EXPECT_EQ(n.junctions[27].id, "N2");
    EXPECT_EQ(n.junctions[27].baseDemand, 1.2 + 3.1 / 14);
    EXPECT_EQ(n.junctions[27].elevation, 96.75);
    EXPECT_EQ(n.coordinates.size(), n.junctions.size() + 1);
    EXPECT_TRUE(n.unknownSections.empty());
}

TEST(BranchedExport, RefusesWhatCannotBeWritten) {
    const std::vector<std::pair<std::function<void(BranchedNetwork&)>, std::string>> cases = {
        {[](BranchedNetwork& n) { n.sections[1].name = std::string(40, 'X'); },
         "non può diventare un identificativo EPANET: al massimo 27 caratteri"},
        {[](BranchedNetwork& n) { n.sections[1].name = "Via Roma"; }, "spazi"},
        {[](BranchedNetwork& n) { n.sections[1].name = "3;4"; }, "«;»"},
        {[](BranchedNetwork& n) { n.sections[1].name = ""; }, "n. 2 non ha nome"},
        {[](BranchedNetwork& n) { n.sections[1].name = "1_02"; },
         "«1_02» darebbe a EPANET l'identificativo «N1_02», già usato"},
        {[](BranchedNetwork& n) { n.sections[1].upstream = 9; }, "parte dal tronco n. 9"},
        {[](BranchedNetwork& n) { n.sections[1].upstream = 2; }, "parte dalla propria fine"},
        {[](BranchedNetwork& n) { n.sections[0].upstream = 3; }, "formano un anello"},
        {[](BranchedNetwork& n) { n.sections[2].length_m = 0; }, "«3» non ha una lunghezza"},
        {[](BranchedNetwork& n) { n.sections[2].diameter_mm = -1; }, "diametro interno"},
        {[](BranchedNetwork& n) { n.sections[2].roughness_mm.reset(); }, "scabrezza"},
        {[](BranchedNetwork& n) { n.sections[2].alongFlow_lps = -0.5; }, "portata negativa"},
        {[](BranchedNetwork& n) { n.sections[2].endElevation_m = NAN; }, "numero finito"},
        {[](BranchedNetwork& n) { n.sourceHead_m = INFINITY; }, "carico della sorgente"},
        {[](BranchedNetwork& n) { n.sections.clear(); }, "non ha tronchi"},
    };
    for (const auto& [spoil, message] : cases) {
        BranchedNetwork net = samples::Chain();
        spoil(net);
        const InpExportResult e = ExportToInp(net);
        EXPECT_FALSE(e.ok) << message;
        EXPECT_TRUE(e.text.empty());
        EXPECT_NE(e.error.find(message), std::string::npos) << e.error;
    }
}

// The drawing: x is the length from the source; a subtree never enters the
// band of a sibling drawn before it.
TEST(TreeLayout, LengthAlongAndSubtreesInTheirOwnBands) {
    for (unsigned seed = 1; seed <= 20; ++seed) {
        const BranchedNetwork net = samples::RandomTree(seed, 60);
        std::vector<int> up;
        std::vector<double> len;
        for (const auto& s : net.sections) {
            up.push_back(s.upstream);
            len.push_back(s.length_m);
        }
        const auto p = LayOutTree(up, len);
        const std::size_t n = net.sections.size();
        std::vector<double> low(n + 1), high(n + 1);  // y range of each subtree
        for (std::size_t v = 0; v <= n; ++v) {
            low[v] = high[v] = p[v].y;
        }
        for (std::size_t i = n; i >= 1; --i) {
            const auto u = static_cast<std::size_t>(up[i - 1]);
            EXPECT_NEAR(p[i].x, p[u].x + len[i - 1], 0.011);
            low[u] = std::min(low[u], low[i]);
            high[u] = std::max(high[u], high[i]);
        }
        std::set<std::pair<double, double>> distinct;
        std::vector<std::size_t> lastChild(n + 1, 0);
        for (std::size_t i = 1; i <= n; ++i) {
            distinct.insert({p[i].x, p[i].y});
            const auto u = static_cast<std::size_t>(up[i - 1]);
            if (lastChild[u] == 0) {
                EXPECT_EQ(p[i].y, p[u].y);  // the first continues the line
            } else {
                EXPECT_LT(high[i], low[lastChild[u]]);  // stacked below the one before
            }
            lastChild[u] = i;
        }
        EXPECT_EQ(distinct.size(), n);
    }
}

BranchedImportResult Import(const std::string& body) {
    return ImportFromInp("[OPTIONS]\nUNITS LPS\n[RESERVOIRS]\nR 100\n" + body);
}

// Three junctions on a line from the source, J2 with a branch to J3.
const std::string Tree =
    "[JUNCTIONS]\nJ1 80 1\nJ2 70 2\nJ3 75 0.5\n"
    "[PIPES]\nP1 R J1 100 150 0.1\nP2 J1 J2 200 125 0.1\nP3 J3 J2 50 80 0.01\n";

TEST(BranchedImport, Refusals) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {Tree + "P4 J3 J1 60 80 0.1\n",
         "La rete contiene un anello: il tubo «P4» chiude una maglia."},
        {Tree + "P4 J3 J3 60 80 0.1\n", "il tubo «P4» chiude una maglia"},
        {Tree + "[TANKS]\nT 90 2 0 4 10\n", "più di una sorgente («R», «T»)"},
        {Tree + "[PUMPS]\nPU1 J1 J2 HEAD c1\n", "la pompa «PU1»"},
        {Tree + "[VALVES]\nV1 J1 J2 100 PRV 30\n", "la valvola «V1»"},
        {Tree + "[JUNCTIONS]\nJ9 50 1\n", "Il nodo «J9» non è collegato alla sorgente «R»."},
        {Tree + "[JUNCTIONS]\nJ4 60 -3\n[PIPES]\nP4 J2 J4 10 50 0.1\n",
         "Il nodo «J4» ha una domanda negativa (-3,000 l/s)"},
        {Tree + "[STATUS]\nP2 closed\n", "Il tubo «P2» è chiuso"},
        {Tree + "P4 J2 J4 0 80 0.1\n[JUNCTIONS]\nJ4 1\n", "«P4» non ha una lunghezza"},
        {"[JUNCTIONS]\nJ1 80 1\n", "non ha tubi"},
    };
    for (const auto& [body, message] : cases) {
        const BranchedImportResult r = Import(body);
        EXPECT_FALSE(r.ok) << body;
        EXPECT_NE(r.error.find(message), std::string::npos) << r.error;
    }
    const auto none = ImportFromInp("[JUNCTIONS]\nJ1 80 1\nJ2 70 1\n[PIPES]\nP J1 J2 10 50 1\n");
    EXPECT_NE(none.error.find("non ha una sorgente"), std::string::npos) << none.error;
    const auto unread = ImportFromInp("[PIPES]\nP1 R J1 100\n");
    EXPECT_NE(unread.error.find("Riga 2:"), std::string::npos) << unread.error;
}

TEST(BranchedImport, MoreThan500SectionsRefused) {
    std::string junctions = "[JUNCTIONS]\n";
    std::string pipes = "[PIPES]\n";
    for (int i = 1; i <= 501; ++i) {
        junctions += "J" + std::to_string(i) + " 10 0.1\n";
        pipes += "P" + std::to_string(i) + " " + (i == 1 ? "R" : "J" + std::to_string(i - 1)) +
                 " J" + std::to_string(i) + " 10 100 0.1\n";
    }
    const auto r = Import(junctions + pipes);
    EXPECT_EQ(r.error, "La rete ha 501 tronchi: se ne importano al massimo 500.");
    // Exactly 500 are taken; so are 500 sections written as 7000 pipes.
    EXPECT_TRUE(ImportFromInp(ExportToInp(samples::RandomTree(5, 500)).text).ok);
}

TEST(BranchedImport, PipesBecomeSectionsLinkedFromTheSource) {
    const BranchedImportResult r = Import(Tree);
    ASSERT_TRUE(r.ok) << r.error;
    const auto& s = r.network.sections;
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(r.network.sourceHead_m, 100);
    EXPECT_EQ(s[0].upstream, 0);
    EXPECT_EQ(s[0].startElevation_m, 100);  // a reservoir's ground is its level
    EXPECT_EQ(s[1].upstream, 1);
    // P3 is drawn from J3 to J2, but water reaches J3 through J2.
    EXPECT_EQ(s[2].name, "P3");
    EXPECT_EQ(s[2].upstream, 2);
    EXPECT_EQ(s[2].startElevation_m, 70);
    EXPECT_EQ(s[2].endElevation_m, 75);
    EXPECT_EQ(s[2].endDemand_lps, 0.5);
    EXPECT_EQ(s[2].alongFlow_lps, 0);
    EXPECT_EQ(s[2].length_m, 50);
    EXPECT_EQ(s[2].diameter_mm, 80);
    EXPECT_FALSE(s[2].roughness_mm.has_value());  // H-W: a coefficient, not mm
    EXPECT_EQ(r.endNodes, (std::vector<std::string>{"J1", "J2", "J3"}));
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_NE(r.notes[0].find("H-W"), std::string::npos);
}

// [DEMANDS] replaces the base demand; the first period of each pattern and
// the demand multiplier apply.
TEST(BranchedImport, DemandsOfTheFirstPeriod) {
    const BranchedImportResult r = Import(
        "[JUNCTIONS]\nA 10 4\nB 10 4 giorno\nC 10 4\nD 10 4\n"
        "[PIPES]\npa R A 1 100 1\npb A B 1 100 1\npc A C 1 100 1\npd A D 1 100 1\n"
        "[DEMANDS]\nC 1 ;case\nC 2 notte ;negozi\n"
        "[PATTERNS]\n1 0.5 1\ngiorno 1.5 1\nnotte 0.25\n"
        "[OPTIONS]\nHEADLOSS D-W\nDEMAND MULTIPLIER 2\n");
    ASSERT_TRUE(r.ok) << r.error;
    const auto& s = r.network.sections;
    EXPECT_EQ(s[0].endDemand_lps, 4 * 0.5 * 2);               // pattern "1" by default
    EXPECT_EQ(s[1].endDemand_lps, 4 * 1.5 * 2);               // its own pattern
    EXPECT_EQ(s[2].endDemand_lps, (1 * 0.5 + 2 * 0.25) * 2);  // [DEMANDS], base replaced
    EXPECT_EQ(s[0].roughness_mm, 1.0);
    EXPECT_NE(r.notes.at(0).find("primo periodo"), std::string::npos);
    const auto own = Import(
        "[JUNCTIONS]\nA 10 4\n[PIPES]\np R A 1 100 1\n"
        "[PATTERNS]\n1 0.5\nsera 3\n[OPTIONS]\nPATTERN sera\n");
    EXPECT_EQ(own.network.sections.at(0).endDemand_lps, 12);
}

TEST(BranchedImport, TankSourceAndUnitsConverted) {
    const auto r = ImportFromInp(
        "[TANKS]\nT 200 15 0 20 30\n[JUNCTIONS]\nJ 150 100\n"
        "[PIPES]\nP T J 1000 12 0.5\n[OPTIONS]\nUNITS GPM\nHEADLOSS D-W\n");
    ASSERT_TRUE(r.ok) << r.error;
    const auto& s = r.network.sections.at(0);
    EXPECT_DOUBLE_EQ(r.network.sourceHead_m, 215 * 0.3048);
    EXPECT_DOUBLE_EQ(s.startElevation_m, 200 * 0.3048);
    EXPECT_DOUBLE_EQ(s.endElevation_m, 150 * 0.3048);
    EXPECT_DOUBLE_EQ(s.length_m, 304.8);
    EXPECT_DOUBLE_EQ(s.diameter_mm, 304.8);
    EXPECT_DOUBLE_EQ(*s.roughness_mm, 0.5 * 0.3048);  // millifeet
    EXPECT_DOUBLE_EQ(s.endDemand_lps, 100 * 3.785411784 / 60);
    EXPECT_NE(r.notes.at(0).find("GPM"), std::string::npos);
}

// A chain whose inner junction was edited in EPANET is no longer one of
// ours: its pipes come in as sections of their own, nothing lost.
TEST(BranchedImport, EditedChainIsNotFolded) {
    const InpExportResult e = ExportToInp(samples::SinglePipe());
    for (const auto& [from, to] : std::vector<std::pair<std::string, std::string>>{
             {" N1_05           92.85714285714286 ", " N1_05           92 "},
             {" N1_05           92.85714285714286 0\r",
              " N1_05           92.85714285714286 0.3\r"}}) {
        std::string text = e.text;
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from << "\n" << text;
        text.replace(at, from.size(), to);
        const auto r = ImportFromInp(text);
        ASSERT_TRUE(r.ok) << r.error;
        ASSERT_EQ(r.network.sections.size(), 14u);
        EXPECT_EQ(r.network.sections[4].name, "T1_05");
        EXPECT_EQ(r.endNodes[4], "N1_05");
    }
}

// A branched part of EPANET's example network 2 (US units, a tank).
TEST(BranchedImport, PublicExampleNetwork2) {
    const InpReadResult read = ReadInpFile(ACQUENZA_INTERCHANGE_DATA "/net2-branched.inp");
    ASSERT_TRUE(read.ok) << read.error;
    const BranchedImportResult r = ImportBranchedNetwork(read.network);
    ASSERT_TRUE(r.ok) << r.error;
    const auto& s = r.network.sections;
    ASSERT_EQ(s.size(), 35u);
    EXPECT_EQ(r.network.title.substr(0, 24), "EPANET Example Network 2");
    EXPECT_DOUBLE_EQ(r.network.sourceHead_m, (235 + 56.7) * 0.3048);
    EXPECT_EQ(s[0].name, "1");
    EXPECT_DOUBLE_EQ(s[0].length_m, 2400 * 0.3048);
    EXPECT_DOUBLE_EQ(s[0].diameter_mm, 12 * 25.4);
    // Pipe 1 runs from junction 1 to 2 in the file; the water comes from 2.
    EXPECT_EQ(r.endNodes[0], "1");
    EXPECT_EQ(s[0].endDemand_lps, 0);
    // Junction 11: 34.78 GPM times the first multiplier of pattern 1.
    const auto eleven = std::find(r.endNodes.begin(), r.endNodes.end(), "11") - r.endNodes.begin();
    EXPECT_DOUBLE_EQ(s[eleven].endDemand_lps, 34.78 * 1.26 * 3.785411784 / 60);
    EXPECT_EQ(s[eleven].name, "12");  // the water comes from junction 12
    EXPECT_EQ(s[static_cast<std::size_t>(s[eleven].upstream) - 1].name, "13");
    EXPECT_EQ(s[25].name, "29");  // tank to junction 25
    EXPECT_EQ(s[25].upstream, 0);
    EXPECT_EQ(r.notes.size(), 4u);  // units, tank, patterns, formula
    EXPECT_TRUE(ExportToInp([&] {
                    auto net = r.network;
                    for (auto& x : net.sections) {
                        x.roughness_mm = 0.1;
                    }
                    return net;
                }())
                    .ok);
}

}  // namespace
}  // namespace acquenza::interchange
