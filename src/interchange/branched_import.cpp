#include "interchange/branched_import.h"

#include <charconv>
#include <cmath>
#include <functional>
#include <map>
#include <numeric>
#include <optional>
#include <set>

#include "interchange/branched_export.h"
#include "interchange/inp_reader.h"
#include "interchange/inp_text.h"
#include "interchange/inp_units.h"

namespace acquenza::interchange {
namespace {

constexpr std::size_t NoIndex = static_cast<std::size_t>(-1);

std::string Italian(double value, int decimals) {
    // to_chars rounds as printf does but never looks at the C locale, which
    // the toolkit sets from the system's (a decimal separator that is
    // neither a point nor a comma would otherwise reach the sections).
    char buffer[400];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, written.ptr);
    for (char& c : text) {
        if (c == '.') {
            c = ',';
        }
    }
    return text;
}

// A value the export divided or interpolated, found again: the one with the
// fewest decimals (what an engineer typed) that gives back exactly what the
// file holds, else the estimate itself or one of its neighbouring doubles;
// nothing when none does.
std::optional<double> Recover(double estimate, const std::function<bool(double)>& reproduces) {
    double scale = 1;
    for (int decimals = 0; decimals <= 9; ++decimals, scale *= 10) {
        const double candidate = std::round(estimate * scale) / scale;
        if (reproduces(candidate)) {
            return candidate == 0 ? 0.0 : candidate;
        }
    }
    double up = estimate;
    double down = estimate;
    for (int step = 0; step <= 64; ++step) {
        if (reproduces(up)) {
            return up;
        }
        if (reproduces(down)) {
            return down;
        }
        up = std::nextafter(up, HUGE_VAL);
        down = std::nextafter(down, -HUGE_VAL);
    }
    return std::nullopt;
}

struct Chain {
    std::string name;
    std::vector<std::size_t> pipes;  // 14 pipe indices, upstream first
    double length_m = 0;
    double startElevation_m = 0;
    double alongFlow_lps = 0;
    double endDemand_lps = 0;
};

class Importer {
  public:
    explicit Importer(const InpNetwork& original) : n_(ToLitresPerSecondAndMetres(original)) {
        if (original.options.units != FlowUnits::LPS) {
            Note(std::string("Le portate del file erano in ") +
                 FlowUnitsKeyword(original.options.units) + ": sono state convertite in l/s" +
                 (IsUsCustomary(original.options.units)
                      ? "; lunghezze e quote da piedi a metri, diametri da pollici a millimetri."
                      : "."));
        }
    }

    BranchedImportResult Run() {
        if (!CheckObjects() || !FindSource() || !NodeDemands() || !CheckPipes() || !Graph()) {
            return std::move(result_);
        }
        FoldChains();
        if (!Sections()) {
            return std::move(result_);
        }
        result_.network.title.clear();
        for (const auto& line : n_.title) {
            if (!line.empty()) {
                result_.network.title += (result_.network.title.empty() ? "" : " ") + line;
            }
        }
        for (std::size_t i = 0; i < n_.comments.size(); ++i) {
            std::string comment = n_.comments[i];
            if (i == 0 && comment == ExportSignature) {
                continue;
            }
            if (comment.starts_with(' ')) {
                comment.erase(0, 1);
            }
            result_.network.comments.push_back(std::move(comment));
        }
        result_.ok = true;
        return std::move(result_);
    }

    void Note(std::string text) { result_.notes.push_back(std::move(text)); }

  private:
    bool Refuse(std::string message) {
        result_.error = std::move(message);
        return false;
    }

    bool CheckObjects() {
        if (!n_.pumps.empty()) {
            return Refuse("La rete contiene la pompa " + Quoted(n_.pumps.front().id) +
                          ": si importano solo reti a gravità, senza pompe né valvole.");
        }
        if (!n_.valves.empty()) {
            return Refuse("La rete contiene la valvola " + Quoted(n_.valves.front().id) +
                          ": si importano solo reti a gravità, senza pompe né valvole.");
        }
        return true;
    }

    bool FindSource() {
        std::vector<std::string> sources;
        for (const auto& r : n_.reservoirs) {
            sources.push_back(r.id);
        }
        for (const auto& t : n_.tanks) {
            sources.push_back(t.id);
        }
        if (sources.empty()) {
            return Refuse(
                "La rete non ha una sorgente: serve un serbatoio (RESERVOIR) o una vasca (TANK).");
        }
        if (sources.size() > 1) {
            std::string names;
            for (std::size_t i = 0; i < sources.size() && i < 5; ++i) {
                names += (i == 0 ? "" : ", ") + Quoted(sources[i]);
            }
            return Refuse("La rete ha più di una sorgente (" + names +
                          (sources.size() > 5 ? ", ..." : "") +
                          "): si importano solo reti alimentate da una sola.");
        }
        source_ = sources.front();
        if (!n_.reservoirs.empty()) {
            const InpReservoir& r = n_.reservoirs.front();
            result_.network.sourceHead_m = r.head * Multiplier(r.pattern, false);
            sourceGround_m_ = result_.network.sourceHead_m;
        } else {
            const InpTank& t = n_.tanks.front();
            result_.network.sourceHead_m = t.elevation + t.initLevel;
            sourceGround_m_ = t.elevation;
            Note("La sorgente è la vasca " + Quoted(t.id) +
                 ": il suo carico è la quota del fondo più il livello iniziale.");
        }
        return true;
    }

    // The first-period multiplier of a pattern; the default pattern stands
    // in for none where EPANET would use it (demands, not reservoir heads).
    double Multiplier(const std::string& id, bool demand) const {
        std::string name = id;
        if (name.empty()) {
            if (!demand) {
                return 1;
            }
            name = n_.options.defaultPattern.empty() ? "1" : n_.options.defaultPattern;
        }
        for (const auto& p : n_.patterns) {
            if (p.id == name && !p.multipliers.empty()) {
                return p.multipliers.front();
            }
        }
        return 1;
    }

    bool NodeDemands() {
        const double global = n_.options.demandMultiplier.value_or(1);
        std::map<std::string, std::vector<const InpDemand*>> listed;
        for (const auto& d : n_.demands) {
            listed[d.junction].push_back(&d);
        }
        bool patterned = global != 1;
        for (const auto& j : n_.junctions) {
            double demand = 0;
            if (const auto it = listed.find(j.id); it != listed.end()) {
                for (const InpDemand* d : it->second) {
                    const double m = Multiplier(d->pattern, true);
                    patterned = patterned || (m != 1 && d->demand != 0);
                    demand += d->demand * m;
                }
            } else {
                const double m = Multiplier(j.pattern, true);
                patterned = patterned || (m != 1 && j.baseDemand != 0);
                demand = j.baseDemand * m;
            }
            demand *= global;
            if (demand < 0) {
                return Refuse("Il nodo " + Quoted(j.id) + " ha una domanda negativa (" +
                              Italian(demand, 3) +
                              " l/s): è un'immissione d'acqua, cioè una seconda sorgente.");
            }
            junction_[j.id] = {j.elevation, demand == 0 ? 0.0 : demand};
        }
        if (patterned) {
            Note(
                "Le domande dei nodi sono quelle del primo periodo: moltiplicate per il primo "
                "coefficiente delle curve di modulazione e per il moltiplicatore globale.");
        }
        return true;
    }

    bool CheckPipes() {
        std::map<std::string, std::string> status;
        for (const auto& s : n_.statuses) {
            status[s.link] = AsciiUpper(s.value);
        }
        bool minorLosses = false;
        for (const auto& p : n_.pipes) {
            const auto it = status.find(p.id);
            const bool closed =
                it != status.end() ? it->second == "CLOSED" : p.status == PipeStatus::Closed;
            if (closed) {
                return Refuse("Il tubo " + Quoted(p.id) +
                              " è chiuso: la parte di rete a valle resterebbe senz'acqua.");
            }
            if (!(p.length > 0) || !(p.diameter > 0)) {
                return Refuse("Il tubo " + Quoted(p.id) +
                              " non ha una lunghezza e un diametro positivi.");
            }
            minorLosses = minorLosses || p.minorLoss != 0;
        }
        if (n_.options.headloss != HeadlossFormula::DarcyWeisbach && !n_.pipes.empty()) {
            Note(std::string("Il file usa la formula delle perdite ") +
                 HeadlossKeyword(n_.options.headloss) +
                 ": la scabrezza dei tubi (un coefficiente di quella formula) non è stata "
                 "importata.");
        }
        if (minorLosses) {
            Note("Le perdite localizzate dei tubi non sono state importate.");
        }
        return true;
    }

    // The pipes as a tree hanging from the source: every node but the source
    // reached by exactly one pipe.
    bool Graph() {
        if (n_.pipes.empty()) {
            return Refuse("La rete non ha tubi da importare.");
        }
        std::map<std::string, std::size_t> index;
        const auto node = [&](const std::string& id) {
            const auto [it, added] = index.emplace(id, nodes_.size());
            if (added) {
                nodes_.push_back(id);
            }
            return it->second;
        };
        node(source_);
        for (const auto& j : n_.junctions) {
            node(j.id);
        }
        std::vector<std::size_t> root(nodes_.size());
        std::iota(root.begin(), root.end(), std::size_t{0});
        const std::function<std::size_t(std::size_t)> find = [&](std::size_t v) {
            while (root[v] != v) {
                root[v] = root[root[v]];
                v = root[v];
            }
            return v;
        };
        adjacency_.assign(nodes_.size(), {});
        for (std::size_t i = 0; i < n_.pipes.size(); ++i) {
            const std::size_t a = index.at(n_.pipes[i].node1);
            const std::size_t b = index.at(n_.pipes[i].node2);
            const std::size_t ra = find(a);
            const std::size_t rb = find(b);
            if (ra == rb) {
                return Refuse("La rete contiene un anello: il tubo " + Quoted(n_.pipes[i].id) +
                              " chiude una maglia. Si importano solo reti ramificate.");
            }
            root[ra] = rb;
            adjacency_[a].push_back(i);
            adjacency_[b].push_back(i);
        }
        // From the source outwards: the pipe that reaches each node first is
        // the one it hangs from.
        childOf_.assign(n_.pipes.size(), NoIndex);
        std::vector<bool> seen(nodes_.size(), false);
        std::vector<std::size_t> queue{0};
        seen[0] = true;
        for (std::size_t k = 0; k < queue.size(); ++k) {
            const std::size_t v = queue[k];
            for (const std::size_t p : adjacency_[v]) {
                const std::size_t a = index.at(n_.pipes[p].node1);
                const std::size_t w = a == v ? index.at(n_.pipes[p].node2) : a;
                if (!seen[w]) {
                    seen[w] = true;
                    childOf_[p] = w;
                    queue.push_back(w);
                }
            }
        }
        for (std::size_t v = 0; v < nodes_.size(); ++v) {
            if (!seen[v]) {
                return Refuse("Il nodo " + Quoted(nodes_[v]) + " non è collegato alla sorgente " +
                              Quoted(source_) + ".");
            }
        }
        nodeIndex_ = std::move(index);
        return true;
    }

    std::size_t ParentNode(std::size_t pipe) const {
        const std::size_t child = childOf_[pipe];
        const std::size_t a = nodeIndex_.at(n_.pipes[pipe].node1);
        return a == child ? nodeIndex_.at(n_.pipes[pipe].node2) : a;
    }

    // Chains T<name>_01..14 through N<name>_01..13 to N<name>, as the
    // export writes them, still whole: equal pipes, nothing else joined to
    // the inner junctions, equal inner demands, elevations on a straight
    // line.
    void FoldChains() {
        std::map<std::string, std::vector<std::size_t>> byName;
        for (std::size_t i = 0; i < n_.pipes.size(); ++i) {
            const std::string& id = n_.pipes[i].id;
            if (id.size() >= 5 && id.front() == 'T' && id[id.size() - 3] == '_') {
                byName[id.substr(1, id.size() - 4)].push_back(i);
            }
        }
        std::map<std::string, std::size_t> pipeIndex;
        for (std::size_t i = 0; i < n_.pipes.size(); ++i) {
            pipeIndex.emplace(n_.pipes[i].id, i);
        }
        chainOf_.assign(n_.pipes.size(), NoIndex);
        for (const auto& [name, candidates] : byName) {
            if (candidates.size() != PipesPerSection) {
                continue;
            }
            if (auto chain = TryChain(name, pipeIndex)) {
                for (const std::size_t p : chain->pipes) {
                    chainOf_[p] = chains_.size();
                }
                chains_.push_back(std::move(*chain));
            }
        }
    }

    std::optional<Chain> TryChain(const std::string& name,
                                  const std::map<std::string, std::size_t>& pipeIndex) const {
        Chain chain;
        chain.name = name;
        std::vector<double> elevations;
        std::vector<double> demands;
        for (int k = 1; k <= PipesPerSection; ++k) {
            const auto it = pipeIndex.find(SectionPipeId(name, k));
            if (it == pipeIndex.end()) {
                return std::nullopt;
            }
            const std::size_t p = it->second;
            const bool last = k == PipesPerSection;
            const std::string node = last ? EndNodeId(name) : InnerNodeId(name, k);
            if (nodes_[childOf_[p]] != node) {
                return std::nullopt;
            }
            if (k > 1 && nodes_[ParentNode(p)] != InnerNodeId(name, k - 1)) {
                return std::nullopt;
            }
            const std::size_t v = childOf_[p];
            if (!last && adjacency_[v].size() != 2) {
                return std::nullopt;
            }
            const InpPipe& head = n_.pipes[chain.pipes.empty() ? p : chain.pipes.front()];
            const InpPipe& pipe = n_.pipes[p];
            if (pipe.length != head.length || pipe.diameter != head.diameter ||
                pipe.roughness != head.roughness || pipe.minorLoss != head.minorLoss ||
                pipe.status != head.status) {
                return std::nullopt;
            }
            chain.pipes.push_back(p);
            const auto& [elevation, demand] = junction_.at(node);
            elevations.push_back(elevation);
            demands.push_back(demand);
        }
        const double share = demands.front();
        for (int k = 1; k < PipesPerSection - 1; ++k) {
            if (demands[static_cast<std::size_t>(k)] != share) {
                return std::nullopt;
            }
        }
        const double pipeLength = n_.pipes[chain.pipes.front()].length;
        const auto length = Recover(pipeLength * PipesPerSection,
                                    [&](double l) { return l / PipesPerSection == pipeLength; });
        const auto along = Recover(share * PipesPerSection,
                                   [&](double q) { return q / PipesPerSection == share; });
        const double endDemand = demands.back();
        const auto own =
            Recover(endDemand - share, [&](double d) { return d + share == endDemand; });
        const double end = elevations.back();
        const double first = elevations.front();
        const double last = elevations[PipesPerSection - 2];
        const auto start = Recover(first - (last - first) / (PipesPerSection - 2), [&](double z) {
            for (int k = 1; k < PipesPerSection; ++k) {
                if (InnerElevation(z, end, k) != elevations[static_cast<std::size_t>(k - 1)]) {
                    return false;
                }
            }
            return true;
        });
        if (!length || !along || !own || !start) {
            return std::nullopt;
        }
        chain.length_m = *length;
        chain.alongFlow_lps = *along;
        chain.endDemand_lps = *own;
        chain.startElevation_m = *start;
        return chain;
    }

    double GroundOf(std::size_t node) const {
        return node == 0 ? sourceGround_m_ : junction_.at(nodes_[node]).first;
    }

    bool Sections() {
        std::vector<std::size_t> firstPipes;  // one per section, file order
        std::set<std::size_t> chainsSeen;
        for (std::size_t p = 0; p < n_.pipes.size(); ++p) {
            if (chainOf_[p] == NoIndex || chainsSeen.insert(chainOf_[p]).second) {
                firstPipes.push_back(p);
            }
        }
        if (firstPipes.size() > static_cast<std::size_t>(MaxImportedSections)) {
            return Refuse("La rete ha " + std::to_string(firstPipes.size()) +
                          " tronchi: se ne importano al massimo " +
                          std::to_string(MaxImportedSections) + ".");
        }
        const bool darcy = n_.options.headloss == HeadlossFormula::DarcyWeisbach;
        std::map<std::size_t, int> sectionEndingAt;  // node -> 1-based section
        std::vector<std::size_t> startNode;
        for (const std::size_t p : firstPipes) {
            const InpPipe& pipe = n_.pipes[p];
            BranchedSection s;
            std::size_t end = childOf_[p];
            const std::size_t start =
                ParentNode(chainOf_[p] == NoIndex ? p : chains_[chainOf_[p]].pipes.front());
            s.diameter_mm = pipe.diameter;
            if (darcy) {
                s.roughness_mm = pipe.roughness;
            }
            if (chainOf_[p] == NoIndex) {
                s.name = pipe.id;
                s.length_m = pipe.length;
                s.startElevation_m = GroundOf(start);
                s.endDemand_lps = junction_.at(nodes_[end]).second;
            } else {
                const Chain& c = chains_[chainOf_[p]];
                end = childOf_[c.pipes.back()];
                s.name = c.name;
                s.length_m = c.length_m;
                s.startElevation_m = c.startElevation_m;
                s.alongFlow_lps = c.alongFlow_lps;
                s.endDemand_lps = c.endDemand_lps;
            }
            s.endElevation_m = GroundOf(end);
            sectionEndingAt[end] = static_cast<int>(result_.network.sections.size()) + 1;
            startNode.push_back(start);
            result_.network.sections.push_back(std::move(s));
            result_.endNodes.push_back(nodes_[end]);
        }
        for (std::size_t i = 0; i < startNode.size(); ++i) {
            result_.network.sections[i].upstream =
                startNode[i] == 0 ? 0 : sectionEndingAt.at(startNode[i]);
        }
        return true;
    }

    InpNetwork n_;
    BranchedImportResult result_;
    std::string source_;
    double sourceGround_m_ = 0;
    std::map<std::string, std::pair<double, double>> junction_;  // elevation m, demand l/s
    std::vector<std::string> nodes_;                             // 0 is the source
    std::map<std::string, std::size_t> nodeIndex_;
    std::vector<std::vector<std::size_t>> adjacency_;  // node -> pipes
    std::vector<std::size_t> childOf_;                 // pipe -> its node away from the source
    std::vector<Chain> chains_;
    std::vector<std::size_t> chainOf_;  // pipe -> chain, or NoIndex
};

}  // namespace

BranchedImportResult ImportBranchedNetwork(const InpNetwork& network) {
    return Importer(network).Run();
}

BranchedImportResult ImportFromInp(std::string_view text) {
    InpReadResult read = ReadInp(text);
    if (!read.ok) {
        BranchedImportResult failed;
        failed.error = std::move(read.error);
        failed.notes = std::move(read.warnings);
        return failed;
    }
    BranchedImportResult result = ImportBranchedNetwork(read.network);
    result.notes.insert(result.notes.begin(), read.warnings.begin(), read.warnings.end());
    return result;
}

}  // namespace acquenza::interchange
