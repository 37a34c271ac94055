#include "interchange/inp_text.h"

#include <array>
#include <cstdint>

#include "interchange/inp_network.h"

namespace acquenza::interchange {
namespace {

// Length of the UTF-8 sequence that starts at text[i], or 0 when the bytes
// there are not a well-formed sequence (overlong forms and surrogates too).
std::size_t SequenceLength(std::string_view text, std::size_t i) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t b0 = byte(i);
    if (b0 < 0x80) {
        return 1;
    }
    std::size_t n = 0;
    std::uint32_t min = 0;
    std::uint32_t cp = 0;
    if ((b0 & 0xE0) == 0xC0) {
        n = 2, min = 0x80, cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        n = 3, min = 0x800, cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        n = 4, min = 0x10000, cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + n > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (byte(i + k) & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return n;
}

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Windows-1252 0x80..0x9F; the five unassigned bytes keep their C1 code.
constexpr std::array<std::uint16_t, 32> Cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool IsControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

}  // namespace

bool IsUsCustomary(FlowUnits units) {
    switch (units) {
        case FlowUnits::CFS:
        case FlowUnits::GPM:
        case FlowUnits::MGD:
        case FlowUnits::IMGD:
        case FlowUnits::AFD:
            return true;
        default:
            return false;
    }
}

const char* FlowUnitsKeyword(FlowUnits units) {
    switch (units) {
        case FlowUnits::CFS:
            return "CFS";
        case FlowUnits::GPM:
            return "GPM";
        case FlowUnits::MGD:
            return "MGD";
        case FlowUnits::IMGD:
            return "IMGD";
        case FlowUnits::AFD:
            return "AFD";
        case FlowUnits::LPS:
            return "LPS";
        case FlowUnits::LPM:
            return "LPM";
        case FlowUnits::MLD:
            return "MLD";
        case FlowUnits::CMH:
            return "CMH";
        case FlowUnits::CMD:
            return "CMD";
    }
    return "LPS";
}

const char* HeadlossKeyword(HeadlossFormula formula) {
    switch (formula) {
        case HeadlossFormula::HazenWilliams:
            return "H-W";
        case HeadlossFormula::DarcyWeisbach:
            return "D-W";
        case HeadlossFormula::ChezyManning:
            return "C-M";
    }
    return "D-W";
}

bool IsValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = SequenceLength(text, i);
        if (n == 0) {
            return false;
        }
        i += n;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const char ch : text) {
        const auto b = static_cast<std::uint8_t>(ch);
        if (b < 0x80) {
            out += ch;
        } else if (b < 0xA0) {
            AppendUtf8(out, Cp1252High[b - 0x80]);
        } else {
            AppendUtf8(out, b);
        }
    }
    return out;
}

std::optional<std::string> IdentifierProblem(std::string_view id) {
    if (id.empty()) {
        return "è vuoto";
    }
    if (!IsValidUtf8(id)) {
        return "non è testo UTF-8 valido";
    }
    if (id.size() > MaxIdentifierBytes) {
        return "è più lungo di 31 caratteri (le lettere accentate contano due)";
    }
    for (const char ch : id) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == ' ' || IsControl(c)) {
            return "contiene spazi o caratteri di controllo";
        }
        if (c == ';' || c == '"') {
            return "contiene il carattere «" + std::string(1, ch) + "»";
        }
    }
    if (id.front() == '[') {
        return "inizia con «[»";
    }
    return std::nullopt;
}

std::string OneLineText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        out += IsControl(c) ? ' ' : ch == ';' ? ',' : ch;
    }
    const auto first = out.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    out = out.substr(first, out.find_last_not_of(' ') - first + 1);
    if (out.front() == '[') {
        out.front() = '(';
    }
    return out;
}

std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t end = maxBytes;
    while (end > 0 && (static_cast<std::uint8_t>(text[end]) & 0xC0) == 0x80) {
        --end;
    }
    return text.substr(0, end);
}

std::string AsciiUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

std::string Quoted(std::string_view name) {
    return "«" + std::string(name) + "»";
}

}  // namespace acquenza::interchange
