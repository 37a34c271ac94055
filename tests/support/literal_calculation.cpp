#include "support/literal_calculation.h"

#include <array>
#include <cmath>

#include "core/numbers.h"

namespace acquenza::testing {

CalculationOutcome CalculateSectionLiteral(Project& project, int section) {
    const std::optional<SectionInputs> read = ReadSectionInputs(project.sections, section);
    if (!read) {
        return CalculationOutcome::Incomplete;
    }
    const SectionInputs in = *read;
    auto fail = [&] {
        project.sections.Clear(section, Field::per);
        project.sections.Clear(section, Field::dia);
        project.sections.Clear(section, Field::vel);
        project.sections.ClearMap(section);
        return CalculationOutcome::NoSolution;
    };
    const double dz = (in.zStart - in.zEnd) / 14;
    if (!std::isfinite(in.length) || !std::isfinite(in.zStart) || !std::isfinite(in.zEnd) ||
        !std::isfinite(in.flowAlong) || !std::isfinite(in.flowEnd) ||
        !std::isfinite(in.roughness) || !(dz > 0)) {
        return fail();
    }
    double d = 0;
    int steps = 0;
    double z = in.zStart;
    double h = 0;
    double q = 0;
    std::array<SegmentCell, 15> map{};
    for (int k = 1; k <= 14; ++k) {
        q = in.flowEnd + in.flowAlong - (k - 1) * in.flowAlong / 14;
        if (d == 0) {
            d = 0.001;
        }
        double y = (in.roughness * in.length / 14) * std::pow(q / 1000, 2) / std::pow(d, 5);
        if (std::isnan(y)) {
            return fail();  // the loop would accept a loss that is not a number
        }
        while (y >= dz) {
            if (steps + 1 >= MaxDiameterSteps) {
                return fail();
            }
            d += 0.001;
            ++steps;
            y = (in.roughness * in.length / 14) * std::pow(q / 1000, 2) / std::pow(d, 5);
        }
        map[static_cast<std::size_t>(k)] = {z, z - dz, q, y};
        h += y;
        if (k < 14) {
            z -= dz;
        }
    }
    const double v = q / ((d / 2) * d / 2 * 3.14) / 1000;
    SegmentMap cells{};
    for (int k = 1; k <= 14; ++k) {
        cells[static_cast<std::size_t>(k)] = map[static_cast<std::size_t>(k)];
    }
    project.sections.SetMap(section, cells);
    project.sections.Set(section, Field::per, FieldValue::Number(std::floor(h * 100 + 0.5) / 100));
    project.sections.Set(section, Field::dia, FieldValue::Number(std::floor(d * 1000 + 0.5) / 10));
    project.sections.Set(section, Field::vel, FieldValue::Number(std::floor(v * 100 + 0.5) / 100));
    return CalculationOutcome::Calculated;
}

}  // namespace acquenza::testing
