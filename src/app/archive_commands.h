#pragma once
// Open, Save, Save as and Delete, given from either working window. Whichever
// window gives them, they act on the whole project: the sections and the
// title page's seven texts.

#include <string>

#include "app/dialogs.h"
#include "app/program_state.h"
#include "app/windows.h"
#include "archive/project_file.h"

namespace acquenza {

class ArchiveCommands {
  public:
    // `from` is dati or frontespizio: the window whose file dialog is used.
    ArchiveCommands(ProgramState& state, Dialogs& dialogs, WindowSystem& windows, WindowId from);

    void Open();
    // Opens the file at once, as Open does once a file is chosen (a project
    // given on the command line). False when the project was not replaced.
    bool OpenFile(const std::string& path);
    void Save();
    void SaveAs();
    void Delete();

    static constexpr const char* ArchiveTitle = "Acquenza: archivio dati";

  private:
    // The save routine; `previousName` is what a cancelled dialog restores.
    void SaveProject(std::string previousName);
    // False when the user does not want `file` overwritten after another
    // program changed it.
    bool MayOverwrite(const std::string& file);
    std::string& DialogName();
    void ReplaceProject(const Project& read);

    ProgramState& state_;
    Dialogs& dialogs_;
    WindowSystem& windows_;
    WindowId from_;
};

}  // namespace acquenza
