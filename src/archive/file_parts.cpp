#include "archive/file_parts.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace acquenza::file_parts {

namespace fs = std::filesystem;

namespace {

// A save takes milliseconds: a temporary file older than this belongs to a
// process that died.
constexpr std::time_t StaleSeconds = 60;

}  // namespace

Descriptor::~Descriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void Descriptor::reset(int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

fs::path FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

int WriteAllAt(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return 0;
}

int ReadAllFrom(int fd, std::uintmax_t maxBytes, std::string& bytes) {
    bytes.clear();
    char buffer[65536];
    off_t offset = 0;
    while (bytes.size() <= maxBytes) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, offset);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (n == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        offset += n;
    }
    return 0;
}

void SyncFolder(const fs::path& folder) {
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0) {
        ::fsync(dir.get());
    }
}

std::string RandomName() {
    static constexpr std::string_view Letters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    unsigned char raw[TemporaryRandomLength] = {};
    if (::getrandom(raw, sizeof raw, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof raw)) {
        const auto seed = static_cast<unsigned long>(std::time(nullptr)) ^
                          (static_cast<unsigned long>(::getpid()) << 8) ^
                          reinterpret_cast<std::uintptr_t>(&raw);
        for (std::size_t i = 0; i < sizeof raw; ++i) {
            raw[i] = static_cast<unsigned char>(seed >> (i * 5));
        }
    }
    std::string name(TemporaryPrefix);
    for (const unsigned char c : raw) {
        name += Letters[c % Letters.size()];
    }
    return name;
}

void RemoveStaleTemporaries(const fs::path& folder, const std::string& targetName) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const std::string oldPrefix = "." + targetName + ".tmp-";
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        const bool ours = (name.starts_with(TemporaryPrefix) &&
                           name.size() == TemporaryPrefix.size() + TemporaryRandomLength) ||
                          (!targetName.empty() && name.starts_with(oldPrefix) &&
                           name.size() == oldPrefix.size() + TemporaryRandomLength);
        struct stat st {};
        if (ours && ::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && now - st.st_mtime > StaleSeconds) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

Temporary::~Temporary() {
    if (!name_.empty()) {
        ::unlink(name_.c_str());
    }
}

int Temporary::Open(const fs::path& folder) {
    folder_ = folder;
    fd_.reset(::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666));
    if (fd_.get() >= 0) {
        return 0;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        return errno;
    }
    std::string pattern = (folder / (std::string(TemporaryPrefix) + "XXXXXX")).string();
    fd_.reset(::mkostemp(pattern.data(), O_CLOEXEC));
    if (fd_.get() < 0) {
        return errno;
    }
    name_ = pattern;
    return 0;
}

int Temporary::TakeOwnerAndMode(const struct stat& like, bool& keptOwner) {
    struct stat now {};
    keptOwner = true;
    if (::fstat(fd_.get(), &now) == 0 && (now.st_uid != like.st_uid || now.st_gid != like.st_gid)) {
        // Only root can give a file to someone else, and a user only a group
        // of theirs.
        keptOwner = ::fchown(fd_.get(), like.st_uid, like.st_gid) == 0;
    }
    return ::fchmod(fd_.get(), like.st_mode & 07777) == 0 ? 0 : errno;
}

int Temporary::Sync() {
    return ::fsync(fd_.get()) == 0 ? 0 : errno;
}

int Temporary::Fill(const fs::path& folder, std::string_view bytes, const struct stat* like) {
    int error = Open(folder);
    if (error == 0) {
        error = Write(bytes);
    }
    if (error == 0 && like != nullptr) {
        bool keptOwner = true;
        error = TakeOwnerAndMode(*like, keptOwner);
    }
    if (error == 0) {
        error = Sync();
    }
    return error;
}

int Temporary::LinkAs(const fs::path& path) {
    if (!name_.empty()) {
        return ::link(name_.c_str(), path.c_str()) == 0 ? 0 : errno;
    }
    const std::string proc = "/proc/self/fd/" + std::to_string(fd_.get());
    if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return 0;
    }
    const int error = errno;
    if (error != ENOENT || ::access("/proc/self/fd", F_OK) == 0) {
        return error;
    }
    // Without /proc only a privileged process can name an unnamed file.
    return ::linkat(fd_.get(), "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
}

int Temporary::Replace(const fs::path& target) {
    if (name_.empty()) {
        // An unnamed file cannot be renamed: it gets a temporary name for the
        // moment of the rename.
        int error = EEXIST;
        for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
            const fs::path candidate = folder_ / RandomName();
            error = LinkAs(candidate);
            if (error == 0) {
                name_ = candidate;
            }
        }
        if (error != 0) {
            return error;
        }
    }
    if (::rename(name_.c_str(), target.c_str()) != 0) {
        return errno;
    }
    name_.clear();
    return 0;
}

}  // namespace acquenza::file_parts
