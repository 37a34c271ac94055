#pragma once
// The sections joined into a tree fed by a source: the links, the flows summed
// downstream, the heads and pressures at every node, the checks and the paths
// from the source to the end nodes.
//
// Plain data indexed by section number. Section i (1..N) may continue from
// another: its upstream link is none (a stand-alone section, sized alone as
// ever and ignored here), 0 (it starts at the source) or k (its start is the
// end of section k). The end of section i is node i; the source is node 0.
// Units: m, m a.s.l., l/s, m/s, m of water.

#include <optional>
#include <string>
#include <vector>

#include "head_loss.h"

namespace acquenza {

struct NetworkLimits {
    double minimumPressure = 20;        // m, at every node
    double maximumStaticPressure = 70;  // m, at every node
    double minimumVelocity = 0.5;       // m/s, at a section's end (smallest flow)
    double maximumVelocity = 2.0;       // m/s, at a section's start (largest flow)
    bool operator==(const NetworkLimits&) const = default;
};

struct NetworkSection {
    bool entered = false;         // the section has data (a positive length)
    std::optional<int> upstream;  // none: stand-alone; 0: the source; k: section k
    double length = 0;            // m
    double zStart = 0;            // ground elevation at the start, m a.s.l.
    double zEnd = 0;              // ground elevation at the end (node i), m a.s.l.
    double flowAlong = 0;         // drawn uniformly along the section, l/s
    double nodeDemand = 0;        // delivered by node i itself, l/s
    double diameter = 0;          // internal diameter its loss is stated with, m (0: none)
    LossModel loss;               // formula and figure for that diameter
    bool operator==(const NetworkSection&) const = default;
};

struct NetworkInput {
    double sourceHead = 0;  // H0, piezometric head of the source, m a.s.l.
    NetworkLimits limits;
    // Slot 0 is unused, as the project's own slot 0: sections[i] is section i.
    std::vector<NetworkSection> sections;

    int SectionCount() const {
        return sections.empty() ? 0 : static_cast<int>(sections.size()) - 1;
    }
    static NetworkInput WithSections(int count);
};

// ---- links -------------------------------------------------------------

struct LinkProblem {
    int section = 0;
    std::string text;  // Italian, naming the sections
};

struct NetworkTree {
    // children[n]: the sections continuing from node n (n = 0 is the source),
    // ascending.
    std::vector<std::vector<int>> children;
    // The sections reached from the source, each after the section it
    // continues from (top-down); the reverse is bottom-up.
    std::vector<int> order;
    // inNetwork[i]: section i is linked, its link was accepted and its chain
    // of links reaches the source.
    std::vector<char> inNetwork;
    // Linked sections whose chain ends at a stand-alone section, or at one
    // whose link was refused, so no head reaches them; top-down. Their flows
    // are still summed.
    std::vector<int> detached;
    // Links refused (to itself, to a missing section, closing a loop): those
    // sections are left out, and what continues from them is detached.
    std::vector<LinkProblem> problems;
};

// The tree the links describe. Any link problems are reported, never fixed.
NetworkTree BuildTree(const NetworkInput& input);

// Whether giving `section` the upstream link `upstream` is accepted, with the
// other sections' links as they are: nullopt, or the Italian message that
// refuses it (a link to itself, to a section that does not exist or was not
// entered, or one that closes a loop, naming the loop's sections).
std::optional<std::string> CheckLink(const NetworkInput& input, int section, int upstream);

// Section `deleted` removed as the project removes it (the later sections
// move up one place): the slot is erased, links to later sections follow
// them, links to the deleted section become 0 (the source). Returns the new
// numbers of the sections whose link was so reset, for the check to say.
std::vector<int> RemoveSection(NetworkInput& input, int deleted);

// ---- flows, heads, checks --------------------------------------------------

// Flow leaving the end of each section (l/s), indexed by section: own demand of
// its node plus, for every section continuing from it, that section's flow
// along plus its own end flow. 0 for sections not linked.
std::vector<double> SumFlows(const NetworkInput& input, const NetworkTree& tree);

enum class HeadState {
    NotInNetwork,  // stand-alone, refused link, or not entered
    Computed,
    NoDiameter,       // this section's loss cannot be stated (no diameter)
    UpstreamUnknown,  // no head reaches its start (see cause)
    Detached,         // its chain of links ends at a stand-alone section
    // Its length, elevations or flows are not finite numbers (a typed
    // "1e999"), or the source's head is not: nothing is stated from them.
    InvalidFigures,
};

struct SectionHydraulics {
    HeadState state = HeadState::NotInNetwork;
    // For the states without a head: the section that stops it (the one with
    // no diameter or unusable figures, 0 for the source, or the one the
    // detached chain ends at).
    int cause = 0;
    HeadState causeState = HeadState::Computed;  // that section's own state
    double flowEnd = 0;                          // q_end, l/s
    double flowStart = 0;                        // Q_1 = q_end + q_along, l/s
    // Known whenever the section's loss can be stated (hasLoss).
    bool hasLoss = false;
    double headLoss = 0;       // m, over the 14 segments
    double gradientPerKm = 0;  // m/km
    double velocityStart = 0;  // m/s at Q_1
    double velocityEnd = 0;    // m/s at Q_14
    // Known only when state is Computed.
    double headStart = 0;      // m a.s.l.
    double headEnd = 0;        // m a.s.l., at node i
    double pressureStart = 0;  // headStart − zStart, m
    double pressureEnd = 0;    // headEnd − zEnd, m
    // Known for every section reached from the source, heads or not.
    double staticStart = 0;  // H0 − zStart, m
    double staticEnd = 0;    // H0 − zEnd, m
};

enum class CheckKind {
    LowPressure,         // pressure at the node below the minimum
    HighStaticPressure,  // static pressure at the node above the maximum
    HighVelocity,        // velocity at the start above the band
    LowVelocity,         // velocity at the end below the band
    ElevationMismatch,   // start elevation ≠ upstream section's end elevation
    NotComputable,       // no head at the node, and why
    Detached,            // linked to a section that is not in the network
    LinkRefused,         // the link problem of BuildTree
    // Added for a project that lays pipes (the analysis itself never gives
    // them): the static pressure above the pipe's class, and a section whose
    // pipe cannot be laid (no size large enough, a series or size unknown).
    PressureClass,
    NoPipe,
};

struct NetworkCheck {
    int section = 0;  // the section (its end node for node checks)
    CheckKind kind = CheckKind::LowPressure;
    std::string text;  // Italian explanation
};

struct NetworkPath {
    std::vector<int> sections;  // from the source down to the end node
    int endNode = 0;
    double length = 0;         // m
    double availableHead = 0;  // H0 − (ground at the end node + minimum pressure), m
    // availableHead / length, m per m; nullopt for a path of no length.
    std::optional<double> availablePerMetre;
};

struct NetworkResult {
    // Indexed by section; slot 0 is the source (headEnd = H0).
    std::vector<SectionHydraulics> sections;
    std::vector<NetworkCheck> checks;  // by section, in the order of CheckKind
    // One per end node reached from the source (whose figures are numbers).
    std::vector<NetworkPath> paths;
    // The most unfavourable path: the smallest available head per metre.
    std::optional<std::size_t> worstPath;
};

// Each section's loss kept between analyses, keyed by the figures it comes
// from, so that after a keystroke only the sections whose figures changed —
// the one typed into and those upstream of it, whose flows it changed — are
// computed again: a Darcy-Weisbach loss is 14 Colebrook-White solutions.
// Equal figures give equal losses bit for bit, so the result is the same as
// without it. Keep one per network, keyed by section number.
class LossMemo {
  public:
    std::optional<double> Loss(int section, const NetworkSection& s, double flowEnd);
    void Clear() { entries_.clear(); }

  private:
    struct Entry {
        bool valid = false;
        double length = 0;
        double flowEnd = 0;
        double flowAlong = 0;
        double diameter = 0;
        LossModel model;
        std::optional<double> loss;
    };
    std::vector<Entry> entries_;
};

// Flows, heads, pressures, checks and paths in one pass over the tree.
NetworkResult AnalyseNetwork(const NetworkInput& input, const NetworkTree& tree,
                             LossMemo* memo = nullptr);
NetworkResult AnalyseNetwork(const NetworkInput& input);

// The Italian reason a node has no head ("Nodo 7: carico non calcolabile: …").
std::string NotComputableText(int section, const SectionHydraulics& h);

}  // namespace acquenza
