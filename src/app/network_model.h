#pragma once
// The network as the user works on it: the links and node deliveries typed
// section by section, the source's head and the limits, each an edit step of
// its own that can be undone; and the analysis of the project as it stands
// (flows, heads, pressures, checks, paths), worked out again only where the
// figures changed.

#include <optional>
#include <string>

#include "app/dialogs.h"
#include "app/program_state.h"
#include "core/network.h"
#include "core/project_network.h"

namespace acquenza {

// The office's limits from the settings: the velocity band and the
// pressures a project without its own takes.
NetworkLimits OfficeLimits(const Settings& settings);

// The values of the project a user types above the network's table.
enum class NetworkValue { SourceHead, MinimumPressure, MaximumStaticPressure };

// Its name in messages and in the window: "carico alla sorgente", ...
std::string NetworkValueLabel(NetworkValue value);

class NetworkModel {
  public:
    NetworkModel(ProgramState& state, Dialogs& dialogs) : state_(state), dialogs_(dialogs) {}

    // "tronco a monte" of `section` typed: "" (stand-alone), "0" (the
    // source) or a section's number. A link to itself, to a section not
    // entered, or one that closes a loop is refused with a message naming
    // the sections, and nothing changes. True when accepted (or unchanged).
    bool SetLink(int section, const std::string& text);
    // "erogazione al nodo" of `section` typed (l/s, "." or "," as the
    // decimal separator; "" for none). A value that is no number, negative
    // or beyond any real flow is refused with a message.
    bool SetNodeDemand(int section, const std::string& text);
    // A project value typed ("" gives the office's limit back; the source's
    // head is then unknown).
    bool SetValue(NetworkValue value, const std::string& text);

    // What the window shows for a project value: the project's text, else
    // the office's limit; empty for an unknown head.
    std::string ValueText(NetworkValue value) const;

    // The project analysed as it stands now.
    const NetworkResult& Analysis();
    const NetworkInput& Input();

  private:
    void Refuse(const std::string& text);

    ProgramState& state_;
    Dialogs& dialogs_;
    LossMemo memo_;
    NetworkInput input_;
    NetworkResult result_;
};

}  // namespace acquenza
