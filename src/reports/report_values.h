#pragma once
// How the report turns a section's fields into the texts of its tables: the
// number patterns with a decimal comma, the allowance and residents rules,
// the map values of each segment.

#include <string>
#include <vector>

#include "core/project.h"

namespace acquenza {

// x with exactly `decimals` decimals, decimal comma, no grouping, rounded
// half up; empty for a value that is not finite.
std::string FormatDecimals(double x, int decimals);

// "##0.00": at least one integer digit, two decimals, comma, no grouping,
// rounded half up to the hundredth (12.5 -> "12,50").
std::string FormatHundredths(double x);
// "##0.0000": the same with four decimals (0.0025 -> "0,0025").
std::string FormatTenThousandths(double x);

// A result field in a pattern; a field never calculated gives an empty cell.
std::string FormatResult(const FieldValue& value, int decimals);

// Allowance columns: the fire marker shows as "ant.", an empty field as "0",
// anything else as it stands (the number 250 as "250").
std::string AllowanceCell(const FieldValue& allowance);
// Residents columns of the data window document and the direct print: an
// empty field prints as "0"; the field itself stays empty.
std::string ResidentsCell(const FieldValue& residents);

// The fields the table of data and results prints, in the table's order,
// after the section's number.
std::vector<Field> ReportedFields(const FieldTable& fields);

// The documents that print that table: the report, and the data window's
// document, which shows an empty residents field as "0".
enum class DataSheet { Report, DataWindow };
// A field's cell in a document's table of data and results.
std::string DataCell(const SectionTable& sections, int section, Field field, DataSheet sheet);

// The "as" row of a section's map: its length x j / 14, in metres.
double SegmentAbscissa(const SectionTable& table, int section, int segment);

}  // namespace acquenza
