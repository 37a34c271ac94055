#include "app/network_sizing_commands.h"

#include <cmath>

#include "app/network_model.h"
#include "core/decimal_text.h"
#include "core/project_network.h"

namespace acquenza {

namespace {

constexpr const char* PathsMethod = "percorso";
constexpr const char* PathsLeastCostMethod = "percorso e costo";

std::string CostText(const CostTotal& cost) {
    return cost.money ? DecimalText(cost.value, 2) + " €"
                      : DecimalText(cost.value / 1000, 1) + " m² di diametro interno per lunghezza";
}

}  // namespace

NetworkSizingOutcome SizeProjectNetwork(ProgramState& state, const PipeSeries* series,
                                        bool reduceCost) {
    NetworkSizingOutcome out;
    Project& project = state.project;
    if (!HasNetwork(project)) {
        out.message =
            "Il progetto non ha una rete: nessun tronco ha il «tronco a monte», e non c'è nulla "
            "da dimensionare dalla sorgente.";
        return out;
    }
    const std::optional<double> head = SourceHeadOf(project.network);
    if (!head || !std::isfinite(*head)) {
        out.message =
            "Manca il carico alla sorgente: la rete si dimensiona a partire da esso (si scrive "
            "sopra la tabella della rete).";
        return out;
    }
    const NetworkInput input = NetworkInputOf(project, OfficeLimits(state.settings));
    SizingOptions options;
    options.series = series;
    options.pipeFormula = project.network.pipeFormula == "Darcy-Weisbach"
                              ? LossFormula::DarcyWeisbach
                              : LossFormula::Coefficient;
    out.sizing = SizeByPaths(input, options);
    const bool leastCost = reduceCost && series != nullptr;
    if (leastCost) {
        out.sizing = ReduceCost(input, out.sizing, options);
    }
    int sized = 0;
    {
        EditScope step(
            state, leastCost ? "riduzione del costo della rete" : "dimensionamento della rete", 0);
        SectionTable& t = project.sections;
        for (int s = 1; s < static_cast<int>(out.sizing.sections.size()); ++s) {
            const SectionSizing& z = out.sizing.sections[static_cast<std::size_t>(s)];
            if (!z.sized || !(z.theoreticalDiameter > 0)) {
                continue;
            }
            ++sized;
            // Tenths of a millimetre: the diameter reads back as written.
            const double mm = std::round(z.theoreticalDiameter * 10000) / 10;
            if (!(t.Get(s, NetworkDiameterField) == FieldValue::Number(mm))) {
                t.Set(s, NetworkDiameterField, FieldValue::Number(mm));
            }
            const std::string label =
                series != nullptr && z.pipe ? series->sizes[*z.pipe].label : std::string();
            if (t.Get(s, PipeSizeField).DisplayText() != label) {
                t.Set(s, PipeSizeField, label.empty() ? FieldValue() : FieldValue::Text(label));
            }
        }
        project.network.sizingMethod = leastCost ? PathsLeastCostMethod : PathsMethod;
    }
    out.done = true;
    out.message = "Rete dimensionata con il " + SizingMethodText(project.network.sizingMethod) +
                  ": " + std::to_string(sized) + (sized == 1 ? " tronco" : " tronchi") +
                  (series != nullptr ? ", tubazioni della serie «" + series->name + "»."
                                     : ", soli diametri teorici (nessuna serie di tubazioni).");
    if (reduceCost && series == nullptr) {
        out.message += "\nIl costo non si riduce senza una serie di tubazioni.";
    }
    if (out.sizing.costBefore && out.sizing.costAfter) {
        out.message += "\nCosto delle tubazioni: " + CostText(*out.sizing.costBefore) + " prima, " +
                       CostText(*out.sizing.costAfter) + " dopo la riduzione (" +
                       std::to_string(out.sizing.reductions) + " misure ridotte).";
    } else if (out.sizing.costAfter) {
        out.message += "\nCosto delle tubazioni: " + CostText(*out.sizing.costAfter) + ".";
    }
    for (const SizingProblem& problem : out.sizing.problems) {
        out.message += "\n" + problem.text;
    }
    return out;
}

}  // namespace acquenza
