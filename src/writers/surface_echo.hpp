// The "Input surface:" section on the Console and in the report.
#pragma once

#include "readers/surface_files.hpp"

namespace vl {

// The section as far as the file's description was read.
void writeSurfaceEcho(const SurfaceTableFile& file);

}  // namespace vl
