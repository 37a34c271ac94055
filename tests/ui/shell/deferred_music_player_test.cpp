// The tune held back until the splash is on screen: whatever the commands
// before and after the hand-over, the synthesizer ends where it would have
// ended had every command gone straight to it.

#include "ui/shell/deferred_music_player.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "ui/shell/fluidsynth_player.h"

namespace acquenza::ui {
namespace {

// What can be heard: the file loaded and whether it is sounding.
struct Sound {
    std::string loaded;
    bool playing = false;
};

class AudibleSynthesizer final : public Synthesizer {
  public:
    explicit AudibleSynthesizer(Sound& sound) : sound_(sound) {}
    bool LoadSoundFont(const std::string&) override { return true; }
    bool LoadFile(const std::string& path) override {
        sound_.loaded = path;
        // A tune that is not a MIDI file fails here, as with FluidSynth.
        return path != "rotto.mid";
    }
    bool OpenOutput() override { return true; }
    bool Start() override {
        sound_.playing = true;
        return true;
    }
    void Stop() override { sound_.playing = false; }
    void Release() override { sound_ = {}; }

  private:
    Sound& sound_;
};

enum class Command { OpenA, OpenB, OpenBroken, Play, Pause, Close };

void Send(MusicPlayer& player, Command command) {
    switch (command) {
        case Command::OpenA:
            player.Open("Internet.mid");
            break;
        case Command::OpenB:
            player.Open("altro.mid");
            break;
        case Command::OpenBroken:
            player.Open("rotto.mid");
            break;
        case Command::Play:
            player.Play();
            break;
        case Command::Pause:
            player.Pause();
            break;
        case Command::Close:
            player.Close();
            break;
    }
}

using Outcome = std::tuple<FluidSynthPlayer::State, std::string, bool>;

Outcome Direct(const std::vector<Command>& commands) {
    Sound sound;
    FluidSynthPlayer player(std::make_unique<AudibleSynthesizer>(sound), "gm.sf2");
    for (const Command c : commands) {
        Send(player, c);
    }
    return {player.state(), sound.loaded, sound.playing};
}

// The first `before` commands are kept, the others go to the real player.
Outcome Deferred(const std::vector<Command>& commands, std::size_t before) {
    Sound sound;
    FluidSynthPlayer* real = nullptr;
    DeferredMusicPlayer player([&] {
        auto made = std::make_unique<FluidSynthPlayer>(std::make_unique<AudibleSynthesizer>(sound),
                                                       "gm.sf2");
        real = made.get();
        return made;
    });
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (i == before) {
            player.Start();
        }
        Send(player, commands[i]);
    }
    player.Start();
    return {real->state(), sound.loaded, sound.playing};
}

TEST(DeferredMusicPlayer, EndsAsTheCommandsSentStraightWouldWhereverTheHandOverFalls) {
    std::mt19937 random(20251208);
    std::uniform_int_distribution<int> pick(0, 5);
    for (int round = 0; round < 2000; ++round) {
        std::vector<Command> commands(static_cast<std::size_t>(random() % 9));
        for (Command& c : commands) {
            c = static_cast<Command>(pick(random));
        }
        const std::size_t before = random() % (commands.size() + 1);
        ASSERT_EQ(Deferred(commands, before), Direct(commands))
            << "round " << round << ", hand-over after " << before << " commands";
    }
}

TEST(DeferredMusicPlayer, MakesNothingBeforeStartAndOnlyOnce) {
    int made = 0;
    Sound sound;
    DeferredMusicPlayer player([&] {
        ++made;
        return std::make_unique<FluidSynthPlayer>(std::make_unique<AudibleSynthesizer>(sound),
                                                  "gm.sf2");
    });
    player.Open("Internet.mid");
    player.Play();
    EXPECT_EQ(made, 0);
    EXPECT_FALSE(sound.playing);
    player.Start();
    player.Start();
    EXPECT_EQ(made, 1);
    EXPECT_TRUE(player.Started());
    EXPECT_TRUE(sound.playing);
    player.Pause();
    EXPECT_FALSE(sound.playing);
}

TEST(DeferredMusicPlayer, WithoutAPlayerEveryCommandIsSilent) {
    DeferredMusicPlayer player([] { return std::unique_ptr<MusicPlayer>(); });
    player.Open("Internet.mid");
    player.Start();
    player.Play();
    player.Pause();
    player.Close();
    EXPECT_TRUE(player.Started());
}

}  // namespace
}  // namespace acquenza::ui
