#pragma once
// Dates as the title page writes them: "lunedì, 5 dic 2011".

#include <string>

namespace acquenza {

// Full weekday, comma, day without leading zero, abbreviated month, year.
std::string ItalianLongDate(int year, int month, int day);

// Today's date (local time) in that form.
std::string TodayItalianLongDate();

}  // namespace acquenza
