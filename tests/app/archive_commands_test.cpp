#include "app/archive_commands.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/fakes.h"
#include "app/undo_commands.h"
#include "archive/atomic_file.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;
using testing::FakeDialogs;
using testing::FakeWindows;

class Archive : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
        folder = fs::temp_directory_path() /
                 ("acquenza-archive-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
        file = (folder / "Acquenza-dati-prova").string();
    }
    void TearDown() override {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder);
    }

    DataWindowModel& data() { return windows.LoadDataWindow(); }
    TitlePageModel& title() { return windows.LoadTitlePage(); }
    ArchiveCommands From(WindowId w) { return ArchiveCommands(state, dialogs, windows, w); }

    void TypeSection(int row, int seed) {
        data().TypeInBox(row, Field::lungh, std::to_string(100 + seed));
        data().TypeInBox(row, Field::quotain, std::to_string(300 - seed));
        data().TypeInBox(row, Field::quotafin, std::to_string(290 - seed));
        data().TypeInBox(row, Field::portun, "1.5");
        data().TypeInBox(row, Field::abitfin, "300");
        data().PickPipeType(row, seed % 2 == 0 ? "nuova" : "in uso");
    }
    void TypeProject() {
        TypeSection(1, 0);
        TypeSection(2, 1);
        title().TypeInField(TitleField::progetto, "Rete di distribuzione");
        title().TypeInField(TitleField::localita, "Colle Alto");
        title().TypeInField(TitleField::allegati, "planimetria, profili");
    }
    static std::string Slurp(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // A folder no file can be written into, even for root.
    std::string UnwritableFolder() {
        if (::geteuid() == 0) {
            return "/proc/self";
        }
        const fs::path ro = folder / "sola-lettura";
        fs::create_directory(ro);
        fs::permissions(ro, fs::perms::owner_read | fs::perms::owner_exec);
        return ro.string();
    }

    ProgramState state;
    FakeDialogs dialogs;
    FakeWindows windows{state, dialogs};
    fs::path folder;
    std::string file;
};

TEST_F(Archive, SaveClearOpenFromTheOtherWindowBringsEverythingBack) {
    TypeProject();
    const Project before = state.project;
    const TitleTexts titlesBefore = title().Texts();
    dialogs.files = {file};
    From(WindowId::dati).Save();
    ASSERT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_EQ(dialogs.fileDialogs[0],
              (FileDialogRequest{FileDialogRequest::Kind::Save,
                                 "Salva file con nome",
                                 "Acquenza-dati-",
                                 {{"File Acquenza-dati-", "Acquenza-dati-*"}},
                                 0,
                                 "Acquenza-dati-",
                                 true}));
    EXPECT_EQ(state.currentFileName, file);
    const std::string bytes = Slurp(file);
    EXPECT_EQ(bytes.substr(0, 3), "2\r\n");
    EXPECT_NE(bytes.find("\"1,5\""), std::string::npos);

    data().ClearWindow();
    title().ClearWindow();
    dialogs.files = {file};
    dialogs.answers = {Answer::No};  // the cleared project is not kept
    From(WindowId::frontespizio).Open();
    const FileDialogRequest& open = dialogs.fileDialogs.back();
    EXPECT_EQ(open.title, "Apri file");
    EXPECT_EQ(open.initialName, "");
    EXPECT_EQ(open.filters.size(), 2u);
    EXPECT_EQ(open.filters[1].pattern, "Acquenza-dati-*");
    EXPECT_EQ(open.selectedFilter, 1);
    EXPECT_EQ(open.filters[0].pattern, "*");  // names without a dot must show

    for (int s = 1; s <= 2; ++s) {
        for (Field f : InputFields) {
            EXPECT_EQ(state.project.sections.Get(s, f).DisplayText(),
                      before.sections.Get(s, f).DisplayText())
                << s << ' ' << FieldName(f);
        }
    }
    EXPECT_EQ(title().Texts(), titlesBefore);
    EXPECT_EQ(data().BoxText(2, Field::lungh), "101");
    EXPECT_EQ(data().ResultSectionText(), "tronco n. 2");  // the last section calculated
    EXPECT_TRUE(state.project.sections.Get(2, Field::dia).IsNumber());
}

// A file's sections come in as new ones: no id of the project they replace,
// and Undo brings back those very sections, with their results.
TEST_F(Archive, AnOpenedFileBringsNewSectionsAndUndoTheOldOnes) {
    TypeProject();
    dialogs.files = {file};
    From(WindowId::dati).Save();
    const std::vector<SectionId> typed = state.project.sections.Order();
    const Project before = state.project;
    dialogs.files = {file};
    From(WindowId::dati).Open();
    for (const SectionId id : typed) {
        ASSERT_EQ(state.project.sections.PositionOf(id), std::nullopt);
    }
    EXPECT_TRUE(state.project.sections.Get(2, Field::dia).IsNumber());
    UndoCommands(state, windows).Undo();
    EXPECT_EQ(state.project.sections.Order(), typed);
    for (int s = 1; s <= 3; ++s) {
        EXPECT_EQ(state.project.sections.Record(s), before.sections.Record(s)) << s;
    }
}

TEST_F(Archive, OnlyTheFirstSaveAsksForAName) {
    TypeProject();
    dialogs.files = {file};
    From(WindowId::frontespizio).Save();
    title().TypeInField(TitleField::luogo, "Perugia");
    From(WindowId::dati).Save();
    From(WindowId::frontespizio).Save();
    EXPECT_EQ(dialogs.fileDialogs.size(), 1u);
    EXPECT_NE(Slurp(file).find("\"Perugia\""), std::string::npos);
    // The title page's dialog remembers its own last name; the data window's
    // still starts at the prefix.
    EXPECT_EQ(title().FileDialogName(), file);
    EXPECT_EQ(data().FileDialogName(), "Acquenza-dati-");
}

TEST_F(Archive, ACancelledSaveAsKeepsTheOldName) {
    TypeProject();
    dialogs.files = {file};
    From(WindowId::dati).Save();
    dialogs.files = {std::nullopt};
    From(WindowId::dati).SaveAs();
    EXPECT_EQ(dialogs.fileDialogs.size(), 2u);
    EXPECT_EQ(dialogs.fileDialogs.back().initialName, file);
    EXPECT_EQ(state.currentFileName, file);
    From(WindowId::dati).Save();
    EXPECT_EQ(dialogs.fileDialogs.size(), 2u);

    const std::string other = (folder / "Acquenza-dati-altro").string();
    dialogs.files = {other};
    From(WindowId::frontespizio).SaveAs();
    EXPECT_EQ(state.currentFileName, other);
    EXPECT_TRUE(fs::exists(other));
}

TEST_F(Archive, AFailedSaveLeavesTheProjectUnderTheNameItHad) {
    TypeProject();
    const std::string unwritable = UnwritableFolder() + "/Acquenza-dati-nuovo";
    // The first Save fails: the project has no name yet, and keeps none.
    dialogs.files = {unwritable};
    From(WindowId::dati).Save();
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Stop);
    EXPECT_EQ(state.currentFileName, "");
    EXPECT_TRUE(state.history.Modified());
    dialogs.files = {file};
    From(WindowId::dati).Save();
    ASSERT_EQ(dialogs.fileDialogs.size(), 2u);  // asked again
    EXPECT_EQ(state.currentFileName, file);

    // Save As to a place it cannot be written: the next Save still goes to
    // the file that holds the project, without a dialog, from either window.
    title().TypeInField(TitleField::luogo, "Perugia");
    dialogs.files = {unwritable};
    From(WindowId::frontespizio).SaveAs();
    EXPECT_NE(dialogs.LastText().find(unwritable), std::string::npos) << dialogs.LastText();
    EXPECT_EQ(state.currentFileName, file);
    EXPECT_TRUE(state.history.Modified());
    From(WindowId::dati).Save();
    EXPECT_EQ(dialogs.fileDialogs.size(), 3u);
    EXPECT_NE(Slurp(file).find("\"Perugia\""), std::string::npos);
    EXPECT_FALSE(state.history.Modified());
    // The dialog offers the name the user typed, to correct it.
    EXPECT_EQ(title().FileDialogName(), unwritable);
}

TEST_F(Archive, RefusedSavesWriteNothingAndShowTheRightWindow) {
    dialogs.files = {file};
    From(WindowId::frontespizio).Save();
    EXPECT_EQ(dialogs.shown.back().text.substr(0, 31), "Non esistono dati riconosciuti:");
    EXPECT_EQ(windows.log.back(), "show 0");

    TypeSection(1, 0);
    data().TypeInBox(2, Field::lungh, "80");
    windows.log.clear();
    From(WindowId::dati).Save();
    EXPECT_EQ(dialogs.shown.back().text, "Tronco n. 2:\n- manca il dato della quota iniziale.");
    EXPECT_TRUE(windows.log.empty());  // from the data window nothing else comes forward

    ASSERT_EQ(data().ScrollValue(), 2);  // the check brought section 2 to the first row
    data().DeleteRow(1);
    From(WindowId::dati).Save();
    ASSERT_EQ(dialogs.LastText(), "E' necessario digitare almeno il dato del 'progetto'.");
    EXPECT_EQ(dialogs.shown.back(),
              (Message{state.identity.titles.CheckTitle,
                       "E' necessario digitare almeno il dato del 'progetto'.", MessageIcon::Stop,
                       MessageButtons::Ok, Answer::Ok}));
    EXPECT_EQ(windows.log.back(), "show 1");
    EXPECT_TRUE(dialogs.fileDialogs.empty());
    EXPECT_FALSE(fs::exists(file));

    // Once complete, the user's own check shows its success message again.
    title().TypeInField(TitleField::progetto, "Rete");
    data().CheckData();
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Information);
}

TEST_F(Archive, DeletingTheCurrentFileThenSavingWritesItAgain) {
    TypeProject();
    dialogs.files = {file};
    From(WindowId::dati).Save();
    dialogs.files = {file};
    From(WindowId::frontespizio).Delete();
    EXPECT_EQ(dialogs.fileDialogs.back().title,
              "Elimina: seleziona il file desiderato e clicca su Apri per cancellarlo");
    EXPECT_EQ(dialogs.fileDialogs.back().initialName, "Acquenza-dati-");
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(state.currentFileName, file);
    From(WindowId::frontespizio).Save();
    EXPECT_TRUE(fs::exists(file));

    dialogs.files = {(folder / "nessuno").string()};
    From(WindowId::dati).Delete();
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Stop);
    EXPECT_NE(dialogs.LastText().find("nessuno"), std::string::npos);
}

TEST_F(Archive, ACancelledOrFailedOpenChangesNothing) {
    TypeProject();
    const SectionTable before = state.project.sections;
    dialogs.files = {std::nullopt,
                     (std::filesystem::path(file).parent_path() / "assente").string()};
    dialogs.answers = {Answer::No, Answer::No};
    From(WindowId::dati).Open();
    From(WindowId::dati).Open();
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Stop);
    EXPECT_NE(dialogs.LastText().find("assente"), std::string::npos) << dialogs.LastText();
    EXPECT_EQ(state.project.enteredSectionCount, 2);
    for (int s = 1; s <= 3; ++s) {
        for (const Field f : InputFields) {
            EXPECT_EQ(state.project.sections.Get(s, f), before.Get(s, f));
        }
    }
    EXPECT_EQ(data().BoxText(1, Field::lungh), "100");
    EXPECT_EQ(title().Text(TitleField::progetto), "Rete di distribuzione");
}

TEST_F(Archive, OpeningTwoSectionsOverFiveLeavesTwo) {
    TypeProject();
    dialogs.files = {file};
    From(WindowId::dati).Save();
    for (int r = 3; r <= 5; ++r) {
        TypeSection(r, r);
    }
    ASSERT_EQ(state.project.enteredSectionCount, 5);
    dialogs.files = {file};
    dialogs.answers = {Answer::No};
    From(WindowId::frontespizio).Open();
    EXPECT_EQ(state.project.enteredSectionCount, 2);
    EXPECT_TRUE(state.project.sections.Get(3, Field::lungh).IsEmpty());
    EXPECT_EQ(data().BoxText(3, Field::lungh), "");
}

TEST_F(Archive, LongTitlesInAFileWarnOncePerField) {
    std::ofstream(file, std::ios::binary) << "0\r\n\"" << std::string(61, 'p') << "\",\"ok\",,,,,\""
                                          << std::string(70, 'a') << "\"\r\n";
    dialogs.files = {file};
    From(WindowId::frontespizio).Open();
    int warnings = 0;
    for (const Message& m : dialogs.shown) {
        warnings += m.text == "Per una stampa corretta non digitare dati lunghi più di 60 spazi.";
    }
    EXPECT_EQ(warnings, 2);
}

TEST_F(Archive, AnOpenThatStopsEarlySaysWhereAndForgetsTheName) {
    std::ofstream(file, std::ios::binary)
        << "3\r\n\"100\",\"120\",\"110\",\"1\",,,\"1\",,,\"nuova\"\r\n\"50\",\"110\"";
    state.currentFileName = "/precedente/Acquenza-dati-x";
    TypeSection(1, 1);
    // Asked whether to see what was read: No keeps the project in memory.
    // (Each Open first asks about the unsaved sections: No, let them go.)
    dialogs.files = {file, file};
    dialogs.answers = {Answer::No, Answer::No, Answer::No, Answer::Yes};
    From(WindowId::dati).Open();
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Question);
    EXPECT_EQ(state.currentFileName, "/precedente/Acquenza-dati-x");
    EXPECT_EQ(state.project.enteredSectionCount, 1);
    From(WindowId::dati).Open();
    EXPECT_NE(dialogs.LastText().find(file), std::string::npos) << dialogs.LastText();
    EXPECT_NE(dialogs.LastText().find("riga"), std::string::npos);
    EXPECT_TRUE(state.currentFileName.empty());
    EXPECT_EQ(data().BoxText(1, Field::lungh), "100");  // the grid shows what was read
    EXPECT_EQ(data().BoxText(2, Field::quotain), "110");

    title().TypeInField(TitleField::progetto, "Rete");
    data().TypeInBox(2, Field::quotafin, "100");
    data().TypeInBox(2, Field::portun, "1");
    data().TypeInBox(2, Field::portfin, "1");
    data().PickPipeType(2, "nuova");
    const std::size_t asked = dialogs.fileDialogs.size();
    dialogs.files = {std::nullopt};
    From(WindowId::dati).Save();
    EXPECT_EQ(dialogs.fileDialogs.size(), asked + 1);  // a name is asked, the file is not touched
}

TEST_F(Archive, FailedSavesSayWhichFileAndWhyAndKeepTheOldFile) {
    TypeProject();
    const std::string unwritable = UnwritableFolder() + "/Acquenza-dati-x";
    dialogs.files = {unwritable};
    From(WindowId::dati).Save();
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Stop);
    EXPECT_NE(dialogs.LastText().find(unwritable), std::string::npos) << dialogs.LastText();

    // A text the file cannot hold, arrived through a hand-edited file.
    std::ofstream(file, std::ios::binary)
        << "1\r\n\"100\",\"120\",\"110\",\"1\",,,\"1\",,,nu\"ova\r\n\"Rete\",,,,,,\r\n";
    dialogs.files = {file};
    dialogs.answers = {Answer::No};
    From(WindowId::dati).Open();
    const std::string original = Slurp(file);
    From(WindowId::dati).Save();
    EXPECT_EQ(dialogs.LastText(),
              "Archiviazione non eseguita. Tronco n. 1: la casella «tipo di condotta» contiene "
              "le virgolette (\"), che il file dati non può contenere.");
    EXPECT_EQ(Slurp(file), original);

    // A disk that fills up halfway.
    state.project.sections.Set(1, Field::tipoc, FieldValue::Text("nuova"));
    for (int s = 1; s <= 400; ++s) {
        state.project.sections.CopyInputFields(1, s);
    }
    CountEnteredSections(state.project);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit capped = old;
    capped.rlim_cur = 2048;
    setrlimit(RLIMIT_FSIZE, &capped);
    From(WindowId::dati).Save();
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_NE(dialogs.LastText().find(file), std::string::npos) << dialogs.LastText();
    EXPECT_EQ(Slurp(file), original);
}

TEST_F(Archive, SaveAndDeleteRespectProtectionAndWriteThroughLinks) {
    TypeProject();
    // Read-only by its mode, which stops root too.
    std::ofstream(file) << "protetto";
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    dialogs.files = {file};
    From(WindowId::dati).Save();
    EXPECT_EQ(dialogs.LastText(),
              "Archiviazione non eseguita: il file \"" + file + "\" è protetto da scrittura.");
    dialogs.files = {file};
    From(WindowId::frontespizio).Delete();
    EXPECT_EQ(dialogs.LastText(),
              "Eliminazione non eseguita: il file \"" + file + "\" è protetto da scrittura.");
    EXPECT_EQ(Slurp(file), "protetto");

    // A link is written through: the project it names gets the data, keeps
    // its permissions, and the link stays a link.
    const fs::path real = folder / "progetti" / "Acquenza-dati-vero";
    fs::create_directories(real.parent_path());
    std::ofstream(real) << "vecchio";
    const fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(real, mode);
    const std::string link = (folder / "Acquenza-dati-collegamento").string();
    fs::create_symlink("progetti/Acquenza-dati-vero", link);
    dialogs.files = {link};
    From(WindowId::dati).SaveAs();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Slurp(real.string()).substr(0, 3), "2\r\n");
    EXPECT_EQ(fs::status(real).permissions(), mode);
    // Every other name of the project sees the next save too.
    const fs::path other = folder / "progetti" / "copia-di-sicurezza";
    fs::create_hard_link(real, other);
    title().TypeInField(TitleField::luogo, "Perugia");
    From(WindowId::dati).Save();
    EXPECT_NE(Slurp(other.string()).find("\"Perugia\""), std::string::npos);
    EXPECT_EQ(Slurp(other.string()), Slurp(real.string()));
    EXPECT_EQ(fs::status(real).permissions(), mode);
}

TEST_F(Archive, SystemErrorsReachTheUserInItalian) {
    const fs::path loop = folder / "Acquenza-dati-ciclo";
    fs::create_symlink(loop.filename(), loop);
    const fs::path notAFolder = folder / "un-file";
    std::ofstream(notAFolder) << "x";
    const std::pair<std::string, std::string> opened[] = {
        {loop.string(), "collegamento circolare"},
        {(notAFolder / "Acquenza-dati-x").string(), "cartella"},
        {"/dev/null", "dispositivo"},
    };
    const auto english = [](const std::string& text) {
        for (int e = 1; e < 134; ++e) {
            if (text.find(std::strerror(e)) != std::string::npos) {
                return std::string(std::strerror(e));
            }
        }
        return std::string();
    };
    for (const auto& [path, phrase] : opened) {
        dialogs.files = {path};
        From(WindowId::dati).Open();
        const std::string text = dialogs.LastText();
        EXPECT_NE(text.find("\"" + path + "\""), std::string::npos) << text;
        EXPECT_NE(text.find(phrase), std::string::npos) << text;
        EXPECT_EQ(english(text), "") << text;
        EXPECT_EQ(text.find(".."), std::string::npos) << text;
    }
    TypeProject();
    dialogs.files = {loop.string()};
    From(WindowId::dati).SaveAs();
    EXPECT_NE(dialogs.LastText().find("collegamento circolare"), std::string::npos)
        << dialogs.LastText();
    EXPECT_TRUE(fs::is_symlink(loop));

    for (const int e : {EACCES, EPERM, EROFS, ENOSPC, EDQUOT, ENAMETOOLONG, ENOTDIR, EISDIR, ELOOP,
                        EBUSY, ETXTBSY, EIO, EOPNOTSUPP, EFBIG, ENOENT, EEXIST}) {
        EXPECT_EQ(english(ItalianErrorText(e)), "") << e;
    }
    EXPECT_EQ(ItalianErrorText(EHWPOISON), "errore di sistema n. " + std::to_string(EHWPOISON));
}

TEST_F(Archive, AnOpenSaysWhetherNothingOrHowMuchWasRead) {
    const std::string empty = (folder / "Acquenza-dati-vuoto").string();
    std::ofstream{empty};
    std::ofstream(file, std::ios::binary)
        << "3\r\n\"100\",\"120\",\"110\",\"1\",,,\"1\",,,\"nuova\"\r\n\"50\",\"110\"";
    const std::string nothing = " Nessun dato è stato letto.";
    const std::tuple<std::string, std::string, MessageIcon> cases[] = {
        {folder.string(),
         "Impossibile leggere il file \"" + folder.string() + "\": il nome indica una cartella." +
             nothing,
         MessageIcon::Stop},
        {empty, "Il file \"" + empty + "\" non è stato letto: il file è vuoto." + nothing,
         MessageIcon::Stop},
        {file,
         "Il file \"" + file +
             "\" è stato letto solo fino alla riga 3: il file finisce prima del dato «quota "
             "finale» "
             "del tronco n. 2.\nMostrare i dati letti fino a quel punto? Con «No» resta il "
             "progetto attuale; con «Sì», per archiviarli occorre scegliere di nuovo il nome del "
             "file.",
         MessageIcon::Question},
    };
    // Nothing read, or the user keeps the project in memory: it stays, and
    // so does the name of its file.
    for (const auto& [path, text, icon] : cases) {
        state.currentFileName = "/precedente/Acquenza-dati-x";
        dialogs.files = {path};
        From(WindowId::dati).Open();
        EXPECT_EQ(dialogs.LastText(), text);
        EXPECT_EQ(dialogs.shown.back().icon, icon);
        EXPECT_EQ(state.currentFileName, "/precedente/Acquenza-dati-x");
    }
    // What was read is shown: the damaged file's name is forgotten.
    dialogs.files = {file};
    dialogs.answers = {Answer::Yes};
    From(WindowId::dati).Open();
    EXPECT_EQ(state.currentFileName, "");
    EXPECT_EQ(state.project.sections.Get(2, Field::quotain), FieldValue::Text("110"));
}

TEST_F(Archive, AUtf8FileReadsAsTypedAndIsSavedInTheProgramsCharacterSet) {
    std::ofstream(file, std::ios::binary)
        << "1\r\n\"100\",\"120\",\"110\",\"1\",,,\"1\",,,\"nuova\"\r\n"
        << "\"Città di Forlì\",\"Forlì\",,,,,\r\n";
    dialogs.files = {file};
    From(WindowId::frontespizio).Open();
    EXPECT_EQ(title().Text(TitleField::progetto), "Città di Forlì");
    EXPECT_EQ(title().Text(TitleField::localita), "Forlì");
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Information);
    EXPECT_NE(dialogs.LastText().find("UTF-8"), std::string::npos) << dialogs.LastText();
    EXPECT_NE(dialogs.LastText().find("(Windows-1252)"), std::string::npos) << dialogs.LastText();
    EXPECT_EQ(state.currentFileName, file);

    From(WindowId::dati).Save();
    EXPECT_EQ(dialogs.shown.size(), 1u);  // said once, at the Open
    EXPECT_NE(Slurp(file).find("\"Citt\xE0 di Forl\xEC\",\"Forl\xEC\""), std::string::npos);
}

TEST_F(Archive, AHandEditedLayoutIsPointedOutAndItsNameForgotten) {
    std::ofstream(file, std::ios::binary)
        << "2\r\n\"100\",\"120\",\"110\",\"1\",,,\"1\",,,\"nuova\"\r\n\r\n"
        << "\"150\",\"110\",\"100\",\"1\",,,\"1\",,,\"in uso\"\r\n\"Rete\",,,,,,\r\n";
    dialogs.files = {file};
    From(WindowId::dati).Open();
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown[0].text,
              "Il file \"" + file +
                  "\" sembra modificato a mano: la riga 3 è vuota, mentre dovrebbe contenere i 10 "
                  "dati del tronco n. 2.\nI dati sono stati letti come si trovano nel file, ma da "
                  "quella riga in poi potrebbero essere finiti nei campi sbagliati: controllarli; "
                  "per archiviarli occorre scegliere di nuovo il nome del file.");
    EXPECT_EQ(dialogs.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(state.currentFileName, "");
    // Read all the same as the reading rules say: the blank line is a value.
    EXPECT_TRUE(state.project.sections.Get(2, Field::lungh).IsEmpty());
    EXPECT_EQ(state.project.sections.Get(2, Field::quotain), FieldValue::Text("150"));
    EXPECT_EQ(title().Text(TitleField::progetto), "in uso");
}

}  // namespace
}  // namespace acquenza
