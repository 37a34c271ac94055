#pragma once
// The network window's commands for sizing and for EPANET, as the user meets
// them: a message box for every outcome, file dialogs for the .inp files.

#include <filesystem>
#include <string>

#include "app/dialogs.h"
#include "app/program_state.h"

namespace acquenza {

class NetworkWindowCommands {
  public:
    // `catalogueFolder`: the program's own folder of pipe catalogues.
    NetworkWindowCommands(ProgramState& state, Dialogs& dialogs,
                          std::filesystem::path catalogueFolder)
        : state_(state), dialogs_(dialogs), catalogueFolder_(std::move(catalogueFolder)) {}

    // "Dimensiona la rete" and "Riduci il costo": one undo step; the
    // message says what was sized and what could not be. True when sized.
    bool SizeNetwork(bool reduceCost);
    // "Esporta per EPANET...": the network to a .inp file the user names;
    // the stand-alone sections left out are said.
    bool ExportEpanet(const std::string& projectName);
    // "Importa da EPANET...": a branched network of a .inp file saved as a
    // new data file the user names (which Open then opens); the file that
    // is open stays as it is. The new file's name, or empty.
    std::string ImportEpanet();

  private:
    void Tell(const std::string& text, MessageIcon icon);

    ProgramState& state_;
    Dialogs& dialogs_;
    std::filesystem::path catalogueFolder_;
};

}  // namespace acquenza
