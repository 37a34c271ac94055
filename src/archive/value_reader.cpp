#include "value_reader.h"

#include <charconv>
#include <cmath>

namespace acquenza {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

void ValueReader::SkipBlanks() {
    while (pos_ < data_.size() && IsBlank(data_[pos_])) {
        ++pos_;
    }
}

bool ValueReader::AtLineEnd() const {
    return pos_ < data_.size() && (data_[pos_] == '\r' || data_[pos_] == '\n');
}

void ValueReader::ConsumeDelimiter() {
    afterComma_ = false;
    if (pos_ >= data_.size()) {
        return;
    }
    if (data_[pos_] == ',') {
        ++pos_;
        afterComma_ = true;
        return;
    }
    if (data_[pos_] == '\r') {
        ++pos_;
        if (pos_ < data_.size() && data_[pos_] == '\n') {
            ++pos_;
        }
        ++line_;
    } else if (data_[pos_] == '\n') {
        ++pos_;
        ++line_;
    }
}

std::optional<RawValue> ValueReader::Next() {
    SkipBlanks();
    RawValue value;
    value.line = line_;
    if (pos_ >= data_.size()) {
        if (!afterComma_) {
            return std::nullopt;
        }
        // A comma at the very end still promised a value: an empty one.
        afterComma_ = false;
        return value;
    }
    if (data_[pos_] == '"') {
        const std::size_t close = data_.find('"', pos_ + 1);
        if (close == std::string_view::npos) {
            openQuote_ = true;
            return std::nullopt;
        }
        value.kind = RawValue::Kind::Quoted;
        value.bytes = std::string(data_.substr(pos_ + 1, close - pos_ - 1));
        for (const char c : value.bytes) {
            line_ += c == '\n' ? 1 : 0;
        }
        pos_ = close + 1;
        // Anything between the closing quote and the delimiter is dropped.
        while (pos_ < data_.size() && data_[pos_] != ',' && !AtLineEnd()) {
            ++pos_;
        }
    } else {
        const std::size_t start = pos_;
        while (pos_ < data_.size() && data_[pos_] != ',' && !AtLineEnd()) {
            ++pos_;
        }
        std::size_t end = pos_;
        while (end > start && IsBlank(data_[end - 1])) {
            --end;
        }
        if (end > start) {
            value.kind = RawValue::Kind::Bare;
            value.bytes = std::string(data_.substr(start, end - start));
        }
    }
    ConsumeDelimiter();
    return value;
}

std::optional<double> ParseBareNumber(std::string_view text) {
    // A leading "0" keeps ".5" parseable and changes no other value.
    std::string plain = "0";
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool anyDigit = false;
    while (i < text.size() && IsDigit(text[i])) {
        plain += text[i++];
        anyDigit = true;
    }
    if (i < text.size() && text[i] == '.') {
        plain += text[i++];
        while (i < text.size() && IsDigit(text[i])) {
            plain += text[i++];
            anyDigit = true;
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        plain += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            plain += text[i++];
        }
        bool exponentDigit = false;
        while (i < text.size() && IsDigit(text[i])) {
            plain += text[i++];
            exponentDigit = true;
        }
        if (!exponentDigit) {
            return std::nullopt;
        }
    }
    if (i != text.size()) {
        return std::nullopt;
    }
    double value = 0;
    const auto [ptr, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (ec != std::errc() || ptr != plain.data() + plain.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

}  // namespace acquenza
