#include "reports/report_values.h"

#include <cmath>

#include "core/flows.h"
#include "core/numbers.h"

namespace acquenza {

std::string FormatDecimals(double x, int decimals) {
    if (!std::isfinite(x)) {
        return {};
    }
    const double scale = std::pow(10.0, decimals);
    const double scaled = std::floor(std::abs(x) * scale + 0.5);
    std::string digits = NumberText(scaled);
    if (digits.find_first_not_of("0123456789") != std::string::npos) {
        // Beyond the range where a double holds every integer: plain text.
        return NumberText(x);
    }
    // Appended piece by piece: GCC's -O3 warns falsely about inserts in front.
    std::string text(x < 0 && scaled != 0 ? "-" : "");
    if (digits.size() <= static_cast<std::size_t>(decimals)) {
        text.append(static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    }
    text += digits;
    if (decimals > 0) {
        text.insert(text.size() - static_cast<std::size_t>(decimals), 1, ',');
    }
    return text;
}

std::string FormatHundredths(double x) {
    return FormatDecimals(x, 2);
}

std::string FormatTenThousandths(double x) {
    return FormatDecimals(x, 4);
}

std::string FormatResult(const FieldValue& value, int decimals) {
    if (value.IsEmpty()) {
        return {};
    }
    return FormatDecimals(NumericValue(value, Field::per), decimals);
}

std::string AllowanceCell(const FieldValue& allowance) {
    if (allowance.IsText() && allowance.TextValue() == FireMarker) {
        return "ant.";
    }
    if (allowance.IsEmpty()) {
        return "0";
    }
    return allowance.DisplayText();
}

std::string ResidentsCell(const FieldValue& residents) {
    return residents.IsEmpty() ? "0" : residents.DisplayText();
}

std::vector<Field> ReportedFields(const FieldTable& fields) {
    std::vector<Field> reported;
    for (const Field f : fields.All()) {
        if (fields.Spec(f).report.cell != ReportCell::None) {
            reported.push_back(f);
        }
    }
    return reported;
}

std::string DataCell(const SectionTable& sections, int section, Field field, DataSheet sheet) {
    const FieldSpec& spec = sections.Fields().Spec(field);
    const FieldValue& value = sections.Get(section, field);
    switch (spec.report.cell) {
        case ReportCell::Measure:
            return FormatHundredths(NumericValue(value, spec.kind));
        case ReportCell::Residents:
            return sheet == DataSheet::DataWindow ? ResidentsCell(value) : value.DisplayText();
        case ReportCell::Allowance:
            return AllowanceCell(value);
        case ReportCell::Result:
            return FormatResult(value, spec.report.decimals);
        case ReportCell::None:
            break;
    }
    return {};
}

double SegmentAbscissa(const SectionTable& table, int section, int segment) {
    return NumericValue(table, section, Field::lungh) * segment / SegmentCount;
}

}  // namespace acquenza
