#include "core/roadlighting/grid.hpp"

#include <algorithm>
#include <string>

#include "writers/format.hpp"

namespace vl {

namespace {

int withinMapExtent(int count) { return std::clamp(count, 1, kMaxGridPoints); }

std::string label50(const char* text) { return fmt::padded(text, 50); }

// Lines 14 and 15: the placement along one axis ("b" border, "c" half cell, else none).
void writePlacement(Stream stream, char flag, const std::string& lower, const std::string& upper, int count,
                    double length, double cell) {
    if (flag == 'b') {
        listText(stream, "points along " + upper + " start at border");
        const double last = (static_cast<double>(count - 1) * length) / static_cast<double>(count);
        writeLine(stream, " first/last grid point " + lower + "= 0.0, " + lower + "=" + fmt::F(last, 6, 2));
    } else if (flag == 'c') {
        listText(stream, "points along " + upper + " start at half cellsize from the border");
        writeLine(stream, " first/last grid point " + lower + "=" + fmt::F(cell / 2.0, 6, 2) + ", " + lower + "=" +
                              fmt::F(length - cell / 2.0, 6, 2));
    }
}

}  // namespace

void setupGrid(ComputationGrid& grid, const GridChoice& record, const RoadInstallation& road) {
    grid.gridTitle = record.gridTitle;
    grid.pointsAlongX = withinMapExtent(record.pointsAlongX);
    grid.pointsAlongY = withinMapExtent(record.pointsAlongY);
    grid.startFlagX = record.startFlagX;
    grid.startFlagY = record.startFlagY;
    grid.observerDistance = record.observerDistance;
    grid.observerHeight = record.observerHeight;
    grid.observer1Offset = record.observer1Offset;
    grid.observer2Offset = record.observer2Offset;
    grid.cellX = road.spacing / static_cast<double>(grid.pointsAlongX);
    grid.cellY = road.roadWidth / static_cast<double>(grid.pointsAlongY);
    if (grid.startFlagX == 'b') grid.offsetX = 0.0;
    if (grid.startFlagX == 'c') grid.offsetX = grid.cellX / 2.0;
    if (grid.startFlagY == 'b') grid.offsetY = 0.0;
    if (grid.startFlagY == 'c') grid.offsetY = grid.cellY / 2.0;
}

void writeGridData(Stream stream, const ComputationGrid& grid, const RoadInstallation& road) {
    sectionHeading(stream, "Grid data:");
    writeLine(stream, fmt::ListLine().text("adopted grid ").text(fmt::padded(grid.gridTitle, 40)).str());
    writeLine(stream, label50(" luminaire spacing (m)") + fmt::F(road.spacing, 7, 2));
    writeLine(stream, label50(" luminaire spacing ratio") + fmt::F(road.spacing / road.poleHeight, 7, 2));
    writeLine(stream, label50(" luminaire tilt for computation (deg)") + fmt::F(road.tilt, 7, 2));
    writeLine(stream, label50(" road width (m)") + fmt::F(road.roadWidth, 7, 2));
    writeLine(stream, fmt::ListLine().text("grid points along X").integer(grid.pointsAlongX).str());
    writeLine(stream, fmt::ListLine().text("grid points along Y").integer(grid.pointsAlongY).str());
    writeLine(stream, label50(" grid dX (m)") + fmt::F(grid.cellX, 7, 2));
    writeLine(stream, label50(" grid dY (m)") + fmt::F(grid.cellY, 7, 2));
    writePlacement(stream, grid.startFlagX, "x", "X", grid.pointsAlongX, road.spacing, grid.cellX);
    writePlacement(stream, grid.startFlagY, "y", "Y", grid.pointsAlongY, road.roadWidth, grid.cellY);
    writeLine(stream, " luminaire at x=0.0, y=" + fmt::F(road.overhang, 6, 2));
    const double d = -grid.observerDistance;
    writeLine(stream, " observer 1 at z=" + fmt::F(grid.observerHeight, 6, 2) + ", x=" + fmt::F(d, 6, 2) +
                          ", y=" + fmt::F(observerY(grid, road, 1), 6, 2));
    writeLine(stream, " observer 2 at z=" + fmt::F(grid.observerHeight, 6, 2) + ", x=" + fmt::F(d, 6, 2) +
                          ", y=" + fmt::F(observerY(grid, road, 2), 6, 2));
}

}  // namespace vl
