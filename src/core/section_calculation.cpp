#include "section_calculation.h"

#include <array>
#include <cmath>
#include <memory>
#include <utility>

#include "numbers.h"

namespace acquenza {

namespace {

// Diameters reached by repeated addition and their fifth powers. The loss is
// evaluated exactly as the one-millimetre loop evaluates it, so a binary search
// over this table lands on the very diameter the loop would stop at.
struct DiameterTable {
    std::array<double, MaxDiameterSteps> diameter{};
    std::array<double, MaxDiameterSteps> fifthPower{};

    DiameterTable() {
        double d = DiameterStep;
        for (int i = 0; i < MaxDiameterSteps; ++i) {
            diameter[static_cast<std::size_t>(i)] = d;
            fifthPower[static_cast<std::size_t>(i)] = std::pow(d, 5);
            d += DiameterStep;
        }
    }
};

const DiameterTable& Diameters() {
    static const auto table = std::make_unique<DiameterTable>();
    return *table;
}

// First step index from `from` on whose loss is below the drop, or
// MaxDiameterSteps when none is. The loss falls as the diameter grows (the
// fifth powers increase), so "loss below the drop" switches once from false to
// true along the table.
int FirstSufficientStep(double lossFactor, double drop, int from, double& loss) {
    const DiameterTable& t = Diameters();
    auto lossAt = [&](int i) { return lossFactor / t.fifthPower[static_cast<std::size_t>(i)]; };
    loss = lossAt(from);
    if (loss < drop) {
        return from;  // the usual case after the first segment
    }
    int low = from + 1;
    int high = MaxDiameterSteps;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (lossAt(mid) < drop) {
            high = mid;
        } else {
            low = mid + 1;
        }
    }
    if (low < MaxDiameterSteps) {
        loss = lossAt(low);
    }
    return low;
}

bool AllFinite(const SectionInputs& in) {
    return std::isfinite(in.length) && std::isfinite(in.zStart) && std::isfinite(in.zEnd) &&
           std::isfinite(in.flowAlong) && std::isfinite(in.flowEnd) && std::isfinite(in.roughness);
}

void EmptyResults(Project& project, int section) {
    project.sections.Clear(section, Field::per);
    project.sections.Clear(section, Field::dia);
    project.sections.Clear(section, Field::vel);
    project.sections.ClearMap(section);
}

}  // namespace

std::optional<SectionInputs> ReadSectionInputs(const SectionTable& table, int section) {
    const SectionRecord& r = table.Record(section);
    if (r[Field::lungh].IsEmpty() || r[Field::sca].IsEmpty() || r[Field::tipoc].IsEmpty() ||
        r[Field::quotain].IsEmpty() || r[Field::quotafin].IsEmpty()) {
        return std::nullopt;
    }
    SectionInputs in;
    in.length = NumericValue(r[Field::lungh], Field::lungh);
    in.zStart = NumericValue(r[Field::quotain], Field::quotain);
    in.zEnd = NumericValue(r[Field::quotafin], Field::quotafin);
    in.flowAlong = EffectiveFlow(r[Field::portun]);
    in.flowEnd = EffectiveFlow(r[Field::portfin]);
    in.roughness = NumericValue(r[Field::sca], Field::sca);
    return in;
}

double EffectiveFlow(const FieldValue& flow) {
    const double point = flow.IsNumber() ? flow.NumberValue() : PointValue(flow.TextValue());
    if (point == 0 && CharLength(flow.DisplayText()) < 2) {
        return SmallFlowSubstitute;
    }
    return NumericValue(flow, Field::portun);
}

double AccumulatedDiameter(int steps) {
    return Diameters().diameter[static_cast<std::size_t>(steps)];
}

std::optional<DropSizing> SizeForSegmentDrop(double length, double flowAlong, double flowEnd,
                                             double roughness, double dropPerSegment) {
    const SectionInputs in{length, 0, 0, flowAlong, flowEnd, roughness};
    if (!AllFinite(in) || !std::isfinite(dropPerSegment) || !(dropPerSegment > 0)) {
        return std::nullopt;
    }
    // Evaluated in the calculation's order, so equal drops give equal steps
    // and the loss is summed as the calculation sums its segment map.
    const double lossCoefficient = roughness * length / SegmentCount;
    int step = 0;
    double total = 0;
    for (int k = 1; k <= SegmentCount; ++k) {
        const double flow = flowEnd + flowAlong - (k - 1) * flowAlong / SegmentCount;
        const double lossFactor = lossCoefficient * std::pow(flow / 1000, 2);
        if (std::isnan(lossFactor)) {
            return std::nullopt;
        }
        double loss = 0;
        step = FirstSufficientStep(lossFactor, dropPerSegment, step, loss);
        if (step >= MaxDiameterSteps) {
            return std::nullopt;
        }
        total += loss;
    }
    return DropSizing{AccumulatedDiameter(step), total};
}

CalculationOutcome SettleSection(Project& project, int section) {
    project.sections.Set(section, Field::sca,
                         RoughnessFor(project.sections.Get(section, Field::tipoc)));
    return CalculateSection(project, section);
}

namespace {

// The 14 segments sized one after the other, each from the diameter the one
// before it needed. False when no diameter up to MaxDiameterSteps is enough,
// or when no loss can be stated at all.
struct SegmentSizing {
    std::array<SegmentCell, SegmentCount + 1> cells{};
    int step = 0;
    double totalLoss = 0;
    double lastFlow = 0;
};

bool SizeSegments(const SectionInputs& in, double drop, SegmentSizing& out) {
    const double lossCoefficient = in.roughness * in.length / SegmentCount;
    double z = in.zStart;
    for (int k = 1; k <= SegmentCount; ++k) {
        const double flow = in.flowEnd + in.flowAlong - (k - 1) * in.flowAlong / SegmentCount;
        const double lossFactor = lossCoefficient * std::pow(flow / 1000, 2);
        if (std::isnan(lossFactor)) {
            // A zero length times a flow whose square overflows: no loss can
            // be stated, so no diameter either.
            return false;
        }
        double loss = 0;
        out.step = FirstSufficientStep(lossFactor, drop, out.step, loss);
        if (out.step >= MaxDiameterSteps) {
            return false;
        }
        out.cells[static_cast<std::size_t>(k)] = {z, z - drop, flow, loss};
        out.totalLoss += loss;
        out.lastFlow = flow;
        if (k < SegmentCount) {
            z -= drop;
        }
    }
    return true;
}

}  // namespace

CalculationOutcome CalculateSection(Project& project, int section) {
    if (!SectionTable::IsValidSection(section)) {
        return CalculationOutcome::Incomplete;
    }
    const std::optional<SectionInputs> read = ReadSectionInputs(project.sections, section);
    if (!read) {
        return CalculationOutcome::Incomplete;
    }
    const SectionInputs& in = *read;
    const double drop = (in.zStart - in.zEnd) / SegmentCount;
    SegmentSizing sized;
    if (!AllFinite(in) || !(drop > 0) || !SizeSegments(in, drop, sized)) {
        EmptyResults(project, section);
        return CalculationOutcome::NoSolution;
    }

    const double d = AccumulatedDiameter(sized.step);
    // 3.14 is the value of pi the program has always used here: the velocity
    // stays, to the last printed decimal, what engineers have always read.
    const double velocity = sized.lastFlow / ((d / 2) * d / 2 * 3.14) / 1000;
    project.sections.SetMap(section, sized.cells);
    project.sections.Set(section, Field::per,
                         FieldValue::Number(RoundHalfUp(sized.totalLoss, 100)));
    project.sections.Set(section, Field::dia, FieldValue::Number(std::floor(d * 1000 + 0.5) / 10));
    project.sections.Set(section, Field::vel, FieldValue::Number(RoundHalfUp(velocity, 100)));
    return CalculationOutcome::Calculated;
}

SizingObstacle FindSizingObstacle(const SectionTable& table, int section) {
    if (!SectionTable::IsValidSection(section)) {
        return {};
    }
    const SectionRecord& r = table.Record(section);
    if (r[Field::lungh].IsEmpty() || r[Field::quotain].IsEmpty() || r[Field::quotafin].IsEmpty() ||
        r[Field::tipoc].IsEmpty()) {
        return {};  // still being typed: what is missing is another matter
    }
    SectionInputs in;
    in.length = NumericValue(r[Field::lungh], Field::lungh);
    in.zStart = NumericValue(r[Field::quotain], Field::quotain);
    in.zEnd = NumericValue(r[Field::quotafin], Field::quotafin);
    in.flowAlong = EffectiveFlow(r[Field::portun]);
    in.flowEnd = EffectiveFlow(r[Field::portfin]);
    // The roughness the pipe type gives, whatever an older calculation left.
    in.roughness = RoughnessFor(r[Field::tipoc]).NumberValue();
    const std::pair<Field, double> values[] = {{Field::lungh, in.length},
                                               {Field::quotain, in.zStart},
                                               {Field::quotafin, in.zEnd},
                                               {Field::portun, in.flowAlong},
                                               {Field::portfin, in.flowEnd}};
    for (const auto& [field, value] : values) {
        if (!std::isfinite(value)) {
            return {SizingObstacle::Kind::NotFinite, field};
        }
    }
    // A length of zero would be "sized" with the smallest pipe there is.
    if (!(in.length > 0)) {
        return {SizingObstacle::Kind::NoLength, Field::lungh};
    }
    const double drop = (in.zStart - in.zEnd) / SegmentCount;
    if (!(drop > 0)) {
        return {SizingObstacle::Kind::NoDrop, Field::quotain};
    }
    SegmentSizing sized;
    if (!SizeSegments(in, drop, sized)) {
        return {SizingObstacle::Kind::NoDiameter, Field::portun};
    }
    return {};
}

}  // namespace acquenza
