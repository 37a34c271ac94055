#include "app/italian_date.h"

#include <array>
#include <chrono>
#include <ctime>

namespace acquenza {

std::string ItalianLongDate(int year, int month, int day) {
    static constexpr std::array<const char*, 7> weekdays = {
        "domenica", "lunedì", "martedì", "mercoledì", "giovedì", "venerdì", "sabato"};
    static constexpr std::array<const char*, 12> months = {
        "gen", "feb", "mar", "apr", "mag", "giu", "lug", "ago", "set", "ott", "nov", "dic"};
    using namespace std::chrono;
    const year_month_day date{std::chrono::year(year),
                              std::chrono::month(static_cast<unsigned>(month)),
                              std::chrono::day(static_cast<unsigned>(day))};
    if (!date.ok()) {
        return {};
    }
    const weekday wd{sys_days(date)};
    return std::string(weekdays[wd.c_encoding()]) + ", " + std::to_string(day) + " " +
           months[static_cast<std::size_t>(month - 1)] + " " + std::to_string(year);
}

std::string TodayItalianLongDate() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return ItalianLongDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

}  // namespace acquenza
