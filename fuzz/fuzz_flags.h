#pragma once
// Default libFuzzer flags for a target, set from LLVMFuzzerInitialize, which
// runs before libFuzzer reads its flags. A flag given on the command line
// comes later and wins.

#include <cstring>
#include <vector>

namespace acquenza::fuzz {

inline void AddDefaultFlags(int* argc, char*** argv, std::vector<const char*> flags) {
    static std::vector<char*> args;
    args.assign(*argv, *argv + *argc);
    for (const char* flag : flags) {
        bool given = false;
        const std::size_t name = std::strchr(flag, '=') - flag + 1;
        for (int i = 1; i < *argc; ++i) {
            given = given || std::strncmp((*argv)[i], flag, name) == 0;
        }
        if (!given) {
            args.insert(args.begin() + 1, const_cast<char*>(flag));
        }
    }
    args.push_back(nullptr);
    *argc = static_cast<int>(args.size()) - 1;
    *argv = args.data();
}

}  // namespace acquenza::fuzz
