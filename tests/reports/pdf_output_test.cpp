// A report printed to a PDF file obeys the rules of every file the program
// writes: protection respected, links written through, nothing removed or
// half-written when the print fails, and the cause named.

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QPrinter>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <vector>

#include "reports/owned_printer.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;

class PdfOutput : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("acquenza-pdf-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    static std::string Slurp(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Spit(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    // Every name under the folder, so a stray work file shows (links, even
    // circular ones, are not followed).
    std::set<std::string> Names() const {
        std::set<std::string> names;
        std::vector<fs::path> folders = {folder};
        while (!folders.empty()) {
            const fs::path at = folders.back();
            folders.pop_back();
            for (const fs::directory_entry& e : fs::directory_iterator(at)) {
                names.insert(e.path().lexically_relative(folder).string());
                if (!e.is_symlink() && e.is_directory()) {
                    folders.push_back(e.path());
                }
            }
        }
        return names;
    }
    // A report of `pages` pages; the device as it stands after its end.
    static void Print(PrinterDevice& p, int pages) {
        p.SetFont("Courier New", 10);
        for (int page = 1; page <= pages && !p.Failed(); ++page) {
            for (int line = 0; line < 50; ++line) {
                p.PrintLine({PrintItem::Words("Tronco n. " + std::to_string(page)),
                             PrintItem::TabTo(20), PrintItem::Value(line * 1.25)});
            }
            if (page < pages) {
                p.NewPage();
            }
        }
        p.EndDocument();
    }

    fs::path folder;
};

// No sentence repeated, and none starting with a capital after a colon.
void ExpectItalianSentence(const std::string& text) {
    for (std::size_t colon = text.find(": "); colon != std::string::npos;
         colon = text.find(": ", colon + 1)) {
        const char next = text[colon + 2];
        EXPECT_FALSE(next >= 'A' && next <= 'Z') << text;
    }
    EXPECT_EQ(text.find("stampante"), std::string::npos) << text;
}

TEST_F(PdfOutput, TheOutputIsJudgedAsEverySavedFile) {
    const fs::path elsewhere = folder / "altrove";
    fs::create_directories(elsewhere);
    struct Case {
        const char* name;
        std::function<fs::path()> make;  // the output given; its old contents
        bool printed;
        std::string why;
    };
    const Case cases[] = {
        {"nuovo", [&] { return folder / "relazione.pdf"; }, true, ""},
        {"esistente",
         [&] {
             Spit(folder / "vecchia.pdf", "vecchio");
             fs::permissions(folder / "vecchia.pdf", fs::perms::owner_read |
                                                         fs::perms::owner_write |
                                                         fs::perms::group_read);
             return folder / "vecchia.pdf";
         },
         true, ""},
        {"collegamento",
         [&] {
             Spit(elsewhere / "vera.pdf", "vecchio");
             fs::create_symlink("altrove/vera.pdf", folder / "collegata.pdf");
             return folder / "collegata.pdf";
         },
         true, ""},
        {"sola lettura",
         [&] {
             Spit(folder / "protetta.pdf", "vecchio");
             fs::permissions(folder / "protetta.pdf", fs::perms::owner_read);
             return folder / "protetta.pdf";
         },
         false, "è protetto da scrittura"},
        {"cartella", [&] { return elsewhere; }, false, "il nome indica una cartella"},
        {"ciclo",
         [&] {
             fs::create_symlink("ciclo.pdf", folder / "ciclo.pdf");
             return folder / "ciclo.pdf";
         },
         false, "collegamento circolare"},
        {"cartella mancante", [&] { return folder / "manca" / "r.pdf"; }, false,
         "la cartella o il file non esiste"},
    };
    for (const Case& c : cases) {
        const fs::path output = c.make();
        std::error_code ec;
        const std::string before = fs::is_regular_file(output, ec) ? Slurp(output) : "";
        const std::set<std::string> namesBefore = Names();
        const fs::file_status linkBefore = fs::symlink_status(output);
        const fs::perms modeBefore = fs::status(output, ec).permissions();
        {
            const std::unique_ptr<PrinterDevice> device = PrintToPdf(output);
            Print(*device, 3);
            EXPECT_EQ(device->Failed(), !c.printed) << c.name << ": " << device->FailureText();
            if (!c.printed) {
                const std::string text = device->FailureText();
                EXPECT_NE(text.find("\"" + output.string() + "\""), std::string::npos) << text;
                EXPECT_NE(text.find(c.why), std::string::npos) << c.name << ": " << text;
                ExpectItalianSentence(text);
            }
        }
        if (fs::exists(linkBefore)) {
            EXPECT_EQ(fs::symlink_status(output).type(), linkBefore.type()) << c.name;
        }
        if (c.printed) {
            EXPECT_EQ(Slurp(output).substr(0, 5), "%PDF-") << c.name;
            if (fs::exists(linkBefore)) {
                EXPECT_EQ(fs::status(output).permissions(), modeBefore) << c.name;
            }
        } else if (fs::is_regular_file(output, ec)) {
            EXPECT_EQ(Slurp(output), before) << c.name;
        }
        std::set<std::string> names = Names();
        names.erase("relazione.pdf");
        std::set<std::string> expected = namesBefore;
        expected.erase("relazione.pdf");
        EXPECT_EQ(names, expected) << c.name << ": a file came or went";
    }
}

TEST_F(PdfOutput, APrintThatFailsMidwayLeavesTheOldPdfAndNamesTheCause) {
    const fs::path real = folder / "archivio" / "relazione.pdf";
    fs::create_directories(real.parent_path());
    {
        const std::unique_ptr<PrinterDevice> good = PrintToPdf(real);
        Print(*good, 2);
        ASSERT_FALSE(good->Failed()) << good->FailureText();
    }
    const std::string previous = Slurp(real);
    const fs::path link = folder / "ultima.pdf";
    fs::create_symlink(real, link);
    const std::set<std::string> namesBefore = Names();

    // The file size limit cuts the print short, as a full disk would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    std::string text;
    for (const fs::path& output : {real, link}) {
        rlimit capped = old;
        capped.rlim_cur = 20000;
        setrlimit(RLIMIT_FSIZE, &capped);
        {
            const std::unique_ptr<PrinterDevice> device = PrintToPdf(output);
            Print(*device, 40);
            EXPECT_TRUE(device->Failed());
            text = device->FailureText();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(text, "Impossibile scrivere il file \"" + output.string() +
                            "\": il file supera la dimensione ammessa.");
    }
    std::signal(SIGXFSZ, signal);
    EXPECT_EQ(Slurp(real), previous);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Names(), namesBefore);
}

TEST_F(PdfOutput, RootReplacesAnotherUsersPdfOnlyWhenToldTo) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can replace another user's file";
    }
    const fs::path output = folder / "relazione.pdf";
    Spit(output, "sua");
    ASSERT_EQ(::chown(output.c_str(), 65534, 65534), 0);
    {
        const std::unique_ptr<PrinterDevice> refused = PrintToPdf(output);
        Print(*refused, 1);
        EXPECT_TRUE(refused->Failed());
        EXPECT_NE(refused->FailureText().find("appartiene a un altro utente"), std::string::npos)
            << refused->FailureText();
    }
    EXPECT_EQ(Slurp(output), "sua");
    {
        const std::unique_ptr<PrinterDevice> told = PrintToPdf(output, WriteOptions{true});
        Print(*told, 1);
        EXPECT_FALSE(told->Failed()) << told->FailureText();
    }
    EXPECT_EQ(Slurp(output).substr(0, 5), "%PDF-");
    struct stat st {};
    ::stat(output.c_str(), &st);
    EXPECT_EQ(st.st_uid, 65534u);
}

}  // namespace
}  // namespace acquenza
