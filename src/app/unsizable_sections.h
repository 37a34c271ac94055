#pragma once
// Sections whose data are complete but cannot be sized (no drop, uphill, no
// length, a value too large, no pipe wide enough): refused by the data check
// before any report, named once after a save, marked in the network summary.
// All three ask the calculation itself, through FindSizingObstacle.

#include <string>
#include <vector>

#include "app/dialogs.h"
#include "core/project.h"
#include "core/section_calculation.h"

namespace acquenza {

struct UnsizableSection {
    int section = 0;
    SizingObstacle obstacle;
};

// Sections 1..last that cannot be sized, in order.
std::vector<UnsizableSection> FindUnsizableSections(const SectionTable& table, int last);

// Why, in a few words: "la quota iniziale non supera quella finale".
std::string ObstacleReason(SizingObstacle::Kind kind);

// The data check's line under "Tronco n. 8:", saying what to change.
std::string ObstacleCheckText(const SectionTable& table, int section, SizingObstacle obstacle);

// The one message after a save that archived such sections; empty when
// there are none.
std::string UnsizableAfterSaveText(const std::vector<UnsizableSection>& sections);

// After a save: that message, once, when any section of the project cannot
// be sized.
void WarnOfUnsizableSections(const SectionTable& table, Dialogs& dialogs, const std::string& title);

}  // namespace acquenza
