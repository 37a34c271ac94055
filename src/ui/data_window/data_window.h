#pragma once
// The data window "dati": the ten-row grid over the sections, the result
// area, the guidance line, menus, toolbar and command buttons. It forwards
// every event to DataWindowModel and then mirrors the model.

#include <QMainWindow>
#include <array>
#include <memory>
#include <vector>

#include "app/data_window_model.h"
#include "app/document_commands.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace acquenza::ui {

class FormResizer;
class QtWindowSystem;
class WorkingActions;

class DataWindow : public QMainWindow {
    Q_OBJECT
  public:
    DataWindow(ProgramState& state, Dialogs& dialogs, QtWindowSystem& windows);
    ~DataWindow() override;

    DataWindowModel& Model() { return model_; }
    // Brings every widget in line with the model.
    void Sync();
    // Closing for the exit procedure, which has already asked.
    void CloseForExit();

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildGrid(QWidget* form);
    void BuildResultArea(QWidget* form);
    void BuildCommands(QWidget* form);
    void ApplyFocusRequest();
    void ApplyBackground();
    // A linked section's end flow summed from the sections downstream shows
    // read-only, as a result.
    void ShowEndFlowKind(QLineEdit* box, bool derived);
    // Tab past the last box of the grid, or Shift+Tab before its first: the
    // grid moves by one section and the focus follows.
    bool TabAcrossTheGridEdge(QObject* watched, QEvent* event);
    // Runs an action, then mirrors the models in every window.
    template <typename Action>
    void Do(Action&& action);
    void Documents(void (DocumentCommands::*command)());

    ProgramState& state_;
    Dialogs& dialogs_;
    QtWindowSystem& windows_;
    DataWindowModel model_;
    // The fields with a box in every row, and those of the result area.
    std::vector<Field> columns_;
    std::vector<Field> resultColumns_;
    std::unique_ptr<FormResizer> resizer_;
    bool closingForExit_ = false;
    WorkingActions* actions_ = nullptr;  // menus, toolbar and the commands behind them

    struct Row {
        QLabel* num = nullptr;
        std::array<QLineEdit*, FieldSlots> boxes{};  // by field slot; the pipe type's unused
        QComboBox* tipoc = nullptr;
        QPushButton* delriga = nullptr;
    };
    std::array<Row, DataWindowModel::Rows + 1> rows_{};
    QScrollBar* scroll_ = nullptr;
    QLabel* passo_ = nullptr;
    QLabel* resultSectionCaption_ = nullptr;
    QLabel* label1_ = nullptr;
    std::array<QLabel*, FieldSlots> results_{};  // by field slot
    QWidget* form_ = nullptr;
    // The row whose pipe-type box is taking a completion, until it shows it.
    int completing_ = 0;
    // The screen is being brought in line for a message: focus moved by it
    // is not the user leaving a box.
    bool showingForMessage_ = false;
};

}  // namespace acquenza::ui
