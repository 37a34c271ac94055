#pragma once
// The network window's buttons for sizing the network and for EPANET, added
// to the window's row of buttons by one call.

#include <functional>
#include <string>

class QBoxLayout;
class QWidget;

namespace acquenza {
class Dialogs;
struct ProgramState;
}  // namespace acquenza

namespace acquenza::ui {

// Adds "Dimensiona la rete", "Riduci il costo", "Esporta per EPANET..." and
// "Importa da EPANET..." to `buttons`, owned by `window`. `changed` is
// called after the project changed (the window then reads it again);
// `projectName` names the exported file.
void AddNetworkCommandButtons(QWidget* window, QBoxLayout* buttons, ProgramState& state,
                              Dialogs& dialogs, std::function<void()> changed,
                              std::function<std::string()> projectName);

}  // namespace acquenza::ui
