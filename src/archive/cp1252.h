#pragma once
// Windows-1252, the 8-bit character set of the project data file. Inside the
// program text is UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace acquenza {

// UTF-8 to Windows-1252; nullopt when a character has no Windows-1252 byte or
// the input is not valid UTF-8.
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);

// Windows-1252 to UTF-8. The five bytes Windows leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same value, as
// Windows itself converts them, so every byte survives a round trip.
std::string Cp1252ToUtf8(std::string_view bytes);

// True when every character of the UTF-8 text can be stored in the data file.
bool IsCp1252Representable(std::string_view utf8);

// The first character of the UTF-8 text that Windows-1252 lacks (U+FFFD for
// bytes that are not UTF-8), or nullopt when there is none.
std::optional<char32_t> FirstNonCp1252(std::string_view utf8);

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view bytes);

// The text of a file that this program wrote in Windows-1252 or that an
// editor saved as UTF-8. It is taken as UTF-8 when it is valid UTF-8 and holds
// at least one non-ASCII character (a leading byte-order mark is dropped):
// Italian text in Windows-1252 is practically never valid UTF-8, since an
// accented letter there is a single byte followed by plain ASCII. A file
// with a UTF-16 byte-order mark, or whose first character is ASCII with a
// zero byte beside it (which no file in Windows-1252 starts with), is UTF-16
// as Windows editors save "Unicode" text; what it does not encode properly
// becomes U+FFFD. Anything else is Windows-1252.
struct DecodedText {
    std::string utf8;
    bool wasUtf8 = false;
    bool wasUtf16 = false;
};
DecodedText DecodeUtf8OrCp1252(std::string_view bytes);

}  // namespace acquenza
