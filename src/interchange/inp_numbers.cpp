#include "interchange/inp_numbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace acquenza::interchange {

std::string FormatNumber(double value) {
    if (value == 0) {
        return "0";  // also for -0, which EPANET's readers need not see
    }
    // std::to_chars never looks at the locale, and without a precision it
    // writes the shortest digits that round-trip.
    std::array<char, 64> fixed{};
    const auto f =
        std::to_chars(fixed.data(), fixed.data() + fixed.size(), value, std::chars_format::fixed);
    if (f.ec == std::errc() && f.ptr - fixed.data() <= 24) {
        return std::string(fixed.data(), f.ptr);
    }
    std::array<char, 64> general{};
    const auto g = std::to_chars(general.data(), general.data() + general.size(), value);
    return std::string(general.data(), g.ptr);
}

std::optional<double> ParseNumber(std::string_view text) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
            return std::nullopt;
        }
    }
    if (text.empty()) {
        return std::nullopt;
    }
    // from_chars reads "nan" and "inf" too; no network value may be either.
    const char first = text.front() == '-' && text.size() > 1 ? text[1] : text.front();
    if (first != '.' && (first < '0' || first > '9')) {
        return std::nullopt;
    }
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace acquenza::interchange
