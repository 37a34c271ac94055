#pragma once
// A test's project with the title texts its documents should show.

#include <string>

#include "core/project.h"

namespace acquenza::reports_test {

inline Project Titled(Project project, const TitleTexts& titles) {
    project.titles = titles;
    return project;
}

// Only the project's name set, as the data window's document prints it.
inline Project Named(Project project, const std::string& name) {
    project.titles.progetto = name;
    return project;
}

}  // namespace acquenza::reports_test
