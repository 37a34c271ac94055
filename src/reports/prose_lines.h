#pragma once
// Paragraphs broken into the fixed lines of the direct print.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace acquenza {

// Lines of at most `width` characters. Words are never split; every line but
// the last is made exactly `width` long by widening the blanks between its
// words, spreading the extra blanks from the left; the last line stays short.
std::vector<std::string> BreakIntoLines(std::string_view paragraph, std::size_t width = 66);

}  // namespace acquenza
