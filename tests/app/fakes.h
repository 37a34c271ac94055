#pragma once
// Scripted stand-ins for the user's answers and for the window system.

#include <array>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/data_window_model.h"
#include "app/dialogs.h"
#include "app/document_desk.h"
#include "app/headless_windows.h"
#include "app/music_player.h"
#include "app/title_page_model.h"
#include "app/windows.h"

namespace acquenza::testing {

class FakeDialogs : public Dialogs {
  public:
    Answer Show(const Message& message) override {
        shown.push_back(message);
        if (onShow) {
            onShow(message);
        }
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
    std::optional<std::string> ChooseFile(const FileDialogRequest& request) override {
        fileDialogs.push_back(request);
        if (files.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> next = files.front();
        files.pop_front();
        return next;
    }

    std::unique_ptr<PrinterDevice> ChoosePrinter() override {
        ++printerDialogs;
        return std::move(nextPrinter);
    }

    std::string LastText() const { return shown.empty() ? "" : shown.back().text; }

    std::deque<Answer> answers;
    std::vector<Message> shown;
    // Looks at the program while a message stands on screen.
    std::function<void(const Message&)> onShow;
    std::optional<Rgb> nextColour;
    std::vector<Rgb> colourDialogOpenedWith;
    // Answers of the file dialogs in turn; nullopt cancels.
    std::deque<std::optional<std::string>> files;
    std::vector<FileDialogRequest> fileDialogs;
    // The printer the next printer dialog gives; none cancels it.
    std::unique_ptr<PrinterDevice> nextPrinter;
    int printerDialogs = 0;
};

// The headless windows, recording what was shown and closed.
class FakeWindows : public HeadlessWindows {
  public:
    FakeWindows(ProgramState& state, Dialogs& dialogs)
        : HeadlessWindows(state, dialogs, "martedì, 8 dic 2026") {}

    void Show(WindowId w) override {
        log.push_back("show " + std::to_string(static_cast<int>(w)));
        HeadlessWindows::Show(w);
    }
    void Close(WindowId w) override {
        log.push_back("close " + std::to_string(static_cast<int>(w)));
        HeadlessWindows::Close(w);
    }
    void ShowSplash() override { log.push_back("splash"); }
    void CloseSplash() override { log.push_back("close splash"); }

    std::vector<std::string> log;
};

// Documents go to a folder of the test's; opening one is only recorded.
class FakeDesk : public DocumentDesk {
  public:
    std::filesystem::path DocumentsFolder() override { return folder; }
    std::string Timestamp() override { return "2026-12-08_09-30-15"; }
    bool Open(const std::filesystem::path& file) override {
        opened.push_back(file);
        return opens;
    }
    std::filesystem::path folder;
    bool opens = true;
    std::vector<std::filesystem::path> opened;
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
