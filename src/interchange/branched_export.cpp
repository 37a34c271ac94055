#include "interchange/branched_export.h"

#include <cmath>
#include <initializer_list>
#include <set>

#include "interchange/inp_text.h"
#include "interchange/inp_writer.h"
#include "interchange/tree_layout.h"

namespace acquenza::interchange {
namespace {

std::string TwoDigits(int k) {
    return (k < 10 ? "0" : "") + std::to_string(k);
}

std::string SectionLabel(const BranchedSection& s, std::size_t index) {
    return s.name.empty() ? "n. " + std::to_string(index + 1) : Quoted(s.name);
}

// The problem with the sections' data, in Italian, or empty.
std::string Problem(const BranchedNetwork& net) {
    if (!std::isfinite(net.sourceHead_m)) {
        return "Il carico della sorgente non è un numero finito.";
    }
    if (net.sections.empty()) {
        return "La rete non ha tronchi collegati da esportare.";
    }
    const int count = static_cast<int>(net.sections.size());
    std::set<std::string> ids{SourceId};
    for (std::size_t i = 0; i < net.sections.size(); ++i) {
        const BranchedSection& s = net.sections[i];
        const std::string label = "Il tronco " + SectionLabel(s, i);
        if (s.name.empty()) {
            return label + " non ha nome.";
        }
        // The longest identifier made from the name decides.
        if (const auto problem = IdentifierProblem(SectionPipeId(s.name, PipesPerSection))) {
            return label + " ha un nome che non può diventare un identificativo EPANET: " +
                   (s.name.size() + 4 > MaxIdentifierBytes
                        ? "al massimo 27 caratteri (le lettere accentate contano due)"
                        : *problem) +
                   ".";
        }
        std::vector<std::string> made{EndNodeId(s.name)};
        for (int k = 1; k <= PipesPerSection; ++k) {
            made.push_back(SectionPipeId(s.name, k));
            if (k < PipesPerSection) {
                made.push_back(InnerNodeId(s.name, k));
            }
        }
        for (const auto& id : made) {
            if (!ids.insert(id).second) {
                return label + " darebbe a EPANET l'identificativo " + Quoted(id) +
                       ", già usato da un altro tronco.";
            }
        }
        if (s.upstream < 0 || s.upstream > count) {
            return label + " parte dal tronco n. " + std::to_string(s.upstream) +
                   ", che non esiste.";
        }
        if (s.upstream == static_cast<int>(i) + 1) {
            return label + " parte dalla propria fine.";
        }
        for (const double v : {s.length_m, s.startElevation_m, s.endElevation_m, s.alongFlow_lps,
                               s.endDemand_lps, s.diameter_mm}) {
            if (!std::isfinite(v)) {
                return label + " ha un valore che non è un numero finito.";
            }
        }
        if (!(s.length_m > 0)) {
            return label + " non ha una lunghezza positiva.";
        }
        if (!(s.diameter_mm > 0)) {
            return label + " non ha un diametro interno positivo.";
        }
        if (!s.roughness_mm || !std::isfinite(*s.roughness_mm) || *s.roughness_mm < 0) {
            return label + " non ha una scabrezza (mm) valida.";
        }
        if (s.alongFlow_lps < 0 || s.endDemand_lps < 0) {
            return label + " ha una portata negativa.";
        }
    }
    // Walking up from every section must reach the source.
    std::vector<int> state(net.sections.size(), 0);  // 0 new, 1 on the walk, 2 reaches the source
    for (std::size_t start = 0; start < net.sections.size(); ++start) {
        std::vector<std::size_t> walk;
        std::size_t v = start;
        while (true) {
            if (state[v] == 2) {
                break;
            }
            if (state[v] == 1) {
                return "I tronchi formano un anello: il tronco " +
                       SectionLabel(net.sections[v], v) + " è a valle di se stesso.";
            }
            state[v] = 1;
            walk.push_back(v);
            if (net.sections[v].upstream == 0) {
                break;
            }
            v = static_cast<std::size_t>(net.sections[v].upstream - 1);
        }
        for (const std::size_t w : walk) {
            state[w] = 2;
        }
    }
    return {};
}

MapPoint Between(MapPoint a, MapPoint b, int k) {
    const auto at = [k](double p, double q) {
        const double v = std::round((p + (q - p) * k / PipesPerSection) * 100) / 100;
        return v == 0 ? 0.0 : v;
    };
    return {at(a.x, b.x), at(a.y, b.y)};
}

}  // namespace

std::string EndNodeId(const std::string& section) {
    return "N" + section;
}

std::string InnerNodeId(const std::string& section, int k) {
    return "N" + section + "_" + TwoDigits(k);
}

std::string SectionPipeId(const std::string& section, int k) {
    return "T" + section + "_" + TwoDigits(k);
}

InpBuildResult BuildInpNetwork(const BranchedNetwork& net) {
    InpBuildResult result;
    if (std::string problem = Problem(net); !problem.empty()) {
        result.error = std::move(problem);
        return result;
    }
    InpNetwork& n = result.network;
    n.comments.push_back(ExportSignature);
    for (const auto& comment : net.comments) {
        std::string line = OneLineText(comment);
        n.comments.push_back(line.empty() ? line : " " + line);
    }
    if (!net.title.empty()) {
        n.title.push_back(net.title);
    }
    n.options.units = FlowUnits::LPS;
    n.options.headloss = HeadlossFormula::DarcyWeisbach;
    n.options.pressureUnits = "METERS";
    n.options.viscosity = WaterViscosity10C_m2s / EpanetReferenceViscosity_m2s;
    n.reservoirs.push_back({SourceId, net.sourceHead_m, {}, {}, 0});

    std::vector<int> upstream;
    std::vector<double> lengths;
    for (const auto& s : net.sections) {
        upstream.push_back(s.upstream);
        lengths.push_back(s.length_m);
    }
    const std::vector<MapPoint> points = LayOutTree(upstream, lengths);
    n.coordinates.push_back({SourceId, points[0].x, points[0].y});

    for (std::size_t i = 0; i < net.sections.size(); ++i) {
        const BranchedSection& s = net.sections[i];
        const double pipeLength = s.length_m / PipesPerSection;
        const double share = s.alongFlow_lps / PipesPerSection;
        const std::string start =
            s.upstream == 0 ? SourceId : EndNodeId(net.sections[s.upstream - 1].name);
        const MapPoint from = points[static_cast<std::size_t>(s.upstream)];
        const MapPoint to = points[i + 1];
        std::string previous = start;
        for (int k = 1; k <= PipesPerSection; ++k) {
            const bool last = k == PipesPerSection;
            const std::string node = last ? EndNodeId(s.name) : InnerNodeId(s.name, k);
            const double elevation =
                last ? s.endElevation_m : InnerElevation(s.startElevation_m, s.endElevation_m, k);
            n.junctions.push_back(
                {node, elevation, last ? s.endDemand_lps + share : share, {}, {}, 0});
            n.pipes.push_back({SectionPipeId(s.name, k),
                               previous,
                               node,
                               pipeLength,
                               s.diameter_mm,
                               *s.roughness_mm,
                               0,
                               PipeStatus::Open,
                               {},
                               0});
            const MapPoint at = last ? to : Between(from, to, k);
            n.coordinates.push_back({node, at.x, at.y});
            previous = node;
        }
    }
    result.ok = true;
    return result;
}

InpExportResult ExportToInp(const BranchedNetwork& network) {
    InpBuildResult built = BuildInpNetwork(network);
    if (!built.ok) {
        return {false, {}, std::move(built.error)};
    }
    InpWriteResult written = WriteInp(built.network);
    return {written.ok, std::move(written.text), std::move(written.error)};
}

}  // namespace acquenza::interchange
