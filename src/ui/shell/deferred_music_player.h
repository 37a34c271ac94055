#pragma once
// The splash's tune without holding up the splash: loading a SoundFont and
// opening a sound device take longer than showing the first window, so the
// real player is made only once the window is on screen. Until then the
// commands are kept and handed over in their order, so what the user hears
// is what the commands asked for, a moment later.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/music_player.h"

namespace acquenza::ui {

class DeferredMusicPlayer final : public MusicPlayer {
  public:
    using Factory = std::function<std::unique_ptr<MusicPlayer>()>;

    explicit DeferredMusicPlayer(Factory makePlayer);
    ~DeferredMusicPlayer() override;
    DeferredMusicPlayer(const DeferredMusicPlayer&) = delete;
    DeferredMusicPlayer& operator=(const DeferredMusicPlayer&) = delete;

    // Makes the real player and gives it the commands kept so far; from then
    // on commands go straight to it. Later calls do nothing.
    void Start();
    bool Started() const { return started_; }

    void Open(const std::string& path) override;
    void Play() override;
    void Pause() override;
    void Close() override;

  private:
    enum class Command { Open, Play, Pause, Close };
    void Send(Command command, const std::string& path = {});

    Factory makePlayer_;
    std::unique_ptr<MusicPlayer> player_;
    bool started_ = false;
    // Kept until Start: every command since the last Open (or Close), which
    // is all that decides what the player does next.
    std::vector<std::pair<Command, std::string>> kept_;
};

}  // namespace acquenza::ui
