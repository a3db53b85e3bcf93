// The computational grid over one spacing of the road, the observers, and the
// "Grid data:" section.
#pragma once

#include "writers/streams.hpp"
#include "core/roadlighting/road_geometry.hpp"
#include "app/computation_state.hpp"

namespace vl {

inline constexpr double kFirstColumnShift = 0.00001;  // m, the first column is evaluated just past its node

// Fills the grid from the chosen record. The counts are kept within the map extent
// 1..200; an unknown start flag leaves that axis's offset as it was.
void setupGrid(ComputationGrid& grid, const GridChoice& record, const RoadInstallation& road);

// The "Grid data:" section on one stream.
void writeGridData(Stream stream, const ComputationGrid& grid, const RoadInstallation& road);

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
