#include "ui/shell/fluidsynth_player.h"

#include <dlfcn.h>
#include <fluidsynth.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <system_error>
#include <tuple>
#include <utility>

namespace acquenza::ui {

namespace {

namespace fs = std::filesystem;

// At FluidSynth's default 0.2 TimGM6mb plays the tune faintly; 0.5 peaks
// near -7 dBFS.
constexpr double kGain = 0.5;

// FluidSynth is opened when the tune is first wanted, not with the program:
// it brings some thirty libraries along (sound servers, codecs, SDL) whose
// loading would hold up the first window. FluidSynth 2 is soname 3.
static_assert(FLUIDSYNTH_VERSION_MAJOR == 2, "the library name below is FluidSynth 2's");
constexpr const char* kFluidSynthLibrary = "libfluidsynth.so.3";

// The FluidSynth calls the player makes, with the types the header gives.
struct FluidSynthLibrary {
    void* handle = nullptr;
    decltype(&fluid_set_log_function) set_log_function = nullptr;
    decltype(&new_fluid_settings) new_settings = nullptr;
    decltype(&delete_fluid_settings) delete_settings = nullptr;
    decltype(&fluid_settings_setnum) settings_setnum = nullptr;
    decltype(&fluid_settings_setstr) settings_setstr = nullptr;
    decltype(&fluid_settings_dupstr) settings_dupstr = nullptr;
    decltype(&fluid_free) free = nullptr;
    decltype(&new_fluid_synth) new_synth = nullptr;
    decltype(&delete_fluid_synth) delete_synth = nullptr;
    decltype(&fluid_synth_sfload) synth_sfload = nullptr;
    decltype(&fluid_is_midifile) is_midifile = nullptr;
    decltype(&new_fluid_player) new_player = nullptr;
    decltype(&delete_fluid_player) delete_player = nullptr;
    decltype(&fluid_player_add) player_add = nullptr;
    decltype(&fluid_player_play) player_play = nullptr;
    decltype(&fluid_player_stop) player_stop = nullptr;
    decltype(&fluid_player_get_status) player_get_status = nullptr;
    decltype(&new_fluid_audio_driver) new_audio_driver = nullptr;
    decltype(&delete_fluid_audio_driver) delete_audio_driver = nullptr;
};

// The library, loaded on first use and kept for the run; null when it is not
// installed or lacks a call (then there is no music).
const FluidSynthLibrary* FluidSynth() {
    static const std::optional<FluidSynthLibrary> library =
        []() -> std::optional<FluidSynthLibrary> {
        void* handle = dlopen(kFluidSynthLibrary, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            return std::nullopt;
        }
        FluidSynthLibrary f;
        f.handle = handle;
        bool complete = true;
        const auto find = [&](auto& call, const char* name) {
            call = reinterpret_cast<std::remove_reference_t<decltype(call)>>(dlsym(handle, name));
            complete = complete && call != nullptr;
        };
        find(f.set_log_function, "fluid_set_log_function");
        find(f.new_settings, "new_fluid_settings");
        find(f.delete_settings, "delete_fluid_settings");
        find(f.settings_setnum, "fluid_settings_setnum");
        find(f.settings_setstr, "fluid_settings_setstr");
        find(f.settings_dupstr, "fluid_settings_dupstr");
        find(f.free, "fluid_free");
        find(f.new_synth, "new_fluid_synth");
        find(f.delete_synth, "delete_fluid_synth");
        find(f.synth_sfload, "fluid_synth_sfload");
        find(f.is_midifile, "fluid_is_midifile");
        find(f.new_player, "new_fluid_player");
        find(f.delete_player, "delete_fluid_player");
        find(f.player_add, "fluid_player_add");
        find(f.player_play, "fluid_player_play");
        find(f.player_stop, "fluid_player_stop");
        find(f.player_get_status, "fluid_player_get_status");
        find(f.new_audio_driver, "new_fluid_audio_driver");
        find(f.delete_audio_driver, "delete_fluid_audio_driver");
        // The handle stays open: the library is used until the program ends.
        return complete ? std::optional<FluidSynthLibrary>(f) : std::nullopt;
    }();
    return library ? &*library : nullptr;
}

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// Without a sound card every start would print FluidSynth's complaints and,
// past its log, libasound's own. The handlers are the process's, set once.
// libasound comes in with FluidSynth, so its handler is looked up among
// FluidSynth's own libraries, not linked.
void QuietAudioLibraries(const FluidSynthLibrary& fluid) {
    static const bool quiet = [&fluid] {
        for (const int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
            fluid.set_log_function(level, nullptr, nullptr);
        }
        using AlsaHandler = void (*)(const char*, int, const char*, int, const char*, ...);
        using SetAlsaHandler = int (*)(AlsaHandler);
        if (void* set = dlsym(fluid.handle, "snd_lib_error_set_handler")) {
            reinterpret_cast<SetAlsaHandler>(set)(&IgnoreAlsaError);
        }
        return true;
    }();
    static_cast<void>(quiet);
}

class FluidSynthesizer final : public Synthesizer {
  public:
    explicit FluidSynthesizer(std::vector<std::string> audioDrivers)
        : audioDrivers_(std::move(audioDrivers)), fluid_(FluidSynth()) {
        if (fluid_ != nullptr) {
            QuietAudioLibraries(*fluid_);
        }
    }
    ~FluidSynthesizer() override { Release(); }
    FluidSynthesizer(const FluidSynthesizer&) = delete;
    FluidSynthesizer& operator=(const FluidSynthesizer&) = delete;

    bool LoadSoundFont(const std::string& path) override {
        Release();
        if (fluid_ == nullptr) {
            return false;
        }
        settings_ = fluid_->new_settings();
        if (settings_ == nullptr) {
            return false;
        }
        fluid_->settings_setnum(settings_, "synth.gain", kGain);
        synth_ = fluid_->new_synth(settings_);
        return synth_ != nullptr && fluid_->synth_sfload(synth_, path.c_str(), 1) != FLUID_FAILED;
    }

    bool LoadFile(const std::string& path) override {
        // fluid_player_add takes any path and fails only when playing starts.
        if (synth_ == nullptr || player_ != nullptr || fluid_->is_midifile(path.c_str()) == 0) {
            return false;
        }
        player_ = fluid_->new_player(synth_);
        return player_ != nullptr && fluid_->player_add(player_, path.c_str()) == FLUID_OK;
    }

    bool OpenOutput() override {
        if (synth_ == nullptr || driver_ != nullptr) {
            return false;
        }
        // Fresh settings hold FluidSynth's own choice (its registered default
        // reads empty in 2.3).
        char* current = nullptr;
        fluid_->settings_dupstr(settings_, "audio.driver", &current);
        const std::string byDefault = current != nullptr ? current : "";
        fluid_->free(current);
        std::vector<std::string> tried;
        for (const std::string& wanted : audioDrivers_) {
            const std::string name = wanted.empty() ? byDefault : wanted;
            if (name.empty() || std::find(tried.begin(), tried.end(), name) != tried.end()) {
                continue;
            }
            tried.push_back(name);
            if (fluid_->settings_setstr(settings_, "audio.driver", name.c_str()) != FLUID_OK) {
                continue;
            }
            driver_ = fluid_->new_audio_driver(settings_, synth_);
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
        if (fluid_->player_get_status(player_) == FLUID_PLAYER_DONE) {
            fluid_->player_stop(player_);
        }
        return fluid_->player_play(player_) == FLUID_OK;
    }

    void Stop() override {
        // FluidSynth 2.3 keeps the position and releases the sounding notes.
        if (player_ != nullptr) {
            fluid_->player_stop(player_);
        }
    }

    void Release() override {
        // The driver's thread renders the synth the player feeds: it goes first.
        if (driver_ != nullptr) {
            fluid_->delete_audio_driver(driver_);
            driver_ = nullptr;
        }
        if (player_ != nullptr) {
            fluid_->delete_player(player_);
            player_ = nullptr;
        }
        if (synth_ != nullptr) {
            fluid_->delete_synth(synth_);
            synth_ = nullptr;
        }
        if (settings_ != nullptr) {
            fluid_->delete_settings(settings_);
            settings_ = nullptr;
        }
    }

  private:
    std::vector<std::string> audioDrivers_;
    const FluidSynthLibrary* fluid_;
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
