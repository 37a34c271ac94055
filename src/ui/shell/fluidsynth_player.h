#pragma once
// The splash's tune through FluidSynth: a SoundFont synthesizer, a MIDI file
// player and an audio driver rendering on FluidSynth's own thread, so the UI
// thread only starts and stops it. Whatever is missing (the tune, a SoundFont,
// a sound device) leaves the program silent and otherwise unaware of it.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/music_player.h"

namespace acquenza::ui {

// The few FluidSynth steps the player takes, so its states can be checked
// without a sound device.
class Synthesizer {
  public:
    virtual ~Synthesizer() = default;
    // Opening, in this order; a false at any step means no music this time.
    virtual bool LoadSoundFont(const std::string& path) = 0;
    virtual bool LoadFile(const std::string& path) = 0;
    virtual bool OpenOutput() = 0;
    // Starts the file, or resumes it where Stop left it; a file that has
    // ended starts over.
    virtual bool Start() = 0;
    // Halts the file where it is and lets the sounding notes fade.
    virtual void Stop() = 0;
    // Undoes whatever the steps above built; harmless when nothing was.
    virtual void Release() = 0;
};

// FluidSynth's defaults first (ALSA on Linux), then PulseAudio.
inline const std::vector<std::string> kDefaultAudioDrivers = {"", "pulseaudio"};

// FluidSynth itself. Each driver name is tried in turn until one opens; an
// empty name stands for FluidSynth's own choice. Nothing it does is printed.
std::unique_ptr<Synthesizer> MakeFluidSynthesizer(
    std::vector<std::string> audioDrivers = kDefaultAudioDrivers);

inline const std::vector<std::filesystem::path> kSoundFontFolders = {"/usr/share/sounds/sf2",
                                                                     "/usr/share/soundfonts"};

// The General MIDI SoundFont the tune was written for: TimGM6mb, else
// FluidR3_GM, else the system's default GM, else any other .sf2 in the
// folders; empty when there is none.
std::string FindSoundFont(const std::vector<std::filesystem::path>& folders = kSoundFontFolders);

class FluidSynthPlayer final : public MusicPlayer {
  public:
    enum class State { Closed, Opened, Playing, Paused };

    // FluidSynth with the SoundFont found on this machine.
    FluidSynthPlayer();
    // An empty soundFont means there is none: every call stays silent.
    FluidSynthPlayer(std::unique_ptr<Synthesizer> synthesizer, std::string soundFont);
    ~FluidSynthPlayer() override;
    FluidSynthPlayer(const FluidSynthPlayer&) = delete;
    FluidSynthPlayer& operator=(const FluidSynthPlayer&) = delete;

    // Any tune already open is closed first. A failure leaves it Closed.
    void Open(const std::string& path) override;
    // Starts or resumes; nothing after Close or a failed Open.
    void Play() override;
    void Pause() override;
    void Close() override;

    State state() const { return state_; }

  private:
    void Silence();

    std::unique_ptr<Synthesizer> synthesizer_;
    std::string soundFont_;
    State state_ = State::Closed;
};

}  // namespace acquenza::ui
