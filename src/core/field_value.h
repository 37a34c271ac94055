#pragma once
// One field of a section: nothing (never set), a text, or a number.
//
// The distinction matters beyond display: the data file writes nothing, a
// quoted text and a bare number differently, and the calculation treats the
// empty text and nothing alike while a number is never empty.

#include <string>
#include <string_view>
#include <variant>

namespace acquenza {

class FieldValue {
  public:
    FieldValue() = default;
    static FieldValue Text(std::string_view text) { return FieldValue(std::string(text)); }
    static FieldValue Number(double value) { return FieldValue(value); }

    bool IsNothing() const { return std::holds_alternative<std::monostate>(value_); }
    bool IsText() const { return std::holds_alternative<std::string>(value_); }
    bool IsNumber() const { return std::holds_alternative<double>(value_); }

    // Nothing or the empty text; a number is never empty.
    bool IsEmpty() const {
        return IsNothing() || (IsText() && std::get<std::string>(value_).empty());
    }

    // The stored text; empty unless IsText().
    const std::string& TextValue() const;
    // The stored number; 0 unless IsNumber().
    double NumberValue() const { return IsNumber() ? std::get<double>(value_) : 0.0; }

    // What a box shows for this field: the text, NumberText of a number, or "".
    std::string DisplayText() const;

    bool operator==(const FieldValue&) const = default;

  private:
    explicit FieldValue(std::string text) : value_(std::move(text)) {}
    explicit FieldValue(double number) : value_(number) {}

    std::variant<std::monostate, std::string, double> value_;
};

}  // namespace acquenza
