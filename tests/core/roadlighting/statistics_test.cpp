#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/roadlighting/map_statistics.hpp"

namespace vl {
namespace {

GridMap filledMap(int nX, int nY, double (*value)(int, int)) {
    GridMap map(nX, nY);
    for (int i = 0; i < nX; ++i) {
        for (int j = 0; j < nY; ++j) map(i, j) = value(i, j);
    }
    return map;
}

TEST(MapStatistics, AverageExtremesAndSampleSpread) {
    const MapStatistics s = computeMapStatistics(filledMap(2, 2, [](int i, int j) { return 1.0 + 2.0 * i + j; }));
    EXPECT_EQ(s.average, 2.5);  // values 1 2 3 4
    EXPECT_EQ(s.minimum, 1.0);
    EXPECT_EQ(s.maximum, 4.0);
    EXPECT_EQ(s.rms, std::sqrt(5.0 / 3.0));  // N - 1 in the denominator
}

TEST(MapStatistics, StartValuesShowThroughForExtremeMaps) {
    EXPECT_EQ(computeMapStatistics(filledMap(3, 2, [](int, int) { return -4.0; })).maximum, 0.0);
    EXPECT_EQ(computeMapStatistics(filledMap(3, 2, [](int, int) { return 0.0; })).maximum, 0.0);
    EXPECT_EQ(computeMapStatistics(filledMap(3, 2, [](int, int) { return 2.0e7; })).minimum, 9999999.0);
}

TEST(MapStatistics, SinglePointHasUndefinedSpread) {
    const MapStatistics s = computeMapStatistics(filledMap(1, 1, [](int, int) { return 7.0; }));
    EXPECT_EQ(s.average, 7.0);
    EXPECT_TRUE(std::isnan(s.rms));
}

TEST(LengthwiseRow, HalfCellPlacementUsesTheRoundedFormula) {
    EXPECT_EQ(lengthwiseRow(3, 0.25, 0.5), 1);
    EXPECT_EQ(lengthwiseRow(3, 0.75, 0.5), 3);
    EXPECT_EQ(lengthwiseRow(2, 0.5, 1.0), 2);  // the half rounds up (away from zero)
    EXPECT_EQ(lengthwiseRow(6, 0.25, 0.5), 2);
    EXPECT_EQ(lengthwiseRow(6, 0.75, 0.5), 5);
}

TEST(LengthwiseRow, BorderPlacementTakesTheNearestRow) {
    // Rows at y = 0, W/3, 2W/3: the observer at W/4 is nearest to the second.
    EXPECT_EQ(lengthwiseRow(3, 0.25, 0.0), 2);
    EXPECT_EQ(lengthwiseRow(3, 0.75, 0.0), 3);
    EXPECT_EQ(lengthwiseRow(2, 0.5, 0.0), 2);
    EXPECT_EQ(lengthwiseRow(12, 0.25, 0.0), 4);  // y = 3 W / 12
    EXPECT_EQ(lengthwiseRow(4, 0.0, 0.0), 1);
    EXPECT_EQ(lengthwiseRow(2, 0.9, 0.0), 2);  // nint(1.8) + 1 = 3 is kept within the grid
}

TEST(LengthwiseRow, AlwaysARowOfTheGrid) {
    EXPECT_EQ(lengthwiseRow(5, -0.5, 0.5), 1);
    EXPECT_EQ(lengthwiseRow(5, 3.0, 0.5), 5);
    EXPECT_EQ(lengthwiseRow(5, std::numeric_limits<double>::quiet_NaN(), 0.5), 1);
    EXPECT_EQ(lengthwiseRow(5, std::numeric_limits<double>::infinity(), 0.0), 5);
    EXPECT_EQ(lengthwiseRow(1, 0.99, 0.5), 1);
}

TEST(LengthwiseUniformity, RowMinimumOverRowMaximum) {
    const GridMap map = filledMap(3, 2, [](int i, int j) { return j == 1 ? 2.0 + i : 50.0; });
    EXPECT_EQ(lengthwiseUniformity(map, 2), 2.0 / 4.0);
    EXPECT_EQ(lengthwiseUniformity(map, 1), 1.0);
    EXPECT_TRUE(std::isnan(lengthwiseUniformity(filledMap(3, 2, [](int, int) { return 0.0; }), 1)));
}

}  // namespace
}  // namespace vl
