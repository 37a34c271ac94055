#pragma once
// The splash's tune: open a file, play in the background, pause, resume with
// play, close. Nothing about it is ever reported to the user.

#include <string>

namespace acquenza {

class MusicPlayer {
  public:
    virtual ~MusicPlayer() = default;
    virtual void Open(const std::string& path) = 0;
    virtual void Play() = 0;
    virtual void Pause() = 0;
    virtual void Close() = 0;
};

// Silence: for machines without the tune, a synthesizer or a sound device.
class NullMusicPlayer final : public MusicPlayer {
  public:
    void Open(const std::string&) override {}
    void Play() override {}
    void Pause() override {}
    void Close() override {}
};

}  // namespace acquenza
