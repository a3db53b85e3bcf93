#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/photometry/emission.hpp"
#include "core/photometry/photometry_builder.hpp"
#include "core/run/run.hpp"
#include "support/test_support.hpp"
#include "text/format.hpp"
#include "writers/luminaire_sections.hpp"
#include "writers/streams.hpp"

namespace vl {
namespace {

using test::photometryTable;
using test::steps;

const double kIsotropic = 1000.0 / (4.0 * 3.14159265358979323846);

PhotometryTable uniform(const std::vector<double>& c, const std::vector<double>& g, double value, double cStep,
                        double gammaStep, double dff = 0.0, double lorl = 0.0) {
    PhotometryTable p = photometryTable(c, g, [value](double, double) { return value; }, cStep, gammaStep);
    p.declared.downwardFluxFactor = dff;
    p.declared.lightOutputRatio = lorl;
    return p;
}

// ---------------------------------------------------------------- cell widths

TEST(CellWidths, CWidthsWrapAroundWithoutStep) {
    const PhotometryTable even = uniform(steps(0.0, 360.0, 15.0), steps(0.0, 90.0, 5.0), 1.0, 0.0, 5.0);
    for (int i = 0; i < 25; ++i) EXPECT_DOUBLE_EQ(cWidth(even, i), 15.0) << i;

    PhotometryTable p = uniform({0.0, 10.0, 30.0, 90.0, 200.0, 360.0}, {0.0, 90.0}, 1.0, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(cWidth(p, 0), (10.0 - 200.0 + 360.0) / 2.0);
    EXPECT_DOUBLE_EQ(cWidth(p, 1), 15.0);
    EXPECT_DOUBLE_EQ(cWidth(p, 3), 85.0);
    EXPECT_DOUBLE_EQ(cWidth(p, 5), (0.0 - 90.0 + 360.0) / 2.0);
    // A step given in the file wins over the angles.
    p.cStep = 7.0;
    EXPECT_EQ(cWidth(p, 0), 7.0);
    EXPECT_EQ(cWidth(p, 3), 7.0);
}

TEST(CellWidths, GammaWidthsWithoutStep) {
    const PhotometryTable even = uniform(steps(0.0, 360.0, 90.0), steps(0.0, 180.0, 5.0), 1.0, 90.0, 0.0);
    EXPECT_DOUBLE_EQ(gammaWidth(even, 0), 5.0);
    EXPECT_DOUBLE_EQ(gammaWidth(even, 10), 5.0);
    EXPECT_DOUBLE_EQ(gammaWidth(even, 36), 5.0);

    // The first width is the second angle itself, not a difference.
    PhotometryTable p = uniform(steps(0.0, 360.0, 90.0), {1.0, 3.0, 6.0, 10.0}, 1.0, 90.0, 0.0);
    EXPECT_DOUBLE_EQ(gammaWidth(p, 0), 3.0);
    EXPECT_DOUBLE_EQ(gammaWidth(p, 1), 2.5);
    EXPECT_DOUBLE_EQ(gammaWidth(p, 2), 3.5);
    EXPECT_DOUBLE_EQ(gammaWidth(p, 3), 4.0);
    p.gammaStep = 2.0;
    EXPECT_EQ(gammaWidth(p, 0), 2.0);
}

TEST(BandSolidAngle, TenDigitPi) {
    const double sphere = bandSolidAngle(360.0, 0.0, 180.0);
    EXPECT_EQ(sphere, 2.0 * (360.0 * 3.141592653) / 180.0);
    EXPECT_NE(sphere, 4.0 * 3.14159265358979323846);
    EXPECT_EQ(bandSolidAngle(15.0, 90.0, 90.0), 0.0);
    for (double a : {2.5, 37.5, 92.5, 172.5}) EXPECT_GT(bandSolidAngle(7.5, a, a + 5.0), 0.0);
}

// ---------------------------------------------------------------- emission figures

TEST(Emission, IsotropicSourceFillsBothHalves) {
    const PhotometryTable p = uniform(steps(0.0, 360.0, 15.0), steps(0.0, 180.0, 5.0), kIsotropic, 15.0, 5.0, 60.0, 70.0);
    const EmissionResult r = computeEmission(p, p.intensity);
    // Declared: UFF = 100 - DFF, DLOR and ULOR split LORL by them.
    EXPECT_EQ(r.declared.upwardFluxFactor, 40.0);
    EXPECT_DOUBLE_EQ(r.declared.downwardLightOutputRatio, 42.0);
    EXPECT_DOUBLE_EQ(r.declared.upwardLightOutputRatio, 28.0);
    // Integrated over the whole sphere: half the klm up, half down.
    ASSERT_TRUE(r.fullSphere);
    const EmissionData& e = r.effective;
    EXPECT_NEAR(e.lightOutputRatio, 100.0, 1e-6);
    EXPECT_NEAR(e.downwardFluxFactor, 50.0, 1e-9);
    EXPECT_NEAR(e.upwardFluxFactor, 50.0, 1e-9);
    EXPECT_NEAR(e.upwardLightOutputRatio, 50.0, 1e-6);
    EXPECT_EQ(r.calculated.lightOutputRatio, e.lightOutputRatio);
    EXPECT_NEAR(r.calculated.downwardLightOutputRatio, 50.0, 1e-6);
}

TEST(Emission, IncompletePhotometryKeepsDeclaredFigures) {
    const PhotometryTable p = uniform(steps(0.0, 360.0, 15.0), steps(0.0, 90.0, 5.0), kIsotropic, 0.0, 0.0, 97.5, 81.0);
    const EmissionResult r = computeEmission(p, p.intensity);
    EXPECT_FALSE(r.fullSphere);
    const EmissionData& e = r.effective;
    EXPECT_EQ(e.downwardFluxFactor, 97.5);
    EXPECT_EQ(e.lightOutputRatio, 81.0);
    EXPECT_EQ(e.upwardFluxFactor, 100.0 - 97.5);
    EXPECT_EQ(e.upwardLightOutputRatio, 0.0);
    // The lower half of an isotropic source still integrates to half the lamp flux.
    EXPECT_NEAR(r.downwardLightOutputRatio, 50.0, 0.01);
}

TEST(Emission, RotatedTableDrivesCalculatedFigures) {
    // Light only below the horizontal in the installed frame: everything is downward.
    const PhotometryTable p = uniform(steps(0.0, 360.0, 30.0), steps(0.0, 180.0, 10.0), 0.0, 30.0, 10.0, 50.0, 100.0);
    std::vector<double> rotated(p.intensity.size(), 0.0);
    for (int j = 0; j < p.gammaCount; ++j)
        for (int i = 0; i < p.cCount; ++i)
            rotated[static_cast<std::size_t>(i + p.cCount * j)] = p.gammaAngles[static_cast<std::size_t>(j)] < 90.0 ? 100.0 : 0.0;
    const EmissionData e = computeEmission(p, rotated).effective;
    EXPECT_DOUBLE_EQ(e.downwardFluxFactor, 100.0);
    EXPECT_DOUBLE_EQ(e.upwardFluxFactor, 0.0);
    EXPECT_DOUBLE_EQ(e.upwardLightOutputRatio, 0.0);
    // 100 cd/klm over the lower hemisphere except the half band 85..90 deg.
    const double expected = 100.0 * 12.0 * bandSolidAngle(30.0, 95.0, 180.0) / 10.0;
    EXPECT_NEAR(e.lightOutputRatio, expected, 1e-9);
}

TEST(Emission, LastGammaBeyondZenithWritesOnlyDownwardRatio) {
    test::ScratchDir dir;
    test::ConsoleCapture console;
    reportFile().create("report.doc");
    dataFile().create("data.doc");
    RunInputs in;
    in.installation.spacing = 24.0;
    in.photometry = uniform(steps(0.0, 360.0, 30.0), steps(0.0, 190.0, 10.0), 10.0, 30.0, 10.0, 70.0, 90.0);
    RunResult result;
    result.end = RunEnd::NoAgedAsphalt;
    result.emission = computeEmission(in.photometry, in.photometry.intensity);
    EXPECT_FALSE(result.emission.fullSphere);
    EXPECT_EQ(result.emission.effective.lightOutputRatio, 90.0);
    EXPECT_EQ(result.emission.effective.upwardFluxFactor, 30.0);

    writeLuminaireSections(RunInfo{}, in, result);
    // Neither the incomplete-photometry block nor the calculated figures.
    ASSERT_EQ(console.lines().size(), 14u);
    EXPECT_EQ(console.lines().back().substr(0, 50), fmt::padded(" Downward light output ratio DLOR %", 50));
    reportFile().close();
    dataFile().close();
    EXPECT_TRUE(test::readLines("data.doc").empty());
}

}  // namespace
}  // namespace vl
