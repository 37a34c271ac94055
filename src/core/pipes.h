#pragma once
// The pipe actually laid: the choice of a commercial size for a theoretical
// diameter, its text, its pressure class against the static pressure, and the
// bill of quantities of the pipes laid.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "pipe_catalogue.h"

namespace acquenza {

// Index (into series.sizes) of the smallest size whose internal diameter is
// not smaller than the theoretical diameter (both mm; a millionth of a mm is
// let pass, so 163.6 typed and 163.6 computed compare equal). nullopt when
// even the largest size is smaller.
std::optional<std::size_t> ChoosePipe(const PipeSeries& series, double theoreticalMm);

// "PE100 SDR11 PN16 Ø 200 — DI 163,6 mm"; the class follows the size when the
// catalogue names one: "Ghisa sferoidale EN 545 DN 200 C40 — DI 204,6 mm".
std::string PipeText(const PipeSeries& series, const PipeSize& size);

// "nessuna misura della serie «PE100 SDR11 PN16» ha un diametro interno di
// almeno 600,0 mm (la più grande: 515,6 mm)".
std::string NoPipeText(const PipeSeries& series, double theoreticalMm);

// 1 bar as metres of water column, as the design codes round it.
inline constexpr double MetresPerBar = 10.2;

// Pressure classes in bar as pipes are sold (EN 805 / ISO 161 series), for
// saying which class would hold when no loaded series does.
inline constexpr double StandardPressureClasses[] = {4,  6,  8,  10, 12.5, 16, 20,
                                                     25, 32, 40, 50, 64,   100};

// The static pressure (m) at each end of a section against the class of the
// pipe laid. nullopt when both ends are within PN × 10.2 m; otherwise the
// Italian text of the check, saying which series of the same material among
// `loaded` would hold (the smallest class that does), or else which PN would.
std::optional<std::string> PressureClassCheck(int section, const PipeSeries& series,
                                              const PipeSize& size, double staticStart,
                                              double staticEnd, std::span<const PipeSeries> loaded);

// One section's pipe, for the bill.
struct LaidPipe {
    int section = 0;
    const PipeSeries* series = nullptr;
    std::size_t size = 0;  // index into series->sizes
    double length = 0;     // m
};

struct BillRow {
    std::string material;
    std::string series;
    std::string size;      // "Ø 200"
    std::string pipeText;  // as PipeText gives it
    double internalMm = 0;
    double metres = 0;
    std::optional<double> pricePerMetre;  // €/m
    std::optional<double> amount;         // € (metres × price), when priced
    std::vector<int> sections;            // the sections laid with it, ascending
};

struct BillTotal {
    std::string material;  // empty for the grand total
    double metres = 0;
    double amount = 0;  // € of the priced rows only
    bool allPriced = true;
};

struct Bill {
    std::vector<BillRow> rows;  // by material, series, internal diameter
    std::vector<BillTotal> materialTotals;
    BillTotal total;
};

// Metres of pipe per material, series and size; amounts where prices are given.
// Pipes with no series, a size out of range or a length that is not a positive
// finite number are left out.
Bill MakeBill(std::span<const LaidPipe> pipes);

}  // namespace acquenza
