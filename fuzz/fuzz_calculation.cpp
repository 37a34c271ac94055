// Any section the user can type: the calculation ends quickly and agrees bit
// for bit with the literal one-millimetre loop. Input: the texts of length,
// initial and final elevation, flow along and flow at the end, then the pipe
// type, separated by '|'.

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/section_calculation.h"
#include "support/literal_calculation.h"

using namespace acquenza;

namespace {

bool Same(const FieldValue& a, const FieldValue& b) {
    if (a.IsNumber() && b.IsNumber()) {
        const double x = a.NumberValue();
        const double y = b.NumberValue();
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    return a == b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '|' && parts.size() < 6) {
            parts.emplace_back();
        } else {
            parts.back() += static_cast<char>(data[i]);
        }
    }
    parts.resize(6);
    const Field fields[] = {Field::lungh,  Field::quotain, Field::quotafin,
                            Field::portun, Field::portfin, Field::tipoc};
    Project fast;
    for (int i = 0; i < 6; ++i) {
        fast.sections.Set(1, fields[i], FieldValue::Text(parts[static_cast<size_t>(i)]));
    }
    if (!parts[5].empty()) {
        fast.sections.Set(1, Field::sca, FieldValue::Number(parts[5] == "nuova" ? 0.0025 : 0.004));
    }
    Project literal = fast;
    const CalculationOutcome a = CalculateSection(fast, 1);
    const CalculationOutcome b = testing::CalculateSectionLiteral(literal, 1);
    if (a != b) {
        std::abort();
    }
    for (const Field f : {Field::per, Field::dia, Field::vel}) {
        if (!Same(fast.sections.Get(1, f), literal.sections.Get(1, f))) {
            std::abort();
        }
    }
    for (int k = 1; k <= SegmentCount; ++k) {
        const SegmentCell x = fast.sections.Segment(1, k);
        const SegmentCell y = literal.sections.Segment(1, k);
        if (std::memcmp(&x, &y, sizeof x) != 0) {
            std::abort();
        }
    }
    return 0;
}
