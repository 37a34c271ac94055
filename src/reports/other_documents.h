#pragma once
// The shorter documents: the title page alone, the data window's table and
// the blank form for collecting section data on site.

#include <string>

#include "core/project.h"
#include "reports/document_model.h"
#include "reports/word_report.h"

namespace acquenza {

// The project's title texts and the office.
Document BuildTitlePageDocument(const Project& project, const Office& office);

// Under the project's name, the table of every section up to the last one
// typed, with its results,
// its heading rows repeated on every page, and "pagina X di Y" at the foot
// of each page. An empty residents field shows as "0" in its cell; the
// project is only read. Needs a QGuiApplication (the pages are counted).
Document BuildDataWindowDocument(const Project& project);

// The same whatever project is loaded: it reads nothing from it.
Document BuildAcquisitionTemplate();

}  // namespace acquenza
