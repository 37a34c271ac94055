#include "app/headless_windows.h"

namespace acquenza {

HeadlessWindows::HeadlessWindows(ProgramState& state, Dialogs& dialogs, std::string today)
    : state_(state), dialogs_(dialogs), today_(std::move(today)) {
    StartTitles(state_.project.titles, today_);
}

DataWindowModel& HeadlessWindows::LoadDataWindow() {
    if (!data_) {
        data_ = std::make_unique<DataWindowModel>(state_, dialogs_, *this);
        data_->Load();
    }
    return *data_;
}

TitlePageModel& HeadlessWindows::LoadTitlePage() {
    if (!title_) {
        title_ = std::make_unique<TitlePageModel>(state_, dialogs_, *this);
        title_->Load();
    }
    return *title_;
}

void HeadlessWindows::Show(WindowId window) {
    if (window == WindowId::dati) {
        LoadDataWindow();
    } else if (window == WindowId::frontespizio) {
        LoadTitlePage();
    }
    open_[static_cast<std::size_t>(window)] = true;
}

}  // namespace acquenza
