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

std::vector<SummaryColumn> SummaryColumnsOf(const FieldTable& fields) {
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

NetworkSummary SummarizeNetwork(const Project& project, const Settings& settings) {
    NetworkSummary summary;
    summary.columns = SummaryColumnsOf(project.Fields());
    const std::size_t width = summary.columns.size();
    const SectionTable& t = project.sections;
    const int last = std::max(project.enteredSectionCount, LastSectionWithInput(t));
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
            }
        }
        row.fireAlong = FireFlow(t.Get(s, Field::dotazun)) && !t.Get(s, Field::portun).IsEmpty();
        row.fireEnd = FireFlow(t.Get(s, Field::dotazfin)) && !t.Get(s, Field::portfin).IsEmpty();
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
