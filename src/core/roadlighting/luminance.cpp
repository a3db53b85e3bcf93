#include "core/roadlighting/luminance.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/roadlighting/column_workers.hpp"

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
void evaluatePoint(const ComputationGrid& grid, const RoadInstallation& road, const RoadLookups& lookups, double x,
                   double y, PointSums& sums, double* agedTerms) {
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
        const double intensity = lookups.luminaire.at(azimuth + 180.0, gamma);
        for (int k = 0; k < kDirections; ++k) {
            const auto kk = static_cast<std::size_t>(k);
            beta[kk] = foldAzimuth(azimuth, static_cast<double>(10 * k));
            r[kk] = clampedCoefficient(lookups.surface, beta[kk], t);
            sums.luminance[kk] = sums.luminance[kk] + intensity * r[kk] * 0.0001 / hh;
        }
        const double dd = hh + d2;
        const double cg = cosd(gamma);
        sums.horizontal = sums.horizontal + intensity * cg / dd;
        sums.hemispherical = sums.hemispherical + intensity * (1.0 + cg) / (4.0 * dd);
        agedTerms[m] = lookups.agedAsphalt.at(gamma) * intensity * cg / dd;
        // An observer azimuth that gives a beta already looked up reuses that value.
        auto observed = [&](double viewing) {
            const double b = foldAzimuth(azimuth, viewing);
            for (std::size_t k = 0; k < beta.size(); ++k) {
                if (beta[k] == b) return r[k];
            }
            return clampedCoefficient(lookups.surface, b, t);
        };
        sums.observer1 = sums.observer1 + intensity * observed(a1) * 0.0001 / hh;
        sums.observer2 = sums.observer2 + intensity * observed(a2) * 0.0001 / hh;
    }
}

}  // namespace

double clampedCoefficient(const SurfaceReflection& surface, double beta, double tanGamma) {
    if (tanGamma > kReflectionCutoff) return 0.0;
    const double r = surface.coefficient(beta, tanGamma);
    return r < 0.0 ? 0.0 : r;
}

double observerAzimuth(const ComputationGrid& grid, const RoadInstallation& road, int observer, double x, double y) {
    if (road.gridChoice == 3) return 0.0;
    return atand((y - observerY(grid, road, observer)) / (x + grid.observerDistance));
}

double horizontalIlluminanceAt(const RoadInstallation& road, const LuminaireIntensity& luminaire, double x, double y) {
    const double h = road.poleHeight;
    const double hh = h * h;
    double sum = 0.0;
    for (const int n : kMainRow) {
        const double xQ = static_cast<double>(n) * road.spacing;
        const double dx = x - xQ;
        const double dy = y - road.overhang;
        const double d2 = dy * dy + dx * dx;
        const double gamma = atand(std::sqrt(d2) / h);
        const double intensity = luminaire.at(azimuthToLuminaire(dx, dy) + 180.0, gamma);
        sum = sum + intensity * cosd(gamma) / (hh + d2);
    }
    return sum * road.lampFlux * road.maintenanceFactor;
}

MainPass computeMainPass(const ComputationGrid& grid, const RoadInstallation& road, const RoadLookups& lookups,
                         int workers, DirectionalLuminance& luminanceByDirection) {
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;
    const double flux = road.lampFlux;
    const std::size_t perPoint = kMainRow.size();
    const std::size_t points = static_cast<std::size_t>(nX) * static_cast<std::size_t>(nY);
    MainPass pass{GridMap(nX, nY), GridMap(nX, nY), GridMap(nX, nY), GridMap(nX, nY), 0.0};
    luminanceByDirection.assign(points * kDirections, 0.0);
    // The aged asphalt sum runs over the whole pass in visiting order; its terms are
    // kept per point and added up serially after the (possibly parallel) pass.
    std::vector<double> agedTerms(points * perPoint, 0.0);
    forEachColumn(nX, workers, [&](int i) {
        const double x = gridPointX(grid, i);
        for (int j = 0; j < nY; ++j) {
            const std::size_t point = static_cast<std::size_t>(i) * static_cast<std::size_t>(nY) + static_cast<std::size_t>(j);
            PointSums sums;
            evaluatePoint(grid, road, lookups, x, gridPointY(grid, j), sums, agedTerms.data() + point * perPoint);
            for (std::size_t k = 0; k < sums.luminance.size(); ++k) {
                luminanceByDirection[point * kDirections + k] = sums.luminance[k] * flux;
            }
            pass.luminanceObserver1(i, j) = sums.observer1 * flux;
            pass.luminanceObserver2(i, j) = sums.observer2 * flux;
            pass.horizontalIlluminance(i, j) = sums.horizontal * flux;
            pass.hemisphericalIlluminance(i, j) = sums.hemispherical * flux;
        }
    });
    double g = 0.0;
    for (const double term : agedTerms) g = g + term;
    pass.agedAsphaltReflectedPercent = g * 10.0 * road.roadWidth * road.spacing / static_cast<double>(nX * nY * 100);
    return pass;
}

}  // namespace vl
