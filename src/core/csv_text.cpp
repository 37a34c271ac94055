#include "csv_text.h"

#include <string_view>

namespace acquenza {

bool IsCsvNumber(const std::string& text) {
    std::size_t i = text.starts_with('-') ? 1 : 0;
    const std::size_t digits = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        ++i;
    }
    if (i == digits) {
        return false;
    }
    if (i < text.size() && text[i] == ',') {
        const std::size_t decimals = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            ++i;
        }
        if (i == decimals) {
            return false;
        }
    }
    return i == text.size();
}

std::string CsvField(const std::string& text) {
    std::string field = text;
    if (!field.empty() && std::string_view("=+-@\t\r").find(field.front()) != std::string::npos &&
        !IsCsvNumber(field)) {
        field.insert(0, 1, '\'');
    }
    if (field.find_first_of(";\"\r\n") == std::string::npos) {
        return field;
    }
    std::string quoted = "\"";
    for (const char c : field) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    return quoted + "\"";
}

}  // namespace acquenza
