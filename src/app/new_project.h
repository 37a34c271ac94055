#pragma once
// Letting go of the project in memory: the question about changes not yet
// archived, asked before every road that would drop them (the exit, Open,
// New), and "Nuovo" itself.

#include <string>

#include "app/dialogs.h"
#include "app/program_state.h"
#include "app/windows.h"

namespace acquenza {

// The name the question gives the project: its file's name, or "senza nome"
// before it has one.
std::string ProjectNameForQuestions(const std::string& fileName);

// True when the project may be let go: it has no unsaved changes, or the
// user answered No (drop them), or Sì and the save from `from` completed.
// Annulla, a cancelled save dialog or a save refused by the data check
// keep everything as it is: false.
bool LetProjectGo(ProgramState& state, Dialogs& dialogs, WindowSystem& windows, WindowId from);

// "Nuovo": after the question, an empty project with no file name and
// nothing to undo; the title page back to its first day (today's date).
void NewProject(ProgramState& state, Dialogs& dialogs, WindowSystem& windows, WindowId from);

}  // namespace acquenza
