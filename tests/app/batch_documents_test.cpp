#include "app/batch_documents.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/fakes.h"
#include "app/output_file.h"

namespace acquenza {
namespace {

namespace fs = std::filesystem;
using Kind = BatchJob::Kind;

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class Batch : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("acquenza-batch-" + std::to_string(::getpid()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder / "sub");
        project = folder / "Acquenza-dati-villa";
        fs::copy_file(fs::path(ACQUENZA_RESOURCES_DIR) / "Acquenza-dati-esempio", project);
        original = Slurp(project);
        desk.folder = folder / "documenti";
    }
    void TearDown() override { fs::remove_all(folder); }

    int Run(Kind kind, const fs::path& projectFile, std::optional<fs::path> output) {
        messages.str("");
        done.str("");
        ProgramState state;
        return RunBatchJob(
            {kind, projectFile.string(), std::move(output), {}}, state, desk,
            [this](const fs::path& file) {
                printedTo = file;
                return std::unique_ptr<PrinterDevice>();
            },
            "martedì, 8 dic 2026", messages, done);
    }

    fs::path folder;
    fs::path project;
    std::string original;
    testing::FakeDesk desk;
    std::ostringstream messages;
    std::ostringstream done;
    std::optional<fs::path> printedTo;
};

TEST_F(Batch, TheProjectItselfIsNeverTheOutputHoweverItIsNamed) {
    fs::create_hard_link(project, folder / "copia.csv");
    fs::create_symlink(project, folder / "collegamento.pdf");
    fs::create_symlink(folder / "sub", folder / "cartella");
    const struct {
        Kind kind;
        fs::path output;
    } cases[] = {
        {Kind::WordReport, project},
        {Kind::PdfReport, project},
        {Kind::SummaryCsv, project},
        {Kind::SummaryCsv, folder / "copia.csv"},        // a hard link
        {Kind::PdfReport, folder / "collegamento.pdf"},  // a symbolic link
        {Kind::PdfReport, folder / "collegamento"},      // the same once ".pdf" is added
        {Kind::WordReport, folder / "sub/../Acquenza-dati-villa"},
        {Kind::WordReport, folder / "cartella/../Acquenza-dati-villa"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output.string());
        EXPECT_EQ(Run(c.kind, project, c.output), 1);
        EXPECT_NE(messages.str().find("è il file di dati del progetto"), std::string::npos)
            << messages.str();
        EXPECT_NE(messages.str().find("Indicare con -o un altro nome."), std::string::npos);
        EXPECT_EQ(done.str(), "");
        EXPECT_FALSE(printedTo);
        EXPECT_EQ(Slurp(project), original);
    }
    // The project given through a link of its own is the same file too.
    EXPECT_EQ(Run(Kind::SummaryCsv, folder / "collegamento.pdf", project), 1);
    EXPECT_EQ(Slurp(project), original);
}

TEST_F(Batch, TheDocumentsKindGivesItsExtension) {
    const struct {
        Kind kind;
        std::string given;
        std::string written;
    } cases[] = {
        {Kind::SummaryCsv, "riepilogo", "riepilogo.csv"},
        {Kind::SummaryCsv, "riepilogo.txt", "riepilogo.txt.csv"},
        {Kind::SummaryCsv, "RIEPILOGO.CSV", "RIEPILOGO.CSV"},
        {Kind::WordReport, "relazione", "relazione.docx"},
        {Kind::WordReport, "relazione.pdf", "relazione.pdf.docx"},
        {Kind::WordReport, "relazione.Docx", "relazione.Docx"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        const fs::path written = folder / c.written;
        EXPECT_EQ(Run(c.kind, project, folder / c.given), 0) << messages.str();
        EXPECT_TRUE(fs::is_regular_file(written));
        EXPECT_EQ(done.str(), written.string() + "\n");
        if (c.given == c.written) {
            EXPECT_EQ(messages.str(), "");
        } else {
            EXPECT_EQ(messages.str(), "Al nome del file è stata aggiunta l'estensione " +
                                          written.extension().string() +
                                          ": il documento sarà scritto in \"" + written.string() +
                                          "\".\n");
            EXPECT_FALSE(fs::exists(folder / c.given));
        }
    }
    // The PDF printer is handed the name with its extension.
    Run(Kind::PdfReport, project, folder / "stampa");
    EXPECT_EQ(printedTo, folder / "stampa.pdf");
}

TEST_F(Batch, AFolderIsNoFileName) {
    for (const fs::path& output : {folder / "sub", fs::path(folder.string() + "/"), fs::path()}) {
        SCOPED_TRACE(output.string());
        EXPECT_EQ(Run(Kind::SummaryCsv, project, output), 1);
        EXPECT_NE(messages.str().find("è una cartella"), std::string::npos) << messages.str();
    }
    EXPECT_TRUE(fs::is_empty(folder / "sub"));
}

// The network's commands: a project without a network is refused and left
// as it was; a branched EPANET network becomes a project, which is sized
// into a new data file and exported again.
TEST_F(Batch, NetworkCommandsFromEpanetToSizedProjectAndBack) {
    // The example's sections without its network block.
    const fs::path plain = folder / "Acquenza-dati-senza-rete";
    {
        const std::size_t block = original.find("\"Acquenza: dati della rete\"");
        ASSERT_NE(block, std::string::npos);
        std::ofstream(plain, std::ios::binary) << original.substr(0, block);
    }
    EXPECT_EQ(Run(Kind::EpanetExport, plain, folder / "rete.inp"), 1);
    EXPECT_NE(messages.str().find("non ha una rete"), std::string::npos) << messages.str();
    EXPECT_EQ(Run(Kind::SizeNetwork, plain, folder / "Acquenza-dati-dimensionato"), 1);
    EXPECT_NE(messages.str().find("non ha una rete"), std::string::npos) << messages.str();
    EXPECT_FALSE(fs::exists(folder / "rete.inp"));
    EXPECT_FALSE(fs::exists(folder / "Acquenza-dati-dimensionato"));
    EXPECT_EQ(Slurp(plain), original.substr(0, original.find("\"Acquenza: dati della rete\"")));
    EXPECT_EQ(Run(Kind::SizeNetwork, project, std::nullopt), 2);

    const fs::path inp = fs::path(ACQUENZA_RESOURCES_DIR) / ".." / "tests" / "interchange" /
                         "data" / "net2-branched.inp";
    const fs::path imported = folder / "Acquenza-dati-net2";
    ASSERT_EQ(Run(Kind::EpanetImport, inp, imported), 0) << messages.str();
    EXPECT_NE(messages.str().find("GPM"), std::string::npos) << messages.str();
    EXPECT_EQ(done.str(), imported.string() + "\n");

    const fs::path sized = folder / "Acquenza-dati-net2-dimensionato";
    ASSERT_EQ(Run(Kind::SizeNetworkLeastCost, imported, sized), 0) << messages.str();
    EXPECT_NE(messages.str().find("Rete dimensionata"), std::string::npos) << messages.str();
    EXPECT_NE(messages.str().find("Nodo 25"), std::string::npos) << messages.str();
    EXPECT_NE(Slurp(sized).find("\"metodo di dimensionamento\",\"percorso\""), std::string::npos);
    EXPECT_EQ(Run(Kind::SizeNetwork, sized, sized), 1);

    ASSERT_EQ(Run(Kind::EpanetExport, sized, folder / "net2"), 0) << messages.str();
    EXPECT_NE(messages.str().find("estensione .inp"), std::string::npos) << messages.str();
    const std::string file = Slurp(folder / "net2.inp");
    EXPECT_NE(file.find("[RESERVOIRS]"), std::string::npos);
    EXPECT_NE(file.find("T35_14"), std::string::npos);
}

TEST(OutputFile, SameFileFollowsLinksAndSpellings) {
    const fs::path folder =
        fs::temp_directory_path() / ("acquenza-same-" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream(folder / "a") << "a";
    std::ofstream(folder / "b") << "a";  // same bytes, another file
    fs::create_hard_link(folder / "a", folder / "a-fisso");
    fs::create_symlink("a", folder / "a-simbolico");
    EXPECT_TRUE(SameFile(folder / "a", folder / "a-fisso"));
    EXPECT_TRUE(SameFile(folder / "a-simbolico", folder / "a"));
    EXPECT_TRUE(SameFile(folder / "./x/../a", folder / "a"));
    EXPECT_FALSE(SameFile(folder / "a", folder / "b"));
    EXPECT_FALSE(SameFile(folder / "a", folder / "nuovo"));
    EXPECT_TRUE(SameFile(folder / "nuovo", folder / "." / "nuovo"));
    EXPECT_FALSE(SameFile(fs::path(), folder / "a"));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace acquenza
