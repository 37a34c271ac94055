#pragma once
// The title-page window "frontespizio": the seven texts of the report's
// title page, the office, the choice of print, menus, toolbar and buttons.

#include <QMainWindow>
#include <array>
#include <memory>

#include "app/document_commands.h"
#include "app/title_page_model.h"

class QLabel;
class QLineEdit;
class QRadioButton;

namespace acquenza::ui {

class FormResizer;
class QtWindowSystem;
class WorkingActions;

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
    void BuildFields(QWidget* form);
    void BuildCommands(QWidget* form);
    static void ShowOffice(QLabel* label, const std::string& text, const std::string& hint);
    template <typename Action>
    void Do(Action&& action);
    template <typename Result>
    void Documents(Result (DocumentCommands::*command)());

    ProgramState& state_;
    Dialogs& dialogs_;
    QtWindowSystem& windows_;
    TitlePageModel model_;
    std::unique_ptr<FormResizer> resizer_;
    bool closingForExit_ = false;
    WorkingActions* actions_ = nullptr;  // menus, toolbar and the commands behind them
    QWidget* form_ = nullptr;
    std::array<QLineEdit*, TitleTextCount> fields_{};
    QLabel* office_ = nullptr;
    QLabel* address_ = nullptr;
    QLabel* passo_ = nullptr;
    std::array<QRadioButton*, 3> printModes_{};
};

}  // namespace acquenza::ui
