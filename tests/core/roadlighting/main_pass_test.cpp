#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "core/numeric/degrees.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/roadlighting/grid.hpp"
#include "core/roadlighting/luminance.hpp"
#include "core/roadlighting/road_fixtures.hpp"
#include "core/roadlighting/road_lighting.hpp"
#include "support/test_support.hpp"
#include "core/surface/surface_table.hpp"

namespace vl {
namespace {

// The main pass written out literally: i outer, j inner, k = 1..36, luminaires from
// 14 S down to -14 S, every lookup repeated where the description repeats it.
struct LiteralPass {
    std::unique_ptr<ResultMaps> maps = std::make_unique<ResultMaps>();
};

double literalAzimuth(double dx, double dy) {
    if (dy == 0.0) {
        if (dx < 0.0) return 0.0;
        return 180.0;
    }
    if (dy > 0.0) {
        if (dx < 0.0) return 360.0 - atand(-dy / dx);
        if (dx == 0.0) return 270.0;
        return 180.0 + atand(dy / dx);
    }
    if (dx < 0.0) return atand(dy / dx);
    if (dx == 0.0) return 90.0;
    return 180.0 - atand(-dy / dx);
}

double literalFold(double a, double w) {
    double b = a + 360.0 - w;
    if (b > 360.0) b = b - 360.0;
    if (b > 360.0) b = b - 360.0;
    if (b > 180.0) b = 360.0 - b;
    return b;
}

void literalMainPass(const ComputationGrid& grid, const InstallationData& in, ResultMaps& maps) {
    const double h = in.poleHeight;
    const double s = in.spacing;
    const double v = in.overhang;
    const double flux = in.lampFlux;
    double g = 0.0;
    for (int i = 1; i <= grid.pointsAlongX; ++i) {
        double x = grid.offsetX + (i - 1) * grid.cellX;
        if (i == 1) x = grid.offsetX + 0.00001;
        for (int j = 1; j <= grid.pointsAlongY; ++j) {
            const double y = grid.offsetY + (j - 1) * grid.cellY;
            double e = 0.0;
            double ehs = 0.0;
            double l1 = 0.0;
            double l2 = 0.0;
            double a1 = atand((y - in.roadWidth * grid.observer1Offset) / (x + grid.observerDistance));
            double a2 = atand((y - in.roadWidth * grid.observer2Offset) / (x + grid.observerDistance));
            if (in.gridChoice == 3) {
                a1 = 0.0;
                a2 = 0.0;
            }
            for (int k = 1; k <= 36; ++k) {
                const double omega = 10.0 * (k - 1);
                double lk = 0.0;
                for (int n = 14; n >= -14; --n) {
                    const double xq = n * s;
                    const double d2 = (y - v) * (y - v) + (x - xq) * (x - xq);
                    const double t = std::sqrt(d2) / h;
                    const double gamma = atand(t);
                    const double a = literalAzimuth(x - xq, y - v);
                    const double beta = literalFold(a, omega);
                    const double c = a + 180.0;
                    const double intensity = luminaireIntensityAt(c, gamma);
                    double r = reducedLuminanceCoefficient(beta, t);
                    if (r < 0.0) r = 0.0;
                    if (t > 12.0) r = 0.0;
                    lk = lk + intensity * r * 0.0001 / (h * h);
                    if (k == 1) {
                        const double dd = h * h + d2;
                        const double cg = cosd(gamma);
                        e = e + intensity * cg / dd;
                        ehs = ehs + intensity * (1.0 + cg) / (4.0 * dd);
                        g = g + agedAsphaltReflectance(gamma) * intensity * cg / dd;
                        double r1 = reducedLuminanceCoefficient(literalFold(a, a1), t);
                        if (r1 < 0.0) r1 = 0.0;
                        if (t > 12.0) r1 = 0.0;
                        l1 = l1 + intensity * r1 * 0.0001 / (h * h);
                        double r2 = reducedLuminanceCoefficient(literalFold(a, a2), t);
                        if (r2 < 0.0) r2 = 0.0;
                        if (t > 12.0) r2 = 0.0;
                        l2 = l2 + intensity * r2 * 0.0001 / (h * h);
                    }
                }
                maps.luminanceByDirection[i - 1][j - 1][k - 1] = lk * flux;
            }
            maps.luminanceObserver1[i - 1][j - 1] = l1 * flux;
            maps.luminanceObserver2[i - 1][j - 1] = l2 * flux;
            maps.horizontalIlluminance[i - 1][j - 1] = e * flux;
            maps.hemisphericalIlluminance[i - 1][j - 1] = ehs * flux;
        }
    }
    maps.agedAsphaltReflectedPercent =
        g * 10 * in.roadWidth * in.spacing / (grid.pointsAlongX * grid.pointsAlongY * 100);
}

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void expectSameMaps(const ComputationGrid& grid, const ResultMaps& a, const ResultMaps& b) {
    for (int i = 0; i < grid.pointsAlongX; ++i) {
        for (int j = 0; j < grid.pointsAlongY; ++j) {
            const auto ii = static_cast<std::size_t>(i);
            const auto jj = static_cast<std::size_t>(j);
            for (std::size_t k = 0; k < 36; ++k) {
                ASSERT_TRUE(sameBits(a.luminanceByDirection[ii][jj][k], b.luminanceByDirection[ii][jj][k]))
                    << i << " " << j << " " << k;
            }
            ASSERT_TRUE(sameBits(a.luminanceObserver1[ii][jj], b.luminanceObserver1[ii][jj])) << i << " " << j;
            ASSERT_TRUE(sameBits(a.luminanceObserver2[ii][jj], b.luminanceObserver2[ii][jj])) << i << " " << j;
            ASSERT_TRUE(sameBits(a.horizontalIlluminance[ii][jj], b.horizontalIlluminance[ii][jj])) << i << " " << j;
            ASSERT_TRUE(sameBits(a.hemisphericalIlluminance[ii][jj], b.hemisphericalIlluminance[ii][jj]));
        }
    }
    EXPECT_TRUE(sameBits(a.agedAsphaltReflectedPercent, b.agedAsphaltReflectedPercent));
}

class BundledMainPass : public ::testing::Test {
protected:
    void SetUp() override {
        dir.copyAllBundled();
        state().installation = test::defaultInstallation();
        installBundled();
    }
    void installBundled() {
        test::ConsoleCapture quiet;
        test::installBundledData();
    }
    void compare(const GridChoice& record) {
        state().gridRecord = record;
        const RoadInstallation road = roadInstallationFromState();
        ComputationGrid grid;
        setupGrid(grid, record, road);
        LiteralPass literal;
        literalMainPass(grid, state().installation, *literal.maps);
        for (const int workers : {1, 2, 3}) {
            auto maps = std::make_unique<ResultMaps>();
            computeMainPass(grid, road, *maps, workers);
            expectSameMaps(grid, *literal.maps, *maps);
        }
        EXPECT_GT(literal.maps->horizontalIlluminance[0][0], 0.0);
        EXPECT_GT(literal.maps->luminanceObserver1[0][0], 0.0);
    }
    test::ScratchDir dir;
};

TEST_F(BundledMainPass, SameBitsAsTheLiteralPassHalfCell) { compare(test::gridRecord(1, 5, 'c', 3, 'c')); }

TEST_F(BundledMainPass, SameBitsAsTheLiteralPassBorderAndFarObservers) {
    compare(test::gridRecord(2, 4, 'b', 4, 'b', 0.1, 0.9));
}

TEST_F(BundledMainPass, SameBitsAsTheLiteralPassObserversAtInfinity) {
    state().installation.gridChoice = 3;
    compare(test::gridRecord(3, 3, 'c', 2, 'c'));
}

TEST_F(BundledMainPass, SameBitsAsTheLiteralPassTilted) {
    state().installation.tilt = 15.0;
    state().installation.overhang = -1.0;
    state().installation.spacing = 30.0;
    installBundled();
    compare(test::gridRecord(1, 3, 'c', 3, 'b'));
}

// Isotropic luminaire: the horizontal illuminance of a point is the inverse-square
// cosine sum I h / D^3 over the main row.
class IsotropicRow : public ::testing::Test {
protected:
    void SetUp() override {
        InstallationData in = test::defaultInstallation();
        in.lampFlux = 2.0;
        in.maintenanceFactor = 1.0;
        state().installation = in;
        test::installSyntheticPhotometry(100.0, 1000.0, 0.1);
    }
    std::unique_ptr<ResultMaps> maps = std::make_unique<ResultMaps>();
    ComputationGrid grid;
};

TEST_F(IsotropicRow, HorizontalIlluminanceIsTheInverseSquareCosineSum) {
    const RoadInstallation road = roadInstallationFromState();
    setupGrid(grid, test::gridRecord(1, 3, 'c', 2, 'c'), road);
    computeMainPass(grid, road, *maps, 2);
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
            const auto ii = static_cast<std::size_t>(i);
            const auto jj = static_cast<std::size_t>(j);
            EXPECT_NEAR(maps->horizontalIlluminance[ii][jj], 2.0 * e, 2.0 * e * 1e-9);
            EXPECT_NEAR(maps->hemisphericalIlluminance[ii][jj], 2.0 * ehs, 2.0 * ehs * 1e-9);
        }
    }
    // Aged asphalt: rho 0.1 everywhere, so G is 0.1 times the summed E per klm.
    double sumE = 0.0;
    for (std::size_t i = 0; i < 3; ++i) {
        for (std::size_t j = 0; j < 2; ++j) sumE += maps->horizontalIlluminance[i][j] / 2.0;
    }
    EXPECT_NEAR(maps->agedAsphaltReflectedPercent, 0.1 * sumE * 10.0 * 7.0 * 24.0 / (6 * 100), 1e-9);
}

TEST_F(IsotropicRow, ContributionsBeyondTanGamma12LightButDoNotReflect) {
    // h = 1 and S = 100: only luminaire 0 is within t <= 12 of the point.
    state().installation.poleHeight = 1.0;
    state().installation.spacing = 100.0;
    state().installation.overhang = 3.0;
    const RoadInstallation road = roadInstallationFromState();
    setupGrid(grid, test::gridRecord(1, 1, 'b', 1, 'b'), road);
    computeMainPass(grid, road, *maps, 1);
    const double x = gridPointX(grid, 0);
    const double d0 = std::sqrt(x * x + 9.0 + 1.0);
    double e = 0.0;
    for (int n = -14; n <= 14; ++n) {
        const double dx = x - n * 100.0;
        const double d = std::sqrt(dx * dx + 9.0 + 1.0);
        e += 100.0 / (d * d * d);
    }
    EXPECT_GT(e, 100.0 / (d0 * d0 * d0) * (1.0 + 1e-6));  // the far luminaires add to E
    EXPECT_NEAR(maps->horizontalIlluminance[0][0], 2.0 * e, 2.0 * e * 1e-9);
    // Luminance: luminaire 0 alone, 100 cd/klm * 0.1 / h^2 * 2 klm, in every direction.
    for (std::size_t k = 0; k < 36; ++k) EXPECT_NEAR(maps->luminanceByDirection[0][0][k], 20.0, 1e-9) << k;
    EXPECT_NEAR(maps->luminanceObserver1[0][0], 20.0, 1e-9);

    // Overhang so far that every luminaire lies beyond t = 12: no luminance at all.
    state().installation.overhang = 50.0;
    const RoadInstallation far = roadInstallationFromState();
    computeMainPass(grid, far, *maps, 1);
    for (std::size_t k = 0; k < 36; ++k) EXPECT_EQ(maps->luminanceByDirection[0][0][k], 0.0);
    EXPECT_EQ(maps->luminanceObserver2[0][0], 0.0);
    EXPECT_GT(maps->horizontalIlluminance[0][0], 0.0);
    EXPECT_GT(maps->hemisphericalIlluminance[0][0], 0.0);
    EXPECT_GT(maps->agedAsphaltReflectedPercent, 0.0);
}

TEST(ClampedCoefficient, NegativeAndFarCoefficientsAreZero) {
    state().installation = test::defaultInstallation();
    test::installSyntheticPhotometry(100.0, -500.0);
    EXPECT_EQ(clampedCoefficient(30.0, 1.0), 0.0);
    test::installSyntheticPhotometry(100.0, 500.0);
    EXPECT_NEAR(clampedCoefficient(30.0, 1.0), 500.0, 1e-9);
    EXPECT_NEAR(clampedCoefficient(30.0, 12.0), 500.0, 1e-9);
    EXPECT_EQ(clampedCoefficient(30.0, 12.000001), 0.0);
}

TEST(ObserverAzimuth, GridThreeLooksAlongTheRoad) {
    InstallationData in = test::defaultInstallation();
    state().installation = in;
    RoadInstallation road = roadInstallationFromState();
    ComputationGrid grid;
    setupGrid(grid, test::gridRecord(1, 10, 'c', 6, 'c'), road);
    EXPECT_EQ(observerAzimuth(grid, road, 1, 0.0, 7.0 * 0.25), 0.0);
    EXPECT_DOUBLE_EQ(observerAzimuth(grid, road, 2, 0.0, 7.0 * 0.75 + 60.0), 45.0);
    EXPECT_DOUBLE_EQ(observerAzimuth(grid, road, 1, 0.0, 7.0 * 0.25 - 60.0), -45.0);
    road.gridChoice = 3;
    EXPECT_EQ(observerAzimuth(grid, road, 1, 0.0, 100.0), 0.0);
}

TEST(GridThree, ObserverMapsEqualTheMapAtInfinity) {
    test::ScratchDir dir;
    dir.copyAllBundled();
    InstallationData in = test::defaultInstallation();
    in.gridChoice = 3;
    test::useInstallation(in, test::gridRecord(3, 10, 'c', 6, 'c'));
    test::ConsoleCapture quiet;
    test::installBundledData();
    computeRoadLighting();
    const ResultMaps& maps = state().maps;
    for (std::size_t i = 0; i < 10; ++i) {
        for (std::size_t j = 0; j < 6; ++j) {
            EXPECT_TRUE(sameBits(maps.luminanceObserver1[i][j], maps.luminanceAtInfinity[i][j])) << i << j;
            EXPECT_TRUE(sameBits(maps.luminanceObserver2[i][j], maps.luminanceAtInfinity[i][j])) << i << j;
            EXPECT_TRUE(sameBits(maps.luminanceAtInfinity[i][j], 0.8 * maps.luminanceByDirection[i][j][0]));
        }
    }
    EXPECT_EQ(maps.luminanceObserver1Stats.average, maps.luminanceAtInfinityStats.average);
}

}  // namespace
}  // namespace vl
