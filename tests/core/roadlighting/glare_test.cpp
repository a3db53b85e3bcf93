#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/roadlighting/glare.hpp"
#include "core/roadlighting/grid.hpp"
#include "core/roadlighting/road_fixtures.hpp"
#include "core/roadlighting/road_lighting.hpp"

namespace vl {
namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(VeilingContribution, LuminaireStraightAheadFollowsTheInverseSquareAngleLaw) {
    // Eye 1.5 m above the luminaire line (y = V), luminaire 20 m ahead and 5.5 m above the
    // eye: Lv = 10 E / theta^2, E = I cos(theta) / D^2, theta (deg) between the luminaire
    // and the line of sight 1 deg below the horizontal.
    const test::RoadTables tables = test::syntheticTables(100.0);
    const RoadInstallation road = roadInstallation(test::formDefaults());
    const double theta = std::atan(5.5 / 20.0) * 180.0 / 3.14159265358979323846 + 1.0;
    const double d2 = 5.5 * 5.5 + 20.0 * 20.0;
    const double expected = 10.0 * 100.0 * std::cos(theta * 3.14159265358979323846 / 180.0) / (d2 * theta * theta);
    EXPECT_NEAR(veilingContribution(road, tables.luminaire, 3.0, 2.5, 23.0), expected, expected * 1e-7);
    // The glare observers stand where luminaire 0 is seen 20 deg above the eye's horizontal.
    EXPECT_NEAR(atand(5.5 / (0.0 - glareObserverX(road))), 20.0, 1e-7);
}

class BundledGlare : public ::testing::Test {
protected:
    const test::RoadTables tables = test::bundledTables();
    const RoadInstallation road = roadInstallation(test::formDefaults());
    const ComputationGrid grid = setupGrid(test::gridRecord(1, 10, 'c', 6, 'c'), road, 0.0, 0.0);
    const LuminaireIntensity& luminaire = tables.luminaire;

    // The observer sum replayed, counting the luminaires below 2 % of the running sum.
    double replayedSum(double yE, const std::vector<int>& order, int& skipped) const {
        const double xE = glareObserverX(road);
        double sum = 0.0;
        skipped = 0;
        for (const int n : order) {
            const double c = veilingContribution(road, luminaire, xE, yE, n * road.spacing);
            if (0.02 * sum <= c) {
                sum = sum + c;
            } else {
                ++skipped;
            }
        }
        return sum;
    }
};

TEST_F(BundledGlare, ObserversKeepTheirOwnOrderAndTheTwoPercentSkip) {
    const std::vector<int> nearest(kGlareRowNearestFirst.begin(), kGlareRowNearestFirst.end());
    const std::vector<int> farthest(kGlareRowFarthestFirst.begin(), kGlareRowFarthestFirst.end());
    int skippedNear = 0;
    int skippedFar = 0;
    const double y1 = observerY(grid, road, 1);
    const double near = replayedSum(y1, nearest, skippedNear);
    const double far = replayedSum(y1, farthest, skippedFar);
    EXPECT_TRUE(sameBits(glareObserverVeiling(road, luminaire, y1, kGlareRowNearestFirst), near));
    EXPECT_TRUE(sameBits(glareObserverVeiling(road, luminaire, y1, kGlareRowFarthestFirst), far));
    // Nearest first: the faint distant luminaires fall below 2 % of the sum.
    EXPECT_GT(skippedNear, 0);
    EXPECT_EQ(skippedFar, 0);
    EXPECT_LT(near, far);

    // Observer 1 sums nearest first, observer 2 farthest first.
    const GlareObservers observers = computeGlareObservers(grid, road, luminaire);
    EXPECT_TRUE(sameBits(observers.veilingLuminance1, near * road.lampFlux));
    int skipped2 = 0;
    const double second = replayedSum(observerY(grid, road, 2), farthest, skipped2);
    EXPECT_TRUE(sameBits(observers.veilingLuminance2, second * road.lampFlux));
}

TEST_F(BundledGlare, FirstLuminaireIsAlwaysAdded) {
    const std::array<int, 1> single = {14};
    const double c = veilingContribution(road, luminaire, glareObserverX(road), 1.75, 14 * 24.0);
    EXPECT_TRUE(sameBits(glareObserverVeiling(road, luminaire, 1.75, single), c));
}

TEST_F(BundledGlare, VeilingMapDropsLuminairesAboveTwentyDegrees) {
    const GlareMaps maps = computeGlareMaps(grid, road, luminaire, 2);
    // Last column x = 22.8: luminaire 1 stands 1.2 m ahead, far above 20 deg.
    const double x = gridPointX(grid, 9);
    const double y = gridPointY(grid, 2);
    double withoutFirst = 0.0;
    for (int n = 14; n >= 2; --n) withoutFirst = withoutFirst + veilingContribution(road, luminaire, x, y, n * 24.0);
    EXPECT_TRUE(sameBits(maps.veilingLuminance(9, 2), withoutFirst * road.lampFlux));
    // First column: luminaire 1 is 24 m ahead, below 20 deg, and counts.
    const double x0 = gridPointX(grid, 0);
    double all = 0.0;
    for (int n = 14; n >= 1; --n) all = all + veilingContribution(road, luminaire, x0, y, n * 24.0);
    EXPECT_TRUE(sameBits(maps.veilingLuminance(0, 2), all * road.lampFlux));
}

TEST(VerticalIlluminance, IsotropicLuminairesBehindThePoint) {
    const test::RoadTables tables = test::syntheticTables(100.0);
    InstallationData in = test::formDefaults();
    in.lampFlux = 1.0;
    const RoadInstallation road = roadInstallation(in);
    const ComputationGrid grid = setupGrid(test::gridRecord(1, 2, 'c', 2, 'c'), road, 0.0, 0.0);
    const GlareMaps maps = computeGlareMaps(grid, road, tables.luminaire, 1);
    const double x = gridPointX(grid, 1);
    const double y = gridPointY(grid, 0);
    double esc = 0.0;
    double ev = 0.0;
    for (int n = -14; n <= 0; ++n) {
        const double dx = x - n * 24.0;
        const double dy = y - 2.5;
        const double d = std::sqrt(dx * dx + dy * dy);
        const double dist = std::sqrt(d * d + 5.5 * 5.5);
        const double sinG = d / dist;
        const double cosG = 5.5 / dist;
        // p: horizontal cosine between the direction to the luminaire and -x.
        const double p = dx / d;
        const double w = 100.0 * sinG * cosG * cosG;
        esc += (p + 1.0) * w / (3.1415926 * 5.5 * 5.5);
        ev += p * w / (5.5 * 5.5);
    }
    EXPECT_NEAR(maps.semicylindricalIlluminance(1, 0), esc, esc * 1e-9);
    EXPECT_NEAR(maps.verticalIlluminance(1, 0), ev, ev * 1e-9);
    EXPECT_GT(ev, 0.0);
}

TEST(GlareFormulas, ThresholdIncrementAndGlareRating) {
    // TI = 65 Lv / L^0.8: at L = 1 cd/m^2 it is 65 Lv.
    EXPECT_NEAR(thresholdIncrement(0.3, 1.0), 19.5, 1e-12);
    EXPECT_NEAR(thresholdIncrement(0.3, 1.5) / thresholdIncrement(0.3, 3.0), std::pow(2.0, 0.8), 1e-6);
    // GR = 27 + 24 log10(Lv / Le^0.9), Le = 0.035 L_initial: Le = 1 gives 27, and ten times
    // the veiling luminance adds 24.
    const double unitEnvironment = 0.8 / 0.035;
    EXPECT_NEAR(glareRating(1.0, unitEnvironment, 0.8), 27.0, 1e-12);
    EXPECT_NEAR(glareRating(10.0, unitEnvironment, 0.8), 51.0, 1e-12);
    // Undefined cases give non-finite values, not a crash.
    EXPECT_TRUE(std::isinf(thresholdIncrement(0.3, 0.0)));
    EXPECT_TRUE(std::isinf(glareRating(0.0, 1.2, 0.8)));
    EXPECT_TRUE(std::isnan(glareRating(0.0, 0.0, 0.8)));
}

TEST(GlareStatistics, HalvingTheMaintenanceFactorKeepsTheGlareFigures) {
    const test::RoadTables tables = test::bundledTables();
    InstallationData in = test::formDefaults();
    const GridChoice record = test::gridRecord(1, 10, 'c', 6, 'c');
    const RoadLightingResult full = test::roadLighting(tables, in, record);
    in.maintenanceFactor = 0.4;
    const RoadLightingResult half = test::roadLighting(tables, in, record);
    EXPECT_NEAR(half.thresholdIncrement1, full.thresholdIncrement1, 1e-12 * full.thresholdIncrement1);
    EXPECT_NEAR(half.thresholdIncrement2, full.thresholdIncrement2, 1e-12 * full.thresholdIncrement2);
    EXPECT_EQ(half.veilingLuminanceObserver1, full.veilingLuminanceObserver1);
    EXPECT_EQ(half.veilingLuminanceStats.average, full.veilingLuminanceStats.average);
    EXPECT_NEAR(half.glareRatingStats.average, full.glareRatingStats.average, 1e-12);
    EXPECT_NEAR(half.overallUniformity1, full.overallUniformity1, 1e-12);
    EXPECT_NEAR(half.lengthwiseUniformity2, full.lengthwiseUniformity2, 1e-12);
    EXPECT_NEAR(half.luminanceObserver1Stats.average, full.luminanceObserver1Stats.average / 2.0, 1e-12);
    EXPECT_NEAR(half.semicylindricalIlluminanceStats.maximum, full.semicylindricalIlluminanceStats.maximum / 2.0,
                1e-12);
    EXPECT_NEAR(half.hemisphericalIlluminanceStats.minimum, full.hemisphericalIlluminanceStats.minimum / 2.0, 1e-12);
    EXPECT_GT(full.thresholdIncrement1, 0.0);
    EXPECT_LT(full.thresholdIncrement1, 100.0);
}

}  // namespace
}  // namespace vl
