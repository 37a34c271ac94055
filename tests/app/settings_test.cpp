#include "app/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace acquenza {
namespace {

namespace fs = std::filesystem;

class SettingsFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("acquenza-settings-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        user = (folder / "utente.conf").string();
        machine = (folder / "sistema.conf").string();
    }
    void TearDown() override { fs::remove_all(folder); }

    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    // The settings from the user's file over the machine's, over defaults
    // with no office.
    Settings Read() {
        Settings defaults;
        defaults.products = {"prodotto di serie"};
        return ReadSettingsFiles(defaults, {{user, false}, {machine, true}});
    }

    fs::path folder;
    std::string user;
    std::string machine;
};

TEST_F(SettingsFiles, ValuesMeanWhatAnItalianOfficeWrites) {
    Write(user,
          "; impostazioni dello studio\r\n"
          "# anche questo è un commento\r\n"
          "[Ufficio]\r\n"
          "Nome = Studio Rossi; Bianchi & C.\r\n"
          "indirizzo=Via Verdi 3, 06100 Perugia\r\n"
          "\r\n"
          "[assistenza]\r\n"
          "referente=\"ing. Anna \\\"Nina\\\" Rossi, C:\\\\progetti\"   ; chi risponde\r\n"
          "telefono=\"075 000000\"\r\n"
          "[verifica]\r\n"
          "velocita_min=0,6\r\n"
          "velocita_max= 1.80 \r\n"
          "[prodotti]\r\n"
          "10=decimo\r\n"
          "2=secondo\r\n"
          "1=primo\r\n"
          "[altro programma]\r\n"
          "qualsiasi=cosa\r\n");
    const Settings s = Read();
    EXPECT_EQ(s.problems, std::vector<std::string>{});
    EXPECT_EQ(s.officeName, "Studio Rossi; Bianchi & C.");
    EXPECT_EQ(s.officeAddress, "Via Verdi 3, 06100 Perugia");
    EXPECT_EQ(s.support.contact, "ing. Anna \"Nina\" Rossi, C:\\progetti");
    EXPECT_EQ(s.support.phone, "075 000000");
    EXPECT_DOUBLE_EQ(s.velocityMin, 0.6);
    EXPECT_DOUBLE_EQ(s.velocityMax, 1.8);
    EXPECT_EQ(s.products, (std::vector<std::string>{"primo", "secondo", "decimo"}));
    ASSERT_EQ(s.files.size(), 2u);
    EXPECT_EQ(s.files[0].state, SettingsFile::State::Read);
    EXPECT_EQ(s.files[1].state, SettingsFile::State::Missing);
}

TEST_F(SettingsFiles, BothDecimalSeparatorsForEveryNumber) {
    const struct {
        const char* written;
        double min;  // m/s; the default 0,5 when the value cannot be read
    } cases[] = {
        {"0,6", 0.6}, {"0.6", 0.6},     {" 1 ", 1.0},  {",75", 0.75},  {"0", 0.0},
        {"", 0.5},    {"0,6 m/s", 0.5}, {"-0,6", 0.5}, {"0,6,1", 0.5}, {"1e-1", 0.5},
        {"inf", 0.5}, {"zero", 0.5},    {"0.6.", 0.5}, {",", 0.5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        Write(user, std::string("[verifica]\nvelocita_min=") + c.written + "\n");
        const Settings s = Read();
        EXPECT_DOUBLE_EQ(s.velocityMin, c.min);
        const bool refused = c.min == 0.5 && *c.written != '\0';
        ASSERT_EQ(s.problems.size(), refused ? 1u : 0u);
        if (refused) {
            EXPECT_EQ(s.problems[0], "File " + user +
                                         ", sezione [verifica], chiave velocita_min: il valore «" +
                                         c.written +
                                         "» non è una velocità in m/s (per esempio 0,5 oppure "
                                         "0.5); resta 0,5 m/s.");
        }
    }
}

TEST_F(SettingsFiles, WhatCannotBeReadIsNamedByFileSectionAndKey) {
    Write(machine, "[ufficio]\nnome=Studio di Sistema\nindirizzo=Via Roma 1\n");
    Write(user,
          "nome=fuori sezione\n"
          "[ufficio]\n"
          "nome=\"Studio Rossi\n"
          "indirizzo senza uguale\n"
          "[verifica]\n"
          "velocità_min=0,6\n"
          "velocita_min=2,5\n"
          "velocita_max=0,8\n"
          "[prodotti]\n"
          "primo=Acquenza\n"
          "[ufficio\n"
          "nome=ignorato\n");
    const Settings s = Read();
    // What could not be read leaves what the machine's file says.
    EXPECT_EQ(s.officeName, "Studio di Sistema");
    EXPECT_EQ(s.officeAddress, "Via Roma 1");
    EXPECT_DOUBLE_EQ(s.velocityMin, 0.8);
    EXPECT_DOUBLE_EQ(s.velocityMax, 2.5);
    EXPECT_EQ(s.products, std::vector<std::string>{"prodotto di serie"});
    const std::string at = "File " + user + ", ";
    EXPECT_EQ(
        s.problems,
        (std::vector<std::string>{
            at + "riga 1: la chiave nome non appartiene ad alcuna sezione ed è stata "
                 "ignorata.",
            at + "sezione [ufficio], chiave nome: le virgolette del valore non sono "
                 "chiuse, oppure dopo di esse c'è altro testo; il valore è stato ignorato.",
            at + "riga 4: «indirizzo senza uguale» non ha la forma chiave=valore ed è "
                 "stata ignorata.",
            at + "riga 11: «[ufficio» non è un nome di sezione valido; le righe che "
                 "seguono sono state ignorate fino alla sezione successiva.",
            at + "sezione [prodotti], chiave primo: i prodotti si numerano 1, 2, 3…; la "
                 "riga è stata ignorata.",
            at + "sezione [verifica], chiave velocità_min: chiave sconosciuta, ignorata "
                 "(la sezione [verifica] ha le chiavi velocita_min, velocita_max, pressione_min, "
                 "pressione_max_statica).",
            "Sezione [verifica]: velocita_min (2,5) è maggiore di velocita_max (0,8); i "
            "due valori sono stati scambiati.",
        }));
    EXPECT_EQ(SettingsProblemsText(s).rfind("Alcune impostazioni non sono state lette:\n\n" +
                                                s.problems[0] + "\n\n" + s.problems[1],
                                            0),
              0u);
}

TEST_F(SettingsFiles, TheUsersFileHasTheLastWordKeyByKey) {
    Write(machine,
          "[ufficio]\nnome=Studio di Sistema\nindirizzo=Via Roma 1\n"
          "[verifica]\nvelocita_max=3\n");
    Write(user, "[ufficio]\nnome=Studio Rossi\n[verifica]\nvelocita_min=0.3\n");
    const Settings s = Read();
    EXPECT_EQ(s.officeName, "Studio Rossi");
    EXPECT_EQ(s.officeAddress, "Via Roma 1");
    EXPECT_DOUBLE_EQ(s.velocityMin, 0.3);
    EXPECT_DOUBLE_EQ(s.velocityMax, 3.0);
    EXPECT_TRUE(s.problems.empty());
    // An office written empty on purpose stays empty.
    Write(user, "[ufficio]\nnome=\n");
    EXPECT_EQ(Read().officeName, "");
}

TEST_F(SettingsFiles, FilesThatCannotBeReadAreSaidOnce) {
    // A Windows editor's file: Windows-1252 bytes with a byte that is not UTF-8.
    Write(machine, "[ufficio]\r\nindirizzo=Localit\xe0 Colle, Perugia\r\n");
    fs::create_directory(user);
    Settings s = Read();
    EXPECT_EQ(s.officeAddress, "Località Colle, Perugia");
    EXPECT_EQ(s.files[0].state, SettingsFile::State::Unreadable);
    EXPECT_EQ(s.files[1].state, SettingsFile::State::Read);
    EXPECT_EQ(s.problems, std::vector<std::string>{"File " + user +
                                                   ": il nome non indica un file di testo; è "
                                                   "stato ignorato."});
    EXPECT_EQ(SettingsProblemsText(s), "Un'impostazione non è stata letta:\n\n" + s.problems[0]);
    fs::remove(user);

    Write(user, "[ufficio]\nnome=Studio Rossi\n");
    ::chmod(user.c_str(), 0);
    if (::geteuid() != 0) {  // root reads it all the same
        s = Read();
        EXPECT_EQ(s.files[0].state, SettingsFile::State::Unreadable);
        ASSERT_EQ(s.problems.size(), 1u);
        EXPECT_EQ(s.problems[0].rfind("File " + user + ": impossibile leggerlo: ", 0), 0u)
            << s.problems[0];
    }
    EXPECT_TRUE(SettingsProblemsText(ReadSettingsFiles({}, {})).empty());
}

TEST(SettingsLocations, UserFirstThenEachMachineFolder) {
    const struct {
        const char* configHome;
        const char* home;
        const char* configDirs;
        std::vector<std::string> paths;
    } cases[] = {
        {nullptr,
         "/home/anna",
         nullptr,
         {"/home/anna/.config/Acquenza/acquenza.conf", "/etc/xdg/Acquenza/acquenza.conf"}},
        {"",
         "/home/anna",
         "",
         {"/home/anna/.config/Acquenza/acquenza.conf", "/etc/xdg/Acquenza/acquenza.conf"}},
        {"/cfg",
         "/home/anna",
         "/uno:relativa:/due/",
         {"/cfg/Acquenza/acquenza.conf", "/uno/Acquenza/acquenza.conf",
          "/due/Acquenza/acquenza.conf"}},
        {nullptr, nullptr, "/uno", {"/uno/Acquenza/acquenza.conf"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> paths;
        std::vector<bool> forAll;
        for (const SettingsFile& f : SettingsFileLocations(c.configHome, c.home, c.configDirs)) {
            paths.push_back(f.path);
            forAll.push_back(f.forAllUsers);
        }
        EXPECT_EQ(paths, c.paths);
        const bool userFile = c.home != nullptr;
        for (std::size_t i = 0; i < forAll.size(); ++i) {
            EXPECT_EQ(forAll[i], !(userFile && i == 0)) << paths[i];
        }
    }
    EXPECT_EQ(HomeRelative("/home/anna/.config/x", "/home/anna"), "~/.config/x");
    EXPECT_EQ(HomeRelative("/home/annamaria/x", "/home/anna"), "/home/annamaria/x");
    EXPECT_EQ(HomeRelative("/etc/xdg/x", "/home/anna/"), "/etc/xdg/x");
}

}  // namespace
}  // namespace acquenza
