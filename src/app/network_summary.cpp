#include "app/network_summary.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "app/network_model.h"
#include "app/unsizable_sections.h"
#include "archive/atomic_file.h"
#include "core/csv_text.h"
#include "core/flows.h"
#include "core/numbers.h"
#include "core/project_network.h"
#include "core/section_calculation.h"
#include "reports/report_values.h"

namespace acquenza {

namespace {

// Sorts below every number: a section without the value.
constexpr double NoValue = -std::numeric_limits<double>::max();

bool FireFlow(const FieldValue& allowance) {
    return allowance.IsText() && allowance.TextValue() == FireMarker;
}

std::string Speed(double v) {
    return FormatDecimals(v, 2) + " m/s";
}

std::string FireMark(const SummaryRow& row) {
    if (row.fireAlong && row.fireEnd) {
        return "lungo il tronco e all'estremità";
    }
    if (row.fireAlong) {
        return "lungo il tronco";
    }
    return row.fireEnd ? "all'estremità" : "";
}

}  // namespace

std::vector<SummaryColumn> SummaryColumnsOf(const FieldTable& fields, bool network) {
    // The worked-out values stand among the fields by the same order
    // numbers: the drop after the final elevation, the residents after the
    // flows.
    struct Placed {
        int order;
        SummaryColumn column;
    };
    std::vector<Placed> placed = {
        {0, {SummaryValue::Section, Field::lungh, "Tronco", "Tronco", 0, false}},
        {35, {SummaryValue::Drop, Field::lungh, "Dislivello (m)", "Dislivello\n(m)", 2, false}},
        {55,
         {SummaryValue::Residents, Field::lungh, "Residenti serviti", "Residenti\nserviti", 0,
          false}},
    };
    if (network) {
        // The two typed values beside the section's number, where the eye
        // starts; the analysis's figures after the section's own results.
        const std::pair<int, SummaryColumn> columns[] = {
            {1, {SummaryValue::Link, Field::lungh, "Tronco a monte", "Tronco\na monte", 0}},
            {2,
             {SummaryValue::NodeDemand, Field::lungh, "Erogazione al nodo (l/s)",
              "Erogazione\nal nodo (l/s)", 2}},
            {1010,
             {SummaryValue::FlowEnd, Field::lungh, "Portata di valle (l/s)",
              "Portata di\nvalle (l/s)", 2}},
            {1020,
             {SummaryValue::HeadEnd, Field::lungh, "Quota piezometrica finale (m)",
              "Quota piez.\nfinale (m)", 2}},
            {1030,
             {SummaryValue::PressureEnd, Field::lungh, "Pressione al nodo (m)",
              "Pressione\nal nodo (m)", 2}},
            {1040,
             {SummaryValue::StaticPressure, Field::lungh, "Pressione statica (m)",
              "Pressione\nstatica (m)", 2}},
            {1050,
             {SummaryValue::MaxVelocity, Field::lungh, "Velocità massima (m/s)",
              "Velocità\nmassima (m/s)", 2}},
            {1060, {SummaryValue::Gradient, Field::lungh, "Cadente (m/km)", "Cadente\n(m/km)", 2}},
            {1070,
             {SummaryValue::NetworkChecks, Field::lungh, "Verifiche della rete",
              "Verifiche\ndella rete", 0, true}},
        };
        for (const auto& [order, column] : columns) {
            placed.push_back({order, column});
        }
    }
    for (const Field f : fields.All()) {
        const FieldSpec& spec = fields.Spec(f);
        if (spec.summary.order > 0) {
            placed.push_back({spec.summary.order,
                              {SummaryValue::Field, f, std::string(spec.summary.heading),
                               std::string(spec.summary.shortHeading), spec.summary.decimals,
                               spec.kind == FieldKind::Choice, spec.kind == FieldKind::Result}});
        }
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.order < b.order; });
    std::vector<SummaryColumn> columns;
    for (Placed& p : placed) {
        columns.push_back(std::move(p.column));
    }
    return columns;
}

std::size_t NetworkSummary::ColumnOf(Field field) const {
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].value == SummaryValue::Field && columns[c].field == field) {
            return c;
        }
    }
    return columns.size();
}

std::size_t NetworkSummary::ColumnOf(SummaryValue value) const {
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].value == value) {
            return c;
        }
    }
    return columns.size();
}

std::string SummaryCellText(const NetworkSummary& summary, const SummaryRow& row,
                            std::size_t column) {
    const std::string& text = row.texts[column];
    const bool fire = (column == summary.ColumnOf(Field::portun) && row.fireAlong) ||
                      (column == summary.ColumnOf(Field::portfin) && row.fireEnd);
    return fire && !text.empty() ? text + " ant." : text;
}

namespace {

void MarkSpeed(SummaryRow& row, double v, const Settings& settings) {
    if (v < settings.velocityMin) {
        row.speed = SpeedCheck::Below;
        row.speedNote =
            "Velocità " + Speed(v) + ": sotto il minimo di " + Speed(settings.velocityMin) + ".";
    } else if (v > settings.velocityMax) {
        row.speed = SpeedCheck::Above;
        row.speedNote =
            "Velocità " + Speed(v) + ": sopra il massimo di " + Speed(settings.velocityMax) + ".";
    } else {
        row.speed = SpeedCheck::Inside;
        row.speedNote = "Velocità " + Speed(v) + ": entro i limiti.";
    }
}

}  // namespace

bool SummaryRow::HasCheck(CheckKind kind) const {
    return std::find(checks.begin(), checks.end(), kind) != checks.end();
}

std::string CheckWord(CheckKind kind) {
    switch (kind) {
        case CheckKind::LowPressure:
            return "pressione bassa";
        case CheckKind::HighStaticPressure:
            return "pressione statica alta";
        case CheckKind::HighVelocity:
            return "velocità alta";
        case CheckKind::LowVelocity:
            return "velocità bassa";
        case CheckKind::ElevationMismatch:
            return "quote non raccordate";
        case CheckKind::NotComputable:
            return "carico non calcolabile";
        case CheckKind::Detached:
            return "non collegato alla sorgente";
        case CheckKind::LinkRefused:
            return "collegamento non valido";
        case CheckKind::PressureClass:
            return "classe PN insufficiente";
        case CheckKind::NoPipe:
            return "tubazione da scegliere";
    }
    return {};
}

namespace {

// The network's figures of section `s` into its row; `put` writes a number
// into a column.
template <typename Put>
void PutNetworkCells(const NetworkSummary& summary, const SectionTable& t, int s,
                     bool hasDownstream, bool headKnown, const SectionHydraulics* h,
                     SummaryRow& row, Put put) {
    const std::optional<int> upstream = UpstreamOf(t, s);
    row.linked = upstream.has_value();
    if (!row.linked) {
        return;
    }
    const bool inNetwork = h != nullptr && h->state != HeadState::NotInNetwork;
    const bool computed = h != nullptr && h->state == HeadState::Computed;
    // The static pressure needs the source's head, and a chain of links
    // that reaches it.
    const bool fed = inNetwork && headKnown && h->state != HeadState::Detached;
    const bool loss = inNetwork && h->hasLoss;
    for (std::size_t c = 0; c < summary.columns.size(); ++c) {
        switch (summary.columns[c].value) {
            case SummaryValue::Link:
                put(c, *upstream);
                break;
            case SummaryValue::NodeDemand:
                row.demandDerived = t.Get(s, NodeDemandField).IsEmpty();
                row.demandTyped = t.Get(s, NodeDemandField).DisplayText();
                put(c, OwnDemand(t, s, hasDownstream));
                break;
            case SummaryValue::FlowEnd:
                if (inNetwork) {
                    put(c, h->flowEnd);
                }
                break;
            case SummaryValue::HeadEnd:
                if (computed) {
                    put(c, h->headEnd);
                }
                break;
            case SummaryValue::PressureEnd:
                if (computed) {
                    put(c, h->pressureEnd);
                }
                break;
            case SummaryValue::StaticPressure:
                if (fed && std::isfinite(h->staticEnd)) {
                    put(c, h->staticEnd);
                }
                break;
            case SummaryValue::MaxVelocity:
                if (loss) {
                    put(c, h->velocityStart);
                }
                break;
            case SummaryValue::Gradient:
                if (loss) {
                    put(c, h->gradientPerKm);
                }
                break;
            default:
                break;
        }
    }
}

std::string CheckWords(const SummaryRow& row) {
    std::string words;
    for (const CheckKind kind : row.checks) {
        const std::string word = CheckWord(kind);
        if (words.find(word) == std::string::npos) {
            words += (words.empty() ? "" : ", ") + word;
        }
    }
    return words;
}

}  // namespace

NetworkSummary SummarizeNetwork(const Project& project, const Settings& settings) {
    return SummarizeNetwork(project, settings, HasNetwork(project), nullptr);
}

NetworkSummary SummarizeNetwork(const Project& project, const Settings& settings, bool network,
                                const NetworkResult* analysis) {
    NetworkSummary summary;
    summary.network = network;
    summary.columns = SummaryColumnsOf(project.Fields(), network);
    const std::size_t width = summary.columns.size();
    const SectionTable& t = project.sections;
    const int last = std::max(project.enteredSectionCount, LastSectionWithInput(t));
    const std::optional<double> sourceHead = SourceHeadOf(project.network);
    const bool headKnown = sourceHead && std::isfinite(*sourceHead);
    NetworkResult own;
    if (network && analysis == nullptr) {
        own = AnalyseNetwork(NetworkInputOf(project, OfficeLimits(settings)));
        analysis = &own;
    }
    // Which sections something continues from, and each section's checks,
    // in one pass each.
    std::vector<char> hasDownstream(static_cast<std::size_t>(last) + 1, 0);
    std::vector<std::vector<const NetworkCheck*>> checksOf(static_cast<std::size_t>(last) + 1);
    if (network) {
        for (int s = 1; s <= last; ++s) {
            const std::optional<int> up = UpstreamOf(t, s);
            if (up && *up > 0 && *up <= last && *up != s) {
                hasDownstream[static_cast<std::size_t>(*up)] = 1;
            }
        }
        for (const NetworkCheck& check : analysis->checks) {
            if (check.section >= 1 && check.section <= last) {
                checksOf[static_cast<std::size_t>(check.section)].push_back(&check);
            }
        }
    }
    for (int s = 1; s <= last; ++s) {
        SummaryRow row;
        row.section = s;
        row.texts.assign(width, std::string());
        row.numbers.assign(width, NoValue);
        auto put = [&](std::size_t column, double value) {
            row.texts[column] = FormatDecimals(value, summary.columns[column].decimals);
            row.numbers[column] = value;
        };
        // Results only for a section that is complete now: an incomplete one
        // may still hold those of an earlier calculation.
        const SizingObstacle obstacle = FindSizingObstacle(t, s);
        const bool sized = !obstacle && ReadSectionInputs(t, s).has_value() &&
                           t.Get(s, Field::dia).IsNumber() && t.Get(s, Field::vel).IsNumber();
        for (std::size_t c = 0; c < width; ++c) {
            const SummaryColumn& column = summary.columns[c];
            switch (column.value) {
                case SummaryValue::Section:
                    put(c, s);
                    break;
                case SummaryValue::Drop:
                    if (!t.Get(s, Field::quotain).IsEmpty() &&
                        !t.Get(s, Field::quotafin).IsEmpty()) {
                        put(c, NumericValue(t, s, Field::quotain) -
                                   NumericValue(t, s, Field::quotafin));
                    }
                    break;
                case SummaryValue::Residents:
                    if (!t.Get(s, Field::abitun).IsEmpty() || !t.Get(s, Field::abitfin).IsEmpty()) {
                        put(c,
                            NumericValue(t, s, Field::abitun) + NumericValue(t, s, Field::abitfin));
                    }
                    break;
                case SummaryValue::Field: {
                    const FieldValue& value = t.Get(s, column.field);
                    if (column.sortsByText) {
                        row.texts[c] = value.DisplayText();
                    } else if (!value.IsEmpty() && (!column.result || sized)) {
                        put(c, NumericValue(t, s, column.field));
                    }
                    break;
                }
                default:
                    break;  // the network's, below
            }
        }
        if (network) {
            const auto at = static_cast<std::size_t>(s);
            PutNetworkCells(summary, t, s, hasDownstream[at] != 0, headKnown,
                            at < analysis->sections.size() ? &analysis->sections[at] : nullptr, row,
                            put);
            for (const NetworkCheck* check : checksOf[at]) {
                row.checks.push_back(check->kind);
                row.checkNote += (row.checkNote.empty() ? "" : "\n") + check->text;
            }
            const std::size_t column = summary.ColumnOf(SummaryValue::NetworkChecks);
            if (!row.checks.empty()) {
                row.texts[column] = CheckWords(row);
                ++summary.networkChecked;
            } else if (row.linked && at < analysis->sections.size() &&
                       analysis->sections[at].state == HeadState::Computed) {
                row.texts[column] = "entro i limiti";
                row.checkNote = "Nodo " + std::to_string(s) + ": verifiche superate.";
            }
        }
        row.fireAlong = FireFlow(t.Get(s, Field::dotazun)) && !t.Get(s, Field::portun).IsEmpty();
        // A summed end flow is no fire-fighting flow, whatever the end's mark.
        row.fireEnd = FireFlow(t.Get(s, Field::dotazfin)) && !t.Get(s, Field::portfin).IsEmpty() &&
                      !(network && hasDownstream[static_cast<std::size_t>(s)] && UpstreamOf(t, s));
        const double length = NumericValue(t, s, Field::lungh);
        if (std::isfinite(length)) {
            summary.totalLength += length;
        }
        if (obstacle) {
            ++summary.unsizable;
            row.speed = SpeedCheck::Unsizable;
            row.texts[summary.ColumnOf(Field::dia)] = UnsizableMark;
            row.speedNote = "Tronco non dimensionabile: " + ObstacleReason(obstacle.kind) + ".";
        } else if (sized) {
            MarkSpeed(row, t.Get(s, Field::vel).NumberValue(), settings);
        } else {
            ++summary.notSized;
            row.speedNote = "Tronco non dimensionato: dati incompleti.";
        }
        if (row.speed == SpeedCheck::Below || row.speed == SpeedCheck::Above) {
            ++summary.outsideBand;
        }
        summary.rows.push_back(std::move(row));
    }
    return summary;
}

std::string NetworkSummary::BottomLine(const Settings& settings) const {
    std::string line =
        "Tronchi: " + std::to_string(rows.size()) +
        " \u2014 lunghezza totale: " + FormatDecimals(totalLength, 2) +
        " m \u2014 fuori dall'intervallo di velocità " + FormatDecimals(settings.velocityMin, 2) +
        "\u2013" + FormatDecimals(settings.velocityMax, 2) + " m/s: " + std::to_string(outsideBand);
    if (notSized > 0) {
        line += " \u2014 non dimensionati: " + std::to_string(notSized);
    }
    if (unsizable > 0) {
        line += " \u2014 non dimensionabili: " + std::to_string(unsizable);
    }
    if (network) {
        line += " \u2014 tronchi con verifiche della rete non superate: " +
                std::to_string(networkChecked);
    }
    return line;
}

std::string SummaryCsv(const NetworkSummary& summary) {
    std::string csv = "\xEF\xBB\xBF";
    // The fire mark follows the two flows it qualifies; the velocity check
    // closes the line.
    const std::size_t fireAfter = summary.ColumnOf(Field::portfin);
    auto line = [&](const std::vector<std::string>& fields, const std::string& fire,
                    const std::string& last) {
        for (std::size_t c = 0; c < fields.size(); ++c) {
            csv += CsvField(fields[c]) + ";";
            if (c == fireAfter) {
                csv += CsvField(fire) + ";";
            }
        }
        csv += CsvField(last) + "\r\n";
    };
    std::vector<std::string> headings;
    for (const SummaryColumn& column : summary.columns) {
        headings.push_back(column.heading);
    }
    line(headings, "Antincendio", "Verifica velocità");
    for (const SummaryRow& row : summary.rows) {
        static const std::array<const char*, 5> checks = {"non dimensionato", UnsizableMark,
                                                          "sotto il minimo", "entro i limiti",
                                                          "sopra il massimo"};
        line(row.texts, FireMark(row), checks[static_cast<std::size_t>(row.speed)]);
    }
    return csv;
}

std::optional<std::string> ChooseCsvFile(Dialogs& dialogs, const std::string& title,
                                         const std::string& namePrefix,
                                         const std::string& projectName) {
    std::string name = namePrefix;
    if (!projectName.empty()) {
        name += "-" + projectName;
    }
    for (char& c : name) {
        c = c == '/' || c == '\\' ? '_' : c;  // a name, not a path
    }
    std::optional<std::string> chosen =
        dialogs.ChooseFile({FileDialogRequest::Kind::Save,
                            title,
                            name + ".csv",
                            {{"File CSV (separati da punto e virgola)", "*.csv"}},
                            0});
    if (chosen && !chosen->ends_with(".csv") && !chosen->ends_with(".CSV")) {
        *chosen += ".csv";
    }
    return chosen;
}

bool ExportSummaryCsv(const NetworkSummary& summary, const std::string& projectName,
                      Dialogs& dialogs) {
    const std::optional<std::string> chosen =
        ChooseCsvFile(dialogs, "Esporta in CSV", "riepilogo", projectName);
    if (!chosen) {
        return false;
    }
    const ArchiveResult written = WriteFileAtomically(*chosen, SummaryCsv(summary));
    if (!written.ok) {
        dialogs.Inform("Acquenza: riepilogo della rete",
                       "Esportazione non eseguita. " + written.message, MessageIcon::Stop);
        return false;
    }
    return true;
}

SectionProfile ProfileOf(const Project& project, int section) {
    SectionProfile profile;
    profile.section = section;
    const SectionTable& t = project.sections;
    profile.sized = ReadSectionInputs(t, section).has_value() &&
                    t.Get(section, Field::dia).IsNumber() && !FindSizingObstacle(t, section);
    if (!profile.sized) {
        return profile;
    }
    const double length = NumericValue(t, section, Field::lungh);
    const double start = NumericValue(t, section, Field::quotain);
    profile.drop = start - NumericValue(t, section, Field::quotafin);
    profile.distance.push_back(0);
    profile.ground.push_back(start);
    profile.gradeLine.push_back(start);
    for (int j = 1; j <= SegmentCount; ++j) {
        const SegmentCell& cell = project.sections.Segment(section, j);
        profile.distance.push_back(length * j / SegmentCount);
        profile.ground.push_back(cell.zEnd);
        profile.gradeLine.push_back(profile.gradeLine.back() - cell.headLoss);
        profile.headLoss += cell.headLoss;
    }
    return profile;
}

}  // namespace acquenza
