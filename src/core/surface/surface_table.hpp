// Road surface reflection: the reduced luminance coefficient table of the surface class
// and the aged asphalt reference curve.
#pragma once

#include <string>

namespace vl {

// Reads "SRT_" + class, echoes its description, prepares it (state().surface).
void readSurfaceTable(const std::string& surfaceClass);
// Reads "asphalt1_reflectance.dat" and prepares its natural spline (state().agedAsphalt).
void readAgedAsphaltTable();

// r x 10000 at (beta deg, tan gamma), as stored in the table (bicubic lookup).
double reducedLuminanceCoefficient(double beta, double tanGamma);
// Aged asphalt reflectance at the angle of incidence gamma (deg).
double agedAsphaltReflectance(double gamma);

}  // namespace vl
