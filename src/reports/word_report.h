#pragma once
// The calculation report as an editable word-processor document.

#include <span>
#include <string>

#include "core/network.h"
#include "core/pipe_catalogue.h"
#include "core/project.h"
#include "reports/document_model.h"

namespace acquenza {

struct Office {
    std::string name;
    std::string address;
};

// The whole report of the project: its title texts and sections
// 1..enteredSectionCount, whose results and maps must be current. The closing states the page count
// of the finished document, as a page-count field the word processor keeps up to date.
// A project whose sections form a network gets the chapter that checks it
// against its own limits, `officeLimits` where it has none; one that lays
// pipes from `catalogues` has their chapter too.
Document BuildWordReport(const Project& project, const Office& office,
                         const NetworkLimits& officeLimits = {},
                         std::span<const PipeSeries> catalogues = {});

// "pagina X di Y" at the right of a page's foot, in the given font: the page
// number and the page count are fields the word processor keeps up to date;
// until it does, they show `firstPage` (the first page the footer is on) and
// the count stored by SettlePageCount.
Paragraph PageOfPagesFooter(const std::string& fontName, double points, int firstPage);

// Paginates the document and stores the count in its page-count fields,
// again until the number no longer changes the layout. Returns the count.
int SettlePageCount(Document& document);

}  // namespace acquenza
