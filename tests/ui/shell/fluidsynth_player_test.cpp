#include "ui/shell/fluidsynth_player.h"

#include <fluidsynth.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace acquenza::ui {
namespace {

namespace fs = std::filesystem;
using State = FluidSynthPlayer::State;
using Calls = std::vector<std::string>;

// Records every step; the step whose name starts with failAt answers false.
class FakeSynthesizer final : public Synthesizer {
  public:
    FakeSynthesizer(Calls& calls, std::string failAt) : calls_(calls), failAt_(std::move(failAt)) {}
    bool LoadSoundFont(const std::string& path) override { return Step("LoadSoundFont " + path); }
    bool LoadFile(const std::string& path) override { return Step("LoadFile " + path); }
    bool OpenOutput() override { return Step("OpenOutput"); }
    bool Start() override { return Step("Start"); }
    void Stop() override { Step("Stop"); }
    void Release() override { Step("Release"); }

  private:
    bool Step(const std::string& call) {
        calls_.push_back(call);
        return failAt_.empty() || call.rfind(failAt_, 0) != 0;
    }
    Calls& calls_;
    std::string failAt_;
};

class FluidSynthPlayerTest : public ::testing::Test {
  protected:
    FluidSynthPlayer& Player(const std::string& failAt = {},
                             const std::string& soundFont = "gm.sf2") {
        player_.emplace(std::make_unique<FakeSynthesizer>(calls_, failAt), soundFont);
        return *player_;
    }

    Calls calls_;
    std::optional<FluidSynthPlayer> player_;
};

TEST_F(FluidSynthPlayerTest, OpensInOrderAndPauseResumesWithoutReopening) {
    FluidSynthPlayer& player = Player();
    player.Open("Internet.mid");
    player.Pause();
    EXPECT_EQ(player.state(), State::Opened);
    EXPECT_EQ(calls_, (Calls{"LoadSoundFont gm.sf2", "LoadFile Internet.mid", "OpenOutput"}));
    calls_.clear();
    player.Play();
    player.Play();
    EXPECT_EQ(player.state(), State::Playing);
    player.Pause();
    player.Pause();
    EXPECT_EQ(player.state(), State::Paused);
    player.Play();
    EXPECT_EQ(player.state(), State::Playing);
    EXPECT_EQ(calls_, (Calls{"Start", "Stop", "Start"}));
}

TEST_F(FluidSynthPlayerTest, NothingSoundsAfterClose) {
    FluidSynthPlayer& player = Player();
    player.Open("Internet.mid");
    player.Play();
    player.Close();
    player.Play();
    player.Pause();
    player.Close();
    EXPECT_EQ(player.state(), State::Closed);
    EXPECT_EQ(calls_, (Calls{"LoadSoundFont gm.sf2", "LoadFile Internet.mid", "OpenOutput", "Start",
                             "Release"}));
}

TEST_F(FluidSynthPlayerTest, OpeningAgainOrDestroyingReleasesTheTune) {
    FluidSynthPlayer& player = Player();
    player.Open("Internet.mid");
    player.Play();
    calls_.clear();
    player.Open("Other.mid");
    EXPECT_EQ(player.state(), State::Opened);
    player_.reset();
    EXPECT_EQ(calls_, (Calls{"Release", "LoadSoundFont gm.sf2", "LoadFile Other.mid", "OpenOutput",
                             "Release"}));
}

TEST_F(FluidSynthPlayerTest, WithoutSoundFontTheSynthesizerIsNeverTouched) {
    FluidSynthPlayer& player = Player({}, "");
    player.Open("Internet.mid");
    player.Play();
    player.Close();
    EXPECT_EQ(player.state(), State::Closed);
    EXPECT_TRUE(calls_.empty());
}

class FluidSynthPlayerFailureTest : public FluidSynthPlayerTest,
                                    public ::testing::WithParamInterface<const char*> {};

TEST_P(FluidSynthPlayerFailureTest, AFailedStepReleasesOnceAndSilencesTheRest) {
    FluidSynthPlayer& player = Player(GetParam());
    EXPECT_NO_THROW({
        player.Open("Internet.mid");
        player.Play();
        player.Pause();
        player.Play();
        player.Close();
    });
    EXPECT_EQ(player.state(), State::Closed);
    ASSERT_GE(calls_.size(), 2U);
    EXPECT_EQ(calls_[calls_.size() - 2].rfind(GetParam(), 0), 0U) << "later steps were taken";
    EXPECT_EQ(calls_.back(), "Release");
}

INSTANTIATE_TEST_SUITE_P(EachStep, FluidSynthPlayerFailureTest,
                         ::testing::Values("LoadSoundFont", "LoadFile", "OpenOutput", "Start"));

TEST(FluidSynthSoundFont, PrefersTimGM6mbThenFluidR3ThenTheDefaultThenAnyOther) {
    const fs::path root = fs::temp_directory_path() / ("acquenza_sf2_" + std::to_string(getpid()));
    fs::create_directories(root / "a");
    fs::create_directories(root / "b" / "dir.sf2");
    for (const char* name : {"a/zz.sf2", "a/default-GM.sf2", "a/FluidR3_GM.sf2", "b/TimGM6mb.sf2",
                             "b/notes.txt", "b/aa.SF2"}) {
        std::ofstream(root / name) << "x";
    }
    fs::create_symlink(root / "gone.sf2", root / "a" / "TimGM6mb-dangling.sf2");
    const std::vector<fs::path> folders = {root / "missing", root / "a", root / "b"};
    for (const char* expected :
         {"b/TimGM6mb.sf2", "a/FluidR3_GM.sf2", "a/default-GM.sf2", "a/zz.sf2", "b/aa.SF2"}) {
        EXPECT_EQ(FindSoundFont(folders), (root / expected).string());
        fs::remove(root / expected);
    }
    EXPECT_EQ(FindSoundFont(folders), "");
    fs::remove_all(root);
}

fs::path SourceRoot() {
    return fs::path(ACQUENZA_RESOURCES_DIR).parent_path();
}

fs::path TunePath() {
    return SourceRoot() / "resources" / "Internet.mid";
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(FluidSynthReal, AcceptsOnlyTheTuneAndFailsQuietlyWithoutSoundDevice) {
    const std::string soundFont = FindSoundFont();
    if (soundFont.empty()) {
        GTEST_SKIP() << "no SoundFont installed";
    }
    const auto synth = MakeFluidSynthesizer({"no-such-driver"});
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(synth->LoadSoundFont("/nonexistent/gm.sf2"));
    EXPECT_TRUE(synth->LoadSoundFont(soundFont));
    EXPECT_FALSE(synth->LoadFile(SourceRoot() / "resources" / "SuggerimentiAcquenza.TXT"));
    EXPECT_TRUE(synth->LoadFile(TunePath()));
    EXPECT_FALSE(synth->OpenOutput());
    synth->Release();
    FluidSynthPlayer player(MakeFluidSynthesizer({"no-such-driver"}), soundFont);
    player.Open(TunePath());
    player.Play();
    EXPECT_EQ(player.state(), State::Closed);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(FluidSynthReal, OpeningTheUsualOutputPrintsNothing) {
    // Whether or not this machine has a sound device; nothing is started.
    const auto synth = MakeFluidSynthesizer();
    ::testing::internal::CaptureStderr();
    if (synth->LoadSoundFont(FindSoundFont()) && synth->LoadFile(TunePath())) {
        synth->OpenOutput();
    }
    synth->Release();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(FluidSynthReal, PlaysTheTuneToItsEndInAboutHalfAMinute) {
    // No SoundFont and no effects: only the file's timing is rendered, fast.
    // Without presets every program change would warn.
    fluid_set_log_function(FLUID_WARN, nullptr, nullptr);
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setint(settings, "synth.reverb.active", 0);
    fluid_settings_setint(settings, "synth.chorus.active", 0);
    fluid_synth_t* synth = new_fluid_synth(settings);
    fluid_player_t* player = new_fluid_player(synth);
    ASSERT_EQ(fluid_player_add(player, TunePath().c_str()), FLUID_OK);
    ASSERT_EQ(fluid_player_play(player), FLUID_OK);
    constexpr int kRate = 44100, kBlock = 1024;
    std::vector<float> left(kBlock), right(kBlock);
    int frames = 0;
    while (fluid_player_get_status(player) == FLUID_PLAYER_PLAYING && frames < 60 * kRate) {
        fluid_synth_write_float(synth, kBlock, left.data(), 0, 1, right.data(), 0, 1);
        frames += kBlock;
    }
    // FluidSynth calls a file done about two seconds after its last event.
    EXPECT_GE(frames, 22 * kRate);
    EXPECT_LE(frames, 42 * kRate);
    delete_fluid_player(player);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
}

std::uint32_t BigEndian(const std::string& bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    while (size-- > 0) {
        value = value << 8 | static_cast<unsigned char>(bytes.at(at++));
    }
    return value;
}

TEST(TuneFile, ChunksAreThoseOfAStandardMidiFile) {
    const std::string bytes = ReadAll(TunePath());
    ASSERT_EQ(bytes.substr(0, 4), "MThd");
    EXPECT_EQ(BigEndian(bytes, 4, 4), 6U);
    EXPECT_EQ(BigEndian(bytes, 8, 2), 1U) << "format";
    EXPECT_GT(BigEndian(bytes, 12, 2), 0U) << "ticks per beat";
    const std::uint32_t tracks = BigEndian(bytes, 10, 2);
    EXPECT_GE(tracks, 4U);
    std::size_t at = 14;
    for (std::uint32_t track = 0; track < tracks; ++track) {
        ASSERT_EQ(bytes.substr(at, 4), "MTrk") << "track " << track;
        at += 8 + BigEndian(bytes, at + 4, 4);
        ASSERT_LE(at, bytes.size());
        EXPECT_EQ(bytes.substr(at - 3, 3), std::string("\xFF\x2F\x00", 3)) << "track " << track;
    }
    EXPECT_EQ(at, bytes.size());
}

TEST(TuneFile, GeneratorWritesExactlyTheCommittedTune) {
    if (!fs::exists("/usr/bin/python3")) {
        GTEST_SKIP() << "no /usr/bin/python3";
    }
    const fs::path out = fs::temp_directory_path() / ("acquenza_tune_" + std::to_string(getpid()));
    const std::string command = "/usr/bin/python3 '" +
                                (SourceRoot() / "tools" / "make_tune.py").string() + "' '" +
                                out.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadAll(out), ReadAll(TunePath()));
    fs::remove(out);
}

}  // namespace
}  // namespace acquenza::ui
