#pragma once
// What the pipes laid give: for each section the pipe beside its theoretical
// diameter, with the loss and the velocities in it; the pressure class of each
// pipe against the static pressure at its ends; the bill of quantities
// ("Computo delle tubazioni"); and the same as spreadsheet files.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "network.h"
#include "pipes.h"
#include "project_pipes.h"

namespace acquenza {

struct PipeRow {
    int section = 0;
    PipeState state = PipeState::None;
    std::optional<double> theoreticalMm;
    std::string pipeText;  // "PE100 SDR11 PN16 Ø 200 — DI 163,6 mm", or why none
    double internalMm = 0;
    double pn = 0;  // bar
    // Over the 14 segments with the internal diameter, and the velocities at
    // the start (Q_1) and at the end (Q_14); only when `hasLoss`.
    bool hasLoss = false;
    double headLoss = 0;  // m
    double velocityStart = 0;
    double velocityEnd = 0;  // m/s
    // The pressure at the section's end node with the pipes laid and with the
    // theoretical diameters, m; known when the heads reach the node.
    std::optional<double> pressureEnd;
    std::optional<double> theoreticalPressureEnd;
};

// One row per linked section that lays a pipe or names a series, with the
// figures of `result` (the network analysed with the pipes laid: its input
// made by NetworkInputOf with the same catalogues) and the pressures of
// `theoretical` (analysed without catalogues), when given.
std::vector<PipeRow> PipeRowsOf(const Project& project, std::span<const PipeSeries> catalogues,
                                const NetworkResult& result,
                                const NetworkResult* theoretical = nullptr);

// The project's network analysed with the pipes laid, and with the
// theoretical diameters; then its rows.
std::vector<PipeRow> PipeRowsWithPressures(const Project& project,
                                           std::span<const PipeSeries> catalogues,
                                           const NetworkLimits& office);

// The pressure class of every pipe laid against the static pressure at its
// ends (from the source's head: none while it is unknown), and every section
// whose pipe cannot be laid: one Italian sentence each, by section.
std::vector<NetworkCheck> PipeChecksOf(const Project& project,
                                       std::span<const PipeSeries> catalogues,
                                       const NetworkResult& result);

// The analysis's own checks with those of the pipes, by section.
void AddPipeChecks(NetworkResult& result, const Project& project,
                   std::span<const PipeSeries> catalogues);

// The bill of the pipes laid: metres per material, series and size.
Bill BillOf(const Project& project, std::span<const PipeSeries> catalogues);

// The pipes section by section as a spreadsheet file (UTF-8 with a byte-order
// mark, ";" between fields, decimal comma, CR LF).
std::string PipeRowsCsv(const std::vector<PipeRow>& rows);
// The bill as a spreadsheet file, its totals by material and the grand
// total closing it.
std::string BillCsv(const Bill& bill);

// "1.234,50 €" for the amounts, "123,45 m" for the lengths.
std::string MetresText(double metres);
std::string EuroText(double euro);

}  // namespace acquenza
