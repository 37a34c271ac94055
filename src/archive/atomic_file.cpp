#include "archive/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace acquenza {

std::string ItalianErrorText(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return "permesso negato";
        case ENOSPC:
            return "spazio esaurito sul disco";
        case EDQUOT:
            return "quota del disco superata";
        case EROFS:
            return "il disco è di sola lettura";
        case ENOENT:
            return "la cartella o il file non esiste";
        case ENOTDIR:
            return "il percorso non indica una cartella valida";
        case EISDIR:
            return "il nome indica una cartella";
        case ENAMETOOLONG:
            return "il nome del file è troppo lungo";
        case EIO:
            return "errore di lettura o scrittura sul disco";
        default:
            return std::strerror(error);
    }
}

namespace {

ArchiveResult Failure(const std::filesystem::path& path, std::string_view what, int error) {
    return ArchiveResult::Failure("Impossibile " + std::string(what) + " il file \"" +
                                  path.string() + "\": " + ItalianErrorText(error) + ".");
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Mode for the new file: the old file's if there is one, else the usual
// 0666 less the process umask.
mode_t ModeFor(const std::filesystem::path& path) {
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) {
        return old.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

ArchiveResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    const std::filesystem::path folder =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    std::string hidden(1, '.');
    hidden += path.filename().string();
    hidden += ".tmp-XXXXXX";
    std::string pattern = (folder / hidden).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return Failure(path, "scrivere", errno);
    }
    const std::filesystem::path temporary = pattern;
    int error = 0;
    if (!WriteAll(fd, bytes) || ::fchmod(fd, ModeFor(path)) != 0 || ::fsync(fd) != 0) {
        error = errno;
    }
    if (::close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Failure(path, "scrivere", error);
    }
    // Make the rename itself durable.
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return ArchiveResult::Success();
}

ArchiveResult ReadWholeFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                            std::string& bytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return Failure(path, "leggere", EISDIR);
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        return Failure(path, "leggere", ec.value());
    }
    if (size > maxBytes) {
        return ArchiveResult::Failure("Il file \"" + path.string() +
                                      "\" è troppo grande per essere un file dati di Acquenza.");
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Failure(path, "leggere", errno != 0 ? errno : EIO);
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return Failure(path, "leggere", EIO);
    }
    return ArchiveResult::Success();
}

}  // namespace acquenza
