#include "archive/project_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "archive/atomic_file.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;

const char* const ExampleFile =
    "2\r\n"
    "\"250\",\"120\",\"115\",\"1,5\",\"\",\"\",\"\",\"300\",250,\"nuova\"\r\n"
    "\"180\",\"115\",\"109\",\"0,8\",\"\",\"\",0,\"\",\"\",\"in uso\"\r\n"
    "\"Rete di distribuzione\",\"Colle Alto\",\"analisi situazione attuale\","
    "\"Comune di Colle Alto\",\"Colle Alto\",\"luned\xEC, 5 dic 2011\",\"planimetria\"\r\n";

FieldValue T(const char* text) {
    return FieldValue::Text(text);
}

const TitleTexts ExampleTitles = {"Rete di distribuzione",
                                  "Colle Alto",
                                  "analisi situazione attuale",
                                  "Comune di Colle Alto",
                                  "Colle Alto",
                                  "lunedì, 5 dic 2011",
                                  "planimetria"};

Project ExampleProject() {
    Project p;
    const std::array<FieldValue, 10> one = {T("250"),  T("120"), T("115"),
                                            T("1,5"),  T(""),    T(""),
                                            T(""),     T("300"), FieldValue::Number(250),
                                            T("nuova")};
    const std::array<FieldValue, 10> two = {
        T("180"), T("115"), T("109"),   T("0,8"), T(""), T(""), FieldValue::Number(0),
        T(""),    T(""),    T("in uso")};
    for (std::size_t i = 0; i < InputFields.size(); ++i) {
        p.sections.Set(1, InputFields[i], one[i]);
        p.sections.Set(2, InputFields[i], two[i]);
    }
    p.enteredSectionCount = 2;
    p.titles = ExampleTitles;
    return p;
}

class ProjectFile : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("acquenza-test-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    static std::string Slurp(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static void Spit(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& e : fs::directory_iterator(folder_)) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder_;
};

TEST_F(ProjectFile, WritesTheTwoSectionExampleByteForByte) {
    const fs::path path = folder_ / "Acquenza-dati-esempio";
    ASSERT_TRUE(WriteProjectFile(path, ExampleProject()).ok);
    EXPECT_EQ(Slurp(path), ExampleFile);
}

TEST_F(ProjectFile, EveryKindOfValueComesBack) {
    Project p = ExampleProject();
    p.sections.Set(2, Field::abitun, FieldValue());  // never set: ,,
    p.sections.Set(2, Field::portun, FieldValue::Number(9.77));
    p.sections.Set(1, Field::abitfin, T("città, più a valle"));
    p.sections.Set(1, Field::dotazfin, T("antincend."));
    p.sections.Set(1, Field::quotain, FieldValue::Number(-12.5));
    p.sections.Set(1, Field::quotafin, FieldValue::Number(1.5e-7));
    p.sections.Set(3, Field::lungh, T("not saved"));  // above the count
    const fs::path path = folder_ / "Acquenza-dati-tutto";
    ASSERT_TRUE(WriteProjectFile(path, p).ok);

    Project back;
    const ReadOutcome read = ReadProjectFile(path, back);
    ASSERT_TRUE(read.complete) << read.message;
    EXPECT_EQ(back.enteredSectionCount, 2);
    for (int s = 1; s <= 2; ++s) {
        for (Field f : InputFields) {
            EXPECT_EQ(back.sections.Get(s, f), p.sections.Get(s, f))
                << "section " << s << ' ' << FieldName(f);
        }
    }
    EXPECT_TRUE(back.sections.Get(3, Field::lungh).IsNothing());
    EXPECT_EQ(back.titles, ExampleTitles);
}

TEST_F(ProjectFile, ReadsValuesWhereverTheLinesBreak) {
    Project p;
    const std::string spread =
        "1\n\"100\",\"120\"\n\"115\",  5 ,,,,\r\n,\"nuova\",\"a, b\",x,\"\"  junk,2011,,,\"g\"\r\n"
        "\"ignored\",\"after the title\"\r\n";
    const ReadOutcome read = ReadProjectData(spread, p);
    ASSERT_TRUE(read.complete) << read.message;
    EXPECT_EQ(p.sections.Get(1, Field::quotafin), T("115"));
    EXPECT_EQ(p.sections.Get(1, Field::portun), FieldValue::Number(5));
    EXPECT_TRUE(p.sections.Get(1, Field::abitun).IsNothing());
    EXPECT_EQ(p.sections.Get(1, Field::tipoc), T("nuova"));
    EXPECT_EQ(p.titles, (TitleTexts{"a, b", "x", "", "2011", "", "", "g"}));
}

TEST_F(ProjectFile, ATruncatedFileStopsWhereItEnds) {
    Project p;
    p.titles = {"old", "old", "old", "old", "old", "old", "old"};
    std::string bytes = ExampleFile;
    bytes[0] = '3';
    const ReadOutcome read = ReadProjectData(bytes, p);
    EXPECT_FALSE(read.complete);
    EXPECT_EQ(read.line, 5);
    EXPECT_NE(read.message.find("tronco n. 3"), std::string::npos) << read.message;
    // Section 3 took the title values; the title page kept its texts.
    EXPECT_EQ(p.sections.Get(3, Field::lungh), T("Rete di distribuzione"));
    EXPECT_EQ(p.sections.Get(3, Field::tipoc).TextValue(), "");
    EXPECT_EQ(p.titles.progetto, "old");
    EXPECT_EQ(p.sections.Get(2, Field::tipoc), T("in uso"));
}

TEST_F(ProjectFile, CountsOutsideTheRangeAreHandled) {
    {
        Project p;
        std::string bytes = "600\r\n";
        for (int s = 0; s < 600; ++s) {
            bytes += "\"1\",\"2\",\"1\",,,,,,,\"nuova\"\r\n";
        }
        bytes += "\"t\",,,,,,\r\n";
        const ReadOutcome read = ReadProjectData(bytes, p);
        EXPECT_FALSE(read.complete);
        EXPECT_EQ(p.enteredSectionCount, MaxSections);
        EXPECT_EQ(p.sections.Get(500, Field::tipoc), T("nuova"));
        EXPECT_EQ(p.titles.progetto, "");
    }
    for (const std::string first : {"0", "-4", ""}) {
        Project p;
        const ReadOutcome read = ReadProjectData(first + "\r\n\"a\",\"b\",,,,,\"g\"\r\n", p);
        EXPECT_TRUE(read.complete) << first;
        EXPECT_EQ(p.enteredSectionCount, 0);
        EXPECT_EQ(p.titles.progetto, "a");
        EXPECT_EQ(p.titles.allegati, "g");
    }
    for (const std::string first : {"\"tre\"", "abc", "2.5"}) {
        Project p;
        const ReadOutcome read = ReadProjectData(first + "\r\n\"a\"\r\n", p);
        EXPECT_FALSE(read.complete) << first;
        EXPECT_EQ(read.line, 1);
    }
    Project p;
    EXPECT_FALSE(ReadProjectData("", p).complete);
    EXPECT_FALSE(ReadProjectData("1\r\n\"open quote", p).complete);
}

TEST_F(ProjectFile, TextsTheFileCannotHoldAreRefusedAndTheOldFileStays) {
    const fs::path path = folder_ / "Acquenza-dati-x";
    ASSERT_TRUE(WriteProjectFile(path, ExampleProject()).ok);
    Project quoted = ExampleProject();
    quoted.sections.Set(2, Field::quotafin, T("1\"5"));
    const ArchiveResult r = WriteProjectFile(path, quoted);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message,
              "Tronco n. 2: la casella «quota finale» contiene le virgolette (\"), che il file "
              "dati non può contenere.");

    Project foreign = ExampleProject();
    foreign.titles.committente = "Comune di Ωmega";
    const ArchiveResult t = WriteProjectFile(path, foreign);
    EXPECT_FALSE(t.ok);
    EXPECT_NE(t.message.find("committente"), std::string::npos) << t.message;
    EXPECT_EQ(Slurp(path), ExampleFile);
}

TEST_F(ProjectFile, AWriteThatFailsMidwayLeavesTheOldFileWhole) {
    const fs::path path = folder_ / "Acquenza-dati-grande";
    Spit(path, ExampleFile);
    Project big;
    for (int s = 1; s <= MaxSections; ++s) {
        big.sections.Set(s, Field::lungh, T("123456789"));
    }
    big.enteredSectionCount = MaxSections;
    big.titles = ExampleTitles;

    // Cap the size of files this process may write, as a full disk would.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit capped = old;
    capped.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &capped), 0);
    const ArchiveResult r = WriteProjectFile(path, big);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find(path.string()), std::string::npos) << r.message;
    EXPECT_EQ(Slurp(path), ExampleFile);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(ProjectFile, UnreadableAndUnwritablePlacesAreReported) {
    Project p;
    const ReadOutcome missing = ReadProjectFile(folder_ / "nessuno", p);
    EXPECT_FALSE(missing.complete);
    EXPECT_NE(missing.message.find("nessuno"), std::string::npos);
    const ReadOutcome folder = ReadProjectFile(folder_, p);
    EXPECT_FALSE(folder.complete);

    const ArchiveResult noFolder =
        WriteProjectFile(folder_ / "manca" / "Acquenza-dati-x", ExampleProject());
    EXPECT_FALSE(noFolder.ok);
    EXPECT_NE(noFolder.message.find("manca"), std::string::npos) << noFolder.message;
}

TEST_F(ProjectFile, HandEditedLayoutsAreFoundWhereTheyStart) {
    const std::string one =
        "\"250\",\"120\",\"115\",\"1,5\",\"\",\"\",\"\",\"300\",250,\"nuova\"\r\n";
    const std::string two = "\"180\",\"115\",\"109\",\"0,8\",\"\",\"\",0,\"\",\"\",\"in uso\"\r\n";
    const std::string title = "\"Rete\",\"Colle Alto\",\"\",\"\",\"\",\"\",\"\"\r\n";
    struct Case {
        std::string bytes;
        int line, found, expected, holds;
    };
    const Case cases[] = {
        {ExampleFile, 0, 0, 0, 0},
        {"2\r\n" + one + "\r\n" + two + title, 3, 0, 10, 2},  // blank line between sections
        {"2\r\n\"250\"," + one + two + title, 2, 11, 10, 1},  // one value too many
        {"2\r\n" + one + "\"180\",\"115\"\r\n\"109\",\"0,8\",\"\",\"\",0,\"\",\"\",\"in uso\"\r\n" +
             title,
         3, 2, 10, 2},                                      // a section split over two lines
        {"2,\"250\"\r\n" + one + two + title, 1, 2, 1, 0},  // values on the count line
        {"2\r\n" + one + two + "\"Rete\",\"Colle, Alto\",,,,,,\r\n", 4, 8, 7,
         LayoutDifference::TitleLine},                                   // an eighth title value
        {"2\r\n" + one + two + title + "\"dopo\"\r\n\r\n", 0, 0, 0, 0},  // ignored lines
    };
    for (const Case& c : cases) {
        Project p;
        const ReadOutcome read = ReadProjectData(c.bytes, p);
        EXPECT_EQ(read.layout.line, c.line) << c.bytes;
        EXPECT_EQ(read.layout.valuesFound, c.found) << c.bytes;
        EXPECT_EQ(read.layout.valuesExpected, c.expected) << c.bytes;
        EXPECT_EQ(read.layout.holds, c.holds) << c.bytes;
    }
    // The blank line is still read as the reading rules say: an empty value
    // that shifts the rest, and the file counts as read to the end.
    Project p;
    const ReadOutcome read = ReadProjectData("2\r\n" + one + "\r\n" + two + title, p);
    EXPECT_TRUE(read.complete);
    EXPECT_TRUE(p.sections.Get(2, Field::lungh).IsNothing());
    EXPECT_EQ(p.sections.Get(2, Field::quotain), T("180"));
    EXPECT_EQ(p.titles.progetto, "in uso");
}

TEST_F(ProjectFile, AKilledSaveLeavesNoTemporaryFileAndAnyValidNameSaves) {
    const fs::path path = folder_ / "Acquenza-dati-x";
    Spit(path, "vecchio");
    // Killed halfway through writing: the signal of the file size limit ends
    // the child as a kill would.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        const rlimit capped{4096, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &capped);
        std::signal(SIGXFSZ, SIG_DFL);
        WriteFileAtomically(path, std::string(100000, 'x'));
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Slurp(path), "vecchio");
    EXPECT_EQ(Names(), std::vector<std::string>{"Acquenza-dati-x"});

    // Left by killed saves of this and earlier versions: the stale ones go at
    // the next save; one just made may belong to a save still running.
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const char* name : {".Acquenza-dati-x.tmp-a1B2c3", ".acquenza-tmp-Zz9Yy8"}) {
        Spit(folder_ / name, "resto");
        fs::last_write_time(folder_ / name, hourAgo);
    }
    Spit(folder_ / ".acquenza-tmp-nuovo1", "in corso");
    ASSERT_TRUE(WriteFileAtomically(path, "nuovo").ok);
    EXPECT_EQ(Slurp(path), "nuovo");
    EXPECT_EQ(Names(), (std::vector<std::string>{".acquenza-tmp-nuovo1", "Acquenza-dati-x"}));

    // The longest name the file system takes.
    const fs::path longest = folder_ / ("Acquenza-dati-" + std::string(241, 'n'));
    const ArchiveResult written = WriteFileAtomically(longest, "lungo");
    EXPECT_TRUE(written.ok) << written.message;
    EXPECT_EQ(Slurp(longest), "lungo");
}

TEST_F(ProjectFile, OfManySimultaneousCreationsOfOneNameExactlyOneWins) {
    const fs::path path = folder_ / "relazione.docx";
    std::vector<ArchiveResult> results(6);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&, i] {
            results[i] =
                CreateFileExclusively(path, std::string(300000, static_cast<char>('a' + i)));
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    int winners = 0;
    for (std::size_t i = 0; i < results.size(); ++i) {
        if (results[i].ok) {
            ++winners;
            EXPECT_EQ(Slurp(path), std::string(300000, static_cast<char>('a' + i)));
        } else {
            EXPECT_EQ(results[i].error, EEXIST) << results[i].message;
        }
    }
    EXPECT_EQ(winners, 1);

    // A broken link holds its name too.
    const fs::path link = folder_ / "dati.docx";
    fs::create_symlink("altrove.docx", link);
    EXPECT_EQ(CreateFileExclusively(link, "x").error, EEXIST);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_FALSE(fs::exists(folder_ / "altrove.docx"));
    EXPECT_EQ(Names().size(), 2u);
}

}  // namespace
}  // namespace acquenza
