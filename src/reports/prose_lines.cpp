#include "reports/prose_lines.h"

#include "core/numbers.h"

namespace acquenza {

namespace {

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = text.find_first_not_of(' ', pos);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = text.find(' ', start);
        words.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        pos = end == std::string_view::npos ? text.size() : end;
    }
    return words;
}

std::string Justified(const std::vector<std::string>& words, std::size_t letters,
                      std::size_t width) {
    if (words.size() == 1) {
        return words.front();
    }
    const std::size_t gaps = words.size() - 1;
    const std::size_t blanks = width > letters ? width - letters : gaps;
    std::string line = words.front();
    for (std::size_t g = 0; g < gaps; ++g) {
        line.append(blanks / gaps + (g < blanks % gaps ? 1 : 0), ' ');
        line += words[g + 1];
    }
    return line;
}

}  // namespace

std::vector<std::string> BreakIntoLines(std::string_view paragraph, std::size_t width) {
    std::vector<std::string> lines;
    std::vector<std::string> current;
    std::size_t letters = 0;  // characters of the words in `current`
    for (const std::string& word : Words(paragraph)) {
        const std::size_t length = CharLength(word);
        if (!current.empty() && letters + current.size() + length > width) {
            lines.push_back(Justified(current, letters, width));
            current.clear();
            letters = 0;
        }
        current.push_back(word);
        letters += length;
    }
    if (!current.empty()) {
        std::string last = current.front();
        for (std::size_t i = 1; i < current.size(); ++i) {
            last += " " + current[i];
        }
        lines.push_back(last);
    }
    return lines;
}

}  // namespace acquenza
