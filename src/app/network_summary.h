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

// Where a section's velocity stands against the band. NotSized: data still
// missing; Unsizable: complete, but the calculation cannot size it.
enum class SpeedCheck { NotSized, Unsizable, Below, Inside, Above };

// What the diameter column shows for a section that cannot be sized.
inline constexpr const char* UnsizableMark = "non dimensionabile";

struct SummaryRow {
    int section = 0;
    // What each column shows: decimal comma, fixed decimals; empty when the
    // section has no such value.
    std::array<std::string, SummaryColumnCount> texts;
    // The numbers behind them, for sorting (the pipe type sorts by its text).
    std::array<double, SummaryColumnCount> numbers{};
    SpeedCheck speed = SpeedCheck::NotSized;
    std::string speedNote;  // why the velocity is marked, for its tooltip
    // Flows worked out as fire-fighting flows (the allowance's fire mark).
    bool fireAlong = false;
    bool fireEnd = false;
};

// A cell as the window shows it: a fire-fighting flow followed by " ant.".
std::string SummaryCellText(const SummaryRow& row, SummaryColumn column);

struct NetworkSummary {
    std::vector<SummaryRow> rows;
    double totalLength = 0;
    int outsideBand = 0;
    int notSized = 0;
    int unsizable = 0;
    // "Tronchi: 12 — lunghezza totale: 5230,00 m — ..."
    std::string BottomLine(const Settings& settings) const;
};

// Reads every section up to the last one holding any input (a section left
// empty on the way still has its row), with their current results.
NetworkSummary SummarizeNetwork(const Project& project, const Settings& settings);

// The table as a spreadsheet file in the Italian convention: UTF-8 with a
// byte-order mark, ";" between fields, decimal comma, CR LF line ends, the
// Italian headings first. Flows are plain numbers, with the fire-fighting
// mark in a column of its own; a text that a spreadsheet would take for a
// formula is written behind an apostrophe.
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
