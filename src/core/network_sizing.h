#pragma once
// Sizing the network from the source's head.
//
// The path method: from a node whose head is known (first the source, at H0),
// the most unfavourable node downstream — the smallest available head per
// metre of pipe from there, available head being the head at the start less
// the node's ground elevation and the minimum pressure — fixes a uniform
// gradient J for the sections on the way to it; each such section gets the
// share J × length. Each section is then sized for its share: the theoretical
// diameter by the section calculation's 14-segment search with share / 14 in
// place of each segment's ground drop, and the pipe laid as the smallest size
// of the series whose loss (by the project's formula for pipes laid) stays
// within the share. The nodes of that path then have the heads actually
// reached with the sizes chosen, and every branch leaving them is sized the
// same way from there, until every section has its share.
//
// The candidates are the end nodes, as in the classical method, and also the
// nodes along the way: a high point on a main keeps its minimum pressure too.
//
// Least cost ("Riduci il costo") then lowers sizes one step at a time, always
// taking next the change that saves most per metre of head it uses, as long
// as every node keeps the minimum pressure, every pipe its pressure class and
// every section the velocity maximum.

#include <optional>
#include <string>
#include <vector>

#include "network.h"
#include "pipe_catalogue.h"

namespace acquenza {

enum class SizingMethod {
    SectionBySection,  // the original sizing against each section's ground drop
    Paths,             // the path method
    PathsLeastCost,    // the path method, then the cost reduction
};

struct SizingOptions {
    // The series the pipes laid come from; none: theoretical diameters only.
    const PipeSeries* series = nullptr;
    // The formula for the pipes laid: the section calculation's coefficient
    // (each section's own, from its loss model) or Darcy-Weisbach with the
    // series' roughness.
    LossFormula pipeFormula = LossFormula::Coefficient;
};

struct SectionSizing {
    bool sized = false;               // it was given a share and a diameter
    double share = 0;                 // m of head it may lose
    double gradient = 0;              // m per m, J of the path that gave the share
    double theoreticalDiameter = 0;   // m, from the calculation's table (0: none)
    std::optional<std::size_t> pipe;  // index into the series' sizes
    double headLoss = 0;              // m, with the pipe laid, or with the theoretical diameter
    bool largerForVelocity = false;   // a larger size than the share needs: velocity maximum
    bool noPipeHolds = false;         // even the largest size loses more than the share
    double missingHead = 0;           // m, for noPipeHolds: largest size's loss − share
};

struct SizingPath {
    int fromNode = 0;           // the node whose head it starts from (0: the source)
    double startHead = 0;       // m a.s.l., as reached there
    std::vector<int> sections;  // down to the most unfavourable node
    int toNode = 0;
    double length = 0;         // m
    double availableHead = 0;  // startHead − (ground + minimum pressure) at toNode, m
    double gradient = 0;       // availableHead / length, m per m
};

struct SizingProblem {
    int section = 0;         // the section, or the node (end of that section)
    double missingHead = 0;  // m
    std::string text;        // Italian
};

struct CostTotal {
    bool money = false;  // € from catalogue prices; otherwise the proxy
    // € when money, else Σ internal diameter (mm) × length (m): a measure that
    // falls with every smaller size, shown as no amount.
    double value = 0;
};

struct NetworkSizing {
    SizingMethod method = SizingMethod::Paths;
    std::vector<SectionSizing> sections;  // indexed by section (slot 0 unused)
    std::vector<SizingPath> paths;        // in the order the method fixed them
    std::vector<SizingProblem> problems;  // by section
    std::optional<CostTotal> costBefore;  // least cost: at the path method's sizes
    std::optional<CostTotal> costAfter;   // the sizes as they are now (with a series)
    int reductions = 0;                   // least cost: size steps taken
};

// The path method over the sections reached from the source. Sections whose
// nodes cannot get the minimum pressure whatever the pipe (no positive head
// available, from the head reached where they branch off) are not sized and
// are reported with the head they miss; the rest is sized.
NetworkSizing SizeByPaths(const NetworkInput& input, const SizingOptions& options);

// Least cost from a path sizing (which it does not change): never raises the
// total, never takes a node below the minimum pressure, a pipe past its class
// or a section past the velocity maximum.
NetworkSizing ReduceCost(const NetworkInput& input, const NetworkSizing& start,
                         const SizingOptions& options);

// The network with the sizing's diameters: the pipe laid with the formula for
// pipes laid (the series' roughness for Darcy-Weisbach), else the theoretical
// diameter with the section's coefficient formula. Sections not sized keep
// what they had.
NetworkInput WithSizing(const NetworkInput& input, const NetworkSizing& sizing,
                        const SizingOptions& options);

// The cost of the pipes laid (money with a fully priced series).
CostTotal CostOf(const NetworkInput& input, const NetworkSizing& sizing,
                 const SizingOptions& options);

}  // namespace acquenza
