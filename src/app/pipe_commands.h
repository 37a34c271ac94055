#pragma once
// The pipes laid on the network as the user chooses them: the catalogues the
// program reads (its own, the system's, the user's), the project's series and
// formula, and each section's own series or size, every choice one edit step
// that can be undone.

#include <filesystem>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/program_state.h"
#include "core/pipe_catalogue.h"
#include "core/project_pipes.h"

namespace acquenza {

// The folders of catalogues, in the order they are read (a later series of the
// same name replaces an earlier one): the program's own beside its companion
// files, the system's (one for each folder of $XDG_CONFIG_DIRS, else
// /etc/xdg, the last first so the first prevails) and the user's
// ($XDG_CONFIG_HOME, else ~/.config), each with "Acquenza/tubazioni".
std::vector<std::filesystem::path> CatalogueFolders(const std::filesystem::path& companionFolder,
                                                    const char* xdgConfigHome, const char* home,
                                                    const char* xdgConfigDirs);

// The catalogues of the folders of this process's environment.
CatalogueSet LoadProgramCatalogues(const std::filesystem::path& companionFolder);

// One message for the files that could not be used, line by line; empty when
// every file was read.
std::string CatalogueProblemsText(const CatalogueSet& catalogues);
inline constexpr const char* CatalogueTitle = "Acquenza: cataloghi delle tubazioni";

// The bill of the pipes laid as a spreadsheet file, then the pipe of each
// section (the headings "Tubazione", "Diametro interno (mm)", "Perdita
// effettiva (m)", "PN (bar)"); empty when the project lays no pipe.
std::string PipeBillText(const ProgramState& state);
inline constexpr const char* NothingLaidText =
    "Il progetto non posa tubazioni: scegliere la serie delle tubazioni nella finestra della "
    "rete, poi rifare il computo.";

// The formula's name as the window and the report give it.
std::string PipeFormulaText(LossFormula formula);

class PipeCommands {
  public:
    PipeCommands(ProgramState& state, Dialogs& dialogs, const CatalogueSet& catalogues)
        : state_(state), dialogs_(dialogs), catalogues_(catalogues) {}

    // The project's series ("" lays no pipe: the theoretical diameters hold).
    // A name no loaded catalogue has is refused with a message.
    bool SetProjectSeries(const std::string& name);
    // The series of one linked section ("" takes the project's). A size typed
    // for the section that the new series lacks is cleared in the same step.
    bool SetSectionSeries(int section, const std::string& name);
    // The size of one linked section ("" chooses by the theoretical
    // diameter); refused when its series does not have it.
    bool SetSectionSize(int section, const std::string& label);
    // The formula the losses of the pipes laid are stated with.
    bool SetFormula(LossFormula formula);

    // The series the user may choose, by name.
    std::vector<std::string> SeriesNames() const;
    // The sizes of the series a section uses, smallest first.
    std::vector<std::string> SizeLabels(int section) const;
    // The series a choice starts from: the project's, else the office's.
    std::string ProposedSeries() const;

    const CatalogueSet& Catalogues() const { return catalogues_; }

    // "Computo delle tubazioni...": asks for the file (ending in .csv) and
    // writes the bill there, then the pipe of each section; false when
    // cancelled, when nothing is laid or the file could not be written (the
    // user is told why).
    bool ExportBill(const std::string& projectName);

  private:
    bool LinkedSection(int section);
    void Refuse(const std::string& text);

    ProgramState& state_;
    Dialogs& dialogs_;
    const CatalogueSet& catalogues_;
};

}  // namespace acquenza
