#include "core/flows.h"

#include <gtest/gtest.h>

namespace acquenza {
namespace {

TEST(Flows, DerivedAndFireFlowsRoundToHundredths) {
    EXPECT_EQ(DerivedFlow(1000, 250), 9.77);
    EXPECT_EQ(DerivedFlow(100, 250), 0.98);
    EXPECT_EQ(FireFlow(4000), 8.82);
    EXPECT_EQ(FireFlow(10000), 13.78);
    EXPECT_EQ(FireFlow(500), 3.16);
    EXPECT_EQ(FireFlow(0), 0);
    EXPECT_FALSE(FireFlow(-1).has_value());
    EXPECT_FALSE(FireFlow(std::numeric_limits<double>::infinity()).has_value());
}

TEST(Flows, ResidentsAlongASectionFillAllowanceAndFlow) {
    Project p;
    p.sections.Set(1, Field::lungh, FieldValue::Text("100"));
    const ResidentsUpdate u = ApplyResidents(p, 1, FlowSide::Along, "1000");
    EXPECT_EQ(p.sections.Get(1, Field::abitun), FieldValue::Text("1000"));
    EXPECT_EQ(p.sections.Get(1, Field::dotazun), FieldValue::Number(250));
    EXPECT_EQ(p.sections.Get(1, Field::portun), FieldValue::Text("9,77"));
    EXPECT_EQ(u.allowanceText, "250");
    EXPECT_EQ(u.flowText, "9,77");
}

TEST(Flows, AllowanceIsCopiedFromThePreviousSection) {
    Project p;
    p.sections.Set(1, Field::dotazfin, FieldValue::Text("300"));
    p.sections.Set(2, Field::lungh, FieldValue::Text("50"));
    ApplyResidents(p, 2, FlowSide::End, "100");
    EXPECT_EQ(p.sections.Get(2, Field::dotazfin), FieldValue::Text("300"));
    EXPECT_EQ(p.sections.Get(2, Field::portfin), FieldValue::Text("1,17"));

    // An allowance already typed is kept and the flow is derived from it.
    p.sections.Set(3, Field::lungh, FieldValue::Text("50"));
    p.sections.Set(3, Field::dotazun, FieldValue::Text("200"));
    const ResidentsUpdate u = ApplyResidents(p, 3, FlowSide::Along, "100");
    EXPECT_FALSE(u.allowanceText.has_value());
    EXPECT_EQ(p.sections.Get(3, Field::portun), FieldValue::Text("0,78"));
}

TEST(Flows, EmptyFlowBecomesZeroOnlyWhereTheRulesSay) {
    Project p;  // section 1 has no length yet
    const ResidentsUpdate along = ApplyResidents(p, 1, FlowSide::Along, "100");
    EXPECT_TRUE(p.sections.Get(1, Field::portun).IsNothing());
    EXPECT_TRUE(p.sections.Get(1, Field::dotazun).IsNothing());
    EXPECT_FALSE(along.flowText.has_value());
    ApplyResidents(p, 1, FlowSide::End, "100");
    EXPECT_EQ(p.sections.Get(1, Field::portfin), FieldValue::Number(0));
}

TEST(Flows, FireButtonWritesTheFlowAndTheMarker) {
    Project p;
    p.sections.Set(3, Field::lungh, FieldValue::Text("100"));
    p.sections.Set(4, Field::lungh, FieldValue::Text("100"));
    ApplyResidents(p, 3, FlowSide::Along, "4000");
    const FireUpdate first = ApplyFireButton(p, 3, FlowSide::Along);
    EXPECT_EQ(first.result, FireButtonResult::Applied);
    EXPECT_EQ(first.side, FlowSide::Along);
    EXPECT_EQ(first.flowText, "8,82");
    EXPECT_EQ(p.sections.Get(3, Field::portun), FieldValue::Text("8,82"));
    EXPECT_EQ(p.sections.Get(3, Field::dotazun), FieldValue::Text("antincend."));

    // The next section inherits the marker, so no flow is derived for it.
    const ResidentsUpdate u = ApplyResidents(p, 4, FlowSide::Along, "1000");
    EXPECT_EQ(u.allowanceText, "antincend.");
    EXPECT_FALSE(u.flowText.has_value());
    EXPECT_EQ(p.sections.Get(4, Field::portun), FieldValue::Number(0));
}

TEST(Flows, FireButtonRefusesMissingOrNegativeResidents) {
    Project p;
    EXPECT_EQ(ApplyFireButton(p, 2, FlowSide::End).result, FireButtonResult::NoResidents);
    p.sections.Set(2, Field::abitfin, FieldValue::Text("-300"));
    EXPECT_EQ(ApplyFireButton(p, 2, FlowSide::End).result, FireButtonResult::NegativeResidents);
    EXPECT_TRUE(p.sections.Get(2, Field::portfin).IsNothing());
}

}  // namespace
}  // namespace acquenza
