#include "core/roadlighting/glare.hpp"

#include <cmath>
#include <cstddef>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/roadlighting/column_workers.hpp"
#include "core/roadlighting/map_statistics.hpp"

namespace vl {

namespace {

// The luminaire at (xQ, overhang) seen from the eye 1.5 m above (xE, yE), without its intensity.
EyeSight sightGeometry(const RoadInstallation& road, double xE, double yE, double xQ) {
    const double height = road.poleHeight - kEyeHeight;
    const double dy = yE - road.overhang;
    const double dx = xE - xQ;
    EyeSight sight;
    sight.d2 = dy * dy + dx * dx;
    sight.gamma = atand(std::sqrt(sight.d2) / height);
    sight.azimuth = azimuthToLuminaire(dx, dy);
    sight.intensity = 0.0;
    return sight;
}

EyeSight sightFromEye(const RoadInstallation& road, const LuminaireIntensity& luminaire, double xE, double yE,
                      double xQ) {
    EyeSight sight = sightGeometry(road, xE, yE, xQ);
    sight.intensity = luminaire.at(sight.azimuth + 180.0, sight.gamma);
    return sight;
}

// Angle between the line of sight (1 deg below the horizontal, along +x) and the luminaire.
double veilingFromSight(const RoadInstallation& road, const EyeSight& sight) {
    const double height = road.poleHeight - kEyeHeight;
    const double u = cosd(90.0 - sight.gamma + 1.0);
    const double v = cosd(foldAzimuth(sight.azimuth, 0.0));
    const double theta = acosd(u * v);
    return sind(sight.gamma - 1.0) * sight.intensity * 10.0 * v / (theta * theta * (height * height + sight.d2));
}

}  // namespace

double veilingContribution(const RoadInstallation& road, const LuminaireIntensity& luminaire, double xE, double yE,
                           double xQ) {
    return veilingFromSight(road, sightFromEye(road, luminaire, xE, yE, xQ));
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

struct VerticalSums {
    double semicylindrical = 0;
    double vertical = 0;
};

// Illuminances 1.5 m above a point on a vertical semicylinder and a vertical plane both
// facing -x, from one luminaire behind the point.
void addVertical(const RoadInstallation& road, const EyeSight& sight, VerticalSums& sums) {
    const double height = road.poleHeight - kEyeHeight;
    const double hh = height * height;
    const double cg = cosd(sight.gamma);
    const double w = sight.intensity * sind(sight.gamma) * (cg * cg);
    const double p = cosd(180.0 - foldAzimuth(sight.azimuth, 0.0));
    sums.semicylindrical = sums.semicylindrical + (p + 1.0) * w / (kPi * hh);
    sums.vertical = sums.vertical + p * w / hh;
}

}  // namespace

GlareRow glareRow(const RoadInstallation& road, double x) {
    const double height = road.poleHeight - kEyeHeight;
    GlareRow row;
    for (const int n : kAheadOfPoint) {
        const double xQ = static_cast<double>(n) * road.spacing;
        if (atand(height / (xQ - x)) <= kScreeningAngle) row.luminaires[row.count++] = n;
    }
    row.ahead = row.count;
    for (const int n : kBehindPoint) row.luminaires[row.count++] = n;
    return row;
}

void glareColumn(const RoadInstallation& road, const GlareRow& row, int i, int nY, const EyeSight* sights,
                 GlareMaps& maps) {
    const double flux = road.lampFlux;
    for (int j = 0; j < nY; ++j) {
        const EyeSight* s = sights + static_cast<std::size_t>(j) * row.count;
        double veiling = 0.0;
        for (std::size_t v = 0; v < row.ahead; ++v) veiling = veiling + veilingFromSight(road, s[v]);
        VerticalSums sums;
        for (std::size_t v = row.ahead; v < row.count; ++v) addVertical(road, s[v], sums);
        maps.veilingLuminance(i, j) = veiling * flux;
        maps.semicylindricalIlluminance(i, j) = sums.semicylindrical * flux;
        maps.verticalIlluminance(i, j) = sums.vertical * flux;
    }
}

GlareMaps computeGlareMaps(const ComputationGrid& grid, const RoadInstallation& road,
                           const LuminaireIntensity& luminaire, int workers, const ColumnControl& control) {
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;
    GlareMaps maps{GridMap(nX, nY), GridMap(nX, nY), GridMap(nX, nY)};
    forEachColumn(nX, workers, control, [&](int i) {
        const double x = gridPointX(grid, i);
        const GlareRow row = glareRow(road, x);
        std::vector<EyeSight> sights(static_cast<std::size_t>(nY) * row.count);
        std::vector<TableLookup> batch(sights.size());
        for (int j = 0; j < nY; ++j) {
            const double y = gridPointY(grid, j);
            for (std::size_t v = 0; v < row.count; ++v) {
                const std::size_t k = static_cast<std::size_t>(j) * row.count + v;
                sights[k] = sightGeometry(road, x, y, static_cast<double>(row.luminaires[v]) * road.spacing);
                batch[k] = TableLookup{sights[k].azimuth + 180.0, sights[k].gamma, 0.0, false, 0.0, 0.0};
            }
        }
        luminaire.atMany(batch);
        for (std::size_t k = 0; k < sights.size(); ++k) sights[k].intensity = batch[k].value;
        glareColumn(road, row, i, nY, sights.data(), maps);
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
