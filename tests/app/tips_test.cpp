#include "app/tips.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace acquenza {
namespace {

const std::string MissingFileText =
    "Impossibile trovare il file SuggerimentiAcquenza.TXT\r\n\r\nCreare un file di testo "
    "denominato SuggerimentiAcquenza.TXT utilizzando il Blocco note e inserendo un suggerimento "
    "per ogni riga. Inserire il file nella stessa directory dell'applicazione. ";

// A program folder of its own for each test, removed afterwards.
class Tips : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 ("acquenza-tips-" + std::to_string(::getpid()) + "-" + test->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void WriteTips(const std::string& bytes) {
        std::ofstream(folder / TipsFileName, std::ios::binary) << bytes;
    }
    TipsModel Loaded(const std::string& bytes) {
        WriteTips(bytes);
        TipsModel model;
        model.Load(folder);
        return model;
    }

    std::filesystem::path folder;
};

TEST_F(Tips, NextGoesRoundAndPreviousStopsAtTheFirst) {
    TipsModel tips = Loaded("uno\r\ndue\r\ntre\r\n");
    EXPECT_EQ(tips.TipIndex(), 1);
    EXPECT_EQ(tips.TipText(), "uno");
    tips.ShowPreviousTip();
    EXPECT_EQ(tips.TipIndex(), 1);
    EXPECT_EQ(tips.TipText(), "uno");
    tips.ShowNextTip();
    EXPECT_EQ(tips.TipText(), "due");
    tips.ShowNextTip();
    EXPECT_EQ(tips.TipIndex(), 3);
    EXPECT_EQ(tips.TipText(), "tre");
    tips.ShowPreviousTip();
    EXPECT_EQ(tips.TipIndex(), 2);
    EXPECT_EQ(tips.TipText(), "due");
    tips.ShowNextTip();
    tips.ShowNextTip();
    EXPECT_EQ(tips.TipIndex(), 1);
    EXPECT_EQ(tips.TipText(), "uno");
}

TEST_F(Tips, EveryLineIsATipTheLastLineEndAddsNone) {
    TipsModel tips = Loaded("primo\r\n\r\nterzo\r\n");
    EXPECT_EQ(tips.TipCount(), 3);
    tips.ShowNextTip();
    EXPECT_EQ(tips.TipIndex(), 2);
    EXPECT_EQ(tips.TipText(), "");
    tips.ShowNextTip();
    EXPECT_EQ(tips.TipText(), "terzo");

    // Without a final line end the last line still counts.
    EXPECT_EQ(Loaded("a\r\nb").TipCount(), 2);
    // A trailing empty line is a tip of its own.
    EXPECT_EQ(Loaded("a\r\n\r\n").TipCount(), 2);
}

TEST_F(Tips, LinesEndingWithLfAlone) {
    TipsModel tips = Loaded("uno\ndue\n");
    EXPECT_EQ(tips.TipCount(), 2);
    EXPECT_EQ(tips.TipText(), "uno");
    tips.ShowNextTip();
    EXPECT_EQ(tips.TipText(), "due");
}

TEST_F(Tips, WindowsAndUtf8FilesReadAlike) {
    EXPECT_EQ(Loaded("perch\xE8 l'unit\xE0 \x80\r\n").TipText(), "perchè l'unità €");
    EXPECT_EQ(Loaded("Perché l'unità €\n").TipText(), "Perché l'unità €");
}

TEST_F(Tips, MissingFileExplainsHowToMakeIt) {
    TipsModel tips;
    tips.Load(folder);
    EXPECT_EQ(tips.TipText(), MissingFileText);
    EXPECT_EQ(tips.TipIndex(), 0);
    // Paging has nothing to page: the message stays and the index never drops.
    tips.ShowPreviousTip();
    tips.ShowNextTip();
    EXPECT_EQ(tips.TipIndex(), 0);
    EXPECT_EQ(tips.TipText(), MissingFileText);
}

TEST_F(Tips, OnlyARegularFileLoads) {
    TipsModel tips;
    EXPECT_FALSE(tips.LoadTips(""));
    EXPECT_FALSE(tips.LoadTips(folder / "altro.TXT"));
    EXPECT_FALSE(tips.LoadTips(folder));
    WriteTips("x\r\n");
    EXPECT_TRUE(tips.LoadTips(folder / TipsFileName));
    // Loading alone shows nothing until a tip is asked for.
    EXPECT_EQ(tips.TipIndex(), 0);
    tips.ShowNextTip();
    EXPECT_EQ(tips.TipText(), "x");
}

TEST_F(Tips, EmptyFileShowsNothing) {
    TipsModel tips = Loaded("");
    EXPECT_EQ(tips.TipCount(), 0);
    EXPECT_EQ(tips.TipText(), "");
    tips.ShowPreviousTip();
    tips.ShowNextTip();
    EXPECT_EQ(tips.TipIndex(), 0);
    EXPECT_EQ(tips.TipText(), "");
}

TEST_F(Tips, ReloadingReplacesTheTips) {
    TipsModel tips = Loaded("vecchio 1\r\nvecchio 2\r\nvecchio 3\r\n");
    tips.ShowNextTip();
    tips.ShowNextTip();
    WriteTips("nuovo\r\n");
    tips.Load(folder);
    EXPECT_EQ(tips.TipCount(), 1);
    EXPECT_EQ(tips.TipIndex(), 1);
    EXPECT_EQ(tips.TipText(), "nuovo");
    tips.ShowNextTip();
    EXPECT_EQ(tips.TipText(), "nuovo");
}

}  // namespace
}  // namespace acquenza
