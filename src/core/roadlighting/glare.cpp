#include "core/roadlighting/glare.hpp"

#include <cmath>
#include <cstddef>

#include "core/numeric/degrees.hpp"
#include "core/roadlighting/column_workers.hpp"
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

LuminaireSight sightFromEye(const RoadInstallation& road, const LuminaireIntensity& luminaire, double xE, double yE,
                            double xQ) {
    const double height = road.poleHeight - kEyeHeight;
    const double dy = yE - road.overhang;
    const double dx = xE - xQ;
    LuminaireSight sight;
    sight.d2 = dy * dy + dx * dx;
    sight.gamma = atand(std::sqrt(sight.d2) / height);
    const double azimuth = azimuthToLuminaire(dx, dy);
    sight.folded = foldAzimuth(azimuth, 0.0);
    sight.intensity = luminaire.at(azimuth + 180.0, sight.gamma);
    return sight;
}

}  // namespace

double veilingContribution(const RoadInstallation& road, const LuminaireIntensity& luminaire, double xE, double yE,
                           double xQ) {
    const double height = road.poleHeight - kEyeHeight;
    const LuminaireSight sight = sightFromEye(road, luminaire, xE, yE, xQ);
    // Angle between the line of sight (1 deg below the horizontal, along +x) and the luminaire.
    const double u = cosd(90.0 - sight.gamma + 1.0);
    const double v = cosd(sight.folded);
    const double theta = acosd(u * v);
    return sind(sight.gamma - 1.0) * sight.intensity * 10.0 * v / (theta * theta * (height * height + sight.d2));
}

double glareObserverVeiling(const RoadInstallation& road, const LuminaireIntensity& luminaire, double yE,
                            std::span<const int> order) {
    const double xE = glareObserverX(road);
    double sum = 0.0;
    for (const int n : order) {
        const double contribution = veilingContribution(road, luminaire, xE, yE, static_cast<double>(n) * road.spacing);
        if (kRelativeThreshold * sum <= contribution) sum = sum + contribution;
    }
    return sum;
}

GlareObservers computeGlareObservers(const ComputationGrid& grid, const RoadInstallation& road,
                                     const LuminaireIntensity& luminaire) {
    GlareObservers g;
    g.veilingLuminance1 =
        glareObserverVeiling(road, luminaire, observerY(grid, road, 1), kGlareRowNearestFirst) * road.lampFlux;
    g.veilingLuminance2 =
        glareObserverVeiling(road, luminaire, observerY(grid, road, 2), kGlareRowFarthestFirst) * road.lampFlux;
    return g;
}

namespace {

// Veiling luminance at an eye 1.5 m above (x, y) from the luminaires ahead that are
// seen at most 20 deg above the horizontal.
double veilingAtPoint(const RoadInstallation& road, const LuminaireIntensity& luminaire, double x, double y) {
    const double height = road.poleHeight - kEyeHeight;
    double sum = 0.0;
    for (const int n : kAheadOfPoint) {
        const double xQ = static_cast<double>(n) * road.spacing;
        if (atand(height / (xQ - x)) <= kScreeningAngle) sum = sum + veilingContribution(road, luminaire, x, y, xQ);
    }
    return sum;
}

struct VerticalSums {
    double semicylindrical = 0;
    double vertical = 0;
};

// Illuminances 1.5 m above (x, y) on a vertical semicylinder and a vertical plane both
// facing -x, from the luminaires behind the point.
VerticalSums verticalAtPoint(const RoadInstallation& road, const LuminaireIntensity& luminaire, double x, double y) {
    const double height = road.poleHeight - kEyeHeight;
    const double hh = height * height;
    VerticalSums sums;
    for (const int n : kBehindPoint) {
        const LuminaireSight sight = sightFromEye(road, luminaire, x, y, static_cast<double>(n) * road.spacing);
        const double cg = cosd(sight.gamma);
        const double w = sight.intensity * sind(sight.gamma) * (cg * cg);
        const double p = cosd(180.0 - sight.folded);
        sums.semicylindrical = sums.semicylindrical + (p + 1.0) * w / (kPi * hh);
        sums.vertical = sums.vertical + p * w / hh;
    }
    return sums;
}

}  // namespace

GlareMaps computeGlareMaps(const ComputationGrid& grid, const RoadInstallation& road,
                           const LuminaireIntensity& luminaire, int workers) {
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;
    const double flux = road.lampFlux;
    GlareMaps maps{GridMap(nX, nY), GridMap(nX, nY), GridMap(nX, nY)};
    forEachColumn(nX, workers, [&](int i) {
        const double x = gridPointX(grid, i);
        for (int j = 0; j < nY; ++j) {
            const double y = gridPointY(grid, j);
            maps.veilingLuminance(i, j) = veilingAtPoint(road, luminaire, x, y) * flux;
            const VerticalSums v = verticalAtPoint(road, luminaire, x, y);
            maps.semicylindricalIlluminance(i, j) = v.semicylindrical * flux;
            maps.verticalIlluminance(i, j) = v.vertical * flux;
        }
    });
    return maps;
}

double thresholdIncrement(double veilingLuminance, double initialAverageLuminance) {
    return 65.0 * veilingLuminance / std::pow(initialAverageLuminance, kThresholdExponent);
}

double glareRating(double veilingLuminance, double maintainedAverageLuminance, double q) {
    const double environment = 0.035 * maintainedAverageLuminance / q;
    return 27.0 + 24.0 * std::log10(veilingLuminance / std::pow(environment, kGlareRatingExponent));
}

void computeGlareStatistics(double q, RoadLightingResult& r) {
    const int nX = r.grid.pointsAlongX;
    const int nY = r.grid.pointsAlongY;
    r.veilingLuminanceStats = computeMapStatistics(r.veilingLuminance);
    r.thresholdIncrement1 = thresholdIncrement(r.veilingLuminanceObserver1, r.luminanceObserver1Stats.average / q);
    r.thresholdIncrement2 = thresholdIncrement(r.veilingLuminanceObserver2, r.luminanceObserver2Stats.average / q);
    for (int i = 0; i < nX; ++i) {
        for (int j = 0; j < nY; ++j) {
            r.semicylindricalIlluminance(i, j) = r.semicylindricalIlluminance(i, j) * q;
            r.verticalIlluminance(i, j) = r.verticalIlluminance(i, j) * q;
        }
    }
    r.semicylindricalIlluminanceStats = computeMapStatistics(r.semicylindricalIlluminance);
    r.verticalIlluminanceStats = computeMapStatistics(r.verticalIlluminance);
    r.glareRating = GridMap(nX, nY);
    for (int i = 0; i < nX; ++i) {
        for (int j = 0; j < nY; ++j) {
            r.glareRating(i, j) = glareRating(r.veilingLuminance(i, j), r.luminanceObserver1Stats.average, q);
        }
    }
    r.glareRatingStats = computeMapStatistics(r.glareRating);
}

}  // namespace vl
