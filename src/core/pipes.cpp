#include "pipes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "decimal_text.h"
#include "numbers.h"

namespace acquenza {

namespace {

// Internal diameters are typed to the tenth of a millimetre and theoretical
// ones computed from metres: equal figures may differ in their last bits.
constexpr double DiameterTolerance = 1e-6;  // mm

std::string PnText(double pn) {
    return "PN " + NumberText(pn);
}

}  // namespace

std::optional<std::size_t> ChoosePipe(const PipeSeries& series, double theoreticalMm) {
    if (!std::isfinite(theoreticalMm)) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < series.sizes.size(); ++i) {
        if (series.sizes[i].internalMm >= theoreticalMm - DiameterTolerance) {
            return i;
        }
    }
    return std::nullopt;
}

std::string PipeText(const PipeSeries& series, const PipeSize& size) {
    std::string text = series.name + " " + series.sizePrefix + " " + size.label;
    if (!size.className.empty()) {
        text += " " + size.className;
    }
    return text + " — DI " + DecimalText(size.internalMm, 1) + " mm";
}

std::string NoPipeText(const PipeSeries& series, double theoreticalMm) {
    std::string text = "nessuna misura della serie «" + series.name +
                       "» ha un diametro interno di almeno " + DecimalText(theoreticalMm, 1) +
                       " mm";
    if (!series.sizes.empty()) {
        text += " (la più grande: " + DecimalText(series.sizes.back().internalMm, 1) + " mm)";
    }
    return text;
}

std::optional<std::string> PressureClassCheck(int section, const PipeSeries& series,
                                              const PipeSize& size, double staticStart,
                                              double staticEnd,
                                              std::span<const PipeSeries> loaded) {
    const double allowed = size.pn * MetresPerBar;
    const bool startOver = staticStart > allowed;
    const bool endOver = staticEnd > allowed;
    if (!startOver && !endOver) {
        return std::nullopt;
    }
    const bool atEnd = endOver && (!startOver || staticEnd >= staticStart);
    const double worst = atEnd ? staticEnd : staticStart;
    std::string text = "tronco " + std::to_string(section) + ": la pressione statica di " +
                       DecimalText(worst, 2) + " m " + (atEnd ? "alla fine" : "all'inizio") +
                       " supera i " + DecimalText(allowed, 2) + " m ammessi dalla classe " +
                       PnText(size.pn) + " di «" + PipeText(series, size) + "»";
    const PipeSeries* holding = nullptr;
    for (const PipeSeries& other : loaded) {
        if (other.material == series.material && other.name != series.name &&
            other.pn * MetresPerBar >= worst && (holding == nullptr || other.pn < holding->pn)) {
            holding = &other;
        }
    }
    if (holding != nullptr) {
        return text + "; reggerebbe la serie «" + holding->name + "» (" + PnText(holding->pn) + ")";
    }
    for (const double pn : StandardPressureClasses) {
        if (pn * MetresPerBar >= worst) {
            return text + "; servirebbe almeno la classe " + PnText(pn);
        }
    }
    return text + "; servirebbe una classe oltre " + PnText(StandardPressureClasses[12]);
}

Bill MakeBill(std::span<const LaidPipe> pipes) {
    using Key = std::tuple<std::string, std::string, double, std::string>;
    std::map<Key, BillRow> rows;
    for (const LaidPipe& pipe : pipes) {
        if (pipe.series == nullptr || pipe.size >= pipe.series->sizes.size() ||
            !std::isfinite(pipe.length) || !(pipe.length > 0)) {
            continue;
        }
        const PipeSeries& series = *pipe.series;
        const PipeSize& size = series.sizes[pipe.size];
        BillRow& row = rows[{series.material, series.name, size.internalMm, size.label}];
        if (row.sections.empty()) {
            row.material = series.material;
            row.series = series.name;
            row.size = series.sizePrefix + " " + size.label;
            row.pipeText = PipeText(series, size);
            row.internalMm = size.internalMm;
            row.pricePerMetre = size.pricePerMetre;
        }
        row.metres += pipe.length;
        row.sections.push_back(pipe.section);
    }
    Bill bill;
    bill.total.allPriced = !rows.empty();
    for (auto& [key, row] : rows) {
        std::sort(row.sections.begin(), row.sections.end());
        if (row.pricePerMetre) {
            row.amount = row.metres * *row.pricePerMetre;
        }
        if (bill.materialTotals.empty() || bill.materialTotals.back().material != row.material) {
            bill.materialTotals.push_back({row.material, 0, 0, true});
        }
        for (BillTotal* total : {&bill.materialTotals.back(), &bill.total}) {
            total->metres += row.metres;
            total->amount += row.amount.value_or(0);
            total->allPriced = total->allPriced && row.amount.has_value();
        }
        bill.rows.push_back(std::move(row));
    }
    return bill;
}

}  // namespace acquenza
