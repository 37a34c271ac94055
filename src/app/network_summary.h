#pragma once
// The whole network at a glance: one row per entered section with its data
// and results, the velocity checked against the office's band, the profile
// of a section, and the same table as a spreadsheet file.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/settings.h"
#include "core/network.h"
#include "core/project.h"

namespace acquenza {

// What a column of the summary shows: the section's number, a field of the
// project's table (those the table places in the summary), or a value the
// summary works out. The network's columns stand only in the summary of a
// project whose sections are linked.
enum class SummaryValue {
    Section,
    Field,
    Drop,
    Residents,
    // The network's: the link and the node's delivery (typed in the window),
    // then the analysis's figures at the section's end node.
    Link,
    NodeDemand,
    FlowEnd,
    HeadEnd,
    PressureEnd,
    StaticPressure,
    MaxVelocity,
    Gradient,
    NetworkChecks,
};

struct SummaryColumn {
    SummaryValue value = SummaryValue::Field;
    Field field = Field::lungh;  // for SummaryValue::Field
    std::string heading;         // as the spreadsheet file and the tooltip say it
    std::string shortHeading;    // on two lines, as the window shows it
    int decimals = 2;
    bool sortsByText = false;  // a list's text (the pipe type) rather than a number
    bool result = false;       // a result of the calculation: shown for sized sections only
};

// The columns for a project of these fields, in order; with the network's
// columns when `network`.
std::vector<SummaryColumn> SummaryColumnsOf(const FieldTable& fields, bool network = false);

// Where a section's velocity stands against the band. NotSized: data still
// missing; Unsizable: complete, but the calculation cannot size it.
enum class SpeedCheck { NotSized, Unsizable, Below, Inside, Above };

// What the diameter column shows for a section that cannot be sized.
inline constexpr const char* UnsizableMark = "non dimensionabile";

struct SummaryRow {
    int section = 0;
    // What each column shows: decimal comma, fixed decimals; empty when the
    // section has no such value.
    std::vector<std::string> texts;
    // The numbers behind them, for sorting (the pipe type sorts by its text).
    std::vector<double> numbers;
    SpeedCheck speed = SpeedCheck::NotSized;
    std::string speedNote;  // why the velocity is marked, for its tooltip
    // Flows worked out as fire-fighting flows (the allowance's fire mark).
    bool fireAlong = false;
    bool fireEnd = false;
    // The network's checks of the section and of its end node, with their
    // explanations (one a line) for the tooltip; `linked`: the section is
    // part of the network (it has a "tronco a monte").
    bool linked = false;
    std::vector<CheckKind> checks;
    std::string checkNote;
    // The node's delivery is worked out (from the end residents or the end
    // flow), not typed: shown in the result colour.
    bool demandDerived = false;
    std::string demandTyped;  // as stored, for the cell's editor
    bool HasCheck(CheckKind kind) const;
};

struct NetworkSummary {
    std::vector<SummaryColumn> columns;
    std::vector<SummaryRow> rows;
    double totalLength = 0;
    int outsideBand = 0;
    int notSized = 0;
    int unsizable = 0;
    bool network = false;    // the network's columns are in
    int networkChecked = 0;  // linked sections with at least one check
    // "Tronchi: 12 — lunghezza totale: 5230,00 m — ..."
    std::string BottomLine(const Settings& settings) const;
    // Where a field's column, or a worked-out value's, stands; columns.size()
    // when the summary has none.
    std::size_t ColumnOf(Field field) const;
    std::size_t ColumnOf(SummaryValue value) const;
};

// A cell as the window shows it: a fire-fighting flow followed by " ant.".
std::string SummaryCellText(const NetworkSummary& summary, const SummaryRow& row,
                            std::size_t column);

// Reads every section up to the last one holding any input (a section left
// empty on the way still has its row), with their current results; the
// network's columns when the project has a network.
NetworkSummary SummarizeNetwork(const Project& project, const Settings& settings);
// The same with the network's columns when `network` (a window showing them
// before the first link), from `analysis` when given (the window keeps its
// own, worked out again only where figures changed), else worked out here.
NetworkSummary SummarizeNetwork(const Project& project, const Settings& settings, bool network,
                                const NetworkResult* analysis);

// The short words the checks column and the spreadsheet give a check.
std::string CheckWord(CheckKind kind);

// The table as a spreadsheet file in the Italian convention: UTF-8 with a
// byte-order mark, ";" between fields, decimal comma, CR LF line ends, the
// Italian headings first. Flows are plain numbers, with the fire-fighting
// mark in a column of its own; a text that a spreadsheet would take for a
// formula is written behind an apostrophe.
std::string SummaryCsv(const NetworkSummary& summary);

// Asks for a spreadsheet file to write, named after `namePrefix` and the
// project ("riepilogo-Progetto.csv"), ".csv" added when missing; nothing
// when cancelled.
std::optional<std::string> ChooseCsvFile(Dialogs& dialogs, const std::string& title,
                                         const std::string& namePrefix,
                                         const std::string& projectName);

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
