#pragma once
// The report's chapter on the pipes laid: the formula their losses are stated
// with, each section's pipe beside its theoretical diameter with its loss and
// velocities, the pressure classes checked against the static pressure, and
// the bill of quantities ("Computo delle tubazioni"). Written only for a
// project that lays pipes: the report of any other stays as it was.

#include <span>
#include <string>
#include <vector>

#include "core/pipe_catalogue.h"
#include "core/project.h"
#include "reports/document_model.h"

namespace acquenza {

// Whether the project lays pipes, so the report has this chapter.
bool HasPipesChapter(const Project& project);

// The chapter's content, worked out once: the word-processor report and the
// direct print lay it out each in their own way.
struct PipesChapter {
    std::vector<std::string> introduction;  // the paragraphs under the heading
    std::string pipesCaption;
    // The table of the pipes laid: a heading per column, then one row of
    // texts per section; `leftAligned` marks the columns of words.
    std::vector<std::string> pipeHeadings;
    std::vector<std::vector<std::string>> pipeRows;
    std::vector<bool> pipeLeftAligned;
    std::string pressureCaption;
    std::string pressureOutcome;  // empty when there are checks to list
    std::vector<std::string> pressureChecks;
    // "Computo delle tubazioni": the sentence under its heading, then the
    // bill, its totals closing it; no table when nothing is laid.
    std::string billText;
    std::vector<std::string> billHeadings;
    std::vector<std::vector<std::string>> billRows;
    std::vector<bool> billLeftAligned;
};

// Only for a project that lays pipes (see HasPipesChapter).
PipesChapter PipesChapterOf(const Project& project, std::span<const PipeSeries> catalogues);

// The chapter, typed at the end of `doc`; nothing for a project that lays no
// pipes. (Its figures do not depend on the pressure limits: the losses and
// velocities are the pipes', the static pressures the source's.)
void WritePipesChapter(DocumentBuilder& doc, const Project& project,
                       std::span<const PipeSeries> catalogues);

}  // namespace acquenza
