// What a run writes of its luminaire: the rotated-photometry files with the inclination
// listing, the emission data sections, and the end of a rotation-only run.
#pragma once

#include "core/run/run.hpp"
#include "writers/report_files.hpp"

namespace vl {

// The luminaire stage in the order of the report, as far as the run got: the rotated
// photometry (files and listing; a rotation error leaves them where it happened), the
// emission data, the rotated files' luminaire-flux sections, and for a rotation-only run
// its notice and the maximum upward luminaire intensity.
void writeLuminaireSections(const RunInfo& info, const RunInputs& inputs, const RunResult& result);

// "Maximum upward luminaire intensity" on the Console and in the report.
void writeMaximumLuminaireIntensity(const RunInputs& inputs, const RunResult& result);

}  // namespace vl
