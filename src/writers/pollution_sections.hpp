// The three light pollution sections of the Console and the report.
#pragma once

#include "core/run/run.hpp"

namespace vl {

void writePollutionSections(const RunInputs& inputs, const RunResult& result);

}  // namespace vl
