// The network summary: velocities against the office's band, and a
// section's profile worked out here again from Darcy's formula.

#include "app/network_summary.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/section_calculation.h"

namespace acquenza {
namespace {

void Section(Project& p, int s, const char* length, const char* from, const char* to,
             const char* along, const char* end, const char* pipe) {
    const std::pair<Field, const char*> fields[] = {{Field::lungh, length}, {Field::quotain, from},
                                                    {Field::quotafin, to},  {Field::portun, along},
                                                    {Field::portfin, end},  {Field::tipoc, pipe}};
    for (const auto& [f, text] : fields) {
        p.sections.Set(s, f, FieldValue::Text(text));
    }
    SettleSection(p, s);
}

TEST(NetworkSummary, VelocitiesBelowInsideAndAboveTheBandAreMarked) {
    Project p;
    Section(p, 1, "1000", "120", "100", "5", "2", "in uso");  // 0,30 m/s
    Section(p, 2, "1250", "412.5", "396.2", "0", "27,34", "nuova");
    Section(p, 3, "100", "100", "90", "", "10", "nuova");  // 2,21 m/s
    Section(p, 4, "100", "90", "95", "", "10", "nuova");   // rises: not sized
    p.enteredSectionCount = 4;
    Settings settings;
    const NetworkSummary summary = SummarizeNetwork(p, settings);
    ASSERT_EQ(summary.rows.size(), 4u);
    const auto velocity = static_cast<std::size_t>(SummaryColumn::Velocity);
    EXPECT_EQ(summary.rows[0].texts[velocity], "0,30");
    EXPECT_EQ(summary.rows[0].speed, SpeedCheck::Below);
    EXPECT_EQ(summary.rows[0].speedNote, "Velocità 0,30 m/s: sotto il minimo di 0,50 m/s.");
    EXPECT_EQ(summary.rows[1].speed, SpeedCheck::Inside);
    EXPECT_EQ(summary.rows[2].speed, SpeedCheck::Above);
    EXPECT_EQ(summary.rows[2].speedNote, "Velocità 2,21 m/s: sopra il massimo di 2,00 m/s.");
    EXPECT_EQ(summary.rows[3].speed, SpeedCheck::NotSized);
    EXPECT_EQ(summary.rows[3].texts[velocity], "");
    EXPECT_EQ(summary.outsideBand, 2);
    EXPECT_EQ(summary.BottomLine(settings),
              "Tronchi: 4 \u2014 lunghezza totale: 2450,00 m \u2014 fuori dall'intervallo di "
              "velocità 0,50\u20132,00 m/s: 2 \u2014 non dimensionati: 1");
    // The office's own band moves the marks.
    settings.velocityMin = 0.2;
    settings.velocityMax = 2.5;
    EXPECT_EQ(SummarizeNetwork(p, settings).outsideBand, 0);
}

TEST(NetworkSummary, TheGradeLineFallsByEachSegmentsDarcyLoss) {
    Project p;
    Section(p, 1, "100", "100", "90", "", "10", "nuova");
    const SectionProfile profile = ProfileOf(p, 1);
    ASSERT_TRUE(profile.sized);
    ASSERT_EQ(profile.gradeLine.size(), 15u);
    // D = 0.076 m, B = 0.0025, flows at each segment's upstream end: the end
    // flow plus what is still drawn along (0.0001 l/s in all).
    const double d = 0.076;
    double grade = 100;
    for (int k = 1; k <= 14; ++k) {
        const double q = (10 + 0.0001 - (k - 1) * 0.0001 / 14) / 1000;
        grade -= 0.0025 * (100.0 / 14) * q * q / std::pow(d, 5);
        EXPECT_NEAR(profile.gradeLine[static_cast<std::size_t>(k)], grade, 1e-9) << k;
        EXPECT_NEAR(profile.ground[static_cast<std::size_t>(k)], 100 - 10.0 * k / 14, 1e-9);
        EXPECT_NEAR(profile.distance[static_cast<std::size_t>(k)], 100.0 * k / 14, 1e-12);
    }
    EXPECT_NEAR(profile.headLoss, 100 - grade, 1e-9);
    EXPECT_DOUBLE_EQ(profile.drop, 10);
}

}  // namespace
}  // namespace acquenza
