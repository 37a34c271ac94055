#pragma once
// Numbers in the Italian texts of the network: a fixed count of decimals, a
// decimal comma, rounded half up as every printed result of the program.

#include <string>

namespace acquenza {

// x rounded half up to `decimals` places (0 to 6), written with "," and
// without grouping: 163.6 -> "163,6" with 1, -0.004 -> "0,00" with 2. A
// value that is not finite gives "—".
std::string DecimalText(double x, int decimals);

}  // namespace acquenza
