#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/pollution/pollution.hpp"
#include "core/pollution/pollution_fixture.hpp"
#include "text/format.hpp"

namespace vl::test {
namespace {

const std::string kAzimuthHeading = "               Azimuth (deg) luminance (cd/m^2)";
const std::string kDirectionHeading = " alpha(deg)  omega(deg) road intensity  fixture intensity  ratio%";
const std::string kAverageHeading = "     alpha  average road intensity  fixture intensity      ratio%";
const std::string kNotAvailable = "  not available,   not available";

TEST(DirectionalPollution, AzimuthLuminanceIsTheMaintainedGridAverage) {
    PollutionCase c;  // L = 1 + 0.01 k everywhere on the grid, q = 0.8
    const DirectionalPollution d = c.directional();
    for (std::size_t k = 0; k < kDirections; ++k) {
        EXPECT_DOUBLE_EQ(d.azimuthDeg[k], 10.0 * static_cast<double>(k));
        EXPECT_NEAR(d.avgLuminanceByAzimuth[k], 0.8 * (1.0 + 0.01 * static_cast<double>(k)), 1e-14);
    }
    EXPECT_NEAR(d.meanLuminance, 0.8 * 1.175, 1e-14);
    // Zero end slopes: the spline is flat at both ends, not natural.
    EXPECT_NE(d.avgLuminanceSpline[0], 0.0);
}

TEST(DirectionalPollution, DirectionTableHas48RowsAzimuthOutermost) {
    PollutionCase c;
    const DirectionalPollution d = c.directional();
    ASSERT_EQ(d.directionTable.size(), 48u);
    for (std::size_t row = 0; row < 48; ++row) {
        EXPECT_EQ(d.directionTable[row].alpha, kElevationSet[row % 4]);
        EXPECT_EQ(d.directionTable[row].azimuth, static_cast<int>(30 * (row / 4)));
    }
}

TEST(DirectionalPollution, DirectionTableValuesAreSinglePrecisionPerLuminaireFlux) {
    PollutionCase c;
    const RunResult r = c.result();
    // Lambertian road: sin(alpha) W S Lw / (q Phi), Lw(0) = 0.8 and Lw(90) = 0.8 * 1.09.
    const double ir = std::sin(1.0 * kDegree) * 7.0 * 30.0 * 0.8 / (0.8 * 10.0);
    EXPECT_NEAR(r.directional.roadIntensity1deg0, ir, 1e-15);
    EXPECT_NEAR(r.directional.roadIntensity1deg90, ir * 1.09, 1e-14);

    const double fixture = c.inputs().luminaire.at(180.0, 91.0);
    const double road = r.directional.roadIntensity1deg0;
    const std::string expected = fmt::I(1, 7) + fmt::I(0, 10) + fmt::F(fmt::single(road / 0.8), 15, 2) +
                                 fmt::F(fmt::single(fixture / 0.8), 17, 2) +
                                 fmt::Itrunc(fmt::truncated(100.0 * fixture / road), 15);
    const auto console = writtenSections(c, r).console;
    EXPECT_EQ(console[findLine(console, kDirectionHeading) + 1], expected);
}

TEST(DirectionalPollution, RatioIsTruncatedTowardZero) {
    PollutionCase c;
    c.photometry = pollutionPhotometry(180.0, 5.0, [](double, double) { return 40.0; });
    // A road luminance that makes the luminaire give just below 100 % of the road at
    // alpha = 1, omega = 0.
    const double fixture = c.inputs().luminaire.at(180.0, 91.0);
    ASSERT_GT(fixture, 0.0);
    const double wantedIr = fixture / 0.9999999;
    const double lw = wantedIr * 0.8 * 10.0 / (std::sin(1.0 * kDegree) * 7.0 * 30.0);
    c.luminance = luminanceField(1, 1, [&](int, int, int) { return lw / 0.8; });
    const auto console = writtenSections(c, c.result()).console;
    const std::string& row = console[findLine(console, kDirectionHeading) + 1];
    EXPECT_EQ(row.substr(row.size() - 15), fmt::I(99, 15)) << row;
}

TEST(DirectionalPollution, PhotometryEndingAt100HasNoFixtureValuesAbove10Degrees) {
    PollutionCase c;
    c.photometry = pollutionPhotometry(100.0, 5.0, roadLuminaire);
    const RunResult r = c.result();
    const DirectionalPollution& d = r.directional;
    for (const DirectionRow& row : d.directionTable) EXPECT_EQ(row.intensities.fixtureAvailable, row.alpha <= 10.0);
    for (std::size_t n = 0; n < kElevations; ++n) {
        EXPECT_EQ(d.averages[n].fixtureAvailable, n < 2) << n;
        if (n >= 2) {
            EXPECT_EQ(d.averages[n].fixture, 0.0) << n;
        }
    }

    const Written w = writtenSections(c, r);
    for (const auto* lines : {&w.console, &w.report}) {
        const std::size_t head = findLine(*lines, kDirectionHeading);
        ASSERT_LT(head + 48, lines->size());
        for (std::size_t row = 0; row < 48; ++row) {
            const std::string& line = (*lines)[head + 1 + row];
            const bool reached = row % 4 < 2;
            EXPECT_EQ(line.size(), reached ? 64u : 32u + kNotAvailable.size()) << line;
            EXPECT_EQ(line.find(kNotAvailable) != std::string::npos, !reached) << line;
        }
        const std::size_t avg = findLine(*lines, kAverageHeading);
        ASSERT_LT(avg + 4, lines->size());
        EXPECT_EQ((*lines)[avg + 2].size(), 7u + 3u + 15u + 21u + 18u);
        EXPECT_EQ((*lines)[avg + 3], fmt::I(20, 7) + "deg" + fmt::F(d.averages[2].road / 0.8, 15, 2) + kNotAvailable);
        EXPECT_NE((*lines)[avg + 4].find(kNotAvailable), std::string::npos);
    }
}

TEST(DirectionalPollution, AverageOverAzimuthLeavesOutTheClosingPlane) {
    PollutionCase c;
    const DirectionalPollution d = c.directional();
    const PollutionInputs in = c.inputs();
    double sum = 0.0;
    for (int l = 0; l < 24; ++l) sum += in.luminaire.at(15.0 * l + 180.0, 120.0);
    EXPECT_DOUBLE_EQ(d.averages[3].fixture, sum / 24.0);
}

TEST(DirectionalPollution, UnlitRoadWritesAsterisksInsteadOfRatios) {
    PollutionCase c;
    c.luminance = luminanceField(4, 3, [](int, int, int) { return 0.0; });
    const auto console = writtenSections(c, c.result()).console;
    const std::string& row = console[findLine(console, kDirectionHeading) + 1];
    EXPECT_EQ(row.substr(17, 15), fmt::F(0.0, 15, 2));
    EXPECT_EQ(row.substr(row.size() - 15), std::string(15, '*'));
    const std::string& average = console[findLine(console, kAverageHeading) + 1];
    EXPECT_EQ(average.substr(average.size() - 18), std::string(18, '*'));
}

// Console block then report block for the list-line headings; row by row for the rows.
TEST(DirectionalPollution, HeadingBlocksGoToConsoleFirstRowsAlternate) {
    PollutionCase c;
    const auto merged = interleavedSections(c, c.result());
    const auto expectBlockThenRows = [&](const std::vector<std::string>& heading, std::size_t rows) {
        // Each heading opens with a blank line; its title finds it.
        const std::size_t at = findLine(merged, "C|" + heading[1]) - 1;
        ASSERT_LT(at + 2 * heading.size() + 2 * rows, merged.size() + 1);
        for (std::size_t k = 0; k < heading.size(); ++k) {
            EXPECT_EQ(merged[at + k], "C|" + heading[k]);
            EXPECT_EQ(merged[at + heading.size() + k], heading[k]);
        }
        for (std::size_t r = 0; r < rows; ++r) {
            const std::size_t row = at + 2 * heading.size() + 2 * r;
            EXPECT_EQ(merged[row], "C|" + merged[row + 1]) << r;
        }
    };
    expectBlockThenRows({"  ", " Average maintained luminance at azimuth omega", kAzimuthHeading}, 36);
    expectBlockThenRows({"  ", " Upward intensity per unit luminaire flux (cd/klm)",
                         " at elevation alpha and azimuth omega", kDirectionHeading},
                        48);
    expectBlockThenRows({"  ", " Average upward intensity per unit luminaire flux at elevat. alpha", kAverageHeading},
                        4);
    // The maximum luminaire intensity alternates line by line from its blank line on.
    const std::size_t max = findLine(merged, "C| Maximum upward luminaire intensity");
    ASSERT_LT(max + 5, merged.size());
    EXPECT_EQ(merged[max - 2], "C|  ");
    EXPECT_EQ(merged[max - 1], "  ");
    EXPECT_EQ(merged[max + 1], " Maximum upward luminaire intensity");
    EXPECT_EQ(merged[max + 2], "C|" + merged[max + 3]);
    EXPECT_EQ(merged[max + 4], "C|" + merged[max + 5]);
}

// ---- maximum upward intensities ----

TEST(MaximumIntensity, FirstOfEqualMaximaInCOuterGammaInnerOrderWins) {
    // Equal maxima at (C 45, gamma 170) and (C 75, gamma 100): with C outermost the
    // first is met first; a gamma-outer scan would report the second.
    PollutionCase c;
    c.photometry = pollutionPhotometry(180.0, 5.0, [](double cAngle, double g) {
        if ((cAngle == 45.0 && g == 170.0) || (cAngle == 75.0 && g == 100.0)) return 50.0;
        return g < 90.0 ? 400.0 : 10.0;  // the larger downward values do not count
    });
    const RunResult r = c.result();
    const MaximumLuminaireIntensity& max = r.directional.maxLuminaire;
    ASSERT_TRUE(max.found);
    EXPECT_DOUBLE_EQ(max.intensity, 50.0);
    const auto console = writtenSections(c, r).console;
    const std::size_t at = findLine(console, " Maximum upward luminaire intensity");
    ASSERT_LT(at + 4, console.size());
    EXPECT_EQ(console[at - 1], "  ");
    EXPECT_EQ(console[at + 1], " per unit lamp flux       50.00 cd/klm at angles C, gamma  45, 170");
    EXPECT_EQ(console[at + 2], " per unit luminaire flux  62.50 cd/klm at angles C, gamma  45, 170");
    // A full photometry: no ATTENTION block.
    EXPECT_EQ(countContaining(console, "ATTENTION"), 0);
    EXPECT_EQ(console[at + 3], "  ");
    EXPECT_EQ(console[at + 4], " Maximum upward road intensity (estimate)");
}

TEST(MaximumIntensity, GammaExactly90CountsAsUpward) {
    const PhotometryTable p =
        pollutionPhotometry(180.0, 5.0, [](double, double g) { return g == 90.0 ? 77.0 : (g < 90.0 ? 500.0 : 1.0); });
    const MaximumLuminaireIntensity max = maximumUpwardIntensity(p, 0.0, PollutionCase().emission);
    ASSERT_TRUE(max.found);
    EXPECT_EQ(max.intensity, 77.0);
    EXPECT_EQ(max.at.c, 0.0);
    EXPECT_EQ(max.at.gamma, 90.0);
}

TEST(MaximumIntensity, NoUpwardLightGivesNotAvailableConsoleFirstAndNoAttention) {
    PollutionCase c;
    c.photometry = pollutionPhotometry(90.0, 5.0, [](double, double g) { return g < 90.0 ? 300.0 : 0.0; });
    const RunResult r = c.result();
    EXPECT_FALSE(r.directional.maxLuminaire.found);
    const std::string text = " Maximum luminaire intensity per unit lamp flux at angles C, gamma not available";
    const Written w = writtenSections(c, r);
    for (const auto* lines : {&w.console, &w.report}) {
        const std::size_t at = findLine(*lines, text);
        ASSERT_LT(at, lines->size());
        EXPECT_EQ((*lines)[at - 1], "  ");
        EXPECT_EQ(countContaining(*lines, "ATTENTION"), 0);
    }
    const auto merged = interleavedSections(c, r);
    const std::size_t at = findLine(merged, "C|" + text);
    ASSERT_LT(at + 2, merged.size());
    EXPECT_EQ(std::vector<std::string>(merged.begin() + static_cast<std::ptrdiff_t>(at - 1),
                                       merged.begin() + static_cast<std::ptrdiff_t>(at + 3)),
              (std::vector<std::string>{"C|  ", "C|" + text, "  ", text}));
}

TEST(MaximumIntensity, RoadEstimateIsLambertianIntensityStraightUp) {
    PollutionCase c;
    c.luminance = luminanceField(4, 3, [](int, int, int) { return 1.25; });  // maintained 1 cd/m^2
    const DirectionalPollution d = c.directional();
    // L W S / (Phi q) = 1 * 7 * 30 / (10 * 0.8)
    EXPECT_NEAR(d.maxRoadIntensity, 26.25, 1e-12);
    EXPECT_NEAR(d.maxRoadIntensityPerLuminaireFlux, 26.25 / 0.8, 1e-12);
}

// Spacing 0: the run ends after the luminaire with its maximum upward intensity, before
// any road figure.
TEST(MaximumIntensity, ZeroSpacingEndsAfterTheLuminaireMaximum) {
    PollutionCase c;
    RunInputs in = c.runInputs();
    in.installation.spacing = 0.0;
    in.installation.tilt = 5.0;
    const RunResult r = evaluate(in);
    EXPECT_EQ(r.end, RunEnd::RotationOnly);
    EXPECT_EQ(r.reached, RunStage::Luminaire);
    EXPECT_TRUE(r.directional.maxLuminaire.found);
    EXPECT_EQ(r.directional.maxRoadIntensity, 0.0);
    EXPECT_TRUE(r.directional.directionTable.empty());
}

}  // namespace
}  // namespace vl::test
