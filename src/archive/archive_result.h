#pragma once

#include <string>
#include <utility>

namespace acquenza {

// Success, or an Italian message that says which file and why it failed.
struct ArchiveResult {
    bool ok = true;
    std::string message;

    static ArchiveResult Success() { return {}; }
    static ArchiveResult Failure(std::string why) { return {false, std::move(why)}; }
};

}  // namespace acquenza
