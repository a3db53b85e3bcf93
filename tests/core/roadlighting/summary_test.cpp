#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "core/roadlighting/road_fixtures.hpp"
#include "core/roadlighting/road_lighting.hpp"
#include "core/roadlighting/summary.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

struct PhaseOutput {
    std::vector<std::string> console;
    std::vector<std::string> report;
};

// Runs the whole road lighting phase with the report file open in the scratch directory.
PhaseOutput runPhase() {
    PhaseOutput out;
    reportFile().create("report_test.doc");
    {
        test::ConsoleCapture capture;
        computeRoadLighting();
        out.console = capture.lines();
    }
    reportFile().close();
    out.report = test::readLines("report_test.doc");
    return out;
}

std::size_t indexOf(const std::vector<std::string>& lines, const std::string& line, std::size_t from = 0) {
    const auto it = std::find(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end(), line);
    return static_cast<std::size_t>(it - lines.begin());
}

// The number part of a formatted line whose label ends in column 50.
std::string field(const std::string& line) { return line.size() > 50 ? line.substr(50) : ""; }

class RoadLightingPhase : public ::testing::Test {
protected:
    void SetUp() override {
        dir.copyAllBundled();
        test::ConsoleCapture quiet;
        installation = test::defaultInstallation();
        test::useInstallation(installation, test::gridRecord(1, 10, 'c', 6, 'c'));
        test::installBundledData();
    }
    test::ScratchDir dir;
    InstallationData installation;
};

TEST_F(RoadLightingPhase, SectionsInTheirOrderOnBothStreams) {
    const PhaseOutput out = runPhase();
    const std::vector<std::string>& c = out.console;
    ASSERT_GE(c.size(), 20u);
    EXPECT_EQ(c[2], " Grid data:");
    const std::size_t heading = indexOf(c, " Road lighting parameters:");
    ASSERT_EQ(heading, 22u);  // 20 grid data lines, then "    " and the separator
    EXPECT_EQ(c[heading + 1], "   ");
    EXPECT_EQ(c[heading + 2], " Lamp flux maintenance factor q" + std::string(19, ' ') + "   0.80");
    // Body: 68 lines starting with "    " and "observer at infinity".
    const std::size_t body = heading + 3;
    EXPECT_EQ(c[body], "     ");
    EXPECT_EQ(c[body + 1], " observer at infinity");
    EXPECT_EQ(c[body + 2].substr(0, 51), " average maintained luminance L_ave (cd/m^2):      ");
    EXPECT_EQ(c[body + 2].size(), 57u);
    EXPECT_EQ(c[body + 30], " average luminance per unit illuminance)(cd/lm)");
    EXPECT_EQ(c[body + 47], " ");  // line 48 on the Console: the leading blank only
    EXPECT_EQ(c[body + 48], " glare rating index GR:");
    EXPECT_EQ(c[body + 53], " maintained semicilindrical illuminance Esc (lx):");
    EXPECT_EQ(c[body + 67].substr(0, 10), " min/ave: ");
    EXPECT_EQ(c[body + 68], "     ");
    EXPECT_EQ(c[body + 69], " " + std::string(54, '-'));
    EXPECT_EQ(c[body + 70], " Energy and cost parameters:");

    const std::vector<std::string>& r = out.report;
    const std::size_t rHeading = indexOf(r, " Road lighting parameters:");
    ASSERT_LT(rHeading, r.size());
    EXPECT_EQ(r[rHeading - 1], " " + std::string(64, '-'));
    const std::size_t rBody = rHeading + 3;
    for (std::size_t k = 0; k < 68; ++k) {
        if (k == 47) {
            EXPECT_EQ(r[rBody + k], "  ");  // line 48 in the report: one blank item
        } else {
            EXPECT_EQ(r[rBody + k], c[body + k]) << "body line " << k + 1;
        }
    }
}

TEST_F(RoadLightingPhase, BodyValuesComeFromTheStatistics) {
    const PhaseOutput out = runPhase();
    const ResultMaps& m = state().maps;
    const std::vector<std::string>& c = out.console;
    const std::size_t body = indexOf(c, " observer at infinity") - 1;
    EXPECT_EQ(c[body + 6], " average:" + std::string(41, ' ') + fmt::F(m.luminanceObserver1Stats.average, 7, 2));
    EXPECT_EQ(field(c[body + 10]), fmt::F(m.overallUniformity1, 7, 2));
    EXPECT_EQ(field(c[body + 11]), fmt::F(m.lengthwiseUniformity1, 7, 2));
    EXPECT_EQ(field(c[body + 20]), fmt::F(m.lengthwiseUniformity2, 7, 2));
    EXPECT_EQ(field(c[body + 32]),
              fmt::F(m.luminanceAtInfinityStats.average / m.horizontalIlluminanceStats.average, 7, 3));
    EXPECT_EQ(field(c[body + 44]), fmt::F(std::max(m.thresholdIncrement1, m.thresholdIncrement2), 7, 2));
    EXPECT_EQ(field(c[body + 39]), fmt::F(m.veilingLuminanceStats.maximum, 7, 2));
    EXPECT_EQ(field(c[body + 54]), fmt::F(m.semicylindricalIlluminanceStats.minimum, 7, 2));
    // Plausible road lighting figures for the default installation.
    EXPECT_GT(m.luminanceObserver1Stats.average, 0.1);
    EXPECT_GT(m.overallUniformity1, 0.0);
    EXPECT_LE(m.overallUniformity1, 1.0);
    EXPECT_GT(m.horizontalIlluminanceStats.average, 1.0);
}

TEST_F(RoadLightingPhase, EnergySectionAndFluxUse) {
    const PhaseOutput out = runPhase();
    const ResultMaps& m = state().maps;
    const EmissionData& e = state().emission;
    const double uf = m.horizontalIlluminanceStats.average * 7.0 * 24.0 / (0.8 * 6.5 * 1000.0);
    EXPECT_EQ(m.utilizationFactor, uf);
    EXPECT_EQ(m.usedLuminaireFluxPercent, uf * 100.0 * 100.0 / e.lightOutputRatio);
    EXPECT_EQ(m.wastedDownwardFluxPercent,
              (e.downwardFluxFactor - m.usedLuminaireFluxPercent) * 100.0 / e.downwardFluxFactor);
    const std::vector<std::string>& c = out.console;
    const std::size_t head = indexOf(c, " Energy and cost parameters:");
    ASSERT_EQ(head + 25, c.size());
    EXPECT_EQ(c[head + 2], " utilization factor (flux on the road/lamp flux): " + fmt::F(uf, 7, 3));
    EXPECT_EQ(c[head + 3].substr(0, 40), " used fraction of the luminaire flux %: ");
    EXPECT_EQ(c[head + 7], "     ");
    EXPECT_EQ(c[head + 8], " luminaires per km:" + std::string(31, ' ') + "  41.67");
    EXPECT_EQ(c.back(), " with lamp efficacy (including ballast)" +
                            fmt::F(state().lamp.totalFlux / state().lamp.wattage, 5, 1) +
                            " lm/w");
    EXPECT_EQ(c[c.size() - 2], " evaluated for lamp " + fmt::padded(state().lamp.lampType, 20));
    const std::vector<std::string>& r = out.report;
    EXPECT_EQ(r[r.size() - 2], " evaluated for lamp" + fmt::padded(state().lamp.lampType, 20));
    EXPECT_EQ(r.back(), c.back());
}

TEST_F(RoadLightingPhase, SinglePointGridWritesNaNForTheSpread) {
    state().gridRecord = test::gridRecord(1, 1, 'c', 1, 'c');
    const PhaseOutput out = runPhase();
    const std::vector<std::string>& c = out.console;
    const std::size_t body = indexOf(c, " observer at infinity") - 1;
    EXPECT_EQ(c[body + 7], " rms:" + std::string(45, ' ') + "    NaN");
    EXPECT_EQ(c[body + 24], " rms:" + std::string(45, ' ') + "    NaN");
    EXPECT_EQ(field(c[body + 10]), "   1.00");
}

TEST_F(RoadLightingPhase, UnlitRoadRunsThroughWithUndefinedFigures) {
    // The row stands 400 m beside the road: every luminaire is beyond tan gamma 12.
    installation.overhang = 400.0;
    state().installation = installation;
    const PhaseOutput out = runPhase();
    const ResultMaps& m = state().maps;
    EXPECT_EQ(m.luminanceObserver1Stats.average, 0.0);
    const std::vector<std::string>& c = out.console;
    const std::size_t body = indexOf(c, " observer at infinity") - 1;
    EXPECT_EQ(field(c[body + 10]), "    NaN");       // U_0 = 0 / 0
    EXPECT_EQ(field(c[body + 11]), "    NaN");       // U_L = 0 / 0
    EXPECT_EQ(field(c[body + 35]), "    Inf");       // K = E / 0
    EXPECT_EQ(field(c[body + 45]), "    Inf");       // TI of zero luminance
    const std::size_t energy = indexOf(c, " Energy and cost parameters:");
    EXPECT_EQ(c[energy + 13].substr(50), "    Inf");  // flux per unit luminance
}

TEST(EnergySection, IncompletePhotometryNoticeReplacesOnlyTheFractions) {
    test::ScratchDir dir;
    InstallationData in = test::defaultInstallation();
    in.tilt = 5.0;
    test::useInstallation(in, test::gridRecord(1, 4, 'c', 2, 'c'));
    test::installSyntheticPhotometry(100.0);
    PhotometryTable& p = state().photometry;
    p.gammaAngles = {0.0, 30.0, 60.0, 90.0, 120.0};  // stops short of 180 deg
    const PhaseOutput out = runPhase();
    const std::vector<std::string>& c = out.console;
    const std::size_t head = indexOf(c, " Energy and cost parameters:");
    ASSERT_LT(head + 12, c.size());
    EXPECT_EQ(c[head + 2].substr(0, 50), " utilization factor (flux on the road/lamp flux): ");
    EXPECT_EQ(c[head + 3], "  ");
    EXPECT_EQ(c[head + 4], " " + std::string(53, '.'));
    EXPECT_EQ(c[head + 5], " ATTENTION: The input photometry is incomplete.");
    EXPECT_EQ(c[head + 8], " only for zero inclination.");
    EXPECT_EQ(c[head + 10], "     ");
    EXPECT_EQ(c[head + 11].substr(0, 19), " luminaires per km:");
    const std::vector<std::string>& r = out.report;
    const std::size_t rHead = indexOf(r, " Energy and cost parameters:");
    EXPECT_EQ(r[rHead + 5], " ATTENTION: The input photometry is incomplete.");
    // Fraction used by the pollution figures is still computed.
    const ResultMaps& m = state().maps;
    EXPECT_EQ(m.wastedDownwardFluxPercent, (100.0 - m.usedLuminaireFluxPercent) * 100.0 / 100.0);
}

TEST(EnergySection, NoticeCondition) {
    PhotometryTable p;
    p.gammaAngles = {0.0, 90.0};
    EXPECT_FALSE(photometryIncompleteForTilt(0.0, p));
    EXPECT_TRUE(photometryIncompleteForTilt(-3.0, p));
    p.gammaAngles = {0.0, 90.0, 180.0};
    EXPECT_FALSE(photometryIncompleteForTilt(10.0, p));
}

TEST(RoadLightingHeading, ConsoleFirstThenReportWithTheBlankLineAfterBoth) {
    test::ScratchDir dir;
    reportFile().create("heading.doc");
    std::vector<std::string> console;
    {
        test::ConsoleCapture capture;
        writeRoadLightingHeading(0.85);
        console = capture.lines();
    }
    reportFile().close();
    const std::vector<std::string> report = test::readLines("heading.doc");
    const std::string q = " Lamp flux maintenance factor q" + std::string(19, ' ') + "   0.85";
    EXPECT_EQ(console, (std::vector<std::string>{"     ", " " + std::string(54, '-'), " Road lighting parameters:",
                                                  "   ", q}));
    EXPECT_EQ(report, (std::vector<std::string>{"     ", " " + std::string(64, '-'), " Road lighting parameters:",
                                                 "   ", q}));
}

}  // namespace
}  // namespace vl
