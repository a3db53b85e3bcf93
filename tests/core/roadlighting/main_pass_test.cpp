#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/roadlighting/grid.hpp"
#include "core/roadlighting/luminance.hpp"
#include "core/roadlighting/road_fixtures.hpp"
#include "core/roadlighting/road_lighting.hpp"

namespace vl {
namespace {

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void expectSameBits(const GridMap& a, const GridMap& b, const char* what) {
    ASSERT_EQ(a.nX(), b.nX()) << what;
    ASSERT_EQ(a.nY(), b.nY()) << what;
    for (int i = 0; i < a.nX(); ++i) {
        for (int j = 0; j < a.nY(); ++j) ASSERT_TRUE(sameBits(a(i, j), b(i, j))) << what << " " << i << " " << j;
    }
}

// Every column is computed by one worker with the serial operations: any number of
// workers gives the serial maps bit for bit.
void expectWorkersChangeNothing(const test::RoadTables& tables, const InstallationData& in, const GridChoice& record) {
    DirectionalLuminance serialByDirection;
    const RoadLightingResult serial = test::roadLighting(tables, in, record, 1, &serialByDirection);
    EXPECT_GT(serial.horizontalIlluminance(0, 0), 0.0);
    EXPECT_GT(serial.luminanceObserver1(0, 0), 0.0);
    for (const int workers : {2, 3}) {
        DirectionalLuminance byDirection;
        const RoadLightingResult r = test::roadLighting(tables, in, record, workers, &byDirection);
        ASSERT_EQ(byDirection.size(), serialByDirection.size());
        EXPECT_EQ(std::memcmp(byDirection.data(), serialByDirection.data(), byDirection.size() * sizeof(double)), 0);
        expectSameBits(r.luminanceObserver1, serial.luminanceObserver1, "L1");
        expectSameBits(r.luminanceObserver2, serial.luminanceObserver2, "L2");
        expectSameBits(r.horizontalIlluminance, serial.horizontalIlluminance, "E");
        expectSameBits(r.hemisphericalIlluminance, serial.hemisphericalIlluminance, "Ehs");
        expectSameBits(r.veilingLuminance, serial.veilingLuminance, "Lv");
        expectSameBits(r.semicylindricalIlluminance, serial.semicylindricalIlluminance, "Esc");
        expectSameBits(r.verticalIlluminance, serial.verticalIlluminance, "Ev");
        EXPECT_TRUE(sameBits(r.agedAsphaltReflectedPercent, serial.agedAsphaltReflectedPercent));
    }
}

TEST(RoadLightingWorkers, SerialBitsForEveryPlacement) {
    const test::RoadTables tables = test::bundledTables();
    InstallationData in = test::formDefaults();
    expectWorkersChangeNothing(tables, in, test::gridRecord(1, 5, 'c', 3, 'c'));
    expectWorkersChangeNothing(tables, in, test::gridRecord(2, 4, 'b', 4, 'b', 0.1, 0.9));
    in.gridChoice = 3;
    expectWorkersChangeNothing(tables, in, test::gridRecord(3, 3, 'c', 2, 'c'));
}

TEST(RoadLightingWorkers, SerialBitsTilted) {
    const test::RoadTables tables = test::bundledTables(15.0);
    InstallationData in = test::formDefaults();
    in.tilt = 15.0;
    in.overhang = -1.0;
    in.spacing = 30.0;
    expectWorkersChangeNothing(tables, in, test::gridRecord(1, 3, 'c', 3, 'b'));
}

// Isotropic luminaire: the horizontal illuminance of a point is the inverse-square
// cosine sum I h / D^3 over the main row.
class IsotropicRow : public ::testing::Test {
protected:
    IsotropicRow() {
        in.lampFlux = 2.0;
        in.maintenanceFactor = 1.0;
    }
    MainPass pass(const GridChoice& record, const InstallationData& installation) {
        const RoadInstallation road = roadInstallation(installation);
        grid = setupGrid(record, road, 0.0, 0.0);
        return computeMainPass(grid, road, tables.lookups(), 2, byDirection);
    }
    const test::RoadTables tables = test::syntheticTables(100.0, 1000.0, 0.1);
    InstallationData in = test::formDefaults();
    ComputationGrid grid;
    DirectionalLuminance byDirection;
};

TEST_F(IsotropicRow, HorizontalIlluminanceIsTheInverseSquareCosineSum) {
    const MainPass p = pass(test::gridRecord(1, 3, 'c', 2, 'c'), in);
    double sumE = 0.0;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 2; ++j) {
            const double x = gridPointX(grid, i);
            const double y = gridPointY(grid, j);
            double e = 0.0;
            double ehs = 0.0;
            for (int n = -14; n <= 14; ++n) {
                const double dx = x - n * 24.0;
                const double dy = y - 2.5;
                const double d = std::sqrt(dx * dx + dy * dy + 49.0);
                e += 100.0 * 7.0 / (d * d * d);
                ehs += 100.0 * (1.0 + 7.0 / d) / (4.0 * d * d);
            }
            EXPECT_NEAR(p.horizontalIlluminance(i, j), 2.0 * e, 2.0 * e * 1e-9);
            EXPECT_NEAR(p.hemisphericalIlluminance(i, j), 2.0 * ehs, 2.0 * ehs * 1e-9);
            sumE += e;
        }
    }
    // Aged asphalt: rho 0.1 everywhere, so G is 0.1 times the summed E per klm.
    EXPECT_NEAR(p.agedAsphaltReflectedPercent, 0.1 * sumE * 10.0 * 7.0 * 24.0 / (6 * 100), 1e-9);
}

TEST_F(IsotropicRow, ContributionsBeyondTanGamma12LightButDoNotReflect) {
    // h = 1 and S = 100: only luminaire 0 is within t <= 12 of the point.
    in.poleHeight = 1.0;
    in.spacing = 100.0;
    in.overhang = 3.0;
    const GridChoice record = test::gridRecord(1, 1, 'b', 1, 'b');
    const MainPass near = pass(record, in);
    const double x = gridPointX(grid, 0);
    const double d0 = std::sqrt(x * x + 9.0 + 1.0);
    double e = 0.0;
    for (int n = -14; n <= 14; ++n) {
        const double dx = x - n * 100.0;
        const double d = std::sqrt(dx * dx + 9.0 + 1.0);
        e += 100.0 / (d * d * d);
    }
    EXPECT_GT(e, 100.0 / (d0 * d0 * d0) * (1.0 + 1e-6));  // the far luminaires add to E
    EXPECT_NEAR(near.horizontalIlluminance(0, 0), 2.0 * e, 2.0 * e * 1e-9);
    // Luminance: luminaire 0 alone, 100 cd/klm * 0.1 / h^2 * 2 klm, in every direction.
    for (std::size_t k = 0; k < kDirections; ++k) EXPECT_NEAR(byDirection[k], 20.0, 1e-9) << k;
    EXPECT_NEAR(near.luminanceObserver1(0, 0), 20.0, 1e-9);

    // Overhang so far that every luminaire lies beyond t = 12: no luminance at all.
    in.overhang = 50.0;
    const MainPass far = pass(record, in);
    for (std::size_t k = 0; k < kDirections; ++k) EXPECT_EQ(byDirection[k], 0.0);
    EXPECT_EQ(far.luminanceObserver2(0, 0), 0.0);
    EXPECT_GT(far.horizontalIlluminance(0, 0), 0.0);
    EXPECT_GT(far.hemisphericalIlluminance(0, 0), 0.0);
    EXPECT_GT(far.agedAsphaltReflectedPercent, 0.0);
}

TEST(ClampedCoefficient, NegativeAndFarCoefficientsAreZero) {
    const ReducedLuminanceTable negative = test::constantSurface(-500.0);
    EXPECT_EQ(clampedCoefficient(SurfaceReflection(negative), 30.0, 1.0), 0.0);
    const ReducedLuminanceTable positive = test::constantSurface(500.0);
    const SurfaceReflection surface(positive);
    EXPECT_NEAR(clampedCoefficient(surface, 30.0, 1.0), 500.0, 1e-9);
    EXPECT_NEAR(clampedCoefficient(surface, 30.0, 12.0), 500.0, 1e-9);
    EXPECT_EQ(clampedCoefficient(surface, 30.0, 12.000001), 0.0);
}

TEST(ObserverAzimuth, GridThreeLooksAlongTheRoad) {
    RoadInstallation road = roadInstallation(test::formDefaults());
    const ComputationGrid grid = setupGrid(test::gridRecord(1, 10, 'c', 6, 'c'), road, 0.0, 0.0);
    EXPECT_EQ(observerAzimuth(grid, road, 1, 0.0, 7.0 * 0.25), 0.0);
    EXPECT_DOUBLE_EQ(observerAzimuth(grid, road, 2, 0.0, 7.0 * 0.75 + 60.0), 45.0);
    EXPECT_DOUBLE_EQ(observerAzimuth(grid, road, 1, 0.0, 7.0 * 0.25 - 60.0), -45.0);
    road.gridChoice = 3;
    EXPECT_EQ(observerAzimuth(grid, road, 1, 0.0, 100.0), 0.0);
}

TEST(GridThree, ObserverMapsEqualTheMapAtInfinity) {
    const test::RoadTables tables = test::bundledTables();
    InstallationData in = test::formDefaults();
    in.gridChoice = 3;
    DirectionalLuminance byDirection;
    const RoadLightingResult r = test::roadLighting(tables, in, test::gridRecord(3, 10, 'c', 6, 'c'), 2, &byDirection);
    for (int i = 0; i < 10; ++i) {
        for (int j = 0; j < 6; ++j) {
            EXPECT_TRUE(sameBits(r.luminanceObserver1(i, j), r.luminanceAtInfinity(i, j))) << i << j;
            EXPECT_TRUE(sameBits(r.luminanceObserver2(i, j), r.luminanceAtInfinity(i, j))) << i << j;
            const std::size_t point = static_cast<std::size_t>(i * 6 + j);
            EXPECT_TRUE(sameBits(r.luminanceAtInfinity(i, j), 0.8 * byDirection[point * kDirections]));
        }
    }
    EXPECT_EQ(r.luminanceObserver1Stats.average, r.luminanceAtInfinityStats.average);
}

}  // namespace
}  // namespace vl
