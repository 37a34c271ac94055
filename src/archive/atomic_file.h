#pragma once
// Writing, creating, deleting and reading whole files so that a failure or a
// kill at any point leaves the old file whole (or, for a file rewritten in
// place, a copy of it) and no stray file behind, and so that a user's
// protection on a file is respected.

#include <sys/stat.h>

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "archive/archive_result.h"
#include "archive/error_text.h"

namespace acquenza {

struct WriteOptions {
    // Run as root, the program replaces a file of another user only once the
    // user has said so.
    bool replaceOthersFile = false;
};

// Replaces the contents of the file `path` names. A symbolic link is written
// through to its target and stays a link, unless it is one a shared folder
// may have had planted by somebody else (see ResolvePath): that is refused.
// The target keeps its owner, permissions, access control lists and other
// extended attributes. The new contents go to an unnamed file in the
// target's folder, reach the disk, and only then take the target's name.
// Where that cannot keep the file as it was (several hard links, a folder
// that takes no new file, an owner or attribute that cannot be given to a
// new file) the file is rewritten in place, after a complete copy of its
// contents was put on the disk beside it (or in the user's cache folder);
// the copy goes once the rewrite is on the disk, and a kill in between
// leaves it for FindInterruptedSave. A write-protected file is refused
// (writeProtected set). On failure the message says, in Italian, which file
// and why.
ArchiveResult WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                  const WriteOptions& options = {});

// The question to ask before retrying a write refused with ownedByOther.
std::string OthersFileQuestion(const ArchiveResult& refused, const std::string& path);

// Creates `path` with the given contents, complete on disk before the name
// appears, and never in place of anything already there: when the name is
// taken (by a file, a folder or a link, even a broken one) the result fails
// with error EEXIST.
ArchiveResult CreateFileExclusively(const std::filesystem::path& path, std::string_view bytes);

// Deletes the file (a symbolic link itself, not its target); a
// write-protected file is refused (writeProtected set).
ArchiveResult DeleteFile(const std::filesystem::path& path);

// Reads a whole regular file (at most maxBytes); the message says why it could
// not. Folders, devices and pipes are refused without being read, and so is
// a link that is not safe to follow. `st`, when given, gets the file's status.
ArchiveResult ReadWholeFile(const std::filesystem::path& path, std::uintmax_t maxBytes,
                            std::string& bytes, struct stat* st = nullptr);

// A file whose contents come from a writer that needs a file name of its own
// (the PDF printer). Prepare judges `path` by the rules of
// WriteFileAtomically before anything is written, and makes an empty work
// file beside it; Commit puts what the writer wrote in place of `path` by
// those same rules. Dropped before Commit, it removes the work file and
// leaves `path` as it was.
class PreparedFile {
  public:
    PreparedFile() = default;
    ~PreparedFile();
    PreparedFile(const PreparedFile&) = delete;
    PreparedFile& operator=(const PreparedFile&) = delete;

    ArchiveResult Prepare(const std::filesystem::path& path, const WriteOptions& options);
    const std::filesystem::path& WorkFile() const { return work_; }
    ArchiveResult Commit();
    // Why the writer could not fill the work file: the error a further write
    // meets now (a full disk, a size limit), as a message naming `path`.
    ArchiveResult WriteFailure() const;

  private:
    std::filesystem::path path_;
    WriteOptions options_;
    std::filesystem::path work_;
    int fd_ = -1;
};

// A rewrite in place of `path` that was killed before it ended: the copy of
// what the file held before it. Found only when the file does not hold what
// that rewrite was writing (a copy whose rewrite did end is removed here).
struct InterruptedSave {
    std::filesystem::path copy;
    std::time_t madeAt = 0;
};
std::optional<InterruptedSave> FindInterruptedSave(const std::filesystem::path& path);

}  // namespace acquenza
