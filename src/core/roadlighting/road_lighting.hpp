// The road lighting phase of a run: grid and observers, the luminance and illuminance
// pass, glare and secondary illuminances, the summary and energy figures.
#pragma once

#include <functional>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/photometry/emission.hpp"
#include "core/photometry/photometry_table.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/roadlighting/column_workers.hpp"
#include "core/roadlighting/grid.hpp"
#include "core/roadlighting/grid_map.hpp"
#include "core/roadlighting/road_geometry.hpp"
#include "core/surface/surface_table.hpp"

namespace vl {

inline constexpr int kDirections = 36;  // viewing azimuths 0, 10, ..., 350 deg

// What the sums look up: the tilted luminaire, the surface, the aged asphalt curve.
struct RoadLookups {
    const LuminaireIntensity& luminaire;
    const SurfaceReflection& surface;
    const AgedAsphaltReflectance& agedAsphalt;
};

// Utilization factor and the used and wasted flux fractions.
struct FluxUse {
    double utilizationFactor = 0;
    double usedLuminaireFluxPercent = 0;
    double wastedDownwardFluxPercent = 0;
};

// The figures of the "Energy and cost parameters:" section.
struct EnergyFigures {
    FluxUse fluxUse;
    bool incompleteForTilt = false;     // a tilted photometry short of 180 deg: no flux fractions
    double wastedLuminaireFluxPercent = 0;
    double usedDownwardFluxPercent = 0;
    double luminairesPerKm = 0;
    double fluxPerLength = 0;           // klm/km
    double fluxPerArea = 0;             // lm/m^2
    double initialFluxPerLengthPerLuminance = 0;     // (klm/km)/(cd/m^2)
    double maintainedFluxPerLengthPerLuminance = 0;
    double initialPhotometricEfficacy = 0;           // lm/cd
    double maintainedPhotometricEfficacy = 0;
    double powerPerLengthPerLuminance = 0;           // (kW/km)/(cd/m^2)
    double energeticEfficacy = 0;                    // W/cd
    LampSet lamp;                                    // the lamp the figures are evaluated for
    double lampEfficacy = 0;                         // lm/W, ballast included
};

struct RoadLightingResult {
    ComputationGrid grid;

    // Maintained maps.
    GridMap luminanceAtInfinity;
    GridMap luminanceObserver1;
    GridMap luminanceObserver2;
    GridMap horizontalIlluminance;
    GridMap hemisphericalIlluminance;
    GridMap semicylindricalIlluminance;
    GridMap verticalIlluminance;
    // Veiling luminance at the initial state, and the glare rating from it.
    GridMap veilingLuminance;
    GridMap glareRating;

    MapStatistics luminanceAtInfinityStats;
    MapStatistics luminanceObserver1Stats;
    MapStatistics luminanceObserver2Stats;
    MapStatistics horizontalIlluminanceStats;
    MapStatistics hemisphericalIlluminanceStats;
    MapStatistics veilingLuminanceStats;
    MapStatistics glareRatingStats;
    MapStatistics semicylindricalIlluminanceStats;
    MapStatistics verticalIlluminanceStats;

    double overallUniformity1 = 0;
    double overallUniformity2 = 0;
    double lengthwiseUniformity1 = 0;
    double lengthwiseUniformity2 = 0;

    double veilingLuminanceObserver1 = 0;  // cd/m^2, initial
    double veilingLuminanceObserver2 = 0;
    double thresholdIncrement1 = 0;        // %
    double thresholdIncrement2 = 0;

    double agedAsphaltReflectedPercent = 0;
    EnergyFigures energy;
};

// Leaves the values a vector is resized to uninitialised: for storage the next pass
// writes whole, so that it is neither cleared first nor touched by one thread alone.
template <typename T>
struct UninitialisedAllocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = UninitialisedAllocator<U>;
    };
    UninitialisedAllocator() = default;
    template <typename U>
    UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
    template <typename U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// Maintained luminance by viewing azimuth, initial: [(i * nY + j) * 36 + k].
using DirectionalLuminance = std::vector<double, UninitialisedAllocator<double>>;

// Runs the phase; `luminanceByDirection` receives the initial luminance of every point in
// the 36 viewing directions. `earlierGrid` gives the offsets a start flag other than "b"
// or "c" keeps. The control's progress is the fraction of the phase's grid columns done
// (those of the glare pass too when the luminaire is tilted).
RoadLightingResult computeRoadLighting(const InstallationData& installation, const GridChoice& record,
                                       const ComputationGrid& earlierGrid, const RoadLookups& lookups,
                                       const EmissionData& emission, const PhotometryTable& photometry,
                                       const LampSet& lamp, int workers, const ColumnControl& control,
                                       DirectionalLuminance& luminanceByDirection);

}  // namespace vl
