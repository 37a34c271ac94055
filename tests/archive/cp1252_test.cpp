#include "archive/cp1252.h"

#include <gtest/gtest.h>

namespace acquenza {
namespace {

TEST(Cp1252, ItalianLettersTakeOneByteEach) {
    EXPECT_EQ(Utf8ToCp1252("località àèéìòù"), "localit\xE0 \xE0\xE8\xE9\xEC\xF2\xF9");
    EXPECT_EQ(Utf8ToCp1252("€ “x” – …"), "\x80 \x93x\x94 \x96 \x85");
    EXPECT_EQ(Cp1252ToUtf8("luned\xEC"), "lunedì");
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

TEST(Cp1252, RefusesWhatItCannotHold) {
    EXPECT_FALSE(Utf8ToCp1252("漢字").has_value());
    EXPECT_FALSE(Utf8ToCp1252("\xE0\x80").has_value());      // truncated sequence
    EXPECT_FALSE(Utf8ToCp1252("\xC0\xAF").has_value());      // overlong
    EXPECT_FALSE(Utf8ToCp1252("\xED\xA0\x80").has_value());  // surrogate
    EXPECT_FALSE(IsCp1252Representable("Ω"));
    EXPECT_TRUE(IsCp1252Representable("Œuvre ‰"));
}

TEST(Cp1252, Utf8FilesAreToldFromWindows1252Ones) {
    struct Case {
        std::string bytes, text;
        bool utf8;
    };
    const Case cases[] = {
        {"Citt\xC3\xA0 di Forl\xC3\xAC", "Città di Forlì", true},
        {"\xEF\xBB\xBF"
         "3\r\n\"Forl\xC3\xAC\"",
         "3\r\n\"Forlì\"", true},  // byte-order mark dropped
        {"Citt\xE0 di Forl\xEC", "Città di Forlì", false},
        {"\x93"
         "Forl\xEC\x94 \x80",
         "“Forlì” €", false},
        {"\xC3\xA0\xE0", "Ã\u00A0à", false},  // UTF-8 only in part: all Windows-1252
        {"Colle Alto", "Colle Alto", false},
    };
    for (const Case& c : cases) {
        const DecodedText decoded = DecodeUtf8OrCp1252(c.bytes);
        EXPECT_EQ(decoded.utf8, c.text) << c.bytes;
        EXPECT_EQ(decoded.wasUtf8, c.utf8) << c.bytes;
    }
}

TEST(Cp1252, Utf16FilesAreReadAsWindowsEditorsSaveThem) {
    const auto le = [](std::u16string_view text, bool mark) {
        std::string bytes = mark ? "\xFF\xFE" : "";
        for (const char16_t c : text) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
        return bytes;
    };
    const auto be = [](std::u16string_view text) {
        std::string bytes = "\xFE\xFF";
        for (const char16_t c : text) {
            bytes += static_cast<char>(c >> 8);
            bytes += static_cast<char>(c & 0xFF);
        }
        return bytes;
    };
    struct Case {
        std::string bytes, text;
        bool utf16;
    };
    const Case cases[] = {
        {le(u"1\r\n\"Forlì\"", true), "1\r\n\"Forlì\"", true},
        {le(u"1\r\n\"Forlì\"", false), "1\r\n\"Forlì\"", true},  // no mark: the zero bytes tell
        {be(u"2\r\n\"€ 𝄞\""), "2\r\n\"€ 𝄞\"", true},             // a surrogate pair
        {le(u"1\xD800x", true), "1\uFFFDx", true},               // a lone surrogate
        {le(u"12", true) + "3", "12\uFFFD", true},               // half a character
        {std::string("2\r\n", 3), "2\r\n", false},               // what the program writes
        {std::string("\0\0", 2), std::string("\0\0", 2), false},
    };
    for (const Case& c : cases) {
        const DecodedText decoded = DecodeUtf8OrCp1252(c.bytes);
        EXPECT_EQ(decoded.utf8, c.text) << c.text;
        EXPECT_EQ(decoded.wasUtf16, c.utf16) << c.text;
        EXPECT_FALSE(decoded.wasUtf8) << c.text;
    }
}

TEST(Cp1252, TheFirstCharacterTheFileCannotHoldIsFound) {
    EXPECT_EQ(FirstNonCp1252("Forlì € “x”"), std::nullopt);
    EXPECT_EQ(FirstNonCp1252("Comune di Ωmega ∑"), U'Ω');
    EXPECT_EQ(FirstNonCp1252("a\u200Fb"), U'\u200F');
    EXPECT_EQ(FirstNonCp1252("a\xFF"), U'\uFFFD');  // not UTF-8 at all
}

}  // namespace
}  // namespace acquenza
