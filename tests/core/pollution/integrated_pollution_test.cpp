#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/pollution/pollution.hpp"
#include "core/pollution/pollution_fixture.hpp"
#include "text/format.hpp"

namespace vl::test {
namespace {

const std::string kReferenceSurface = " lambertian reflectance with rho=0.135 in average";

// The lines of the integrated section after its reference-surface lines.
std::vector<std::string> integratedBody(const std::vector<std::string>& lines, std::size_t count) {
    const std::size_t at = findLine(lines, kReferenceSurface);
    EXPECT_LT(at + count, lines.size());
    if (at + count >= lines.size()) return {};
    return {lines.begin() + static_cast<std::ptrdiff_t>(at + 1),
            lines.begin() + static_cast<std::ptrdiff_t>(at + 1 + count)};
}

// The integrated figures of a case whose maintained road luminance averages meanL.
IntegratedPollution integratedFor(PollutionCase& c, double meanL) {
    DirectionalPollution d;
    d.meanLuminance = meanL;
    return computeIntegratedPollution(c.inputs(), d, c.road, c.agedAsphalt);
}

TEST(IntegratedPollution, TiltedIncompletePhotometryIsSkipped) {
    PollutionCase c;
    c.installation.tilt = 10.0;
    c.photometry = pollutionPhotometry(150.0, 5.0, roadLuminaire);
    const RunResult r = c.result();
    EXPECT_FALSE(r.integrated.computed);
    EXPECT_EQ(r.integrated.directUplightDensity, 0.0);
    const std::string dots = " " + fmt::repeat('.', 54);
    const std::vector<std::string> notice = {"  ",
                                             dots,
                                             " ATTENTION: The input photometry is incomplete.",
                                             " It does not fill the full gamma range 0-180 degrees",
                                             " Computation of integrate parameters can be made",
                                             " only for zero inclination.",
                                             dots};
    const Written w = writtenSections(c, r);
    EXPECT_EQ(integratedBody(w.console, notice.size()), notice);
    EXPECT_EQ(integratedBody(w.report, notice.size()), notice);
}

TEST(IntegratedPollution, TiltWithFullPhotometryOrUntiltedIncompleteIsComputed) {
    for (const auto& [tilt, last] : {std::pair{10.0, 180.0}, std::pair{0.0, 90.0}}) {
        PollutionCase c;
        c.installation.tilt = tilt;
        c.photometry = pollutionPhotometry(last, 5.0, roadLuminaire);
        EXPECT_TRUE(integratedFor(c, 1.0).computed) << tilt << " " << last;
    }
}

TEST(IntegratedPollution, RatiosAndDensitiesFollowTheirDefinitions) {
    PollutionCase c;
    const IntegratedPollution r = integratedFor(c, 1.2);
    EXPECT_GT(r.roadReflectedRatio, 0.0);
    EXPECT_EQ(r.directUpwardFluxRatio, 3.0);
    EXPECT_DOUBLE_EQ(r.roadReflectedPercent, r.roadReflectedRatio * 80.0);
    EXPECT_DOUBLE_EQ(r.roadReflectedRatioAgedAsphalt, 6.0 * 1.2 / 80.0);  // 0.09
    // The wasted downward flux lands on surfaces of reflectance 0.135.
    const double outOfRoad = 25.0 * 0.135 * 97.0 / 100.0;
    EXPECT_DOUBLE_EQ(r.outOfRoadReflectedRatio, outOfRoad);
    // Densities over the area W S of one luminaire, per klm: lumens of lamp flux Phi LORL.
    EXPECT_DOUBLE_EQ(r.directUplightDensity, (100.0 - 97.0) * 0.8 * 10.0 * 10.0 / (7.0 * 30.0));
    EXPECT_DOUBLE_EQ(r.outOfRoadUplightDensity, 80.0 * outOfRoad * 10.0 * 10.0 / (7.0 * 100.0 * 30.0));
    // UFF = 100 - DFF: RUUD is the road share alone.
    EXPECT_NEAR(r.roadUplightDensity, r.roadReflectedPercent * 10.0 * 10.0 / (100.0 * 7.0 * 30.0), 1e-12);
}

// The road integral: the luminaire's own intensities never enter it.
TEST(IntegratedPollution, RoadFluxIgnoresTheLuminaireIntensities) {
    PollutionCase c;
    const double first = roadUpwardFlux(c.inputs(), 1.0);
    c.photometry = pollutionPhotometry(180.0, 5.0, [](double, double) { return 1000.0; });
    EXPECT_EQ(roadUpwardFlux(c.inputs(), 1.0), first);
}

// A lambertian road of luminance L over the cell W x S sends pi L W S upwards; the band
// rule with 5 deg cells and ten-digit pi comes within a fraction of a percent.
TEST(IntegratedPollution, FullSphereRoadFluxIsLambertian) {
    PollutionCase c;
    const double straightUp = 1.0 * 7.0 * 30.0 / (10.0 * 0.8);
    const double flux = roadUpwardFlux(c.inputs(), 1.0);
    EXPECT_NEAR(flux / (3.141592653589793 * straightUp), 1.0, 2e-3);
    // RR: the share 0.77 (single precision) of it that leaves, in % of the luminaire flux.
    EXPECT_DOUBLE_EQ(integratedFor(c, 1.0).roadReflectedRatio, flux / 10.0 * 100.0 / 80.0 * 0.7699999809265137);
}

// A photometry 0..90 lays the road integral on the mirrored lower cells and gives the same
// flux as the same luminaire measured on the grid 0..180 symmetric about 90.
TEST(IntegratedPollution, LowerHalfPhotometryMirrorsItsCells) {
    PollutionCase c;
    for (const double step : {5.0, 2.5, 10.0}) {
        c.photometry = pollutionPhotometry(90.0, step, roadLuminaire);
        const double lowerOnly = roadUpwardFlux(c.inputs(), 1.3);
        c.photometry = pollutionPhotometry(180.0, step, roadLuminaire);
        const double full = roadUpwardFlux(c.inputs(), 1.3);
        EXPECT_GT(lowerOnly, 0.0);
        EXPECT_NEAR(lowerOnly, full, 1e-12 * full) << step;
    }
    // Irregular lower gamma grid (no gamma step): still the mirror of the full grid.
    auto irregular = [&](double last) {
        std::vector<double> g = {0, 5, 15, 30, 50, 70, 85, 90};
        if (last == 180.0) {
            for (int k = 6; k >= 0; --k) g.push_back(180.0 - g[static_cast<std::size_t>(k)]);
        }
        PhotometryTable& p = c.photometry;
        p = pollutionPhotometry(90.0, 5.0, roadLuminaire);
        p.gammaStep = 0.0;
        p.gammaAngles = g;
        p.gammaCount = static_cast<int>(g.size());
        p.intensity.assign(static_cast<std::size_t>(p.cCount * p.gammaCount), 1.0);
        return roadUpwardFlux(c.inputs(), 1.3);
    };
    const double a = irregular(90.0);
    const double b = irregular(180.0);
    EXPECT_GT(a, 0.0);
    EXPECT_NEAR(a, b, 1e-12 * b);
}

// Any gamma angle above 90 keeps the photometry's own upper cells: a photometry ending at
// 120 integrates the band 90..122.5 only.
TEST(IntegratedPollution, PartialUpperPhotometryUsesItsOwnCells) {
    PollutionCase c;
    c.photometry = pollutionPhotometry(120.0, 5.0, roadLuminaire);
    const double partial = roadUpwardFlux(c.inputs(), 1.0);
    double expected = 0.0;
    const double straightUp = 1.0 * 7.0 * 30.0 / (0.8 * 10.0);
    for (double g = 95.0; g <= 120.0; g += 5.0) {
        const double band = (std::cos((g - 2.5) * kDegree) - std::cos((g + 2.5) * kDegree)) * (15.0 * 3.141592653) / 180.0;
        expected += 24.0 * band * std::sin((g - 90.0) * kDegree) * straightUp;
    }
    EXPECT_NEAR(partial, expected, 1e-9 * expected);
}

TEST(IntegratedPollution, UnlitRoadWritesAsterisksForItsIncreases) {
    PollutionCase c;
    c.photometry = pollutionPhotometry(90.0, 5.0, roadLuminaire);
    c.emission.downwardFluxFactor = 100.0;
    c.emission.upwardFluxFactor = 0.0;
    c.luminance = luminanceField(4, 3, [](int, int, int) { return 0.0; });
    const auto body = integratedBody(writtenSections(c, c.result()).console, 13);
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
