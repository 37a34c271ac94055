#include "head_loss.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "project.h"

namespace acquenza {

namespace {

constexpr double Ln10 = std::numbers::ln10;

// f(x) = x + 2 log10(a + b x) with x = 1/√f: Colebrook-White written so that
// its root is the one unknown. f rises with x and is concave, so Newton's
// method closes in from below once it is there; the bracket keeps a first step
// from leaving the domain (a + b x > 0) or overshooting.
double SolveColebrook(double reynolds, double relativeRoughness, double start) {
    const double a = relativeRoughness / 3.7;
    const double b = 2.51 / reynolds;
    auto value = [&](double x) { return x + 2 * std::log10(a + b * x); };
    double low = 0;     // value → 2 log10(a) < 0 as x → 0 (a < 1 for any real pipe)
    double high = 1e3;  // 1/√f = 1000 is f = 1e-6, far below any real pipe
    while (value(high) < 0 && high < 1e300) {
        high *= 2;
    }
    double x = (start > low && start < high) ? start : (low + high) / 2;
    for (int i = 0; i < 200; ++i) {
        const double fx = value(x);
        if (fx < 0) {
            low = x;
        } else if (fx > 0) {
            high = x;
        } else {
            return x;
        }
        const double slope = 1 + 2 * b / ((a + b * x) * Ln10);
        double next = x - fx / slope;
        if (!(next > low && next < high)) {
            next = low + (high - low) / 2;
        }
        if (std::abs(next - x) <= 4 * std::numeric_limits<double>::epsilon() * x) {
            return next;
        }
        x = next;
    }
    return x;
}

// Swamee-Jain's explicit approximation, only as Newton's starting point.
double SwameeJainInverseRoot(double reynolds, double relativeRoughness) {
    return -2 * std::log10(relativeRoughness / 3.7 + 5.74 / std::pow(reynolds, 0.9));
}

// The transition zone of EPANET's manual: a cubic in R = Re / 2000 that meets
// the laminar 64/Re at Re 2000 and the Swamee-Jain value at Re 4000, with
// the constants as the manual prints them.
double TransitionalFactor(double reynolds, double relativeRoughness) {
    const double r = reynolds / 2000;
    const double y2 = relativeRoughness / 3.7 + 5.74 / std::pow(reynolds, 0.9);
    const double y3 = -0.86859 * std::log(relativeRoughness / 3.7 + 5.74 / std::pow(4000.0, 0.9));
    const double fa = 1 / (y3 * y3);
    const double fb = fa * (2 - 0.00514215 / (y2 * y3));
    const double x1 = 7 * fa - fb;
    const double x2 = 0.128 - 17 * fa + 2.5 * fb;
    const double x3 = -0.128 + 13 * fa - 2 * fb;
    const double x4 = r * (0.032 - 3 * fa + 0.5 * fb);
    return x1 + r * (x2 + r * (x3 + x4));
}

double Sign(double x) {
    return x < 0 ? -1.0 : 1.0;
}

}  // namespace

double SegmentFlow(double flowEnd, double flowAlong, int segment) {
    return flowEnd + flowAlong - (segment - 1) * flowAlong / SegmentCount;
}

double Velocity(double flowLs, double diameterM) {
    return flowLs / 1000 / (std::numbers::pi * diameterM * diameterM / 4);
}

double ReynoldsNumber(double flowLs, double diameterM) {
    return std::abs(Velocity(flowLs, diameterM)) * diameterM / WaterViscosity10C;
}

double ColebrookWhite(double reynolds, double relativeRoughness) {
    const double x = SolveColebrook(reynolds, relativeRoughness,
                                    SwameeJainInverseRoot(reynolds, relativeRoughness));
    return 1 / (x * x);
}

double FrictionFactor(double reynolds, double relativeRoughness) {
    if (!(reynolds > 0)) {
        return 0;
    }
    if (reynolds < 2000) {
        return 64 / reynolds;
    }
    if (reynolds <= 4000) {
        return TransitionalFactor(reynolds, relativeRoughness);
    }
    return ColebrookWhite(reynolds, relativeRoughness);
}

std::optional<double> SectionHeadLoss(const LossModel& model, double length, double flowEnd,
                                      double flowAlong, double diameterM) {
    if (!std::isfinite(length) || !std::isfinite(flowEnd) || !std::isfinite(flowAlong) ||
        !std::isfinite(diameterM) || !(diameterM > 0)) {
        return std::nullopt;
    }
    double total = 0;
    if (model.formula == LossFormula::Coefficient) {
        if (!std::isfinite(model.coefficient)) {
            return std::nullopt;
        }
        // Evaluated in the calculation's order, so a section's loss at its own
        // diameter is its segment map's to the last bit.
        const double lossCoefficient = model.coefficient * length / SegmentCount;
        const double fifth = std::pow(diameterM, 5);
        for (int k = 1; k <= SegmentCount; ++k) {
            const double flow = SegmentFlow(flowEnd, flowAlong, k);
            total += Sign(flow) * (lossCoefficient * std::pow(flow / 1000, 2) / fifth);
        }
    } else {
        if (!std::isfinite(model.roughnessMm) || model.roughnessMm < 0) {
            return std::nullopt;
        }
        const double relative = model.roughnessMm / 1000 / diameterM;
        const double segmentLength = length / SegmentCount;
        double start = 0;  // the previous segment's 1/√f: flows differ little
        for (int k = 1; k <= SegmentCount; ++k) {
            const double flow = SegmentFlow(flowEnd, flowAlong, k);
            const double v = Velocity(flow, diameterM);
            const double re = std::abs(v) * diameterM / WaterViscosity10C;
            double f = 0;
            if (re > 4000) {
                const double x = SolveColebrook(
                    re, relative, start > 0 ? start : SwameeJainInverseRoot(re, relative));
                start = x;
                f = 1 / (x * x);
            } else {
                f = FrictionFactor(re, relative);
            }
            total += f * segmentLength / diameterM * v * std::abs(v) / (2 * Gravity);
        }
    }
    if (!std::isfinite(total)) {
        return std::nullopt;
    }
    return total;
}

}  // namespace acquenza
