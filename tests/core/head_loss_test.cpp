#include "core/head_loss.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "core/section_calculation.h"

namespace acquenza {
namespace {

// Colebrook-White solved the slow, sure way: g(f) = 1/√f + 2 log10(ε/3.7D +
// 2.51/(Re √f)) falls as f grows, so bisection on f closes on its root.
double ColebrookByBisection(double re, double relative) {
    auto g = [&](double f) {
        return 1 / std::sqrt(f) + 2 * std::log10(relative / 3.7 + 2.51 / (re * std::sqrt(f)));
    };
    double low = 1e-6;
    double high = 100;
    for (int i = 0; i < 400; ++i) {
        const double mid = (low + high) / 2;
        (g(mid) > 0 ? low : high) = mid;
    }
    return (low + high) / 2;
}

TEST(HeadLoss, ColebrookWhiteAgreesWithBisectionOverEveryRegime) {
    const double reynolds[] = {100,  800, 1999, 2000, 2500, 3999, 4000,
                               4001, 1e4, 5e4,  2e5,  1e6,  1e7,  1e8};
    const double roughness[] = {0, 1e-6, 5e-5, 1e-4, 1e-3, 1e-2, 5e-2};
    for (const double re : reynolds) {
        for (const double rr : roughness) {
            const double expected = ColebrookByBisection(re, rr);
            EXPECT_NEAR(ColebrookWhite(re, rr), expected, 1e-9 * expected)
                << "Re " << re << " ε/D " << rr;
        }
    }
}

TEST(HeadLoss, FrictionFactorFollowsTheRegimes) {
    for (const double rr : {0.0, 1e-4, 1e-3}) {
        EXPECT_DOUBLE_EQ(FrictionFactor(1000, rr), 0.064);
        EXPECT_DOUBLE_EQ(FrictionFactor(1999.5, rr), 64 / 1999.5);
        // The cubic meets the laminar line at 2000 …
        EXPECT_NEAR(FrictionFactor(2000, rr), 0.032, 1e-12);
        // … and Swamee-Jain at 4000 (the manual's 0.86859 is 2 / ln 10 to
        // five figures).
        const double sj = 0.25 / std::pow(std::log10(rr / 3.7 + 5.74 / std::pow(4000, 0.9)), 2);
        EXPECT_NEAR(FrictionFactor(4000, rr), sj, 1e-5 * sj);
        const double mid = FrictionFactor(3000, rr);
        EXPECT_GT(mid, std::min(0.032, sj) * 0.99);
        EXPECT_LT(mid, std::max(0.032, sj) * 1.01);
        EXPECT_EQ(FrictionFactor(4001, rr), ColebrookWhite(4001, rr));
        // Above 4000 the exact factor and EPANET's approximation are within 1-2 %.
        EXPECT_NEAR(FrictionFactor(4001, rr) / sj, 1, 0.03);
    }
    EXPECT_EQ(FrictionFactor(0, 1e-4), 0);
}

TEST(HeadLoss, DarcyWeisbachWorkedSection) {
    // 10 l/s through 1000 m of 100 mm PE (ε 0.01 mm), nothing drawn along it:
    // v = 1.2732 m/s, Re = 97,415, f by Colebrook-White, h = f L/D v²/2g.
    const double v = 0.010 / (std::numbers::pi * 0.1 * 0.1 / 4);
    const double re = v * 0.1 / 1.307e-6;
    const double f = ColebrookByBisection(re, 0.01e-3 / 0.1);
    const double expected = f * 1000 / 0.1 * v * v / (2 * 9.80665);
    const LossModel pe{LossFormula::DarcyWeisbach, 0, 0.01};
    EXPECT_NEAR(*SectionHeadLoss(pe, 1000, 10, 0, 0.1), expected, 1e-9 * expected);

    // Zero flow loses nothing; a reverse flow loses as much the other way.
    EXPECT_EQ(*SectionHeadLoss(pe, 1000, 0, 0, 0.1), 0);
    EXPECT_NEAR(*SectionHeadLoss(pe, 1000, -10, 0, 0.1), -expected, 1e-9 * expected);
    // Laminar: a trickle follows Hagen-Poiseuille, h = 32 ν L v / (g D²).
    const double vSlow = 0.0001 / 1000 / (std::numbers::pi * 0.01 / 4);
    EXPECT_NEAR(*SectionHeadLoss(pe, 1000, 0.0001, 0, 0.1),
                32 * 1.307e-6 * 1000 * vSlow / (9.80665 * 0.01), 1e-18);
}

TEST(HeadLoss, NothingToStateGivesNoLoss) {
    const LossModel coefficient{};
    const LossModel darcy{LossFormula::DarcyWeisbach, 0, 0.01};
    EXPECT_FALSE(SectionHeadLoss(coefficient, 100, 1, 1, 0));
    EXPECT_FALSE(SectionHeadLoss(darcy, 100, 1, 1, -0.1));
    EXPECT_FALSE(SectionHeadLoss(darcy, 100, NAN, 1, 0.1));
    EXPECT_FALSE(SectionHeadLoss(darcy, INFINITY, 1, 1, 0.1));
    EXPECT_FALSE(SectionHeadLoss({LossFormula::DarcyWeisbach, 0, -1}, 100, 1, 1, 0.1));
    EXPECT_FALSE(SectionHeadLoss(coefficient, 100, 1e300, 0, 1e-100));  // overflows
}

Project OneSection(double l, double zs, double ze, double qu, double qe, bool nuova) {
    Project p;
    auto text = [](double v) { return FieldValue::Number(v); };
    p.sections.Set(1, Field::lungh, text(l));
    p.sections.Set(1, Field::quotain, text(zs));
    p.sections.Set(1, Field::quotafin, text(ze));
    p.sections.Set(1, Field::portun, text(qu));
    p.sections.Set(1, Field::portfin, text(qe));
    p.sections.Set(1, Field::tipoc, FieldValue::Text(nuova ? "nuova" : "in uso"));
    p.sections.Set(1, Field::sca, FieldValue::Number(nuova ? 0.0025 : 0.004));
    return p;
}

// The network's coefficient loss and the drop-driven search are the section
// calculation's own, to the last bit, on random sections.
TEST(HeadLoss, CoefficientFormulaAndDropSearchMatchTheSectionCalculation) {
    std::mt19937 rng(2024);
    auto uniform = [&](double a, double b) { return std::uniform_real_distribution<>(a, b)(rng); };
    int calculated = 0;
    for (int n = 0; n < 400; ++n) {
        const double l = uniform(1, 2000);
        const double zs = uniform(50, 500);
        const double ze = zs - uniform(0.01, 80);
        const double qu = n % 5 == 0 ? 0.5 : uniform(0.5, 30);
        const double qe = uniform(0.5, 60);
        const bool nuova = n % 2 == 0;
        Project p = OneSection(l, zs, ze, qu, qe, nuova);
        if (CalculateSection(p, 1) != CalculationOutcome::Calculated) {
            continue;
        }
        ++calculated;
        const double beta = nuova ? 0.0025 : 0.004;
        double mapLoss = 0;
        for (int k = 1; k <= SegmentCount; ++k) {
            mapLoss += p.sections.Segment(1, k).headLoss;
        }
        const auto sized = SizeForSegmentDrop(l, qu, qe, beta, (zs - ze) / SegmentCount);
        ASSERT_TRUE(sized);
        EXPECT_EQ(std::floor(sized->diameter * 1000 + 0.5) / 10,
                  p.sections.Get(1, Field::dia).NumberValue());
        EXPECT_EQ(sized->headLoss, mapLoss);
        const auto loss =
            SectionHeadLoss({LossFormula::Coefficient, beta, 0}, l, qe, qu, sized->diameter);
        EXPECT_EQ(*loss, mapLoss);
    }
    EXPECT_GT(calculated, 390);
    EXPECT_FALSE(SizeForSegmentDrop(100, 1, 1, 0.0025, 0));
    EXPECT_FALSE(SizeForSegmentDrop(100, 1, 1, 0.0025, -1));
    EXPECT_FALSE(SizeForSegmentDrop(1000, 0, 1e9, 0.004, 1e-6));  // beyond 10 m
}

}  // namespace
}  // namespace acquenza
