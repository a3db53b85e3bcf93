// The main pass: road luminance in 36 viewing directions and for the two observers,
// horizontal and hemispherical illuminance, and the flux an aged asphalt surface would
// reflect, summed over the main row of 29 luminaires.
#pragma once

#include <optional>
#include <span>

#include "core/roadlighting/edge_strips.hpp"
#include "core/roadlighting/glare.hpp"
#include "core/roadlighting/road_lighting.hpp"

namespace vl {

inline constexpr double kReflectionCutoff = 12.0;  // tan gamma beyond which r is 0

// Reduced luminance coefficient (x 10000, as tabulated) with its two clamps:
// negative values become 0, and beyond tan gamma 12 the surface reflects nothing.
double clampedCoefficient(const SurfaceReflection& surface, double beta, double tanGamma);

// Viewing azimuth of observer m towards the point (x, y); 0 when every observer looks
// along the road (grid choice 3).
double observerAzimuth(const ComputationGrid& grid, const RoadInstallation& road, int observer, double x, double y);

// Initial maps of the main pass.
struct MainPass {
    GridMap luminanceObserver1;
    GridMap luminanceObserver2;
    GridMap horizontalIlluminance;
    GridMap hemisphericalIlluminance;
    double agedAsphaltReflectedPercent = 0;
    // At tilt 0 the glare maps too: the intensity towards the eye 1.5 m above a point is
    // looked up on the C of the pass's own lookup, its column solve shared.
    std::optional<GlareMaps> glare;
};

// Maintained horizontal illuminance (lx) at any point (x, y) of the road plane from the main
// row, summed as the main pass sums it (the pass's value at a grid point, to the bit).
double horizontalIlluminanceAt(const RoadInstallation& road, const LuminaireIntensity& luminaire, double x, double y);
// The same at many points, the intensities looked up in one batch: values[k] is the value
// at points[k] to the bit.
void horizontalIlluminanceMany(const RoadInstallation& road, const LuminaireIntensity& luminaire,
                               std::span<const RoadPoint> points, std::span<double> values);

// Whether the main pass computes the glare maps too (at tilt 0).
bool mainPassComputesGlare(const RoadLookups& lookups);

MainPass computeMainPass(const ComputationGrid& grid, const RoadInstallation& road, const RoadLookups& lookups,
                         int workers, DirectionalLuminance& luminanceByDirection, const ColumnControl& control = {});

}  // namespace vl
