#include "pipe_tables.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <string_view>

#include "csv_text.h"
#include "decimal_text.h"
#include "numbers.h"
#include "project_network.h"

namespace acquenza {

namespace {

void CsvLine(std::string& csv, const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        csv += (i == 0 ? "" : ";") + CsvField(fields[i]);
    }
    csv += "\r\n";
}

bool Reached(const SectionHydraulics& h) {
    return h.state == HeadState::Computed || h.state == HeadState::NoDiameter ||
           h.state == HeadState::UpstreamUnknown;
}

}  // namespace

std::string MetresText(double metres) {
    return DecimalText(metres, 2) + " m";
}

std::string EuroText(double euro) {
    return DecimalText(euro, 2) + " €";
}

std::vector<PipeRow> PipeRowsOf(const Project& project, std::span<const PipeSeries> catalogues,
                                const NetworkResult& result, const NetworkResult* theoretical) {
    const auto pressure = [](const NetworkResult* r, int s) -> std::optional<double> {
        if (r == nullptr || static_cast<std::size_t>(s) >= r->sections.size() ||
            r->sections[static_cast<std::size_t>(s)].state != HeadState::Computed) {
            return std::nullopt;
        }
        return r->sections[static_cast<std::size_t>(s)].pressureEnd;
    };
    std::vector<PipeRow> rows;
    const int count = NetworkSectionCount(project);
    for (int s = 1; s <= count; ++s) {
        if (!(NumericValue(project.sections, s, Field::lungh) > 0)) {
            continue;
        }
        const SectionPipe pipe = PipeOf(project, s, catalogues);
        if (pipe.state == PipeState::None) {
            continue;
        }
        PipeRow row;
        row.section = s;
        row.state = pipe.state;
        row.theoreticalMm = pipe.theoreticalMm;
        row.pressureEnd = pressure(&result, s);
        row.theoreticalPressureEnd = pressure(theoretical, s);
        if (const PipeSize* size = pipe.Size()) {
            row.pipeText = PipeText(*pipe.series, *size);
            row.internalMm = size->internalMm;
            row.pn = size->pn;
            if (static_cast<std::size_t>(s) < result.sections.size()) {
                const SectionHydraulics& h = result.sections[static_cast<std::size_t>(s)];
                row.hasLoss = h.hasLoss;
                row.headLoss = h.headLoss;
                row.velocityStart = h.velocityStart;
                row.velocityEnd = h.velocityEnd;
            }
        } else {
            // "tronco 4: nessuna misura …" without its section: the row says it.
            const std::size_t colon = pipe.problem.find(": ");
            row.pipeText =
                colon == std::string::npos ? pipe.problem : pipe.problem.substr(colon + 2);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<PipeRow> PipeRowsWithPressures(const Project& project,
                                           std::span<const PipeSeries> catalogues,
                                           const NetworkLimits& office) {
    const NetworkResult laid = AnalyseNetwork(NetworkInputOf(project, office, catalogues));
    const NetworkResult theoretical = AnalyseNetwork(NetworkInputOf(project, office));
    return PipeRowsOf(project, catalogues, laid, &theoretical);
}

std::vector<NetworkCheck> PipeChecksOf(const Project& project,
                                       std::span<const PipeSeries> catalogues,
                                       const NetworkResult& result) {
    std::vector<NetworkCheck> checks;
    const bool headKnown =
        SourceHeadOf(project.network).has_value() && std::isfinite(*SourceHeadOf(project.network));
    const int count = NetworkSectionCount(project);
    for (int s = 1; s <= count; ++s) {
        if (!(NumericValue(project.sections, s, Field::lungh) > 0)) {
            continue;
        }
        const SectionPipe pipe = PipeOf(project, s, catalogues);
        if (pipe.state == PipeState::None) {
            continue;
        }
        if (pipe.state != PipeState::Laid) {
            checks.push_back({s, CheckKind::NoPipe, pipe.problem});
            continue;
        }
        if (!headKnown || static_cast<std::size_t>(s) >= result.sections.size() ||
            !Reached(result.sections[static_cast<std::size_t>(s)])) {
            continue;
        }
        const SectionHydraulics& h = result.sections[static_cast<std::size_t>(s)];
        if (std::optional<std::string> over = PressureClassCheck(
                s, *pipe.series, *pipe.Size(), h.staticStart, h.staticEnd, catalogues)) {
            checks.push_back({s, CheckKind::PressureClass, std::move(*over)});
        }
    }
    return checks;
}

void AddPipeChecks(NetworkResult& result, const Project& project,
                   std::span<const PipeSeries> catalogues) {
    if (!PipesChosen(project)) {
        return;
    }
    std::vector<NetworkCheck> pipes = PipeChecksOf(project, catalogues, result);
    if (pipes.empty()) {
        return;
    }
    result.checks.insert(result.checks.end(), std::make_move_iterator(pipes.begin()),
                         std::make_move_iterator(pipes.end()));
    std::stable_sort(
        result.checks.begin(), result.checks.end(),
        [](const NetworkCheck& a, const NetworkCheck& b) { return a.section < b.section; });
}

Bill BillOf(const Project& project, std::span<const PipeSeries> catalogues) {
    std::vector<LaidPipe> laid;
    const int count = NetworkSectionCount(project);
    for (int s = 1; s <= count; ++s) {
        const SectionPipe pipe = PipeOf(project, s, catalogues);
        if (pipe.state == PipeState::Laid) {
            laid.push_back(
                {s, pipe.series, pipe.size, NumericValue(project.sections, s, Field::lungh)});
        }
    }
    return MakeBill(laid);
}

std::string PipeRowsCsv(const std::vector<PipeRow>& rows) {
    std::string csv = "\xEF\xBB\xBF";
    CsvLine(csv, {"Tronco", "Diametro teorico (mm)", "Tubazione", "Diametro interno (mm)",
                  "Perdita effettiva (m)", "Velocità iniziale (m/s)", "Velocità finale (m/s)",
                  "PN (bar)", "Pressione finale teorica (m)", "Pressione finale (m)"});
    for (const PipeRow& row : rows) {
        const bool laid = row.state == PipeState::Laid;
        CsvLine(csv, {std::to_string(row.section),
                      row.theoreticalMm ? DecimalText(*row.theoreticalMm, 1) : std::string(),
                      row.pipeText, laid ? DecimalText(row.internalMm, 1) : std::string(),
                      laid && row.hasLoss ? DecimalText(row.headLoss, 2) : std::string(),
                      laid && row.hasLoss ? DecimalText(row.velocityStart, 2) : std::string(),
                      laid && row.hasLoss ? DecimalText(row.velocityEnd, 2) : std::string(),
                      laid ? NumberText(row.pn) : std::string(),
                      row.theoreticalPressureEnd ? DecimalText(*row.theoreticalPressureEnd, 2)
                                                 : std::string(),
                      row.pressureEnd ? DecimalText(*row.pressureEnd, 2) : std::string()});
    }
    return csv;
}

std::string BillCsv(const Bill& bill) {
    std::string csv = "\xEF\xBB\xBF";
    CsvLine(csv, {"Materiale", "Serie", "Misura", "Tubazione", "Diametro interno (mm)",
                  "Lunghezza (m)", "Prezzo (€/m)", "Importo (€)", "Tronchi"});
    for (const BillRow& row : bill.rows) {
        std::string sections;
        for (const int s : row.sections) {
            sections += (sections.empty() ? "" : ", ") + std::to_string(s);
        }
        CsvLine(csv, {row.material, row.series, row.size, row.pipeText,
                      DecimalText(row.internalMm, 1), DecimalText(row.metres, 2),
                      row.pricePerMetre ? DecimalText(*row.pricePerMetre, 2) : std::string(),
                      row.amount ? DecimalText(*row.amount, 2) : std::string(), sections});
    }
    // An amount summed over rows some of which have no price is no total.
    auto amount = [](const BillTotal& total) {
        return total.allPriced ? DecimalText(total.amount, 2) : std::string();
    };
    for (const BillTotal& total : bill.materialTotals) {
        CsvLine(csv, {"Totale " + total.material, "", "", "", "", DecimalText(total.metres, 2), "",
                      amount(total), ""});
    }
    if (!bill.rows.empty()) {
        CsvLine(csv, {"Totale generale", "", "", "", "", DecimalText(bill.total.metres, 2), "",
                      amount(bill.total), ""});
    }
    return csv;
}

}  // namespace acquenza
