// The spreadsheet files' fields: numbers stay numbers, negative ones too;
// what a spreadsheet would run as a formula is shown as text.

#include "core/csv_text.h"

#include <gtest/gtest.h>

namespace acquenza {
namespace {

TEST(CsvText, NumbersStayNumbersAndFormulasBecomeText) {
    const std::pair<const char*, const char*> cases[] = {
        {"-12,50", "-12,50"}, {"7", "7"},           {"0,0025", "0,0025"},   {"-3", "-3"},
        {"=A1", "'=A1"},      {"-A1", "'-A1"},      {"+1", "'+1"},          {"@x", "'@x"},
        {"-1,", "'-1,"},      {"a; b", "\"a; b\""}, {"d\"i", "\"d\"\"i\""}, {"", ""},
    };
    for (const auto& [text, field] : cases) {
        EXPECT_EQ(CsvField(text), field) << text;
    }
}

}  // namespace
}  // namespace acquenza
