// Light pollution: the upward light of road and luminaire by direction, the upward flux
// ratios and uplight densities, and the atmospheric scattering factors.
#pragma once

#include <array>
#include <vector>

#include "core/photometry/emission.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/roadlighting/road_lighting.hpp"
#include "core/run/installation.hpp"

namespace vl {

inline constexpr int kElevations = 4;  // 1, 10, 20, 30 deg above the horizon

// Share of the road's lambertian upward intensity that leaves the installation, held in
// single precision (0.7699999809265137 widened).
inline constexpr float ROAD_UPWARD_FACTOR = 0.77f;
inline double roadUpwardFactor() { return static_cast<double>(ROAD_UPWARD_FACTOR); }

// Elevations above the horizon (deg) of the direction tables.
inline constexpr double kElevationSet[kElevations] = {1.0, 10.0, 20.0, 30.0};

// Intensities in cd per klm of lamp flux; "per luminaire flux" divides by LORL / 100.
struct UpwardIntensities {
    double road = 0;                      // lambertian road estimate
    double roadPerLuminaireFlux = 0;
    bool fixtureAvailable = false;        // the photometry reaches the direction
    double fixture = 0;
    double fixturePerLuminaireFlux = 0;
    double ratioPercent = 0;              // 100 * fixture / road, before truncation
};

// One row of the direction table: elevation alpha towards azimuth omega.
struct DirectionRow {
    double alpha = 0;
    int azimuth = 0;
    UpwardIntensities intensities;
};

// The largest table intensity whose direction points upwards once the luminaire is tilted.
struct MaximumLuminaireIntensity {
    bool found = false;
    double intensity = 0;                 // cd/klm of lamp flux
    double perLuminaireFlux = 0;
    Direction at;                         // road-frame direction
};

struct DirectionalPollution {
    std::array<double, kDirections> azimuthDeg{};
    std::array<double, kDirections> avgLuminanceByAzimuth{};  // maintained, cd/m^2
    std::array<double, kDirections> avgLuminanceSpline{};
    std::vector<DirectionRow> directionTable;                 // 12 azimuths x 4 elevations
    double meanLuminance = 0;
    std::array<UpwardIntensities, kElevations> averages{};    // over the azimuth
    double roadIntensity1deg0 = 0;
    double roadIntensity1deg90 = 0;
    MaximumLuminaireIntensity maxLuminaire;
    double maxRoadIntensity = 0;                              // straight up, cd/klm of lamp flux
    double maxRoadIntensityPerLuminaireFlux = 0;
};

struct IntegratedPollution {
    bool computed = false;  // false when a tilted photometry short of 180 deg skips them
    double directUpwardFluxRatio = 0;          // UFR %
    double roadReflectedRatio = 0;             // RR %
    double roadReflectedRatioAgedAsphalt = 0;  // %
    double outOfRoadReflectedRatio = 0;        // %
    double directIncreasePercent = 0;          // before truncation
    double outOfRoadIncreasePercent = 0;
    double roadReflectedPercent = 0;           // RR * LORL
    double directUplightDensity = 0;           // DUUD, lm/m^2
    double roadUplightDensity = 0;             // RUUD
    double outOfRoadUplightDensity = 0;        // WUUD
    double roadAndDirectUplightDensity = 0;
    double densityDirectIncreasePercent = 0;
    double densityOutOfRoadIncreasePercent = 0;
};

struct ScatteringFactors {
    double outOfRoadScale = 0;  // WUUD / RUUD
    bool hemisphericAvailable = false;  // the photometry reaches 180 deg
    double directScattered = 0;
    double roadScattered = 0;
    double outOfRoadScattered = 0;
    double directIncreasePercent = 0;
    double outOfRoadIncreasePercent = 0;
    bool lowAngleAvailable = false;  // the photometry reaches 120 deg
    bool outOfRoadAvailable = false; // the integrated parameters of this run exist
    std::array<double, kElevations> lowAngleSolidAngle{};
    double lowAngleDirectUp = 0;
    double lowAngleRoadUp = 0;
    double lowAngleOutOfRoadUp = 0;
    double lowAngleDirectUpIncreasePercent = 0;
    double lowAngleOutOfRoadUpIncreasePercent = 0;
    double lowAngleDirectScattered = 0;
    double lowAngleRoadScattered = 0;
    double lowAngleOutOfRoadScattered = 0;
    double lowAngleDirectScatteredIncreasePercent = 0;
    double lowAngleOutOfRoadScatteredIncreasePercent = 0;
    std::vector<double> roadEstimatedPhotometry;  // Re(l, m) at [l + nC * m], cd/klm
};

// What the pollution phases read.
struct PollutionInputs {
    const InstallationData& installation;
    const PhotometryTable& photometry;
    const LuminaireIntensity& luminaire;
    const EmissionData& emission;
    const std::vector<double>& rotatedIntensity;
};

// The maximum upward luminaire intensity (also the end of a rotation-only run).
MaximumLuminaireIntensity maximumUpwardIntensity(const PhotometryTable& photometry, double tilt,
                                                 const EmissionData& emission);

// The direction-dependent parameters from the initial luminance by viewing direction.
DirectionalPollution computeDirectionalPollution(const PollutionInputs& in, const ComputationGrid& grid,
                                                 const DirectionalLuminance& luminanceByDirection);

// Upward flux of the road (lm per klm of lamp flux), laid out on the photometry's upper
// cells, or on the mirror images of its lower cells when it has none above 90 deg.
double roadUpwardFlux(const PollutionInputs& in, double meanLuminance);

IntegratedPollution computeIntegratedPollution(const PollutionInputs& in, const DirectionalPollution& directional,
                                               const RoadLightingResult& road, const AgedAsphaltCurve& agedAsphalt);

// Fraction of the light scattered along a path at zenith angle z (deg).
double scatteredFraction(double z);

ScatteringFactors computeScatteringFactors(const PollutionInputs& in, const DirectionalPollution& directional,
                                           const IntegratedPollution& integrated);

}  // namespace vl
