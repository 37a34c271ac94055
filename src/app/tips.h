#pragma once
// The tips of the day: one line of the tips file per tip, paged forwards
// (round and round) and backwards (down to the first).

#include <filesystem>
#include <string>
#include <vector>

namespace acquenza {

inline constexpr const char* TipsFileName = "SuggerimentiAcquenza.TXT";

class TipsModel {
  public:
    // Reads the tips file (Windows-1252, CR LF or LF line ends); every line is
    // a tip, an empty one too. False when there is no such file. Nothing is on
    // show afterwards until a tip is asked for.
    bool LoadTips(const std::filesystem::path& file);

    // The window's first load from the program's folder: the first tip, or
    // how to make the file when it is missing.
    void Load(const std::filesystem::path& programFolder);

    void ShowNextTip();
    void ShowPreviousTip();

    const std::string& TipText() const { return text_; }
    int TipIndex() const { return index_; }  // 1-based, 0 when none is on show
    int TipCount() const { return static_cast<int>(tips_.size()); }

  private:
    void ShowTip(int index);

    std::vector<std::string> tips_;
    std::string text_;
    int index_ = 0;
};

}  // namespace acquenza
