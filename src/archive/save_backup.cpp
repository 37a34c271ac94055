#include "archive/save_backup.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>

#include "archive/file_fingerprint.h"
#include "archive/file_parts.h"

namespace acquenza {

namespace fs = std::filesystem;
using file_parts::FolderOf;
using file_parts::Temporary;

namespace {

constexpr std::string_view CopyMark = ".copia-";
constexpr std::size_t HashDigits = 16;
// Names longer than this are cut, so the copy's name stays within the 255
// bytes a file system allows.
constexpr std::size_t MaxNamePart = 180;

// The file's name as the copy's name carries it: whole when short enough,
// otherwise its start and a hash of the whole.
std::string NamePart(const std::string& name) {
    if (name.size() <= MaxNamePart) {
        return name;
    }
    std::size_t cut = MaxNamePart - 20;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) {
        --cut;  // never half a character
    }
    return name.substr(0, cut) + "~" + HashText(ContentHash(name)).substr(0, 8);
}

struct Place {
    fs::path folder;
    std::string stem;  // the copy's name without the hash that ends it
};

// Beside the file first, then the cache folder.
std::vector<Place> PlacesFor(const fs::path& target) {
    const std::string name = NamePart(target.filename().string());
    std::vector<Place> places = {{FolderOf(target), "." + name + std::string(CopyMark)}};
    const fs::path cache = BackupCacheFolder();
    if (!cache.empty()) {
        std::error_code ec;
        const fs::path absolute = fs::absolute(target, ec);
        const std::string where = HashText(ContentHash((ec ? target : absolute).string()));
        places.push_back({cache, name + "." + where.substr(0, 12) + std::string(CopyMark)});
    }
    return places;
}

std::optional<std::uint64_t> HashFromText(std::string_view text) {
    if (text.size() != HashDigits) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    for (const char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else {
            return std::nullopt;
        }
        value = value << 4 | static_cast<std::uint64_t>(digit);
    }
    return value;
}

// Calls found(name, hash, status) for each copy in `place`.
template <typename Found>
void EachCopy(const Place& place, Found found) {
    DIR* dir = ::opendir(place.folder.c_str());
    if (dir == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (!name.starts_with(place.stem)) {
            continue;
        }
        const std::optional<std::uint64_t> hash = HashFromText(name.substr(place.stem.size()));
        struct stat st {};
        if (hash && ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode)) {
            found(std::string(name), *hash, st);
        }
    }
    ::closedir(dir);
}

}  // namespace

fs::path BackupCacheFolder() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return fs::path(xdg) / "acquenza";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') {
        return fs::path(home) / ".cache" / "acquenza";
    }
    if (const passwd* user = ::getpwuid(::geteuid()); user != nullptr && user->pw_dir != nullptr) {
        return fs::path(user->pw_dir) / ".cache" / "acquenza";
    }
    return {};
}

int KeepBackup(const fs::path& target, const struct stat& like, std::string_view previous,
               std::uint64_t newHash, fs::path& copy) {
    int error = EACCES;
    for (const Place& place : PlacesFor(target)) {
        if (place.folder != FolderOf(target)) {
            std::error_code ec;
            fs::create_directories(place.folder, ec);
            // The copy holds the user's project: the cache is theirs alone.
            ::chmod(place.folder.c_str(), 0700);
        }
        Temporary temporary;
        error = temporary.Fill(place.folder, previous, &like);
        if (error == 0) {
            // Named straight away, never under a temporary name a kill could
            // leave behind; one left by an identical earlier attempt goes.
            copy = place.folder / (place.stem + HashText(newHash));
            ::unlink(copy.c_str());
            error = temporary.LinkAs(copy);
        }
        if (error == 0) {
            file_parts::SyncFolder(place.folder);
            return 0;
        }
    }
    return error;
}

void RemoveBackups(const fs::path& target, const struct stat& st) {
    for (const BackupCopy& copy : BackupsOf(target, st)) {
        ::unlink(copy.path.c_str());
    }
}

std::vector<BackupCopy> BackupsOf(const fs::path& target, const struct stat& st) {
    std::vector<BackupCopy> copies;
    for (const Place& place : PlacesFor(target)) {
        EachCopy(place, [&](const std::string& name, std::uint64_t hash, const struct stat& c) {
            if (c.st_uid == st.st_uid || c.st_uid == ::geteuid()) {
                copies.push_back({place.folder / name, hash, c.st_mtime});
            }
        });
    }
    std::sort(copies.begin(), copies.end(),
              [](const BackupCopy& a, const BackupCopy& b) { return a.madeAt > b.madeAt; });
    return copies;
}

}  // namespace acquenza
