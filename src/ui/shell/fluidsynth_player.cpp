#include "ui/shell/fluidsynth_player.h"

#include <dlfcn.h>
#include <fluidsynth.h>

#include <algorithm>
#include <cctype>
#include <system_error>
#include <tuple>
#include <utility>

namespace acquenza::ui {

namespace {

namespace fs = std::filesystem;

// At FluidSynth's default 0.2 TimGM6mb plays the tune faintly; 0.5 peaks
// near -7 dBFS.
constexpr double kGain = 0.5;

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Without a sound card every start would print FluidSynth's complaints and,
// past its log, libasound's own. The handlers are the process's, set once.
// libasound comes in with FluidSynth, so its handler is looked up, not linked.
void QuietAudioLibraries() {
    static const bool quiet = [] {
        for (const int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
            fluid_set_log_function(level, nullptr, nullptr);
        }
        using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetAlsaHandler = int (*)(AlsaHandler);
        if (void* set = dlsym(RTLD_DEFAULT, "snd_lib_error_set_handler")) {
            reinterpret_cast<SetAlsaHandler>(set)(&IgnoreAlsaError);
        }
        return true;
    }();
    static_cast<void>(quiet);
}

class FluidSynthesizer final : public Synthesizer {
  public:
    explicit FluidSynthesizer(std::vector<std::string> audioDrivers)
        : audioDrivers_(std::move(audioDrivers)) {
        QuietAudioLibraries();
    }
    ~FluidSynthesizer() override { Release(); }
    FluidSynthesizer(const FluidSynthesizer&) = delete;
    FluidSynthesizer& operator=(const FluidSynthesizer&) = delete;

    bool LoadSoundFont(const std::string& path) override {
        Release();
        settings_ = new_fluid_settings();
        if (settings_ == nullptr) {
            return false;
        }
        fluid_settings_setnum(settings_, "synth.gain", kGain);
        synth_ = new_fluid_synth(settings_);
        return synth_ != nullptr && fluid_synth_sfload(synth_, path.c_str(), 1) != FLUID_FAILED;
    }

    bool LoadFile(const std::string& path) override {
        // fluid_player_add takes any path and fails only when playing starts.
        if (synth_ == nullptr || player_ != nullptr || fluid_is_midifile(path.c_str()) == 0) {
            return false;
        }
        player_ = new_fluid_player(synth_);
        return player_ != nullptr && fluid_player_add(player_, path.c_str()) == FLUID_OK;
    }

    bool OpenOutput() override {
        if (synth_ == nullptr || driver_ != nullptr) {
            return false;
        }
        // Fresh settings hold FluidSynth's own choice (its registered default
        // reads empty in 2.3).
        char* current = nullptr;
        fluid_settings_dupstr(settings_, "audio.driver", &current);
        const std::string byDefault = current != nullptr ? current : "";
        fluid_free(current);
        std::vector<std::string> tried;
        for (const std::string& wanted : audioDrivers_) {
            const std::string name = wanted.empty() ? byDefault : wanted;
            if (name.empty() || std::find(tried.begin(), tried.end(), name) != tried.end()) {
                continue;
            }
            tried.push_back(name);
            if (fluid_settings_setstr(settings_, "audio.driver", name.c_str()) != FLUID_OK) {
                continue;
            }
            driver_ = new_fluid_audio_driver(settings_, synth_);
            if (driver_ != nullptr) {
                return true;
            }
        }
        return false;
    }

    bool Start() override {
        if (player_ == nullptr) {
            return false;
        }
        // A file that has ended plays again only once stopped.
        if (fluid_player_get_status(player_) == FLUID_PLAYER_DONE) {
            fluid_player_stop(player_);
        }
        return fluid_player_play(player_) == FLUID_OK;
    }

    void Stop() override {
        // FluidSynth 2.3 keeps the position and releases the sounding notes.
        if (player_ != nullptr) {
            fluid_player_stop(player_);
        }
    }

    void Release() override {
        // The driver's thread renders the synth the player feeds: it goes first.
        if (driver_ != nullptr) {
            delete_fluid_audio_driver(driver_);
            driver_ = nullptr;
        }
        if (player_ != nullptr) {
            delete_fluid_player(player_);
            player_ = nullptr;
        }
        if (synth_ != nullptr) {
            delete_fluid_synth(synth_);
            synth_ = nullptr;
        }
        if (settings_ != nullptr) {
            delete_fluid_settings(settings_);
            settings_ = nullptr;
        }
    }

  private:
    std::vector<std::string> audioDrivers_;
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    fluid_player_t* player_ = nullptr;
    fluid_audio_driver_t* driver_ = nullptr;
};

std::string Lowercase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

int SoundFontPreference(const std::string& lowercaseName) {
    if (lowercaseName.find("timgm6mb") != std::string::npos) {
        return 0;
    }
    if (lowercaseName == "fluidr3_gm.sf2") {
        return 1;
    }
    if (lowercaseName == "default-gm.sf2") {
        return 2;
    }
    return 3;
}

}  // namespace

std::unique_ptr<Synthesizer> MakeFluidSynthesizer(std::vector<std::string> audioDrivers) {
    return std::make_unique<FluidSynthesizer>(std::move(audioDrivers));
}

std::string FindSoundFont(const std::vector<fs::path>& folders) {
    // (preference, folder, name): the smallest wins, the same on every run.
    std::tuple<int, std::size_t, std::string> best{4, 0, {}};
    for (std::size_t folder = 0; folder < folders.size(); ++folder) {
        std::error_code error;
        for (fs::directory_iterator it(folders[folder], error), end; !error && it != end;
             it.increment(error)) {
            const std::string name = Lowercase(it->path().filename().string());
            // is_regular_file follows links, so a dangling alternative is skipped.
            std::error_code typeError;
            if (!name.ends_with(".sf2") || !fs::is_regular_file(it->path(), typeError)) {
                continue;
            }
            best = std::min(best, {SoundFontPreference(name), folder, it->path().string()});
        }
    }
    return std::get<2>(best);
}

FluidSynthPlayer::FluidSynthPlayer() : FluidSynthPlayer(MakeFluidSynthesizer(), FindSoundFont()) {}

FluidSynthPlayer::FluidSynthPlayer(std::unique_ptr<Synthesizer> synthesizer, std::string soundFont)
    : synthesizer_(std::move(synthesizer)), soundFont_(std::move(soundFont)) {}

FluidSynthPlayer::~FluidSynthPlayer() {
    Close();
}

void FluidSynthPlayer::Open(const std::string& path) {
    Close();
    if (synthesizer_ == nullptr || soundFont_.empty()) {
        return;
    }
    if (synthesizer_->LoadSoundFont(soundFont_) && synthesizer_->LoadFile(path) &&
        synthesizer_->OpenOutput()) {
        state_ = State::Opened;
    } else {
        Silence();
    }
}

void FluidSynthPlayer::Play() {
    if (state_ != State::Opened && state_ != State::Paused) {
        return;
    }
    if (synthesizer_->Start()) {
        state_ = State::Playing;
    } else {
        Silence();
    }
}

void FluidSynthPlayer::Pause() {
    if (state_ == State::Playing) {
        synthesizer_->Stop();
        state_ = State::Paused;
    }
}

void FluidSynthPlayer::Close() {
    if (state_ != State::Closed) {
        Silence();
    }
}

void FluidSynthPlayer::Silence() {
    synthesizer_->Release();
    state_ = State::Closed;
}

}  // namespace acquenza::ui
