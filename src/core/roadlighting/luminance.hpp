// The main pass: road luminance in 36 viewing directions and for the two observers,
// horizontal and hemispherical illuminance, and the flux an aged asphalt surface would
// reflect, summed over the main row of 29 luminaires.
#pragma once

#include "core/roadlighting/road_geometry.hpp"
#include "app/computation_state.hpp"

namespace vl {

inline constexpr double kReflectionCutoff = 12.0;  // tan gamma beyond which r is 0

// Reduced luminance coefficient (x 10000, as tabulated) with its two clamps:
// negative values become 0, and beyond tan gamma 12 the surface reflects nothing.
double clampedCoefficient(double beta, double tanGamma);

// Viewing azimuth of observer m towards the point (x, y); 0 when every observer looks
// along the road (grid choice 3).
double observerAzimuth(const ComputationGrid& grid, const RoadInstallation& road, int observer, double x, double y);

// Fills luminanceByDirection (initial), luminanceObserver1/2, horizontalIlluminance and
// hemisphericalIlluminance (initial, made maintained later) and
// agedAsphaltReflectedPercent.
void computeMainPass(const ComputationGrid& grid, const RoadInstallation& road, ResultMaps& maps,
                     int workers);

// Multiplies the initial maps by q and fills luminanceAtInfinity.
void makeMainMapsMaintained(const ComputationGrid& grid, double q, ResultMaps& maps);

// Statistics of luminanceAtInfinity, of the observer maps with their uniformities, and
// of the horizontal and hemispherical illuminance, in that order.
void computeMainStatistics(const ComputationGrid& grid, ResultMaps& maps);

}  // namespace vl
