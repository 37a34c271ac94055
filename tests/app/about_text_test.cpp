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

TEST(AboutText, PlatformLineSaysWhatTheSystemTold) {
    struct Case {
        SystemFacts system;
        const char* line;
    };
    const Case cases[] = {
        {{"linux", "Debian GNU/Linux 12 (bookworm)", "x86_64"},
         "per sistemi Linux a 64 bit \nsistema in uso: Debian GNU/Linux 12 (bookworm), "
         "x86_64"},
        {{"linux", "Ubuntu 24.04 LTS", "arm64"},
         "per sistemi Linux a 64 bit \nsistema in uso: Ubuntu 24.04 LTS, arm64"},
        {{"linux", "Raspbian GNU/Linux 11 (bullseye)", "arm"},
         "per sistemi Linux a 32 bit \nsistema in uso: Raspbian GNU/Linux 11 (bullseye), "
         "arm"},
        {{"linux", "", "i386"}, "per sistemi Linux a 32 bit \nsistema in uso: processore i386"},
        {{"linux", "unknown", "s390x"},
         "per sistemi Linux a 64 bit \nsistema in uso: processore s390x"},
        {{"freebsd", "FreeBSD 14.0", "amd64"},
         "per sistemi FreeBSD a 64 bit \nsistema in uso: FreeBSD 14.0, amd64"},
        {{"winnt", "Windows 10 Version 2009", "x86_64"},
         "per sistemi Windows a 64 bit \nsistema in uso: Windows 10 Version 2009, "
         "x86_64"},
        // A kernel the program has no name for, and a name that says no more.
        {{"haiku", "Haiku", "x86_64"},
         "per sistemi Haiku a 64 bit \nsistema in uso: processore x86_64"},
        {{"", "Plan 9", ""}, "per sistemi Plan 9 "},
        {{"unknown", "unknown", "unknown"}, "per sistemi "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PlatformLine(c.system), c.line)
            << c.system.kernelType << " / " << c.system.productName;
    }
}

}  // namespace
}  // namespace acquenza
