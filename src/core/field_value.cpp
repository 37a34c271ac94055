#include "field_value.h"

#include "numbers.h"

namespace acquenza {

const std::string& FieldValue::TextValue() const {
    static const std::string empty;
    return IsText() ? std::get<std::string>(value_) : empty;
}

std::string FieldValue::DisplayText() const {
    if (IsNumber()) {
        return NumberText(NumberValue());
    }
    return TextValue();
}

}  // namespace acquenza
