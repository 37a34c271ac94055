// Numbers and identifiers as .inp files need them.

#include <gtest/gtest.h>

#include <bit>
#include <clocale>
#include <cstdint>
#include <locale>
#include <random>
#include <regex>

#include "interchange/branched_export.h"
#include "interchange/inp_numbers.h"
#include "interchange/inp_reader.h"
#include "interchange/inp_text.h"
#include "interchange/sample_networks.h"

namespace acquenza::interchange {
namespace {

TEST(InpNumbers, EveryDoubleComesBackExactly) {
    std::mt19937_64 rng(24);
    for (int i = 0; i < 20000; ++i) {
        // Any finite bit pattern: tiny, huge and subnormal values included.
        const double v = std::bit_cast<double>(rng());
        if (!std::isfinite(v)) {
            continue;
        }
        const std::string text = FormatNumber(v);
        const auto back = ParseNumber(text);
        ASSERT_TRUE(back.has_value()) << text;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(*back),
                  std::bit_cast<std::uint64_t>(v == 0 ? 0.0 : v))
            << text;
    }
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(163.6), "163.6");
    EXPECT_EQ(FormatNumber(2.4 / 14), "0.17142857142857143");
    EXPECT_EQ(FormatNumber(1e300), "1e+300");
}

TEST(InpNumbers, OnlyWholeFiniteNumbersAreRead) {
    for (const auto& [text, value] : std::vector<std::pair<std::string, double>>{
             {".97", 0.97}, {"+2", 2}, {"-3.5", -3.5}, {"1e-6", 1e-6}, {"56.7", 56.7}}) {
        EXPECT_EQ(ParseNumber(text), value) << text;
    }
    for (const char* bad : {"", "+", "-", ".", "1,5", "nan", "inf", "-inf", "1e", "0x10", "1.5abc",
                            "--1", "+-1", "1e999", "1 2"}) {
        EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
    }
}

// A decimal comma in the process's locale must not reach the file.
TEST(InpNumbers, ItalianLocaleWritesNoComma) {
    struct ItalianPunctuation : std::numpunct<char> {
        char do_decimal_point() const override { return ','; }
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\3"; }
    };
    const std::locale before =
        std::locale::global(std::locale(std::locale::classic(), new ItalianPunctuation));
    // The C library's too, where the machine has the Italian locale.
    const bool cItalian = std::setlocale(LC_NUMERIC, "it_IT.UTF-8") != nullptr;
    const InpExportResult exported = ExportToInp(samples::Chain());
    const InpReadResult read = ReadInp(exported.text);
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(before);
    ASSERT_TRUE(exported.ok) << exported.error;
    EXPECT_FALSE(std::regex_search(exported.text, std::regex("[0-9],[0-9]")));
    EXPECT_NE(exported.text.find(" 145.5"), std::string::npos);
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.network.reservoirs.at(0).head, 145.5);
    RecordProperty("c_library_italian", cItalian ? "yes" : "not installed");
}

TEST(InpText, IdentifierRules) {
    const std::string thirtyOne(31, 'a');
    for (const char* good : {"N12_01", "T1", "Via_Roma", "città"}) {
        EXPECT_FALSE(IdentifierProblem(good).has_value()) << good;
    }
    EXPECT_FALSE(IdentifierProblem(thirtyOne).has_value());
    const std::vector<std::pair<std::string, std::string>> bad = {
        {"", "vuoto"},
        {thirtyOne + "b", "31 caratteri"},
        {std::string(28, 'a') + "èè", "31 caratteri"},  // 30 letters, 32 bytes
        {"Via Roma", "spazi"},
        {"a\tb", "spazi"},
        {"a\x01", "controllo"},
        {"a;b", "«;»"},
        {"a\"b", "«\"»"},
        {"[END", "«[»"},
        {"\xC3(", "UTF-8"},
    };
    for (const auto& [id, why] : bad) {
        const auto problem = IdentifierProblem(id);
        ASSERT_TRUE(problem.has_value()) << id;
        EXPECT_NE(problem->find(why), std::string::npos) << id << ": " << *problem;
    }
}

TEST(InpText, FreeTextStaysOnOneLine) {
    EXPECT_EQ(OneLineText("  Rete;\tnord\r\n "), "Rete, nord");
    EXPECT_EQ(OneLineText("[TITLE] finto"), "(TITLE] finto");
    EXPECT_EQ(Utf8Prefix("aèb", 2), "a");  // never half a character
    EXPECT_EQ(Windows1252ToUtf8("Localit\xE0 \x80"), "Località €");
}

}  // namespace
}  // namespace acquenza::interchange
