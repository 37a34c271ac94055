#include "app/tips.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "archive/cp1252.h"

namespace acquenza {

namespace {

// Lines end with LF, CR LF or a lone CR (as old Notepad files may have); a
// line end at the very end of the file closes the last line without opening
// another.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            lines.push_back(std::move(line));
            line.clear();
            open = false;
        } else {
            line.push_back(c);
            open = true;
        }
    }
    if (open) {
        lines.push_back(std::move(line));
    }
    return lines;
}

}  // namespace

bool TipsModel::LoadTips(const std::filesystem::path& file) {
    tips_.clear();
    text_.clear();
    index_ = 0;
    std::error_code error;
    if (file.empty() || !std::filesystem::is_regular_file(file, error)) {
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return false;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    // A tips file saved by a Linux editor is UTF-8; one from Notepad of old
    // is Windows-1252. The data file reader tells them apart the same way.
    for (std::string& line : SplitLines(DecodeUtf8OrCp1252(bytes).utf8)) {
        tips_.push_back(std::move(line));
    }
    return true;
}

void TipsModel::Load(const std::filesystem::path& programFolder) {
    if (LoadTips(programFolder / TipsFileName)) {
        if (!tips_.empty()) {
            ShowTip(1);
        }
        return;
    }
    text_ = std::string("Impossibile trovare il file ") + TipsFileName + "\r\n\r\n" +
            "Creare un file di testo denominato " + TipsFileName +
            " utilizzando il Blocco note e inserendo un suggerimento per ogni riga. Inserire il "
            "file nella stessa directory dell'applicazione. ";
}

void TipsModel::ShowNextTip() {
    if (tips_.empty()) {
        return;
    }
    ShowTip(index_ >= TipCount() ? 1 : index_ + 1);
}

void TipsModel::ShowPreviousTip() {
    if (index_ <= 1) {
        return;
    }
    ShowTip(index_ - 1);
}

void TipsModel::ShowTip(int index) {
    index_ = index;
    text_ = tips_[static_cast<std::size_t>(index - 1)];
}

}  // namespace acquenza
