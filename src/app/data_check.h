#pragma once
// The data check: every section up to the last one with a length looked at
// in order, and the first gap found, with the box to correct and the message
// that says so. It only judges; the data window shows the verdict.

#include <string>

#include "app/dialogs.h"
#include "core/project.h"

namespace acquenza {

// Who asks. The user's own check says so when all is well; documents and a
// save go on silently. Every caller but a save also refuses the sections
// that cannot be sized: a save archives them (and says so once the file is
// written), so no typed work is lost.
enum class CheckFor { User, Documents, Save };

struct CheckResult {
    bool ok = false;
    // The first section that fails, and its box to correct; 0 when there is
    // no section at all.
    int section = 0;
    Field focus = Field::lungh;
    std::string message;  // what the user reads, passed or failed
    MessageIcon icon = MessageIcon::Information;
    explicit operator bool() const { return ok; }
};

// `project.enteredSectionCount` must be current.
CheckResult CheckSections(const Project& project, CheckFor purpose);

}  // namespace acquenza
