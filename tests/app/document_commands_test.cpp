#include "app/document_commands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <filesystem>
#include <fstream>

#include "app/fakes.h"
#include "app/guide_pages.h"
#include "reports/docx_test_support.h"
#include "reports/recording_printer.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;
using testing::FakeDialogs;
using testing::FakeWindows;

using testing::FakeDesk;

class Documents : public ::testing::Test {
  protected:
    void SetUp() override {
        InitProgramValues(state.identity.values);
        InitSharedTitles(state.identity.titles, state.identity.values);
        root = fs::temp_directory_path() /
               ("acquenza-docs-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        desk.folder = root;
    }
    // Only ever the folder this test made, whatever the desk points at now.
    void TearDown() override { fs::remove_all(root); }

    // n complete sections stored straight into the project, as an Open
    // leaves them: only the shown rows have been calculated.
    void Sections(int n) {
        for (int s = 1; s <= n; ++s) {
            auto& t = state.project.sections;
            t.Set(s, Field::lungh, FieldValue::Text("100"));
            t.Set(s, Field::quotain, FieldValue::Text(std::to_string(600 - s)));
            t.Set(s, Field::quotafin, FieldValue::Text(std::to_string(595 - s)));
            t.Set(s, Field::portun, FieldValue::Text("1"));
            t.Set(s, Field::portfin, FieldValue::Text("2"));
            t.Set(s, Field::tipoc, FieldValue::Text("nuova"));
        }
        CountEnteredSections(state.project);
        windows.LoadDataWindow().RefreshGrid();
        windows.LoadTitlePage().TypeInField(TitleField::progetto, "Rete/di Colle Alto");
    }
    DocumentCommands Commands() { return DocumentCommands(state, dialogs, windows, desk); }
    int FilesWritten() {
        const fs::path folder = desk.folder / "Acquenza";
        if (!fs::exists(folder)) {
            return 0;
        }
        return static_cast<int>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }

    ProgramState state;
    FakeDialogs dialogs;
    FakeWindows windows{state, dialogs};
    FakeDesk desk;
    fs::path root;
};

TEST_F(Documents, TheReportNeedsADataCheckThatPasses) {
    Commands().FullReport();
    EXPECT_EQ(dialogs.LastText().substr(0, 31), "Non esistono dati riconosciuti:");
    EXPECT_EQ(windows.log.back(), "show 0");
    EXPECT_EQ(FilesWritten(), 0);
}

TEST_F(Documents, TheReportCalculatesEverySectionAndOpensTheDocument) {
    Sections(25);
    EXPECT_TRUE(state.project.sections.Get(25, Field::dia).IsNothing());
    auto commands = Commands();
    commands.FullReport();
    EXPECT_EQ(windows.LoadDataWindow().ScrollValue(), 1);  // the grid stays where it was
    for (int s = 1; s <= 25; ++s) {
        EXPECT_TRUE(state.project.sections.Get(s, Field::dia).IsNumber()) << s;
    }
    EXPECT_EQ(windows.LoadTitlePage().Guidance(), "sto caricando WORD per la stampa");
    ASSERT_TRUE(commands.LastDocument().has_value());
    EXPECT_EQ(commands.LastDocument()->filename(),
              "relazione-Rete_di_Colle_Alto-2026-12-08_09-30-15.docx");
    EXPECT_TRUE(fs::exists(*commands.LastDocument()));
    ASSERT_EQ(desk.opened.size(), 1u);
    EXPECT_EQ(desk.opened[0], *commands.LastDocument());
    EXPECT_TRUE(dialogs.shown.empty());

    commands.FullReport();  // same second: a second file, nothing overwritten
    EXPECT_EQ(FilesWritten(), 2);
    EXPECT_EQ(commands.LastDocument()->filename(),
              "relazione-Rete_di_Colle_Alto-2026-12-08_09-30-15-2.docx");
}

TEST_F(Documents, TenSectionsNeedNoPaging) {
    Sections(10);
    Commands().FullReport();
    EXPECT_EQ(windows.LoadDataWindow().ScrollValue(), 1);
    EXPECT_EQ(FilesWritten(), 1);
}

TEST_F(Documents, TheDirectPrintGoesToThePrinterChosen) {
    Sections(2);
    state.project.sections.Set(2, Field::abitun, FieldValue());
    windows.LoadTitlePage().SelectPrintMode(2);
    Commands().FullReport();  // dialog cancelled
    EXPECT_EQ(dialogs.printerDialogs, 1);
    EXPECT_TRUE(dialogs.shown.empty());

    reports_test::RecordingPrinter printed;
    auto printer = std::make_unique<reports_test::RecordingPrinter>();
    printer->keepCopyIn = &printed;
    dialogs.nextPrinter = std::move(printer);
    Commands().FullReport();
    EXPECT_TRUE(printed.ended);
    EXPECT_NE(printed.Find("Tronco n. 2 "), nullptr);
    EXPECT_NE(printed.Find("Rete/di Colle Alto"), nullptr);
    EXPECT_TRUE(state.project.sections.Get(2, Field::abitun).IsEmpty());  // printed as "0" only
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(FilesWritten(), 0);
}

// A printer whose own account of the failure is a whole sentence.
class SentencePrinter : public reports_test::RecordingPrinter {
  public:
    std::string FailureText() const override { return "La stampa si è interrotta a pagina 2."; }
};

TEST_F(Documents, APrinterThatFailsIsReported) {
    Sections(2);
    windows.LoadTitlePage().SelectPrintMode(2);
    auto printer = std::make_unique<reports_test::RecordingPrinter>();
    printer->FailAfter(10);
    dialogs.nextPrinter = std::move(printer);
    Commands().FullReport();
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Stop);
    EXPECT_NE(dialogs.LastText().find("carta esaurita"), std::string::npos) << dialogs.LastText();

    auto sentence = std::make_unique<SentencePrinter>();
    sentence->FailAfter(10);
    dialogs.nextPrinter = std::move(sentence);
    Commands().FullReport();
    // Said once, as the device words it.
    EXPECT_EQ(dialogs.LastText(),
              "Stampa della relazione non riuscita. La stampa si è interrotta a pagina 2.");
}

TEST_F(Documents, ProblemsAreNamedWithThePath) {
    Sections(1);
    desk.opens = false;
    auto commands = Commands();
    commands.AcquisitionTemplate();
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Exclamation);
    EXPECT_NE(dialogs.LastText().find(commands.LastDocument()->string()), std::string::npos);
    EXPECT_EQ(windows.LoadDataWindow().Guidance(), "sto caricando WORD");

    // A documents folder where no "Acquenza" folder can be made, even by root.
    desk.folder = "/proc/self";
    commands.TitlePageDocument();
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Stop);
    EXPECT_NE(dialogs.LastText().find("Acquenza"), std::string::npos) << dialogs.LastText();
}

TEST_F(Documents, TheDataWindowDocumentLeavesEmptyResidentsEmpty) {
    Sections(12);
    state.project.sections.Set(12, Field::abitfin, FieldValue());
    Commands().DataWindowDocument();
    EXPECT_TRUE(state.project.sections.Get(12, Field::abitfin).IsNothing());
    EXPECT_TRUE(state.project.sections.Get(12, Field::dia).IsNumber());
    EXPECT_EQ(windows.LoadDataWindow().ScrollValue(), 1);
    EXPECT_EQ(FilesWritten(), 1);
}

// A section left without its length takes no section after it off the
// data window's document, and those after it are printed with results.
TEST_F(Documents, TheDataWindowDocumentGoesOnPastAnEmptiedLength) {
    Sections(14);
    state.project.sections.Set(3, Field::lungh, FieldValue::Text(""));
    CountEnteredSections(state.project);
    ASSERT_EQ(state.project.enteredSectionCount, 13);
    auto commands = Commands();
    commands.DataWindowDocument();
    ASSERT_TRUE(commands.LastDocument().has_value());
    const QJsonObject read = reports_test::ReadDocx(*commands.LastDocument());
    QJsonArray table;
    int tables = 0;
    for (const auto& block : read["body"].toArray()) {
        if (block.toObject()["type"] == "table" && ++tables == 2) {
            table = block.toObject()["cells"].toArray();
        }
    }
    ASSERT_EQ(table.size(), 16);
    EXPECT_EQ(table[15].toArray()[0].toString(), " 14");
    EXPECT_NE(table[15].toArray()[11].toString(), "");  // its diameter
    EXPECT_TRUE(state.project.sections.Get(14, Field::dia).IsNumber());
}

TEST_F(Documents, ALinkLoopWhereADocumentGoesNeverStopsTheProgram) {
    Sections(1);
    const fs::path folder = root / "Acquenza";
    fs::create_directories(folder);
    const fs::path loop = folder / "frontespizio-Rete_di_Colle_Alto-2026-12-08_09-30-15.docx";
    fs::create_symlink(loop.filename(), loop);
    auto commands = Commands();
    commands.TitlePageDocument();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.LastText();
    ASSERT_TRUE(commands.LastDocument().has_value());
    EXPECT_EQ(commands.LastDocument()->filename(),
              "frontespizio-Rete_di_Colle_Alto-2026-12-08_09-30-15-2.docx");
    EXPECT_TRUE(fs::is_symlink(loop));

    // The documents folder itself a loop: a message, and the program goes on.
    desk.folder = root / "ciclo";
    fs::create_symlink("ciclo", desk.folder);
    commands.AcquisitionTemplate();
    EXPECT_EQ(dialogs.shown.back().icon, MessageIcon::Stop);
    EXPECT_NE(dialogs.LastText().find("collegamento circolare"), std::string::npos)
        << dialogs.LastText();
}

TEST_F(Documents, ADocumentNeverTakesTheNameOfWhatIsAlreadyThere) {
    Sections(1);
    const fs::path folder = root / "Acquenza";
    fs::create_directories(folder);
    const std::string name = "dati-Rete_di_Colle_Alto-2026-12-08_09-30-15";
    // Another program's link, pointing at a file not written yet, and a
    // document another instance has just made.
    fs::create_symlink("altrove.docx", folder / (name + ".docx"));
    std::ofstream(folder / (name + "-2.docx")) << "dell'altra istanza";
    auto commands = Commands();
    commands.DataWindowDocument();
    EXPECT_EQ(commands.LastDocument()->filename(), name + "-3.docx");
    EXPECT_TRUE(fs::is_symlink(folder / (name + ".docx")));
    EXPECT_FALSE(fs::exists(folder / "altrove.docx"));
    std::ifstream other(folder / (name + "-2.docx"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(other), {}), "dell'altra istanza");
    EXPECT_EQ(reports_test::ReadDocx(*commands.LastDocument())["body"].toArray().isEmpty(), false);
}

TEST(DocumentFileNames, KeepLettersAndDigitsOnly) {
    EXPECT_EQ(DocumentFileName("dati", "Rete: via Roma/2", "t"), "dati-Rete__via_Roma_2-t.docx");
    EXPECT_EQ(DocumentFileName("dati", "", "t"), "dati-t.docx");
    EXPECT_EQ(DocumentFileName("dati", "../../etc", "t"), "dati-etc-t.docx");
    EXPECT_EQ(DocumentFileName("dati", "Città", "t"), "dati-Città-t.docx");
}

// The complete guide as python-docx reads it back: the seven pages in the
// guide's order, each from a new sheet, with only the first heading large.
TEST_F(Documents, CompleteGuideIsWrittenBesideTheProgramAndReadsBackInOrder) {
    const fs::path programFolder = root / "programma";
    fs::create_directories(programFolder);
    const fs::path guide = programFolder / "Acquenza-guida.docx";
    { std::ofstream(guide) << "una guida di una versione precedente"; }
    Commands().CompleteGuide(programFolder);
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_EQ(desk.opened, std::vector<fs::path>{guide});

    const QJsonObject read = reports_test::ReadDocx(guide);
    const QJsonArray body = read["body"].toArray();
    std::vector<std::string> headings;
    std::vector<double> headingSizes;
    int pageBreaksBeforeHeading = 0;
    int pageBreaks = 0;
    for (const QJsonValue& v : body) {
        const QJsonObject p = v.toObject();
        pageBreaks += p["pageBreaks"].toInt();
        const std::string text = p["text"].toString().toStdString();
        if (text.rfind("Guida: ", 0) == 0) {
            headings.push_back(text.substr(7));
            headingSizes.push_back(p["runs"].toArray()[0].toObject()["size"].toDouble());
            pageBreaksBeforeHeading = pageBreaks;
            EXPECT_EQ(pageBreaksBeforeHeading, static_cast<int>(headings.size()) - 1) << text;
        }
    }
    std::vector<std::string> titles;
    for (const GuidePage& page : GuidePages()) {
        titles.emplace_back(page.title);
    }
    EXPECT_EQ(headings, titles);
    EXPECT_EQ(pageBreaks, 6);
    ASSERT_EQ(headingSizes.size(), 7u);
    EXPECT_GT(headingSizes[0], 12);
    for (std::size_t i = 1; i < headingSizes.size(); ++i) {
        EXPECT_EQ(headingSizes[i], 12) << titles[i];
    }
    // Every page's text is there whole.
    const std::string all = QJsonDocument(body).toJson().toStdString();
    for (const GuidePage& page : GuidePages()) {
        EXPECT_NE(all.find(QString::fromUtf8(page.text).left(60).toStdString()), std::string::npos)
            << page.title;
    }
}

TEST_F(Documents, CompleteGuideGoesToTheDocumentsFolderWhenTheProgramFolderIsReadOnly) {
    Commands().CompleteGuide("/proc/self");  // no file can be written there, even by root
    const fs::path saved = root / "Acquenza" / "Acquenza-guida.docx";
    ASSERT_TRUE(fs::exists(saved));
    EXPECT_EQ(desk.opened, std::vector<fs::path>{saved});
    EXPECT_EQ(dialogs.LastText(),
              "La cartella del programma non è scrivibile: la guida è stata salvata in \"" +
                  saved.string() + "\".");
}

}  // namespace
}  // namespace acquenza
