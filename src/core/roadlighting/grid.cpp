#include "core/roadlighting/grid.hpp"

#include <algorithm>

namespace vl {

ComputationGrid setupGrid(const GridChoice& record, const RoadInstallation& road, double earlierOffsetX,
                          double earlierOffsetY) {
    ComputationGrid grid;
    grid.gridTitle = record.gridTitle;
    grid.pointsAlongX = std::clamp(record.pointsAlongX, 1, kMaxGridPoints);
    grid.pointsAlongY = std::clamp(record.pointsAlongY, 1, kMaxGridPoints);
    grid.startFlagX = record.startFlagX;
    grid.startFlagY = record.startFlagY;
    grid.observerDistance = record.observerDistance;
    grid.observerHeight = record.observerHeight;
    grid.observer1Offset = record.observer1Offset;
    grid.observer2Offset = record.observer2Offset;
    grid.cellX = road.spacing / static_cast<double>(grid.pointsAlongX);
    grid.cellY = road.roadWidth / static_cast<double>(grid.pointsAlongY);
    grid.offsetX = earlierOffsetX;
    grid.offsetY = earlierOffsetY;
    if (grid.startFlagX == 'b') grid.offsetX = 0.0;
    if (grid.startFlagX == 'c') grid.offsetX = grid.cellX / 2.0;
    if (grid.startFlagY == 'b') grid.offsetY = 0.0;
    if (grid.startFlagY == 'c') grid.offsetY = grid.cellY / 2.0;
    return grid;
}

}  // namespace vl
