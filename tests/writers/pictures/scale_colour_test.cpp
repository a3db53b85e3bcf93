#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "writers/pictures/colour_map.hpp"
#include "writers/pictures/scale.hpp"

namespace vl::pictures {
namespace {

bool roundStep(double step) {
    const double mantissa = step / std::pow(10.0, std::floor(std::log10(step)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (std::fabs(mantissa - m) < 1e-9) return true;
    }
    return false;
}

TEST(NiceNumbers, LevelsAreRoundMultiplesStrictlyInsideTheRange) {
    EXPECT_EQ(niceLevels(0.31, 2.87, 8), (std::vector<double>{0.5, 1.0, 1.5, 2.0, 2.5}));
    EXPECT_EQ(niceLevels(0, 10, 5), (std::vector<double>{2, 4, 6, 8}));  // the extremes are left out
    std::mt19937 random(7);
    std::uniform_real_distribution<double> exponent(-4, 6);
    for (int trial = 0; trial < 500; ++trial) {
        const double lo = std::pow(10.0, exponent(random)) * (trial % 3 == 0 ? -1 : 1);
        const double hi = lo + std::pow(10.0, exponent(random));
        const int count = 2 + trial % 9;
        const double step = niceStep(hi - lo, count);
        ASSERT_TRUE(roundStep(step)) << step;
        ASSERT_GE(step * count, (hi - lo) * (1 - 1e-9));
        const auto levels = niceLevels(lo, hi, count);
        ASSERT_LE(levels.size(), static_cast<std::size_t>(count));
        for (std::size_t k = 0; k < levels.size(); ++k) {
            ASSERT_GT(levels[k], lo);
            ASSERT_LT(levels[k], hi);
            ASSERT_NEAR(levels[k] / step, std::round(levels[k] / step), 1e-6 + 1e-14 * std::fabs(levels[k] / step));
            if (k > 0) {
                ASSERT_NEAR(levels[k] - levels[k - 1], step, 1e-9 * step + 1e-14 * std::fabs(levels[k]));
            }
        }
    }
    // No level for a constant, reversed or non-finite range.
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(niceLevels(3, 3, 8).empty());
    EXPECT_TRUE(niceLevels(3, 1, 8).empty());
    EXPECT_TRUE(niceLevels(0, inf, 8).empty());
    EXPECT_TRUE(niceLevels(std::nan(""), 1, 8).empty());
    EXPECT_EQ(niceRange(0.31, 2.87, 5).lo, 0.0);
    EXPECT_EQ(niceRange(0.31, 2.87, 5).hi, 3.0);
}

TEST(NiceNumbers, LabelsCarryTheDecimalsOfTheStep) {
    EXPECT_EQ(formatTick(2.5, 0.5), "2.5");
    EXPECT_EQ(formatTick(3 * 0.1, 0.1), "0.3");
    EXPECT_EQ(formatTick(0.75, 0.25), "0.75");
    EXPECT_EQ(formatTick(-0.25, 0.25), "\u22120.25");
    EXPECT_EQ(formatTick(-1e-17, 0.1), "0");
    EXPECT_EQ(formatTick(150, 50), "150");
    EXPECT_EQ(formatTick(2.5e8, 5e7), "2.5e+08");
    EXPECT_EQ(formatValue(0.4567), "0.457");
    EXPECT_EQ(formatValue(-12.34), "\u221212.3");
    EXPECT_EQ(formatValue(std::numeric_limits<double>::infinity()), "+\u221e");
    EXPECT_EQ(formatValue(std::nan("")), "NaN");
}

TEST(ColourMap, ViridisIsThePublishedTableAndItsLightnessRisesThroughout) {
    const auto table = viridisTable();
    // First, middle and last rows of the published table.
    EXPECT_EQ(table[0], (std::array<double, 3>{0.267004, 0.004874, 0.329415}));
    EXPECT_EQ(table[128], (std::array<double, 3>{0.127568, 0.566949, 0.550556}));
    EXPECT_EQ(table[255], (std::array<double, 3>{0.993248, 0.906157, 0.143936}));
    // Read in grey, the scale keeps its order: CIE L* rises from entry to entry.
    double previous = -1;
    for (const auto& row : table) {
        const double l = lightness({row[0], row[1], row[2]});
        ASSERT_GT(l, previous);
        previous = l;
    }
    EXPECT_NEAR(lightness({1, 1, 1}), 100, 1e-9);
    // Ends, clamping, interpolation and the missing-value colour.
    EXPECT_EQ(viridis(-3).r, table[0][0]);
    EXPECT_EQ(viridis(7).b, table[255][2]);
    const Rgb mid = viridis(127.5 / 255);
    EXPECT_NEAR(mid.g, 0.5 * (table[127][1] + table[128][1]), 1e-12);
    EXPECT_EQ(viridis(std::nan("")).r, kNoValue.r);
}

}  // namespace
}  // namespace vl::pictures
