#include "core/roadlighting/road_lighting.hpp"

#include "core/roadlighting/column_workers.hpp"
#include "core/roadlighting/glare.hpp"
#include "core/roadlighting/grid.hpp"
#include "core/roadlighting/luminance.hpp"
#include "core/roadlighting/summary.hpp"
#include "app/computation_state.hpp"

namespace vl {

void computeRoadLighting() {
    ComputationState& s = state();
    const RoadInstallation road = roadInstallationFromState();
    ComputationGrid& grid = s.grid;
    ResultMaps& maps = s.maps;

    setupGrid(grid, s.gridRecord, road);
    writeGridData(Stream::Console, grid, road);
    writeGridData(Stream::Report, grid, road);

    computeMainPass(grid, road, maps, kRoadLightingWorkers);
    computeGlareObservers(grid, road, maps);
    computeGlareMaps(grid, road, maps, kRoadLightingWorkers);

    const double q = road.maintenanceFactor;
    writeRoadLightingHeading(q);
    makeMainMapsMaintained(grid, q, maps);
    computeMainStatistics(grid, maps);
    computeGlareStatistics(grid, q, maps);

    writeRoadLightingBody(Stream::Console, maps);
    writeRoadLightingBody(Stream::Report, maps);
    writeEnergySection(road, s.emission, s.photometry, s.lamp, maps);
}

}  // namespace vl
