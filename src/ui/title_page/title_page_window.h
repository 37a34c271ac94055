#pragma once
// The title-page window "frontespizio": the seven texts of the report's
// title page, the office, the choice of print, menus, toolbar and buttons.

#include <QMainWindow>
#include <array>
#include <memory>

#include "app/archive_commands.h"
#include "app/document_commands.h"
#include "app/title_page_model.h"
#include "ui/shell/working_keys.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace acquenza::ui {

class clsResize;
class QtWindowSystem;

class TitlePageWindow : public QMainWindow {
    Q_OBJECT
  public:
    TitlePageWindow(ProgramState& state, Dialogs& dialogs, QtWindowSystem& windows);
    ~TitlePageWindow() override;

    TitlePageModel& Model() { return model_; }
    void Sync();
    void CloseForExit();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildMenus();
    void BuildFields(QWidget* form);
    void BuildCommands(QWidget* form);
    void OnToolbarButton(int position);
    static void ShowOffice(QLabel* label, const std::string& text, const std::string& hint);
    void NewProject();
    template <typename Action>
    void Do(Action&& action);
    void Archive(void (ArchiveCommands::*command)());
    template <typename Result>
    void Documents(Result (DocumentCommands::*command)());

    ProgramState& state_;
    Dialogs& dialogs_;
    QtWindowSystem& windows_;
    TitlePageModel model_;
    std::unique_ptr<clsResize> resizer_;
    bool closingForExit_ = false;
    UndoEntries undoEntries_;
    QWidget* form_ = nullptr;
    std::array<QLineEdit*, TitleTextCount> fields_{};
    QLabel* office_ = nullptr;
    QLabel* address_ = nullptr;
    QLabel* passo_ = nullptr;
    std::array<QRadioButton*, 3> printModes_{};
};

}  // namespace acquenza::ui
