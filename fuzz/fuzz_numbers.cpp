// Any text typed into a box: the readers never crash, and the number texts
// they produce read back to the value (to the 15 digits the boxes show).

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/numbers.h"

using namespace acquenza;

namespace {

void CheckReadsBack(double x) {
    if (!std::isfinite(x)) {
        return;
    }
    const std::string text = NumberText(x);
    const double back = FlowValue(text);
    if (x != back && std::abs(x - back) > 1e-14 * std::abs(x)) {
        std::abort();
    }
    const std::string fixed = FormatFixed2(std::abs(x), 12);
    if (fixed.size() < 12) {
        std::abort();
    }
    (void)IntegerDigits(text);
    (void)SignedText(x);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckReadsBack(PointValue(text));
    CheckReadsBack(FlowValue(text));
    if (DotToComma(text).size() != text.size()) {
        std::abort();
    }
    (void)IntegerDigits(text);
    (void)CharLength(text);
    if (size >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, data, sizeof raw);
        CheckReadsBack(raw);
    }
    return 0;
}
