#include "core/roadlighting/glare.hpp"

#include <cmath>
#include <cstddef>

#include "core/numeric/degrees.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/roadlighting/column_workers.hpp"
#include "core/roadlighting/grid.hpp"
#include "core/roadlighting/map_statistics.hpp"

namespace vl {

namespace {

// A luminaire at (xQ, overhang) seen from an eye 1.5 m above (xE, yE).
struct LuminaireSight {
    double d2;         // squared horizontal distance
    double gamma;      // at the luminaire, from the downward vertical
    double folded;     // azimuth from the eye, folded into 0..180
    double intensity;  // towards the eye, cd/klm
};

LuminaireSight sightFromEye(const RoadInstallation& road, double xE, double yE, double xQ) {
    const double height = road.poleHeight - kEyeHeight;
    const double dy = yE - road.overhang;
    const double dx = xE - xQ;
    LuminaireSight sight;
    sight.d2 = dy * dy + dx * dx;
    sight.gamma = atand(std::sqrt(sight.d2) / height);
    const double azimuth = azimuthToLuminaire(dx, dy);
    sight.folded = foldAzimuth(azimuth, 0.0);
    sight.intensity = luminaireIntensityAt(azimuth + 180.0, sight.gamma);
    return sight;
}

}  // namespace

double veilingContribution(const RoadInstallation& road, double xE, double yE, double xQ) {
    const double height = road.poleHeight - kEyeHeight;
    const LuminaireSight sight = sightFromEye(road, xE, yE, xQ);
    // Angle between the line of sight (1 deg below the horizontal, along +x) and the luminaire.
    const double u = cosd(90.0 - sight.gamma + 1.0);
    const double v = cosd(sight.folded);
    const double theta = acosd(u * v);
    return sind(sight.gamma - 1.0) * sight.intensity * 10.0 * v / (theta * theta * (height * height + sight.d2));
}

double glareObserverVeiling(const RoadInstallation& road, double yE, std::span<const int> order) {
    const double xE = glareObserverX(road);
    double sum = 0.0;
    for (const int n : order) {
        const double contribution = veilingContribution(road, xE, yE, static_cast<double>(n) * road.spacing);
        if (kRelativeThreshold * sum <= contribution) sum = sum + contribution;
    }
    return sum;
}

void computeGlareObservers(const ComputationGrid& grid, const RoadInstallation& road, ResultMaps& maps) {
    maps.veilingLuminanceObserver1 =
        glareObserverVeiling(road, observerY(grid, road, 1), kGlareRowNearestFirst) * road.lampFlux;
    maps.veilingLuminanceObserver2 =
        glareObserverVeiling(road, observerY(grid, road, 2), kGlareRowFarthestFirst) * road.lampFlux;
}

namespace {

// Veiling luminance at an eye 1.5 m above (x, y) from the luminaires ahead that are
// seen at most 20 deg above the horizontal.
double veilingAtPoint(const RoadInstallation& road, double x, double y) {
    const double height = road.poleHeight - kEyeHeight;
    double sum = 0.0;
    for (const int n : kAheadOfPoint) {
        const double xQ = static_cast<double>(n) * road.spacing;
        if (atand(height / (xQ - x)) <= kScreeningAngle) sum = sum + veilingContribution(road, x, y, xQ);
    }
    return sum;
}

struct VerticalSums {
    double semicylindrical = 0;
    double vertical = 0;
};

// Illuminances 1.5 m above (x, y) on a vertical semicylinder and a vertical plane both
// facing -x, from the luminaires behind the point.
VerticalSums verticalAtPoint(const RoadInstallation& road, double x, double y) {
    const double height = road.poleHeight - kEyeHeight;
    const double hh = height * height;
    VerticalSums sums;
    for (const int n : kBehindPoint) {
        const LuminaireSight sight = sightFromEye(road, x, y, static_cast<double>(n) * road.spacing);
        const double cg = cosd(sight.gamma);
        const double w = sight.intensity * sind(sight.gamma) * (cg * cg);
        const double p = cosd(180.0 - sight.folded);
        sums.semicylindrical = sums.semicylindrical + (p + 1.0) * w / (kPi * hh);
        sums.vertical = sums.vertical + p * w / hh;
    }
    return sums;
}

}  // namespace

void computeGlareMaps(const ComputationGrid& grid, const RoadInstallation& road, ResultMaps& maps, int workers) {
    const int nY = grid.pointsAlongY;
    const double flux = road.lampFlux;
    forEachColumn(grid.pointsAlongX, workers, [&](int i) {
        const auto ii = static_cast<std::size_t>(i);
        const double x = gridPointX(grid, i);
        for (int j = 0; j < nY; ++j) {
            const auto jj = static_cast<std::size_t>(j);
            const double y = gridPointY(grid, j);
            maps.veilingLuminance[ii][jj] = veilingAtPoint(road, x, y) * flux;
            const VerticalSums v = verticalAtPoint(road, x, y);
            maps.semicylindricalIlluminance[ii][jj] = v.semicylindrical * flux;
            maps.verticalIlluminance[ii][jj] = v.vertical * flux;
        }
    });
}

double thresholdIncrement(double veilingLuminance, double initialAverageLuminance) {
    return 65.0 * veilingLuminance / std::pow(initialAverageLuminance, kThresholdExponent);
}

double glareRating(double veilingLuminance, double maintainedAverageLuminance, double q) {
    const double environment = 0.035 * maintainedAverageLuminance / q;
    return 27.0 + 24.0 * std::log10(veilingLuminance / std::pow(environment, kGlareRatingExponent));
}

void computeGlareStatistics(const ComputationGrid& grid, double q, ResultMaps& maps) {
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;
    maps.veilingLuminanceStats = computeMapStatistics(maps.veilingLuminance, nX, nY);
    maps.thresholdIncrement1 =
        thresholdIncrement(maps.veilingLuminanceObserver1, maps.luminanceObserver1Stats.average / q);
    maps.thresholdIncrement2 =
        thresholdIncrement(maps.veilingLuminanceObserver2, maps.luminanceObserver2Stats.average / q);
    for (std::size_t i = 0; i < static_cast<std::size_t>(nX); ++i) {
        for (std::size_t j = 0; j < static_cast<std::size_t>(nY); ++j) {
            maps.semicylindricalIlluminance[i][j] = maps.semicylindricalIlluminance[i][j] * q;
            maps.verticalIlluminance[i][j] = maps.verticalIlluminance[i][j] * q;
        }
    }
    maps.semicylindricalIlluminanceStats = computeMapStatistics(maps.semicylindricalIlluminance, nX, nY);
    maps.verticalIlluminanceStats = computeMapStatistics(maps.verticalIlluminance, nX, nY);
    for (std::size_t i = 0; i < static_cast<std::size_t>(nX); ++i) {
        for (std::size_t j = 0; j < static_cast<std::size_t>(nY); ++j) {
            maps.glareRating[i][j] = glareRating(maps.veilingLuminance[i][j], maps.luminanceObserver1Stats.average, q);
        }
    }
    maps.glareRatingStats = computeMapStatistics(maps.glareRating, nX, nY);
}

}  // namespace vl
