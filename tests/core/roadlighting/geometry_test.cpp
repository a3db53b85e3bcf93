#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/roadlighting/grid.hpp"
#include "core/roadlighting/road_fixtures.hpp"
#include "core/roadlighting/road_geometry.hpp"
#include "support/test_support.hpp"
#include "writers/road_lighting_sections.hpp"

namespace vl {
namespace {

TEST(FoldAzimuth, ReflectionAngleOfTheEdgeDirections) {
    EXPECT_EQ(foldAzimuth(0.0, 0.0), 0.0);      // luminaire straight ahead
    EXPECT_EQ(foldAzimuth(180.0, 0.0), 180.0);  // straight behind
    EXPECT_EQ(foldAzimuth(90.0, 350.0), 100.0);
    EXPECT_EQ(foldAzimuth(350.0, 10.0), 20.0);
    EXPECT_EQ(foldAzimuth(10.0, 350.0), 20.0);
    EXPECT_EQ(foldAzimuth(270.0, 0.0), 90.0);
    // Negative observer azimuths fold the same way.
    EXPECT_EQ(foldAzimuth(30.0, -20.0), 50.0);
    EXPECT_EQ(foldAzimuth(340.0, -20.0), 0.0);
}

TEST(AzimuthToLuminaire, EveryCellOfTheTable) {
    // dy = 0
    EXPECT_EQ(azimuthToLuminaire(-5.0, 0.0), 0.0);
    EXPECT_EQ(azimuthToLuminaire(0.0, 0.0), 180.0);
    EXPECT_EQ(azimuthToLuminaire(5.0, 0.0), 180.0);
    // dy > 0: the luminaire lies towards -y
    EXPECT_DOUBLE_EQ(azimuthToLuminaire(-1.0, 1.0), 315.0);
    EXPECT_EQ(azimuthToLuminaire(0.0, 2.0), 270.0);
    EXPECT_DOUBLE_EQ(azimuthToLuminaire(1.0, 1.0), 225.0);
    // dy < 0: the luminaire lies towards +y
    EXPECT_DOUBLE_EQ(azimuthToLuminaire(-1.0, -1.0), 45.0);
    EXPECT_EQ(azimuthToLuminaire(0.0, -2.0), 90.0);
    EXPECT_DOUBLE_EQ(azimuthToLuminaire(1.0, -1.0), 135.0);
    // Off the diagonals: 30 deg from the x axis in each quadrant.
    const double r3 = std::sqrt(3.0);
    EXPECT_NEAR(azimuthToLuminaire(-r3, 1.0), 330.0, 1e-9);
    EXPECT_NEAR(azimuthToLuminaire(r3, 1.0), 210.0, 1e-9);
    EXPECT_NEAR(azimuthToLuminaire(-r3, -1.0), 30.0, 1e-9);
    EXPECT_NEAR(azimuthToLuminaire(r3, -1.0), 150.0, 1e-9);
}

TEST(LuminaireSets, OrdersOfTheSums) {
    for (std::size_t k = 0; k < kMainRow.size(); ++k) EXPECT_EQ(kMainRow[k], 14 - static_cast<int>(k));
    EXPECT_EQ(kGlareRowNearestFirst.front(), 0);
    EXPECT_EQ(kGlareRowFarthestFirst.front(), 14);
    EXPECT_EQ(kAheadOfPoint.size(), 14u);  // luminaire 0 is never ahead of a grid point
    EXPECT_EQ(kAheadOfPoint.back(), 1);
    EXPECT_EQ(kBehindPoint.front(), -14);
    EXPECT_EQ(kBehindPoint.back(), 0);
}

struct GridCase {
    RoadInstallation road = roadInstallation(test::formDefaults());
    ComputationGrid grid;
};

GridCase makeGrid(int nX, char flagX, int nY, char flagY) {
    GridCase c;
    c.grid = setupGrid(test::gridRecord(1, nX, flagX, nY, flagY), c.road, 0.0, 0.0);
    return c;
}

TEST(GridSetup, CellsOffsetsAndPointPositions) {
    const GridCase c = makeGrid(4, 'c', 2, 'b');
    EXPECT_EQ(c.grid.cellX, 6.0);
    EXPECT_EQ(c.grid.cellY, 3.5);
    EXPECT_EQ(c.grid.offsetX, 3.0);
    EXPECT_EQ(c.grid.offsetY, 0.0);
    EXPECT_EQ(gridPointX(c.grid, 0), 3.0 + 0.00001);  // the first column is shifted
    EXPECT_EQ(gridPointX(c.grid, 1), 9.0);
    EXPECT_EQ(gridPointX(c.grid, 3), 21.0);
    EXPECT_EQ(gridPointY(c.grid, 0), 0.0);
    EXPECT_EQ(gridPointY(c.grid, 1), 3.5);
    EXPECT_EQ(glareObserverX(c.road), -(7.0 - 1.5) / 0.363970234);
    EXPECT_EQ(observerY(c.grid, c.road, 1), 7.0 * 0.25);
    EXPECT_EQ(observerY(c.grid, c.road, 2), 7.0 * 0.75);
}

TEST(GridSetup, UnknownFlagKeepsTheEarlierOffset) {
    const RoadInstallation road = roadInstallation(test::formDefaults());
    const ComputationGrid first = setupGrid(test::gridRecord(1, 4, 'c', 2, 'c'), road, 0.0, 0.0);
    EXPECT_EQ(first.offsetX, 3.0);
    EXPECT_EQ(first.offsetY, 1.75);
    const ComputationGrid kept = setupGrid(test::gridRecord(1, 8, 'x', 4, 'B'), road, first.offsetX, first.offsetY);
    EXPECT_EQ(kept.offsetX, 3.0);  // still the half cell of the earlier record
    EXPECT_EQ(kept.offsetY, 1.75);
    EXPECT_EQ(kept.cellX, 3.0);
    const ComputationGrid border = setupGrid(test::gridRecord(1, 8, 'b', 4, 'b'), road, kept.offsetX, kept.offsetY);
    EXPECT_EQ(border.offsetX, 0.0);
    EXPECT_EQ(border.offsetY, 0.0);
}

TEST(GridSetup, CountsKeptWithinTheMaps) {
    const ComputationGrid grid = makeGrid(0, 'b', 500, 'b').grid;
    EXPECT_EQ(grid.pointsAlongX, 1);
    EXPECT_EQ(grid.pointsAlongY, kMaxGridPoints);
}

std::vector<std::string> gridDataLines(const GridCase& c) {
    test::ConsoleCapture capture;
    writeGridData(Stream::Console, c.grid, c.road);
    return capture.lines();
}

TEST(GridData, BorderPlacementLines) {
    const std::vector<std::string> expected = {
        "     ",
        " " + std::string(54, '-'),
        " Grid data:",
        "     ",
        " adopted grid Test field" + std::string(30, ' '),
        " luminaire spacing (m)                              24.00",
        " luminaire spacing ratio                             3.43",
        " luminaire tilt for computation (deg)                0.00",
        " road width (m)                                      7.00",
        " grid points along X 4",
        " grid points along Y 2",
        " grid dX (m)                                         6.00",
        " grid dY (m)                                         3.50",
        " points along X start at border",
        " first/last grid point x= 0.0, x= 18.00",
        " points along Y start at border",
        " first/last grid point y= 0.0, y=  3.50",
        " luminaire at x=0.0, y=  2.50",
        " observer 1 at z=  1.50, x=-60.00, y=  1.75",
        " observer 2 at z=  1.50, x=-60.00, y=  5.25",
    };
    EXPECT_EQ(gridDataLines(makeGrid(4, 'b', 2, 'b')), expected);
}

TEST(GridData, HalfCellPlacementLines) {
    const std::vector<std::string> lines = gridDataLines(makeGrid(4, 'c', 2, 'c'));
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_EQ(lines[13], " points along X start at half cellsize from the border");
    EXPECT_EQ(lines[14], " first/last grid point x=  3.00, x= 21.00");
    EXPECT_EQ(lines[15], " points along Y start at half cellsize from the border");
    EXPECT_EQ(lines[16], " first/last grid point y=  1.75, y=  5.25");
}

TEST(GridData, UnknownFlagWritesNoPlacementLines) {
    const std::vector<std::string> lines = gridDataLines(makeGrid(4, 'x', 2, 'c'));
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[13], " points along Y start at half cellsize from the border");
    EXPECT_EQ(lines[15], " luminaire at x=0.0, y=  2.50");
}

}  // namespace
}  // namespace vl
