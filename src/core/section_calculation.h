#pragma once
// Sizing one section: the smallest diameter, in 1 mm steps, whose Darcy head
// loss Y = B * L * Q^2 / D^5 stays below every segment's share of the drop.

#include <optional>

#include "project.h"

namespace acquenza {

// Largest diameter tried: 10 m, i.e. this many 1 mm steps from 0.001 m.
inline constexpr int MaxDiameterSteps = 10000;
inline constexpr double DiameterStep = 0.001;
inline constexpr double SmallFlowSubstitute = 0.0001;

enum class CalculationOutcome {
    Incomplete,  // data missing: results and map left as they were
    Calculated,  // results and map written
    NoSolution,  // drop not positive, a value not finite, or no diameter up to
                 // 10 m: results emptied and map cleared, so nothing stale shows
};

// The numbers a complete section is calculated from.
struct SectionInputs {
    double length = 0;     // m
    double zStart = 0;     // elevation at the upstream end, m
    double zEnd = 0;       // elevation at the downstream end, m
    double flowAlong = 0;  // drawn off along the section, l/s
    double flowEnd = 0;    // delivered at the downstream end, l/s
    double roughness = 0;  // the coefficient B of the head-loss formula
};

// nullopt when the section lacks a length, roughness, pipe type or elevation.
std::optional<SectionInputs> ReadSectionInputs(const SectionTable& table, int section);

// A flow field as the calculation counts it: a value of 0 whose text is
// shorter than 2 characters (nothing, "", "0", the number 0) stands for
// SmallFlowSubstitute; "00" or "0,0" count as a real 0.
double EffectiveFlow(const FieldValue& flow);

// The diameter reached after `steps` additions of 0.001 to 0.001 (steps 0 to
// MaxDiameterSteps - 1), bit for bit as the repeated addition produces it.
double AccumulatedDiameter(int steps);

CalculationOutcome CalculateSection(Project& project, int section);

// The roughness set from the pipe type, then the section calculated.
CalculationOutcome SettleSection(Project& project, int section);

// The same 14-segment search as the section calculation, with a given drop
// per segment (m) in place of the ground's: how the network's sizing finds a
// section's diameter for the share of head it was given. The diameters come
// from the calculation's own table, so the result is the very millimetre the
// calculation would reach for that drop.
struct DropSizing {
    double diameter = 0;  // m, as reached by repeated 1 mm additions
    double headLoss = 0;  // m, the segments' losses summed as the calculation sums them
};

// Flows in l/s taken as given (no small-flow substitution), roughness the
// coefficient B (0.0025 or 0.004). nullopt when the drop is not positive, a
// value is not finite, or no diameter up to 10 m is enough.
std::optional<DropSizing> SizeForSegmentDrop(double length, double flowAlong, double flowEnd,
                                             double roughness, double dropPerSegment);

// What keeps a section whose length, elevations and pipe type are all there
// from being sized: the same calculation, run without storing anything.
struct SizingObstacle {
    enum class Kind {
        None,        // it can be sized, or its data are still incomplete
        NotFinite,   // a value too large to calculate with
        NoLength,    // the length is not above zero
        NoDrop,      // the initial elevation is not above the final one
        NoDiameter,  // no diameter up to 10 m keeps the loss within the drop
    };
    Kind kind = Kind::None;
    Field field = Field::lungh;  // the box to correct
    explicit operator bool() const { return kind != Kind::None; }
    bool operator==(const SizingObstacle&) const = default;
};
SizingObstacle FindSizingObstacle(const SectionTable& table, int section);

}  // namespace acquenza
