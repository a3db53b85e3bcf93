// How the luminaire divides its light between the lower and the upper half-space.
#pragma once

namespace vl {

// Width in C (deg) of the table cell around plane i (0-based).
double cWidth(int i);
// Width in gamma (deg) of the table cell around gamma angle j (0-based).
double gammaWidth(int j);
// Solid angle (sr) of the zone between the cones gammaA and gammaB over an azimuth width deltaC.
double bandSolidAngle(double deltaC, double gammaA, double gammaB);

// Declared and calculated emission data; updates state().emission.
void computeEmissionData();

}  // namespace vl
