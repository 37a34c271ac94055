#pragma once
// The texts of the report's title page, saved with the project: one line of
// the data file, after the sections.

#include <array>
#include <string>
#include <string_view>

namespace acquenza {

struct TitleTexts {
    std::string progetto;     // the project
    std::string localita;     // "località": where the works are
    std::string tipostudio;   // the kind of study
    std::string committente;  // the client
    std::string luogo;        // where the report is drawn up
    std::string data;         // the date of the report
    std::string allegati;     // what goes with the report
    bool operator==(const TitleTexts&) const = default;
};

enum class TitleField { progetto, localita, tipostudio, committente, luogo, data, allegati };
inline constexpr int TitleTextCount = 7;

// One title text as the program names it.
struct TitleFieldSpec {
    TitleField field;
    std::string TitleTexts::*text;
    std::string_view name;      // its box: "tipostudio"
    std::string_view label;     // in the file's messages: "tipologia di studio"
    std::string_view stepName;  // in the edit history: "tipologia di studio"
};

// The seven texts in the data file's order, which is also the order the
// title page's Tab key visits them in. Every loop over the texts runs here.
inline constexpr std::array<TitleFieldSpec, TitleTextCount> TitleFields = {{
    {TitleField::progetto, &TitleTexts::progetto, "progetto", "progetto", "progetto"},
    {TitleField::localita, &TitleTexts::localita, "località", "località", "località"},
    {TitleField::tipostudio, &TitleTexts::tipostudio, "tipostudio", "tipologia di studio",
     "tipologia di studio"},
    {TitleField::committente, &TitleTexts::committente, "committente", "committente",
     "committente"},
    {TitleField::luogo, &TitleTexts::luogo, "luogo", "luogo elaborazione", "luogo elaborazione"},
    {TitleField::data, &TitleTexts::data, "data", "data elaborazione", "data elaborazione"},
    {TitleField::allegati, &TitleTexts::allegati, "allegati", "allegati alla relazione",
     "allegati"},
}};

inline const TitleFieldSpec& SpecOf(TitleField field) {
    return TitleFields[static_cast<std::size_t>(field)];
}
inline std::string& TitleText(TitleTexts& titles, TitleField field) {
    return titles.*SpecOf(field).text;
}
inline const std::string& TitleText(const TitleTexts& titles, TitleField field) {
    return titles.*SpecOf(field).text;
}

// A project's title texts before the user types any: all empty but the
// date, which starts as the day's.
inline TitleTexts FreshTitles(std::string today) {
    TitleTexts titles;
    titles.data = std::move(today);
    return titles;
}

// A project whose title texts were never set takes the day's date, as the
// title page shows it from the start.
inline void StartTitles(TitleTexts& titles, std::string today) {
    if (titles == TitleTexts{}) {
        titles.data = std::move(today);
    }
}

}  // namespace acquenza
