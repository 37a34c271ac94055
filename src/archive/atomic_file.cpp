#include "archive/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <ctime>
#include <utility>

namespace acquenza {

namespace fs = std::filesystem;

namespace {

// Our temporary files have a name of fixed length, whatever the target is
// called, so any name the file system accepts can be saved.
constexpr std::string_view TemporaryPrefix = ".acquenza-tmp-";
constexpr std::size_t TemporaryRandomLength = 6;
// A save takes milliseconds: a temporary file older than this belongs to a
// process that died.
constexpr std::time_t StaleSeconds = 60;
// As the kernel, which gives up on a path after 40 links.
constexpr int MaxLinkHops = 40;

ArchiveResult Failure(const fs::path& path, std::string_view what, int error) {
    return ArchiveResult::Failure("Impossibile " + std::string(what) + " il file \"" +
                                      path.string() + "\": " + ItalianErrorText(error) + ".",
                                  error);
}

ArchiveResult NotAFile(const fs::path& path, std::string_view what) {
    return ArchiveResult::Failure("Impossibile " + std::string(what) + " il file \"" +
                                      path.string() +
                                      "\": non è un file ordinario ma un dispositivo o un canale.",
                                  ENODEV);
}

ArchiveResult Protected(const fs::path& path) {
    ArchiveResult result = ArchiveResult::Failure(
        "Il file \"" + path.string() + "\" è protetto da scrittura.", EACCES);
    result.writeProtected = true;
    return result;
}

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void reset(int fd) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }

  private:
    int fd_;
};

fs::path FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// A user's protection, judged from the mode bits so that it holds for root
// too, and from this user's own right to write.
bool IsWriteProtected(const fs::path& path, const struct stat& st) {
    if ((st.st_mode & 0222) == 0) {
        return true;
    }
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
}

// The file `path` finally names: symbolic links of its last part are
// followed (the system follows those of its folders). `exists` is false when
// the name is free, so the file is to be created.
int FinalTarget(fs::path path, fs::path& target, struct stat& st, bool& exists) {
    for (int hops = 0; hops <= MaxLinkHops; ++hops) {
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                return errno;
            }
            exists = false;
            target = path;
            return 0;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            target = path;
            return 0;
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n < 0) {
            return errno;
        }
        if (static_cast<std::size_t>(n) == link.size()) {
            return ENAMETOOLONG;
        }
        link.resize(static_cast<std::size_t>(n));
        const fs::path next(link);
        path = next.is_absolute() ? next : FolderOf(path) / next;
    }
    return ELOOP;
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

// Reads from offset 0 to the end, at most maxBytes + 1 bytes (so an oversize
// file is seen as such).
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

// Removes temporary files of ours that a killed save left in `folder`: this
// program's present naming, and the one of earlier versions beside `target`.
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

// A file being prepared in a folder: unnamed where the file system allows it,
// so a kill leaves nothing behind; otherwise under a temporary name of ours,
// removed on failure or, after a kill, by a later save in that folder.
class Temporary {
  public:
    Temporary() = default;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() {
        if (!name_.empty()) {
            ::unlink(name_.c_str());
        }
    }

    // Opens the file in `folder` and puts `bytes` on the disk in it, with the
    // owner and permissions of `like` when there is one.
    int Fill(const fs::path& folder, std::string_view bytes, const struct stat* like) {
        int error = Open(folder);
        if (error == 0) {
            error = WriteAllAt(fd_.get(), bytes, 0);
        }
        if (error == 0 && like != nullptr) {
            // Only root can give a file to someone else; for the user's own
            // file owner and group are already right.
            [[maybe_unused]] const int owned = ::fchown(fd_.get(), like->st_uid, like->st_gid);
            if (::fchmod(fd_.get(), like->st_mode & 07777) != 0) {
                error = errno;
            }
        }
        if (error == 0 && ::fsync(fd_.get()) != 0) {
            error = errno;
        }
        return error;
    }

    // Gives the file the name `path`, which must be free.
    int LinkAs(const fs::path& path) {
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

    // Puts the file in place of `target`, whatever stood there.
    int Replace(const fs::path& target) {
        if (name_.empty()) {
            // An unnamed file cannot be renamed: it gets a temporary name for
            // the moment of the rename.
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

  private:
    int Open(const fs::path& folder) {
        folder_ = folder;
        fd_.reset(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
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

    fs::path folder_;
    Descriptor fd_;
    fs::path name_;
};

// Several names share the file: writing in place is the only way all of them
// see the new contents. The old contents are kept to put back on failure.
ArchiveResult RewriteInPlace(const fs::path& path, const fs::path& target, std::string_view bytes) {
    const Descriptor fd(::open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0) {
        return Failure(path, "scrivere", errno);
    }
    std::string previous;
    if (const int error = ReadAllFrom(fd.get(), UINTMAX_MAX - 1, previous)) {
        return Failure(path, "scrivere", error);
    }
    int error = WriteAllAt(fd.get(), bytes, 0);
    if (error == 0 && ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd.get()) != 0) {
        error = errno;
    }
    if (error != 0) {
        if (WriteAllAt(fd.get(), previous, 0) == 0 &&
            ::ftruncate(fd.get(), static_cast<off_t>(previous.size())) == 0) {
            ::fsync(fd.get());
        }
        return Failure(path, "scrivere", error);
    }
    return ArchiveResult::Success();
}

}  // namespace

ArchiveResult WriteFileAtomically(const fs::path& path, std::string_view bytes) {
    fs::path target;
    struct stat old {};
    bool exists = false;
    if (const int error = FinalTarget(path, target, old, exists)) {
        return Failure(path, "scrivere", error);
    }
    if (exists) {
        if (S_ISDIR(old.st_mode)) {
            return Failure(path, "scrivere", EISDIR);
        }
        if (!S_ISREG(old.st_mode)) {
            return NotAFile(path, "scrivere");
        }
        if (IsWriteProtected(target, old)) {
            return Protected(path);
        }
        if (old.st_nlink > 1) {
            return RewriteInPlace(path, target, bytes);
        }
    }
    const fs::path folder = FolderOf(target);
    RemoveStaleTemporaries(folder, target.filename().string());
    Temporary temporary;
    int error = temporary.Fill(folder, bytes, exists ? &old : nullptr);
    if (error == 0) {
        error = temporary.Replace(target);
    }
    if (error != 0) {
        return Failure(path, "scrivere", error);
    }
    SyncFolder(folder);
    return ArchiveResult::Success();
}

ArchiveResult CreateFileExclusively(const fs::path& path, std::string_view bytes) {
    const fs::path folder = FolderOf(path);
    RemoveStaleTemporaries(folder, {});
    Temporary temporary;
    int error = temporary.Fill(folder, bytes, nullptr);
    if (error == 0) {
        error = temporary.LinkAs(path);
    }
    if (error != 0) {
        return Failure(path, "creare", error);
    }
    SyncFolder(folder);
    return ArchiveResult::Success();
}

ArchiveResult DeleteFile(const fs::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) {
        return Failure(path, "eliminare", errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return Failure(path, "eliminare", EISDIR);
    }
    if (S_ISREG(st.st_mode) && IsWriteProtected(path, st)) {
        return Protected(path);
    }
    if (::unlink(path.c_str()) != 0) {
        return Failure(path, "eliminare", errno);
    }
    return ArchiveResult::Success();
}

ArchiveResult ReadWholeFile(const fs::path& path, std::uintmax_t maxBytes, std::string& bytes) {
    // Not blocking, so a named pipe chosen by mistake cannot hang the program.
    const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0) {
        return Failure(path, "leggere", errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return Failure(path, "leggere", errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return Failure(path, "leggere", EISDIR);
    }
    if (!S_ISREG(st.st_mode)) {
        return NotAFile(path, "leggere");
    }
    const auto tooBig = [&] {
        return ArchiveResult::Failure("Il file \"" + path.string() +
                                      "\" è troppo grande per essere un file dati di Acquenza.");
    };
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes) {
        return tooBig();
    }
    if (const int error = ReadAllFrom(fd.get(), maxBytes, bytes)) {
        return Failure(path, "leggere", error);
    }
    if (bytes.size() > maxBytes) {
        return tooBig();
    }
    return ArchiveResult::Success();
}

}  // namespace acquenza
