#pragma once
// The pipe laid on each linked section of the project: the series it is taken
// from (the section's own, else the project's), the size (the section's own,
// else the smallest of the series not below the theoretical diameter), and
// how its loss is stated. A project whose sections and settings name no
// series lays no pipe: its network is worked out with the theoretical
// diameters, as it always was.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "head_loss.h"
#include "pipe_catalogue.h"
#include "project.h"

namespace acquenza {

// The text NetworkSettings::pipeFormula holds for Darcy-Weisbach with
// Colebrook-White; any other text (the empty one) is the coefficient formula.
inline constexpr std::string_view DarcyWeisbachName = "Darcy-Weisbach";

LossFormula PipeFormulaOf(const NetworkSettings& settings);

// The series of `catalogues` named `name` (exactly as the catalogue names
// it); nullptr for none.
const PipeSeries* FindSeries(std::span<const PipeSeries> catalogues, std::string_view name);

// The theoretical diameter of a section, mm: the network sizing's where it
// gave one, else the section calculation's; nothing for a section not sized.
std::optional<double> TheoreticalDiameterMm(const SectionRecord& record);

enum class PipeState {
    None,           // no series named: the theoretical diameter holds
    Laid,           // a size of a loaded series
    NotSized,       // no theoretical diameter to choose by, and no size typed
    TooSmall,       // even the largest size is smaller than the theoretical one
    UnknownSeries,  // the series named is in no loaded catalogue
    UnknownSize,    // the size typed is not in its series
};

struct SectionPipe {
    PipeState state = PipeState::None;
    const PipeSeries* series = nullptr;  // for Laid
    std::size_t size = 0;                // index into series->sizes, for Laid
    std::string seriesName;              // the series named, for every state but None
    std::optional<double> theoreticalMm;
    bool sizeTyped = false;  // the size was chosen by hand, not by the diameter
    // Why no pipe is laid, in Italian ("tronco 4: …"); empty for None and Laid.
    std::string problem;

    const PipeSize* Size() const { return series != nullptr ? &series->sizes[size] : nullptr; }
};

// Whether any linked section lays a pipe from a series: the project's series
// is set, or some linked section names a series or a size.
bool PipesChosen(const Project& project);

// The pipe of section `section` (a linked section; None for any other).
SectionPipe PipeOf(const Project& project, int section, std::span<const PipeSeries> catalogues);

// The loss model of a pipe laid: the project's formula, with the section's
// coefficient (by its pipe type) or the series' roughness.
LossModel PipeLossModel(const NetworkSettings& settings, const SectionRecord& record,
                        const PipeSeries& series);

}  // namespace acquenza
