#include "core/project.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace acquenza {
namespace {

std::string QuotaText(int s) {
    std::string text(1, 'q');
    text += std::to_string(s);
    return text;
}

void Enter(Project& p, int s, const std::string& length) {
    p.sections.Set(s, Field::lungh, FieldValue::Text(length));
    p.sections.Set(s, Field::quotain, FieldValue::Text(QuotaText(s)));
}

TEST(Project, SlotZeroAlwaysReadsEmpty) {
    Project p;
    p.sections.Set(0, Field::dotazun, FieldValue::Text("300"));
    p.sections.Set(501, Field::lungh, FieldValue::Text("1"));
    EXPECT_TRUE(p.sections.Get(0, Field::dotazun).IsNothing());
    EXPECT_TRUE(p.sections.Get(501, Field::lungh).IsNothing());
}

TEST(Project, FieldsHoldNothingTextOrNumber) {
    EXPECT_TRUE(FieldValue().IsEmpty());
    EXPECT_TRUE(FieldValue::Text("").IsEmpty());
    EXPECT_FALSE(FieldValue::Text("0").IsEmpty());
    EXPECT_FALSE(FieldValue::Number(0).IsEmpty());
    EXPECT_EQ(FieldValue::Number(9.77).DisplayText(), "9,77");
    EXPECT_NE(FieldValue(), FieldValue::Text(""));
}

TEST(Project, NumericValueReadsFlowsWithTheComma) {
    SectionTable t;
    t.Set(1, Field::lungh, FieldValue::Text("12,5"));
    t.Set(1, Field::portun, FieldValue::Text("12,5"));
    t.Set(1, Field::portfin, FieldValue::Number(3.25));
    EXPECT_EQ(NumericValue(t, 1, Field::lungh), 12);
    EXPECT_EQ(NumericValue(t, 1, Field::portun), 12.5);
    EXPECT_EQ(NumericValue(t, 1, Field::portfin), 3.25);
    EXPECT_EQ(NumericValue(t, 1, Field::abitun), 0);
}

TEST(Project, OnlyPositiveLengthsCount) {
    Project p;
    Enter(p, 1, "100");
    Enter(p, 2, "0");
    Enter(p, 3, "-5");
    Enter(p, 4, "abc");
    Enter(p, 5, "12,5");
    p.sections.Set(6, Field::lungh, FieldValue::Number(7));
    EXPECT_EQ(CountEnteredSections(p), 3);
    EXPECT_EQ(p.enteredSectionCount, 3);
}

TEST(Project, DeletingMovesLaterSectionsUp) {
    Project p;
    for (int s = 1; s <= 5; ++s) {
        Enter(p, s, std::to_string(100 * s));
        p.sections.Set(s, Field::per, FieldValue::Number(s));
    }
    CountEnteredSections(p);
    DeleteSection(p, 3);
    EXPECT_EQ(p.enteredSectionCount, 4);
    const std::vector<std::string> lengths = {"100", "200", "400", "500"};
    for (int s = 1; s <= 4; ++s) {
        EXPECT_EQ(p.sections.Get(s, Field::lungh).TextValue(), lengths[s - 1u]);
        EXPECT_EQ(p.sections.Get(s, Field::quotain).TextValue(), QuotaText(s < 3 ? s : s + 1));
    }
    // Results go with their section, whole; the place left at the end is bare.
    EXPECT_EQ(p.sections.Get(3, Field::per).NumberValue(), 4);
    for (int f = 0; f < FieldCount; ++f) {
        EXPECT_TRUE(p.sections.Get(5, static_cast<Field>(f)).IsNothing());
    }
}

// A section's id goes with it wherever deletes move it, and is never given
// to another section: references held by id name the same section under its
// new number, and one to a deleted section names nothing.
TEST(Project, SectionsKeepTheirIdentityWhileDeletesMoveThem) {
    Project p;
    for (int s = 1; s <= 5; ++s) {
        Enter(p, s, std::to_string(100 * s));
    }
    CountEnteredSections(p);
    const std::vector<SectionId> before = p.sections.Order();
    p.sections.Set(5, Field::abitfin, FieldValue::Reference(p.sections.IdAt(4)));
    p.sections.Set(4, Field::abitfin, FieldValue::Reference(p.sections.IdAt(3)));
    SegmentMap map{};
    map[7] = {1, 2, 3, 4};
    p.sections.SetMap(4, map);

    DeleteSection(p, 3);
    EXPECT_EQ(p.sections.IdAt(1), before[0]);
    EXPECT_EQ(p.sections.IdAt(3), before[3]);
    EXPECT_EQ(p.sections.IdAt(4), before[4]);
    EXPECT_EQ(p.sections.PositionOf(before[2]), std::nullopt);
    EXPECT_EQ(p.sections.Segment(3, 7), (SegmentCell{1, 2, 3, 4}));
    // The place left at the end has a new id, none of those seen before.
    const SectionId fresh = p.sections.IdAt(5);
    EXPECT_EQ(std::count(before.begin(), before.end(), fresh), 0);
    EXPECT_NE(fresh, NoSection);
    // References: to old section 4, now 3; to the deleted one, nothing.
    EXPECT_EQ(p.sections.PositionOf(p.sections.Get(4, Field::abitfin).ReferenceValue()), 3);
    EXPECT_EQ(p.sections.PositionOf(p.sections.Get(3, Field::abitfin).ReferenceValue()),
              std::nullopt);
    EXPECT_FALSE(p.sections.Get(3, Field::abitfin).IsEmpty());
    // Slot 0 and the places outside the table.
    EXPECT_EQ(p.sections.IdAt(0), NoSection);
    EXPECT_EQ(p.sections.IdAt(MaxSections + 1), NoSection);
    EXPECT_EQ(p.sections.PositionOf(NoSection), 0);
    for (int s = 1; s <= MaxSections; ++s) {
        ASSERT_EQ(p.sections.PositionOf(p.sections.IdAt(s)), s);
    }

    // Another table, as a file read in, has ids of its own.
    const SectionTable other;
    for (int s = 1; s <= MaxSections; ++s) {
        ASSERT_EQ(p.sections.PositionOf(other.IdAt(s)), std::nullopt);
    }
}

TEST(Project, DeletingARowWithANonPositiveLengthRemovesThatRow) {
    Project p;
    Enter(p, 1, "100");
    Enter(p, 2, "200");
    Enter(p, 3, "0");
    Enter(p, 4, "400");
    CountEnteredSections(p);
    ASSERT_EQ(p.enteredSectionCount, 3);
    DeleteSection(p, 3);
    EXPECT_EQ(p.sections.Get(1, Field::lungh).TextValue(), "100");
    EXPECT_EQ(p.sections.Get(2, Field::lungh).TextValue(), "200");
    EXPECT_EQ(p.sections.Get(3, Field::lungh).TextValue(), "400");
    EXPECT_TRUE(p.sections.Get(4, Field::lungh).IsNothing());
    EXPECT_EQ(p.enteredSectionCount, 3);

    // A stray non-positive length above the entered sections.
    Project q;
    Enter(q, 1, "100");
    Enter(q, 2, "abc");
    CountEnteredSections(q);
    DeleteSection(q, 2);
    EXPECT_EQ(q.sections.Get(1, Field::lungh).TextValue(), "100");
    EXPECT_TRUE(q.sections.Get(2, Field::lungh).IsNothing());
    EXPECT_EQ(q.enteredSectionCount, 1);
}

TEST(Project, ClearAllEmptiesSectionsAndMaps) {
    Project p;
    Enter(p, 1, "100");
    Enter(p, 500, "100");
    SegmentMap map{};
    map[3] = {1, 2, 3, 4};
    p.sections.SetMap(1, map);
    CountEnteredSections(p);
    ClearAll(p);
    EXPECT_EQ(p.enteredSectionCount, 0);
    EXPECT_EQ(p.sections.Get(1, Field::lungh), FieldValue::Text(""));
    EXPECT_EQ(p.sections.Get(500, Field::sca), FieldValue::Text(""));
    EXPECT_EQ(p.sections.Segment(1, 3), SegmentCell{});
}

}  // namespace
}  // namespace acquenza
