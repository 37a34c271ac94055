#include "ui/shell/qt_window_system.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include "ui/data_window/data_window.h"
#include "ui/shell/splash_window.h"
#include "ui/title_page/title_page_window.h"

namespace acquenza::ui {

QtWindowSystem::QtWindowSystem(ProgramState& state, Dialogs& dialogs, MusicPlayer& music,
                               std::string tunePath)
    : state_(state),
      dialogs_(dialogs),
      tunePath_(std::move(tunePath)),
      shell_(state, music, dialogs, *this) {}

QtWindowSystem::~QtWindowSystem() {
    delete data_;
    delete title_;
    delete splash_;
}

SplashWindow* QtWindowSystem::Splash() const {
    return splash_;
}

DataWindow* QtWindowSystem::Data() const {
    return data_;
}

TitlePageWindow* QtWindowSystem::Title() const {
    return title_;
}

void QtWindowSystem::SyncAll() {
    if (data_) {
        data_->Sync();
    }
    if (title_) {
        title_->Sync();
    }
}

ui::DataWindow& QtWindowSystem::EnsureDataWindow() {
    if (!data_) {
        data_ = new ui::DataWindow(state_, dialogs_, *this);
        connect(data_, &QObject::destroyed, this, [this] { QuitWhenNoWindowIsLeft(); });
    }
    return *data_;
}

TitlePageWindow& QtWindowSystem::EnsureTitlePage() {
    if (!title_) {
        title_ = new TitlePageWindow(state_, dialogs_, *this);
        connect(title_, &QObject::destroyed, this, [this] { QuitWhenNoWindowIsLeft(); });
    }
    return *title_;
}

DataWindowModel& QtWindowSystem::LoadDataWindow() {
    return EnsureDataWindow().Model();
}

TitlePageModel& QtWindowSystem::LoadTitlePage() {
    return EnsureTitlePage().Model();
}

void QtWindowSystem::Start() {
    ShowSplash();
}

namespace {

void BringToFront(QWidget* w) {
    w->show();
    w->raise();
    w->activateWindow();
}

}  // namespace

void QtWindowSystem::Show(WindowId window) {
    if (window == WindowId::dati) {
        BringToFront(&EnsureDataWindow());
    } else if (window == WindowId::frontespizio) {
        BringToFront(&EnsureTitlePage());
    }
    // the other windows arrive with their own work
}

bool QtWindowSystem::IsAvailable(WindowId window) const {
    return window == WindowId::dati || window == WindowId::frontespizio;
}

bool QtWindowSystem::IsOpen(WindowId window) const {
    return (window == WindowId::dati && data_) || (window == WindowId::frontespizio && title_);
}

void QtWindowSystem::Close(WindowId window) {
    if (window == WindowId::dati && data_) {
        ui::DataWindow* closing = data_;
        data_ = nullptr;
        closing->CloseForExit();
        closing->deleteLater();
    } else if (window == WindowId::frontespizio && title_) {
        TitlePageWindow* closing = title_;
        title_ = nullptr;
        closing->CloseForExit();
        closing->deleteLater();
    }
}

void QtWindowSystem::ShowSplash() {
    if (!splash_) {
        shell_.LoadSplash(tunePath_);
        splash_ = new SplashWindow(shell_);
        connect(splash_, &QObject::destroyed, this, [this] { QuitWhenNoWindowIsLeft(); });
    }
    splash_->RefreshLabels();
    BringToFront(splash_);
}

void QtWindowSystem::CloseSplash() {
    if (splash_) {
        splash_->close();
    }
}

void QtWindowSystem::QuitWhenNoWindowIsLeft() {
    // Checked once the current event is over: the exit closes the working
    // windows before it shows the splash again.
    QTimer::singleShot(0, this, [] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->isWindow() && !w->testAttribute(Qt::WA_DontShowOnScreen)) {
                return;
            }
        }
        QApplication::quit();
    });
}

}  // namespace acquenza::ui
