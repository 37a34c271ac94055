#pragma once

#include <string>
#include <utility>

namespace acquenza {

// Success, or an Italian message that says which file and why it failed.
struct ArchiveResult {
    bool ok = true;
    std::string message;
    // The system's error number when one caused the failure, else 0.
    int error = 0;
    // The file itself is protected: no write bit for anyone, or this user
    // may not write it. The caller words the refusal for its own command.
    bool writeProtected = false;

    static ArchiveResult Success() { return {}; }
    static ArchiveResult Failure(std::string why, int error = 0) {
        return {false, std::move(why), error, false};
    }
};

}  // namespace acquenza
