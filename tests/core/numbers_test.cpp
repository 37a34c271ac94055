#include "core/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace acquenza {
namespace {

struct ParseCase {
    std::string text;
    double point;
    double flow;
};

TEST(Numbers, PointAndFlowValueReadTheLeadingNumber) {
    const std::vector<ParseCase> cases = {
        {"12.5", 12.5, 12},  {"12,5", 12, 12.5}, {"1 500", 1500, 1500},
        {"abc", 0, 0},       {"-3", -3, -3},     {"", 0, 0},
        {"  7", 7, 7},       {"\t1\n2", 12, 12}, {"1.2.3", 1.2, 1},
        {"1e3", 1000, 1000}, {"2D2", 200, 200},  {"1E", 1, 1},
        {"1E+", 1, 1},       {"- 5", -5, -5},    {".5", 0.5, 0},
        {",5", 0, 0.5},      {"+4", 4, 4},       {"5x", 5, 5},
        {"--5", 0, 0},       {".", 0, 0},        {",", 0, 0},
        {"1,5,3", 1, 1.5},   {"0,75", 0, 0.75},  {"100.5", 100.5, 100},
        {"1e-400", 0, 0},    {"00", 0, 0},       {"3 , 5", 3, 3.5},
        {"1\r2", 1, 1},  // only blanks, tabs and line feeds are skipped
    };
    for (const ParseCase& c : cases) {
        EXPECT_EQ(PointValue(c.text), c.point) << '"' << c.text << '"';
        EXPECT_EQ(FlowValue(c.text), c.flow) << '"' << c.text << '"';
    }
    EXPECT_EQ(PointValue("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(PointValue("-1e400"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(PointValue("0.000000000000000000001e400"), 1e300 * 1e79);
}

TEST(Numbers, ReadingIgnoresTheProcessLocale) {
    // The toolkit installs the user's locale at start-up; an Italian one uses
    // the comma as its decimal separator.
    const char* italian = std::setlocale(LC_ALL, "it_IT.UTF-8");
    EXPECT_EQ(PointValue("100.5"), 100.5);
    EXPECT_EQ(NumberText(2.5), "2,5");
    EXPECT_EQ(FormatFixed2(1.5, 0), "1.50");
    if (italian != nullptr) {
        std::setlocale(LC_ALL, "C");
    }
}

TEST(Numbers, DotToCommaReplacesEveryPoint) {
    EXPECT_EQ(DotToComma("1.5"), "1,5");
    EXPECT_EQ(DotToComma("1,5"), "1,5");
    EXPECT_EQ(DotToComma("a.b.c"), "a,b,c");
    EXPECT_EQ(DotToComma("."), ",");
    EXPECT_EQ(FlowValue(DotToComma(".")), 0);
}

TEST(Numbers, IntegerDigitsCountsCharactersBeforeTheSeparator) {
    EXPECT_EQ(IntegerDigits("123,45"), 3);
    EXPECT_EQ(IntegerDigits("7"), 1);
    EXPECT_EQ(IntegerDigits(",5"), 0);
    EXPECT_EQ(IntegerDigits("-12.5"), 2);
    EXPECT_EQ(IntegerDigits("-1234"), 4);
    EXPECT_EQ(IntegerDigits(""), 0);
    EXPECT_EQ(IntegerDigits("località"), 8);
    EXPECT_EQ(IntegerDigits("città,1"), 5);
}

TEST(Numbers, FormatFixed2RoundsHalfUpInDoublePrecision) {
    const std::vector<std::pair<double, std::string>> cases = {
        {1.5, "1.50"},
        {12.345, "12.35"},
        {1.005, "1.00"},
        {0.05, "0.05"},
        {0.5, "0.50"},
        {0, "0.00"},
        {0.004, "0.00"},
        {99.999, "100.00"},
        {0.125, "0.13"},
        {0.995, "1.00"},
        {1234567.891, "1234567.89"},
    };
    for (const auto& [x, text] : cases) {
        EXPECT_EQ(FormatFixed2(x, 0), text) << x;
    }
    EXPECT_EQ(FormatFixed2(123.4, 8), "  123.40");
    EXPECT_EQ(FormatFixed2(123.4, 3), "123.40");
}

TEST(Numbers, NumberTextWritesTheShortestDecimalWithAComma) {
    const std::vector<std::pair<double, std::string>> cases = {
        {9.77, "9,77"},
        {250, "250"},
        {0.0025, "0,0025"},
        {12.3, "12,3"},
        {0, "0"},
        {-0.0, "0"},
        {-0.5, "-0,5"},
        {0.1 + 0.2, "0,3"},  // 15 significant digits at most
        {0.0001, "0,0001"},
        {123456789012345, "123456789012345"},
        {1e15, "1E+15"},
        {1.5e20, "15E+19"},
        {0.00001, "1E-05"},
        {1.5e-7, "15E-08"},
        {-2.5e-7, "-25E-08"},
        {std::nan(""), ""},
    };
    for (const auto& [x, text] : cases) {
        EXPECT_EQ(NumberText(x), text) << x;
    }
}

TEST(Numbers, NumberTextReadsBackThroughTheBoxes) {
    const std::vector<double> values = {9.77,
                                        0.0025,
                                        1234.5678,
                                        1e-4,
                                        5e-5,
                                        1e15,
                                        3.2e18,
                                        7.7e-12,
                                        1e300,
                                        1e-300,
                                        -4e22,
                                        2.25,
                                        std::numeric_limits<double>::max(),
                                        -std::numeric_limits<double>::max(),
                                        std::numeric_limits<double>::denorm_min()};
    for (const double x : values) {
        const std::string text = NumberText(x);
        const double back = FlowValue(text);
        EXPECT_TRUE(back == x || std::abs(back - x) <= 1e-14 * std::abs(x)) << text;
        if (text.find(',') == std::string::npos) {
            // Without a separator the point reader gets the whole value too.
            EXPECT_EQ(PointValue(text), x) << text;
        }
    }
}

TEST(Numbers, SignedTextUsesThePointAndALeadingBlank) {
    EXPECT_EQ(SignedText(12), " 12");
    EXPECT_EQ(SignedText(-3), "-3");
    EXPECT_EQ(SignedText(12.5), " 12.5");
    EXPECT_EQ(SignedText(0), " 0");
    EXPECT_EQ("tronco n." + SignedText(12), "tronco n. 12");
}

TEST(Numbers, RoundHalfUpNeverGoesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfUp(2.5, 1), 3);
    EXPECT_EQ(RoundHalfUp(0.125, 100), 0.13);
    EXPECT_EQ(RoundHalfUp(9.765625, 100), 9.77);
    EXPECT_EQ(RoundHalfUp(-2.5, 1), -2);
    EXPECT_EQ(RoundHalfUp(0.3049, 100), 0.3);
}

TEST(Numbers, CharLengthCountsCharactersNotBytes) {
    EXPECT_EQ(CharLength("località"), 8u);
    EXPECT_EQ(CharLength("€"), 1u);
    EXPECT_EQ(CharLength(""), 0u);
}

}  // namespace
}  // namespace acquenza

namespace acquenza {
namespace {

// What a box may hold while typing goes on, and what it may be left with.
TEST(Numbers, APrefixMayBeTypedOnlyAWholeNumberMayBeLeft) {
    struct Case {
        const char* text;
        bool flow;
        bool prefix;
        bool whole;
    };
    const std::vector<Case> cases = {
        {"12", false, true, true},      {"-1.", false, true, true},
        {".5", false, true, true},      {" 1 500", false, true, true},
        {"1e3", false, true, true},     {"1.5E-3", false, true, true},
        {"2D2", false, true, true},     {"+4", false, true, true},
        {"2,5", true, true, true},      {"2.5", true, true, true},
        {"", false, true, false},       {"-", false, true, false},
        {".", false, true, false},      {",", true, true, false},
        {"-.", false, true, false},     {"1e", false, true, false},
        {"1e+", false, true, false},    {"1.5e-", false, true, false},
        {"2,5", false, false, false},   {"4x", false, false, false},
        {"1.2.3", false, false, false}, {"e5", false, false, false},
        {"1e3e", false, false, false},  {"--5", false, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsNumberPrefix(c.text, c.flow), c.prefix) << '"' << c.text << '"';
        EXPECT_EQ(IsWholeNumber(c.text, c.flow), c.whole) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace acquenza
