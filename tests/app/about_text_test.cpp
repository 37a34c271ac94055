#include "app/about_text.h"

#include <gtest/gtest.h>

namespace acquenza {
namespace {

TEST(AboutText, VersionLineOfTheRunningProgram) {
    ProgramValues values;
    InitProgramValues(values);
    EXPECT_EQ(VersionLine(values), "edizione professionale - versione 3.04.05   1999- 2011");
}

TEST(AboutText, VersionLineFollowsTheValues) {
    ProgramValues values{"X", "y", "4.1", "1/2/2003", "24"};
    EXPECT_EQ(VersionLine(values), "edizione professionale - versione 4.1   2003- 2024");
    // The year is what follows the last slash, whatever its length.
    values.VersionDate = "03/05/98";
    EXPECT_EQ(VersionLine(values), "edizione professionale - versione 4.1   98- 2024");
    values.VersionDate = "2005";
    EXPECT_EQ(VersionLine(values), "edizione professionale - versione 4.1   2005- 2024");
}

}  // namespace
}  // namespace acquenza
