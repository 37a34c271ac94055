#pragma once
// The pipes laid, as the network window offers them: the project's series and
// formula, the selected section's own series and size, and the bill of
// quantities. Each choice is one edit step; the controls only show the
// project otherwise.

#include <QComboBox>
#include <QWidget>
#include <functional>

#include "app/dialogs.h"
#include "app/pipe_commands.h"
#include "app/program_state.h"
#include "core/network.h"

class QItemSelectionModel;
class QLabel;

namespace acquenza::ui {

// A list that the mouse wheel passing over it does not change: a choice is
// an edit of the project, made only by picking it.
class ChoiceBox final : public QComboBox {
  public:
    using QComboBox::QComboBox;

  protected:
    void wheelEvent(QWheelEvent* event) override;
};

class PipeControls final : public QWidget {
    Q_OBJECT
  public:
    // `selected` gives the section selected in the window's table (0 for
    // none), `selection` tells when it changes, `changed` shows an edit.
    PipeControls(ProgramState& state, Dialogs& dialogs, std::function<int()> selected,
                 QItemSelectionModel* selection, std::function<void()> changed,
                 std::function<std::string()> projectName, QWidget* parent = nullptr);

    // Shows the project's choices and the selected section's.
    void Sync();

  private:
    void Fill(QComboBox* box, const QStringList& items, const QString& current);
    void Chosen(QComboBox* from);
    // The selected section's pipe beside its theoretical diameter, and the
    // checks of the pipes laid.
    void ShowFigures(int section);

    ProgramState& state_;
    PipeCommands commands_;
    std::function<int()> selected_;
    std::function<void()> changed_;
    std::function<std::string()> projectName_;
    ChoiceBox* series_ = nullptr;
    ChoiceBox* formula_ = nullptr;
    QLabel* section_ = nullptr;
    ChoiceBox* sectionSeries_ = nullptr;
    ChoiceBox* size_ = nullptr;
    QLabel* laid_ = nullptr;    // the selected section's pipe, its loss and velocities
    QLabel* checks_ = nullptr;  // the pressure classes that do not hold
    LossMemo memo_;
};

}  // namespace acquenza::ui
