#pragma once
// Undo and redo, from either working window: the project, the title page,
// the count and the file name go back to, or forward to, how the step left
// them, and the grid shows the section concerned.

#include "app/program_state.h"
#include "app/windows.h"

namespace acquenza {

class UndoCommands {
  public:
    UndoCommands(ProgramState& state, WindowSystem& windows) : state_(state), windows_(windows) {}

    void Undo();
    void Redo();

  private:
    void Apply(const EditStep& step, bool undo);

    ProgramState& state_;
    WindowSystem& windows_;
};

}  // namespace acquenza
