#pragma once
// How many pages a document fills when printed, worked out with Qt's text
// layout on A4 with the document margins. The word processor recounts when it
// refreshes fields; this is the number stored until then, so a reader that
// never refreshes still shows a sensible total.

#include "reports/document_model.h"

namespace acquenza {

// Needs a QGuiApplication (the layout uses the font database). A font that is
// not installed is replaced the way Qt chooses, so the count may differ by a
// page or so from the one the word processor makes with the real fonts.
int CountPages(const Document& document);

}  // namespace acquenza
