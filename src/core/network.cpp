#include "network.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "decimal_text.h"
#include "project.h"

namespace acquenza {

namespace {

std::string Section(int i) {
    return "tronco " + std::to_string(i);
}

// "3 → 5 → 8": the sections in the direction the water runs.
std::string Chain(const std::vector<int>& sections) {
    std::string text;
    for (const int s : sections) {
        text += (text.empty() ? "" : " → ") + std::to_string(s);
    }
    return text;
}

std::string Capitalised(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text;
}

// A link as the rules judge it alone, before loops are looked for.
std::optional<std::string> LinkTargetProblem(const NetworkInput& input, int section, int upstream) {
    const int n = input.SectionCount();
    if (upstream == section) {
        return "Il tronco " + std::to_string(section) + " non può continuare da se stesso.";
    }
    if (upstream < 0) {
        return "Il tronco " + std::to_string(section) + " ha come tronco a monte " +
               std::to_string(upstream) +
               ": va indicato 0 (la sorgente) o il numero di un tronco digitato.";
    }
    if (upstream > n) {
        return "Il tronco " + std::to_string(section) + " non può continuare dal tronco " +
               std::to_string(upstream) + ": il tronco " + std::to_string(upstream) +
               " non esiste.";
    }
    if (upstream > 0 && !input.sections[static_cast<std::size_t>(upstream)].entered) {
        return "Il tronco " + std::to_string(section) + " non può continuare dal tronco " +
               std::to_string(upstream) + ": il tronco " + std::to_string(upstream) +
               " non è stato digitato.";
    }
    return std::nullopt;
}

bool Linked(const NetworkSection& s) {
    return s.entered && s.upstream.has_value();
}

std::size_t Slot(int i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

NetworkInput NetworkInput::WithSections(int count) {
    NetworkInput input;
    input.sections.resize(static_cast<std::size_t>(std::max(count, 0) + 1));
    return input;
}

// ---- links -----------------------------------------------------------------

std::optional<std::string> CheckLink(const NetworkInput& input, int section, int upstream) {
    if (auto problem = LinkTargetProblem(input, section, upstream)) {
        return problem;
    }
    // Walk up from the new upstream section along the links as they are: if
    // the walk reaches `section`, the new link would close a loop.
    std::vector<int> walk;
    std::vector<char> seen(input.sections.size(), 0);
    int at = upstream;
    while (at > 0 && at <= input.SectionCount() && !seen[Slot(at)]) {
        seen[Slot(at)] = 1;
        walk.push_back(at);
        if (at == section) {
            std::reverse(walk.begin(), walk.end());  // section … upstream, downstream order
            return "Il tronco " + std::to_string(section) + " non può continuare dal tronco " +
                   std::to_string(upstream) + ": il tronco " + std::to_string(upstream) +
                   " discende già dal tronco " + std::to_string(section) + " (" + Chain(walk) +
                   ") e il collegamento chiuderebbe un anello; la rete deve essere ad albero.";
        }
        const NetworkSection& s = input.sections[Slot(at)];
        if (!s.entered || !s.upstream) {
            break;
        }
        at = *s.upstream;
    }
    return std::nullopt;
}

NetworkTree BuildTree(const NetworkInput& input) {
    const int n = input.SectionCount();
    NetworkTree tree;
    tree.children.assign(Slot(n + 1), {});
    tree.inNetwork.assign(Slot(n + 1), 0);

    // parent[i]: the accepted upstream link, or -1.
    std::vector<int> parent(Slot(n + 1), -1);
    for (int i = 1; i <= n; ++i) {
        const NetworkSection& s = input.sections[Slot(i)];
        if (!Linked(s)) {
            continue;
        }
        if (auto problem = LinkTargetProblem(input, i, *s.upstream)) {
            tree.problems.push_back({i, *problem});
            continue;
        }
        parent[Slot(i)] = *s.upstream;
    }

    // Loops: follow each chain upwards, colouring the sections walked in this
    // round; meeting one of this round's colours again is a loop.
    std::vector<int> round(Slot(n + 1), 0);
    for (int i = 1; i <= n; ++i) {
        std::vector<int> walked;
        int at = i;
        while (at > 0 && parent[Slot(at)] >= 0 && round[Slot(at)] == 0) {
            round[Slot(at)] = i;
            walked.push_back(at);
            at = parent[Slot(at)];
        }
        if (at > 0 && round[Slot(at)] == i) {
            // The loop is the part of the walk from `at` on; list it from its
            // smallest section, in the direction the water would run.
            auto first = std::find(walked.begin(), walked.end(), at);
            std::vector<int> loop(first, walked.end());
            std::reverse(loop.begin(), loop.end());
            std::rotate(loop.begin(), std::min_element(loop.begin(), loop.end()), loop.end());
            std::vector<int> shown = loop;
            shown.push_back(loop.front());
            std::vector<int> sorted = loop;
            std::sort(sorted.begin(), sorted.end());
            std::string names;
            for (std::size_t k = 0; k < sorted.size(); ++k) {
                names += (k == 0 ? "" : (k + 1 == sorted.size() ? " e " : ", ")) +
                         std::to_string(sorted[k]);
            }
            const std::string text =
                "I tronchi " + names + " formano un anello (" + Chain(shown) +
                "): la rete deve essere ad albero, i loro collegamenti non sono accettati.";
            for (const int s : loop) {
                parent[Slot(s)] = -1;
            }
            tree.problems.push_back({loop.front(), text});
        }
    }
    std::sort(tree.problems.begin(), tree.problems.end(),
              [](const LinkProblem& a, const LinkProblem& b) { return a.section < b.section; });

    for (int i = 1; i <= n; ++i) {
        if (parent[Slot(i)] >= 0) {
            tree.children[Slot(parent[Slot(i)])].push_back(i);
        }
    }
    // Top-down from the source, then from every section that has accepted
    // children but no accepted link of its own (stand-alone, refused, in a loop).
    auto walk = [&](int root, std::vector<int>& into) {
        std::size_t from = into.size();
        for (const int c : tree.children[Slot(root)]) {
            into.push_back(c);
        }
        for (; from < into.size(); ++from) {
            for (const int c : tree.children[Slot(into[from])]) {
                into.push_back(c);
            }
        }
    };
    walk(0, tree.order);
    for (const int s : tree.order) {
        tree.inNetwork[Slot(s)] = 1;
    }
    for (int i = 1; i <= n; ++i) {
        if (parent[Slot(i)] < 0 && !tree.children[Slot(i)].empty()) {
            walk(i, tree.detached);
        }
    }
    return tree;
}

std::vector<int> RemoveSection(NetworkInput& input, int deleted) {
    std::vector<int> reset;
    if (deleted < 1 || deleted > input.SectionCount()) {
        return reset;
    }
    input.sections.erase(input.sections.begin() + deleted);
    for (int i = 1; i <= input.SectionCount(); ++i) {
        std::optional<int>& link = input.sections[Slot(i)].upstream;
        if (!link) {
            continue;
        }
        if (*link == deleted) {
            link = 0;
            reset.push_back(i);
        } else if (*link > deleted) {
            --*link;
        }
    }
    return reset;
}

// ---- flows, heads, checks --------------------------------------------------

std::vector<double> SumFlows(const NetworkInput& input, const NetworkTree& tree) {
    std::vector<double> flowEnd(input.sections.size(), 0.0);
    auto sum = [&](const std::vector<int>& topDown) {
        for (auto it = topDown.rbegin(); it != topDown.rend(); ++it) {
            const int i = *it;
            double q = input.sections[Slot(i)].nodeDemand;
            for (const int c : tree.children[Slot(i)]) {
                q += input.sections[Slot(c)].flowAlong + flowEnd[Slot(c)];
            }
            flowEnd[Slot(i)] = q;
        }
    };
    sum(tree.order);
    sum(tree.detached);
    return flowEnd;
}

std::string NotComputableText(int section, const SectionHydraulics& h) {
    const std::string node = "Nodo " + std::to_string(section) + ": carico non calcolabile";
    const std::string noDiameter = " non ha un diametro con cui calcolare la perdita di carico.";
    const std::string badFigures =
        " ha lunghezza, quote o portate che non sono numeri utilizzabili.";
    switch (h.state) {
        case HeadState::NoDiameter:
            return node + ": il tronco " + std::to_string(section) + noDiameter;
        case HeadState::InvalidFigures:
            return node + ": il tronco " + std::to_string(section) + badFigures;
        case HeadState::UpstreamUnknown:
            if (h.cause == 0) {
                return node +
                       ": la quota piezometrica della sorgente non è un numero utilizzabile.";
            }
            return node + ": il tronco " + std::to_string(h.cause) + " a monte" +
                   (h.causeState == HeadState::InvalidFigures ? badFigures : noDiameter);
        case HeadState::Detached:
            return node + ": la catena dei tronchi a monte si ferma al tronco " +
                   std::to_string(h.cause) + ", che non è collegato alla sorgente.";
        case HeadState::NotInNetwork:
            return node + ": il tronco non fa parte della rete.";
        case HeadState::Computed:
            break;
    }
    return node + ".";
}

namespace {

bool FiguresUsable(const NetworkSection& s, double flowEnd) {
    return std::isfinite(s.length) && std::isfinite(s.zStart) && std::isfinite(s.zEnd) &&
           std::isfinite(s.flowAlong) && std::isfinite(s.nodeDemand) && std::isfinite(flowEnd);
}

void StateLoss(int i, const NetworkSection& s, SectionHydraulics& h, LossMemo* memo) {
    h.flowStart = h.flowEnd + s.flowAlong;
    const std::optional<double> loss =
        memo != nullptr ? memo->Loss(i, s, h.flowEnd)
                        : SectionHeadLoss(s.loss, s.length, h.flowEnd, s.flowAlong, s.diameter);
    if (!loss) {
        return;
    }
    h.hasLoss = true;
    h.headLoss = *loss;
    h.gradientPerKm = s.length > 0 ? *loss / s.length * 1000 : 0;
    h.velocityStart = Velocity(h.flowStart, s.diameter);
    h.velocityEnd = Velocity(SegmentFlow(h.flowEnd, s.flowAlong, SegmentCount), s.diameter);
}

void AddChecks(const NetworkInput& input, const NetworkTree& tree, int i,
               const SectionHydraulics& h, std::vector<NetworkCheck>& checks) {
    const NetworkSection& s = input.sections[Slot(i)];
    const NetworkLimits& limits = input.limits;
    const std::string node = "Nodo " + std::to_string(i);
    const std::string section = Capitalised(Section(i));
    auto add = [&](CheckKind kind, std::string text) {
        checks.push_back({i, kind, std::move(text)});
    };
    if (h.state == HeadState::Computed && h.pressureEnd < limits.minimumPressure) {
        add(CheckKind::LowPressure, node + ": pressione di " + DecimalText(h.pressureEnd, 2) +
                                        " m, sotto il minimo di " +
                                        DecimalText(limits.minimumPressure, 2) + " m.");
    }
    if (tree.inNetwork[Slot(i)] && h.staticEnd > limits.maximumStaticPressure) {
        add(CheckKind::HighStaticPressure,
            node + ": pressione statica di " + DecimalText(h.staticEnd, 2) +
                " m, sopra il massimo di " + DecimalText(limits.maximumStaticPressure, 2) + " m.");
    }
    if (h.hasLoss && std::abs(h.velocityStart) > limits.maximumVelocity) {
        add(CheckKind::HighVelocity,
            section + ": velocità all'inizio di " + DecimalText(h.velocityStart, 2) +
                " m/s, sopra il massimo di " + DecimalText(limits.maximumVelocity, 2) + " m/s.");
    }
    if (h.hasLoss && std::abs(h.velocityEnd) < limits.minimumVelocity) {
        add(CheckKind::LowVelocity,
            section + ": velocità alla fine di " + DecimalText(h.velocityEnd, 2) +
                " m/s, sotto il minimo di " + DecimalText(limits.minimumVelocity, 2) + " m/s.");
    }
    if (s.upstream && *s.upstream > 0) {
        const NetworkSection& up = input.sections[Slot(*s.upstream)];
        if (s.zStart != up.zEnd) {
            add(CheckKind::ElevationMismatch,
                section + ": la quota iniziale di " + DecimalText(s.zStart, 2) +
                    " m differisce dalla quota finale di " + DecimalText(up.zEnd, 2) +
                    " m del tronco " + std::to_string(*s.upstream) +
                    " da cui continua: controllare le quote.");
        }
    }
    if (h.state == HeadState::NoDiameter || h.state == HeadState::UpstreamUnknown ||
        h.state == HeadState::InvalidFigures) {
        add(CheckKind::NotComputable, NotComputableText(i, h));
    }
    if (h.state == HeadState::Detached) {
        add(CheckKind::Detached,
            section + ": continua dal tronco " + std::to_string(*s.upstream) +
                (h.cause == *s.upstream
                     ? ", che non è collegato alla sorgente"
                     : ", la cui catena a monte si ferma al tronco " + std::to_string(h.cause) +
                           ", non collegato alla sorgente") +
                ": pressioni non calcolabili.");
    }
}

std::vector<NetworkPath> Paths(const NetworkInput& input, const NetworkTree& tree,
                               const std::vector<int>& parentOf) {
    std::vector<NetworkPath> paths;
    for (const int end : tree.order) {
        if (!tree.children[Slot(end)].empty()) {
            continue;
        }
        NetworkPath path;
        path.endNode = end;
        for (int at = end; at > 0; at = parentOf[Slot(at)]) {
            path.sections.push_back(at);
            path.length += input.sections[Slot(at)].length;
        }
        std::reverse(path.sections.begin(), path.sections.end());
        path.availableHead =
            input.sourceHead - (input.sections[Slot(end)].zEnd + input.limits.minimumPressure);
        if (!std::isfinite(path.availableHead) || !std::isfinite(path.length)) {
            continue;  // a figure that is no number: no path to state
        }
        if (path.length > 0) {
            path.availablePerMetre = path.availableHead / path.length;
        }
        paths.push_back(std::move(path));
    }
    std::sort(paths.begin(), paths.end(),
              [](const NetworkPath& a, const NetworkPath& b) { return a.endNode < b.endNode; });
    return paths;
}

}  // namespace

std::optional<double> LossMemo::Loss(int section, const NetworkSection& s, double flowEnd) {
    if (section < 0) {
        return SectionHeadLoss(s.loss, s.length, flowEnd, s.flowAlong, s.diameter);
    }
    if (entries_.size() <= Slot(section)) {
        entries_.resize(Slot(section) + 1);
    }
    Entry& e = entries_[Slot(section)];
    const Entry key{true, s.length, flowEnd, s.flowAlong, s.diameter, s.loss, std::nullopt};
    // Bitwise equal figures give the bitwise equal loss; any change computes it.
    if (!e.valid || e.length != key.length || e.flowEnd != key.flowEnd ||
        e.flowAlong != key.flowAlong || e.diameter != key.diameter || !(e.model == key.model)) {
        e = key;
        e.loss = SectionHeadLoss(s.loss, s.length, flowEnd, s.flowAlong, s.diameter);
    }
    return e.loss;
}

NetworkResult AnalyseNetwork(const NetworkInput& input, const NetworkTree& tree, LossMemo* memo) {
    const int n = input.SectionCount();
    NetworkResult result;
    result.sections.assign(Slot(n + 1), {});
    SectionHydraulics& source = result.sections[0];
    source.state =
        std::isfinite(input.sourceHead) ? HeadState::Computed : HeadState::InvalidFigures;
    source.headEnd = std::isfinite(input.sourceHead) ? input.sourceHead : 0;

    const std::vector<double> flowEnd = SumFlows(input, tree);
    std::vector<int> parentOf(Slot(n + 1), 0);
    for (int p = 0; p <= n; ++p) {
        for (const int c : tree.children[Slot(p)]) {
            parentOf[Slot(c)] = p;
        }
    }

    for (const int i : tree.order) {
        const NetworkSection& s = input.sections[Slot(i)];
        SectionHydraulics& h = result.sections[Slot(i)];
        h.flowEnd = flowEnd[Slot(i)];
        const int p = parentOf[Slot(i)];
        const SectionHydraulics& up = result.sections[Slot(p)];
        if (!FiguresUsable(s, h.flowEnd)) {
            h = {};
            h.state = HeadState::InvalidFigures;
            h.cause = i;
            h.causeState = HeadState::InvalidFigures;
            continue;
        }
        StateLoss(i, s, h, memo);
        if (source.state == HeadState::Computed) {
            h.staticStart = input.sourceHead - s.zStart;
            h.staticEnd = input.sourceHead - s.zEnd;
        }
        if (up.state != HeadState::Computed) {
            h.state = HeadState::UpstreamUnknown;
            const bool through = up.state == HeadState::UpstreamUnknown;
            h.cause = through ? up.cause : p;
            h.causeState = through ? up.causeState : up.state;
        } else if (!h.hasLoss) {
            h.state = HeadState::NoDiameter;
            h.cause = i;
            h.causeState = HeadState::NoDiameter;
        } else {
            h.state = HeadState::Computed;
            h.headStart = up.headEnd;
            h.headEnd = h.headStart - h.headLoss;
            h.pressureStart = h.headStart - s.zStart;
            h.pressureEnd = h.headEnd - s.zEnd;
        }
    }
    for (const int i : tree.detached) {
        SectionHydraulics& h = result.sections[Slot(i)];
        h.flowEnd = flowEnd[Slot(i)];
        if (!FiguresUsable(input.sections[Slot(i)], h.flowEnd)) {
            h.flowEnd = 0;
        } else {
            StateLoss(i, input.sections[Slot(i)], h, memo);
        }
        h.state = HeadState::Detached;
        const int p = parentOf[Slot(i)];
        const SectionHydraulics& up = result.sections[Slot(p)];
        h.cause = up.state == HeadState::Detached ? up.cause : p;
    }

    // By section, each section's checks in the order of their kinds (a
    // refused link leaves its section out, so it has no other check).
    auto problem = tree.problems.begin();
    for (int i = 1; i <= n; ++i) {
        for (; problem != tree.problems.end() && problem->section == i; ++problem) {
            result.checks.push_back({i, CheckKind::LinkRefused, problem->text});
        }
        const SectionHydraulics& h = result.sections[Slot(i)];
        if (h.state != HeadState::NotInNetwork) {
            AddChecks(input, tree, i, h, result.checks);
        }
    }

    result.paths = Paths(input, tree, parentOf);
    double worst = std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; k < result.paths.size(); ++k) {
        const auto& perMetre = result.paths[k].availablePerMetre;
        if (perMetre && *perMetre < worst) {
            worst = *perMetre;
            result.worstPath = k;
        }
    }
    return result;
}

NetworkResult AnalyseNetwork(const NetworkInput& input) {
    return AnalyseNetwork(input, BuildTree(input));
}

}  // namespace acquenza
