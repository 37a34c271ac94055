#pragma once
// The section calculation done the slow, literal way: the diameter grows by
// 0.001 m at a time until the loss is below the drop. The program's own search
// must give bit-identical results and maps.

#include "core/project.h"
#include "core/section_calculation.h"

namespace acquenza::testing {

CalculationOutcome CalculateSectionLiteral(Project& project, int section);

}  // namespace acquenza::testing
