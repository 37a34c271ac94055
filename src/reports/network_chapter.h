#pragma once
// "Verifica della rete": the chapter the report gets when the project's
// sections form a network fed by a source. Its content is worked out once
// here; the word-processor report and the direct print lay it out each in
// their own way.

#include <span>
#include <string>
#include <vector>

#include "core/network.h"
#include "core/pipe_catalogue.h"
#include "core/project.h"
#include "reports/document_model.h"
#include "reports/path_profile.h"

namespace acquenza {

struct NetworkChapter {
    // "Quota piezometrica alla sorgente (H0): 350,00 m s.l.m.", the limits.
    std::vector<std::string> values;
    std::vector<std::string> method;  // the two sentences
    // The node table: a heading and a unit per column, then one row of
    // texts per linked section.
    std::vector<std::string> headings;
    std::vector<std::string> units;
    std::vector<std::vector<std::string>> rows;
    // The meaning of the marks in the last column.
    std::vector<std::pair<std::string, std::string>> marks;
    // Every check's explanation, in the order of the sections; empty when
    // every node is within the limits.
    std::vector<std::string> checks;
    std::string outcome;  // one sentence: all within limits, or how many not
    PathProfile worst;
    std::string worstText;  // which path is the most unfavourable and why
};

// The method the project's network was last sized by, as the report states
// it: "dimensionamento tronco per tronco" when it was not sized from the
// source's head.
std::string SizingMethodText(const std::string& storedMethod);

// The report's lines on the network's sizing: the method, then for each
// path from the source to an end node its length, available head and
// gradient. Empty for a network not sized from the source's head (the
// report then says nothing of it).
std::vector<std::string> SizingReportLines(const Project& project, const NetworkLimits& office,
                                           std::span<const PipeSeries> catalogues = {});

// With the pipes laid from `catalogues` where the project lays any.
NetworkChapter NetworkChapterOf(const Project& project, const NetworkLimits& office,
                                std::span<const PipeSeries> catalogues = {});

// The chapter typed into the word-processor report, the profile as a
// picture. Needs a QGuiApplication (the picture is drawn with its fonts).
void TypeNetworkChapter(DocumentBuilder& doc, const NetworkChapter& chapter,
                        const std::string& fontName);

}  // namespace acquenza
