#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/roadlighting/road_fixtures.hpp"
#include "core/roadlighting/road_lighting.hpp"
#include "core/roadlighting/summary.hpp"
#include "support/test_support.hpp"
#include "writers/road_lighting_sections.hpp"
#include "writers/streams.hpp"

namespace vl {
namespace {

// A road lit to a maintained 10 lx and 1 cd/m^2 (observers 0.9 and 1.1) by the form's
// default installation (6.5 klm, W 7, S 24, q 0.8) with a 10 klm, 100 W lamp.
RoadLightingResult litRoad() {
    RoadLightingResult r;
    r.horizontalIlluminanceStats.average = 10.0;
    r.luminanceObserver1Stats.average = 0.9;
    r.luminanceObserver2Stats.average = 1.1;
    return r;
}

EmissionData emission() {
    EmissionData e;
    e.lightOutputRatio = 80.0;
    e.downwardFluxFactor = 50.0;
    return e;
}

TEST(EnergyFigures, FluxUseAndInstalledFluxAndPowerByHand) {
    const RoadInstallation road = roadInstallation(test::formDefaults());
    const PhotometryTable photometry = test::isotropicPhotometry(100.0);
    const EnergyFigures e =
        computeEnergyFigures(litRoad(), road, emission(), photometry, photometry.declared.lampSets.back());
    // 10 lx maintained on 168 m^2 is 2100 lm initial of the 6500 lm lamp.
    EXPECT_NEAR(e.fluxUse.utilizationFactor, 2100.0 / 6500.0, 1e-12);
    // 80 % leaves the luminaire, half of it downwards.
    EXPECT_NEAR(e.fluxUse.usedLuminaireFluxPercent, 2100.0 / 5200.0 * 100.0, 1e-9);
    EXPECT_NEAR(e.wastedLuminaireFluxPercent, 100.0 - 2100.0 / 5200.0 * 100.0, 1e-9);
    EXPECT_NEAR(e.usedDownwardFluxPercent, 2100.0 / 2600.0 * 100.0, 1e-9);
    EXPECT_NEAR(e.fluxUse.wastedDownwardFluxPercent, 500.0 / 2600.0 * 100.0, 1e-9);
    EXPECT_FALSE(e.incompleteForTilt);
    EXPECT_NEAR(e.luminairesPerKm, 1000.0 / 24.0, 1e-12);
    EXPECT_NEAR(e.fluxPerLength, 6500.0 / 24.0, 1e-12);
    EXPECT_NEAR(e.fluxPerArea, 6500.0 / 168.0, 1e-12);
    EXPECT_NEAR(e.initialFluxPerLengthPerLuminance, 0.8 * 6500.0 / 24.0, 1e-9);
    EXPECT_NEAR(e.maintainedFluxPerLengthPerLuminance, 6500.0 / 24.0, 1e-9);
    EXPECT_NEAR(e.initialPhotometricEfficacy, 0.8 * 6500.0 / 168.0, 1e-9);
    EXPECT_NEAR(e.maintainedPhotometricEfficacy, 6500.0 / 168.0, 1e-9);
    // 100 W for 10 klm: 65 W a luminaire.
    EXPECT_NEAR(e.powerPerLengthPerLuminance, 65.0 / 24.0, 1e-9);
    EXPECT_NEAR(e.energeticEfficacy, 65.0 / 168.0, 1e-9);
    EXPECT_NEAR(e.lampEfficacy, 100.0, 1e-12);
}

TEST(EnergyFigures, NoticeCondition) {
    PhotometryTable p;
    p.gammaAngles = {0.0, 90.0};
    EXPECT_FALSE(photometryIncompleteForTilt(0.0, p));
    EXPECT_TRUE(photometryIncompleteForTilt(-3.0, p));
    p.gammaAngles = {0.0, 90.0, 180.0};
    EXPECT_FALSE(photometryIncompleteForTilt(10.0, p));
}

struct Written {
    std::vector<std::string> console;
    std::vector<std::string> report;
};

// Console lines and report lines of a writer, the report in the scratch directory.
template <typename Write>
Written written(Write write) {
    Written out;
    reportFile().create("report_test.doc");
    {
        test::ConsoleCapture capture;
        write();
        out.console = capture.lines();
    }
    reportFile().close();
    out.report = test::readLines("report_test.doc");
    return out;
}

TEST(EnergySection, IncompletePhotometryNoticeReplacesOnlyTheFractions) {
    test::ScratchDir dir;
    RoadInstallation road = roadInstallation(test::formDefaults());
    road.tilt = 5.0;
    const PhotometryTable photometry =
        test::syntheticPhotometry(90.0, 30.0, 120.0, [](double, double) { return 100.0; });  // short of 180 deg
    RoadLightingResult r = litRoad();
    r.energy = computeEnergyFigures(r, road, emission(), photometry, photometry.declared.lampSets.back());
    ASSERT_TRUE(r.energy.incompleteForTilt);
    // The fraction the pollution figures use is still computed.
    EXPECT_NEAR(r.energy.fluxUse.wastedDownwardFluxPercent, 500.0 / 2600.0 * 100.0, 1e-9);

    const Written out = written([&] { writeEnergySection(r); });
    for (const std::vector<std::string>* lines : {&out.console, &out.report}) {
        const std::vector<std::string>& c = *lines;
        ASSERT_EQ(c.size(), 30u);
        EXPECT_EQ(c[2], " Energy and cost parameters:");
        EXPECT_EQ(c[4], " utilization factor (flux on the road/lamp flux):   0.323");
        EXPECT_EQ(c[5], "  ");
        EXPECT_EQ(c[6], " " + std::string(53, '.'));
        EXPECT_EQ(c[7], " ATTENTION: The input photometry is incomplete.");
        EXPECT_EQ(c[10], " only for zero inclination.");
        EXPECT_EQ(c[11], " " + std::string(53, '.'));
        EXPECT_EQ(c[12], "     ");
        EXPECT_EQ(c[13].substr(0, 19), " luminaires per km:");
    }
}

TEST(RoadLightingHeading, ConsoleFirstThenReportWithTheBlankLineAfterBoth) {
    test::ScratchDir dir;
    const Written out = written([] { writeRoadLightingHeading(0.85); });
    const std::string q = " Lamp flux maintenance factor q" + std::string(19, ' ') + "   0.85";
    EXPECT_EQ(out.console, (std::vector<std::string>{"     ", " " + std::string(54, '-'),
                                                      " Road lighting parameters:", "   ", q}));
    EXPECT_EQ(out.report, (std::vector<std::string>{"     ", " " + std::string(64, '-'),
                                                     " Road lighting parameters:", "   ", q}));
}

// The number part of a formatted line whose label ends in column 50.
std::string field(const std::string& line) { return line.size() > 50 ? line.substr(50) : ""; }

std::vector<std::string> bodyLines(const RoadLightingResult& r) {
    test::ConsoleCapture capture;
    writeRoadLightingBody(Stream::Console, r);
    return capture.lines();
}

TEST(RoadLightingBody, SinglePointGridWritesNaNForTheSpread) {
    const test::RoadTables tables = test::syntheticTables(100.0);
    const std::vector<std::string> c =
        bodyLines(test::roadLighting(tables, test::formDefaults(), test::gridRecord(1, 1, 'c', 1, 'c')));
    ASSERT_EQ(c.size(), 68u);
    EXPECT_EQ(c[7], " rms:" + std::string(45, ' ') + "    NaN");
    EXPECT_EQ(c[24], " rms:" + std::string(45, ' ') + "    NaN");
    EXPECT_EQ(field(c[10]), "   1.00");
}

TEST(RoadLightingBody, UnlitRoadRunsThroughWithUndefinedFigures) {
    // The row stands 400 m beside the road: every luminaire is beyond tan gamma 12.
    const test::RoadTables tables = test::syntheticTables(100.0);
    InstallationData in = test::formDefaults();
    in.overhang = 400.0;
    const RoadLightingResult r = test::roadLighting(tables, in, test::gridRecord(1, 10, 'c', 6, 'c'));
    EXPECT_EQ(r.luminanceObserver1Stats.average, 0.0);
    EXPECT_GT(r.horizontalIlluminanceStats.average, 0.0);
    const std::vector<std::string> c = bodyLines(r);
    ASSERT_EQ(c.size(), 68u);
    EXPECT_EQ(field(c[10]), "    NaN");  // U_0 = 0 / 0
    EXPECT_EQ(field(c[11]), "    NaN");  // U_L = 0 / 0
    EXPECT_EQ(field(c[35]), "    Inf");  // K = E / 0
    EXPECT_EQ(field(c[45]), "    Inf");  // TI of zero luminance
    test::ScratchDir dir;
    const Written energy = written([&] { writeEnergySection(r); });
    ASSERT_GT(energy.console.size(), 15u);
    EXPECT_EQ(field(energy.console[15]), "    Inf");  // flux per unit luminance
}

}  // namespace
}  // namespace vl
