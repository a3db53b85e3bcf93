#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/numeric/spline.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "core/run/run.hpp"
#include "core/photometry/photometry_builder.hpp"
#include "support/test_support.hpp"
#include "text/format.hpp"
#include "writers/luminaire_sections.hpp"
#include "writers/streams.hpp"

namespace vl {
namespace {

using test::photometryTable;
using test::steps;

constexpr const char* kStamp = "202403051742";

struct Vec {
    double x, y, z;
};

Vec unit(Direction d) {
    return {std::sin(d.gamma * kDegree) * std::cos(d.c * kDegree), std::sin(d.gamma * kDegree) * std::sin(d.c * kDegree),
            -std::cos(d.gamma * kDegree)};
}

void expectSameDirection(Vec a, Vec b, const std::string& where) {
    EXPECT_NEAR(a.x, b.x, 1e-6) << where;
    EXPECT_NEAR(a.y, b.y, 1e-6) << where;
    EXPECT_NEAR(a.z, b.z, 1e-6) << where;
}

const std::string kAnglesName = std::string("ROTATEDANGLES_") + kStamp + ".doc";
const std::string kPhotName = std::string("ROTATEDPHOT_") + kStamp + ".doc";

// ---------------------------------------------------------------- angle rotations

TEST(Rotang, KnownDirections) {
    for (double c : {0.0, 45.0, 90.0, 200.0, 359.0}) {
        const Direction d = rotang(c, 0.0, 10.0);
        EXPECT_NEAR(d.c, 90.0, 1e-5) << c;
        EXPECT_NEAR(d.gamma, 10.0, 1e-9) << c;
    }
    // A negative tilt turns it towards C 270.
    for (double c : steps(0.0, 360.0, 15.0)) {
        const Direction d = rotang(c, 0.0, -10.0);
        EXPECT_NEAR(d.c, 270.0, 1e-5) << c;
        EXPECT_NEAR(d.gamma, 10.0, 1e-9) << c;
    }
    // The horizontal in the tilt plane rises by the tilt.
    for (double t : {1.0, 10.0, 33.0, 60.0, 89.0}) {
        const Direction d = rotang(90.0, 90.0, t);
        EXPECT_NEAR(d.c, 90.0, 1e-9) << t;
        EXPECT_NEAR(d.gamma, 90.0 + t, 1e-9) << t;
    }
    // The installed nadir comes from C 270 of the luminaire.
    for (double c : steps(0.0, 360.0, 10.0)) {
        const Direction d = rotphot(c, 0.0, 10.0);
        EXPECT_NEAR(d.c, 270.0, 1e-5) << c;
        EXPECT_NEAR(d.gamma, 10.0, 1e-9) << c;
    }
}

TEST(Rotang, MatchesTurnAboutXAxis) {
    for (double t : {-25.0, 7.5, 15.0}) {
        const double ct = std::cos(t * kDegree);
        const double st = std::sin(t * kDegree);
        for (double g : steps(5.0, 175.0, 10.0)) {
            for (double c : steps(0.0, 350.0, 20.0)) {
                const Vec d = unit({c, g});
                const Vec expected{d.x, d.y * ct - d.z * st, d.y * st + d.z * ct};
                const Direction r = rotang(c, g, t);
                EXPECT_GE(r.c, 0.0);
                EXPECT_LE(r.c, 360.0);
                expectSameDirection(unit(r), expected, "t=" + std::to_string(t) + " c=" + std::to_string(c));
            }
        }
    }
}

TEST(Rotphot, InvertsRotang) {
    for (double t : {-40.0, -10.0, 2.5, 10.0, 25.0}) {
        for (double g : steps(0.0, 180.0, 7.5)) {
            for (double c : steps(0.0, 360.0, 22.5)) {
                const Direction back = rotphot(rotang(c, g, t).c, rotang(c, g, t).gamma, t);
                expectSameDirection(unit(back), unit({c, g}),
                                    "t=" + std::to_string(t) + " g=" + std::to_string(g) + " c=" + std::to_string(c));
            }
        }
    }
}

TEST(Rotphot, ZeroTiltOnlyReducesCOnce) {
    EXPECT_EQ(rotang(10.0, -5.0, 0.0).gamma, -5.0);  // no range check without a tilt
    const Direction d = rotphot(400.0, 30.0, 0.0);
    EXPECT_EQ(d.c, 40.0);
    EXPECT_EQ(d.gamma, 30.0);
    EXPECT_EQ(rotphot(360.0, 30.0, 0.0).c, 360.0);
    // The tilted path sees the same direction after the reduction.
    expectSameDirection(unit(rotphot(450.0, 30.0, 12.0)), unit(rotphot(90.0, 30.0, 12.0)), "450");
}

TEST(RotationPoles, NoNaNOnFineGridWithSmallTilt) {
    for (double g : steps(0.0, 180.0, 2.5)) {
        for (double c : steps(0.0, 360.0, 2.5)) {
            for (double t : {2.5, -2.5}) {
                const Direction a = rotang(c, g, t);
                const Direction b = rotphot(c, g, t);
                for (double v : {a.c, a.gamma, b.c, b.gamma}) ASSERT_TRUE(std::isfinite(v)) << c << " " << g;
                EXPECT_GE(b.gamma, 0.0);
                EXPECT_LE(b.gamma, 180.0);
            }
        }
    }
    // Installed directions that map onto the poles of the luminaire frame.
    EXPECT_NEAR(rotphot(90.0, 2.5, 2.5).gamma, 0.0, 1e-6);
    EXPECT_NEAR(rotphot(270.0, 177.5, 2.5).gamma, 180.0, 1e-6);
    // A pole of the installed frame: C' 270 at the nadir, 90 at the zenith.
    EXPECT_NEAR(rotang(270.0, 10.0, 10.0).gamma, 0.0, 1e-6);
    EXPECT_NEAR(rotang(90.0, 170.0, 10.0).gamma, 180.0, 1e-6);
    // Exactly on the pole the azimuth is the limit of the formulas.
    const Direction exactZenith = rotang(90.0, 90.0, 90.0);
    EXPECT_EQ(exactZenith.gamma, 180.0);
    EXPECT_EQ(exactZenith.c, 90.0);
    const Direction exactNadir = rotang(270.0, 90.0, 90.0);
    EXPECT_EQ(exactNadir.gamma, 0.0);
    EXPECT_EQ(exactNadir.c, 270.0);
}

TEST(RotationErrors, NegativeGammaEndsTheRunWithItsLine) {
    for (auto turn : {rotang, rotphot}) {
        try {
            turn(0.0, -0.5, 10.0);
            ADD_FAILURE() << "no rotation error";
        } catch (const RotationError& error) {
            EXPECT_STREQ(error.what(), "ERROR rotang: gangoa outside limits");
        }
    }
    // A table starting below the nadir: the run ends at its first direction.
    RunInputs in;
    in.installation.tilt = 10.0;
    in.installation.spacing = 24.0;
    in.photometry = photometryTable(steps(0.0, 360.0, 90.0), {-5.0, 0.0, 45.0, 90.0}, [](double, double) { return 1.0; });
    const RunResult r = evaluate(in);
    EXPECT_EQ(r.end, RunEnd::RotationError);
    EXPECT_EQ(r.stopMessage, "ERROR rotang: gangoa outside limits");
    EXPECT_TRUE(r.rotated.rotatedDirections.empty());
}

// ---------------------------------------------------------------- intensity lookup

TEST(LuminaireIntensity, ZeroTiltIsTheNaturalTableSpline) {
    const PhotometryTable p = photometryTable(steps(0.0, 360.0, 15.0), steps(0.0, 90.0, 5.0),
                                              [](double c, double g) { return 200.0 + 50.0 * std::sin(c * kDegree) + g; });
    const LuminaireIntensity luminaire(p, 0.0);
    std::vector<double> y2(p.intensity.size(), 0.0);
    const SplineTable2D view{p.cAngles.data(), p.gammaAngles.data(), p.intensity.data(), y2.data(),
                             p.cCount,         p.gammaCount,         p.cCount};
    prepareSplineTable2D(view, kNaturalEnd);
    for (double c : {0.0, 7.5, 100.0, 359.0, 360.0}) {
        for (double g : {0.0, 12.5, 90.0}) {
            const double expected = evaluateSplineTable2D(view, kNaturalEnd, kNaturalEnd, kNaturalEnd, c, g);
            EXPECT_EQ(luminaire.at(c, g), expected) << c << " " << g;
            if (c > 0.0) {
                EXPECT_EQ(luminaire.at(c + 360.0, g), expected) << c;
            }
        }
    }
    EXPECT_NEAR(luminaire.at(90.0, 30.0), 280.0, 1e-9);  // a knot
}

TEST(LuminaireIntensity, TiltLooksUpTheTurnedDirection) {
    const PhotometryTable p =
        photometryTable(steps(0.0, 360.0, 15.0), steps(0.0, 90.0, 5.0), [](double, double g) { return 100.0 + g; });
    const LuminaireIntensity luminaire(p, 15.0);
    // The luminaire's nadir is seen at (90, 15) in the installed frame.
    EXPECT_NEAR(luminaire.at(90.0, 15.0), 100.0, 1e-6);
    // (90, 105) is the luminaire's horizontal; beyond it the last gamma holds.
    EXPECT_NEAR(luminaire.at(90.0, 105.0), 190.0, 1e-6);
    EXPECT_NEAR(luminaire.at(90.0, 130.0), 190.0, 1e-9);
    // The installed nadir comes from gamma 15 of the luminaire.
    EXPECT_NEAR(luminaire.at(0.0, 0.0), 115.0, 1e-6);
    // Negative spline values are no light.
    const PhotometryTable dark =
        photometryTable(steps(0.0, 360.0, 30.0), steps(0.0, 90.0, 10.0), [](double, double) { return -5.0; });
    EXPECT_EQ(LuminaireIntensity(dark, 15.0).at(45.0, 30.0), 0.0);
}

// ---------------------------------------------------------------- rotated table and files

class RotatedPhotometryTest : public ::testing::Test {
protected:
    void SetUp() override {
        reportFile().create("report.doc");
        dataFile().create("data.doc");
    }
    void TearDown() override {
        reportFile().close();
        dataFile().close();
    }
    // Evaluates the luminaire stage (without an aged asphalt curve the run stops after it)
    // and writes its sections with the luminaire's light output ratio set to lor %.
    RunResult write(PhotometryTable table, double tilt, double lor = 80.0) {
        in.installation.tilt = tilt;
        in.installation.spacing = 24.0;
        in.installation.photometryFile = "road.ldt";
        in.photometry = std::move(table);
        RunResult result = evaluate(in);
        EXPECT_EQ(result.end, RunEnd::NoAgedAsphalt);
        result.emission.effective.lightOutputRatio = lor;
        RunInfo info;
        info.runStamp = kStamp;
        writeLuminaireSections(info, in, result);
        return result;
    }
    std::vector<std::string> data() {
        dataFile().close();
        return test::readLines("data.doc");
    }
    static int rowCount(const std::vector<std::string>& lines, std::size_t from, std::size_t width) {
        int n = 0;
        for (std::size_t k = from; k < lines.size() && lines[k].size() == width; ++k) ++n;
        return n;
    }
    test::ScratchDir dir;
    test::ConsoleCapture console;
    RunInputs in;
};

TEST_F(RotatedPhotometryTest, ZeroTiltCopiesTableAndWritesNoRotation) {
    const PhotometryTable p = photometryTable(steps(0.0, 360.0, 15.0), steps(0.0, 180.0, 5.0),
                                              [](double c, double g) { return 100.0 + c + 2.0 * g; });
    const RunResult r = write(p, 0.0);
    EXPECT_EQ(r.rotated.rotatedIntensity, p.intensity);
    EXPECT_TRUE(r.rotated.rotatedDirections.empty());
    EXPECT_FALSE(std::filesystem::exists(kAnglesName));
    EXPECT_FALSE(std::filesystem::exists(kPhotName));
    EXPECT_TRUE(data().empty());  // no inclination listing
}

TEST_F(RotatedPhotometryTest, AnglesFileHasBothSections) {
    const auto c = steps(0.0, 360.0, 30.0);
    const auto g = steps(0.0, 180.0, 10.0);
    write(photometryTable(c, g, [](double, double gamma) { return gamma < 90.0 ? 200.0 : 0.0; }), 10.0);

    const auto lines = test::readLines(kAnglesName);
    const std::size_t rows = c.size() * g.size();
    ASSERT_EQ(lines.size(), 9 + rows + 1 + 9 + rows);
    EXPECT_EQ(lines[9], "        0.00         0.00        10.00        90.00       200.00");
    EXPECT_EQ(rowCount(lines, 9, 64), static_cast<int>(rows));
    // Gamma outer, C inner, the closing plane included.
    EXPECT_EQ(lines[9 + c.size() - 1].substr(0, 25), "        0.00       360.00");
    EXPECT_EQ(lines[9 + c.size()].substr(0, 25), "       10.00         0.00");
    EXPECT_EQ(lines[9 + rows], "  ");

    // The second section per unit luminaire flux.
    const std::size_t s2 = 9 + rows + 1;
    EXPECT_EQ(lines[s2 + 4], " Light Output Ratio of the Luminaire 0.8");
    EXPECT_EQ(lines[s2 + 5], " intensity per unit luminaire flux in cd/klm");
    EXPECT_EQ(lines[s2 + 9], "        0.00         0.00        10.00        90.00       250.00");
    EXPECT_EQ(rowCount(lines, s2 + 9, 64), static_cast<int>(rows));
    // A full-sphere photometry carries no warning.
    EXPECT_EQ(test::readLines(kPhotName)[7], " angles in degrees");
}

TEST_F(RotatedPhotometryTest, PhotFileWarnsForIncompletePhotometryInBothSections) {
    const auto c = steps(0.0, 360.0, 45.0);
    const auto g = steps(0.0, 90.0, 15.0);
    const PhotometryTable p = photometryTable(c, g, [](double, double) { return 120.0; });
    write(p, 15.0);

    const auto lines = test::readLines(kPhotName);
    const std::size_t rows = c.size() * g.size();
    ASSERT_EQ(lines.size(), 14 + rows + 1 + 14 + rows);
    EXPECT_EQ(lines[7], " ATTENTION: UNCERTAINTY AT GAMMA ANGLES > 75.0");
    EXPECT_EQ(rowCount(lines, 14, 30), static_cast<int>(rows));
    EXPECT_EQ(lines[14 + rows], "  ");
    const std::size_t s2 = 14 + rows + 1;
    EXPECT_EQ(lines[s2 + 5], " Intensity per unit luminaire flux in cd/klm");
    EXPECT_EQ(lines[s2 + 7], " ATTENTION: UNCERTAINTY AT GAMMA ANGLES > 75.0");
    EXPECT_EQ(rowCount(lines, s2 + 14, 30), static_cast<int>(rows));
    EXPECT_EQ(lines.back().substr(0, 20), "     90.00    360.00");

    // Negative tilt: the margin uses the size of the tilt; the angles file has no warning.
    write(p, -15.0);
    EXPECT_EQ(test::readLines(kPhotName)[7], " ATTENTION: UNCERTAINTY AT GAMMA ANGLES > 75.0");
    for (const auto& line : test::readLines(kAnglesName)) EXPECT_EQ(line.find("ATTENTION"), std::string::npos);
}

TEST_F(RotatedPhotometryTest, RotatedTableHoldsTurnedLookups) {
    const auto c = steps(0.0, 360.0, 30.0);
    const auto g = steps(0.0, 90.0, 10.0);
    const RunResult result = write(photometryTable(c, g, [](double, double gamma) { return 100.0 + gamma; }), 15.0, 50.0);
    const std::vector<double>& r = result.rotated.rotatedIntensity;
    const int nC = static_cast<int>(c.size());
    ASSERT_EQ(r.size(), c.size() * g.size());
    // In the tilt plane (C 90) the installed gamma is the luminaire's plus the tilt; below
    // the tilt the direction comes from the C 270 half-plane.
    for (int j = 0; j < static_cast<int>(g.size()); ++j) {
        const double gamma = g[static_cast<std::size_t>(j)];
        EXPECT_NEAR(r[static_cast<std::size_t>(3 + nC * j)], 100.0 + std::fabs(gamma - 15.0), 1e-6) << gamma;
    }
    EXPECT_NEAR(r[0], 115.0, 1e-6);  // installed nadir: gamma 15 of the luminaire
    const auto lines = test::readLines(kPhotName);
    EXPECT_EQ(lines[14], "      0.00      0.00    115.00");
    EXPECT_EQ(lines[14 + c.size() * g.size() + 1 + 14], "      0.00      0.00    230.00");
    // The listing shows the rotated table at gamma 30 and 70.
    EXPECT_EQ(console.lines()[7], fmt::F(0.0, 17, 1) + fmt::F(r[static_cast<std::size_t>(3 * nC)], 15, 1) +
                                      fmt::F(r[static_cast<std::size_t>(7 * nC)], 15, 1));
}

TEST_F(RotatedPhotometryTest, ListingOnConsoleAndDataFile) {
    const auto c = steps(0.0, 360.0, 90.0);
    write(photometryTable(c, steps(0.0, 90.0, 10.0), [](double, double) { return -1.0; }), 10.0);
    // Negative intensities are no light, on the Console and in the data file.
    ASSERT_GE(console.lines().size(), 12u);
    EXPECT_EQ(console.lines()[5], " at gamma=               " + fmt::F(30.0, 7, 1) + fmt::F(70.0, 15, 1));
    EXPECT_EQ(console.lines()[7], "              0.0            0.0            0.0");
    EXPECT_EQ(console.lines()[11], fmt::F(360.0, 17, 1) + fmt::F(0.0, 15, 1) + fmt::F(0.0, 15, 1));
    const auto d = data();
    ASSERT_GE(d.size(), 12u);
    for (std::size_t k = 4; k < 12; ++k) EXPECT_EQ(d[k], console.lines()[k]) << k;

    // No gamma angle at or below 30: that column prints 0.0.
    const std::size_t from = console.lines().size();
    const RunResult r = write(photometryTable(steps(0.0, 360.0, 180.0), steps(40.0, 90.0, 10.0),
                                              [](double, double) { return 7.0; }),
                              10.0);
    ASSERT_EQ(r.listing.index30, 0);
    EXPECT_EQ(console.lines()[from + 5], " at gamma=               " + fmt::F(0.0, 7, 1) + fmt::F(70.0, 15, 1));
    EXPECT_EQ(console.lines()[from + 7].substr(0, 32), fmt::F(0.0, 17, 1) + fmt::F(0.0, 15, 1));
}

}  // namespace
}  // namespace vl
