// Raw images of the upward emission for 3D plotting.
#pragma once

#include <string>

#include "core/run/run.hpp"
#include "writers/report_files.hpp"

namespace vl {

// The model fluxes, the row range and the five image files; only when the run computed
// the plot model (extend.txt 1 and a photometry reaching the zenith).
void writePlotImages(const RunInfo& info, const RunInputs& inputs, const RunResult& result);

// "(" + I3(nC) + "F8.2)".
std::string plotImageFormat(int cCount);

}  // namespace vl
