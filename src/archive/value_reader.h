#pragma once
// Reads the data file one value at a time. A comma and a line end both end a
// value, so the values of a hand-edited file may be spread over the lines in
// any way as long as their sequence is the same.

#include <optional>
#include <string>
#include <string_view>

namespace acquenza {

struct RawValue {
    enum class Kind { Nothing, Quoted, Bare };
    Kind kind = Kind::Nothing;
    std::string bytes;  // as in the file (Windows-1252), quotes removed
    int line = 1;       // line the value starts on
};

class ValueReader {
  public:
    explicit ValueReader(std::string_view bytes) : data_(bytes) {}

    // The next value, or nullopt when the file has ended (or ends inside an
    // open quote).
    std::optional<RawValue> Next();

    // Line the reader stands on (1-based).
    int Line() const { return line_; }
    // Whether the file ended inside a quoted text that was never closed.
    bool EndedInOpenQuote() const { return openQuote_; }

  private:
    void SkipBlanks();
    // Consumes one delimiter (comma or line end) if one is next.
    void ConsumeDelimiter();
    bool AtLineEnd() const;

    std::string_view data_;
    std::size_t pos_ = 0;
    int line_ = 1;
    bool afterComma_ = false;
    bool openQuote_ = false;
};

// The number a bare value stands for: optional sign, digits with at most one
// ".", optional exponent (E or D). nullopt when the whole value is not such a
// number or its magnitude is out of range.
std::optional<double> ParseBareNumber(std::string_view text);

}  // namespace acquenza
