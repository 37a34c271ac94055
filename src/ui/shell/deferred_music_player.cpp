#include "ui/shell/deferred_music_player.h"

#include <utility>

namespace acquenza::ui {

DeferredMusicPlayer::DeferredMusicPlayer(Factory makePlayer) : makePlayer_(std::move(makePlayer)) {}

DeferredMusicPlayer::~DeferredMusicPlayer() = default;

void DeferredMusicPlayer::Start() {
    if (started_) {
        return;
    }
    started_ = true;
    player_ = makePlayer_ ? makePlayer_() : nullptr;
    if (player_ == nullptr) {
        player_ = std::make_unique<NullMusicPlayer>();
    }
    for (const auto& [command, path] : std::exchange(kept_, {})) {
        Send(command, path);
    }
}

void DeferredMusicPlayer::Open(const std::string& path) {
    Send(Command::Open, path);
}

void DeferredMusicPlayer::Play() {
    Send(Command::Play);
}

void DeferredMusicPlayer::Pause() {
    Send(Command::Pause);
}

void DeferredMusicPlayer::Close() {
    Send(Command::Close);
}

void DeferredMusicPlayer::Send(Command command, const std::string& path) {
    if (!started_) {
        // An Open starts afresh and a Close leaves nothing to do, so what
        // came before either is forgotten.
        if (command == Command::Open || command == Command::Close) {
            kept_.clear();
        }
        if (command != Command::Close) {
            kept_.emplace_back(command, path);
        }
        return;
    }
    switch (command) {
        case Command::Open:
            player_->Open(path);
            break;
        case Command::Play:
            player_->Play();
            break;
        case Command::Pause:
            player_->Pause();
            break;
        case Command::Close:
            player_->Close();
            break;
    }
}

}  // namespace acquenza::ui
