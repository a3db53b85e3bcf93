// Disability glare (veiling luminance, threshold increment, glare rating) and the
// illuminances on vertical surfaces 1.5 m above the road.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "core/roadlighting/column_workers.hpp"
#include "core/roadlighting/grid.hpp"
#include "core/roadlighting/road_lighting.hpp"

namespace vl {

inline constexpr double kScreeningAngle = 20.0;      // deg above the eye's horizontal
inline constexpr double kRelativeThreshold = 0.02;   // glare observers skip smaller contributions
inline constexpr double kPi = 3.1415926;
inline constexpr double kThresholdExponent = 0.800000011920929;
inline constexpr double kGlareRatingExponent = 0.8999999761581421;

// Veiling luminance per klm at the eye (xE, yE) from the luminaire at x = xQ, y = V.
double veilingContribution(const RoadInstallation& road, const LuminaireIntensity& luminaire, double xE, double yE,
                           double xQ);

// Veiling luminance per klm of a glare observer at lateral position yE: the luminaires
// are visited in the given order and one below 2 % of the running sum is skipped.
double glareObserverVeiling(const RoadInstallation& road, const LuminaireIntensity& luminaire, double yE,
                            std::span<const int> order);

// The veiling luminance, semicylindrical and vertical illuminance maps (initial).
struct GlareMaps {
    GridMap veilingLuminance;
    GridMap semicylindricalIlluminance;
    GridMap verticalIlluminance;
};
GlareMaps computeGlareMaps(const ComputationGrid& grid, const RoadInstallation& road,
                           const LuminaireIntensity& luminaire, int workers, const ColumnControl& control = {});

// A luminaire of the main row seen from the eye 1.5 m above a grid point.
struct EyeSight {
    double d2;         // squared horizontal distance
    double gamma;      // at the luminaire, from the downward vertical
    double azimuth;    // from the eye towards the luminaire
    double intensity;  // towards the eye, cd/klm
};

// The luminaires the maps sum at the points of a column: those ahead seen at most 20 deg
// above the eye's horizontal (for the veiling luminance), then every one behind (for the
// vertical illuminances), each in its order.
struct GlareRow {
    std::array<int, kRowLuminaires> luminaires{};
    std::size_t ahead = 0;
    std::size_t count = 0;
};
GlareRow glareRow(const RoadInstallation& road, double x);

// The maps at the points of column i from the sights of the row's luminaires,
// [j * row.count + v]; the main pass calls it with the sights it shares.
void glareColumn(const RoadInstallation& road, const GlareRow& row, int i, int nY, const EyeSight* sights,
                 GlareMaps& maps);

// The two glare observers' veiling luminances (cd/m^2, initial).
struct GlareObservers {
    double veilingLuminance1 = 0;
    double veilingLuminance2 = 0;
};
GlareObservers computeGlareObservers(const ComputationGrid& grid, const RoadInstallation& road,
                                     const LuminaireIntensity& luminaire);

// TI (%) from a veiling luminance and the initial average road luminance.
double thresholdIncrement(double veilingLuminance, double initialAverageLuminance);
// GR from a veiling luminance and the maintained average road luminance of observer 1
// (turned back into the initial one by q).
double glareRating(double veilingLuminance, double maintainedAverageLuminance, double q);

// Statistics and derived values in their order: veiling luminance statistics, TI,
// maintained semicylindrical and vertical maps with statistics, glare rating map with
// statistics. Needs the maintained observer maps' statistics.
void computeGlareStatistics(double q, RoadLightingResult& result);

}  // namespace vl
