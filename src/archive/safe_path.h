#pragma once
// Where a path really leads, followed only as far as it is safe to follow,
// and whether the user has protected the file it leads to.

#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <string>

namespace acquenza {

struct ResolvedPath {
    // The path with every symbolic link replaced by what it names.
    std::filesystem::path path;
    // Of the last part, when it exists (never a link).
    struct stat st {};
    bool exists = false;
    // The link that was not followed, and whose it is.
    std::filesystem::path refusedLink;
    uid_t refusedLinkOwner = 0;
};

// Follows the symbolic links of `path`, every part of it, as the kernel does
// when it protects links: a link in a sticky folder that everyone may write
// (such as /tmp) is followed only when it belongs to this user or to the
// folder's owner, since anybody may have planted it there to make the
// program write where that person could not. Returns 0, or an errno: EACCES
// with refusedLink set for a link not followed, ELOOP after 40 links. A last
// part that does not exist is not an error (exists is false).
int ResolvePath(const std::filesystem::path& path, ResolvedPath& out);

// "il collegamento simbolico "…" appartiene a un altro utente («nobody») …":
// why the link of `resolved` was not followed, to end a sentence.
std::string RefusedLinkText(const ResolvedPath& resolved);

// The user's login name, or "utente n. 1001" when it has none.
std::string UserName(uid_t uid);

// Whether the user protected the file from writing: no write bit for anyone
// (which stops root too), no right to write it for this user, or the
// immutable or append-only attribute (chattr +i, +a).
bool IsWriteProtected(const std::filesystem::path& path, const struct stat& st);

}  // namespace acquenza
