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
    // The file itself is protected: no write bit for anyone, this user may
    // not write it, or it is immutable. The caller words the refusal for its
    // own command.
    bool writeProtected = false;
    // Run as root, the program was about to replace a file that belongs to
    // another user (`owner`): the caller asks the user, or refuses.
    bool ownedByOther = false;
    std::string owner;

    static ArchiveResult Success() { return {}; }
    static ArchiveResult Failure(std::string why, int error = 0) {
        ArchiveResult result;
        result.ok = false;
        result.message = std::move(why);
        result.error = error;
        return result;
    }
};

}  // namespace acquenza
