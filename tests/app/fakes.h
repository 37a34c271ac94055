#pragma once
// Scripted stand-ins for the user's answers and for the window system.

#include <array>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/dialogs.h"
#include "app/music_player.h"
#include "app/windows.h"

namespace acquenza::testing {

class FakeDialogs : public Dialogs {
  public:
    Answer Show(const Message& message) override {
        shown.push_back(message);
        if (answers.empty()) {
            return message.buttons == MessageButtons::Ok ? Answer::Ok : message.defaultAnswer;
        }
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<Rgb> ChooseColour(Rgb current) override {
        colourDialogOpenedWith.push_back(current);
        return std::exchange(nextColour, std::nullopt);
    }

    std::string LastText() const { return shown.empty() ? "" : shown.back().text; }

    std::deque<Answer> answers;
    std::vector<Message> shown;
    std::optional<Rgb> nextColour;
    std::vector<Rgb> colourDialogOpenedWith;
};

class FakeWindows : public WindowSystem {
  public:
    void Show(WindowId w) override {
        log.push_back("show " + std::to_string(static_cast<int>(w)));
        open[static_cast<std::size_t>(w)] = true;
    }
    bool IsAvailable(WindowId) const override { return true; }
    bool IsOpen(WindowId w) const override { return open[static_cast<std::size_t>(w)]; }
    void Close(WindowId w) override {
        log.push_back("close " + std::to_string(static_cast<int>(w)));
        open[static_cast<std::size_t>(w)] = false;
    }
    void ShowSplash() override { log.push_back("splash"); }
    void CloseSplash() override { log.push_back("close splash"); }

    std::vector<std::string> log;
    std::array<bool, 14> open{};
};

class RecordingPlayer : public MusicPlayer {
  public:
    void Open(const std::string& path) override { log.push_back("open " + path); }
    void Play() override { log.push_back("play"); }
    void Pause() override { log.push_back("pause"); }
    void Close() override { log.push_back("close"); }
    std::vector<std::string> log;
};

}  // namespace acquenza::testing
