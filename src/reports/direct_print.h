#pragma once
// The calculation report printed straight on a printer, as fixed lines of a
// fixed-pitch font with a footer on every page but the title page.

#include <span>

#include "core/pipe_catalogue.h"
#include "core/project.h"
#include "reports/printer_device.h"
#include "reports/word_report.h"

namespace acquenza {

// Prints the project's report: its title texts and sections
// 1..enteredSectionCount, whose results and
// maps must be current. An empty residents field is printed as "0"; the
// project is only read. Stops as soon as the printer fails. A project whose
// sections form a network gets the chapter that checks it, against
// `officeLimits` where the project has no limits of its own; one that lays
// pipes from `catalogues` gets their chapter and their bill after the map.
void PrintReport(PrinterDevice& printer, const Project& project, const Office& office,
                 int bodyFontSize, const NetworkLimits& officeLimits = {},
                 std::span<const PipeSeries> catalogues = {});

}  // namespace acquenza
