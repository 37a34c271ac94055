#include "archive/atomic_file.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>
#include <utility>
#include <vector>

#include "archive/file_fingerprint.h"
#include "archive/file_parts.h"
#include "archive/safe_path.h"
#include "archive/save_backup.h"

namespace acquenza {

namespace fs = std::filesystem;
using namespace file_parts;

namespace {

// Larger files than this are not compared with the copies of an interrupted
// rewrite: no file of the program's comes near it.
constexpr std::uintmax_t MaxComparedBytes = 64u * 1024u * 1024u;

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

// The path could not be followed: a link refused, or a system error.
ArchiveResult Unresolved(const fs::path& path, std::string_view what, int error,
                         const ResolvedPath& resolved) {
    if (resolved.refusedLink.empty()) {
        return Failure(path, what, error);
    }
    return ArchiveResult::Failure("Impossibile " + std::string(what) + " il file \"" +
                                      path.string() + "\": " + RefusedLinkText(resolved) + ".",
                                  error);
}

ArchiveResult OwnedByOther(const fs::path& path, uid_t owner) {
    ArchiveResult result = ArchiveResult::Failure(
        "Il file \"" + path.string() + "\" appartiene a un altro utente («" + UserName(owner) +
            "»): Acquenza, in uso come amministratore (root), non lo sostituisce senza "
            "chiederlo.",
        EPERM);
    result.ownedByOther = true;
    result.owner = UserName(owner);
    return result;
}

// Where `path` leads and whether it may be written there.
ArchiveResult JudgeTarget(const fs::path& path, const WriteOptions& options, ResolvedPath& target) {
    if (const int error = ResolvePath(path, target)) {
        return Unresolved(path, "scrivere", error, target);
    }
    if (!target.exists) {
        return ArchiveResult::Success();
    }
    if (S_ISDIR(target.st.st_mode)) {
        return Failure(path, "scrivere", EISDIR);
    }
    if (!S_ISREG(target.st.st_mode)) {
        return NotAFile(path, "scrivere");
    }
    if (IsWriteProtected(target.path, target.st)) {
        return Protected(path);
    }
    if (::geteuid() == 0 && target.st.st_uid != 0 && !options.replaceOthersFile) {
        return OwnedByOther(path, target.st.st_uid);
    }
    return ArchiveResult::Success();
}

std::vector<std::string> AttributeNames(const fs::path& path, int fd) {
    std::vector<char> list(1024);
    for (int attempt = 0; attempt < 8; ++attempt) {
        const ssize_t n = fd >= 0 ? ::flistxattr(fd, list.data(), list.size())
                                  : ::llistxattr(path.c_str(), list.data(), list.size());
        if (n >= 0) {
            std::vector<std::string> names;
            for (std::size_t i = 0; i < static_cast<std::size_t>(n);) {
                names.emplace_back(list.data() + i);
                i += names.back().size() + 1;
            }
            return names;
        }
        if (errno != ERANGE) {
            return {};
        }
        list.resize(list.size() * 4);
    }
    return {};
}

// Gives the open file `to` every extended attribute of `from` (access
// control lists are among them) and drops those `from` lacks; 0, or the
// errno of the first that could not be given.
int CopyAttributes(const fs::path& from, int to) {
    const std::vector<std::string> names = AttributeNames(from, -1);
    for (const std::string& name : names) {
        std::vector<char> value(256);
        ssize_t n = -1;
        for (int attempt = 0; attempt < 8; ++attempt) {
            n = ::lgetxattr(from.c_str(), name.c_str(), value.data(), value.size());
            if (n >= 0 || errno != ERANGE) {
                break;
            }
            value.resize(value.size() * 8);
        }
        if (n < 0) {
            return errno;
        }
        if (::fsetxattr(to, name.c_str(), value.data(), static_cast<std::size_t>(n), 0) != 0) {
            return errno;
        }
    }
    // A default access list of the folder gave the new file one of its own.
    for (const std::string& name : AttributeNames({}, to)) {
        if (std::find(names.begin(), names.end(), name) == names.end()) {
            ::fremovexattr(to, name.c_str());
        }
    }
    return 0;
}

// The new contents take the target's place under its name. `inPlace` is set
// when that would not keep the file as it was and nothing was done.
ArchiveResult ReplaceByRename(const fs::path& path, const ResolvedPath& target,
                              std::string_view bytes, bool& inPlace) {
    const fs::path folder = FolderOf(target.path);
    RemoveStaleTemporaries(folder, target.path.filename().string());
    const auto refused = [&](int error) {
        return target.exists && (error == EACCES || error == EPERM);
    };
    Temporary temporary;
    int error = temporary.Open(folder);
    if (refused(error)) {
        inPlace = true;  // the folder takes no new file, the file itself may be written
        return ArchiveResult::Success();
    }
    if (error == 0) {
        error = temporary.Write(bytes);
    }
    if (error == 0 && target.exists) {
        bool keptOwner = true;
        error = temporary.TakeOwnerAndMode(target.st, keptOwner);
        if (error == 0 && (!keptOwner || CopyAttributes(target.path, temporary.fd()) != 0)) {
            inPlace = true;
            return ArchiveResult::Success();
        }
    }
    if (error == 0) {
        error = temporary.Sync();
    }
    if (error == 0) {
        error = temporary.Replace(target.path);
        if (refused(error)) {
            inPlace = true;  // a shared folder keeps others' files from being replaced
            return ArchiveResult::Success();
        }
    }
    if (error != 0) {
        return Failure(path, "scrivere", error);
    }
    SyncFolder(folder);
    return ArchiveResult::Success();
}

// Writing into the file itself keeps everything about it; the copy kept
// first makes it as safe against a kill as a rename.
ArchiveResult RewriteInPlace(const fs::path& path, const ResolvedPath& target,
                             std::string_view bytes) {
    const Descriptor fd(::open(target.path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY));
    if (fd.get() < 0) {
        return Failure(path, "scrivere", errno);
    }
    struct stat st {};
    std::string previous;
    if (::fstat(fd.get(), &st) != 0) {
        return Failure(path, "scrivere", errno);
    }
    if (const int error = ReadAllFrom(fd.get(), UINTMAX_MAX - 1, previous)) {
        return Failure(path, "scrivere", error);
    }
    if (previous == bytes) {
        RemoveBackups(target.path, st);
        return ArchiveResult::Success();
    }
    fs::path copy;
    if (const int error = KeepBackup(target.path, st, previous, ContentHash(bytes), copy)) {
        return ArchiveResult::Failure(
            "Impossibile scrivere il file \"" + path.string() +
                "\": non si è potuta fare prima una copia di sicurezza del suo contenuto (" +
                ItalianErrorText(error) + ").",
            error);
    }
    int error = WriteAllAt(fd.get(), bytes, 0);
    if (error == 0 && ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd.get()) != 0) {
        error = errno;
    }
    if (error != 0) {
        // The old contents go back at once; the copy stays only if they
        // could not.
        if (WriteAllAt(fd.get(), previous, 0) == 0 &&
            ::ftruncate(fd.get(), static_cast<off_t>(previous.size())) == 0 &&
            ::fsync(fd.get()) == 0) {
            ::unlink(copy.c_str());
            return Failure(path, "scrivere", error);
        }
        return ArchiveResult::Failure(
            "Impossibile scrivere il file \"" + path.string() + "\": " + ItalianErrorText(error) +
                ". Il contenuto precedente è conservato in \"" + copy.string() + "\".",
            error);
    }
    RemoveBackups(target.path, st);
    SyncFolder(FolderOf(copy));
    return ArchiveResult::Success();
}

ArchiveResult ReadFrom(int fd, const fs::path& path, std::uintmax_t maxBytes, std::string& bytes,
                       struct stat* status) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return Failure(path, "leggere", errno);
    }
    if (status != nullptr) {
        *status = st;
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
    if (const int error = ReadAllFrom(fd, maxBytes, bytes)) {
        return Failure(path, "leggere", error);
    }
    if (bytes.size() > maxBytes) {
        return tooBig();
    }
    return ArchiveResult::Success();
}

// The folder of `path` with its links followed as safely as ResolvePath
// follows them, and the name in it.
ArchiveResult ResolveFolder(const fs::path& path, std::string_view what, fs::path& resolved) {
    ResolvedPath folder;
    if (const int error = ResolvePath(FolderOf(path), folder)) {
        return Unresolved(path, what, error, folder);
    }
    resolved = folder.path / path.filename();
    return ArchiveResult::Success();
}

}  // namespace

ArchiveResult WriteFileAtomically(const fs::path& path, std::string_view bytes,
                                  const WriteOptions& options) {
    ResolvedPath target;
    ArchiveResult judged = JudgeTarget(path, options, target);
    if (!judged.ok) {
        return judged;
    }
    bool inPlace = target.exists && target.st.st_nlink > 1;
    if (!inPlace) {
        ArchiveResult replaced = ReplaceByRename(path, target, bytes, inPlace);
        if (!inPlace) {
            if (replaced.ok && target.exists) {
                // Copies an earlier interrupted rewrite left are out of date.
                RemoveBackups(target.path, target.st);
            }
            return replaced;
        }
    }
    return RewriteInPlace(path, target, bytes);
}

std::string OthersFileQuestion(const ArchiveResult& refused, const std::string& path) {
    return "Il file \"" + path + "\" appartiene a un altro utente («" + refused.owner +
           "»), e Acquenza è in uso come amministratore (root). Sovrascriverlo comunque?";
}

ArchiveResult CreateFileExclusively(const fs::path& path, std::string_view bytes) {
    fs::path resolved;
    ArchiveResult folderFound = ResolveFolder(path, "creare", resolved);
    if (!folderFound.ok) {
        return folderFound;
    }
    const fs::path folder = FolderOf(resolved);
    RemoveStaleTemporaries(folder, {});
    Temporary temporary;
    int error = temporary.Fill(folder, bytes, nullptr);
    if (error == 0) {
        error = temporary.LinkAs(resolved);
    }
    if (error != 0) {
        return Failure(path, "creare", error);
    }
    SyncFolder(folder);
    return ArchiveResult::Success();
}

ArchiveResult DeleteFile(const fs::path& path) {
    fs::path resolved;
    ArchiveResult folderFound = ResolveFolder(path, "eliminare", resolved);
    if (!folderFound.ok) {
        return folderFound;
    }
    struct stat st {};
    if (::lstat(resolved.c_str(), &st) != 0) {
        return Failure(path, "eliminare", errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return Failure(path, "eliminare", EISDIR);
    }
    if (S_ISREG(st.st_mode) && IsWriteProtected(resolved, st)) {
        return Protected(path);
    }
    if (::unlink(resolved.c_str()) != 0) {
        return Failure(path, "eliminare", errno);
    }
    return ArchiveResult::Success();
}

ArchiveResult ReadWholeFile(const fs::path& path, std::uintmax_t maxBytes, std::string& bytes,
                            struct stat* st) {
    ResolvedPath source;
    if (const int error = ResolvePath(path, source)) {
        return Unresolved(path, "leggere", error, source);
    }
    // Not blocking, so a named pipe chosen by mistake cannot hang the program.
    const Descriptor fd(
        ::open(source.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW));
    if (fd.get() < 0) {
        return Failure(path, "leggere", errno);
    }
    return ReadFrom(fd.get(), path, maxBytes, bytes, st);
}

PreparedFile::~PreparedFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    if (!work_.empty()) {
        ::unlink(work_.c_str());
    }
}

ArchiveResult PreparedFile::Prepare(const fs::path& path, const WriteOptions& options) {
    path_ = path;
    options_ = options;
    ResolvedPath target;
    ArchiveResult judged = JudgeTarget(path, options, target);
    if (!judged.ok) {
        return judged;
    }
    const fs::path folder = FolderOf(target.path);
    RemoveStaleTemporaries(folder, {});
    std::string pattern = (folder / (std::string(TemporaryPrefix) + "XXXXXX")).string();
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0 && target.exists && (errno == EACCES || errno == EPERM)) {
        // A folder that takes no new file: the file itself will be rewritten
        // in place, and its contents are prepared elsewhere.
        std::error_code ec;
        pattern =
            (fs::temp_directory_path(ec) / (std::string(TemporaryPrefix) + "XXXXXX")).string();
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    }
    if (fd_ < 0) {
        return Failure(path, "scrivere", errno);
    }
    work_ = pattern;
    return ArchiveResult::Success();
}

ArchiveResult PreparedFile::Commit() {
    std::string bytes;
    if (const int error = ReadAllFrom(fd_, UINTMAX_MAX - 1, bytes)) {
        return Failure(path_, "scrivere", error);
    }
    ArchiveResult written = WriteFileAtomically(path_, bytes, options_);
    ::unlink(work_.c_str());
    work_.clear();
    return written;
}

ArchiveResult PreparedFile::WriteFailure() const {
    // What stopped the writer stops a write of ours now: the disk is still
    // full, the size limit still there.
    int error = EIO;
    struct stat st {};
    if (fd_ >= 0 && ::fstat(fd_, &st) == 0) {
        const std::string probe(65536, '\0');
        error = WriteAllAt(fd_, probe, st.st_size);
        if (error == 0 && ::fsync(fd_) != 0) {
            error = errno;
        }
        [[maybe_unused]] const int cut = ::ftruncate(fd_, st.st_size);
        if (error == 0) {
            error = EIO;
        }
    }
    return Failure(path_, "scrivere", error);
}

std::optional<InterruptedSave> FindInterruptedSave(const fs::path& path) {
    ResolvedPath target;
    if (ResolvePath(path, target) != 0 || !target.exists || !S_ISREG(target.st.st_mode)) {
        return std::nullopt;
    }
    std::vector<BackupCopy> copies = BackupsOf(target.path, target.st);
    if (copies.empty()) {
        return std::nullopt;
    }
    std::string now;
    const bool readable = ReadWholeFile(target.path, MaxComparedBytes, now).ok;
    const std::uint64_t hash = ContentHash(now);
    std::optional<InterruptedSave> found;
    for (const BackupCopy& copy : copies) {
        std::string kept;
        // The rewrite ended, or never began: the file holds all there is.
        const bool outdated =
            readable && (copy.intendedHash == hash ||
                         (ReadWholeFile(copy.path, MaxComparedBytes, kept).ok && kept == now));
        if (outdated) {
            ::unlink(copy.path.c_str());
        } else if (!found) {
            found = InterruptedSave{copy.path, copy.madeAt};
        }
    }
    return found;
}

}  // namespace acquenza
