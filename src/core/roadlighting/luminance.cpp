#include "core/roadlighting/luminance.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/roadlighting/column_workers.hpp"
#include "core/roadlighting/grid.hpp"
#include "core/roadlighting/map_statistics.hpp"
#include "core/surface/surface_table.hpp"

namespace vl {

namespace {

struct PointSums {
    std::array<double, kDirections> luminance{};
    double observer1 = 0;
    double observer2 = 0;
    double horizontal = 0;
    double hemispherical = 0;
};

// One grid point: every sum runs over the main row in its order (14 S down to -14 S).
// The intensity towards a luminaire is the same for all directions, so it is looked up
// once; agedTerms receives the point's 29 aged asphalt terms in visiting order.
void evaluatePoint(const ComputationGrid& grid, const RoadInstallation& road, double x, double y, PointSums& sums,
                   double* agedTerms) {
    const double h = road.poleHeight;
    const double hh = h * h;
    const double a1 = observerAzimuth(grid, road, 1, x, y);
    const double a2 = observerAzimuth(grid, road, 2, x, y);
    std::array<double, kDirections> beta{};
    std::array<double, kDirections> r{};
    for (std::size_t m = 0; m < kMainRow.size(); ++m) {
        const double xQ = static_cast<double>(kMainRow[m]) * road.spacing;
        const double dx = x - xQ;
        const double dy = y - road.overhang;
        const double d2 = dy * dy + dx * dx;
        const double t = std::sqrt(d2) / h;
        const double gamma = atand(t);
        const double azimuth = azimuthToLuminaire(dx, dy);
        const double intensity = luminaireIntensityAt(azimuth + 180.0, gamma);
        for (int k = 0; k < kDirections; ++k) {
            const auto kk = static_cast<std::size_t>(k);
            beta[kk] = foldAzimuth(azimuth, static_cast<double>(10 * k));
            r[kk] = clampedCoefficient(beta[kk], t);
            sums.luminance[kk] = sums.luminance[kk] + intensity * r[kk] * 0.0001 / hh;
        }
        const double dd = hh + d2;
        const double cg = cosd(gamma);
        sums.horizontal = sums.horizontal + intensity * cg / dd;
        sums.hemispherical = sums.hemispherical + intensity * (1.0 + cg) / (4.0 * dd);
        agedTerms[m] = agedAsphaltReflectance(gamma) * intensity * cg / dd;
        // An observer azimuth that gives a beta already looked up reuses that value.
        auto observed = [&](double viewing) {
            const double b = foldAzimuth(azimuth, viewing);
            for (std::size_t k = 0; k < beta.size(); ++k) {
                if (beta[k] == b) return r[k];
            }
            return clampedCoefficient(b, t);
        };
        sums.observer1 = sums.observer1 + intensity * observed(a1) * 0.0001 / hh;
        sums.observer2 = sums.observer2 + intensity * observed(a2) * 0.0001 / hh;
    }
}

}  // namespace

double clampedCoefficient(double beta, double tanGamma) {
    if (tanGamma > kReflectionCutoff) return 0.0;
    const double r = reducedLuminanceCoefficient(beta, tanGamma);
    return r < 0.0 ? 0.0 : r;
}

double observerAzimuth(const ComputationGrid& grid, const RoadInstallation& road, int observer, double x, double y) {
    if (road.gridChoice == 3) return 0.0;
    return atand((y - observerY(grid, road, observer)) / (x + grid.observerDistance));
}

void computeMainPass(const ComputationGrid& grid, const RoadInstallation& road, ResultMaps& maps, int workers) {
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;
    const double flux = road.lampFlux;
    const std::size_t perPoint = kMainRow.size();
    // The aged asphalt sum runs over the whole pass in visiting order; its terms are
    // kept per point and added up serially after the (possibly parallel) pass.
    std::vector<double> agedTerms(static_cast<std::size_t>(nX) * static_cast<std::size_t>(nY) * perPoint, 0.0);
    forEachColumn(nX, workers, [&](int i) {
        const auto ii = static_cast<std::size_t>(i);
        const double x = gridPointX(grid, i);
        for (int j = 0; j < nY; ++j) {
            const auto jj = static_cast<std::size_t>(j);
            PointSums sums;
            double* terms = agedTerms.data() + (ii * static_cast<std::size_t>(nY) + jj) * perPoint;
            evaluatePoint(grid, road, x, gridPointY(grid, j), sums, terms);
            for (std::size_t k = 0; k < sums.luminance.size(); ++k) {
                maps.luminanceByDirection[ii][jj][k] = sums.luminance[k] * flux;
            }
            maps.luminanceObserver1[ii][jj] = sums.observer1 * flux;
            maps.luminanceObserver2[ii][jj] = sums.observer2 * flux;
            maps.horizontalIlluminance[ii][jj] = sums.horizontal * flux;
            maps.hemisphericalIlluminance[ii][jj] = sums.hemispherical * flux;
        }
    });
    double g = 0.0;
    for (const double term : agedTerms) g = g + term;
    maps.agedAsphaltReflectedPercent =
        g * 10.0 * road.roadWidth * road.spacing / static_cast<double>(nX * nY * 100);
}

void makeMainMapsMaintained(const ComputationGrid& grid, double q, ResultMaps& maps) {
    for (std::size_t i = 0; i < static_cast<std::size_t>(grid.pointsAlongX); ++i) {
        for (std::size_t j = 0; j < static_cast<std::size_t>(grid.pointsAlongY); ++j) {
            maps.luminanceAtInfinity[i][j] = q * maps.luminanceByDirection[i][j][0];
            maps.luminanceObserver1[i][j] = maps.luminanceObserver1[i][j] * q;
            maps.luminanceObserver2[i][j] = maps.luminanceObserver2[i][j] * q;
            maps.horizontalIlluminance[i][j] = maps.horizontalIlluminance[i][j] * q;
            maps.hemisphericalIlluminance[i][j] = maps.hemisphericalIlluminance[i][j] * q;
        }
    }
}

void computeMainStatistics(const ComputationGrid& grid, ResultMaps& maps) {
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;
    maps.luminanceAtInfinityStats = computeMapStatistics(maps.luminanceAtInfinity, nX, nY);
    maps.luminanceObserver1Stats = computeMapStatistics(maps.luminanceObserver1, nX, nY);
    maps.overallUniformity1 = maps.luminanceObserver1Stats.minimum / maps.luminanceObserver1Stats.average;
    maps.lengthwiseUniformity1 =
        lengthwiseUniformity(maps.luminanceObserver1, nX, lengthwiseRow(nY, grid.observer1Offset, grid.offsetY));
    maps.luminanceObserver2Stats = computeMapStatistics(maps.luminanceObserver2, nX, nY);
    maps.overallUniformity2 = maps.luminanceObserver2Stats.minimum / maps.luminanceObserver2Stats.average;
    maps.lengthwiseUniformity2 =
        lengthwiseUniformity(maps.luminanceObserver2, nX, lengthwiseRow(nY, grid.observer2Offset, grid.offsetY));
    maps.horizontalIlluminanceStats = computeMapStatistics(maps.horizontalIlluminance, nX, nY);
    maps.hemisphericalIlluminanceStats = computeMapStatistics(maps.hemisphericalIlluminance, nX, nY);
}

}  // namespace vl
