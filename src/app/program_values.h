#pragma once
// Program-wide values and the message titles every window shares.

#include <string>

namespace acquenza {

struct ProgramValues {
    std::string ProgramName;
    std::string ProgramSubtitle;
    std::string ProgramVersion;
    std::string VersionDate;
    std::string BuildYear;
};

struct SharedTitles {
    std::string CheckTitle;
    std::string HelpTitle;
    std::string DeleteDialogTitle;
};

void InitProgramValues(ProgramValues& values);
// HelpTitle is built from the program name, so it is right only once the
// values are set; the data window builds the titles again when it loads.
void InitSharedTitles(SharedTitles& titles, const ProgramValues& values);

// The values and titles of the running program.
struct ProgramIdentity {
    ProgramValues values;
    SharedTitles titles;
};

}  // namespace acquenza
