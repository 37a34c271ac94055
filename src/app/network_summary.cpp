#include "app/network_summary.h"

#include <limits>
#include <optional>

#include "archive/atomic_file.h"
#include "core/flows.h"
#include "core/numbers.h"
#include "core/section_calculation.h"
#include "reports/report_values.h"

namespace acquenza {

namespace {

// Sorts below every number: a section without the value.
constexpr double NoValue = -std::numeric_limits<double>::max();

std::size_t Index(SummaryColumn column) {
    return static_cast<std::size_t>(column);
}

bool FireFlow(const FieldValue& allowance) {
    return allowance.IsText() && allowance.TextValue() == FireMarker;
}

std::string Speed(double v) {
    return FormatDecimals(v, 2) + " m/s";
}

// "a ; b" in a field would split it: such a field goes between quotes.
std::string CsvField(const std::string& text) {
    if (text.find_first_of(";\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

}  // namespace

const std::array<std::string, SummaryColumnCount>& SummaryHeadings() {
    static const std::array<std::string, SummaryColumnCount> headings = {
        "Tronco",
        "Lunghezza (m)",
        "Quota iniziale (m)",
        "Quota finale (m)",
        "Dislivello (m)",
        "Portata lungo il tronco (l/s)",
        "Portata all'estremità (l/s)",
        "Residenti serviti",
        "Tipo di condotta",
        "Perdita di carico (m)",
        "Diametro (cm)",
        "Velocità (m/s)",
        "Scabrezza",
    };
    return headings;
}

NetworkSummary SummarizeNetwork(const Project& project, const Settings& settings) {
    NetworkSummary summary;
    const SectionTable& t = project.sections;
    for (int s = 1; s <= project.enteredSectionCount; ++s) {
        SummaryRow row;
        row.section = s;
        row.numbers.fill(NoValue);
        auto put = [&](SummaryColumn column, double value, int decimals) {
            row.texts[Index(column)] = FormatDecimals(value, decimals);
            row.numbers[Index(column)] = value;
        };
        auto field = [&](SummaryColumn column, Field f, int decimals) {
            if (!t.Get(s, f).IsEmpty()) {
                put(column, NumericValue(t, s, f), decimals);
            }
        };
        put(SummaryColumn::Section, s, 0);
        field(SummaryColumn::Length, Field::lungh, 2);
        field(SummaryColumn::InitialElevation, Field::quotain, 2);
        field(SummaryColumn::FinalElevation, Field::quotafin, 2);
        if (!t.Get(s, Field::quotain).IsEmpty() && !t.Get(s, Field::quotafin).IsEmpty()) {
            put(SummaryColumn::Drop,
                NumericValue(t, s, Field::quotain) - NumericValue(t, s, Field::quotafin), 2);
        }
        field(SummaryColumn::FlowAlong, Field::portun, 2);
        field(SummaryColumn::FlowEnd, Field::portfin, 2);
        for (const auto& [column, allowance] :
             {std::pair{SummaryColumn::FlowAlong, Field::dotazun},
              std::pair{SummaryColumn::FlowEnd, Field::dotazfin}}) {
            if (FireFlow(t.Get(s, allowance)) && !row.texts[Index(column)].empty()) {
                row.texts[Index(column)] += " ant.";
            }
        }
        if (!t.Get(s, Field::abitun).IsEmpty() || !t.Get(s, Field::abitfin).IsEmpty()) {
            put(SummaryColumn::Residents,
                NumericValue(t, s, Field::abitun) + NumericValue(t, s, Field::abitfin), 0);
        }
        row.texts[Index(SummaryColumn::PipeType)] = t.Get(s, Field::tipoc).DisplayText();
        summary.totalLength += NumericValue(t, s, Field::lungh);

        // Results only for a section that is complete now: an incomplete one
        // may still hold those of an earlier calculation.
        const bool sized = ReadSectionInputs(t, s).has_value() && t.Get(s, Field::dia).IsNumber() &&
                           t.Get(s, Field::vel).IsNumber();
        if (sized) {
            field(SummaryColumn::HeadLoss, Field::per, 2);
            field(SummaryColumn::Diameter, Field::dia, 1);
            field(SummaryColumn::Velocity, Field::vel, 2);
            field(SummaryColumn::Roughness, Field::sca, 4);
            const double v = t.Get(s, Field::vel).NumberValue();
            if (v < settings.velocityMin) {
                row.speed = SpeedCheck::Below;
                row.speedNote = "Velocità " + Speed(v) + ": sotto il minimo di " +
                                Speed(settings.velocityMin) + ".";
            } else if (v > settings.velocityMax) {
                row.speed = SpeedCheck::Above;
                row.speedNote = "Velocità " + Speed(v) + ": sopra il massimo di " +
                                Speed(settings.velocityMax) + ".";
            } else {
                row.speed = SpeedCheck::Inside;
                row.speedNote = "Velocità " + Speed(v) + ": entro i limiti.";
            }
        } else {
            ++summary.notSized;
            row.speedNote =
                "Tronco non dimensionato: dati incompleti, oppure la quota iniziale non supera "
                "quella finale.";
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
    return line;
}

std::string SummaryCsv(const NetworkSummary& summary) {
    std::string csv = "\xEF\xBB\xBF";
    auto line = [&](const auto& fields, const std::string& last) {
        for (const std::string& f : fields) {
            csv += CsvField(f) + ";";
        }
        csv += CsvField(last) + "\r\n";
    };
    line(SummaryHeadings(), "Verifica velocità");
    for (const SummaryRow& row : summary.rows) {
        static const std::array<const char*, 4> checks = {"non dimensionato", "sotto il minimo",
                                                          "entro i limiti", "sopra il massimo"};
        line(row.texts, checks[static_cast<std::size_t>(row.speed)]);
    }
    return csv;
}

bool ExportSummaryCsv(const NetworkSummary& summary, const std::string& projectName,
                      Dialogs& dialogs) {
    std::string name = "riepilogo";
    if (!projectName.empty()) {
        name += "-" + projectName;
    }
    for (char& c : name) {
        c = c == '/' || c == '\\' ? '_' : c;  // a name, not a path
    }
    std::optional<std::string> chosen =
        dialogs.ChooseFile({FileDialogRequest::Kind::Save,
                            "Esporta in CSV",
                            name + ".csv",
                            {{"File CSV (separati da punto e virgola)", "*.csv"}},
                            0});
    if (!chosen) {
        return false;
    }
    if (!chosen->ends_with(".csv") && !chosen->ends_with(".CSV")) {
        *chosen += ".csv";
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
    profile.sized =
        ReadSectionInputs(t, section).has_value() && t.Get(section, Field::dia).IsNumber();
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
        const SegmentCell& cell = project.segments.Get(j, section);
        profile.distance.push_back(length * j / SegmentCount);
        profile.ground.push_back(cell.zEnd);
        profile.gradeLine.push_back(profile.gradeLine.back() - cell.headLoss);
        profile.headLoss += cell.headLoss;
    }
    return profile;
}

}  // namespace acquenza
