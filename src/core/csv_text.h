#pragma once
// Fields of the spreadsheet files the program writes (Italian convention:
// ";" between fields, decimal comma).

#include <string>

namespace acquenza {

// "-12,50", "7", "0,0025": what a spreadsheet reads as a number.
bool IsCsvNumber(const std::string& text);

// A text starting with = + - @ (or a tab or a carriage return) would be run
// by the spreadsheet as a formula: it goes behind an apostrophe, which the
// spreadsheet shows as text. Numbers, negative ones too, stay numbers. "a ; b"
// would split the field: such a field goes between quotes.
std::string CsvField(const std::string& text);

}  // namespace acquenza
