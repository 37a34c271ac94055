// The example project shipped beside the program: a small branched network
// typed into the data window as a user would, saved, and opened again.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/archive_commands.h"
#include "app/fakes.h"

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
};

// A hill village fed from a reservoir at 412.50 m: the trunk main, the two
// districts it splits into and their smaller branches. Decimals are typed
// with a point, as the data window asks.
const std::vector<TypedSection> Network = {
    {"1250", "412.5", "396.2", "0", "", "", "2800", "", false, "nuova"},
    {"640", "396.2", "388.4", "", "350", "", "2450", "", false, "nuova"},
    {"420", "388.4", "381.9", "0", "", "8.5", "", "", false, "nuova"},
    {"380", "388.4", "379.6", "", "420", "", "1200", "", false, "in uso"},
    {"295", "379.6", "372.3", "3.2", "", "", "950", "200", false, "in uso"},
    {"510", "381.9", "370.8", "", "610", "", "2800", "", true, "nuova"},
    {"275", "372.3", "366.1", "", "180", "", "540", "250", false, "in uso"},
    {"330", "370.8", "362.4", "2.1", "", "4.6", "", "", false, "nuova"},
    {"460", "366.1", "355", "", "260", "", "310", "", false, "in uso"},
    {"215", "362.4", "358.9", "0", "", "1.8", "", "", false, "nuova"},
    {"390", "355", "341.7", "", "140", "", "120", "", false, "in uso"},
    {"185", "358.9", "352.3", "", "95", "0.6", "", "", false, "nuova"},
};

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
        }
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

}  // namespace
}  // namespace acquenza
