#pragma once
// The pieces every careful write of ours is made of: descriptors that close
// themselves, whole reads and writes, and files prepared under no name (or a
// name of ours) before they take the place of another.

#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace acquenza::file_parts {

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor();
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void reset(int fd);

  private:
    int fd_;
};

std::filesystem::path FolderOf(const std::filesystem::path& path);

// 0 or the errno of the failed write.
int WriteAllAt(int fd, std::string_view bytes, off_t offset);
// Reads from offset 0 to the end, at most maxBytes + 1 bytes (so an oversize
// file is seen as such); 0 or an errno.
int ReadAllFrom(int fd, std::uintmax_t maxBytes, std::string& bytes);
void SyncFolder(const std::filesystem::path& folder);

// Our temporary files: this prefix and six random letters, whatever the file
// they stand in for is called, so any name the file system accepts can be
// saved and a later save recognises what a killed one left behind.
inline constexpr std::string_view TemporaryPrefix = ".acquenza-tmp-";
inline constexpr std::size_t TemporaryRandomLength = 6;
std::string RandomName();

// Removes temporary files of ours that a killed save left in `folder`: this
// program's present naming, and the one of earlier versions beside
// `targetName`.
void RemoveStaleTemporaries(const std::filesystem::path& folder, const std::string& targetName);

// A file being prepared in a folder: unnamed where the file system allows it,
// so a kill leaves nothing behind; otherwise under a temporary name of ours,
// removed on failure or, after a kill, by a later save in that folder.
class Temporary {
  public:
    Temporary() = default;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary();

    // Opens the file in `folder`; 0 or an errno.
    int Open(const std::filesystem::path& folder);
    int Write(std::string_view bytes) { return WriteAllAt(fd_.get(), bytes, 0); }
    // Gives the file the owner, group and permissions of `like`. An owner or
    // group this process may not give is left as it is and `keptOwner` is
    // false; 0 or the errno of the failed change of permissions.
    int TakeOwnerAndMode(const struct stat& like, bool& keptOwner);
    int Sync();
    // Opens, writes, takes the owner and permissions of `like` (when given)
    // and puts the file on the disk; 0 or an errno.
    int Fill(const std::filesystem::path& folder, std::string_view bytes, const struct stat* like);

    // Gives the file the name `path`, which must be free.
    int LinkAs(const std::filesystem::path& path);
    // Puts the file in place of `target`, whatever stood there.
    int Replace(const std::filesystem::path& target);

    int fd() const { return fd_.get(); }

  private:
    std::filesystem::path folder_;
    Descriptor fd_;
    std::filesystem::path name_;
};

}  // namespace acquenza::file_parts
