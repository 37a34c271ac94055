#pragma once
// The project's sections seen as a network: the links between them, what each
// node delivers, the flows summed downstream into the sections' end flows,
// and the figures the network's analysis starts from.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "network.h"
#include "pipe_catalogue.h"
#include "project.h"

namespace acquenza {

// The section the start of `section` continues from: nothing for a
// stand-alone section, 0 for the source, k for section k.
std::optional<int> UpstreamOf(const SectionTable& table, int section);
// The link's text as the user reads and types it: "" / "0" / "k".
std::string UpstreamText(const SectionTable& table, int section);
// The value that links a section to `upstream` (0: the source).
FieldValue UpstreamValue(const SectionTable& table, int upstream);

// Whether any section is linked: a project without links has no network, and
// nothing about it differs from a project of the single sections.
bool HasNetwork(const Project& project);

// The number of sections the network looks at: up to the last one holding
// any input.
int NetworkSectionCount(const Project& project);

// What the end node of `section` delivers by itself, l/s: the typed
// "erogazione al nodo"; else the flow of the residents typed at the
// section's end (their fire-fighting flow under the fire mark); else, for a
// section nothing continues from, its typed end flow; else 0.
double OwnDemand(const SectionTable& table, int section, bool hasDownstream);

// The project's links after section `deleted` left the table: a link to it
// is set to the source. Returns the numbers of the sections so reset.
std::vector<int> ResetLinksToDeleted(Project& project, SectionId deleted);

// Keeps the end flow of every linked section that something continues from
// (or whose node's delivery is typed) equal to its node's own delivery plus
// what enters the sections continuing from it, bottom-up, rounded to six
// decimals and written only when it differs, so a file read back finds
// nothing to change. Sections in `endResidentsTyped` had their end residents
// typed in this step: the residents now say what their node delivers, so a
// typed delivery of such a section with sections downstream is cleared.
// Returns the sections whose end flow it changed.
std::vector<int> SettleNetwork(Project& project, const std::vector<int>& endResidentsTyped = {});

// Before a section gets `upstream` as its link: a section that nothing
// continued from, with neither a typed delivery nor end residents, keeps its
// typed end flow as its node's delivery, so the sum that now takes the end
// flow's place loses nothing the user typed.
void KeepEndFlowAsDelivery(Project& project, int upstream);

// The project's network values as numbers: the source's head (nothing
// until typed) and the limits, the office's where the project has none.
std::optional<double> SourceHeadOf(const NetworkSettings& settings);
NetworkLimits LimitsOf(const NetworkSettings& settings, const NetworkLimits& office);

// The figures of the network's analysis: every section's length,
// elevations, flows as the calculation counts them, its node's own
// delivery, and the diameter its loss is stated with: the internal diameter
// of the pipe laid from `catalogues` (with the project's formula for pipes
// laid) where one is laid, otherwise the theoretical diameter (the network
// sizing's, else the calculation's) with the coefficient of its pipe type.
NetworkInput NetworkInputOf(const Project& project, const NetworkLimits& office,
                            std::span<const PipeSeries> catalogues = {});

}  // namespace acquenza
