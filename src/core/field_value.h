#pragma once
// One field of a section: nothing (never set), a text, a number, or a
// reference to another section.
//
// The distinction matters beyond display: the data file writes nothing, a
// quoted text and a bare number differently, and the calculation treats the
// empty text and nothing alike while a number is never empty.

#include <string>
#include <string_view>
#include <variant>

#include "section_id.h"

namespace acquenza {

class FieldValue {
  public:
    FieldValue() = default;
    static FieldValue Text(std::string_view text) { return FieldValue(std::string(text)); }
    static FieldValue Number(double value) { return FieldValue(value); }
    // Another section, by its id: the reference follows the section when
    // deletes renumber it, and the table tells its number now.
    static FieldValue Reference(SectionId section) { return FieldValue(section); }

    bool IsNothing() const { return std::holds_alternative<std::monostate>(value_); }
    bool IsText() const { return std::holds_alternative<std::string>(value_); }
    bool IsNumber() const { return std::holds_alternative<double>(value_); }
    bool IsReference() const { return std::holds_alternative<SectionId>(value_); }

    // Nothing or the empty text; a number or a reference is never empty.
    bool IsEmpty() const {
        return IsNothing() || (IsText() && std::get<std::string>(value_).empty());
    }

    // The stored text; empty unless IsText().
    const std::string& TextValue() const;
    // The stored number; 0 unless IsNumber().
    double NumberValue() const { return IsNumber() ? std::get<double>(value_) : 0.0; }
    // The section referred to; NoSection unless IsReference().
    SectionId ReferenceValue() const {
        return IsReference() ? std::get<SectionId>(value_) : NoSection;
    }

    // What a box shows for this field: the text, NumberText of a number, or
    // "" (a reference shows as its section's number, which the table knows).
    std::string DisplayText() const;

    bool operator==(const FieldValue&) const = default;

  private:
    explicit FieldValue(std::string text) : value_(std::move(text)) {}
    explicit FieldValue(double number) : value_(number) {}
    explicit FieldValue(SectionId section) : value_(section) {}

    std::variant<std::monostate, std::string, double, SectionId> value_;
};

}  // namespace acquenza
