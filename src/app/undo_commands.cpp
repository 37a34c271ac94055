#include "app/undo_commands.h"

#include <set>

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
    Project& project = state_.project;
    std::set<int> sections;
    // Each field was noted once, with its first and its last value.
    for (const FieldNote& note : step.fields) {
        project.sections.Set(note.section, note.field, undo ? note.before : note.after);
        sections.insert(note.section);
    }
    project.enteredSectionCount = undo ? step.countBefore : step.countAfter;
    state_.currentFileName = undo ? step.fileBefore : step.fileAfter;
    for (const TitleNote& note : step.titles) {
        TitleText(project.titles, note.field) = undo ? note.before : note.after;
    }
    DataWindowModel& grid = windows_.LoadDataWindow();
    // The results came back with the fields; the maps are worked out again.
    for (const int s : sections) {
        grid.RecalculateSection(s);
    }
    grid.Reveal(step.section);
}

}  // namespace acquenza
