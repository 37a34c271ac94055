#pragma once
// Flows obtained from the population: derived from residents and the daily
// allowance, or the fire-fighting flow computed from the residents alone.

#include <optional>
#include <string>
#include <string_view>

#include "project.h"

namespace acquenza {

// The two sides of a section: along it and at its downstream end.
enum class FlowSide { Along = 1, End = 2 };

struct SideFields {
    Field residents;
    Field allowance;
    Field flow;
};
SideFields FieldsOf(FlowSide side);

inline constexpr double DefaultAllowance = 250;
// Stored in the allowance field of a side whose flow is a fire-fighting flow.
inline constexpr std::string_view FireMarker = "antincend.";

// P residents at d litres a day: P * d * 2.25 / 16 / 60 / 60 l/s, rounded half
// up to hundredths.
double DerivedFlow(double residents, double allowance);

// 4.5 * sqrt(p) - 0.045 * p l/s with p in thousands of residents, rounded half
// up to hundredths. A negative or non-finite count has no fire flow.
std::optional<double> FireFlow(double residents);

// What the grid must show after residents were typed: the texts to write into
// the row's allowance and flow boxes, when they changed.
struct ResidentsUpdate {
    std::optional<std::string> allowanceText;
    std::optional<std::string> flowText;
};

// Residents typed on one side of section s: stores the text, turns an empty
// flow into 0, fills a missing allowance (from the
// previous section, else 250) and derives the flow unless the side carries
// the fire marker.
ResidentsUpdate ApplyResidents(Project& project, int section, FlowSide side,
                               std::string_view residentsText);

enum class FireButtonResult {
    NoResidents,        // the residents value is 0 or missing
    NegativeResidents,  // refused: no fire flow for a negative count
    Applied,
};

struct FireUpdate {
    FireButtonResult result = FireButtonResult::NoResidents;
    FlowSide side = FlowSide::Along;
    std::string flowText;  // NumberText of the fire flow, for the flow box
};

// The fire-flow button for the residents typed last, on `side` of `section`:
// computes the flow from them and stores it with the fire marker.
FireUpdate ApplyFireButton(Project& project, int section, FlowSide side);

}  // namespace acquenza
