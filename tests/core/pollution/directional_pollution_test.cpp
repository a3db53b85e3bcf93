#include "core/pollution/directional_pollution.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "writers/format.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "app/process_stop.hpp"
#include "core/pollution/pollution_fixture.hpp"

namespace vl::test {
namespace {

const std::string kAzimuthHeading = "               Azimuth (deg) luminance (cd/m^2)";
const std::string kDirectionHeading = " alpha(deg)  omega(deg) road intensity  fixture intensity  ratio%";
const std::string kAverageHeading = "     alpha  average road intensity  fixture intensity      ratio%";
const std::string kNotAvailable = "  not available,   not available";

class DirectionalPollution : public PollutionTest {};

TEST_F(DirectionalPollution, AzimuthTableHas36MaintainedRowsOnBothStreams) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    reportDirectionalPollution();
    const auto& console = consoleLines();
    const auto report = reportLines();
    ASSERT_GE(console.size(), 3u);
    EXPECT_EQ(console[0], "     ");
    EXPECT_EQ(console[1], " " + fmt::repeat('-', 54));
    EXPECT_EQ(console[2], " Light Pollution, direction dependent parameters:");
    EXPECT_EQ(report[1], " " + fmt::repeat('-', 64));

    for (const auto* lines : {&console, &report}) {
        const std::size_t head = findLine(*lines, kAzimuthHeading);
        ASSERT_LT(head + 36, lines->size());
        EXPECT_EQ((*lines)[head - 1], " Average maintained luminance at azimuth omega");
        EXPECT_EQ((*lines)[head - 2], "  ");
        for (int k = 0; k < 36; ++k) {
            // q L with L = 1 + 0.01 k everywhere on the grid.
            const std::string expected = "               " + fmt::I(10 * k, 11) + fmt::F(0.8 * (1.0 + 0.01 * k), 12, 3);
            EXPECT_EQ((*lines)[head + 1 + static_cast<std::size_t>(k)], expected);
        }
        EXPECT_EQ((*lines)[head + 37], "  ");
    }
    const auto& pol = state().pollution;
    EXPECT_DOUBLE_EQ(pol.azimuthDeg[35], 350.0);
    EXPECT_NEAR(pol.avgLuminanceByAzimuth[10], 0.8 * 1.1, 1e-14);
    EXPECT_NEAR(pol.meanLuminance, 0.8 * 1.175, 1e-14);
    // Zero end slopes: the spline is flat at both ends, not natural.
    EXPECT_NE(pol.avgLuminanceSpline[0], 0.0);
}

TEST_F(DirectionalPollution, DirectionTableHas48RowsAzimuthOutermost) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    reportDirectionalPollution();
    const auto report = reportLines();
    for (const auto* lines : {&consoleLines(), &report}) {
        const std::size_t head = findLine(*lines, kDirectionHeading);
        ASSERT_LT(head + 48, lines->size());
        const int alphas[] = {1, 10, 20, 30};
        for (int row = 0; row < 48; ++row) {
            const std::string& line = (*lines)[head + 1 + static_cast<std::size_t>(row)];
            ASSERT_EQ(line.size(), 7u + 10u + 15u + 17u + 15u) << line;
            EXPECT_EQ(line.substr(0, 7), fmt::I(alphas[row % 4], 7));
            EXPECT_EQ(line.substr(7, 10), fmt::I(30 * (row / 4), 10));
        }
        EXPECT_EQ((*lines)[head + 49], "  ");
    }
}

TEST_F(DirectionalPollution, DirectionTableValuesAreSinglePrecisionPerLuminaireFlux) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    reportDirectionalPollution();
    const auto& in = state().installation;
    const auto& pol = state().pollution;
    const double lw0 = pol.avgLuminanceByAzimuth[0];
    const double ir = std::sin(1.0 * 0.017453292519943295) * in.roadWidth * in.spacing * lw0 /
                      (in.maintenanceFactor * in.lampFlux);
    EXPECT_DOUBLE_EQ(pol.roadIntensity1deg0, ir);
    const double lw9 = pol.avgLuminanceByAzimuth[9];
    EXPECT_NEAR(pol.roadIntensity1deg90, pol.roadIntensity1deg0 * lw9 / lw0, 1e-12);

    const double fixture = luminaireIntensityAt(180.0, 91.0);
    const std::string expected = fmt::I(1, 7) + fmt::I(0, 10) + fmt::F(fmt::single(ir / 0.8), 15, 2) +
                                 fmt::F(fmt::single(fixture / 0.8), 17, 2) +
                                 fmt::Itrunc(fmt::truncated(100.0 * fixture / ir), 15);
    const auto& console = consoleLines();
    EXPECT_EQ(console[findLine(console, kDirectionHeading) + 1], expected);
}

TEST_F(DirectionalPollution, RatioIsTruncatedTowardZero) {
    setPhotometry(180.0, 5.0, [](double, double) { return 40.0; });
    // Choose the road luminance so that the luminaire gives just below 100 % of the road at
    // alpha = 1, omega = 0.
    const double fixture = luminaireIntensityAt(180.0, 91.0);
    ASSERT_GT(fixture, 0.0);
    const auto& in = state().installation;
    const double wantedIr = fixture / 0.9999999;
    const double lw = wantedIr * in.maintenanceFactor * in.lampFlux /
                      (std::sin(1.0 * 0.017453292519943295) * in.roadWidth * in.spacing);
    setLuminance(1, 1, [&](int, int, int) { return lw / in.maintenanceFactor; });
    reportDirectionalPollution();
    const auto& console = consoleLines();
    const std::string& row = console[findLine(console, kDirectionHeading) + 1];
    EXPECT_EQ(row.substr(row.size() - 15), fmt::I(99, 15)) << row;
}

TEST_F(DirectionalPollution, PhotometryEndingAt100HasNoFixtureValuesAbove10Degrees) {
    setPhotometry(100.0, 5.0, roadLuminaire);
    reportDirectionalPollution();
    const auto report = reportLines();
    for (const auto* lines : {&consoleLines(), &report}) {
        const std::size_t head = findLine(*lines, kDirectionHeading);
        ASSERT_LT(head + 48, lines->size());
        for (int row = 0; row < 48; ++row) {
            const std::string& line = (*lines)[head + 1 + static_cast<std::size_t>(row)];
            const bool reached = row % 4 < 2;
            EXPECT_EQ(line.size(), reached ? 64u : 32u + kNotAvailable.size()) << line;
            EXPECT_EQ(line.find(kNotAvailable) != std::string::npos, !reached) << line;
        }
        const std::size_t avg = findLine(*lines, kAverageHeading);
        ASSERT_LT(avg + 4, lines->size());
        EXPECT_EQ((*lines)[avg + 1].substr(0, 10), "      1deg");
        EXPECT_EQ((*lines)[avg + 1].size(), 7u + 3u + 15u + 21u + 18u);
        EXPECT_EQ((*lines)[avg + 2].size(), 7u + 3u + 15u + 21u + 18u);
        const double ir20 = state().pollution.avgRoadUpIntensity[2];
        EXPECT_EQ((*lines)[avg + 3], fmt::I(20, 7) + "deg" + fmt::F(ir20 / 0.8, 15, 2) + kNotAvailable);
        EXPECT_NE((*lines)[avg + 4].find(kNotAvailable), std::string::npos);
    }
}

TEST_F(DirectionalPollution, UnreachedElevationsKeepTheirFixtureAverage) {
    state().pollution.avgFixtureUpIntensity = {-1.0, -2.0, -3.0, -4.0};
    setPhotometry(100.0, 5.0, roadLuminaire);
    reportDirectionalPollution();
    const auto& pol = state().pollution;
    EXPECT_NE(pol.avgFixtureUpIntensity[0], -1.0);
    EXPECT_NE(pol.avgFixtureUpIntensity[1], -2.0);
    EXPECT_EQ(pol.avgFixtureUpIntensity[2], -3.0);
    EXPECT_EQ(pol.avgFixtureUpIntensity[3], -4.0);
}

TEST_F(DirectionalPollution, AverageOverAzimuthLeavesOutTheClosingPlane) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    reportDirectionalPollution();
    double sum = 0.0;
    for (int l = 0; l < 24; ++l) sum += luminaireIntensityAt(15.0 * l + 180.0, 120.0);
    EXPECT_DOUBLE_EQ(state().pollution.avgFixtureUpIntensity[3], sum / 24.0);
}

// ---- maximum upward luminaire intensity ----

class MaximumIntensity : public PollutionTest {};

TEST_F(MaximumIntensity, FirstOfEqualMaximaInCOuterGammaInnerOrderWins) {
    // Equal maxima at (C 45, gamma 170) and (C 75, gamma 100): with C outermost the
    // first is met first; a gamma-outer scan would report the second.
    setPhotometry(180.0, 5.0, [](double c, double g) {
        if ((c == 45.0 && g == 170.0) || (c == 75.0 && g == 100.0)) return 50.0;
        return g < 90.0 ? 400.0 : 10.0;  // the larger downward values do not count
    });
    state().pollution.meanLuminance = 1.0;
    reportMaximumIntensities();
    const auto& console = consoleLines();
    const std::size_t at = findLine(console, " Maximum upward luminaire intensity");
    ASSERT_LT(at + 2, console.size());
    EXPECT_EQ(console[at - 1], "  ");
    EXPECT_EQ(console[at + 1], " per unit lamp flux       50.00 cd/klm at angles C, gamma  45, 170");
    EXPECT_EQ(console[at + 2], " per unit luminaire flux  62.50 cd/klm at angles C, gamma  45, 170");
    EXPECT_DOUBLE_EQ(state().pollution.maxUpwardIntensity, 50.0);
    // A full photometry: no ATTENTION block.
    EXPECT_EQ(countContaining(console, "ATTENTION"), 0);
    EXPECT_EQ(console[at + 3], "  ");
    EXPECT_EQ(console[at + 4], " Maximum upward road intensity (estimate)");
}

TEST_F(MaximumIntensity, GammaExactly90CountsAsUpward) {
    setPhotometry(180.0, 5.0, [](double, double g) { return g == 90.0 ? 77.0 : (g < 90.0 ? 500.0 : 1.0); });
    state().pollution.meanLuminance = 1.0;
    reportMaximumIntensities();
    EXPECT_EQ(consoleLines()[2], " per unit lamp flux       77.00 cd/klm at angles C, gamma   0,  90");
}

TEST_F(MaximumIntensity, NoUpwardLightGivesNotAvailableAndNoAttention) {
    state().pollution.maxUpwardIntensity = 12.0;
    setPhotometry(90.0, 5.0, [](double, double g) { return g < 90.0 ? 300.0 : 0.0; });
    state().pollution.meanLuminance = 1.0;
    reportMaximumIntensities();
    const auto report = reportLines();
    for (const auto* lines : {&consoleLines(), &report}) {
        ASSERT_GE(lines->size(), 2u);
        EXPECT_EQ((*lines)[0], "  ");
        EXPECT_EQ((*lines)[1], " Maximum luminaire intensity per unit lamp flux at angles C, gamma not available");
        EXPECT_EQ(countContaining(*lines, "ATTENTION"), 0);
    }
    EXPECT_EQ(state().pollution.maxUpwardIntensity, 12.0);
}

TEST_F(MaximumIntensity, IncompletePhotometryWarningOrderDiffersBetweenStreams) {
    setPhotometry(170.0, 5.0, roadLuminaire);
    state().pollution.meanLuminance = 1.0;
    reportMaximumIntensities();
    const std::string dots = " " + fmt::repeat('.', 54);
    const std::vector<std::string> message = {" ATTENTION: The input photometry is incomplete.",
                                              " It does not fill the full gamma range 0-180 degrees",
                                              " This estimate assumes that the intensity decreases at larger ",
                                              " gamma, however this cannot be checked."};
    const auto report = reportLines();
    const auto& console = consoleLines();
    // Report: blank, dots, message, dots, blank.
    ASSERT_GE(report.size(), 12u);
    EXPECT_EQ(report[4], "  ");
    EXPECT_EQ(report[5], dots);
    for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(report[6 + k], message[k]);
    EXPECT_EQ(report[10], dots);
    EXPECT_EQ(report[11], "  ");
    // Console: dots straight after the luminaire flux line.
    ASSERT_GE(console.size(), 11u);
    EXPECT_EQ(console[3].substr(0, 24), " per unit luminaire flux");
    EXPECT_EQ(console[4], dots);
    for (std::size_t k = 0; k < 4; ++k) EXPECT_EQ(console[5 + k], message[k]);
    EXPECT_EQ(console[9], dots);
    EXPECT_EQ(console[10], "  ");
    EXPECT_EQ(console[11], "  ");
    EXPECT_EQ(console[12], " Maximum upward road intensity (estimate)");
}

TEST_F(MaximumIntensity, RoadEstimateIsLambertianIntensityStraightUp) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    state().pollution.meanLuminance = 1.0;
    reportMaximumIntensities();
    const double ir = 1.0 * 7.0 * 30.0 / (10.0 * 0.8);
    const auto report = reportLines();
    const std::size_t at = findLine(report, " Maximum upward road intensity (estimate)");
    ASSERT_LT(at + 2, report.size());
    EXPECT_EQ(report[at + 1], " per unit lamp flux     " + fmt::F(ir, 7, 2) + " cd/klm at gamma 180 deg");
    EXPECT_EQ(report[at + 2], " per unit luminaire flux" + fmt::F(ir / 0.8, 7, 2) + " cd/klm at gamma 180 deg");
    EXPECT_EQ(report[at + 1], " per unit lamp flux       26.25 cd/klm at gamma 180 deg");
}

TEST_F(MaximumIntensity, ZeroSpacingEndsQuietlyAfterTheLuminaireBlock) {
    state().installation.spacing = 0.0;
    state().installation.tilt = 5.0;
    setPhotometry(180.0, 5.0, roadLuminaire);
    try {
        reportMaximumIntensities();
        FAIL() << "the process should stop";
    } catch (const ProcessStop& stop) {
        EXPECT_EQ(stop.status, 0);
        EXPECT_TRUE(stop.errorMessage.empty());
        EXPECT_TRUE(stop.consoleMessage.empty());
    }
    const auto& console = consoleLines();
    EXPECT_EQ(findLine(console, " Maximum upward luminaire intensity"), 1u);
    EXPECT_EQ(countContaining(console, "per unit luminaire flux"), 1);
    EXPECT_EQ(countContaining(console, "road intensity"), 0);
    EXPECT_EQ(countContaining(reportLines(), "road intensity"), 0);
}

TEST_F(DirectionalPollution, UnlitRoadWritesAsterisksInsteadOfRatios) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    setLuminance(4, 3, [](int, int, int) { return 0.0; });
    reportDirectionalPollution();
    const auto& console = consoleLines();
    const std::size_t head = findLine(console, kDirectionHeading);
    const std::string& row = console[head + 1];
    EXPECT_EQ(row.substr(17, 15), fmt::F(0.0, 15, 2));
    EXPECT_EQ(row.substr(row.size() - 15), std::string(15, '*'));
    const std::size_t avg = findLine(console, kAverageHeading);
    EXPECT_EQ(console[avg + 1].substr(console[avg + 1].size() - 18), std::string(18, '*'));
}

// Console block then report block for the list-line headings; row by row for the rows.
TEST_F(DirectionalPollution, HeadingBlocksGoToConsoleFirstRowsAlternate) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    mergeConsoleIntoReport();
    reportDirectionalPollution();
    const auto merged = reportLines();
    const auto expectBlockThenRows = [&](const std::vector<std::string>& heading, std::size_t rows) {
        // Each heading opens with a blank line; its title finds it.
        const std::size_t at = findLine(merged, "C|" + heading[1]) - 1;
        ASSERT_LT(at + 2 * heading.size() + 2 * rows, merged.size() + 1);
        for (std::size_t k = 0; k < heading.size(); ++k) {
            EXPECT_EQ(merged[at + k], "C|" + heading[k]);
            EXPECT_EQ(merged[at + heading.size() + k], heading[k]);
        }
        for (std::size_t r = 0; r < rows; ++r) {
            const std::size_t c = at + 2 * heading.size() + 2 * r;
            EXPECT_EQ(merged[c], "C|" + merged[c + 1]) << r;
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

TEST_F(MaximumIntensity, NotAvailableBlockGoesToConsoleFirst) {
    setPhotometry(90.0, 5.0, [](double, double g) { return g < 90.0 ? 300.0 : 0.0; });
    state().pollution.meanLuminance = 1.0;
    mergeConsoleIntoReport();
    reportMaximumIntensities();
    const auto merged = reportLines();
    const std::string text = " Maximum luminaire intensity per unit lamp flux at angles C, gamma not available";
    ASSERT_GE(merged.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(merged.begin(), merged.begin() + 4),
              (std::vector<std::string>{"C|  ", "C|" + text, "  ", text}));
}

}  // namespace
}  // namespace vl::test
