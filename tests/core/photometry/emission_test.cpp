#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "core/photometry/emission.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "app/computation_state.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

std::vector<double> steps(double from, double to, double step) {
    std::vector<double> v;
    for (double x = from; x <= to + 1e-9; x += step) v.push_back(x);
    return v;
}

// A table and its rotated copy (tilt 0) of one constant intensity.
void setUniformTable(const std::vector<double>& c, const std::vector<double>& g, double value, double cStep,
                     double gammaStep) {
    PhotometryTable& p = state().photometry;
    p.cAngles = c;
    p.gammaAngles = g;
    p.cCount = static_cast<int>(c.size());
    p.gammaCount = static_cast<int>(g.size());
    p.cStep = cStep;
    p.gammaStep = gammaStep;
    p.intensity.assign(c.size() * g.size(), value);
    state().photometrySpline.assign(c.size() * g.size(), 0.0);
    state().rotated.rotatedIntensity = p.intensity;
}

void setDeclared(double dff, double lorl) {
    state().emission.downwardFluxFactor = dff;
    state().emission.lightOutputRatio = lorl;
    state().emission.upwardFluxFactor = 0.0;
}

std::string figure(const std::string& label, double value) { return fmt::padded(label, 50) + fmt::F(value, 7, 2); }

const double kIsotropic = 1000.0 / (4.0 * 3.14159265358979323846);

// ---------------------------------------------------------------- cell widths

TEST(CellWidths, CWidthsWrapAroundWithoutStep) {
    setUniformTable(steps(0.0, 360.0, 15.0), steps(0.0, 90.0, 5.0), 1.0, 0.0, 5.0);
    ASSERT_EQ(state().photometry.cCount, 25);
    for (int i = 0; i < 25; ++i) EXPECT_DOUBLE_EQ(cWidth(i), 15.0) << i;

    setUniformTable({0.0, 10.0, 30.0, 90.0, 200.0, 360.0}, {0.0, 90.0}, 1.0, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(cWidth(0), (10.0 - 200.0 + 360.0) / 2.0);
    EXPECT_DOUBLE_EQ(cWidth(1), 15.0);
    EXPECT_DOUBLE_EQ(cWidth(3), 85.0);
    EXPECT_DOUBLE_EQ(cWidth(5), (0.0 - 90.0 + 360.0) / 2.0);
    // A step given in the file wins over the angles.
    state().photometry.cStep = 7.0;
    EXPECT_EQ(cWidth(0), 7.0);
    EXPECT_EQ(cWidth(3), 7.0);
}

TEST(CellWidths, GammaWidthsWithoutStep) {
    setUniformTable(steps(0.0, 360.0, 90.0), steps(0.0, 180.0, 5.0), 1.0, 90.0, 0.0);
    EXPECT_DOUBLE_EQ(gammaWidth(0), 5.0);
    EXPECT_DOUBLE_EQ(gammaWidth(10), 5.0);
    EXPECT_DOUBLE_EQ(gammaWidth(36), 5.0);

    // The first width is the second angle itself, not a difference.
    setUniformTable(steps(0.0, 360.0, 90.0), {1.0, 3.0, 6.0, 10.0}, 1.0, 90.0, 0.0);
    EXPECT_DOUBLE_EQ(gammaWidth(0), 3.0);
    EXPECT_DOUBLE_EQ(gammaWidth(1), 2.5);
    EXPECT_DOUBLE_EQ(gammaWidth(2), 3.5);
    EXPECT_DOUBLE_EQ(gammaWidth(3), 4.0);
    state().photometry.gammaStep = 2.0;
    EXPECT_EQ(gammaWidth(0), 2.0);
}

TEST(BandSolidAngle, TenDigitPiAndFixedOrder) {
    const double sphere = bandSolidAngle(360.0, 0.0, 180.0);
    EXPECT_EQ(sphere, 2.0 * (360.0 * 3.141592653) / 180.0);
    EXPECT_NE(sphere, 4.0 * 3.14159265358979323846);
    EXPECT_EQ(bandSolidAngle(15.0, 90.0, 90.0), 0.0);
    for (double a : {2.5, 37.5, 92.5, 172.5}) {
        const double b = a + 5.0;
        EXPECT_EQ(bandSolidAngle(7.5, a, b), (cosd(a) - cosd(b)) * (7.5 * 3.141592653) / 180.0);
        EXPECT_GT(bandSolidAngle(7.5, a, b), 0.0);
    }
}

// ---------------------------------------------------------------- emission figures

class EmissionTest : public ::testing::Test {
protected:
    void SetUp() override {
        reportFile().create("report.doc");
        dataFile().create("data.doc");
        state().installation.tilt = 0.0;
    }
    void TearDown() override {
        reportFile().close();
        dataFile().close();
    }
    std::vector<std::string> report() {
        reportFile().close();
        return test::readLines("report.doc");
    }
    std::vector<std::string> data() {
        dataFile().close();
        return test::readLines("data.doc");
    }
    test::ScratchDir dir;
    test::ConsoleCapture console;
};

TEST_F(EmissionTest, IsotropicSourceFillsBothHalves) {
    setUniformTable(steps(0.0, 360.0, 15.0), steps(0.0, 180.0, 5.0), kIsotropic, 15.0, 5.0);
    buildRotatedPhotometry();  // tilt 0: the table as read
    setDeclared(60.0, 70.0);
    computeEmissionData();

    const EmissionData& e = state().emission;
    EXPECT_NEAR(e.lightOutputRatio, 100.0, 1e-6);
    EXPECT_NEAR(e.downwardFluxFactor, 50.0, 1e-9);
    EXPECT_NEAR(e.upwardFluxFactor, 50.0, 1e-9);
    EXPECT_NEAR(e.upwardLightOutputRatio, 50.0, 1e-6);

    const std::string dash54 = " " + std::string(54, '-');
    const std::vector<std::string> expected = {
        "     ",
        dash54,
        " Luminaire emission data from Eulumdat file (std. position):",
        "     ",
        figure(" Downward flux factor DFF  %", 60.0),
        figure(" Upward flux factor UFF % (UFR, Rn)", 40.0),
        figure(" Light output ratio of the luminaire LORL %", 70.0),
        figure(" Downward light output ratio DLOR %", 42.0),
        figure(" Upward light output ratio ULOR %", 28.0),
        "     ",
        dash54,
        " Luminaire emission data (calculated):",
        "     ",
        figure(" Downward flux factor DFF %", 50.0),
        figure(" Upward flux factor UFF % (UFR, Rn)", 50.0),
        figure(" Light output ratio of the luminaire LORL %", 100.0),
        figure(" Downward light output ratio DLOR %", 50.0),
        figure(" Upward light output ratio ULOR %", 50.0),
    };
    EXPECT_EQ(console.lines(), expected);
    EXPECT_EQ(expected[4], " Downward flux factor DFF  %                        60.00");

    const auto r = report();
    ASSERT_EQ(r.size(), 18u);
    EXPECT_EQ(r[1], " " + std::string(64, '-'));
    EXPECT_EQ(r[2], expected[2]);
    EXPECT_EQ(r[3], "      ");  // a list line whose text is five blanks
    for (int k = 4; k < 9; ++k) EXPECT_EQ(r[static_cast<std::size_t>(k)], expected[static_cast<std::size_t>(k)]);
    EXPECT_EQ(r[11], expected[11]);
    EXPECT_EQ(r[12], "   ");
    for (int k = 13; k < 18; ++k) EXPECT_EQ(r[static_cast<std::size_t>(k)], expected[static_cast<std::size_t>(k)]);
    EXPECT_TRUE(data().empty());
}

TEST_F(EmissionTest, IncompletePhotometryKeepsDeclaredFigures) {
    setUniformTable(steps(0.0, 360.0, 15.0), steps(0.0, 90.0, 5.0), kIsotropic, 0.0, 0.0);
    buildRotatedPhotometry();
    setDeclared(97.5, 81.0);
    state().emission.upwardLightOutputRatio = -3.0;
    computeEmissionData();

    const EmissionData& e = state().emission;
    EXPECT_EQ(e.downwardFluxFactor, 97.5);
    EXPECT_EQ(e.lightOutputRatio, 81.0);
    EXPECT_EQ(e.upwardFluxFactor, 100.0 - 97.5);
    EXPECT_EQ(e.upwardLightOutputRatio, -3.0);  // untouched

    const std::vector<std::string> block = {" " + std::string(54, '.'),
                                            " ATTENTION: The input photometry is incomplete.",
                                            " It does not fill the full gamma range 0-180 degrees",
                                            " Computation of integrated emission data can be made",
                                            " only for zero inclination and only partially.",
                                            " " + std::string(54, '.'),
                                            "  "};
    const auto& out = console.lines();
    ASSERT_EQ(out.size(), 9u + 4u + block.size() + 1u);
    for (std::size_t k = 0; k < block.size(); ++k) EXPECT_EQ(out[13 + k], block[k]);
    EXPECT_EQ(out.back(), figure(" Downward light output ratio DLOR %", 50.0));
    EXPECT_NEAR(std::stod(out.back().substr(50)), 50.0, 0.01);

    const auto r = report();
    ASSERT_EQ(r.size(), 9u + 4u + block.size() + 1u);
    EXPECT_EQ(r[12], "   ");
    for (std::size_t k = 0; k < block.size(); ++k) EXPECT_EQ(r[13 + k], block[k]);
    EXPECT_EQ(r.back(), out.back());

    const std::vector<std::string> dataBlock = {"  ",
                                                " " + std::string(54, '-'),
                                                block[1],
                                                block[2],
                                                block[3],
                                                block[4],
                                                " " + std::string(54, '-'),
                                                "  "};
    EXPECT_EQ(data(), dataBlock);
}

TEST_F(EmissionTest, LastGammaBeyondZenithWritesOnlyDownwardRatio) {
    setUniformTable(steps(0.0, 360.0, 30.0), steps(0.0, 190.0, 10.0), 10.0, 30.0, 10.0);
    buildRotatedPhotometry();
    setDeclared(70.0, 90.0);
    computeEmissionData();
    EXPECT_EQ(state().emission.lightOutputRatio, 90.0);
    EXPECT_EQ(state().emission.upwardFluxFactor, 30.0);
    ASSERT_EQ(console.lines().size(), 14u);
    EXPECT_EQ(console.lines().back().substr(0, 50), fmt::padded(" Downward light output ratio DLOR %", 50));
    EXPECT_TRUE(data().empty());
}

TEST_F(EmissionTest, RotatedTableDrivesCalculatedFigures) {
    // Light only below the horizontal in the installed frame: everything is downward.
    setUniformTable(steps(0.0, 360.0, 30.0), steps(0.0, 180.0, 10.0), 0.0, 30.0, 10.0);
    const PhotometryTable& p = state().photometry;
    for (int j = 0; j < p.gammaCount; ++j)
        for (int i = 0; i < p.cCount; ++i)
            state().rotated.rotatedIntensity[static_cast<std::size_t>(i + p.cCount * j)] =
                p.gammaAngles[static_cast<std::size_t>(j)] < 90.0 ? 100.0 : 0.0;
    setDeclared(50.0, 100.0);
    computeEmissionData();
    const EmissionData& e = state().emission;
    EXPECT_DOUBLE_EQ(e.downwardFluxFactor, 100.0);
    EXPECT_DOUBLE_EQ(e.upwardFluxFactor, 0.0);
    EXPECT_DOUBLE_EQ(e.upwardLightOutputRatio, 0.0);
    // 100 cd/klm over the lower hemisphere except the half band 85..90 deg.
    const double expected = 100.0 * 12.0 * bandSolidAngle(30.0, 95.0, 180.0) / 10.0;
    EXPECT_NEAR(e.lightOutputRatio, expected, 1e-9);
}

}  // namespace
}  // namespace vl
