#include "writers/plot_images.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/pollution/plot_model.hpp"
#include "core/run/run.hpp"
#include "support/test_support.hpp"
#include "text/format.hpp"
#include "writers/streams.hpp"

namespace vl {
namespace {

namespace fs = std::filesystem;
using test::readLines;

constexpr const char* kStamp = "200603090815";
const std::vector<std::string> kPrefixes = {"uplmp_", "uproa_", "uptot_", "upro2_", "upto2_"};

// Road 7 m, pole 10 m, overhang 1 m, LORL 80 %; road intensities 12 and 2 cd/klm at 1 deg
// towards omega 0 and 90; a straight aged asphalt curve a(x) = 0.1 + 0.001 x.
class PlotImagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        installation.roadWidth = 7.0;
        installation.poleHeight = 10.0;
        installation.overhang = 1.0;
        emission.lightOutputRatio = 80.0;
        directional.roadIntensity1deg0 = 12.0;
        directional.roadIntensity1deg90 = 2.0;
        for (std::size_t k = 0; k < kAgedAsphaltPoints; ++k) {
            agedAsphalt.x[k] = 5.0 * static_cast<double>(k);
            agedAsphalt.y[k] = 0.1 + 0.001 * agedAsphalt.x[k];
        }
        setPhotometry(15.0, 5.0, 100.0);
    }

    // C 0..360 by cStep, gamma 0..lastGamma by gammaStep; a constant luminaire table,
    // tilted table Ie(l, m) = 50 + m, road table Re(l, m) = 1 + l.
    void setPhotometry(double cStep, double gammaStep, double constant, double lastGamma = 180.0) {
        photometry.cAngles.clear();
        photometry.gammaAngles.clear();
        for (double c = 0; c <= 360.0; c += cStep) photometry.cAngles.push_back(c);
        for (double g = 0; g <= lastGamma + 1e-9; g += gammaStep) photometry.gammaAngles.push_back(g);
        setAxes(cStep, gammaStep, constant);
    }

    void setAxes(double cStep, double gammaStep, double constant) {
        PhotometryTable& p = photometry;
        p.cStep = cStep;
        p.gammaStep = gammaStep;
        p.cCount = static_cast<int>(p.cAngles.size());
        p.gammaCount = static_cast<int>(p.gammaAngles.size());
        const std::size_t n = p.cAngles.size() * p.gammaAngles.size();
        p.intensity.assign(n, constant);
        rotated.assign(n, 0.0);
        road.assign(n, 0.0);
        for (int m = 0; m < p.gammaCount; ++m) {
            for (int l = 0; l < p.cCount; ++l) {
                ie(l, m) = 50.0 + m;
                re(l, m) = 1.0 + l;
            }
        }
    }

    std::size_t at(int l, int m) const { return static_cast<std::size_t>(l + photometry.cCount * m); }
    double& ie(int l, int m) { return rotated[at(l, m)]; }
    double& re(int l, int m) { return road[at(l, m)]; }

    PlotModel model() const {
        const LuminaireIntensity luminaire(photometry, 0.0);
        const AgedAsphaltReflectance reflectance(agedAsphalt);
        const PollutionInputs in{installation, photometry, luminaire, emission, rotated};
        return buildPlotModel(in, directional, reflectance);
    }

    // The writer on a run with the plot model, or without it.
    void run(bool withPlot = true) {
        RunInfo info;
        info.runStamp = kStamp;
        RunInputs in;
        in.installation = installation;
        in.photometry = photometry;
        RunResult result;
        result.rotated.rotatedIntensity = rotated;
        result.scattering.roadEstimatedPhotometry = road;
        if (withPlot) result.plot = model();
        dataFile().create("d.doc");
        writePlotImages(info, in, result);
        dataFile().close();
    }

    std::vector<std::string> image(const std::string& prefix) const {
        return readLines(scratch.path() / (prefix + kStamp + ".dat"));
    }

    static std::string field(const std::string& line, int l) {
        return line.substr(static_cast<std::size_t>(8 * l), 8);
    }

    static std::size_t datFiles(const fs::path& dir) {
        std::size_t n = 0;
        for (const auto& e : fs::directory_iterator(dir)) n += e.path().extension() == ".dat" ? 1 : 0;
        return n;
    }

    InstallationData installation;
    EmissionData emission;
    PhotometryTable photometry;
    std::vector<double> rotated;  // Ie
    std::vector<double> road;     // Re
    DirectionalPollution directional;
    AgedAsphaltCurve agedAsphalt;
    test::ScratchDir scratch;
    test::ConsoleCapture console;
};

// ---- switch and range ---------------------------------------------------------

// The run computes the model only when extend.txt holds 1 and the photometry reaches the
// zenith (recorded cases extend0, isym0-gamma90); without it nothing is written.
TEST_F(PlotImagesTest, NothingHappensWithoutThePlotModel) {
    run(false);
    EXPECT_EQ(datFiles(scratch.path()), 0u);
    EXPECT_TRUE(console.lines().empty());
    EXPECT_TRUE(readLines(scratch.path() / "d.doc").empty());
}

TEST_F(PlotImagesTest, ConsoleAndDataFileCarryTheModelFluxesAndTheRowRange) {
    run();
    const auto& c = console.lines();
    ASSERT_EQ(c.size(), 6u);
    EXPECT_EQ(c[0], " 3D plot, model road surface:");
    EXPECT_EQ(c[1].substr(0, 26), " upward road reflected %  ");
    EXPECT_EQ(c[1].size(), 33u);
    // Fd = 2 * 31.4 / (80 * 0.01745) = 44.9857
    EXPECT_EQ(c[2], " upward road diffused %     44.99");
    EXPECT_EQ(c[3].substr(0, 25), " total upward road flux %");
    EXPECT_EQ(c[3].size(), 32u);
    EXPECT_EQ(c[4], " First/last gamma angle  90.00 180.00");
    EXPECT_EQ(c[5], " Raw images for 3D plotting writted");

    const auto d = readLines(scratch.path() / "d.doc");
    ASSERT_EQ(d.size(), 7u);
    EXPECT_EQ(d[0], " " + std::string(52, '-'));
    for (std::size_t k = 0; k < 6; ++k) EXPECT_EQ(d[k + 1], c[k]);
}

TEST_F(PlotImagesTest, NoGammaAtOrBelowHorizontalStartsAtTheFirstAngle) {
    photometry.cAngles = {0, 90, 180, 270, 360};
    photometry.gammaAngles = {100, 140, 180};
    setAxes(90.0, 40.0, 0.0);
    EXPECT_EQ(model().firstRow, 0);
    run();
    ASSERT_GE(console.lines().size(), 5u);
    EXPECT_EQ(console.lines()[4], " First/last gamma angle 100.00 180.00");
    EXPECT_EQ(image("uplmp_").size(), 3u);
}

// ---- images -------------------------------------------------------------------

TEST_F(PlotImagesTest, FiveImagesOfNineteenRowsOfTwentyFiveValues) {
    run();
    for (const std::string& prefix : kPrefixes) {
        ASSERT_TRUE(fs::exists(scratch.path() / (prefix + kStamp + ".dat"))) << prefix;
        const auto lines = image(prefix);
        ASSERT_EQ(lines.size(), 19u) << prefix;
        for (const std::string& line : lines) {
            ASSERT_EQ(line.size(), 25u * 8u) << prefix;
            for (int l = 0; l < 25; ++l) EXPECT_EQ(field(line, l)[0], ' ') << prefix;
        }
    }
    // Rows from the horizontal (m = 19, value 50 + 18) up to the zenith.
    EXPECT_EQ(field(image("uplmp_").front(), 0), "   68.00");
    EXPECT_EQ(field(image("uplmp_").back(), 24), "   86.00");
    EXPECT_EQ(field(image("uproa_").front(), 24), "   25.00");
    EXPECT_EQ(field(image("uptot_").back(), 3), "   90.00");
    EXPECT_EQ(plotImageFormat(25), "( 25F8.2)");
    EXPECT_EQ(plotImageFormat(37), "( 37F8.2)");
    EXPECT_EQ(plotImageFormat(5), "(  5F8.2)");
}

TEST_F(PlotImagesTest, ValuesAreRoundedToSinglePrecisionAfterSumming) {
    ASSERT_GT(fmt::single(2.0049999999), 2.005);
    ie(2, 18) = 2.0049999999;
    re(2, 18) = 0.0;
    ie(3, 18) = 1.0;
    re(3, 18) = 1.0049999999;
    run();
    EXPECT_EQ(field(image("uplmp_").front(), 2), "    2.01");
    EXPECT_EQ(field(image("uptot_").front(), 2), "    2.01");
    EXPECT_EQ(field(image("uptot_").front(), 3), fmt::F(fmt::single(1.0 + 1.0049999999), 8, 2));
}

TEST_F(PlotImagesTest, TooLargeValuesPrintEightAsterisks) {
    ie(0, 36) = 100000.0;
    ie(1, 36) = 99999.99;
    run();
    EXPECT_EQ(field(image("uplmp_").back(), 0), "********");
    EXPECT_EQ(field(image("upto2_").back(), 0), "********");
    EXPECT_EQ(field(image("uplmp_").back(), 1), "99999.99");
}

// ---- model road ---------------------------------------------------------------

TEST_F(PlotImagesTest, ReflectedPartMirrorsTheDownwardLightThatLandsOnTheRoad) {
    const PlotModel plot = model();
    const double I0 = 2.0 / 0.01745;
    // Ih = 100, dI = 10, a(x) = 0.1 + 0.001 x, a89 - y1 = 0.089.
    const auto expected = [](double im, double gamma) { return im / 100 * 10 * (0.001 * (180 - gamma)) / 0.089; };
    // C = 0, gamma 90: mirrored onto gamma 90 itself, landing offset 0.
    EXPECT_NEAR(plot.reflected[at(0, 18)], expected(68, 90), 1e-9);
    EXPECT_NEAR(plot.total[at(0, 18)], expected(68, 90), 1e-9);
    // C = 90, gamma 175: mirrored 5 deg lands 0.87 m to the side, on the road.
    EXPECT_NEAR(plot.reflected[at(6, 35)], expected(51, 175), 1e-9);
    // C = 90, gamma 135: mirrored 45 deg lands 10 m to the side, beyond W - o = 6.
    EXPECT_EQ(plot.reflected[at(6, 27)], 0.0);
    EXPECT_NEAR(plot.total[at(6, 27)], -cosd(135.0) * I0, 1e-9);
    // C = 270: 5 deg lands at -0.87 (on the road), 10 deg at -1.76 (behind the pole).
    EXPECT_NEAR(plot.reflected[at(18, 35)], expected(51, 175), 1e-9);
    EXPECT_EQ(plot.reflected[at(18, 34)], 0.0);
    // The zenith mirrors the nadir, where the reflectance rise is 0.
    EXPECT_NEAR(plot.reflected[at(6, 36)], 0.0, 1e-12);
    EXPECT_NEAR(plot.total[at(6, 36)], I0, 1e-9);
    // Nothing below the horizontal.
    for (int m = 0; m < 18; ++m) {
        EXPECT_EQ(plot.reflected[at(4, m)], 0.0);
        EXPECT_EQ(plot.total[at(4, m)], 0.0);
    }
}

TEST_F(PlotImagesTest, NoLightJustBelowTheHorizontalLeavesOnlyTheDiffusePart) {
    setPhotometry(15.0, 5.0, 0.0);  // Ih = 0
    const PlotModel plot = model();
    const double I0 = 2.0 / 0.01745;
    for (std::size_t k = 0; k < plot.reflected.size(); ++k) {
        EXPECT_EQ(plot.reflected[k], 0.0);
        EXPECT_TRUE(std::isfinite(plot.total[k]));
    }
    EXPECT_NEAR(plot.total[at(3, 36)], I0, 1e-9);
    EXPECT_NEAR(plot.total[at(3, 30)], -cosd(150.0) * I0, 1e-9);
    EXPECT_EQ(plot.total[at(3, 18)], 0.0);

    run();
    ASSERT_GE(console.lines().size(), 2u);
    EXPECT_EQ(console.lines()[1], " upward road reflected %     0.00");
    for (const std::string& line : image("upro2_")) EXPECT_EQ(line.find_first_of("*N"), std::string::npos);

    // The same when the reflectance curve does not rise (a89 = y1).
    setPhotometry(15.0, 5.0, 100.0);
    for (auto& y : agedAsphalt.y) y = 0.2;
    const PlotModel flat = model();
    for (std::size_t k = 0; k < flat.reflected.size(); ++k) {
        EXPECT_EQ(flat.reflected[k], 0.0);
        EXPECT_TRUE(std::isfinite(flat.total[k]));
    }
    EXPECT_NEAR(flat.total[at(0, 36)], I0, 1e-9);
}

// ---- flux integral ------------------------------------------------------------

TEST_F(PlotImagesTest, ConstantTableIntegratesToTwoPiOverTheUpperHemisphere) {
    const std::vector<double> constant(rotated.size(), 3.0);
    // The bands 90..92.5, ..., 177.5..180 telescope to cos 90 - cos 180 = 1.
    EXPECT_NEAR(integrateTableFlux(photometry, constant), 3.0 * 2.0 * 3.141592653, 1e-9);

    setPhotometry(30.0, 10.0, 0.0);
    const std::vector<double> coarse(rotated.size(), 1.0);
    EXPECT_NEAR(integrateTableFlux(photometry, coarse), 2.0 * 3.141592653, 1e-9);
}

TEST_F(PlotImagesTest, IntegralLeavesOutTheLowerCellsAndTheClosingPlane) {
    const PhotometryTable& p = photometry;
    std::vector<double> lower(static_cast<std::size_t>(p.cCount * p.gammaCount), 0.0);
    std::vector<double> closing = lower;
    std::vector<double> horizontal = lower;
    for (int m = 0; m < 18; ++m) {
        for (int l = 0; l < p.cCount; ++l) lower[at(l, m)] = 1000.0;
    }
    for (int m = 0; m < p.gammaCount; ++m) closing[at(p.cCount - 1, m)] = 1000.0;
    for (int l = 0; l < p.cCount; ++l) horizontal[at(l, 18)] = 1.0;
    EXPECT_EQ(integrateTableFlux(photometry, lower), 0.0);
    EXPECT_EQ(integrateTableFlux(photometry, closing), 0.0);
    // Only the upper half of the horizontal cell: cos 90 - cos 92.5.
    EXPECT_NEAR(integrateTableFlux(photometry, horizontal), -std::cos(92.5 * kDegree) * 2.0 * 3.141592653, 1e-9);
}

}  // namespace
}  // namespace vl
