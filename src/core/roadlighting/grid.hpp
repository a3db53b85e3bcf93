// The computational grid over one spacing of the road and the observers.
#pragma once

#include <string>

#include "core/roadlighting/road_geometry.hpp"
#include "core/run/installation.hpp"

namespace vl {

inline constexpr int kMaxGridPoints = 200;             // nX, nY bound of the maps
inline constexpr double kFirstColumnShift = 0.00001;  // m, the first column is evaluated just past its node

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

// The grid of the chosen record. The counts are kept within the map extent 1..200; a
// start flag other than "b" or "c" leaves that axis's offset as an earlier grid had it.
ComputationGrid setupGrid(const GridChoice& record, const RoadInstallation& road, double earlierOffsetX,
                          double earlierOffsetY);

// Evaluated point positions, i and j 0-based (the first column shifted).
inline double gridPointX(const ComputationGrid& grid, int i) {
    if (i == 0) return grid.offsetX + kFirstColumnShift;
    return grid.offsetX + static_cast<double>(i) * grid.cellX;
}
inline double gridPointY(const ComputationGrid& grid, int j) {
    return grid.offsetY + static_cast<double>(j) * grid.cellY;
}

// Lateral positions of observers 1 and 2 (also of the glare observers).
inline double observerY(const ComputationGrid& grid, const RoadInstallation& road, int observer) {
    return road.roadWidth * (observer == 1 ? grid.observer1Offset : grid.observer2Offset);
}

// Eye x of the glare observers: luminaire 0 appears 20 deg above the eye's horizontal.
inline double glareObserverX(const RoadInstallation& road) {
    return -(road.poleHeight - kEyeHeight) / kTan20;
}

}  // namespace vl
