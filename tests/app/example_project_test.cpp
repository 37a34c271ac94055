// The example project shipped beside the program: a small branched network
// typed into the data window as a user would, saved, and opened again.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/archive_commands.h"
#include "app/fakes.h"
#include "app/network_model.h"
#include "app/pipe_commands.h"
#include "reports/path_profile.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;

const fs::path ShippedExample = fs::path(ACQUENZA_RESOURCES_DIR) / "Acquenza-dati-esempio";

struct TypedSection {
    const char* length;
    const char* zStart;
    const char* zEnd;
    const char* flowAlong;
    const char* residentsAlong;
    const char* flowEnd;
    const char* residentsEnd;
    const char* allowanceEnd;  // typed before the residents, when not the default
    bool fireAtEnd;
    const char* pipe;
    const char* upstream;  // "tronco a monte": 0 is the reservoir
};

// A hill village fed from a reservoir whose water stands at 420 m: the trunk
// main (1, 2) and the two districts it splits into at node 2 (3, 6, 8, 10,
// 12 and 4, 5, 7, 9, 11). Every node delivers what its own residents draw
// (a fire hydrant at node 6); the flows leaving the junctions are the
// program's sums. Decimals are typed with a point, as the data window asks.
const std::vector<TypedSection> Network = {
    {"1250", "398", "387.4", "0", "", "", "150", "", false, "nuova", "0"},
    {"640", "387.4", "382.3", "", "350", "", "120", "", false, "nuova", "1"},
    {"420", "382.3", "378.1", "0", "", "", "80", "", false, "nuova", "2"},
    {"380", "382.3", "376.6", "", "420", "", "200", "", false, "in uso", "2"},
    {"295", "376.6", "371.9", "1.2", "", "", "250", "200", false, "in uso", "4"},
    {"510", "378.1", "370.9", "", "610", "", "2800", "", true, "nuova", "3"},
    {"275", "371.9", "367.8", "", "180", "", "140", "250", false, "in uso", "5"},
    {"330", "370.9", "365.4", "0.8", "", "", "90", "", false, "nuova", "6"},
    {"460", "367.8", "360.6", "", "260", "", "110", "", false, "in uso", "7"},
    {"215", "365.4", "363.2", "0", "", "", "60", "", false, "nuova", "8"},
    {"390", "360.6", "352", "", "140", "", "120", "", false, "in uso", "9"},
    {"185", "363.2", "358.9", "", "95", "0.6", "", "", false, "nuova", "10"},
};
constexpr const char* SourceHead = "420";

class ExampleProject : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
        folder = fs::temp_directory_path() / ("acquenza-esempio-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    DataWindowModel& data() { return windows.LoadDataWindow(); }
    TitlePageModel& title() { return windows.LoadTitlePage(); }

    void TypeNetwork() {
        for (int s = 1; s <= static_cast<int>(Network.size()); ++s) {
            if (s > 10) {
                data().Scroll(s - 9);
            }
            const int row = s - data().ScrollValue() + 1;
            const TypedSection& t = Network[s - 1];
            auto type = [&](Field f, const char* text) {
                if (*text != '\0') {
                    data().TypeInBox(row, f, text);
                }
            };
            type(Field::lungh, t.length);
            type(Field::quotain, t.zStart);
            type(Field::quotafin, t.zEnd);
            type(Field::portun, t.flowAlong);
            type(Field::abitun, t.residentsAlong);
            type(Field::portfin, t.flowEnd);
            // The allowance first: typing the residents derives the flow.
            type(Field::dotazfin, t.allowanceEnd);
            type(Field::abitfin, t.residentsEnd);
            if (t.fireAtEnd) {
                data().FireButton();
            }
            data().PickPipeType(row, t.pipe);
            // Joined to the network in the network window, once entered.
            ASSERT_TRUE(network.SetLink(s, t.upstream)) << "tronco " << s;
        }
        ASSERT_TRUE(network.SetValue(NetworkValue::SourceHead, SourceHead));
        // Polyethylene pipes laid on the whole network, from the shipped catalogue.
        state.catalogues =
            LoadCatalogues({fs::path(ACQUENZA_RESOURCES_DIR) / std::string(CatalogueFolderName)});
        ASSERT_TRUE(
            PipeCommands(state, dialogs, state.catalogues).SetProjectSeries("PE100 SDR11 PN16"));
        title().TypeInField(TitleField::progetto, "Rete idrica di distribuzione dell'abitato");
        title().TypeInField(TitleField::localita, "Poggio Verde");
        title().TypeInField(TitleField::tipostudio, "ipotesi situazione di progetto");
        title().TypeInField(TitleField::committente, "Comune di Poggio Verde");
        title().TypeInField(TitleField::luogo, "Poggio Verde");
        title().TypeInField(TitleField::data, "martedì, 8 dic 2026");
        title().TypeInField(TitleField::allegati, "planimetria della rete; profili longitudinali");
    }

    static std::string Slurp(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    ProgramState state;
    testing::FakeDialogs dialogs;
    testing::FakeWindows windows{state, dialogs};
    NetworkModel network{state, dialogs};
    fs::path folder;
};

// The shipped file is byte for byte what the program saves for this network;
// ACQUENZA_WRITE_EXAMPLE=1 writes it again after the network is changed.
TEST_F(ExampleProject, ShippedFileIsWhatTheProgramSavesForTheNetwork) {
    TypeNetwork();
    const fs::path saved = folder / "Acquenza-dati-esempio";
    dialogs.files = {saved.string()};
    ArchiveCommands(state, dialogs, windows, WindowId::dati).SaveAs();
    ASSERT_TRUE(fs::exists(saved));
    if (const char* write = std::getenv("ACQUENZA_WRITE_EXAMPLE"); write && *write == '1') {
        fs::copy_file(saved, ShippedExample, fs::copy_options::overwrite_existing);
    }
    EXPECT_EQ(Slurp(saved), Slurp(ShippedExample));
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text;
}

TEST_F(ExampleProject, OpensWithEverySectionSizedAtSensibleVelocities) {
    dialogs.files = {ShippedExample.string()};
    ArchiveCommands(state, dialogs, windows, WindowId::dati).Open();
    ASSERT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text;
    ASSERT_EQ(state.project.enteredSectionCount, 12);
    EXPECT_EQ(title().Texts().localita, "Poggio Verde");
    // Every section's results are current once the grid has shown it.
    data().Scroll(3);
    for (int s = 1; s <= 12; ++s) {
        const auto& sections = state.project.sections;
        ASSERT_TRUE(sections.Get(s, Field::dia).IsNumber()) << "tronco " << s;
        const double velocity = sections.Get(s, Field::vel).NumberValue();
        EXPECT_GT(sections.Get(s, Field::dia).NumberValue(), 0) << s;
        EXPECT_GT(velocity, 0.3) << s;
        EXPECT_LT(velocity, 2.5) << s;
    }
    data().CheckData();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Information) << dialogs.shown[0].text;
}

// What a new user sees in the network window: a tree fed from the
// reservoir, every node between the minimum pressure and the maximum static
// pressure, and a profile along the most unfavourable path with its heads.
TEST_F(ExampleProject, OpensAsANetworkWithEveryNodeWithinTheLimits) {
    dialogs.files = {ShippedExample.string()};
    ArchiveCommands(state, dialogs, windows, WindowId::dati).Open();
    ASSERT_TRUE(dialogs.shown.empty()) << dialogs.shown.front().text;
    data().Scroll(3);
    ASSERT_TRUE(HasNetwork(state.project));
    EXPECT_EQ(network.ValueText(NetworkValue::SourceHead), SourceHead);
    const NetworkResult& result = network.Analysis();
    const NetworkLimits limits = network.Input().limits;
    for (int s = 1; s <= 12; ++s) {
        EXPECT_EQ(UpstreamText(state.project.sections, s), Network[s - 1].upstream) << s;
        const SectionHydraulics& h = result.sections[s];
        ASSERT_EQ(h.state, HeadState::Computed) << NotComputableText(s, h);
        EXPECT_GE(h.pressureEnd, limits.minimumPressure) << "nodo " << s;
        EXPECT_LE(h.staticEnd, limits.maximumStaticPressure) << "nodo " << s;
        // The heads fall along the flow, never below the ground.
        EXPECT_LT(h.headEnd, h.headStart) << s;
    }
    // A main with two branches: two paths, to the ends of the branches.
    std::vector<int> ends;
    for (const NetworkPath& path : result.paths) {
        ends.push_back(path.endNode);
    }
    std::sort(ends.begin(), ends.end());
    EXPECT_EQ(ends, (std::vector<int>{11, 12}));
    for (const NetworkCheck& check : result.checks) {
        EXPECT_NE(check.kind, CheckKind::LowPressure) << check.text;
        EXPECT_NE(check.kind, CheckKind::HighStaticPressure) << check.text;
        EXPECT_NE(check.kind, CheckKind::ElevationMismatch) << check.text;
    }
    const PathProfile worst = WorstPathProfile(network.Input(), result);
    ASSERT_NE(worst.endNode, 0) << worst.note;
    EXPECT_EQ(worst.sections.front(), 1);
    EXPECT_EQ(worst.head.size(), worst.ground.size());
}

}  // namespace
}  // namespace acquenza
