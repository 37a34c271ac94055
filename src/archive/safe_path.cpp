#include "archive/safe_path.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace acquenza {

namespace fs = std::filesystem;

namespace {

// As the kernel, which gives up on a path after 40 links.
constexpr int MaxLinkHops = 40;

// Whether the kernel's protection of links would let this process follow
// `link`, which lies in `folder`.
bool MayFollow(const fs::path& folder, const struct stat& link) {
    if (link.st_uid == ::geteuid()) {
        return true;
    }
    struct stat dir {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &dir) != 0) {
        return false;  // a folder that cannot be judged is not trusted
    }
    const bool shared = (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0;
    return !shared || dir.st_uid == link.st_uid;
}

// The parts still to walk, the next one last.
void PushParts(std::vector<std::string>& pending, const fs::path& path) {
    std::vector<std::string> parts;
    for (const fs::path& part : path.relative_path()) {
        parts.push_back(part.string());
    }
    pending.insert(pending.end(), parts.rbegin(), parts.rend());
}

bool OnlyDotsLeft(const std::vector<std::string>& pending) {
    for (const std::string& part : pending) {
        if (!part.empty() && part != ".") {
            return false;
        }
    }
    return true;
}

}  // namespace

int ResolvePath(const fs::path& path, ResolvedPath& out) {
    out = ResolvedPath{};
    if (path.empty()) {
        return ENOENT;
    }
    const std::string& text = path.native();
    if (text.size() > 1 && text.back() == '/') {
        return EISDIR;  // a name ending in "/" can only be a folder
    }
    std::vector<std::string> pending;
    PushParts(pending, path);
    fs::path done = path.is_absolute() ? fs::path("/") : fs::path();
    int hops = 0;
    while (!pending.empty()) {
        const std::string part = pending.back();
        pending.pop_back();
        if (part.empty() || part == ".") {
            continue;
        }
        if (part == "..") {
            // `done` holds no link, so going up is going to its folder.
            if (done.empty() || done.filename() == "..") {
                done /= "..";
            } else if (done != "/") {
                done = done.parent_path();
            }
            continue;
        }
        const fs::path next = done.empty() ? fs::path(part) : done / part;
        struct stat st {};
        if (::lstat(next.c_str(), &st) != 0) {
            const int error = errno;
            if (error == ENOENT && OnlyDotsLeft(pending)) {
                out.path = next;
                return 0;
            }
            return error;
        }
        if (S_ISLNK(st.st_mode)) {
            if (++hops > MaxLinkHops) {
                return ELOOP;
            }
            if (!MayFollow(done, st)) {
                out.refusedLink = next;
                out.refusedLinkOwner = st.st_uid;
                return EACCES;
            }
            std::string link(PATH_MAX, '\0');
            const ssize_t n = ::readlink(next.c_str(), link.data(), link.size());
            if (n < 0) {
                return errno;
            }
            if (static_cast<std::size_t>(n) == link.size()) {
                return ENAMETOOLONG;
            }
            link.resize(static_cast<std::size_t>(n));
            const fs::path to(link);
            if (to.is_absolute()) {
                done = "/";
            }
            PushParts(pending, to);
            continue;
        }
        if (!OnlyDotsLeft(pending) && !S_ISDIR(st.st_mode)) {
            return ENOTDIR;
        }
        done = next;
    }
    out.path = done.empty() ? fs::path(".") : done;
    if (::lstat(out.path.c_str(), &out.st) != 0) {
        const int error = errno;
        out.st = {};
        return error == ENOENT ? 0 : error;
    }
    out.exists = true;
    return 0;
}

std::string RefusedLinkText(const ResolvedPath& resolved) {
    return "il collegamento simbolico \"" + resolved.refusedLink.string() +
           "\" appartiene a un altro utente («" + UserName(resolved.refusedLinkOwner) +
           "») e si trova in una cartella in cui tutti possono scrivere: per sicurezza non viene "
           "seguito";
}

std::string UserName(uid_t uid) {
    struct passwd entry {};
    struct passwd* found = nullptr;
    std::string buffer(16384, '\0');
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_name != nullptr && found->pw_name[0] != '\0') {
        return found->pw_name;
    }
    return "utente n. " + std::to_string(uid);
}

bool IsWriteProtected(const fs::path& path, const struct stat& st) {
    if ((st.st_mode & 0222) == 0) {
        return true;
    }
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 &&
        (errno == EACCES || errno == EPERM)) {
        return true;
    }
    // The access check knows nothing of append-only files.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    const bool locked = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                        (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
    ::close(fd);
    return locked;
}

}  // namespace acquenza
