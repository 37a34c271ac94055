#pragma once

// An EPANET input file (.inp) held in memory: the objects a water network is
// made of, in the file's own units. The reader fills it, the writer writes it;
// branched_export/branched_import translate it to and from the sections of a
// project. Sections of the file that are not modelled here are kept as lines
// (those EPANET knows) or only remembered by name (those it does not).

#include <optional>
#include <string>
#include <vector>

namespace acquenza::interchange {

// Flow units of the file. The first five are US customary (lengths and
// elevations in feet, diameters in inches); the others are metric (metres,
// millimetres).
enum class FlowUnits { CFS, GPM, MGD, IMGD, AFD, LPS, LPM, MLD, CMH, CMD };

enum class HeadlossFormula { HazenWilliams, DarcyWeisbach, ChezyManning };

enum class PipeStatus { Open, Closed, CheckValve };

struct InpJunction {
    std::string id;
    double elevation = 0;   // m or ft
    double baseDemand = 0;  // flow units
    std::string pattern;    // empty: the default pattern
    std::string comment;
    int line = 0;  // where the reader found it; 0 when built in memory
};

struct InpReservoir {
    std::string id;
    double head = 0;  // m or ft
    std::string pattern;
    std::string comment;
    int line = 0;
};

struct InpTank {
    std::string id;
    double elevation = 0;  // bottom, m or ft
    double initLevel = 0;
    double minLevel = 0;
    double maxLevel = 0;
    double diameter = 0;   // m or ft
    double minVolume = 0;  // m3 or ft3
    std::string volumeCurve;
    std::string overflow;
    std::string comment;
    int line = 0;
};

struct InpPipe {
    std::string id;
    std::string node1;
    std::string node2;
    double length = 0;     // m or ft
    double diameter = 0;   // mm or in
    double roughness = 0;  // D-W: mm or millifeet; H-W: C factor; C-M: Manning's n
    double minorLoss = 0;
    PipeStatus status = PipeStatus::Open;
    std::string comment;
    int line = 0;
};

// Pumps and valves are kept so that they can be named when refused, and
// written back unchanged; their parameters stay as the file has them.
struct InpPump {
    std::string id;
    std::string node1;
    std::string node2;
    std::vector<std::string> parameters;
    std::string comment;
    int line = 0;
};

struct InpValve {
    std::string id;
    std::string node1;
    std::string node2;
    double diameter = 0;
    std::string type;  // PRV, PSV, PBV, FCV, TCV, GPV
    std::string setting;
    double minorLoss = 0;
    std::string comment;
    int line = 0;
};

// One line of [DEMANDS]. A junction listed here takes these demands in place
// of the base demand of its [JUNCTIONS] line.
struct InpDemand {
    std::string junction;
    double demand = 0;
    std::string pattern;
    std::string category;
    int line = 0;
};

struct InpPattern {
    std::string id;
    std::vector<double> multipliers;
    int line = 0;
};

// One line of [STATUS]: OPEN, CLOSED, ACTIVE or a setting.
struct InpStatus {
    std::string link;
    std::string value;
    int line = 0;
};

struct InpCoordinate {
    std::string node;
    double x = 0;
    double y = 0;
};

struct InpOptions {
    // EPANET's own defaults when a file does not say.
    FlowUnits units = FlowUnits::GPM;
    HeadlossFormula headloss = HeadlossFormula::HazenWilliams;
    // Kinematic viscosity relative to EPANET's reference for water at 20 °C.
    std::optional<double> viscosity;
    std::optional<double> specificGravity;
    std::optional<double> demandMultiplier;
    std::string defaultPattern;  // empty: "1" when such a pattern exists
    std::string pressureUnits;   // PSI, KPA or METERS; empty when not given
    // Further option lines, kept as the file has them.
    std::vector<std::string> otherLines;
};

// A section EPANET knows that this model does not take apart ([TIMES],
// [CURVES], [CONTROLS], ...): its lines are written back as they were read.
struct InpRawSection {
    std::string name;  // upper case, without brackets
    std::vector<std::string> lines;
};

struct InpSkippedSection {
    std::string header;  // as written in the file
    int line = 0;
};

struct InpNetwork {
    std::vector<std::string> title;     // EPANET shows the first three lines
    std::vector<std::string> comments;  // before the first section
    InpOptions options;
    std::vector<InpJunction> junctions;
    std::vector<InpReservoir> reservoirs;
    std::vector<InpTank> tanks;
    std::vector<InpPipe> pipes;
    std::vector<InpPump> pumps;
    std::vector<InpValve> valves;
    std::vector<InpDemand> demands;
    std::vector<InpPattern> patterns;
    std::vector<InpStatus> statuses;
    std::vector<InpCoordinate> coordinates;
    std::vector<InpRawSection> otherSections;
    // Sections EPANET would not know: read over, never written.
    std::vector<InpSkippedSection> unknownSections;
};

// True for the five US customary flow units.
bool IsUsCustomary(FlowUnits units);

// The keyword EPANET uses for the units ("LPS") and the formula ("D-W").
const char* FlowUnitsKeyword(FlowUnits units);
const char* HeadlossKeyword(HeadlossFormula formula);

}  // namespace acquenza::interchange
