#pragma once
// Reading numbers out of what the user typed, and writing numbers back as text.
//
// Typed values use the point as decimal separator and a comma ends the number;
// stored flows use the comma instead. Every place in the program that turns text
// into a number, or a number into text, goes through these routines so the grid,
// the data file and the reports agree to the last digit.

#include <cstddef>
#include <string>
#include <string_view>

namespace acquenza {

// Half-up rounding: floor(x * factor + 0.5) / factor, never to the even neighbour.
double RoundHalfUp(double x, double factor);

// Leading number of a typed text, "." as decimal separator. Blanks, tabs and line
// feeds are skipped wherever they occur; reading stops at the first character
// that cannot continue the number. No number at the start gives 0.
// A magnitude beyond the double range reads as +/- infinity; callers that
// calculate check for finite values.
double PointValue(std::string_view text);

// As PointValue, with "," as the decimal separator (stored flow texts).
double FlowValue(std::string_view text);

// Every "." replaced by ",".
std::string DotToComma(std::string_view text);

// Count of characters before the first "," or "." (the whole length when there
// is none). A negative value is counted on the text of its absolute value.
int IntegerDigits(std::string_view text);

// x in hundredths, rounded half up, with "." and exactly two decimals, padded
// on the left with blanks to at least `width` characters.
std::string FormatFixed2(double x, int width);

// Shortest decimal text that reads back as x, with at most 15 significant
// digits, "," as decimal separator, "-" for negatives, no grouping.
//
// Magnitudes from 1e-4 up to (not including) 1e15 are written positionally
// ("0,0025", "123456789012345"). Outside that range the text is an integer
// mantissa with a decimal exponent ("1E+20", "25E-7"): a mantissa without a
// separator reads back whole through both PointValue and FlowValue, which a
// "2,5E-06" would not. Non-finite values give the empty text.
std::string NumberText(double x);

// As NumberText, with "." as decimal separator and a leading blank for a value
// that is not negative: 12 -> " 12", -3 -> "-3".
std::string SignedText(double x);

// Number of characters (UTF-8 code points) in text.
std::size_t CharLength(std::string_view text);

// Whether the text, blanks skipped, is the start of a number as the boxes
// read it (sign, digits, one decimal separator, exponent), so that typing
// can go on to a number: "", "-", "12.", "1e" are; "4x", "1.2.3" are not.
// A flow takes "." or "," as its separator; any other value only ".".
bool IsNumberPrefix(std::string_view text, bool flow);

// Whether the text, blanks skipped, is a number the boxes read whole, with
// nothing left unfinished: a digit before or after the separator, and an
// exponent with its digits. "12", "-1.", ".5", "1e3", " 1 500" are; "", "-",
// ".", "1e", "1e+" are not. Says nothing about the size of the value.
bool IsWholeNumber(std::string_view text, bool flow);

}  // namespace acquenza
