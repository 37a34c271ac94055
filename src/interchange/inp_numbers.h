#pragma once

// Numbers in .inp files: always a decimal point, whatever the locale of the
// process, and enough digits that reading the text gives back the very same
// double.

#include <optional>
#include <string>
#include <string_view>

namespace acquenza::interchange {

// The shortest text that reads back as exactly `value` (fixed notation unless
// that would be long). `value` must be finite; -0 is written as 0.
std::string FormatNumber(double value);

// The whole of `text` as a finite number ("12", "-3.5", ".97", "1e-6",
// "+2"); nothing for anything else (including "nan", "inf", "1,5").
std::optional<double> ParseNumber(std::string_view text);

}  // namespace acquenza::interchange
