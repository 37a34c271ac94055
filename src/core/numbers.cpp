#include "numbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

namespace acquenza {

double RoundHalfUp(double x, double factor) {
    return std::floor(x * factor + 0.5) / factor;
}

namespace {

bool IsSkippedBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Walks the text the way the user's boxes are read: blanks anywhere are
// ignored, then sign, digits, one separator, digits, exponent. What is read is
// copied in plain C syntax so a locale-independent parser can finish the job.
class NumberScanner {
  public:
    NumberScanner(std::string_view text, char separator) : text_(text), separator_(separator) {}

    std::string Scan() {
        std::string out;
        char c = 0;
        if (Peek(c) && (c == '+' || c == '-')) {
            out += c;
            Advance();
        }
        bool anyDigit = CopyDigits(out);
        if (Peek(c) && c == separator_) {
            Advance();
            out += '.';
            anyDigit = CopyDigits(out) || anyDigit;
        }
        if (!anyDigit) {
            return {};
        }
        if (Peek(c) && (c == 'E' || c == 'e' || c == 'D' || c == 'd')) {
            const std::size_t mark = pos_;
            Advance();
            std::string exponent = "e";
            if (Peek(c) && (c == '+' || c == '-')) {
                exponent += c;
                Advance();
            }
            if (CopyDigits(exponent)) {
                out += exponent;
            } else {
                pos_ = mark;
            }
        }
        return out;
    }

  private:
    bool Peek(char& c) {
        while (pos_ < text_.size() && IsSkippedBlank(text_[pos_])) {
            ++pos_;
        }
        if (pos_ >= text_.size()) {
            return false;
        }
        c = text_[pos_];
        return true;
    }

    void Advance() { ++pos_; }

    bool CopyDigits(std::string& out) {
        bool any = false;
        char c = 0;
        while (Peek(c) && IsDigit(c)) {
            out += c;
            Advance();
            any = true;
        }
        return any;
    }

    std::string_view text_;
    char separator_;
    std::size_t pos_ = 0;
};

double ParseScanned(const std::string& scanned) {
    if (scanned.empty()) {
        return 0.0;
    }
    const char* first = scanned.data();
    const char* last = first + scanned.size();
    const bool negative = *first == '-';
    if (*first == '+' || *first == '-') {
        ++first;
    }
    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone here; decide between overflow and
        // underflow from the exponent of the leading digit.
        const std::string_view digits(first, static_cast<std::size_t>(last - first));
        const std::size_t e = digits.find('e');
        const std::string_view mantissa = digits.substr(0, e);
        long long exponent = 0;
        if (e != std::string_view::npos) {
            const char* ef = digits.data() + e + 1;
            if (*ef == '+') {
                ++ef;
            }
            std::from_chars(ef, digits.data() + digits.size(), exponent);
        }
        const std::size_t point = mantissa.find('.');
        const std::size_t firstNonZero = mantissa.find_first_not_of("0.");
        long long magnitude = exponent;
        if (firstNonZero != std::string_view::npos) {
            const std::size_t intEnd = point == std::string_view::npos ? mantissa.size() : point;
            magnitude += static_cast<long long>(intEnd) - static_cast<long long>(firstNonZero);
        }
        value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (ec != std::errc() || ptr != last) {
        return 0.0;
    }
    return negative ? -value : value;
}

// Shortest digits (1 to 15 significant) that read back as |x|, in the form
// "d.ddde[+-]xx". to_chars and from_chars ignore the C locale, which the
// toolkit sets from the user's environment (an Italian one writes commas).
std::string ShortestScientific(double x) {
    std::array<char, 64> buf{};
    const auto shortest =
        std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::scientific);
    std::string text(buf.data(), shortest.ptr);
    const std::size_t e = text.find('e');
    const std::size_t significant = e - (text.find('.') < e ? 1 : 0);
    if (significant <= 15) {
        return text;
    }
    // Past 15 digits, round to 15 as the boxes have always shown, unless that
    // rounds beyond the largest double: such a text would read back as
    // infinity, so the exact digits stay.
    const auto rounded =
        std::to_chars(buf.data(), buf.data() + buf.size(), x, std::chars_format::scientific, 14);
    double back = 0;
    if (std::from_chars(buf.data(), rounded.ptr, back).ec != std::errc()) {
        return text;
    }
    return std::string(buf.data(), rounded.ptr);
}

std::string FormatNumber(double x, char separator) {
    if (!std::isfinite(x)) {
        return {};
    }
    if (x == 0.0) {
        return "0";
    }
    std::string out;
    if (x < 0) {
        out = "-";
        x = -x;
    }
    // Split "d.ddde+xx" into its significant digits and decimal exponent.
    const std::string sci = ShortestScientific(x);
    const std::size_t e = sci.find('e');
    std::string digits;
    for (std::size_t i = 0; i < e; ++i) {
        if (IsDigit(sci[i])) {
            digits += sci[i];
        }
    }
    int exponent = 0;
    std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(),
                    exponent);
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    const int count = static_cast<int>(digits.size());

    if (x >= 1e-4 && x < 1e15) {
        if (exponent >= count - 1) {
            out += digits;
            out.append(static_cast<std::size_t>(exponent - (count - 1)), '0');
        } else if (exponent >= 0) {
            out += digits.substr(0, static_cast<std::size_t>(exponent + 1));
            out += separator;
            out += digits.substr(static_cast<std::size_t>(exponent + 1));
        } else {
            out += '0';
            out += separator;
            out.append(static_cast<std::size_t>(-exponent - 1), '0');
            out += digits;
        }
        return out;
    }
    // Integer mantissa: value = digits * 10^(exponent - count + 1).
    const int scaled = exponent - (count - 1);
    out += digits;
    out += 'E';
    out += scaled < 0 ? '-' : '+';
    const int magnitude = scaled < 0 ? -scaled : scaled;
    if (magnitude < 10) {
        out += '0';
    }
    out += std::to_string(magnitude);
    return out;
}

}  // namespace

double PointValue(std::string_view text) {
    return ParseScanned(NumberScanner(text, '.').Scan());
}

double FlowValue(std::string_view text) {
    return ParseScanned(NumberScanner(text, ',').Scan());
}

std::string DotToComma(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c == '.') {
            c = ',';
        }
    }
    return out;
}

std::size_t CharLength(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) {
        // Count every byte that does not continue a multi-byte sequence.
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) {
            ++count;
        }
    }
    return count;
}

int IntegerDigits(std::string_view text) {
    std::string absolute;
    const double value = PointValue(text);
    if (value < 0) {
        absolute = NumberText(-value);
        text = absolute;
    }
    const std::size_t stop = text.find_first_of(",.");
    return static_cast<int>(CharLength(text.substr(0, stop)));
}

namespace {

// Where a typed text stands on the road to a number: the part reached after
// its last character, and whether that part holds a digit yet.
struct NumberProgress {
    enum class Part { Sign, Whole, Fraction, ExponentSign, Exponent };
    bool onTheRoad = true;  // every character could continue a number
    Part part = Part::Sign;
    bool mantissaDigit = false;
    bool exponentDigit = false;
};

NumberProgress WalkNumber(std::string_view text, bool flow) {
    using Part = NumberProgress::Part;
    NumberProgress p;
    for (const char c : text) {
        if (IsSkippedBlank(c)) {
            continue;
        }
        const bool separator = c == '.' || (flow && c == ',');
        if (IsDigit(c)) {
            if (p.part == Part::Sign) {
                p.part = Part::Whole;
            } else if (p.part == Part::ExponentSign) {
                p.part = Part::Exponent;
            }
            (p.part == Part::Exponent ? p.exponentDigit : p.mantissaDigit) = true;
        } else if ((c == '+' || c == '-') &&
                   (p.part == Part::Sign || p.part == Part::ExponentSign)) {
            p.part = p.part == Part::Sign ? Part::Whole : Part::Exponent;
        } else if (separator && (p.part == Part::Sign || p.part == Part::Whole)) {
            p.part = Part::Fraction;
        } else if ((c == 'E' || c == 'e' || c == 'D' || c == 'd') && p.mantissaDigit &&
                   (p.part == Part::Whole || p.part == Part::Fraction)) {
            p.part = Part::ExponentSign;
        } else {
            p.onTheRoad = false;
            break;
        }
    }
    return p;
}

}  // namespace

bool IsNumberPrefix(std::string_view text, bool flow) {
    return WalkNumber(text, flow).onTheRoad;
}

bool IsWholeNumber(std::string_view text, bool flow) {
    const NumberProgress p = WalkNumber(text, flow);
    using Part = NumberProgress::Part;
    const bool exponentOpen =
        p.part == Part::ExponentSign || (p.part == Part::Exponent && !p.exponentDigit);
    return p.onTheRoad && p.mantissaDigit && !exponentOpen;
}

std::string FormatFixed2(double x, int width) {
    const double hundredths = std::floor(x * 100 + 0.5);
    std::string out;
    if (!std::isfinite(hundredths)) {
        out = NumberText(hundredths);
    } else {
        // Composed in one buffer and copied once: GCC's -O3 warns falsely
        // about overlapping copies in front-inserts on std::string.
        const bool negative = hundredths < 0;
        std::array<char, 400> digits{};
        const auto [end, ec] =
            std::to_chars(digits.data(), digits.data() + digits.size(),
                          negative ? -hundredths : hundredths, std::chars_format::fixed, 0);
        const std::size_t count =
            ec == std::errc() ? static_cast<std::size_t>(end - digits.data()) : 0;
        std::array<char, 410> text{};
        std::size_t n = 0;
        if (negative) {
            text[n++] = '-';
        }
        const std::size_t whole = count > 2 ? count - 2 : 0;
        for (std::size_t i = 0; i < whole; ++i) {
            text[n++] = digits[i];
        }
        if (whole == 0) {
            text[n++] = '0';
        }
        text[n++] = '.';
        // The last two digits, with leading zeros below ten hundredths.
        for (std::size_t i = count; i < 2; ++i) {
            text[n++] = '0';
        }
        for (std::size_t i = whole; i < count; ++i) {
            text[n++] = digits[i];
        }
        out.assign(text.data(), n);
    }
    if (width > 0 && out.size() < static_cast<std::size_t>(width)) {
        std::string padded(static_cast<std::size_t>(width) - out.size(), ' ');
        padded += out;
        return padded;
    }
    return out;
}

std::string NumberText(double x) {
    return FormatNumber(x, ',');
}

std::string SignedText(double x) {
    std::string text = FormatNumber(x, '.');
    if (x < 0 || text.empty()) {
        return text;
    }
    std::string signedText(1, ' ');
    signedText += text;
    return signedText;
}

}  // namespace acquenza
