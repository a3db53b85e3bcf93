// The process-wide record that every phase of a run reads and writes.
//
// It is zero-initialised once at program start (static storage) and never cleared:
// each run overwrites what it computes; values a run does not set keep those of an
// earlier run. Storage indices are 0-based; the physics counts from 1.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "core/photometry/photometry_table.hpp"
#include "readers/eulumdat.hpp"

namespace vl {

inline constexpr int kMaxGridPoints = 200;   // nX, nY bound of the maps
inline constexpr int kDirections = 36;       // viewing azimuths 0, 10, ..., 350 deg
inline constexpr int kMaxTableAxis = 200;    // spline scratch bound (C planes, gamma angles)
inline constexpr int kMaxBeta = 20;          // surface table beta values
inline constexpr int kMaxTanGamma = 29;      // surface table tan(gamma) values
inline constexpr int kAgedAsphaltPoints = 19;
inline constexpr int kElevations = 4;        // 1, 10, 20, 30 deg

// The ten inputs of a run (one line of "input_nocturne.dat").
struct InstallationData {
    double lampFlux = 0;           // klm
    double roadWidth = 0;          // m
    double spacing = 0;            // m
    double overhang = 0;           // m
    double poleHeight = 0;         // m
    double maintenanceFactor = 0;  // -
    double tilt = 0;               // deg
    std::string surfaceClass;      // 2 characters (stored unpadded; padded when written)
    int gridChoice = 0;            // 1..9
    std::string photometryFile;    // up to 20 characters (stored unpadded)
};

// One record of "grid.dat".
struct GridChoice {
    std::string gridTitle;  // 40 characters, blank-padded
    int gridNumber = 0;
    int pointsAlongX = 0;
    char startFlagX = ' ';
    int pointsAlongY = 0;
    char startFlagY = ' ';
    double observerDistance = 0;
    double observerHeight = 0;
    double observer1Offset = 0;
    double observer2Offset = 0;
};

// Reduced luminance coefficients r(beta, tan gamma) x 10000, as read.
struct ReducedLuminanceTable {
    std::array<std::string, 4> surfaceTitleLines{};
    int betaCount = 0;
    int tanGammaCount = 0;
    std::array<double, kMaxBeta> betaAngles{};
    std::array<double, kMaxTanGamma> tanGamma{};
    // r(b, t) at rValues[b + kMaxBeta * t]: beta is the fast index.
    std::array<double, kMaxBeta * kMaxTanGamma> rValues{};
    std::array<double, kMaxBeta * kMaxTanGamma> rSpline{};
    double& r(int b, int t) { return rValues[static_cast<std::size_t>(b + kMaxBeta * t)]; }
    double r(int b, int t) const { return rValues[static_cast<std::size_t>(b + kMaxBeta * t)]; }
};

struct AgedAsphaltCurve {
    double agedAsphaltFactor = 0;
    std::array<double, kAgedAsphaltPoints> x{};   // angle of incidence, deg
    std::array<double, kAgedAsphaltPoints> y{};   // reflectance
    std::array<double, kAgedAsphaltPoints> y2{};  // natural spline second derivatives
};

struct RotatedPhotometry {
    std::vector<double> rotatedIntensity;  // R(i, j) at [i + nC * j]
};

struct EmissionData {
    double downwardFluxFactor = 0;      // DFF %
    double upwardFluxFactor = 0;        // UFF %
    double lightOutputRatio = 0;        // LORL %
    double upwardLightOutputRatio = 0;  // ULOR % (set only for a full-sphere photometry)
};

struct ComputationGrid {
    std::string gridTitle;
    int pointsAlongX = 0;
    int pointsAlongY = 0;
    char startFlagX = ' ';
    char startFlagY = ' ';
    double observerDistance = 0;
    double observerHeight = 0;
    double observer1Offset = 0;
    double observer2Offset = 0;
    double cellX = 0;
    double cellY = 0;
    double offsetX = 0;
    double offsetY = 0;
};

struct MapStatistics {
    double average = 0;
    double minimum = 0;
    double maximum = 0;
    double rms = 0;
};

// A map over the grid: value at [i][j], i along x (0..nX-1), j across (0..nY-1).
using GridMap = std::array<std::array<double, kMaxGridPoints>, kMaxGridPoints>;
using DirectionMap =
    std::array<std::array<std::array<double, kDirections>, kMaxGridPoints>, kMaxGridPoints>;

struct ResultMaps {
    DirectionMap luminanceByDirection{};  // initial, [i][j][k]
    GridMap luminanceAtInfinity{};
    GridMap luminanceObserver1{};
    GridMap luminanceObserver2{};
    GridMap horizontalIlluminance{};
    GridMap hemisphericalIlluminance{};
    GridMap veilingLuminance{};
    GridMap glareRating{};
    GridMap semicylindricalIlluminance{};
    GridMap verticalIlluminance{};
    double agedAsphaltReflectedPercent = 0;

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

    double veilingLuminanceObserver1 = 0;
    double veilingLuminanceObserver2 = 0;
    double thresholdIncrement1 = 0;
    double thresholdIncrement2 = 0;

    double utilizationFactor = 0;
    double usedLuminaireFluxPercent = 0;
    double wastedDownwardFluxPercent = 0;
};

struct PollutionResults {
    std::array<double, kDirections> azimuthDeg{};
    std::array<double, kDirections> avgLuminanceByAzimuth{};
    std::array<double, kDirections> avgLuminanceSpline{};
    double meanLuminance = 0;
    double roadIntensity1deg0 = 0;
    double roadIntensity1deg90 = 0;
    std::array<double, kElevations> avgRoadUpIntensity{};
    std::array<double, kElevations> avgFixtureUpIntensity{};
    double maxUpwardIntensity = 0;

    double roadReflectedPercent = 0;
    double directUplightDensity = 0;
    double roadAndDirectUplightDensity = 0;
    double outOfRoadUplightDensity = 0;
    bool integratedComputedThisRun = false;  // false when the applicability notice skipped them

    double directScatteredFactor = 0;
    double roadScatteredFactor = 0;
    std::array<double, kElevations> lowAngleSolidAngle{};
    std::vector<double> roadEstimatedPhotometry;  // Re(l, m) at [l + nC * m]
};

// What identifies the run and its switches.
struct RunInfo {
    std::string date;        // ccyymmdd
    std::string time;        // hhmmss.s
    std::string runStamp;    // ccyymmddhhmm
    std::string reportName;  // 40 characters, blank-padded
    int extendFlag = 0;
};

struct ComputationState {
    InstallationData installation;  // the computation's own copy
    GridChoice gridRecord;
    RunInfo run;
    ReducedLuminanceTable surface;
    AgedAsphaltCurve agedAsphalt;
    PhotometryTable photometry;
    std::vector<double> photometrySpline;  // second derivatives along C of each gamma row
    EulumdatHeader eulumdat;
    ListingIndices listing;
    LampSet lamp;  // the last lamp set read by any run
    RotatedPhotometry rotated;
    EmissionData emission;
    ComputationGrid grid;
    ResultMaps maps;
    PollutionResults pollution;
};

// The one process-wide instance.
ComputationState& state();

}  // namespace vl
