// The "Input luminaire:" section (Console and report) and the "Original photometry"
// listing (Console and data file).
#pragma once

#include <string>

#include "core/photometry/photometry_table.hpp"
#include "readers/eulumdat.hpp"

namespace vl {

// The section as far as the file was read (file.progress).
void writeEulumdatEcho(const std::string& photometryFile, const EulumdatFile& file);

// The C planes with their intensities at the two listing gamma angles.
void writeOriginalPhotometry(const PhotometryTable& table, ListingIndices indices);

}  // namespace vl
