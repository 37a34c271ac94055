#pragma once
// The project's network to and from EPANET's .inp files: the linked sections
// written for the reference program of network analysis (the stand-alone
// ones left out and named), and a branched network drawn there made into a
// project whose sections the network sizing can work on.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/network.h"
#include "core/pipe_catalogue.h"
#include "core/project.h"

namespace acquenza::interchange {

// EPANET has no coefficient formula: without a series of pipes (and its
// material's roughness) a section stated by the coefficient goes to EPANET
// with the roughness designs take for pipes of today's materials. (Rougher
// pipes are where EPANET's Swamee-Jain friction factor drifts from
// Colebrook-White's by more than half a per cent.)
inline constexpr double DefaultRoughnessMm = 0.1;

// The network as it goes to EPANET: every loss by Darcy-Weisbach, a section
// stated by the coefficient formula taking the material's roughness — the
// series' when the project lays pipes of one, else DefaultRoughnessMm.
// Analysed by our own hydraulics, it gives what EPANET must give.
// Where pipes are laid from `catalogues`, their internal diameters go.
NetworkInput EpanetInputOf(const Project& project, const NetworkLimits& office,
                           std::optional<double> seriesRoughnessMm,
                           std::span<const PipeSeries> catalogues = {});

struct ProjectInpExport {
    bool ok = false;
    std::string text;          // the .inp file's bytes
    std::vector<int> leftOut;  // stand-alone sections (and any not reached), by number
    std::string error;         // Italian, when not ok
};

ProjectInpExport ExportProjectToEpanet(const Project& project, const NetworkLimits& office,
                                       std::optional<double> seriesRoughnessMm,
                                       std::span<const PipeSeries> catalogues = {});

// "Tronchi non collegati alla rete, lasciati fuori: 3, 7." (empty for none).
std::string LeftOutText(const std::vector<int>& leftOut);

struct ProjectInpImport {
    bool ok = false;
    Project project;
    std::vector<std::string> notes;  // Italian: what was converted or left out
    std::string error;               // Italian, naming what stands in the way
    int matchedSizes = 0;            // sections whose diameter is a catalogue size
};

// One section per pipe (our own 14-pipe chains folded back), linked as the
// file's tree, with the length, the ground elevations, the flow drawn along
// and the end node's demand; the source's head becomes the project's. The
// diameter is kept as the network's diameter of the section; where it is
// the internal diameter of a size of one of `catalogues`, the series that
// matches most sections becomes the project's and those sections lay that
// size. Pipe type "nuova".
ProjectInpImport ImportProjectFromEpanet(std::string_view text,
                                         const std::vector<PipeSeries>& catalogues);

}  // namespace acquenza::interchange
