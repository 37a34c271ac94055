#include "app/network_summary.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "app/unsizable_sections.h"
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

// "-12,50", "7", "0,0025": what a spreadsheet reads as a number.
bool IsCsvNumber(const std::string& text) {
    std::size_t i = text.starts_with('-') ? 1 : 0;
    const std::size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
    }
    if (i == digits) {
        return false;
    }
    if (i < text.size() && text[i] == ',') {
        const std::size_t decimals = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
        }
        if (i == decimals) {
            return false;
        }
    }
    return i == text.size();
}

// A text starting with = + - @ (or a tab or a carriage return) would be run
// by the spreadsheet as a formula: it goes behind an apostrophe, which the
// spreadsheet shows as text. Numbers, negative ones too, stay numbers. "a ; b"
// would split the field: such a field goes between quotes.
std::string CsvField(const std::string& text) {
    std::string field = text;
    if (!field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string::npos &&
        !IsCsvNumber(field)) {
        field.insert(0, 1, '\'');
    }
    if (field.find_first_of(";\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
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

std::string SummaryCellText(const SummaryRow& row, SummaryColumn column) {
    const std::string& text = row.texts[Index(column)];
    const bool fire = (column == SummaryColumn::FlowAlong && row.fireAlong) ||
                      (column == SummaryColumn::FlowEnd && row.fireEnd);
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

NetworkSummary SummarizeNetwork(const Project& project, const Settings& settings) {
    NetworkSummary summary;
    const SectionTable& t = project.sections;
    const int last = std::max(project.enteredSectionCount, LastSectionWithInput(t));
    for (int s = 1; s <= last; ++s) {
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
        row.fireAlong = FireFlow(t.Get(s, Field::dotazun)) && !t.Get(s, Field::portun).IsEmpty();
        row.fireEnd = FireFlow(t.Get(s, Field::dotazfin)) && !t.Get(s, Field::portfin).IsEmpty();
        if (!t.Get(s, Field::abitun).IsEmpty() || !t.Get(s, Field::abitfin).IsEmpty()) {
            put(SummaryColumn::Residents,
                NumericValue(t, s, Field::abitun) + NumericValue(t, s, Field::abitfin), 0);
        }
        row.texts[Index(SummaryColumn::PipeType)] = t.Get(s, Field::tipoc).DisplayText();
        const double length = NumericValue(t, s, Field::lungh);
        if (std::isfinite(length)) {
            summary.totalLength += length;
        }

        // Results only for a section that is complete now: an incomplete one
        // may still hold those of an earlier calculation.
        const SizingObstacle obstacle = FindSizingObstacle(t, s);
        const bool sized = !obstacle && ReadSectionInputs(t, s).has_value() &&
                           t.Get(s, Field::dia).IsNumber() && t.Get(s, Field::vel).IsNumber();
        if (obstacle) {
            ++summary.unsizable;
            row.speed = SpeedCheck::Unsizable;
            row.texts[Index(SummaryColumn::Diameter)] = UnsizableMark;
            row.speedNote = "Tronco non dimensionabile: " + ObstacleReason(obstacle.kind) + ".";
        } else if (sized) {
            field(SummaryColumn::HeadLoss, Field::per, 2);
            field(SummaryColumn::Diameter, Field::dia, 1);
            field(SummaryColumn::Velocity, Field::vel, 2);
            field(SummaryColumn::Roughness, Field::sca, 4);
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
    return line;
}

std::string SummaryCsv(const NetworkSummary& summary) {
    std::string csv = "\xEF\xBB\xBF";
    // The fire mark follows the two flows it qualifies; the velocity check
    // closes the line.
    constexpr std::size_t FireAfter = static_cast<std::size_t>(SummaryColumn::FlowEnd);
    auto line = [&](const std::array<std::string, SummaryColumnCount>& fields,
                    const std::string& fire, const std::string& last) {
        for (std::size_t c = 0; c < fields.size(); ++c) {
            csv += CsvField(fields[c]) + ";";
            if (c == FireAfter) {
                csv += CsvField(fire) + ";";
            }
        }
        csv += CsvField(last) + "\r\n";
    };
    line(SummaryHeadings(), "Antincendio", "Verifica velocità");
    for (const SummaryRow& row : summary.rows) {
        static const std::array<const char*, 5> checks = {"non dimensionato", UnsizableMark,
                                                          "sotto il minimo", "entro i limiti",
                                                          "sopra il massimo"};
        line(row.texts, FireMark(row), checks[static_cast<std::size_t>(row.speed)]);
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
