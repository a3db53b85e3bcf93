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

constexpr double kPi = 3.141592653589793;
const std::string kScatteringTitle = " Light Pollution, emispheric and low-angles scattering parameters";

// Lines of a stream from the scattering heading on (the last section).
std::vector<std::string> scatteringSection(const std::vector<std::string>& lines) {
    const std::size_t at = findLine(lines, kScatteringTitle);
    EXPECT_LT(at, lines.size());
    return {lines.begin() + static_cast<std::ptrdiff_t>(at < lines.size() ? at - 2 : lines.size()), lines.end()};
}

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

TEST(Scattering, FullPhotometryHasHemisphericAndLowAngleFactors) {
    PollutionCase c;
    const RunResult r = c.result();
    const ScatteringFactors& f = r.scattering;
    EXPECT_TRUE(f.hemisphericAvailable);
    EXPECT_TRUE(f.lowAngleAvailable);
    EXPECT_TRUE(f.outOfRoadAvailable);
    EXPECT_GT(f.directScattered, 0.0);
    EXPECT_GT(f.roadScattered, 0.0);
    EXPECT_DOUBLE_EQ(f.lowAngleSolidAngle[0], 0.00760577);
    EXPECT_DOUBLE_EQ(f.lowAngleSolidAngle[3], 0.00675283);
    // The out-of-road surfaces scatter like the road, scaled by WUUD / RUUD.
    const double scale = r.integrated.outOfRoadUplightDensity / r.integrated.roadUplightDensity;
    EXPECT_DOUBLE_EQ(f.outOfRoadScattered, f.roadScattered * scale);
    EXPECT_DOUBLE_EQ(f.lowAngleOutOfRoadUp, f.lowAngleRoadUp * scale);
}

// The four low-angle bands tile the elevations 0..30 deg: 72 sectors of them hold
// 2 pi sin 30 = pi sr, and a lambertian road (intensity I0 sin e) sends pi I0 / 4 into them.
TEST(Scattering, LowAngleFactorsWeightTheBandsBySolidAngle) {
    PollutionCase c;
    c.photometry = pollutionPhotometry(180.0, 5.0, [](double, double) { return 40.0; });
    const RunResult r = c.result();
    const ScatteringFactors& f = r.scattering;
    const double toPercent = 1.0 / 10.0 * 100.0 / 80.0;
    EXPECT_NEAR(f.lowAngleDirectUp, kPi * 40.0 * toPercent, 1e-6 * f.lowAngleDirectUp);
    // The band rule on four elevations comes within 1 %.
    EXPECT_NEAR(f.lowAngleRoadUp / (kPi / 4.0 * r.directional.maxRoadIntensity * toPercent), 1.0, 0.01);
    // Scattered: weighted by the scattered fraction of paths at zenith angles 60..89 deg.
    for (const auto& [scattered, up] : {std::pair{f.lowAngleDirectScattered, f.lowAngleDirectUp},
                                        std::pair{f.lowAngleRoadScattered, f.lowAngleRoadUp}}) {
        EXPECT_GT(scattered, scatteredFraction(60.0) * up);
        EXPECT_LT(scattered, scatteredFraction(89.0) * up);
    }
}

TEST(Scattering, RoadEstimatedPhotometryFollowsTheAzimuthCurve) {
    PollutionCase c;
    // A road brighter towards omega = 0.
    c.luminance = luminanceField(3, 2, [](int, int, int k) { return 2.0 + std::cos(10.0 * k * kDegree); });
    const RunResult r = c.result();
    const PhotometryTable& p = c.photometry;
    const std::vector<double>& re = r.scattering.roadEstimatedPhotometry;
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
    const double lc0 = r.directional.avgLuminanceByAzimuth[0];
    EXPECT_NEAR(at(0, up), lc0 * 7.0 * 30.0 / (0.8 * 10.0) * 0.7699999809265137, 1e-12);
}

TEST(Scattering, PhotometryEndingAt170HasOnlyLowAngleFactors) {
    PollutionCase c;
    c.photometry = pollutionPhotometry(170.0, 5.0, roadLuminaire);
    const RunResult r = c.result();
    EXPECT_FALSE(r.scattering.hemisphericAvailable);
    EXPECT_TRUE(r.scattering.roadEstimatedPhotometry.empty());
    EXPECT_TRUE(r.scattering.lowAngleAvailable);
    const Written w = writtenSections(c, r);
    for (const auto* lines : {&w.console, &w.report}) {
        const auto section = scatteringSection(*lines);
        ASSERT_EQ(section.size(), 3u + 2u + 13u + 2u);
        EXPECT_EQ(section[3], "  ");
        EXPECT_EQ(section[4], " total scattered light factors not available");
        EXPECT_EQ(section[6].substr(0, 50), " low-angles direct upward flux factor %           ");
        EXPECT_EQ(countContaining(section, "not available"), 1);
    }
    // The not-available block: Console first.
    const auto merged = interleavedSections(c, r);
    const std::size_t at = findLine(merged, "C| total scattered light factors not available");
    ASSERT_LT(at + 2, merged.size());
    EXPECT_EQ(merged[at - 1], "C|  ");
    EXPECT_EQ(merged[at + 1], "  ");
    EXPECT_EQ(merged[at + 2], " total scattered light factors not available");
}

TEST(Scattering, PhotometryEndingAt110RefusesBothHemisphericFirst) {
    PollutionCase c;
    c.photometry = pollutionPhotometry(110.0, 5.0, roadLuminaire);
    const Written w = writtenSections(c, c.result());
    const std::vector<std::string> expected = {"  ",
                                               " total scattered light factors not available",
                                               "  ",
                                               " low angles flux factors not available",
                                               " scattered light factors not available",
                                               "     "};
    for (const auto* lines : {&w.console, &w.report}) {
        const auto section = scatteringSection(*lines);
        ASSERT_EQ(section.size(), 3u + expected.size() + 1u);
        EXPECT_EQ(std::vector<std::string>(section.begin() + 3, section.end() - 1), expected);
    }
}

TEST(Scattering, SkippedIntegratedParametersHideTheOutOfRoadLowAngleLines) {
    PollutionCase c;
    c.installation.tilt = 10.0;
    c.photometry = pollutionPhotometry(150.0, 5.0, roadLuminaire);
    const RunResult r = c.result();
    EXPECT_FALSE(r.integrated.computed);
    EXPECT_FALSE(r.scattering.outOfRoadAvailable);
    const Written w = writtenSections(c, r);
    for (const auto* lines : {&w.console, &w.report}) {
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

TEST(Scattering, UnlitRoadGivesNonFiniteFieldsWithoutCrashing) {
    PollutionCase c;
    c.emission.downwardFluxFactor = 100.0;
    c.emission.upwardFluxFactor = 0.0;
    c.luminance = luminanceField(4, 3, [](int, int, int) { return 0.0; });
    const auto section = scatteringSection(writtenSections(c, c.result()).console);
    ASSERT_EQ(section.size(), 3u + 6u + 13u + 2u);
    EXPECT_EQ(section[5], " road scattered flux factor %                     " + fmt::F(0.0, 7, 2));
    EXPECT_EQ(section[6], " out-of-road scattered flux factor %              " + std::string("    NaN"));
    EXPECT_EQ(section[7], " increase of scattered flux due to direct emiss. % ******");
    EXPECT_EQ(section[8], " increase of scattered flux due to out-road emiss.%******");
    EXPECT_EQ(section[13], " increase of low-angles upward flux due to direct emission %   *****");
}

}  // namespace
}  // namespace vl::test
