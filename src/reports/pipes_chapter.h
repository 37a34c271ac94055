#pragma once
// The report's chapter on the pipes laid: the formula their losses are stated
// with, each section's pipe beside its theoretical diameter with its loss and
// velocities, the pressure classes checked against the static pressure, and
// the bill of quantities ("Computo delle tubazioni"). Written only for a
// project that lays pipes: the report of any other stays as it was.

#include <span>

#include "core/pipe_catalogue.h"
#include "core/project.h"
#include "reports/document_model.h"

namespace acquenza {

// Whether the project lays pipes, so the report has this chapter.
bool HasPipesChapter(const Project& project);

// The chapter, typed at the end of `doc`; nothing for a project that lays no
// pipes. (Its figures do not depend on the pressure limits: the losses and
// velocities are the pipes', the static pressures the source's.)
void WritePipesChapter(DocumentBuilder& doc, const Project& project,
                       std::span<const PipeSeries> catalogues);

}  // namespace acquenza
