#pragma once
// The whole network at a glance: one row per entered section with its data
// and results, the velocity checked against the office's band, the profile
// of a section, and the same table as a spreadsheet file.

#include <array>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/settings.h"
#include "core/project.h"

namespace acquenza {

enum class SummaryColumn {
    Section,
    Length,
    InitialElevation,
    FinalElevation,
    Drop,
    FlowAlong,
    FlowEnd,
    Residents,
    PipeType,
    HeadLoss,
    Diameter,
    Velocity,
    Roughness,
};
inline constexpr int SummaryColumnCount = 13;

// The column headings, as the window and the spreadsheet file show them.
const std::array<std::string, SummaryColumnCount>& SummaryHeadings();

// Where a section's velocity stands against the band.
enum class SpeedCheck { NotSized, Below, Inside, Above };

struct SummaryRow {
    int section = 0;
    // What each column shows: decimal comma, fixed decimals; empty when the
    // section has no such value.
    std::array<std::string, SummaryColumnCount> texts;
    // The numbers behind them, for sorting (the pipe type sorts by its text).
    std::array<double, SummaryColumnCount> numbers{};
    SpeedCheck speed = SpeedCheck::NotSized;
    std::string speedNote;  // why the velocity is marked, for its tooltip
};

struct NetworkSummary {
    std::vector<SummaryRow> rows;
    double totalLength = 0;
    int outsideBand = 0;
    int notSized = 0;
    // "Tronchi: 12 — lunghezza totale: 5230,00 m — ..."
    std::string BottomLine(const Settings& settings) const;
};

// Reads sections 1..enteredSectionCount with their current results.
NetworkSummary SummarizeNetwork(const Project& project, const Settings& settings);

// The table as a spreadsheet file in the Italian convention: UTF-8 with a
// byte-order mark, ";" between fields, decimal comma, CR LF line ends, the
// Italian headings first.
std::string SummaryCsv(const NetworkSummary& summary);

// "Esporta in CSV...": asks for the file (ending in .csv) and writes the
// table there; false when cancelled or failed (the user is told why).
bool ExportSummaryCsv(const NetworkSummary& summary, const std::string& projectName,
                      Dialogs& dialogs);

// A section's profile over its 14 segments, from the calculation's map.
struct SectionProfile {
    int section = 0;
    bool sized = false;
    std::vector<double> distance;   // m from the upstream end, 15 points
    std::vector<double> ground;     // the straight line between the elevations
    std::vector<double> gradeLine;  // initial elevation minus the loss so far
    double drop = 0;                // available: initial minus final elevation
    double headLoss = 0;            // the section's whole loss
};
SectionProfile ProfileOf(const Project& project, int section);

}  // namespace acquenza
