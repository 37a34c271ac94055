#include "archive/file_fingerprint.h"

#include <cerrno>

#include "archive/atomic_file.h"

namespace acquenza {

std::uint64_t ContentHash(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

std::string HashText(std::uint64_t hash) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text(16, '0');
    for (int i = 15; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = Digits[hash & 0xF];
        hash >>= 4;
    }
    return text;
}

FileFingerprint FingerprintOf(std::string_view bytes, const struct stat& st) {
    FileFingerprint print;
    print.exists = true;
    print.size = bytes.size();
    print.modifiedNs =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    print.hash = ContentHash(bytes);
    return print;
}

std::optional<FileFingerprint> FingerprintOnDisk(const std::filesystem::path& path,
                                                 std::uintmax_t maxBytes) {
    std::string bytes;
    struct stat st {};
    const ArchiveResult read = ReadWholeFile(path, maxBytes, bytes, &st);
    if (!read.ok) {
        if (read.error == ENOENT) {
            return FileFingerprint{};
        }
        if (S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
            FileFingerprint big = FingerprintOf({}, st);
            big.size = static_cast<std::uintmax_t>(st.st_size);
            return big;
        }
        return std::nullopt;
    }
    return FingerprintOf(bytes, st);
}

}  // namespace acquenza
