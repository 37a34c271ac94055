// Files under attack: links planted in shared folders, files of other users,
// saves killed halfway through a rewrite in place, folders that take no new
// file, attributes and access lists, immutable files.

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <random>
#include <set>

#include "archive/atomic_file.h"
#include "archive/file_fingerprint.h"
#include "archive/safe_path.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;

constexpr uid_t Nobody = 65534;

class FileSafety : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("acquenza-safety-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
        // Copies of files in folders that take no new file go here.
        cache_ = folder_ / "cache";
        fs::create_directories(cache_);
        ::setenv("XDG_CACHE_HOME", cache_.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("XDG_CACHE_HOME");
        std::error_code ec;
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(folder_, ec)) {
            fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
        fs::remove_all(folder_);
    }

    static std::string Slurp(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Spit(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    static std::set<std::string> Names(const fs::path& folder) {
        std::set<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
            names.insert(e.path().filename().string());
        }
        return names;
    }
    static bool Root() { return ::geteuid() == 0; }

    // Runs `work` in a child process, as the user nobody when this is root,
    // so that folder permissions bind; true when it returned true.
    static bool AsOrdinaryUser(const std::function<bool()>& work) {
        const pid_t child = ::fork();
        if (child == 0) {
            if (Root() && (::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)) {
                ::_exit(3);
            }
            ::_exit(work() ? 0 : 1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    fs::path folder_;
    fs::path cache_;
};

TEST_F(FileSafety, LinksInSharedFoldersAreFollowedOnlyWhereTheKernelWould) {
    if (!Root()) {
        GTEST_SKIP() << "giving a link to another user needs root";
    }
    // The file a planted link would make root overwrite.
    const fs::path victim = folder_ / "sistema.conf";
    Spit(victim, "riservato");
    const fs::path outside = folder_ / "esterna";
    fs::create_directories(outside);
    struct Case {
        const char* name;
        fs::perms mode;
        uid_t folderOwner, linkOwner;
        bool followed;
    };
    const fs::perms open = fs::perms::all;
    const fs::perms sticky = fs::perms::all | fs::perms::sticky_bit;
    const Case cases[] = {
        {"sticky-altrui", sticky, 0, Nobody, false},           // planted by another user
        {"sticky-mio", sticky, 0, 0, true},                    // the user's own link
        {"sticky-del-padrone", sticky, Nobody, Nobody, true},  // the folder owner's
        {"non-sticky", open, 0, Nobody, true},                 // not a shared folder
    };
    for (const Case& c : cases) {
        const fs::path shared = folder_ / c.name;
        fs::create_directory(shared);
        ASSERT_EQ(::chown(shared.c_str(), c.folderOwner, c.folderOwner), 0);
        fs::permissions(shared, c.mode);
        const fs::path link = shared / "Acquenza-dati-rete";
        fs::create_symlink(victim, link);
        ASSERT_EQ(::lchown(link.c_str(), c.linkOwner, c.linkOwner), 0);
        Spit(victim, "riservato");

        const ArchiveResult written = WriteFileAtomically(link, "progetto");
        std::string read;
        const ArchiveResult opened = ReadWholeFile(link, 1000, read);
        EXPECT_EQ(written.ok, c.followed) << c.name << ": " << written.message;
        EXPECT_EQ(opened.ok, c.followed) << c.name << ": " << opened.message;
        EXPECT_TRUE(fs::is_symlink(link)) << c.name;
        if (c.followed) {
            EXPECT_EQ(Slurp(victim), "progetto") << c.name;
            continue;
        }
        EXPECT_EQ(Slurp(victim), "riservato") << c.name;
        for (const std::string& message : {written.message, opened.message}) {
            EXPECT_NE(message.find("\"" + link.string() + "\""), std::string::npos) << message;
            EXPECT_NE(message.find("non viene seguito"), std::string::npos) << message;
            EXPECT_NE(message.find("«" + UserName(Nobody) + "»"), std::string::npos) << message;
        }
    }
    // A planted link to a folder, in the middle of the path.
    const fs::path shared = folder_ / "sticky-altrui";
    const fs::path through = shared / "cartella";
    fs::create_symlink(outside, through);
    ASSERT_EQ(::lchown(through.c_str(), Nobody, Nobody), 0);
    const ArchiveResult middle = WriteFileAtomically(through / "Acquenza-dati-x", "progetto");
    EXPECT_FALSE(middle.ok);
    EXPECT_NE(middle.message.find(through.string()), std::string::npos) << middle.message;
    EXPECT_FALSE(CreateFileExclusively(through / "relazione.docx", "x").ok);
    EXPECT_TRUE(Names(outside).empty());
}

TEST_F(FileSafety, RootReplacesAnotherUsersFileOnlyWhenToldTo) {
    if (!Root()) {
        GTEST_SKIP() << "only root can replace another user's file";
    }
    const fs::path file = folder_ / "Acquenza-dati-altrui";
    Spit(file, "suo");
    ASSERT_EQ(::chown(file.c_str(), Nobody, Nobody), 0);
    const ArchiveResult refused = WriteFileAtomically(file, "mio");
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.ownedByOther);
    EXPECT_EQ(refused.owner, UserName(Nobody));
    EXPECT_EQ(Slurp(file), "suo");
    EXPECT_NE(OthersFileQuestion(refused, file.string()).find("Sovrascriverlo comunque?"),
              std::string::npos);

    const ArchiveResult told = WriteFileAtomically(file, "mio", WriteOptions{true});
    EXPECT_TRUE(told.ok) << told.message;
    EXPECT_EQ(Slurp(file), "mio");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
    struct stat st {};
    ::stat(file.c_str(), &st);
    EXPECT_EQ(st.st_uid, Nobody);  // still theirs
    // A new file is no one else's: nothing to ask.
    EXPECT_TRUE(WriteFileAtomically(folder_ / "Acquenza-dati-nuovo", "x").ok);
}

// A child rewriting a hard-linked file in place, killed by the file size
// limit in the middle of the new contents: the old ones stay in the copy.
fs::path TearInPlace(const fs::path& file, const std::string& newer, rlim_t limit) {
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        const rlimit capped{limit, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &capped);
        std::signal(SIGXFSZ, SIG_DFL);
        WriteFileAtomically(file, newer);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    const std::optional<InterruptedSave> found = FindInterruptedSave(file);
    return found ? found->copy : fs::path();
}

TEST_F(FileSafety, AHardLinkedFileKilledMidRewriteIsRecoverableFromItsCopy) {
    const fs::path file = folder_ / "Acquenza-dati-rete";
    const fs::path other = folder_ / "copia-in-archivio";
    const std::string old(3000, 'v');
    const std::string newer(20000, 'n');
    Spit(file, old);
    fs::create_hard_link(file, other);

    const fs::path copy = TearInPlace(file, newer, 8192);
    const std::string torn = Slurp(file);
    EXPECT_NE(torn, old);
    EXPECT_NE(torn, newer);
    ASSERT_FALSE(copy.empty()) << "no copy of the old contents";
    EXPECT_EQ(copy.parent_path(), folder_);  // beside the file
    EXPECT_EQ(Slurp(copy), old);
    EXPECT_EQ(Slurp(other), torn);  // still one file under two names

    // Putting the copy back is a save like any other, and removes the copy.
    ASSERT_TRUE(WriteFileAtomically(file, Slurp(copy)).ok);
    EXPECT_EQ(Slurp(file), old);
    EXPECT_EQ(Slurp(other), old);
    EXPECT_EQ(Names(folder_),
              (std::set<std::string>{"Acquenza-dati-rete", "cache", "copia-in-archivio"}));
    EXPECT_FALSE(FindInterruptedSave(file));

    // Copies are not offered, and go, when their rewrite did end (the file
    // holds what it was writing) or never began (the file holds the copy).
    Spit(folder_ / (".Acquenza-dati-rete.copia-" + HashText(ContentHash(old))), "vecchissimo");
    Spit(folder_ / ".Acquenza-dati-rete.copia-00000000000000ff", old);
    EXPECT_FALSE(FindInterruptedSave(file));
    EXPECT_EQ(Names(folder_).size(), 3u);
    // Nor is one planted by another user in a shared folder.
    if (Root()) {
        const fs::path planted = folder_ / ".Acquenza-dati-rete.copia-00000000000000aa";
        Spit(planted, "contenuto estraneo");
        ASSERT_EQ(::chown(planted.c_str(), Nobody, Nobody), 0);
        EXPECT_FALSE(FindInterruptedSave(file));
    }
}

// A child saves a hard-linked file, and is killed: every other time at a
// random moment of saving over and over, otherwise by the file size limit at
// a random byte of the new contents (a kill that always lands inside the
// rewrite). The file must then hold the old or the new contents, or else a
// copy must; nothing may be left over once the user has put the copy back,
// and both names must still share the file.
struct KillFigures {
    int kills = 0;
    int torn = 0;
    int unrecoverable = 0;
    int leftovers = 0;
};

KillFigures KillInPlaceRewrites(const fs::path& folder, int runs, unsigned seed) {
    const fs::path file = folder / "Acquenza-dati-rete";
    const fs::path other = folder / "altro-nome";
    std::string a;
    std::string b;
    for (int line = 0; line < 4000; ++line) {
        a +=
            "\"" + std::to_string(line) + "\",\"120\",\"115\",\"1,5\",,,,\"300\",250,\"nuova\"\r\n";
        b += "\"" + std::to_string(line * 7) + "\",\"99\",\"98\",\"0,25\",,,,,,\"in uso\"\r\n";
    }
    b += std::string(50000, ' ');  // larger, so the size limit can cut it
    std::ofstream(file, std::ios::binary | std::ios::trunc) << a;
    fs::remove(other);
    fs::create_hard_link(file, other);

    // How long one save takes here, so that timed kills fall inside saves.
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 4; ++i) {
        WriteFileAtomically(file, i % 2 == 0 ? b : a);
    }
    const auto save = (std::chrono::steady_clock::now() - start) / 4;
    std::mt19937 random(seed);
    std::uniform_int_distribution<long long> delay(
        0, std::max<long long>(
               2000, std::chrono::duration_cast<std::chrono::microseconds>(save).count() * 3));
    std::uniform_int_distribution<std::size_t> cut(a.size() + 1, b.size() - 1);
    const auto slurp = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };

    KillFigures figures;
    for (int run = 0; run < runs; ++run) {
        const bool timed = run % 2 == 0;
        const rlim_t limit = timed ? RLIM_INFINITY : cut(random);
        if (!timed && slurp(file) != a) {
            WriteFileAtomically(file, a);
        }
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            const rlimit capped{limit, RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &capped);
            std::signal(SIGXFSZ, SIG_DFL);
            for (unsigned i = 0;; ++i) {
                WriteFileAtomically(file, i % 2 == 0 ? b : a);
            }
        }
        if (timed) {
            ::usleep(static_cast<useconds_t>(delay(random)));
            ::kill(child, SIGKILL);
        }
        ::waitpid(child, nullptr, 0);
        ++figures.kills;

        const std::string now = slurp(file);
        const std::optional<InterruptedSave> copy = FindInterruptedSave(file);
        if (now != a && now != b) {
            ++figures.torn;
            const std::string kept = copy ? slurp(copy->copy) : std::string();
            if (kept != a && kept != b) {
                ++figures.unrecoverable;
            }
            WriteFileAtomically(file, kept == b ? b : a);  // the user opens the copy and saves
        }
        std::set<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(folder)) {
            names.insert(e.path().filename().string());
        }
        names.erase("Acquenza-dati-rete");
        names.erase("altro-nome");
        names.erase("cache");
        figures.leftovers += static_cast<int>(names.size());
        for (const std::string& name : names) {
            fs::remove(folder / name);
        }
        if (slurp(other) != slurp(file)) {
            ++figures.unrecoverable;  // the names no longer share the file
        }
    }
    return figures;
}

TEST_F(FileSafety, KilledRewritesInPlaceAlwaysLeaveOldOrNewContents) {
    // scripts/kill-saves.sh runs this longer.
    const char* asked = std::getenv("ACQUENZA_KILL_RUNS");
    const int runs = asked != nullptr ? std::max(1, std::atoi(asked)) : 30;
    const KillFigures f = KillInPlaceRewrites(folder_, runs, static_cast<unsigned>(::getpid()));
    std::cout << "kills " << f.kills << ", torn files " << f.torn << ", unrecoverable "
              << f.unrecoverable << ", leftovers " << f.leftovers << '\n';
    EXPECT_EQ(f.kills, runs);
    EXPECT_GE(f.torn, runs / 2);  // every kill by the size limit tears the file
    EXPECT_EQ(f.unrecoverable, 0);
    EXPECT_EQ(f.leftovers, 0);
}

TEST_F(FileSafety, AFolderThatTakesNoNewFileIsWrittenInPlaceWithTheCopyInTheCache) {
    const fs::path locked = folder_ / "sola-lettura";
    fs::create_directories(locked);
    const fs::path file = locked / "Acquenza-dati-rete";
    Spit(file, "vecchio");
    if (Root()) {
        // The folder is root's, the file and the cache the ordinary user's.
        ASSERT_EQ(::chown(file.c_str(), Nobody, Nobody), 0);
        ASSERT_EQ(::chown(cache_.c_str(), Nobody, Nobody), 0);
    }
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    struct stat before {};
    ::stat(file.c_str(), &before);

    EXPECT_TRUE(AsOrdinaryUser([&] {
        const ArchiveResult written = WriteFileAtomically(file, "nuovo");
        if (!written.ok) {
            std::cerr << written.message << '\n';
        }
        return written.ok;
    }));
    EXPECT_EQ(Slurp(file), "nuovo");
    struct stat after {};
    ::stat(file.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);  // the same file, written in place
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(Names(locked), std::set<std::string>{"Acquenza-dati-rete"});
    EXPECT_TRUE(fs::is_empty(cache_ / "acquenza")) << "the copy outlived the save";

    if (Root()) {
        // In a folder everyone may write, another user's file this user may
        // write stays theirs: a new file could not be given to them.
        const fs::path open = folder_ / "aperta";
        fs::create_directory(open);
        fs::permissions(open, fs::perms::all);
        const fs::path shared = open / "Acquenza-dati-di-root";
        Spit(shared, "di root");
        fs::permissions(shared, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                                    ~fs::perms::others_exec);
        EXPECT_TRUE(AsOrdinaryUser([&] { return WriteFileAtomically(shared, "scritto").ok; }));
        EXPECT_EQ(Slurp(shared), "scritto");
        struct stat st {};
        ::stat(shared.c_str(), &st);
        EXPECT_EQ(st.st_uid, 0u);
        EXPECT_EQ(Names(open), std::set<std::string>{"Acquenza-dati-di-root"});
    }

    // Killed halfway: the copy of the old contents waits in the cache.
    const std::string longer(30000, 'L');
    fs::path copy;
    EXPECT_TRUE(AsOrdinaryUser([&] {
        const pid_t child = ::fork();
        if (child == 0) {
            const rlimit capped{4096, RLIM_INFINITY};
            setrlimit(RLIMIT_FSIZE, &capped);
            std::signal(SIGXFSZ, SIG_DFL);
            WriteFileAtomically(file, longer);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFSIGNALED(status);
    }));
    const std::optional<InterruptedSave> found = FindInterruptedSave(file);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->copy.parent_path(), cache_ / "acquenza");
    EXPECT_EQ(Slurp(found->copy), "nuovo");
    EXPECT_EQ(fs::status(cache_ / "acquenza").permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST_F(FileSafety, ASaveKeepsAttributesAndAccessLists) {
    const fs::path file = folder_ / "Acquenza-dati-condiviso";
    Spit(file, "vecchio");
    if (::setxattr(file.c_str(), "user.acquenza.nota", "controllato", 11, 0) != 0) {
        GTEST_SKIP() << "no user attributes on this file system: " << std::strerror(errno);
    }
    // An access list giving user 65534 the right to read: version 2, then
    // (tag, permissions, id) entries as the kernel stores them.
    const auto entry = [](std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
        std::string e(8, '\0');
        std::memcpy(e.data(), &tag, 2);
        std::memcpy(e.data() + 2, &perm, 2);
        std::memcpy(e.data() + 4, &id, 4);
        return e;
    };
    std::string acl(4, '\0');
    const std::uint32_t version = 2;
    std::memcpy(acl.data(), &version, 4);
    acl += entry(0x01, 6, 0xFFFFFFFF) + entry(0x02, 4, Nobody) + entry(0x04, 4, 0xFFFFFFFF) +
           entry(0x10, 4, 0xFFFFFFFF) + entry(0x20, 0, 0xFFFFFFFF);
    const bool withAcl =
        ::setxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) == 0;
    const auto attribute = [&](const char* name) {
        std::string value(256, '\0');
        const ssize_t n = ::getxattr(file.c_str(), name, value.data(), value.size());
        return n < 0 ? std::string("(manca)") : value.substr(0, static_cast<std::size_t>(n));
    };
    const std::string aclBefore = attribute("system.posix_acl_access");
    const auto modeBefore = fs::status(file).permissions();

    ASSERT_TRUE(WriteFileAtomically(file, "nuovo").ok);
    EXPECT_EQ(Slurp(file), "nuovo");
    EXPECT_EQ(attribute("user.acquenza.nota"), "controllato");
    if (withAcl) {
        EXPECT_EQ(attribute("system.posix_acl_access"), aclBefore);
    }
    EXPECT_EQ(fs::status(file).permissions(), modeBefore);
}

TEST_F(FileSafety, ImmutableAndAppendOnlyFilesAreProtected) {
    const fs::path file = folder_ / "Acquenza-dati-bloccato";
    for (const int flag : {FS_IMMUTABLE_FL, FS_APPEND_FL}) {
        Spit(file, "bloccato");
        const int fd = ::open(file.c_str(), O_RDONLY);
        int flags = 0;
        ASSERT_EQ(::ioctl(fd, FS_IOC_GETFLAGS, &flags), 0);
        const int locked = flags | flag;
        if (::ioctl(fd, FS_IOC_SETFLAGS, &locked) != 0) {
            ::close(fd);
            GTEST_SKIP() << "cannot set the attribute here: " << std::strerror(errno);
        }
        const ArchiveResult written = WriteFileAtomically(file, "nuovo");
        const ArchiveResult deleted = DeleteFile(file);
        ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
        ::close(fd);
        EXPECT_TRUE(written.writeProtected) << written.message;
        EXPECT_TRUE(deleted.writeProtected) << deleted.message;
        EXPECT_NE(written.message.find("è protetto da scrittura"), std::string::npos);
        EXPECT_EQ(Slurp(file), "bloccato");
    }
}

}  // namespace
}  // namespace acquenza
