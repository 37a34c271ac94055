#pragma once
// The on-line guide: the quick manual and the six topic pages, each a title
// and one paragraph, in the order the complete guide prints them.

#include <array>
#include <string>

#include "app/windows.h"

namespace acquenza {

struct GuidePage {
    WindowId window;
    const char* name;  // the window's name
    const char* title;
    const char* text;
};

const std::array<GuidePage, 7>& GuidePages();
const GuidePage& GuidePageOf(WindowId window);
bool IsGuidePage(WindowId window);

}  // namespace acquenza
