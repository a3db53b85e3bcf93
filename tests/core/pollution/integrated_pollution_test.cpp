#include "core/pollution/integrated_pollution.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "writers/format.hpp"
#include "core/pollution/pollution_fixture.hpp"
#include "core/pollution/road_upward_flux.hpp"

namespace vl::test {
namespace {

class IntegratedPollution : public PollutionTest {
protected:
    // Lines of the Console after the heading and the reference-surface lines.
    std::vector<std::string> consoleBody() const {
        const auto& lines = consoleLines();
        return {lines.begin() + 6, lines.end()};
    }
};

TEST_F(IntegratedPollution, HeadingAndReferenceSurfaceLines) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    state().pollution.meanLuminance = 1.0;
    reportIntegratedPollution();
    const auto report = reportLines();
    const auto& console = consoleLines();
    ASSERT_GE(console.size(), 6u);
    EXPECT_EQ(console[0], "     ");
    EXPECT_EQ(console[1], " " + fmt::repeat('-', 54));
    EXPECT_EQ(console[2], " Light Pollution, integrated parameters:");
    EXPECT_EQ(console[3], "  ");
    EXPECT_EQ(console[4], " reference out-of-road surfaces calculated for: ");
    EXPECT_EQ(console[5], " lambertian reflectance with rho=0.135 in average");
    EXPECT_EQ(report[1], " " + fmt::repeat('-', 64));
    EXPECT_EQ(report.size(), console.size());
    for (std::size_t k = 2; k < report.size(); ++k) EXPECT_EQ(report[k], console[k]);
}

TEST_F(IntegratedPollution, TiltedIncompletePhotometryIsSkipped) {
    state().installation.tilt = 10.0;
    state().pollution.directUplightDensity = 1.5;
    setPhotometry(150.0, 5.0, roadLuminaire);
    state().pollution.meanLuminance = 1.0;
    state().pollution.integratedComputedThisRun = true;
    reportIntegratedPollution();
    EXPECT_FALSE(state().pollution.integratedComputedThisRun);
    EXPECT_EQ(state().pollution.directUplightDensity, 1.5);
    const std::string dots = " " + fmt::repeat('.', 54);
    const std::vector<std::string> notice = {"  ",
                                             dots,
                                             " ATTENTION: The input photometry is incomplete.",
                                             " It does not fill the full gamma range 0-180 degrees",
                                             " Computation of integrate parameters can be made",
                                             " only for zero inclination.",
                                             dots};
    EXPECT_EQ(consoleBody(), notice);
    const auto report = reportLines();
    EXPECT_EQ(std::vector<std::string>(report.begin() + 6, report.end()), notice);
}

TEST_F(IntegratedPollution, TiltWithFullPhotometryOrUntiltedIncompleteIsComputed) {
    for (const auto& [tilt, last] : {std::pair{10.0, 180.0}, std::pair{0.0, 90.0}}) {
        state().installation.tilt = tilt;
        setPhotometry(last, 5.0, roadLuminaire);
        state().pollution.meanLuminance = 1.0;
        state().pollution.integratedComputedThisRun = false;
        reportIntegratedPollution();
        EXPECT_TRUE(state().pollution.integratedComputedThisRun) << tilt << " " << last;
    }
    EXPECT_EQ(countContaining(consoleLines(), "ATTENTION"), 0);
}

TEST_F(IntegratedPollution, RatiosAndDensitiesFollowTheirDefinitions) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    state().pollution.meanLuminance = 1.2;
    reportIntegratedPollution();
    const auto& pol = state().pollution;
    const double rr = pollution::roadReflectedUpwardRatio();
    EXPECT_GT(rr, 0.0);
    EXPECT_DOUBLE_EQ(pol.roadReflectedPercent, rr * 80.0);
    const double outOfRoad = 25.0 * 0.135 * 97.0 / 100.0;
    const double duud = (100.0 - 97.0) * 0.8 * 10.0 * 10.0 / (7.0 * 30.0);
    const double wuud = 80.0 * outOfRoad * 10.0 * 10.0 / (7.0 * 100.0 * 30.0);
    EXPECT_DOUBLE_EQ(pol.directUplightDensity, duud);
    EXPECT_DOUBLE_EQ(pol.outOfRoadUplightDensity, wuud);
    const double ruud = pol.roadAndDirectUplightDensity - duud;
    // UFF = 100 - DFF: RUUD is the road share alone.
    EXPECT_NEAR(ruud, pol.roadReflectedPercent * 10.0 * 10.0 / (100.0 * 7.0 * 30.0), 1e-12);

    const std::vector<std::string> expected = {
        "     ",
        " direct upward flux ratio UFR % (Rn%):            " + fmt::F(3.0, 7, 2),
        " road reflected upward flux ratio %:              " + fmt::F(rr, 7, 2),
        "(road reflected upward flux ratio for aged asphalt%: 0.09)",
        " out-of-road reflected upward flux ratio %:       " + fmt::F(outOfRoad, 7, 2),
        " increase of upflux ratio due to direct emission %" + fmt::I(static_cast<int>(3.0 / rr * 100.0), 7),
        " increase of upflux ratio due to out-road emiss. %" +
            fmt::I(static_cast<int>(25.0 * 13.5 * 97.0 / 100.0 / rr), 7),
        "     ",
        " direct unit uplight density DUUD (lm/m^2):       " + fmt::F(duud, 7, 2),
        " road unit uplight density RUUD (lm/m^2):         " + fmt::F(ruud, 7, 2),
        " out-of-road unit uplight density WUUD (lm/m^2):  " + fmt::F(wuud, 7, 2),
        " increase of uplight density due to direct emission %:" + fmt::I(static_cast<int>(duud / ruud * 100.0), 5),
        " increase of uplight density due to out-road emiss. %:" + fmt::I(static_cast<int>(wuud / ruud * 100.0), 5)};
    EXPECT_EQ(consoleBody(), expected);
    const auto report = reportLines();
    EXPECT_EQ(std::vector<std::string>(report.begin() + 6, report.end()), expected);
}

// The road integral: the luminaire's own intensities never enter it.
TEST_F(IntegratedPollution, RoadFluxIgnoresTheLuminaireIntensities) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    state().pollution.meanLuminance = 1.0;
    const double first = pollution::roadUpwardFlux();
    setPhotometry(180.0, 5.0, [](double, double) { return 1000.0; });
    EXPECT_EQ(pollution::roadUpwardFlux(), first);
}

// A lambertian road of luminance L over the cell W x S sends pi L W S upwards; the band
// rule with 5 deg cells and ten-digit pi comes within a fraction of a percent.
TEST_F(IntegratedPollution, FullSphereRoadFluxIsLambertian) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    state().pollution.meanLuminance = 1.0;
    const double straightUp = 1.0 * 7.0 * 30.0 / (10.0 * 0.8);
    EXPECT_NEAR(pollution::roadUpwardFlux() / (3.141592653589793 * straightUp), 1.0, 2e-3);
    const double rr = pollution::roadReflectedUpwardRatio();
    EXPECT_DOUBLE_EQ(rr, pollution::roadUpwardFlux() / 10.0 * 100.0 / 80.0 * 0.7699999809265137);
}

// A photometry 0..90 lays the road integral on the mirrored lower cells and gives the same
// RR as the same luminaire measured on the grid 0..180 symmetric about 90.
TEST_F(IntegratedPollution, LowerHalfPhotometryMirrorsItsCells) {
    for (const double step : {5.0, 2.5, 10.0}) {
        state().pollution.meanLuminance = 1.3;
        setPhotometry(90.0, step, roadLuminaire);
        const double lowerOnly = pollution::roadReflectedUpwardRatio();
        setPhotometry(180.0, step, roadLuminaire);
        const double full = pollution::roadReflectedUpwardRatio();
        EXPECT_GT(lowerOnly, 0.0);
        EXPECT_NEAR(lowerOnly, full, 1e-12 * full) << step;
    }
    // Irregular lower gamma grid (no gamma step): still the mirror of the full grid.
    auto irregular = [](double last) {
        auto& p = state().photometry;
        std::vector<double> g = {0, 5, 15, 30, 50, 70, 85, 90};
        if (last == 180.0) {
            for (int k = 6; k >= 0; --k) g.push_back(180.0 - g[static_cast<std::size_t>(k)]);
        }
        p.gammaStep = 0.0;
        p.gammaAngles = g;
        p.gammaCount = static_cast<int>(g.size());
        p.intensity.assign(static_cast<std::size_t>(p.cCount * p.gammaCount), 1.0);
        return pollution::roadReflectedUpwardRatio();
    };
    setPhotometry(90.0, 5.0, roadLuminaire);
    const double a = irregular(90.0);
    const double b = irregular(180.0);
    EXPECT_GT(a, 0.0);
    EXPECT_NEAR(a, b, 1e-12 * b);
}

// Any gamma angle above 90 keeps the photometry's own upper cells: a photometry ending at
// 120 integrates the band 90..122.5 only.
TEST_F(IntegratedPollution, PartialUpperPhotometryUsesItsOwnCells) {
    state().pollution.meanLuminance = 1.0;
    setPhotometry(120.0, 5.0, roadLuminaire);
    const double partial = pollution::roadUpwardFlux();
    double expected = 0.0;
    const double straightUp = 1.0 * 7.0 * 30.0 / (0.8 * 10.0);
    for (double g = 95.0; g <= 120.0; g += 5.0) {
        const double band = (std::cos((g - 2.5) * 0.017453292519943295) - std::cos((g + 2.5) * 0.017453292519943295)) *
                            (15.0 * 3.141592653) / 180.0;
        expected += 24.0 * band * std::sin((g - 90.0) * 0.017453292519943295) * straightUp;
    }
    EXPECT_NEAR(partial, expected, 1e-9 * expected);
}

TEST_F(IntegratedPollution, UnlitRoadWritesAsterisksForItsIncreases) {
    setPhotometry(90.0, 5.0, roadLuminaire);
    state().emission.downwardFluxFactor = 100.0;
    state().emission.upwardFluxFactor = 0.0;
    setLuminance(4, 3, [](int, int, int) { return 0.0; });
    state().pollution.meanLuminance = 0.0;
    reportIntegratedPollution();
    const auto body = consoleBody();
    ASSERT_EQ(body.size(), 13u);
    EXPECT_EQ(body[2], " road reflected upward flux ratio %:              " + fmt::F(0.0, 7, 2));
    EXPECT_EQ(body[5], " increase of upflux ratio due to direct emission %*******");
    EXPECT_EQ(body[6], " increase of upflux ratio due to out-road emiss. %*******");
    EXPECT_EQ(body[9], " road unit uplight density RUUD (lm/m^2):         " + fmt::F(0.0, 7, 2));
    EXPECT_EQ(body[11], " increase of uplight density due to direct emission %:*****");
    EXPECT_EQ(body[12], " increase of uplight density due to out-road emiss. %:*****");
}

}  // namespace
}  // namespace vl::test
