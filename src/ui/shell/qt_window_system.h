#pragma once
// Creates, shows and closes the program's windows, and ends the program when
// none is left on screen.

#include <QObject>
#include <QPointer>
#include <filesystem>
#include <map>
#include <string>

#include "app/program_shell.h"
#include "app/windows.h"
#include "ui/shell/qt_document_desk.h"

namespace acquenza::ui {

class DataWindow;
class SplashWindow;
class TitlePageWindow;

class QtWindowSystem final : public QObject, public WindowSystem {
    Q_OBJECT
  public:
    // programFolder holds the tune, the tips and the other companion files.
    QtWindowSystem(ProgramState& state, Dialogs& dialogs, MusicPlayer& music,
                   std::filesystem::path programFolder);
    ~QtWindowSystem() override;

    // Loads and shows the splash: the program's first window.
    void Start();
    // A project given on the command line: the data window comes up at once
    // over the splash and the file is opened as Open would open it.
    void OpenAtStart(const std::string& path);

    ProgramShell& Shell() { return shell_; }
    SplashWindow* Splash() const;
    DataWindow* Data() const;
    TitlePageWindow* Title() const;
    // Any other window of the program, when it exists.
    QWidget* Window(WindowId window) const;
    // Mirrors both working windows' models after any action.
    void SyncAll();
    // Where documents are written and how they are opened.
    DocumentDesk& Desk() { return *desk_; }
    void SetDesk(DocumentDesk& desk) { desk_ = &desk; }

    DataWindowModel& LoadDataWindow() override;
    TitlePageModel& LoadTitlePage() override;

    void Show(WindowId window) override;
    bool IsAvailable(WindowId window) const override;
    bool IsOpen(WindowId window) const override;
    void Close(WindowId window) override;
    void ShowSplash() override;
    void CloseSplash() override;
    std::string Today() const override;

  private:
    void QuitWhenNoWindowIsLeft();
    ui::DataWindow& EnsureDataWindow();
    QWidget* MakeWindow(WindowId window);
    void PrintGuide(WindowId page);
    TitlePageWindow& EnsureTitlePage();

    ProgramState& state_;
    Dialogs& dialogs_;
    std::filesystem::path programFolder_;
    ProgramShell shell_;
    QPointer<SplashWindow> splash_;
    QPointer<DataWindow> data_;
    QPointer<TitlePageWindow> title_;
    std::map<WindowId, QPointer<QWidget>> others_;
    QtDocumentDesk ownDesk_;
    DocumentDesk* desk_ = &ownDesk_;
};

}  // namespace acquenza::ui
