#include "core/pollution/scattering.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "writers/format.hpp"
#include "core/pollution/directional_pollution.hpp"
#include "core/pollution/integrated_pollution.hpp"
#include "core/pollution/pollution_fixture.hpp"

namespace vl::test {
namespace {

TEST(ScatteredFraction, StraightUpAndNearTheHorizon) {
    const double k = 2.9480005371723247e-06 * 100000.0;
    EXPECT_DOUBLE_EQ(scatteredFraction(0.0), 1.0 - std::exp(-k));
    EXPECT_EQ(scatteredFraction(89.0), 0.9994727543377309731);
    double previous = scatteredFraction(0.0);
    for (double z = 5.0; z < 89.5; z += 5.0) {
        const double w = scatteredFraction(z);
        EXPECT_GT(w, previous) << z;
        EXPECT_LT(w, 1.0);
        previous = w;
    }
    // Air mass sec z - 0.01 (sec z - 1)^2 at 60 deg: 2 - 0.01.
    EXPECT_NEAR(scatteredFraction(60.0), 1.0 - std::exp(-1.99 * k), 1e-15);
}

class Scattering : public PollutionTest {
protected:
    // The three light pollution phases in the order of a run.
    void runPollution() {
        reportDirectionalPollution();
        reportIntegratedPollution();
        reportScatteringFactors();
    }
    // Lines of a stream from the scattering heading on.
    static std::vector<std::string> scatteringSection(const std::vector<std::string>& lines) {
        const std::size_t at =
            findLine(lines, " Light Pollution, emispheric and low-angles scattering parameters");
        EXPECT_LT(at, lines.size());
        return {lines.begin() + static_cast<std::ptrdiff_t>(at < lines.size() ? at - 2 : lines.size()), lines.end()};
    }
};

TEST_F(Scattering, FullPhotometryHasHemisphericAndLowAngleFactors) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    runPollution();
    const auto& pol = state().pollution;
    EXPECT_GT(pol.directScatteredFactor, 0.0);
    EXPECT_GT(pol.roadScatteredFactor, 0.0);
    EXPECT_TRUE(pol.integratedComputedThisRun);
    EXPECT_DOUBLE_EQ(pol.lowAngleSolidAngle[0], 0.00760577);
    EXPECT_DOUBLE_EQ(pol.lowAngleSolidAngle[3], 0.00675283);

    const double r = pol.outOfRoadUplightDensity / (pol.roadAndDirectUplightDensity - pol.directUplightDensity);
    const auto report = reportLines();
    for (const auto* lines : {&consoleLines(), &report}) {
        const auto section = scatteringSection(*lines);
        ASSERT_EQ(section.size(), 3u + 6u + 13u + 2u);
        EXPECT_EQ(section[0], "     ");
        EXPECT_EQ(section[3], "     ");
        EXPECT_EQ(section[4], " direct scattered flux factor %                   " + fmt::F(pol.directScatteredFactor, 7, 2));
        EXPECT_EQ(section[6], " out-of-road scattered flux factor %              " +
                                  fmt::F(pol.roadScatteredFactor * r, 7, 2));
        EXPECT_EQ(section[7], " increase of scattered flux due to direct emiss. % " +
                                  fmt::Itrunc(pol.directScatteredFactor * 100.0 / pol.roadScatteredFactor, 6));
        EXPECT_EQ(section[8], " increase of scattered flux due to out-road emiss.%" + fmt::Itrunc(r * 100.0, 6));
        EXPECT_EQ(section[9], "  ");
        EXPECT_EQ(section[10].substr(0, 50), " low-angles direct upward flux factor %           ");
        EXPECT_EQ(section[15], "  ");
        EXPECT_EQ(section[21], "  ");
        EXPECT_EQ(section[22], "     ");
        EXPECT_EQ(section[23], " " + separator(lines == &report ? Stream::Report : Stream::Console));
    }
}

TEST_F(Scattering, LowAngleFactorsWeightTheAverageIntensities) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    runPollution();
    const auto& pol = state().pollution;
    const double omega[] = {0.00760577, 0.01498045, 0.01429418, 0.00675283};
    const double alpha[] = {1.0, 10.0, 20.0, 30.0};
    double du = 0.0;
    double rs = 0.0;
    for (int n = 0; n < 4; ++n) {
        du += 72.0 * omega[n] * pol.avgFixtureUpIntensity[static_cast<std::size_t>(n)];
        rs += scatteredFraction(90.0 - alpha[n]) * 72.0 * omega[n] * pol.avgRoadUpIntensity[static_cast<std::size_t>(n)];
    }
    du = du / 10.0 * 100.0 / 80.0;
    rs = rs / 10.0 * 100.0 / 80.0;
    const auto section = scatteringSection(consoleLines());
    ASSERT_GT(section.size(), 18u);
    EXPECT_EQ(section[10], " low-angles direct upward flux factor %           " + fmt::F(du, 7, 2));
    EXPECT_EQ(section[17], " low-angles road scattered flux factor %          " + fmt::F(rs, 7, 2));
}

TEST_F(Scattering, RoadEstimatedPhotometryFollowsTheAzimuthCurve) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    // A road brighter towards omega = 0.
    setLuminance(3, 2, [](int, int, int k) { return 2.0 + std::cos(10.0 * k * 0.017453292519943295); });
    runPollution();
    const auto& p = state().photometry;
    const auto& re = state().pollution.roadEstimatedPhotometry;
    ASSERT_EQ(re.size(), static_cast<std::size_t>(p.cCount * p.gammaCount));
    auto at = [&](int l, int m) { return re[static_cast<std::size_t>(l + p.cCount * m)]; };
    const int up = p.gammaCount - 1;
    const int horizontal = 18;
    ASSERT_EQ(p.gammaAngles[static_cast<std::size_t>(horizontal)], 90.0);
    for (int m = 0; m < p.gammaCount; ++m) {
        EXPECT_EQ(at(p.cCount - 1, m), at(0, m));
        if (m <= horizontal) {
            EXPECT_EQ(at(5, m), 0.0);
        }
    }
    EXPECT_GT(at(0, up), at(12, up));  // C = 0 brighter than C = 180
    const auto& in = state().installation;
    const auto& pol = state().pollution;
    const double lc0 = pol.avgLuminanceByAzimuth[0];
    EXPECT_NEAR(at(0, up), lc0 * in.roadWidth * in.spacing / (in.maintenanceFactor * in.lampFlux) * 0.7699999809265137,
                1e-12);
}

TEST_F(Scattering, PhotometryEndingAt170HasOnlyLowAngleFactors) {
    setPhotometry(170.0, 5.0, roadLuminaire);
    state().pollution.roadEstimatedPhotometry = {7.0};
    state().pollution.directScatteredFactor = 3.5;
    runPollution();
    EXPECT_EQ(state().pollution.roadEstimatedPhotometry, std::vector<double>{7.0});
    EXPECT_EQ(state().pollution.directScatteredFactor, 3.5);
    const auto report = reportLines();
    for (const auto* lines : {&consoleLines(), &report}) {
        const auto section = scatteringSection(*lines);
        ASSERT_EQ(section.size(), 3u + 2u + 13u + 2u);
        EXPECT_EQ(section[3], "  ");
        EXPECT_EQ(section[4], " total scattered light factors not available");
        EXPECT_EQ(section[6].substr(0, 50), " low-angles direct upward flux factor %           ");
        EXPECT_EQ(countContaining(section, "not available"), 1);
    }
}

TEST_F(Scattering, PhotometryEndingAt110RefusesBothHemisphericFirst) {
    setPhotometry(110.0, 5.0, roadLuminaire);
    runPollution();
    const auto report = reportLines();
    for (const auto* lines : {&consoleLines(), &report}) {
        const auto section = scatteringSection(*lines);
        const std::vector<std::string> expected = {"  ",
                                                   " total scattered light factors not available",
                                                   "  ",
                                                   " low angles flux factors not available",
                                                   " scattered light factors not available",
                                                   "     "};
        ASSERT_EQ(section.size(), 3u + expected.size() + 1u);
        EXPECT_EQ(std::vector<std::string>(section.begin() + 3, section.end() - 1), expected);
    }
}

TEST_F(Scattering, SkippedIntegratedParametersHideTheOutOfRoadLowAngleLines) {
    state().installation.tilt = 10.0;
    // Figures of an earlier run that must not show.
    state().pollution.directUplightDensity = 1.0;
    state().pollution.roadAndDirectUplightDensity = 3.0;
    state().pollution.outOfRoadUplightDensity = 5.0;
    setPhotometry(150.0, 5.0, roadLuminaire);
    runPollution();
    EXPECT_FALSE(state().pollution.integratedComputedThisRun);
    const auto report = reportLines();
    for (const auto* lines : {&consoleLines(), &report}) {
        const auto section = scatteringSection(*lines);
        ASSERT_EQ(section.size(), 3u + 2u + 13u + 2u);
        EXPECT_EQ(section[8], " low-angles out-of-road upward flux factor %       not available");
        EXPECT_EQ(section[10], " increase of low-angles upward flux due to out-road emission %  not available");
        EXPECT_EQ(section[14], " low-angles out-of-road scattered flux factor %    not available");
        EXPECT_EQ(section[16], " increase of low-angles scattered flux due to out-road emiss. % not available");
        // The road's own lines stay.
        EXPECT_EQ(section[7].substr(0, 50), " low-angles road upward flux factor %             ");
        EXPECT_EQ(section[7].size(), 57u);
        EXPECT_EQ(section[9].size(), 68u);
        EXPECT_EQ(countContaining(section, "not available"), 5);
    }
}

TEST_F(Scattering, UnlitRoadGivesNonFiniteFieldsWithoutCrashing) {
    setPhotometry(180.0, 5.0, roadLuminaire);
    state().emission.downwardFluxFactor = 100.0;
    state().emission.upwardFluxFactor = 0.0;
    setLuminance(4, 3, [](int, int, int) { return 0.0; });
    runPollution();
    const auto section = scatteringSection(consoleLines());
    ASSERT_EQ(section.size(), 3u + 6u + 13u + 2u);
    EXPECT_EQ(section[5], " road scattered flux factor %                     " + fmt::F(0.0, 7, 2));
    EXPECT_EQ(section[6], " out-of-road scattered flux factor %              " + std::string("    NaN"));
    EXPECT_EQ(section[7], " increase of scattered flux due to direct emiss. % ******");
    EXPECT_EQ(section[8], " increase of scattered flux due to out-road emiss.%******");
    EXPECT_EQ(section[13], " increase of low-angles upward flux due to direct emission %   *****");
}

TEST_F(Scattering, TotalNotAvailableBlockGoesToConsoleFirst) {
    setPhotometry(170.0, 5.0, roadLuminaire);
    reportDirectionalPollution();
    reportIntegratedPollution();
    mergeConsoleIntoReport();
    reportScatteringFactors();
    const auto merged = reportLines();
    const std::size_t at = findLine(merged, "C| total scattered light factors not available");
    ASSERT_LT(at + 2, merged.size());
    EXPECT_EQ(merged[at - 1], "C|  ");
    EXPECT_EQ(merged[at + 1], "  ");
    EXPECT_EQ(merged[at + 2], " total scattered light factors not available");
}

}  // namespace
}  // namespace vl::test
