#pragma once
// The copy of a file's previous contents kept while the file is rewritten in
// place (its other names must see the new contents, or its folder takes no
// new file). A kill during the rewrite leaves the copy behind, and the next
// Open offers it back.

#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string_view>
#include <vector>

namespace acquenza {

// Keeps `previous`, the contents of `target` (a path without links, `like`
// its status) before it is rewritten with contents whose hash is `newHash`:
// beside the file, or in the user's cache folder when the file's folder
// takes no new file. The copy is whole on disk, with the file's owner and
// permissions, before this returns 0; otherwise it returns an errno.
int KeepBackup(const std::filesystem::path& target, const struct stat& like,
               std::string_view previous, std::uint64_t newHash, std::filesystem::path& copy);

// Removes every copy kept for `target`.
void RemoveBackups(const std::filesystem::path& target, const struct stat& st);

struct BackupCopy {
    std::filesystem::path path;
    // Of the contents the interrupted rewrite was writing.
    std::uint64_t intendedHash = 0;
    std::time_t madeAt = 0;
};

// The copies kept for `target` (status `st`), newest first. Only copies that
// belong to the file's owner or to this user count: a copy planted by
// somebody else in a shared folder is never offered.
std::vector<BackupCopy> BackupsOf(const std::filesystem::path& target, const struct stat& st);

// Where the copies of files in folders that take no new file go:
// $XDG_CACHE_HOME/acquenza, or ~/.cache/acquenza.
std::filesystem::path BackupCacheFolder();

}  // namespace acquenza
