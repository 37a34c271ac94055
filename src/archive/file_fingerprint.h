#pragma once
// What a file held when the program last read or wrote it, so that a change
// made meanwhile by another program (another Acquenza on the same project)
// is noticed before it is overwritten.

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace acquenza {

// A 64-bit FNV-1a hash of the bytes: no defence against forgery, only a
// sure sign of an accidental change.
std::uint64_t ContentHash(std::string_view bytes);
// The hash as 16 lowercase hexadecimal digits.
std::string HashText(std::uint64_t hash);

struct FileFingerprint {
    bool exists = false;
    std::uintmax_t size = 0;
    std::int64_t modifiedNs = 0;  // since the epoch
    std::uint64_t hash = 0;

    // The same bytes: the time alone may change when a program rewrites a
    // file with what it held.
    bool SameContents(const FileFingerprint& other) const {
        return exists == other.exists && (!exists || (size == other.size && hash == other.hash));
    }
};

FileFingerprint FingerprintOf(std::string_view bytes, const struct stat& st);

// The file as it is on disk now; nullopt when that cannot be told (a file
// that cannot be read, or a link not to be followed). A file larger than
// maxBytes is not read: only its size is told.
std::optional<FileFingerprint> FingerprintOnDisk(const std::filesystem::path& path,
                                                 std::uintmax_t maxBytes);

}  // namespace acquenza
