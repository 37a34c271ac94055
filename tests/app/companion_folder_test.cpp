#include "app/companion_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

namespace acquenza {
namespace {

namespace fs = std::filesystem;

class Companion : public ::testing::Test {
  protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("acquenza-companion-" + std::to_string(::getpid()));
        fs::create_directories(root / "bin");
        fs::create_directories(root / "share" / "acquenza");
    }
    void TearDown() override { fs::remove_all(root); }
    static void Touch(const fs::path& file) { std::ofstream(file) << "x"; }
    fs::path root;
};

TEST_F(Companion, FilesBesideTheProgramWinOverTheInstalledOnes) {
    Touch(root / "share" / "acquenza" / TipsFileName);
    EXPECT_EQ(CompanionFolder(root / "bin"), root / "share" / "acquenza");
    Touch(root / "bin" / TipsFileName);
    EXPECT_EQ(CompanionFolder(root / "bin"), root / "bin");
}

TEST_F(Companion, WithNoFilesAnywhereTheProgramFolderStandsAndListsWhatIsMissing) {
    EXPECT_EQ(CompanionFolder(root / "bin"), root / "bin");
    Touch(root / "bin" / ProgramShell::TuneFile);
    EXPECT_EQ(MissingCompanionFiles(root / "bin"),
              (std::vector<std::string>{TipsFileName, ExampleProjectName, IconFileName}));
}

}  // namespace
}  // namespace acquenza
