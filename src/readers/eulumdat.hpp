// The luminaire photometry from an Eulumdat file.
#pragma once

#include <string>

namespace vl {

struct PhotometryDimensions {
    int cPlanes = 0;      // Mc (line 4)
    int gammaAngles = 0;  // Ng (line 6)
};

// The driver's pre-read of Mc and Ng; refuses counts outside the table bounds.
PhotometryDimensions readPhotometryDimensions(const std::string& fileName);

// Reads state().installation.photometryFile into state().photometry, echoes it, lists
// the "Original photometry" and prepares the table's spline.
void readPhotometry();

}  // namespace vl
