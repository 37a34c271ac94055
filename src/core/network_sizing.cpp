#include "network_sizing.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "decimal_text.h"
#include "pipes.h"
#include "section_calculation.h"

namespace acquenza {

namespace {

std::size_t Slot(int i) {
    return static_cast<std::size_t>(i);
}

// A change of size must leave this much above the minimum pressure, so that
// the heads summed afresh afterwards are still at or above it.
constexpr double PressureMargin = 1e-9;  // m

LossModel PipeModel(const NetworkSection& s, const SizingOptions& options) {
    LossModel model = s.loss;
    model.formula = options.pipeFormula;
    if (options.series != nullptr) {
        model.roughnessMm = options.series->roughnessMm;
    }
    return model;
}

LossModel TheoreticalModel(const NetworkSection& s) {
    LossModel model = s.loss;
    model.formula = LossFormula::Coefficient;
    return model;
}

// "della sorgente" / "del nodo 3", "dalla sorgente" / "dal nodo 3".
std::string NodeOf(int node) {
    return node == 0 ? std::string("della sorgente") : "del nodo " + std::to_string(node);
}
std::string NodeFrom(int node) {
    return node == 0 ? std::string("dalla sorgente") : "dal nodo " + std::to_string(node);
}

// What the sizing walks over: the tree, its flows and each section's parent.
struct Walk {
    const NetworkInput& input;
    const SizingOptions& options;
    NetworkTree tree;
    std::vector<double> flowEnd;
    std::vector<int> parent;

    Walk(const NetworkInput& in, const SizingOptions& opt)
        : input(in), options(opt), tree(BuildTree(in)) {
        flowEnd = SumFlows(in, tree);
        parent.assign(in.sections.size(), 0);
        for (std::size_t p = 0; p < tree.children.size(); ++p) {
            for (const int c : tree.children[p]) {
                parent[Slot(c)] = static_cast<int>(p);
            }
        }
    }

    const NetworkSection& At(int i) const { return input.sections[Slot(i)]; }
    double FlowStart(int i) const { return flowEnd[Slot(i)] + At(i).flowAlong; }

    std::optional<double> PipeLoss(int i, const PipeSize& size) const {
        return SectionHeadLoss(PipeModel(At(i), options), At(i).length, flowEnd[Slot(i)],
                               At(i).flowAlong, size.internalMm / 1000);
    }

    // Sections of the subtree from c down, top-down.
    std::vector<int> Subtree(int c) const {
        std::vector<int> out{c};
        for (std::size_t k = 0; k < out.size(); ++k) {
            for (const int d : tree.children[Slot(out[k])]) {
                out.push_back(d);
            }
        }
        return out;
    }
};

class PathSizer {
  public:
    PathSizer(const Walk& walk, NetworkSizing& out) : w_(walk), out_(out) {
        head_.assign(w_.input.sections.size(), 0.0);
        known_.assign(w_.input.sections.size(), 0);
        reportedNode_.assign(w_.input.sections.size(), 0);
        head_[0] = w_.input.sourceHead;
        known_[0] = 1;
    }

    void Run() {
        // Work list of branches: (node whose head is known, first section).
        std::vector<std::pair<int, int>> branches;
        for (auto it = w_.tree.children[0].rbegin(); it != w_.tree.children[0].rend(); ++it) {
            branches.push_back({0, *it});
        }
        while (!branches.empty()) {
            const auto [root, first] = branches.back();
            branches.pop_back();
            const std::vector<int> path = SizeBranch(root, first);
            // Branches leaving the path, from the heads reached on it.
            for (auto s = path.rbegin(); s != path.rend(); ++s) {
                if (!known_[Slot(*s)]) {
                    continue;
                }
                const auto& kids = w_.tree.children[Slot(*s)];
                const int next = (s == path.rbegin()) ? -1 : *(s - 1);
                for (auto c = kids.rbegin(); c != kids.rend(); ++c) {
                    if (*c != next) {
                        branches.push_back({*s, *c});
                    }
                }
            }
        }
        std::stable_sort(
            out_.problems.begin(), out_.problems.end(),
            [](const SizingProblem& a, const SizingProblem& b) { return a.section < b.section; });
    }

  private:
    // Sizes the path from `root` through `first` to the most unfavourable
    // node below; returns the path's sections (empty when none can be sized).
    std::vector<int> SizeBranch(int root, int first) {
        const double rootHead = head_[Slot(root)];
        const double minimum = w_.input.limits.minimumPressure;
        const std::vector<int> subtree = w_.Subtree(first);
        if (!std::isfinite(rootHead)) {
            for (const int s : subtree) {
                NotSized(s, "la quota piezometrica della sorgente non è un numero utilizzabile");
            }
            return {};
        }
        std::vector<double> distance(w_.input.sections.size(), 0.0);
        int worst = -1;
        double worstRatio = std::numeric_limits<double>::infinity();
        for (const int m : subtree) {
            const int p = w_.parent[Slot(m)];
            distance[Slot(m)] = (p == root ? 0.0 : distance[Slot(p)]) + w_.At(m).length;
            const double available = rootHead - (w_.At(m).zEnd + minimum);
            if (!std::isfinite(available) || !std::isfinite(distance[Slot(m)])) {
                continue;  // its section says why it is not sized
            }
            if (!(available > 0)) {
                ReportUnservable(m, root, rootHead, available);
                continue;
            }
            if (!(distance[Slot(m)] > 0) || !std::isfinite(distance[Slot(m)])) {
                continue;  // no gradient over no length
            }
            const double ratio = available / distance[Slot(m)];
            if (ratio < worstRatio) {
                worstRatio = ratio;
                worst = m;
            }
        }
        if (worst < 0) {
            for (const int s : subtree) {
                NotSized(s,
                         "nessun nodo a valle " + NodeOf(root) + " può avere la pressione minima");
            }
            return {};
        }

        std::vector<int> path;
        for (int at = worst; at != root; at = w_.parent[Slot(at)]) {
            path.push_back(at);
        }
        std::reverse(path.begin(), path.end());
        SizingPath record{root,
                          rootHead,
                          path,
                          worst,
                          distance[Slot(worst)],
                          rootHead - (w_.At(worst).zEnd + minimum),
                          worstRatio};
        out_.paths.push_back(std::move(record));

        for (std::size_t k = 0; k < path.size(); ++k) {
            const int s = path[k];
            if (!SizeSection(s, worstRatio)) {
                // No head gets past it: what hangs below is left unsized.
                for (const int below : w_.Subtree(s)) {
                    if (below != s) {
                        NotSized(below,
                                 "il tronco " + std::to_string(s) + " a monte non ha diametro");
                    }
                }
                path.resize(k + 1);
                break;
            }
        }
        return path;
    }

    bool SizeSection(int s, double gradient) {
        const NetworkSection& sec = w_.At(s);
        SectionSizing& z = out_.sections[Slot(s)];
        z.gradient = gradient;
        z.share = gradient * sec.length;
        const double qEnd = w_.flowEnd[Slot(s)];
        if (!std::isfinite(z.share) || !std::isfinite(qEnd) || !std::isfinite(sec.flowAlong) ||
            !std::isfinite(sec.zEnd) || !std::isfinite(sec.length)) {
            NotSized(s, "lunghezza, quote o portate non sono numeri utilizzabili");
            return false;
        }
        if (auto theoretical = SizeForSegmentDrop(sec.length, sec.flowAlong, qEnd,
                                                  sec.loss.coefficient, z.share / SegmentCount)) {
            z.theoreticalDiameter = theoretical->diameter;
        }
        std::optional<double> loss;
        if (w_.options.series != nullptr) {
            loss = LayPipe(s, z);
        }
        if (!z.pipe && z.theoreticalDiameter > 0) {
            loss = SectionHeadLoss(TheoreticalModel(sec), sec.length, qEnd, sec.flowAlong,
                                   z.theoreticalDiameter);
        }
        if (!loss) {
            out_.problems.push_back(
                {s, 0,
                 "Tronco " + std::to_string(s) +
                     ": nessun diametro fino a 10 m contiene la perdita di carico entro i " +
                     DecimalText(z.share, 2) + " m assegnati; il tronco non è dimensionato."});
            z.sized = false;
            z.theoreticalDiameter = 0;
            return false;
        }
        z.sized = true;
        z.headLoss = *loss;
        head_[Slot(s)] = head_[Slot(w_.parent[Slot(s)])] - *loss;
        known_[Slot(s)] = 1;
        return true;
    }

    // The smallest size that holds the share within the velocity maximum;
    // else the largest that holds the share (the velocity check will speak);
    // else none, with the head the largest size misses.
    std::optional<double> LayPipe(int s, SectionSizing& z) {
        const PipeSeries& series = *w_.options.series;
        const double vmax = w_.input.limits.maximumVelocity;
        std::optional<std::size_t> firstFit;
        std::optional<std::size_t> lastFit;
        std::optional<double> largestLoss;
        for (std::size_t i = 0; i < series.sizes.size(); ++i) {
            const std::optional<double> loss = w_.PipeLoss(s, series.sizes[i]);
            largestLoss = loss;
            if (!loss || *loss > z.share) {
                continue;
            }
            firstFit = firstFit.value_or(i);
            lastFit = i;
            const double v = Velocity(w_.FlowStart(s), series.sizes[i].internalMm / 1000);
            if (std::abs(v) <= vmax) {
                z.pipe = i;
                z.largerForVelocity = i != *firstFit;
                return loss;
            }
        }
        if (lastFit) {
            z.pipe = lastFit;
            z.largerForVelocity = lastFit != firstFit;
            return w_.PipeLoss(s, series.sizes[*lastFit]);
        }
        if (series.sizes.empty()) {
            return std::nullopt;
        }
        z.noPipeHolds = true;
        z.missingHead = largestLoss ? *largestLoss - z.share : 0;
        std::string text = "Tronco " + std::to_string(s) + ": anche la misura più grande, «" +
                           PipeText(series, series.sizes.back()) + "», ";
        if (largestLoss) {
            text += "perde " + DecimalText(*largestLoss, 2) + " m, oltre i " +
                    DecimalText(z.share, 2) + " m assegnati: mancano " +
                    DecimalText(z.missingHead, 2) + " m";
        } else {
            text += "non ha una perdita di carico calcolabile";
        }
        if (z.theoreticalDiameter > 0) {
            text += "; resta il diametro teorico di " +
                    DecimalText(z.theoreticalDiameter * 1000, 0) + " mm.";
        } else {
            text += ".";
        }
        out_.problems.push_back({s, z.missingHead, std::move(text)});
        return std::nullopt;
    }

    void ReportUnservable(int node, int root, double rootHead, double available) {
        if (reportedNode_[Slot(node)]) {
            return;
        }
        reportedNode_[Slot(node)] = 1;
        const double missing = -available;
        out_.problems.push_back({node, missing,
                                 "Nodo " + std::to_string(node) +
                                     ": anche senza perdite di carico " + NodeFrom(root) +
                                     " (carico " + DecimalText(rootHead, 2) +
                                     " m) la pressione resterebbe sotto il minimo di " +
                                     DecimalText(w_.input.limits.minimumPressure, 2) +
                                     " m: mancano " + DecimalText(missing, 2) + " m."});
    }

    void NotSized(int s, const std::string& why) {
        out_.sections[Slot(s)] = SectionSizing{};
        out_.problems.push_back(
            {s, 0, "Tronco " + std::to_string(s) + ": non dimensionato: " + why + "."});
    }

    const Walk& w_;
    NetworkSizing& out_;
    std::vector<double> head_;
    std::vector<char> known_;
    std::vector<char> reportedNode_;
};

double UnitCost(const PipeSeries& series, std::size_t size, bool money) {
    const PipeSize& s = series.sizes[size];
    return money ? s.pricePerMetre.value_or(0) : s.internalMm;
}

}  // namespace

NetworkSizing SizeByPaths(const NetworkInput& input, const SizingOptions& options) {
    NetworkSizing out;
    out.method = SizingMethod::Paths;
    out.sections.assign(input.sections.size(), {});
    const Walk walk(input, options);
    PathSizer(walk, out).Run();
    if (options.series != nullptr) {
        out.costAfter = CostOf(input, out, options);
    }
    return out;
}

NetworkInput WithSizing(const NetworkInput& input, const NetworkSizing& sizing,
                        const SizingOptions& options) {
    NetworkInput out = input;
    const std::size_t n = std::min(out.sections.size(), sizing.sections.size());
    for (std::size_t i = 1; i < n; ++i) {
        const SectionSizing& z = sizing.sections[i];
        NetworkSection& s = out.sections[i];
        if (!z.sized) {
            continue;
        }
        if (z.pipe && options.series != nullptr && *z.pipe < options.series->sizes.size()) {
            s.diameter = options.series->sizes[*z.pipe].internalMm / 1000;
            s.loss = PipeModel(input.sections[i], options);
        } else {
            s.diameter = z.theoreticalDiameter;
            s.loss = TheoreticalModel(input.sections[i]);
        }
    }
    return out;
}

CostTotal CostOf(const NetworkInput& input, const NetworkSizing& sizing,
                 const SizingOptions& options) {
    CostTotal total;
    if (options.series == nullptr) {
        return total;
    }
    const PipeSeries& series = *options.series;
    total.money = series.AllPriced();
    const std::size_t n = std::min(input.sections.size(), sizing.sections.size());
    for (std::size_t i = 1; i < n; ++i) {
        const SectionSizing& z = sizing.sections[i];
        if (z.sized && z.pipe && *z.pipe < series.sizes.size()) {
            total.value += UnitCost(series, *z.pipe, total.money) * input.sections[i].length;
        }
    }
    return total;
}

NetworkSizing ReduceCost(const NetworkInput& input, const NetworkSizing& start,
                         const SizingOptions& options) {
    NetworkSizing out = start;
    out.method = SizingMethod::PathsLeastCost;
    out.reductions = 0;
    if (options.series == nullptr || start.sections.size() != input.sections.size()) {
        return out;
    }
    const PipeSeries& series = *options.series;
    const bool money = series.AllPriced();
    out.costBefore = CostOf(input, start, options);
    const Walk walk(input, options);
    const std::size_t slots = input.sections.size();
    const double minimum = input.limits.minimumPressure;

    // Each sized section's loss as it stands, and the next smaller size's.
    std::vector<double> loss(slots, 0.0);
    struct Candidate {
        bool valid = false;
        double lossDelta = 0;  // m of head the change uses
        double saving = 0;     // € or the proxy
    };
    std::vector<Candidate> candidate(slots);
    std::vector<char> headKnown(slots, 0);

    auto consider = [&](int s) {
        Candidate c;
        const SectionSizing& z = out.sections[Slot(s)];
        if (!z.sized || !z.pipe || *z.pipe == 0) {
            candidate[Slot(s)] = c;
            return;
        }
        const std::size_t now = *z.pipe;
        const std::size_t smaller = now - 1;
        const std::optional<double> newLoss = walk.PipeLoss(s, series.sizes[smaller]);
        const double length = walk.At(s).length;
        const double v = Velocity(walk.FlowStart(s), series.sizes[smaller].internalMm / 1000);
        const double staticWorst = input.sourceHead - std::min(walk.At(s).zStart, walk.At(s).zEnd);
        const bool classHolds = staticWorst <= series.sizes[smaller].pn * MetresPerBar ||
                                series.sizes[smaller].pn >= series.sizes[now].pn;
        c.saving = (UnitCost(series, now, money) - UnitCost(series, smaller, money)) * length;
        if (newLoss && std::abs(v) <= input.limits.maximumVelocity && classHolds && c.saving > 0) {
            c.valid = true;
            c.lossDelta = *newLoss - loss[Slot(s)];
        }
        candidate[Slot(s)] = c;
    };

    for (const int s : walk.tree.order) {
        const SectionSizing& z = out.sections[Slot(s)];
        if (z.sized) {
            loss[Slot(s)] = z.headLoss;
        }
        consider(s);
    }

    std::vector<double> head(slots, 0.0);
    std::vector<double> lowestSlack(slots, 0.0);
    while (true) {
        // Heads afresh from the losses, then the smallest margin above the
        // minimum pressure over every node at or below each section's end.
        head[0] = input.sourceHead;
        headKnown[0] = 1;
        for (const int s : walk.tree.order) {
            const int p = walk.parent[Slot(s)];
            headKnown[Slot(s)] = headKnown[Slot(p)] && out.sections[Slot(s)].sized;
            head[Slot(s)] = head[Slot(p)] - loss[Slot(s)];
        }
        for (auto it = walk.tree.order.rbegin(); it != walk.tree.order.rend(); ++it) {
            const int s = *it;
            double slack = headKnown[Slot(s)] ? head[Slot(s)] - walk.At(s).zEnd - minimum
                                              : std::numeric_limits<double>::infinity();
            for (const int c : walk.tree.children[Slot(s)]) {
                slack = std::min(slack, lowestSlack[Slot(c)]);
            }
            lowestSlack[Slot(s)] = slack;
        }

        int best = -1;
        double bestRatio = -1;
        for (const int s : walk.tree.order) {
            const Candidate& c = candidate[Slot(s)];
            if (!c.valid || !(c.lossDelta + PressureMargin <= lowestSlack[Slot(s)])) {
                continue;
            }
            const double ratio =
                c.lossDelta > 0 ? c.saving / c.lossDelta : std::numeric_limits<double>::infinity();
            if (best < 0 || ratio > bestRatio ||
                (ratio == bestRatio && c.saving > candidate[Slot(best)].saving)) {
                best = s;
                bestRatio = ratio;
            }
        }
        if (best < 0) {
            break;
        }
        SectionSizing& z = out.sections[Slot(best)];
        z.pipe = *z.pipe - 1;
        z.largerForVelocity = false;
        z.headLoss = *walk.PipeLoss(best, series.sizes[*z.pipe]);
        loss[Slot(best)] = z.headLoss;
        ++out.reductions;
        consider(best);
    }
    out.costAfter = CostOf(input, out, options);
    return out;
}

}  // namespace acquenza
