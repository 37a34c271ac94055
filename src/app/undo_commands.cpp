#include "app/undo_commands.h"

#include "app/data_window_model.h"

namespace acquenza {

void UndoCommands::Undo() {
    // A value still being typed is taken back with its step, unjudged.
    windows_.LoadDataWindow().DropTyping();
    if (const EditStep* step = state_.history.TakeUndo()) {
        Apply(*step, true);
    }
}

void UndoCommands::Redo() {
    windows_.LoadDataWindow().DropTyping();
    if (const EditStep* step = state_.history.TakeRedo()) {
        Apply(*step, false);
    }
}

void UndoCommands::Apply(const EditStep& step, bool undo) {
    ApplyStep(state_.project, step, undo);
    state_.currentFileName = undo ? step.fileBefore : step.fileAfter;
    windows_.LoadDataWindow().Reveal(step.section);
}

}  // namespace acquenza
