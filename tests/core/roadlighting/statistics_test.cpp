#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "core/roadlighting/map_statistics.hpp"

namespace vl {
namespace {

std::unique_ptr<GridMap> filledMap(int nX, int nY, double (*value)(int, int)) {
    auto map = std::make_unique<GridMap>();
    for (int i = 0; i < nX; ++i) {
        for (int j = 0; j < nY; ++j) (*map)[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = value(i, j);
    }
    return map;
}

TEST(MapStatistics, AverageExtremesAndSampleSpread) {
    const auto map = filledMap(2, 2, [](int i, int j) { return 1.0 + 2.0 * i + j; });  // 1 2 3 4
    const MapStatistics s = computeMapStatistics(*map, 2, 2);
    EXPECT_EQ(s.average, 2.5);
    EXPECT_EQ(s.minimum, 1.0);
    EXPECT_EQ(s.maximum, 4.0);
    EXPECT_EQ(s.rms, std::sqrt(5.0 / 3.0));  // N - 1 in the denominator
}

TEST(MapStatistics, StartValuesShowThroughForExtremeMaps) {
    const auto negative = filledMap(3, 2, [](int, int) { return -4.0; });
    EXPECT_EQ(computeMapStatistics(*negative, 3, 2).maximum, 0.0);
    const auto zero = filledMap(3, 2, [](int, int) { return 0.0; });
    EXPECT_EQ(computeMapStatistics(*zero, 3, 2).maximum, 0.0);
    const auto huge = filledMap(3, 2, [](int, int) { return 2.0e7; });
    EXPECT_EQ(computeMapStatistics(*huge, 3, 2).minimum, 9999999.0);
}

TEST(MapStatistics, OnlyTheGridPartOfTheMapCounts) {
    auto map = filledMap(200, 200, [](int, int) { return 100.0; });
    (*map)[0][0] = 1.0;
    (*map)[0][1] = 3.0;
    const MapStatistics s = computeMapStatistics(*map, 1, 2);
    EXPECT_EQ(s.average, 2.0);
    EXPECT_EQ(s.maximum, 3.0);
}

TEST(MapStatistics, SinglePointHasUndefinedSpread) {
    const auto map = filledMap(1, 1, [](int, int) { return 7.0; });
    const MapStatistics s = computeMapStatistics(*map, 1, 1);
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
    auto map = filledMap(3, 2, [](int i, int j) { return j == 1 ? 2.0 + i : 50.0; });
    EXPECT_EQ(lengthwiseUniformity(*map, 3, 2), 2.0 / 4.0);
    EXPECT_EQ(lengthwiseUniformity(*map, 3, 1), 1.0);
    auto dark = filledMap(3, 2, [](int, int) { return 0.0; });
    EXPECT_TRUE(std::isnan(lengthwiseUniformity(*dark, 3, 1)));
}

}  // namespace
}  // namespace vl
