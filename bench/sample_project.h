#pragma once
// A realistic project of n sections for the benchmarks: a main falling from
// 600 m with flows drawn along the way, the kind of network the program sizes.

#include <cmath>
#include <string>

#include "core/numbers.h"
#include "core/project.h"

namespace acquenza::bench {

inline Project SampleProject(int n) {
    Project p;
    for (int s = 1; s <= n; ++s) {
        // Elevations as typed, to the decimetre.
        const auto decimetres = [](double x) { return std::round(x * 10) / 10; };
        const double top = decimetres(600 - 1.1 * (s - 1));
        auto text = [](const std::string& t) { return FieldValue::Text(t); };
        p.sections.Set(s, Field::lungh, text(std::to_string(80 + (s * 37) % 400)));
        p.sections.Set(s, Field::quotain, text(SignedText(top).substr(1)));
        p.sections.Set(s, Field::quotafin, text(SignedText(decimetres(top - 1.1)).substr(1)));
        p.sections.Set(s, Field::portun, text(NumberText(0.5 + (s % 9) * 0.37)));
        p.sections.Set(s, Field::abitun, text(std::to_string(100 + s)));
        p.sections.Set(s, Field::dotazun, FieldValue::Number(250));
        p.sections.Set(s, Field::portfin, text(NumberText(1.0 + (s % 13) * 0.8)));
        p.sections.Set(s, Field::abitfin, text(""));
        p.sections.Set(s, Field::dotazfin, text(""));
        p.sections.Set(s, Field::tipoc, text(s % 3 == 0 ? "in uso" : "nuova"));
        p.sections.Set(s, Field::sca, FieldValue::Number(s % 3 == 0 ? 0.004 : 0.0025));
    }
    p.enteredSectionCount = n;
    return p;
}

}  // namespace acquenza::bench
