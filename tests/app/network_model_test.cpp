// The network as the user edits it: links and node deliveries typed, sections
// deleted, undone and done again, saved and opened. Whatever the order, every
// linked section's end flow is what leaves its node, and undo leads back to
// the project as it was.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/archive_commands.h"
#include "app/fakes.h"
#include "app/network_model.h"
#include "app/undo_commands.h"
#include "archive/project_file.h"
#include "core/numbers.h"

namespace acquenza {
namespace {

class Network : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
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
    // Ten sections down a hillside, each 5 m below the one before.
    void TypeSections() {
        for (int r = 1; r <= 10; ++r) {
            Type(r, Field::lungh, std::to_string(100 + 20 * r));
            Type(r, Field::quotain, std::to_string(400 - 5 * (r - 1)));
            Type(r, Field::quotafin, std::to_string(400 - 5 * r));
            Type(r, Field::portun, r % 3 == 0 ? "0" : "1.5");
            Type(r, Field::portfin, std::to_string(r % 4));
            grid().PickPipeType(r, r % 2 == 0 ? "nuova" : "in uso");
        }
    }
    std::vector<SectionRecord> Take() const {
        std::vector<SectionRecord> all;
        for (int s = 1; s <= MaxSections; ++s) {
            all.push_back(state.project.sections.Record(s));
        }
        return all;
    }
    static std::string Difference(const std::vector<SectionRecord>& a,
                                  const std::vector<SectionRecord>& b) {
        for (std::size_t s = 0; s < a.size(); ++s) {
            if (a[s].id != b[s].id) {
                return "tronco " + std::to_string(s + 1) + ": un altro tronco al suo posto";
            }
            for (int f = 0; f < FieldSlots; ++f) {
                if (!(a[s].fields[static_cast<std::size_t>(f)] ==
                      b[s].fields[static_cast<std::size_t>(f)])) {
                    return "tronco " + std::to_string(s + 1) + " campo " + std::to_string(f) +
                           ": «" + a[s].fields[static_cast<std::size_t>(f)].DisplayText() +
                           "» / «" + b[s].fields[static_cast<std::size_t>(f)].DisplayText() + "»";
                }
            }
        }
        return {};
    }
    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

    // The first linked section whose end flow is not what leaves its node.
    std::string SumsDisagree() const {
        const SectionTable& t = state.project.sections;
        const NetworkInput input = NetworkInputOf(state.project, NetworkLimits{});
        const NetworkTree tree = BuildTree(input);
        auto flow = [&](int s, Field f) { return NumericValue(t, s, f); };
        for (int s = 1; s <= input.SectionCount(); ++s) {
            const std::vector<int>& below = tree.children[static_cast<std::size_t>(s)];
            if (below.empty() || !UpstreamOf(t, s)) {
                continue;
            }
            double sum = OwnDemand(t, s, true);
            for (const int j : below) {
                sum += flow(j, Field::portun) + flow(j, Field::portfin);
            }
            if (std::abs(flow(s, Field::portfin) - sum) > 1e-6) {
                return "tronco " + std::to_string(s) + ": portata es. " +
                       t.Get(s, Field::portfin).DisplayText() + ", somma " + NumberText(sum);
            }
        }
        return {};
    }

    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::FakeWindows windows{state, dialogs};
    NetworkModel network{state, dialogs};
    UndoCommands undo{state, windows};
    unsigned seed = 0;
    std::mt19937 rng;
};

TEST_F(Network, EndFlowsAreTheSumsDownstreamWhateverTheUserDoesAndUndoLeadsBack) {
    TypeSections();
    state.history.Clear();
    const std::vector<SectionRecord> start = Take();
    for (int i = 0; i < 400; ++i) {
        const int s = Pick(1, 10);
        const int action = Pick(0, 9);
        switch (action) {
            case 0:
            case 1:
            case 2: {
                const int up = Pick(-1, 11);
                network.SetLink(s, up < 0 ? "" : std::to_string(up));
                break;
            }
            case 3:
                network.SetNodeDemand(s, Pick(0, 1) == 0 ? "" : std::to_string(Pick(0, 5)) + ".25");
                break;
            case 4:
                Type(s, Field::portun, std::to_string(Pick(0, 3)));
                break;
            case 5:
                Type(s, Field::abitfin, Pick(0, 1) == 0 ? "" : std::to_string(Pick(100, 900)));
                break;
            case 6:
                if (!grid().BoxText(s, Field::lungh).empty()) {
                    grid().DeleteRow(s);
                    // Deleted sections come back, so the network keeps its size.
                    if (Pick(0, 1) == 0) {
                        undo.Undo();
                    }
                }
                break;
            case 7:
                undo.Undo();
                break;
            case 8:
                undo.Redo();
                break;
            default:
                Type(s, Field::portfin, std::to_string(Pick(0, 4)));
        }
        ASSERT_EQ(SumsDisagree(), "")
            << "seed " << seed << ", action " << i << " (" << action << " on " << s << ")";
    }
    ASSERT_TRUE(HasNetwork(state.project) || state.history.StepCount() > 0) << "seed " << seed;
    const std::vector<SectionRecord> end = Take();
    int done = 0;
    for (; state.history.CanUndo(); ++done) {
        undo.Undo();
    }
    EXPECT_EQ(Difference(Take(), start), "") << "seed " << seed;
    // Done again up to where the user left it (steps undone last stay undone).
    for (; done > 0; --done) {
        undo.Redo();
    }
    EXPECT_EQ(Difference(Take(), end), "") << "seed " << seed;
}

TEST_F(Network, LinksThatCannotBeAreRefusedWithTheSectionsNamed) {
    TypeSections();
    ASSERT_TRUE(network.SetLink(2, "1"));
    ASSERT_TRUE(network.SetLink(3, "2"));
    const std::size_t steps = state.history.StepCount();
    const std::vector<SectionRecord> before = Take();
    for (const auto& [section, text] :
         std::vector<std::pair<int, std::string>>{{4, "4"}, {4, "12"}, {1, "3"}, {5, "x"}}) {
        dialogs.shown.clear();
        EXPECT_FALSE(network.SetLink(section, text)) << text;
        ASSERT_EQ(dialogs.shown.size(), 1u) << text;
        EXPECT_NE(dialogs.LastText().find(SignedText(section).substr(1)), std::string::npos)
            << dialogs.LastText();
    }
    EXPECT_NE(dialogs.shown.back().text.find("«x»"), std::string::npos);
    EXPECT_TRUE(Take() == before);
    EXPECT_EQ(state.history.StepCount(), steps);
}

TEST_F(Network, AFirstSectionDownstreamKeepsTheTypedEndFlowAsTheNodesDelivery) {
    TypeSections();
    Type(1, Field::portfin, "2.5");
    network.SetLink(1, "0");
    ASSERT_TRUE(network.SetLink(2, "1"));
    EXPECT_EQ(state.project.sections.Get(1, NodeDemandField).DisplayText(), "2,5");
    // 2,5 at the node, 1,5 along section 2 and its own 2 at the end.
    EXPECT_EQ(NumericValue(state.project.sections, 1, Field::portfin), 6.0);
    EXPECT_FALSE(dialogs.shown.size() > 0 && dialogs.LastText().find("somma") != std::string::npos);
    // The derived flow cannot be typed over.
    Type(1, Field::portfin, "9");
    EXPECT_EQ(NumericValue(state.project.sections, 1, Field::portfin), 6.0);
    EXPECT_NE(dialogs.LastText().find("finestra della rete"), std::string::npos);
    // One undo takes the link and the delivery back together.
    undo.Undo();
    EXPECT_TRUE(state.project.sections.Get(1, NodeDemandField).IsEmpty());
    EXPECT_EQ(NumericValue(state.project.sections, 1, Field::portfin), 2.5);
    // Residents typed at the end now say what the node delivers.
    undo.Redo();
    Type(1, Field::abitfin, "800");
    EXPECT_TRUE(state.project.sections.Get(1, NodeDemandField).IsEmpty());
    EXPECT_DOUBLE_EQ(NumericValue(state.project.sections, 1, Field::portfin),
                     DerivedFlow(800, 250) + 1.5 + 2);
}

TEST_F(Network, DeletingASectionRenumbersTheLinksAndStartsItsBranchesAtTheSource) {
    TypeSections();
    network.SetLink(2, "0");
    network.SetLink(4, "2");
    network.SetLink(5, "4");
    network.SetLink(6, "4");
    network.SetLink(8, "6");
    const SectionTable& t = state.project.sections;
    grid().DeleteRow(3);  // a stand-alone section: the links follow their sections
    EXPECT_EQ(UpstreamText(t, 3), "2");
    EXPECT_EQ(UpstreamText(t, 4), "3");
    EXPECT_EQ(UpstreamText(t, 5), "3");
    EXPECT_EQ(UpstreamText(t, 7), "5");
    dialogs.shown.clear();
    grid().DeleteRow(3);  // the section the branches continued from
    EXPECT_EQ(UpstreamText(t, 3), "0");
    EXPECT_EQ(UpstreamText(t, 4), "0");
    EXPECT_EQ(UpstreamText(t, 6), "4");
    EXPECT_NE(dialogs.LastText().find("dei tronchi n. 3, 4"), std::string::npos)
        << dialogs.LastText();
    EXPECT_EQ(SumsDisagree(), "");
    undo.Undo();
    EXPECT_EQ(UpstreamText(t, 4), "3");
    EXPECT_EQ(UpstreamText(t, 7), "5");
    EXPECT_EQ(SumsDisagree(), "");
}

TEST_F(Network, TheNetworkIsSavedAfterTheTitlesAndOpenedAsItWasWithoutBeingSettled) {
    TypeSections();
    network.SetLink(1, "0");
    network.SetLink(2, "1");
    network.SetLink(3, "1");
    network.SetNodeDemand(3, "0.75");
    network.SetValue(NetworkValue::SourceHead, "432.5");
    network.SetValue(NetworkValue::MinimumPressure, "25");
    std::string bytes;
    ASSERT_TRUE(EncodeProjectFile(state.project, bytes).ok);
    EXPECT_NE(
        bytes.find("\"Acquenza: dati della rete\",1\r\n"
                   "\"carico alla sorgente\",\"432,5\"\r\n"
                   "\"pressione minima\",\"25\"\r\n"
                   "\"pressione massima statica\",\"\"\r\n"
                   "\"serie delle tubazioni\",\"\"\r\n"
                   "\"formula delle perdite\",\"\"\r\n"
                   "\"metodo di dimensionamento\",\"\"\r\n"
                   "\"tronchi della rete\",\"tronco\",\"tronco a monte\","
                   "\"erogazione al nodo\",\"serie\",\"misura\",\"diametro della rete (mm)\"\r\n"
                   "\"1\",\"0\",\"1\",\"\",\"\",\"\"\r\n\"2\",\"1\",\"\",\"\",\"\",\"\"\r\n"
                   "\"3\",\"1\",\"0,75\",\"\",\"\",\"\"\r\n"
                   "\"fine dei dati della rete\"\r\n"),
        std::string::npos)
        << bytes;

    // A hand edit puts a sum out of step: Open shows it as it is.
    const std::string sum =
        "\"" + state.project.sections.Get(1, Field::portfin).DisplayText() + "\"";
    const std::size_t at = bytes.find(sum);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, sum.size(), "\"99\"");
    const std::filesystem::path file =
        std::filesystem::path(::testing::TempDir()) / ("rete" + std::to_string(seed) + ".dat");
    {
        std::FILE* out = std::fopen(file.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    ProgramState other;
    InitProgramValues(other.identity.values);
    InitSharedTitles(other.identity.titles, other.identity.values);
    testing::FakeDialogs otherDialogs;
    testing::FakeWindows otherWindows{other, otherDialogs};
    ArchiveCommands archive(other, otherDialogs, otherWindows, WindowId::dati);
    ASSERT_TRUE(archive.OpenFile(file.string()));
    EXPECT_EQ(other.project.sections.Get(1, Field::portfin).DisplayText(), "99");
    EXPECT_EQ(UpstreamText(other.project.sections, 3), "1");
    EXPECT_EQ(other.project.sections.Get(3, NodeDemandField).DisplayText(), "0,75");
    EXPECT_EQ(other.project.network.sourceHead, "432,5");
    EXPECT_EQ(other.project.network.minimumPressure, "25");
    EXPECT_FALSE(other.history.Modified());
    std::filesystem::remove(file);

    // Without links or network values, not a byte of the block.
    ProgramState plain;
    plain.project.sections.Set(1, Field::lungh, FieldValue::Text("100"));
    plain.project.enteredSectionCount = 1;
    ASSERT_TRUE(EncodeProjectFile(plain.project, bytes).ok);
    EXPECT_EQ(bytes.find("rete"), std::string::npos);
}

}  // namespace
}  // namespace acquenza

namespace acquenza {
namespace {

// A data file written before the network existed: opened, shown in the
// network window's terms, and saved again, it is the same file byte for byte.
TEST_F(Network, AFileFromBeforeTheNetworkIsSavedAgainByteForByte) {
    const std::filesystem::path shipped = std::filesystem::path(ACQUENZA_RESOURCES_DIR) / ".." /
                                          "tests" / "app" / "data" /
                                          "Acquenza-dati-prima-della-rete";
    const std::filesystem::path file =
        std::filesystem::path(::testing::TempDir()) / ("prima" + std::to_string(seed) + ".dat");
    std::filesystem::copy_file(shipped, file, std::filesystem::copy_options::overwrite_existing);
    auto slurp = [](const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    const std::string before = slurp(file);
    ArchiveCommands archive(state, dialogs, windows, WindowId::dati);
    ASSERT_TRUE(archive.OpenFile(file.string()));
    EXPECT_FALSE(HasNetwork(state.project));
    network.Analysis();  // the network window looks; nothing changes
    grid().RefreshGrid();
    EXPECT_FALSE(state.history.Modified());
    struct stat opened {};
    ::stat(file.c_str(), &opened);
    archive.Save();
    struct stat saved {};
    ::stat(file.c_str(), &saved);
    EXPECT_NE(saved.st_ino, opened.st_ino) << "the file was not written again";
    EXPECT_EQ(slurp(file), before);
    std::filesystem::remove(file);
}

}  // namespace
}  // namespace acquenza
