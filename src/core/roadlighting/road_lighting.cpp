#include "core/roadlighting/road_lighting.hpp"

#include "core/roadlighting/glare.hpp"
#include "core/roadlighting/luminance.hpp"
#include "core/roadlighting/map_statistics.hpp"
#include "core/roadlighting/summary.hpp"

namespace vl {

RoadLightingResult computeRoadLighting(const InstallationData& installation, const GridChoice& record,
                                       const ComputationGrid& earlierGrid, const RoadLookups& lookups,
                                       const EmissionData& emission, const PhotometryTable& photometry,
                                       const LampSet& lamp, int workers, const ColumnControl& control,
                                       DirectionalLuminance& luminanceByDirection) {
    const RoadInstallation road = roadInstallation(installation);
    RoadLightingResult r;
    r.grid = setupGrid(record, road, earlierGrid.offsetX, earlierGrid.offsetY);
    const ComputationGrid& grid = r.grid;
    const int nX = grid.pointsAlongX;
    const int nY = grid.pointsAlongY;

    // A tilted run's glare maps take a second pass over the columns: each pass is half the phase.
    const double mainShare = mainPassComputesGlare(lookups) ? 1.0 : 0.5;
    auto share = [&control](double from, double width) {
        ColumnControl part{control.cancel, {}};
        if (control.progress) {
            part.progress = [&control, from, width](double fraction) { control.progress(from + width * fraction); };
        }
        return part;
    };
    MainPass pass = computeMainPass(grid, road, lookups, workers, luminanceByDirection, share(0.0, mainShare));
    const GlareObservers observers = computeGlareObservers(grid, road, lookups.luminaire);
    GlareMaps glare = pass.glare ? std::move(*pass.glare)
                                 : computeGlareMaps(grid, road, lookups.luminaire, workers, share(mainShare, 0.5));
    r.agedAsphaltReflectedPercent = pass.agedAsphaltReflectedPercent;
    r.veilingLuminanceObserver1 = observers.veilingLuminance1;
    r.veilingLuminanceObserver2 = observers.veilingLuminance2;

    // Maintained maps: the initial ones times q.
    const double q = road.maintenanceFactor;
    r.luminanceAtInfinity = GridMap(nX, nY);
    r.luminanceObserver1 = std::move(pass.luminanceObserver1);
    r.luminanceObserver2 = std::move(pass.luminanceObserver2);
    r.horizontalIlluminance = std::move(pass.horizontalIlluminance);
    r.hemisphericalIlluminance = std::move(pass.hemisphericalIlluminance);
    for (int i = 0; i < nX; ++i) {
        for (int j = 0; j < nY; ++j) {
            const std::size_t point = static_cast<std::size_t>(i) * static_cast<std::size_t>(nY) + static_cast<std::size_t>(j);
            r.luminanceAtInfinity(i, j) = q * luminanceByDirection[point * kDirections];
            r.luminanceObserver1(i, j) = r.luminanceObserver1(i, j) * q;
            r.luminanceObserver2(i, j) = r.luminanceObserver2(i, j) * q;
            r.horizontalIlluminance(i, j) = r.horizontalIlluminance(i, j) * q;
            r.hemisphericalIlluminance(i, j) = r.hemisphericalIlluminance(i, j) * q;
        }
    }

    r.luminanceAtInfinityStats = computeMapStatistics(r.luminanceAtInfinity);
    r.luminanceObserver1Stats = computeMapStatistics(r.luminanceObserver1);
    r.overallUniformity1 = r.luminanceObserver1Stats.minimum / r.luminanceObserver1Stats.average;
    r.lengthwiseUniformity1 =
        lengthwiseUniformity(r.luminanceObserver1, lengthwiseRow(nY, grid.observer1Offset, grid.offsetY));
    r.luminanceObserver2Stats = computeMapStatistics(r.luminanceObserver2);
    r.overallUniformity2 = r.luminanceObserver2Stats.minimum / r.luminanceObserver2Stats.average;
    r.lengthwiseUniformity2 =
        lengthwiseUniformity(r.luminanceObserver2, lengthwiseRow(nY, grid.observer2Offset, grid.offsetY));
    r.horizontalIlluminanceStats = computeMapStatistics(r.horizontalIlluminance);
    r.hemisphericalIlluminanceStats = computeMapStatistics(r.hemisphericalIlluminance);

    r.veilingLuminance = std::move(glare.veilingLuminance);
    r.semicylindricalIlluminance = std::move(glare.semicylindricalIlluminance);
    r.verticalIlluminance = std::move(glare.verticalIlluminance);
    computeGlareStatistics(q, r);

    r.energy = computeEnergyFigures(r, road, emission, photometry, lamp);
    return r;
}

}  // namespace vl
