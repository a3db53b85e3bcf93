// What a run writes once its inputs are read and echoed, in the order of the report.
#pragma once

#include "core/run/run.hpp"
#include "writers/report_files.hpp"

namespace vl {

// The luminaire stage (rotated photometry, emission data, the end of a rotation-only
// run), as far as the run got.
void writeLuminaireStage(const RunInfo& info, const RunInputs& inputs, const RunResult& result);

// What a run stopped by a rotation error in its road lighting had written: the grid data.
void writeRoadLightingStart(const RunInputs& inputs, const RunResult& result);

// Road lighting, light pollution, data tables, plot images and the closing line.
void writeRoadAndPollutionStages(const RunInfo& info, const RunInputs& inputs, const RunResult& result);

}  // namespace vl
