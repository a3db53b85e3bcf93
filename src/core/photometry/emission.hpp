// How the luminaire divides its light between the lower and the upper half-space.
#pragma once

#include <vector>

#include "core/photometry/photometry_table.hpp"

namespace vl {

// Width in C (deg) of the table cell around plane i (0-based).
double cWidth(const PhotometryTable& table, int i);
// Width in gamma (deg) of the table cell around gamma angle j (0-based).
double gammaWidth(const PhotometryTable& table, int j);
// Solid angle (sr) of the zone between the cones gammaA and gammaB over an azimuth width deltaC.
double bandSolidAngle(double deltaC, double gammaA, double gammaB);
// The same in two steps, for loops over the C planes of one band: bandSolidAngle(dC, a, b)
// is bandSolidAngleOf(dC, bandCosines(a, b)) to the bit.
double bandCosines(double gammaA, double gammaB);  // cosd(gammaA) - cosd(gammaB)
double bandSolidAngleOf(double deltaC, double cosines);

// The five emission figures, in percent.
struct EmissionFigures {
    double downwardFluxFactor = 0;      // DFF
    double upwardFluxFactor = 0;        // UFF
    double lightOutputRatio = 0;        // LORL
    double downwardLightOutputRatio = 0;  // DLOR
    double upwardLightOutputRatio = 0;    // ULOR
};

// The emission data the later phases use: the declared LORL and DFF, replaced by the
// integrated ones when the photometry covers the whole sphere.
struct EmissionData {
    double downwardFluxFactor = 0;      // DFF %
    double upwardFluxFactor = 0;        // UFF %
    double lightOutputRatio = 0;        // LORL %
    double upwardLightOutputRatio = 0;  // ULOR % (a whole-sphere photometry only, else 0)
};

struct EmissionResult {
    EmissionFigures declared;     // from the file; UFF = 100 - DFF
    bool fullSphere = false;      // the last gamma angle is 180
    double downwardLightOutputRatio = 0;  // integrated from the lower half (always)
    EmissionFigures calculated;   // integrated over the whole sphere (fullSphere only)
    EmissionData effective;
};

// Integrates the rotated intensities (cd/klm, laid out like the table) into the emission
// figures; DFF and LORL come from the declared data.
EmissionResult computeEmission(const PhotometryTable& table, const std::vector<double>& rotatedIntensity);

}  // namespace vl
