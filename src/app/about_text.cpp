#include "app/about_text.h"

namespace acquenza {

std::string VersionLine(const ProgramValues& values) {
    // The year is whatever follows the date's last slash (the whole text when
    // there is none).
    const std::string& date = values.VersionDate;
    const std::size_t slash = date.rfind('/');
    const std::string year = slash == std::string::npos ? date : date.substr(slash + 1);
    return "edizione professionale - versione " + values.ProgramVersion + "  " + " " + year +
           "- 20" + values.BuildYear;
}

}  // namespace acquenza
