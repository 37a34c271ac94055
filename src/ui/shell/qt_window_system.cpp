#include "ui/shell/qt_window_system.h"

#include <QApplication>
#include <QSessionManager>
#include <QTimer>
#include <QWidget>

#include "app/archive_commands.h"
#include "app/document_commands.h"
#include "app/guide_pages.h"
#include "app/italian_date.h"
#include "app/new_project.h"
#include "app/undo_commands.h"
#include "ui/data_window/data_window.h"
#include "ui/help/about_window.h"
#include "ui/help/catalogue_window.h"
#include "ui/help/guide_page_window.h"
#include "ui/help/help_contents_window.h"
#include "ui/help/support_window.h"
#include "ui/help/tip_window.h"
#include "ui/shell/splash_window.h"
#include "ui/summary/summary_window.h"
#include "ui/title_page/title_page_window.h"

namespace acquenza::ui {

QtWindowSystem::QtWindowSystem(ProgramState& state, Dialogs& dialogs, MusicPlayer& music,
                               std::filesystem::path programFolder)
    : state_(state),
      dialogs_(dialogs),
      programFolder_(std::move(programFolder)),
      shell_(state, music, dialogs, *this) {
    StartTitles(state_.project.titles, Today());
#ifndef QT_NO_SESSIONMANAGER
    // Logging out ends the program without the exit procedure: the unsaved
    // sections are asked about here, when the desktop lets the program ask,
    // and Annulla keeps the session open.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        connect(app, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
            if (!manager.allowsInteraction()) {
                return;
            }
            const bool letGo = LetProjectGo(state_, dialogs_, *this, WindowId::dati);
            SyncAll();
            if (!letGo) {
                manager.cancel();
            }
            manager.release();
        });
    }
#endif
}

QtWindowSystem::~QtWindowSystem() {
    for (auto& [id, window] : others_) {
        delete window;
    }
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
    // The summary follows every edit while it is on screen.
    if (auto* summary = qobject_cast<SummaryWindow*>(Window(WindowId::riepilogo));
        summary != nullptr && summary->isVisible()) {
        summary->Sync();
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

void QtWindowSystem::OpenAtStart(const std::string& path) {
    shell_.SplashClicked();
    // Once the event loop runs, so that a message about the file stands over
    // the data window.
    QTimer::singleShot(0, this, [this, path] {
        ArchiveCommands(state_, dialogs_, *this, WindowId::dati).OpenFile(path);
        SyncAll();
    });
}

namespace {

void BringToFront(QWidget* w) {
    w->show();
    w->raise();
    w->activateWindow();
}

}  // namespace

QWidget* QtWindowSystem::Window(WindowId window) const {
    const auto found = others_.find(window);
    return found == others_.end() ? nullptr : found->second.data();
}

void QtWindowSystem::PrintGuide(WindowId page) {
    DocumentCommands commands(state_, dialogs_, *this, Desk());
    if (page == WindowId::sommario) {
        commands.CompleteGuide(programFolder_);
    } else {
        commands.GuidePageDocument(page);
    }
}

QWidget* QtWindowSystem::MakeWindow(WindowId window) {
    if (window == WindowId::sommario) {
        return new HelpContentsWindow({[this](WindowId w) { Show(w); },
                                       [this] { PrintGuide(WindowId::sommario); },
                                       [this] { shell_.ConfirmExit(); }});
    }
    if (IsGuidePage(window)) {
        return new GuidePageWindow(GuidePageOf(window), {[this](WindowId w) { PrintGuide(w); },
                                                         [this] { Show(WindowId::sommario); }});
    }
    switch (window) {
        case WindowId::frmTip:
            return new TipWindow(programFolder_);
        case WindowId::informa:
            return new AboutWindow(state_.identity.values);
        case WindowId::supportoclienti:
            return new SupportWindow(state_.settings.support);
        case WindowId::riepilogo:
            return new SummaryWindow(state_, dialogs_,
                                     {[this](int section) {
                                          LoadDataWindow().GoToSection(section);
                                          Show(WindowId::dati);
                                          SyncAll();
                                      },
                                      [this] { return state_.project.titles.progetto; },
                                      [this] {
                                          LoadDataWindow().FinishTyping();
                                          SyncAll();
                                      },
                                      [this] {
                                          // A link or a delivery changes the
                                          // sums the grid shows.
                                          if (data_) {
                                              data_->Model().Reveal(0);
                                          }
                                          SyncAll();
                                      },
                                      [this](bool undo) {
                                          UndoCommands commands(state_, *this);
                                          if (undo) {
                                              commands.Undo();
                                          } else {
                                              commands.Redo();
                                          }
                                          SyncAll();
                                      }});
        case WindowId::prodotti:
            return new CatalogueWindow(state_.settings.products, programFolder_);
        default:
            return nullptr;
    }
}

void QtWindowSystem::Show(WindowId window) {
    if (window == WindowId::dati) {
        BringToFront(&EnsureDataWindow());
        return;
    }
    if (window == WindowId::frontespizio) {
        BringToFront(&EnsureTitlePage());
        return;
    }
    QPointer<QWidget>& slot = others_[window];
    if (!slot) {
        slot = MakeWindow(window);
        if (!slot) {
            return;
        }
        connect(slot, &QObject::destroyed, this, [this] { QuitWhenNoWindowIsLeft(); });
    }
    if (auto* summary = qobject_cast<SummaryWindow*>(slot.data())) {
        summary->Sync();
    }
    BringToFront(slot);
}

bool QtWindowSystem::IsAvailable(WindowId) const {
    return true;
}

bool QtWindowSystem::IsOpen(WindowId window) const {
    if (window == WindowId::dati) {
        return data_ != nullptr;
    }
    if (window == WindowId::frontespizio) {
        return title_ != nullptr;
    }
    return Window(window) != nullptr;
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
    } else if (QWidget* other = Window(window)) {
        others_.erase(window);
        other->hide();
        other->deleteLater();
    }
}

std::string QtWindowSystem::Today() const {
    return TodayItalianLongDate();
}

void QtWindowSystem::ShowSplash() {
    if (!splash_) {
        shell_.LoadSplash((programFolder_ / ProgramShell::TuneFile).string());
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
