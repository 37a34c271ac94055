#include "decimal_text.h"

#include <charconv>
#include <cmath>

#include "numbers.h"

namespace acquenza {

std::string DecimalText(double x, int decimals) {
    if (!std::isfinite(x)) {
        return "—";
    }
    static constexpr double Factors[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6};
    decimals = decimals < 0 ? 0 : (decimals > 6 ? 6 : decimals);
    const double factor = Factors[decimals];
    double rounded = RoundHalfUp(x, factor);
    if (!std::isfinite(rounded)) {
        rounded = x;  // too large to scale: already whole at any count of decimals
    }
    if (rounded == 0) {
        rounded = 0;  // no "-0,00"
    }
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    for (char& c : text) {
        if (c == '.') {
            c = ',';
        }
    }
    return text;
}

}  // namespace acquenza
