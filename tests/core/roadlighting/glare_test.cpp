#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/roadlighting/glare.hpp"
#include "core/roadlighting/grid.hpp"
#include "core/roadlighting/road_fixtures.hpp"
#include "core/roadlighting/road_lighting.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class BundledGlare : public ::testing::Test {
protected:
    void SetUp() override {
        dir.copyAllBundled();
        state().installation = test::defaultInstallation();
        test::ConsoleCapture quiet;
        test::installBundledData();
        road = roadInstallationFromState();
        setupGrid(grid, test::gridRecord(1, 10, 'c', 6, 'c'), road);
    }
    test::ScratchDir dir;
    RoadInstallation road;
    ComputationGrid grid;
};

TEST_F(BundledGlare, ContributionFollowsTheLineOfSightFormula) {
    const double xE = glareObserverX(road);
    const double yE = 1.75;
    for (const int n : {0, 1, 5}) {
        const double xQ = n * 24.0;
        const double height = 5.5;
        const double d2 = (yE - 2.5) * (yE - 2.5) + (xE - xQ) * (xE - xQ);
        const double gamma = atand(std::sqrt(d2) / height);
        const double a = azimuthToLuminaire(xE - xQ, yE - 2.5);
        const double folded = foldAzimuth(a, 0.0);
        const double intensity = luminaireIntensityAt(a + 180.0, gamma);
        const double u = cosd(90.0 - gamma + 1.0);
        const double v = cosd(folded);
        const double theta = acosd(u * v);
        const double expected = sind(gamma - 1.0) * intensity * 10.0 * v / (theta * theta * (height * height + d2));
        EXPECT_TRUE(sameBits(veilingContribution(road, xE, yE, xQ), expected)) << n;
        EXPECT_GT(expected, 0.0);
    }
    // Luminaire 0 is seen 20 deg above the eye's horizontal (along the road axis).
    EXPECT_NEAR(atand(5.5 / (0.0 - xE)), 20.0, 1e-7);
}

double replayedSum(const RoadInstallation& road, double yE, const std::vector<int>& order, int* skipped) {
    const double xE = glareObserverX(road);
    double sum = 0.0;
    *skipped = 0;
    for (const int n : order) {
        const double c = veilingContribution(road, xE, yE, n * road.spacing);
        if (0.02 * sum <= c) {
            sum = sum + c;
        } else {
            ++*skipped;
        }
    }
    return sum;
}

TEST_F(BundledGlare, ObserversKeepTheirOwnOrderAndTheTwoPercentSkip) {
    const std::vector<int> nearest(kGlareRowNearestFirst.begin(), kGlareRowNearestFirst.end());
    const std::vector<int> farthest(kGlareRowFarthestFirst.begin(), kGlareRowFarthestFirst.end());
    int skippedNear = 0;
    int skippedFar = 0;
    const double y1 = observerY(grid, road, 1);
    const double near = replayedSum(road, y1, nearest, &skippedNear);
    const double far = replayedSum(road, y1, farthest, &skippedFar);
    EXPECT_TRUE(sameBits(glareObserverVeiling(road, y1, kGlareRowNearestFirst), near));
    EXPECT_TRUE(sameBits(glareObserverVeiling(road, y1, kGlareRowFarthestFirst), far));
    // Nearest first: the faint distant luminaires fall below 2 % of the sum.
    EXPECT_GT(skippedNear, 0);
    EXPECT_EQ(skippedFar, 0);
    EXPECT_LT(near, far);

    auto maps = std::make_unique<ResultMaps>();
    computeGlareObservers(grid, road, *maps);
    EXPECT_TRUE(sameBits(maps->veilingLuminanceObserver1, near * road.lampFlux));
    int skipped2 = 0;
    const double second = replayedSum(road, observerY(grid, road, 2), farthest, &skipped2);
    EXPECT_TRUE(sameBits(maps->veilingLuminanceObserver2, second * road.lampFlux));
}

TEST_F(BundledGlare, FirstLuminaireIsAlwaysAdded) {
    const std::array<int, 1> single = {14};
    const double c = veilingContribution(road, glareObserverX(road), 1.75, 14 * 24.0);
    EXPECT_TRUE(sameBits(glareObserverVeiling(road, 1.75, single), c));
}

TEST_F(BundledGlare, VeilingMapDropsLuminairesAboveTwentyDegrees) {
    auto maps = std::make_unique<ResultMaps>();
    computeGlareMaps(grid, road, *maps, 2);
    // Last column x = 22.8: luminaire 1 stands 1.2 m ahead, far above 20 deg.
    const double x = gridPointX(grid, 9);
    const double y = gridPointY(grid, 2);
    double withoutFirst = 0.0;
    for (int n = 14; n >= 2; --n) withoutFirst = withoutFirst + veilingContribution(road, x, y, n * 24.0);
    EXPECT_TRUE(sameBits(maps->veilingLuminance[9][2], withoutFirst * road.lampFlux));
    // First column: luminaire 1 is 24 m ahead, below 20 deg, and counts.
    const double x0 = gridPointX(grid, 0);
    double all = 0.0;
    for (int n = 14; n >= 1; --n) all = all + veilingContribution(road, x0, y, n * 24.0);
    EXPECT_TRUE(sameBits(maps->veilingLuminance[0][2], all * road.lampFlux));
}

TEST_F(BundledGlare, WorkersDoNotChangeTheMaps) {
    auto one = std::make_unique<ResultMaps>();
    auto two = std::make_unique<ResultMaps>();
    computeGlareMaps(grid, road, *one, 1);
    computeGlareMaps(grid, road, *two, 2);
    for (std::size_t i = 0; i < 10; ++i) {
        for (std::size_t j = 0; j < 6; ++j) {
            EXPECT_TRUE(sameBits(one->veilingLuminance[i][j], two->veilingLuminance[i][j]));
            EXPECT_TRUE(sameBits(one->semicylindricalIlluminance[i][j], two->semicylindricalIlluminance[i][j]));
            EXPECT_TRUE(sameBits(one->verticalIlluminance[i][j], two->verticalIlluminance[i][j]));
        }
    }
}

TEST(VerticalIlluminance, IsotropicLuminairesBehindThePoint) {
    InstallationData in = test::defaultInstallation();
    in.lampFlux = 1.0;
    state().installation = in;
    test::installSyntheticPhotometry(100.0);
    const RoadInstallation road = roadInstallationFromState();
    ComputationGrid grid;
    setupGrid(grid, test::gridRecord(1, 2, 'c', 2, 'c'), road);
    auto maps = std::make_unique<ResultMaps>();
    computeGlareMaps(grid, road, *maps, 1);
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
    EXPECT_NEAR(maps->semicylindricalIlluminance[1][0], esc, esc * 1e-9);
    EXPECT_NEAR(maps->verticalIlluminance[1][0], ev, ev * 1e-9);
    EXPECT_GT(ev, 0.0);
}

TEST(GlareFormulas, ThresholdIncrementAndGlareRating) {
    EXPECT_EQ(thresholdIncrement(0.3, 1.5), 65.0 * 0.3 / std::pow(1.5, 0.800000011920929));
    EXPECT_EQ(glareRating(0.2, 1.2, 0.8),
              27.0 + 24.0 * std::log10(0.2 / std::pow(0.035 * 1.2 / 0.8, 0.8999999761581421)));
    // Undefined cases give non-finite values, not a crash.
    EXPECT_TRUE(std::isinf(thresholdIncrement(0.3, 0.0)));
    EXPECT_TRUE(std::isinf(glareRating(0.0, 1.2, 0.8)));
    EXPECT_TRUE(std::isnan(glareRating(0.0, 0.0, 0.8)));
}

TEST(GlareStatistics, HalvingTheMaintenanceFactorKeepsTheGlareFigures) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    test::ConsoleCapture quiet;
    InstallationData in = test::defaultInstallation();
    test::useInstallation(in, test::gridRecord(1, 10, 'c', 6, 'c'));
    test::installBundledData();
    computeRoadLighting();
    const auto full = std::make_unique<ResultMaps>(state().maps);
    in.maintenanceFactor = 0.4;
    state().installation = in;
    computeRoadLighting();
    const ResultMaps& half = state().maps;
    EXPECT_NEAR(half.thresholdIncrement1, full->thresholdIncrement1, 1e-12 * full->thresholdIncrement1);
    EXPECT_NEAR(half.thresholdIncrement2, full->thresholdIncrement2, 1e-12 * full->thresholdIncrement2);
    EXPECT_EQ(half.veilingLuminanceObserver1, full->veilingLuminanceObserver1);
    EXPECT_EQ(half.veilingLuminanceStats.average, full->veilingLuminanceStats.average);
    EXPECT_NEAR(half.glareRatingStats.average, full->glareRatingStats.average, 1e-12);
    EXPECT_NEAR(half.overallUniformity1, full->overallUniformity1, 1e-12);
    EXPECT_NEAR(half.lengthwiseUniformity2, full->lengthwiseUniformity2, 1e-12);
    EXPECT_NEAR(half.luminanceObserver1Stats.average, full->luminanceObserver1Stats.average / 2.0, 1e-12);
    EXPECT_NEAR(half.semicylindricalIlluminanceStats.maximum, full->semicylindricalIlluminanceStats.maximum / 2.0,
                1e-12);
    EXPECT_NEAR(half.hemisphericalIlluminanceStats.minimum, full->hemisphericalIlluminanceStats.minimum / 2.0, 1e-12);
    EXPECT_GT(full->thresholdIncrement1, 0.0);
    EXPECT_LT(full->thresholdIncrement1, 100.0);
}

}  // namespace
}  // namespace vl
