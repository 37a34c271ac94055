// Saving and opening when something else touched the file: another
// instance of the program, another user's ownership, a save killed halfway,
// an editor that saved it as UTF-16.

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/archive_commands.h"
#include "app/document_commands.h"
#include "app/fakes.h"
#include "archive/atomic_file.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;
using testing::FakeDialogs;
using testing::FakeWindows;

// One running copy of the program: its project, its answers, its windows.
struct Instance {
    Instance() {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
    }
    ArchiveCommands Archive() { return ArchiveCommands(state, dialogs, windows, WindowId::dati); }
    DataWindowModel& data() { return windows.LoadDataWindow(); }
    TitlePageModel& title() { return windows.LoadTitlePage(); }
    void TypeProject() {
        data().TypeInBox(1, Field::lungh, "100");
        data().TypeInBox(1, Field::quotain, "300");
        data().TypeInBox(1, Field::quotafin, "290");
        data().TypeInBox(1, Field::portun, "1.5");
        data().TypeInBox(1, Field::abitfin, "300");
        data().PickPipeType(1, "nuova");
        title().TypeInField(TitleField::progetto, "Rete di distribuzione");
    }
    ProgramState state;
    FakeDialogs dialogs;
    FakeWindows windows{state, dialogs};
};

class SaveGuard : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("acquenza-guard-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        file = (folder / "Acquenza-dati-rete").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Spit(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    static Message Changed(const std::string& path) {
        return {ArchiveCommands::ArchiveTitle,
                "Il file \"" + path +
                    "\" è stato modificato da un altro programma dopo l'apertura. "
                    "Sovrascriverlo?",
                MessageIcon::Question, MessageButtons::YesNo, Answer::No};
    }

    fs::path folder;
    std::string file;
};

TEST_F(SaveGuard, TwoInstancesOnOneProjectDoNotOverwriteEachOtherUnasked) {
    Instance a;
    Instance b;
    a.TypeProject();
    a.dialogs.files = {file};
    a.Archive().Save();
    b.dialogs.files = {file};
    b.Archive().Open();
    b.title().TypeInField(TitleField::luogo, "Perugia");
    b.Archive().Save();
    EXPECT_TRUE(b.dialogs.shown.empty());  // B changed nothing of anybody's
    const std::string fromB = Slurp(file);

    // A saves on top of B's work: asked, and No (the default) keeps it.
    a.title().TypeInField(TitleField::luogo, "Assisi");
    a.Archive().Save();
    ASSERT_FALSE(a.dialogs.shown.empty());
    EXPECT_EQ(a.dialogs.shown.back(), Changed(file));
    EXPECT_EQ(Slurp(file), fromB);
    EXPECT_TRUE(a.state.history.Modified());
    // Yes: A's project replaces it; then B is the one asked.
    a.dialogs.answers = {Answer::Yes};
    a.Archive().Save();
    EXPECT_NE(Slurp(file).find("\"Assisi\""), std::string::npos);
    EXPECT_FALSE(a.state.history.Modified());
    a.Archive().Save();
    EXPECT_EQ(a.dialogs.shown.size(), 2u) << "its own save is no change by another program";
    b.Archive().Save();
    EXPECT_EQ(b.dialogs.shown.size(), 1u);
    EXPECT_EQ(b.dialogs.shown.back(), Changed(file));

    // The same bytes written again, or the file deleted: nothing to ask.
    const std::string same = Slurp(file);
    Spit(file, same);
    a.Archive().Save();
    fs::remove(file);
    a.Archive().Save();
    EXPECT_EQ(a.dialogs.shown.size(), 2u);
    EXPECT_TRUE(fs::exists(file));

    // Save as, to a file confirmed in the dialog, asks nothing more.
    Spit(file, "scritto da un altro programma");
    a.dialogs.files = {file};
    a.Archive().SaveAs();
    EXPECT_EQ(a.dialogs.shown.size(), 2u);
    EXPECT_NE(Slurp(file).find("\"Assisi\""), std::string::npos);
}

TEST_F(SaveGuard, RootAsksBeforeReplacingAnotherUsersProject) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can replace another user's file";
    }
    Instance a;
    a.TypeProject();
    a.dialogs.files = {file};
    a.Archive().Save();
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    const std::string theirs = Slurp(file);
    a.title().TypeInField(TitleField::luogo, "Perugia");
    a.Archive().Save();
    ASSERT_FALSE(a.dialogs.shown.empty());
    const Message& asked = a.dialogs.shown.back();
    EXPECT_EQ(asked.buttons, MessageButtons::YesNo);
    EXPECT_EQ(asked.defaultAnswer, Answer::No);
    EXPECT_NE(asked.text.find("appartiene a un altro utente"), std::string::npos) << asked.text;
    EXPECT_NE(asked.text.find("Sovrascriverlo comunque?"), std::string::npos) << asked.text;
    EXPECT_EQ(Slurp(file), theirs);
    EXPECT_EQ(a.dialogs.shown.size(), 1u) << "a No needs no further message";

    a.dialogs.answers = {Answer::Yes};
    a.Archive().Save();
    EXPECT_NE(Slurp(file).find("\"Perugia\""), std::string::npos);
    struct stat st {};
    ::stat(file.c_str(), &st);
    EXPECT_EQ(st.st_uid, 65534u);
}

TEST_F(SaveGuard, ASaveKilledHalfwayIsOfferedBackAtTheNextOpen) {
    Instance a;
    a.TypeProject();
    a.dialogs.files = {file};
    a.Archive().Save();
    const std::string saved = Slurp(file);
    const std::string other = (folder / "altro-nome").string();
    fs::create_hard_link(file, other);  // rewritten in place from now on
    // Killed by the size limit in the middle of the new contents.
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit capped{saved.size() + 10, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &capped);
        std::signal(SIGXFSZ, SIG_DFL);
        WriteFileAtomically(file, saved + std::string(5000, ' ') + "\"coda\"\r\n");
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_NE(Slurp(file), saved);

    Instance b;
    b.dialogs.files = {file};
    b.Archive().Open();
    ASSERT_FALSE(b.dialogs.shown.empty());
    const Message& offer = b.dialogs.shown.front();
    EXPECT_EQ(offer.text.rfind(
                  "È stata trovata una copia di sicurezza del file \"" + file + "\", fatta il ", 0),
              0u)
        << offer.text;
    EXPECT_NE(offer.text.find("Aprire la copia al posto del file?"), std::string::npos);
    EXPECT_EQ(offer.defaultAnswer, Answer::Yes);
    EXPECT_EQ(b.dialogs.shown.size(), 1u);
    EXPECT_EQ(b.title().Text(TitleField::progetto), "Rete di distribuzione");
    EXPECT_EQ(b.data().BoxText(1, Field::lungh), "100");
    EXPECT_EQ(b.state.currentFileName, file);
    EXPECT_TRUE(b.state.history.Modified()) << "the file does not hold this project yet";

    // Saving puts it back under both names, without asking about changes.
    b.Archive().Save();
    EXPECT_EQ(b.dialogs.shown.size(), 1u);
    EXPECT_EQ(Slurp(file), saved);
    EXPECT_EQ(Slurp(other), saved);
    EXPECT_FALSE(FindInterruptedSave(file));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 2);
}

TEST_F(SaveGuard, ACopyRefusedAtOpenStaysUntilTheNextSave) {
    Instance a;
    a.TypeProject();
    a.dialogs.files = {file};
    a.Archive().Save();
    const std::string saved = Slurp(file);
    const fs::path copy = folder / ".Acquenza-dati-rete.copia-0123456789abcdef";
    Spit(copy.string(), saved);
    Spit(file, saved.substr(0, 20));  // torn

    Instance b;
    b.dialogs.files = {file};
    b.dialogs.answers = {Answer::No, Answer::No};
    b.Archive().Open();
    ASSERT_EQ(b.dialogs.shown.size(), 2u);
    EXPECT_NE(b.dialogs.shown[0].text.find("la copia resta in \"" + copy.string() + "\""),
              std::string::npos)
        << b.dialogs.shown[0].text;
    EXPECT_NE(b.dialogs.shown[1].text.find("è stato letto solo fino alla riga"), std::string::npos);
    EXPECT_TRUE(fs::exists(copy));
    // Whoever saves the file next makes the copy out of date.
    a.dialogs.answers = {Answer::Yes};  // the file did change since A saved it
    a.Archive().Save();
    EXPECT_EQ(a.dialogs.shown.back(), Changed(file));
    EXPECT_EQ(Slurp(file), saved);
    EXPECT_FALSE(fs::exists(copy));
}

TEST_F(SaveGuard, WhatAnOpenFindsIsSaidInItalian) {
    // Saved as "Unicode" by a Windows editor: little-endian UTF-16.
    const std::u16string text =
        u"1\r\n\"100\",\"300\",\"290\",\"1.5\",,,,\"300\",,\"nuova\"\r\n\"Città\",,,,,,\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char16_t c : text) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    Spit(file, utf16);
    Instance a;
    a.dialogs.files = {file};
    a.Archive().Open();
    EXPECT_EQ(a.title().Text(TitleField::progetto), "Città");
    ASSERT_EQ(a.dialogs.shown.size(), 1u);
    EXPECT_EQ(a.dialogs.LastText(),
              "Il file \"" + file +
                  "\" sembra un testo nella codifica UTF-16 ed è stato letto come tale. Alla "
                  "prossima archiviazione sarà salvato nella codifica propria di Acquenza "
                  "(Windows-1252).");

    Spit(file, "1\r\n1e308,\"300\",\"290\",\"1.5\",,,,\"300\",,\"nuova\"\r\n\"Rete\",,,,,,\r\n");
    a.dialogs.files = {file};
    a.Archive().Open();
    EXPECT_EQ(a.dialogs.LastText(),
              "Il file \"" + file +
                  "\" è stato letto solo fino alla riga 1: alla riga 2 il dato «lungh» del tronco "
                  "n. 1 è «1E+308», fuori dai limiti ammessi (un miliardo in valore assoluto); il "
                  "file sembra modificato a mano.\nMostrare i dati letti fino a quel punto? Con "
                  "«No» resta il progetto attuale; con «Sì», per archiviarli occorre scegliere di "
                  "nuovo il nome del file.");
}

TEST(DocumentNames, InvisibleAndControlCharactersAreDropped) {
    const std::pair<std::string, std::string> cases[] = {
        {"Rete\u202Efdp.exe", "Retefdp.exe"},  // a right-to-left override
        {"Colle\tAlto\x7F", "ColleAlto"},     {"\u200BRete\u200D\u2066x\u2069\uFEFF", "Retex"},
        {"Città di Forlì", "Città_di_Forlì"}, {"\u200F\u200E", ""},
    };
    for (const auto& [project, name] : cases) {
        EXPECT_EQ(DocumentFileName("relazione", project, "2026-12-08_09-30-15"),
                  "relazione" + (name.empty() ? "" : "-" + name) + "-2026-12-08_09-30-15.docx")
            << project;
    }
}

}  // namespace
}  // namespace acquenza
