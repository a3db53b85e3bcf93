// The "Input luminaire:" section (Console and report) and the "Original photometry"
// listing (Console and data file).
#pragma once

#include <string>

#include "core/photometry/photometry_table.hpp"
#include "readers/eulumdat.hpp"
#include "readers/ies.hpp"

namespace vl {

// The section as far as the file was read (file.progress).
void writeEulumdatEcho(const std::string& photometryFile, const EulumdatFile& file);

// The same section for an IES file, with the Eulumdat labels where the field exists in
// both formats, the label and "not in an IES file" where it does not, and the IES
// fields (label, tilt data, angle sets, rotation, factors) in lines of their own.
void writeIesEcho(const std::string& photometryFile, const IesFile& file);

// The C planes with their intensities at the two listing gamma angles.
void writeOriginalPhotometry(const PhotometryTable& table, ListingIndices indices);

}  // namespace vl
