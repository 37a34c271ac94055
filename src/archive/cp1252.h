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

}  // namespace acquenza
