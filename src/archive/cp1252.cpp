#include "cp1252.h"

#include <algorithm>
#include <array>

namespace acquenza {

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the set is Latin-1.
constexpr std::array<char32_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<unsigned char> ByteFor(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
        return static_cast<unsigned char>(cp);
    }
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == cp) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

// Decodes one UTF-8 sequence at text[pos]; nullopt for malformed input.
std::optional<char32_t> DecodeUtf8(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (pos + static_cast<std::size_t>(extra) >= text.size()) {
        return std::nullopt;
    }
    for (int i = 1; i <= extra; ++i) {
        const auto c = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(i)]);
        if ((c & 0xC0) != 0x80) {
            return std::nullopt;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    static constexpr std::array<char32_t, 4> minimum = {0, 0x80, 0x800, 0x10000};
    if (cp < minimum[static_cast<std::size_t>(extra)] || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        return std::nullopt;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

constexpr char32_t Replacement = 0xFFFD;

// Whether the bytes are UTF-16, and in which byte order; how many bytes of
// byte-order mark to skip.
enum class Utf16 { No, Little, Big };
Utf16 Utf16Order(std::string_view bytes, std::size_t& skip) {
    skip = 0;
    if (bytes.size() < 2) {
        return Utf16::No;
    }
    const auto b0 = static_cast<unsigned char>(bytes[0]);
    const auto b1 = static_cast<unsigned char>(bytes[1]);
    if (b0 == 0xFF && b1 == 0xFE) {
        skip = 2;
        return Utf16::Little;
    }
    if (b0 == 0xFE && b1 == 0xFF) {
        skip = 2;
        return Utf16::Big;
    }
    if (b0 != 0 && b0 < 0x80 && b1 == 0) {
        return Utf16::Little;
    }
    if (b0 == 0 && b1 != 0 && b1 < 0x80) {
        return Utf16::Big;
    }
    return Utf16::No;
}

std::string Utf16ToUtf8(std::string_view bytes, Utf16 order) {
    std::string out;
    out.reserve(bytes.size());
    const auto unit = [&](std::size_t i) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char32_t>(order == Utf16::Little ? a | b << 8 : a << 8 | b);
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? Replacement : u);
    }
    if (i < bytes.size()) {
        AppendUtf8(out, Replacement);  // half a character at the end
    }
    return out;
}

}  // namespace

std::optional<std::string> Utf8ToCp1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::optional<char32_t> cp = DecodeUtf8(utf8, pos);
        if (!cp) {
            return std::nullopt;
        }
        const std::optional<unsigned char> byte = ByteFor(*cp);
        if (!byte) {
            return std::nullopt;
        }
        out += static_cast<char>(*byte);
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? HighControls[b - 0x80u] : char32_t{b});
    }
    return out;
}

bool IsCp1252Representable(std::string_view utf8) {
    return Utf8ToCp1252(utf8).has_value();
}

std::optional<char32_t> FirstNonCp1252(std::string_view utf8) {
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::optional<char32_t> cp = DecodeUtf8(utf8, pos);
        if (!cp) {
            return Replacement;
        }
        if (!ByteFor(*cp)) {
            return cp;
        }
    }
    return std::nullopt;
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        if (!DecodeUtf8(bytes, pos)) {
            return false;
        }
    }
    return true;
}

DecodedText DecodeUtf8OrCp1252(std::string_view bytes) {
    std::size_t skip = 0;
    if (const Utf16 order = Utf16Order(bytes, skip); order != Utf16::No) {
        return {Utf16ToUtf8(bytes.substr(skip), order), false, true};
    }
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    const bool marked = bytes.starts_with(ByteOrderMark);
    const bool nonAscii = std::any_of(bytes.begin(), bytes.end(),
                                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    if (nonAscii && IsValidUtf8(bytes)) {
        return {std::string(marked ? bytes.substr(ByteOrderMark.size()) : bytes), true, false};
    }
    return {Cp1252ToUtf8(bytes), false, false};
}

}  // namespace acquenza
