#pragma once
// The two working windows' behaviour without any window on screen: for the
// documents made from the command line. Showing a window only loads it.

#include <array>
#include <memory>
#include <string>

#include "app/data_window_model.h"
#include "app/dialogs.h"
#include "app/program_state.h"
#include "app/title_page_model.h"
#include "app/windows.h"

namespace acquenza {

class HeadlessWindows : public WindowSystem {
  public:
    // `today` is the date a project starts with; the project in `state`
    // takes it when it has no title texts yet.
    HeadlessWindows(ProgramState& state, Dialogs& dialogs, std::string today);

    DataWindowModel& LoadDataWindow() override;
    TitlePageModel& LoadTitlePage() override;

    void Show(WindowId window) override;
    bool IsAvailable(WindowId) const override { return true; }
    bool IsOpen(WindowId window) const override { return open_[static_cast<std::size_t>(window)]; }
    void Close(WindowId window) override { open_[static_cast<std::size_t>(window)] = false; }
    bool HasTitlePage() const { return title_ != nullptr; }
    std::string Today() const override { return today_; }
    void ShowSplash() override {}
    void CloseSplash() override {}

  private:
    ProgramState& state_;
    Dialogs& dialogs_;
    std::string today_;
    std::unique_ptr<DataWindowModel> data_;
    std::unique_ptr<TitlePageModel> title_;
    std::array<bool, ExitClosingOrder.size()> open_{};
};

}  // namespace acquenza
