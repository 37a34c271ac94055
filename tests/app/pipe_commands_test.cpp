// The pipes laid as the user chooses them: the project's series, a section's
// own series or size, the formula; what the network, the checks, the bill
// and its spreadsheet file make of them; and the catalogues a user adds.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "app/fakes.h"
#include "app/network_model.h"
#include "app/pipe_commands.h"
#include "app/undo_commands.h"
#include "archive/project_file.h"
#include "core/decimal_text.h"
#include "core/numbers.h"
#include "core/pipe_tables.h"
#include "reports/word_report.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;

constexpr const char* Sdr11 = "PE100 SDR11 PN16";
constexpr const char* Sdr17 = "PE100 SDR17 PN10";
constexpr const char* Iron = "Ghisa sferoidale EN 545";

class Pipes : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
        state.catalogues = LoadCatalogues({fs::path(ACQUENZA_RESOURCES_DIR) / "tubazioni"});
        ASSERT_TRUE(state.catalogues.errors.empty());
        ASSERT_EQ(state.catalogues.series.size(), 3u);
        const char* given = std::getenv("ACQUENZA_SEED");
        seed = given != nullptr ? static_cast<unsigned>(std::strtoul(given, nullptr, 10))
                                : std::random_device{}();
        rng.seed(seed);
    }
    DataWindowModel& grid() { return windows.LoadDataWindow(); }
    void Type(int row, Field f, const std::string& text) {
        grid().TypeInBox(row, f, text);
        grid().LeaveBox(row, f);
    }
    // A main of three sections from the source with two branches, down a
    // hillside; section 7 stays on its own.
    void TypeNetwork() {
        for (int r = 1; r <= 7; ++r) {
            Type(r, Field::lungh, std::to_string(150 + 40 * r));
            Type(r, Field::quotain, std::to_string(300 - 4 * (r - 1)));
            Type(r, Field::quotafin, std::to_string(300 - 4 * r));
            Type(r, Field::portun, r % 2 == 0 ? "1.5" : "0.5");
            Type(r, Field::portfin, std::to_string(r % 3 + 1));
            grid().PickPipeType(r, r % 2 == 0 ? "nuova" : "in uso");
        }
        const std::map<int, std::string> links = {{1, "0"}, {2, "1"}, {3, "2"},
                                                  {4, "1"}, {5, "4"}, {6, "3"}};
        for (const auto& [s, up] : links) {
            ASSERT_TRUE(network.SetLink(s, up));
        }
        ASSERT_TRUE(network.SetValue(NetworkValue::SourceHead, "340"));
    }
    std::span<const PipeSeries> Catalogues() const { return state.catalogues.series; }
    std::vector<SectionRecord> Take() const {
        std::vector<SectionRecord> all;
        for (int s = 1; s <= 10; ++s) {
            all.push_back(state.project.sections.Record(s));
        }
        return all;
    }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

    // The first section whose diameter in the network's input is not the
    // one its pipe gives: the internal diameter of the pipe laid (the
    // smallest of its series not below the theoretical one, unless a size
    // was typed), the theoretical diameter otherwise.
    std::string InputDisagrees() const {
        const NetworkInput input = NetworkInputOf(state.project, NetworkLimits{}, Catalogues());
        for (int s = 1; s <= input.SectionCount(); ++s) {
            const NetworkSection& n = input.sections[static_cast<std::size_t>(s)];
            const SectionPipe pipe = PipeOf(state.project, s, Catalogues());
            const SectionRecord& r = state.project.sections.Record(s);
            const std::string at = "tronco " + std::to_string(s) + ": ";
            if (pipe.state != PipeState::Laid) {
                const double theoretical = r[Field::dia].NumberValue() / 100;
                if (n.diameter != theoretical || n.loss.formula != LossFormula::Coefficient) {
                    return at + "non è il diametro teorico";
                }
                continue;
            }
            const PipeSize& size = *pipe.Size();
            if (n.diameter != size.internalMm / 1000) {
                return at + "non è il diametro interno";
            }
            if (n.loss.formula != PipeFormulaOf(state.project.network) ||
                n.loss.roughnessMm != pipe.series->roughnessMm) {
                return at + "formula o scabrezza";
            }
            if (!pipe.sizeTyped) {
                const double theoretical = *pipe.theoreticalMm;
                if (size.internalMm < theoretical - 1e-6 ||
                    (pipe.size > 0 &&
                     pipe.series->sizes[pipe.size - 1].internalMm >= theoretical - 1e-6)) {
                    return at + "non è la misura più piccola che basta";
                }
            }
        }
        return {};
    }

    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::FakeWindows windows{state, dialogs};
    NetworkModel network{state, dialogs};
    PipeCommands pipes{state, dialogs, state.catalogues};
    UndoCommands undo{state, windows};
    unsigned seed = 0;
    std::mt19937 rng;
};

TEST_F(Pipes, ANetworkWithoutPipesIsWorkedOutAsBefore) {
    TypeNetwork();
    const NetworkInput without = NetworkInputOf(state.project, NetworkLimits{});
    EXPECT_TRUE(NetworkInputOf(state.project, NetworkLimits{}, Catalogues()).sections ==
                without.sections);
    EXPECT_FALSE(PipesChosen(state.project));
    const NetworkResult result = AnalyseNetwork(without);
    EXPECT_TRUE(PipeRowsOf(state.project, Catalogues(), result).empty());
    EXPECT_TRUE(PipeChecksOf(state.project, Catalogues(), result).empty());
    EXPECT_TRUE(BillOf(state.project, Catalogues()).rows.empty());
    // The project's file keeps no word of pipes.
    std::string bytes;
    ASSERT_TRUE(EncodeProjectFile(state.project, bytes).ok);
    EXPECT_EQ(bytes.find("serie delle tubazioni\";\"PE"), std::string::npos);
}

TEST_F(Pipes, EveryChoiceIsOneStepAndTheInputAlwaysUsesThePipeLaid) {
    TypeNetwork();
    state.history.Clear();
    const std::vector<SectionRecord> start = Take();
    const NetworkSettings startSettings = state.project.network;
    const std::vector<std::string> series = {"", Sdr11, Sdr17, Iron};
    for (int i = 0; i < 300; ++i) {
        const int s = Pick(1, 6);
        const std::vector<SectionRecord> before = Take();
        const NetworkSettings settingsBefore = state.project.network;
        bool changed = false;
        switch (Pick(0, 6)) {
            case 0: {
                const std::string name = series[static_cast<std::size_t>(Pick(0, 3))];
                changed = state.project.network.series != name;
                ASSERT_TRUE(pipes.SetProjectSeries(name));
                break;
            }
            case 1: {
                const std::string name = series[static_cast<std::size_t>(Pick(0, 3))];
                changed = state.project.sections.Get(s, SeriesField).DisplayText() != name;
                ASSERT_TRUE(pipes.SetSectionSeries(s, name));
                break;
            }
            case 2: {
                const std::vector<std::string> sizes = pipes.SizeLabels(s);
                const std::string label = sizes.empty() || Pick(0, 3) == 0
                                              ? std::string()
                                              : sizes[static_cast<std::size_t>(
                                                    Pick(0, static_cast<int>(sizes.size()) - 1))];
                changed = state.project.sections.Get(s, PipeSizeField).DisplayText() != label;
                ASSERT_TRUE(pipes.SetSectionSize(s, label));
                break;
            }
            case 3: {
                const LossFormula f =
                    Pick(0, 1) == 0 ? LossFormula::Coefficient : LossFormula::DarcyWeisbach;
                changed = PipeFormulaOf(state.project.network) != f;
                ASSERT_TRUE(pipes.SetFormula(f));
                break;
            }
            case 4:
                Type(s, Field::portun, std::to_string(Pick(1, 9)));
                break;
            case 5:
                undo.Undo();
                break;
            default:
                undo.Redo();
        }
        if (changed) {
            // One undo takes the choice back whole, one redo does it again.
            const std::vector<SectionRecord> after = Take();
            const NetworkSettings settingsAfter = state.project.network;
            undo.Undo();
            ASSERT_TRUE(Take() == before && state.project.network == settingsBefore)
                << "seed " << seed << ", action " << i;
            undo.Redo();
            ASSERT_TRUE(Take() == after && state.project.network == settingsAfter)
                << "seed " << seed << ", action " << i;
        }
        ASSERT_EQ(InputDisagrees(), "") << "seed " << seed << ", action " << i;
        ASSERT_TRUE(dialogs.shown.empty()) << dialogs.LastText();
    }
    while (state.history.CanUndo()) {
        undo.Undo();
    }
    EXPECT_TRUE(Take() == start) << "seed " << seed;
    EXPECT_TRUE(state.project.network == startSettings) << "seed " << seed;
}

TEST_F(Pipes, ChoicesThatCannotBeAreRefusedAndChangeNothing) {
    TypeNetwork();
    ASSERT_TRUE(pipes.SetProjectSeries(Sdr11));
    const std::size_t steps = state.history.StepCount();
    const std::vector<SectionRecord> before = Take();
    struct Case {
        std::function<bool()> choose;
        std::string says;
    };
    const std::vector<Case> cases = {
        {[&] { return pipes.SetProjectSeries("PVC PN 6"); }, "«PVC PN 6» non è in nessun catalogo"},
        {[&] { return pipes.SetSectionSeries(2, "PVC PN 6"); }, "Tronco n. 2"},
        {[&] { return pipes.SetSectionSize(2, "DN 200"); },
         "«DN 200» non è nella serie «PE100 SDR11 PN16»"},
        {[&] { return pipes.SetSectionSize(7, "200"); }, "«tronco a monte»"},
        {[&] { return pipes.SetSectionSeries(7, Iron); }, "Tronco n. 7"},
    };
    for (const Case& c : cases) {
        dialogs.shown.clear();
        EXPECT_FALSE(c.choose()) << c.says;
        ASSERT_EQ(dialogs.shown.size(), 1u) << c.says;
        EXPECT_NE(dialogs.LastText().find(c.says), std::string::npos) << dialogs.LastText();
    }
    EXPECT_TRUE(Take() == before);
    EXPECT_EQ(state.history.StepCount(), steps);
    // A size the new series lacks goes in the same step as the series.
    ASSERT_TRUE(pipes.SetSectionSize(2, "20"));
    ASSERT_TRUE(pipes.SetSectionSeries(2, Iron));
    EXPECT_EQ(state.project.sections.Get(2, PipeSizeField).DisplayText(), "");
    undo.Undo();
    EXPECT_EQ(state.project.sections.Get(2, PipeSizeField).DisplayText(), "20");
    EXPECT_EQ(state.project.sections.Get(2, SeriesField).DisplayText(), "");
}

TEST_F(Pipes, TheBillIsTheLengthsPerSizeAndItsFileSaysSo) {
    TypeNetwork();
    ASSERT_TRUE(pipes.SetProjectSeries(Sdr11));
    ASSERT_TRUE(pipes.SetSectionSeries(5, Iron));
    ASSERT_TRUE(pipes.SetSectionSize(6, "250"));
    const Bill bill = BillOf(state.project, Catalogues());
    std::map<std::string, double> expected;
    double total = 0;
    for (int s = 1; s <= 6; ++s) {
        const SectionPipe pipe = PipeOf(state.project, s, Catalogues());
        ASSERT_EQ(pipe.state, PipeState::Laid) << s;
        const double length = NumericValue(state.project.sections, s, Field::lungh);
        expected[PipeText(*pipe.series, *pipe.Size())] += length;
        total += length;
    }
    ASSERT_EQ(bill.rows.size(), expected.size());
    for (const BillRow& row : bill.rows) {
        EXPECT_DOUBLE_EQ(row.metres, expected[row.pipeText]) << row.pipeText;
    }
    EXPECT_DOUBLE_EQ(bill.total.metres, total);
    EXPECT_EQ(bill.materialTotals.size(), 2u);
    // The stand-alone section 7 lays nothing.
    for (const BillRow& row : bill.rows) {
        EXPECT_EQ(std::count(row.sections.begin(), row.sections.end(), 7), 0);
    }
    const std::string csv = BillCsv(bill);
    EXPECT_EQ(csv.rfind("\xEF\xBB\xBFMateriale;Serie;Misura;Tubazione;Diametro interno (mm)", 0),
              0u);
    EXPECT_NE(csv.find("\r\nTotale generale;;;;;" + DecimalText(total, 2) + ";;;\r\n"),
              std::string::npos)
        << csv;
    const NetworkResult result =
        AnalyseNetwork(NetworkInputOf(state.project, NetworkLimits{}, Catalogues()));
    const std::string rows = PipeRowsCsv(PipeRowsOf(state.project, Catalogues(), result));
    EXPECT_NE(rows.find("Tubazione;Diametro interno (mm);Perdita effettiva (m);Velocità iniziale "
                        "(m/s);Velocità finale (m/s);PN (bar);"),
              std::string::npos);
    EXPECT_NE(rows.find("\r\n6;"), std::string::npos);
    EXPECT_NE(rows.find("Ø 250 — DI 204,6 mm;204,6;"), std::string::npos) << rows;
}

TEST_F(Pipes, ThePipeLaidChangesLossesAndPressuresButNeverTheTheoreticalDiameter) {
    TypeNetwork();
    const std::vector<SectionRecord> theoretical = Take();
    const NetworkResult before =
        AnalyseNetwork(NetworkInputOf(state.project, NetworkLimits{}, Catalogues()));
    ASSERT_TRUE(pipes.SetProjectSeries(Sdr11));
    const NetworkResult laid =
        AnalyseNetwork(NetworkInputOf(state.project, NetworkLimits{}, Catalogues()));
    ASSERT_TRUE(pipes.SetFormula(LossFormula::DarcyWeisbach));
    const NetworkResult darcy =
        AnalyseNetwork(NetworkInputOf(state.project, NetworkLimits{}, Catalogues()));
    for (int s = 1; s <= 6; ++s) {
        for (const Field f : {Field::dia, Field::per, Field::vel}) {
            EXPECT_TRUE(state.project.sections.Get(s, f) ==
                        theoretical[static_cast<std::size_t>(s - 1)][f]);
        }
        const auto& b = before.sections[static_cast<std::size_t>(s)];
        const auto& l = laid.sections[static_cast<std::size_t>(s)];
        const auto& d = darcy.sections[static_cast<std::size_t>(s)];
        ASSERT_EQ(l.state, HeadState::Computed) << s;
        // A larger bore loses less, so the pressures can only rise.
        EXPECT_LE(l.headLoss, b.headLoss + 1e-12) << s;
        EXPECT_GE(l.pressureEnd, b.pressureEnd - 1e-9) << s;
        EXPECT_NE(d.headLoss, l.headLoss) << s;
    }
    const std::vector<PipeRow> rows = PipeRowsOf(state.project, Catalogues(), darcy);
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[0].headLoss, darcy.sections[1].headLoss);
    EXPECT_EQ(rows[0].pn, 16);
}

TEST_F(Pipes, APressureClassTooLowIsPointedOutWithTheClassThatHolds) {
    TypeNetwork();
    ASSERT_TRUE(pipes.SetProjectSeries(Sdr17));
    NetworkResult result =
        AnalyseNetwork(NetworkInputOf(state.project, NetworkLimits{}, Catalogues()));
    EXPECT_TRUE(PipeChecksOf(state.project, Catalogues(), result).empty());
    // 340 − 288 at the end of section 3 is 52 m, under 10 bar (102 m); a
    // source 100 m higher puts it at 152 m.
    ASSERT_TRUE(network.SetValue(NetworkValue::SourceHead, "440"));
    result = AnalyseNetwork(NetworkInputOf(state.project, NetworkLimits{}, Catalogues()));
    const std::vector<NetworkCheck> checks = PipeChecksOf(state.project, Catalogues(), result);
    ASSERT_EQ(checks.size(), 6u);
    EXPECT_EQ(checks[0].section, 1);
    EXPECT_EQ(checks[0].kind, CheckKind::PressureClass);
    EXPECT_NE(checks[0].text.find("tronco 1: la pressione statica di"), std::string::npos)
        << checks[0].text;
    EXPECT_NE(checks[0].text.find("reggerebbe la serie «PE100 SDR11 PN16» (PN 16)"),
              std::string::npos)
        << checks[0].text;
    // The network window's analysis marks them with its own checks, by section.
    const NetworkResult& marked = network.Analysis();
    std::vector<int> pressureClass;
    for (std::size_t i = 0; i < marked.checks.size(); ++i) {
        if (i > 0) {
            EXPECT_LE(marked.checks[i - 1].section, marked.checks[i].section);
        }
        if (marked.checks[i].kind == CheckKind::PressureClass) {
            pressureClass.push_back(marked.checks[i].section);
        }
    }
    EXPECT_EQ(pressureClass, (std::vector<int>{1, 2, 3, 4, 5, 6}));
    // A section for which even the largest size is too small says so.
    state.project.sections.Set(2, Field::dia, FieldValue::Number(90));
    const std::vector<NetworkCheck> again = PipeChecksOf(state.project, Catalogues(), result);
    EXPECT_NE(std::find_if(again.begin(), again.end(),
                           [](const NetworkCheck& c) {
                               return c.kind == CheckKind::NoPipe && c.section == 2 &&
                                      c.text.rfind("tronco 2: nessuna misura della serie", 0) == 0;
                           }),
              again.end());
}

TEST_F(Pipes, ChoicesAreSavedAndReadBack) {
    TypeNetwork();
    ASSERT_TRUE(pipes.SetProjectSeries(Sdr11));
    ASSERT_TRUE(pipes.SetSectionSeries(4, Iron));
    ASSERT_TRUE(pipes.SetSectionSize(4, "150"));
    ASSERT_TRUE(pipes.SetFormula(LossFormula::DarcyWeisbach));
    std::string bytes;
    ASSERT_TRUE(EncodeProjectFile(state.project, bytes).ok);
    Project read;
    ASSERT_TRUE(ReadProjectData(bytes, read).complete);
    // The results are worked out on Open, as the program does.
    CountEnteredSections(read);
    for (int s = 1; s <= read.enteredSectionCount; ++s) {
        SettleSection(read, s);
    }
    EXPECT_TRUE(read.network == state.project.network);
    EXPECT_EQ(read.sections.Get(4, SeriesField).DisplayText(), Iron);
    EXPECT_EQ(read.sections.Get(4, PipeSizeField).DisplayText(), "150");
    EXPECT_TRUE(NetworkInputOf(read, NetworkLimits{}, Catalogues()).sections ==
                NetworkInputOf(state.project, NetworkLimits{}, Catalogues()).sections);
}

TEST_F(Pipes, TheReportHasThePipesChapterOnlyWhenPipesAreLaid) {
    TypeNetwork();
    const auto texts = [&] {
        return BuildWordReport(state.project, Office{}, NetworkLimits{}, Catalogues())
            .ParagraphTexts();
    };
    const std::vector<std::string> plain = texts();
    EXPECT_TRUE(BuildWordReport(state.project, Office{}).ParagraphTexts() == plain);
    const auto has = [](const std::vector<std::string>& all, const std::string& part) {
        return std::any_of(all.begin(), all.end(),
                           [&](const std::string& t) { return t.find(part) != std::string::npos; });
    };
    EXPECT_FALSE(has(plain, "TUBAZIONI POSATE"));
    ASSERT_TRUE(pipes.SetProjectSeries(Sdr17));
    ASSERT_TRUE(network.SetValue(NetworkValue::SourceHead, "440"));
    const Document laid = BuildWordReport(state.project, Office{}, NetworkLimits{}, Catalogues());
    const std::vector<std::string> withPipes = laid.ParagraphTexts();
    EXPECT_TRUE(has(withPipes, "TUBAZIONI POSATE"));
    EXPECT_TRUE(has(withPipes, "COMPUTO DELLE TUBAZIONI"));
    EXPECT_TRUE(has(withPipes, "stessa formula del dimensionamento"));
    EXPECT_TRUE(has(withPipes, "- tronco 1: la pressione statica di"));
    // The pipe table and the bill, after the report's own tables.
    const Table& bill = laid.TableAt(laid.TableCount() - 1);
    EXPECT_EQ(bill.cells.back()[0], "Totale generale");
    const Table& table = laid.TableAt(laid.TableCount() - 2);
    EXPECT_EQ(table.rows, 7);
    EXPECT_EQ(table.cells[0][2], "Tubazione");
    // Larger bores than the theoretical ones: the pressure at every end rises.
    for (int r = 1; r < table.rows; ++r) {
        const std::string& both = table.cells[static_cast<std::size_t>(r)][7];
        const std::size_t slash = both.find(" / ");
        ASSERT_NE(slash, std::string::npos) << both;
        EXPECT_GE(FlowValue(both.substr(slash + 3)), FlowValue(both.substr(0, slash))) << both;
    }
    ASSERT_TRUE(pipes.SetFormula(LossFormula::DarcyWeisbach));
    EXPECT_TRUE(has(
        BuildWordReport(state.project, Office{}, NetworkLimits{}, Catalogues()).ParagraphTexts(),
        "Colebrook-White"));
}

TEST_F(Pipes, TheOfficesSeriesIsProposedButNeverLaidUnchosen) {
    const fs::path file =
        fs::temp_directory_path() / ("acquenza-pipes-" + std::to_string(::getpid()) + ".conf");
    std::ofstream(file) << "[tubazioni]\nserie = PE100 SDR17 PN10\n";
    state.settings = ReadSettingsFiles(BuiltInSettings(), {{file.string(), false}});
    fs::remove(file);
    EXPECT_TRUE(state.settings.problems.empty());
    EXPECT_EQ(pipes.ProposedSeries(), Sdr17);
    TypeNetwork();
    EXPECT_FALSE(PipesChosen(state.project));
    ASSERT_TRUE(pipes.SetProjectSeries(Iron));
    EXPECT_EQ(pipes.ProposedSeries(), Iron);
    // A series the catalogues do not have is proposed to nobody.
    state.settings.pipeSeries = "PVC";
    ASSERT_TRUE(pipes.SetProjectSeries(""));
    EXPECT_EQ(pipes.ProposedSeries(), "");
}

TEST(PipeCatalogues, FoldersAreTheProgramsTheSystemsAndTheUsersInThatOrder) {
    const std::vector<fs::path> folders = CatalogueFolders("/opt/acq", nullptr, "/home/u", "/a:/b");
    const std::vector<fs::path> expected = {"/opt/acq/tubazioni", "/b/Acquenza/tubazioni",
                                            "/a/Acquenza/tubazioni",
                                            "/home/u/.config/Acquenza/tubazioni"};
    EXPECT_EQ(folders, expected);
    EXPECT_EQ(CatalogueFolders("/p", "/x", "/home/u", "").back(),
              fs::path("/x/Acquenza/tubazioni"));
    EXPECT_EQ(CatalogueFolders("/p", "", "/home/u", nullptr)[1],
              fs::path("/etc/xdg/Acquenza/tubazioni"));
}

TEST(PipeCatalogues, AUsersFileWithPricesReplacesTheShippedOneAndABadLineIsSaid) {
    const fs::path home =
        fs::temp_directory_path() / ("acquenza-pipes-" + std::to_string(::getpid()));
    const fs::path user = home / "Acquenza" / "tubazioni";
    fs::create_directories(user);
    std::ofstream(user / "pe-prezzi.txt")
        << "serie: PE100 SDR11 PN16\nmateriale: PE100\npn (bar): 16\nscabrezza (mm): 0,01\n"
           "misura: Ø\nMisura;Diametro interno (mm);Prezzo (€/m)\n110;90,0;12,40\n125;102,2;15\n";
    std::ofstream(user / "storto.txt")
        << "serie: PVC\nmateriale: PVC\npn (bar): 10\nscabrezza (mm): 0,01\n"
           "Misura;Diametro interno (mm)\n110;cento\n";
    const CatalogueSet set = LoadCatalogues(
        CatalogueFolders(ACQUENZA_RESOURCES_DIR, home.c_str(), "/nowhere", "/nowhere"));
    const std::string problems = CatalogueProblemsText(set);
    EXPECT_NE(problems.find((user / "storto.txt").string() + ", riga 6"), std::string::npos)
        << problems;
    const PipeSeries* priced = FindSeries(set.series, Sdr11);
    ASSERT_NE(priced, nullptr);
    EXPECT_TRUE(priced->AllPriced());
    EXPECT_EQ(FindSeries(set.series, "PVC"), nullptr);
    EXPECT_EQ(set.notices.size(), 1u);
    fs::remove_all(home);
}

}  // namespace
}  // namespace acquenza
