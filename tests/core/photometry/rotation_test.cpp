#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/numeric/degrees.hpp"
#include "core/numeric/spline.hpp"
#include "writers/format.hpp"
#include "writers/streams.hpp"
#include "core/photometry/tilt_rotation.hpp"
#include "app/process_stop.hpp"
#include "app/computation_state.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

constexpr const char* kStamp = "202403051742";

std::vector<double> steps(double from, double to, double step) {
    std::vector<double> v;
    for (double x = from; x <= to + 1e-9; x += step) v.push_back(x);
    return v;
}

// Fills the photometry table (C axis with its closing 360 plane) and prepares its spline.
void setPhotometry(const std::vector<double>& c, const std::vector<double>& g,
                   const std::function<double(double, double)>& intensity) {
    PhotometryTable& p = state().photometry;
    p.cAngles = c;
    p.gammaAngles = g;
    p.cCount = static_cast<int>(c.size());
    p.gammaCount = static_cast<int>(g.size());
    p.cStep = c[1] - c[0];
    p.gammaStep = g[1] - g[0];
    p.intensity.assign(c.size() * g.size(), 0.0);
    state().photometrySpline.assign(c.size() * g.size(), 0.0);
    for (int j = 0; j < p.gammaCount; ++j)
        for (int i = 0; i < p.cCount; ++i) p.I(i, j) = intensity(c[static_cast<std::size_t>(i)], g[static_cast<std::size_t>(j)]);
    state().listing.index30 = 0;
    state().listing.index70 = 0;
    for (int j = 0; j < p.gammaCount; ++j) {
        if (g[static_cast<std::size_t>(j)] <= 30.0) state().listing.index30 = j + 1;
        if (g[static_cast<std::size_t>(j)] <= 70.0) state().listing.index70 = j + 1;
    }
    prepareSplineTable2D({p.cAngles.data(), p.gammaAngles.data(), p.intensity.data(), state().photometrySpline.data(),
                          p.cCount, p.gammaCount, p.cCount},
                         kNaturalEnd);
}

void setInstallation(double tilt, double spacing = 24.0) {
    InstallationData& in = state().installation;
    in.tilt = tilt;
    in.spacing = spacing;
    in.photometryFile = "road.ldt";
    state().run.runStamp = kStamp;
}

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

int stopStatus(const std::function<void()>& f, std::string& message) {
    try {
        f();
    } catch (const ProcessStop& stop) {
        message = stop.consoleMessage;
        return stop.status;
    }
    return -1;
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
    const Direction exact = rotang(0.0, 0.0, 10.0);
    EXPECT_EQ(fmt::F(exact.c, 13, 2), "        90.00");
    EXPECT_EQ(fmt::F(exact.gamma, 13, 2), "        10.00");
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

TEST(Rotphot, InstalledNadirComesFromC270) {
    for (double c : steps(0.0, 360.0, 10.0)) {
        const Direction d = rotphot(c, 0.0, 10.0);
        EXPECT_NEAR(d.c, 270.0, 1e-5) << c;
        EXPECT_NEAR(d.gamma, 10.0, 1e-9) << c;
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
    const Direction down = rotphot(90.0, 2.5, 2.5);
    EXPECT_NEAR(down.gamma, 0.0, 1e-6);
    const Direction up = rotphot(270.0, 177.5, 2.5);
    EXPECT_NEAR(up.gamma, 180.0, 1e-6);
    // A pole of the installed frame: C' 270 at the nadir, 90 at the zenith.
    const Direction nadir = rotang(270.0, 10.0, 10.0);
    EXPECT_NEAR(nadir.gamma, 0.0, 1e-6);
    const Direction zenith = rotang(90.0, 170.0, 10.0);
    EXPECT_NEAR(zenith.gamma, 180.0, 1e-6);
    // Exactly on the pole the azimuth is the limit of the formulas.
    const Direction exactZenith = rotang(90.0, 90.0, 90.0);
    EXPECT_EQ(exactZenith.gamma, 180.0);
    EXPECT_EQ(exactZenith.c, 90.0);
    const Direction exactNadir = rotang(270.0, 90.0, 90.0);
    EXPECT_EQ(exactNadir.gamma, 0.0);
    EXPECT_EQ(exactNadir.c, 270.0);
}

TEST(RotationErrors, NegativeGammaStops) {
    test::ConsoleCapture console;
    std::string message;
    EXPECT_EQ(stopStatus([] { rotang(0.0, -0.5, 10.0); }, message), 1);
    EXPECT_EQ(message, "ERROR rotang: gangoa outside limits");
    EXPECT_EQ(stopStatus([] { rotphot(0.0, -0.5, 10.0); }, message), 1);
    EXPECT_EQ(message, "ERROR rotang: gangoa outside limits");
    ASSERT_EQ(console.lines().size(), 2u);
    EXPECT_EQ(console.lines()[0], " ERROR rotang: gangoa outside limits");
}

// ---------------------------------------------------------------- intensity lookup

SplineTable2D photometryView() {
    PhotometryTable& p = state().photometry;
    return {p.cAngles.data(), p.gammaAngles.data(), p.intensity.data(), state().photometrySpline.data(),
            p.cCount, p.gammaCount, p.cCount};
}

TEST(LuminaireIntensity, ZeroTiltIsTheTableSpline) {
    setInstallation(0.0);
    setPhotometry(steps(0.0, 360.0, 15.0), steps(0.0, 90.0, 5.0),
                  [](double c, double g) { return 200.0 + 50.0 * std::sin(c * kDegree) + g; });
    const SplineTable2D view = photometryView();
    for (double c : {0.0, 7.5, 100.0, 359.0, 360.0}) {
        for (double g : {0.0, 12.5, 90.0}) {
            const double expected = evaluateSplineTable2D(view, kNaturalEnd, kNaturalEnd, kNaturalEnd, c, g);
            EXPECT_EQ(luminaireIntensityAt(c, g), expected) << c << " " << g;
            if (c > 0.0) {
                EXPECT_EQ(luminaireIntensityAt(c + 360.0, g), expected) << c;
            }
        }
    }
    // Knots are reproduced.
    EXPECT_NEAR(luminaireIntensityAt(90.0, 30.0), 280.0, 1e-9);
}

TEST(LuminaireIntensity, TiltLooksUpTheTurnedDirection) {
    setInstallation(15.0);
    setPhotometry(steps(0.0, 360.0, 15.0), steps(0.0, 90.0, 5.0), [](double, double g) { return 100.0 + g; });
    // The luminaire's nadir is seen at (90, 15) in the installed frame.
    EXPECT_NEAR(luminaireIntensityAt(90.0, 15.0), 100.0, 1e-6);
    // (90, 105) is the luminaire's horizontal; beyond it the last gamma holds.
    EXPECT_NEAR(luminaireIntensityAt(90.0, 105.0), 190.0, 1e-6);
    EXPECT_NEAR(luminaireIntensityAt(90.0, 130.0), 190.0, 1e-9);
    // The installed nadir comes from gamma 15 of the luminaire.
    EXPECT_NEAR(luminaireIntensityAt(0.0, 0.0), 115.0, 1e-6);
    setPhotometry(steps(0.0, 360.0, 30.0), steps(0.0, 90.0, 10.0), [](double, double) { return -5.0; });
    EXPECT_EQ(luminaireIntensityAt(45.0, 30.0), 0.0);
}


// ---------------------------------------------------------------- rotated table and files

class RotatedPhotometryTest : public ::testing::Test {
protected:
    void SetUp() override {
        reportFile().create("report.doc");
        dataFile().create("data.doc");
        state().emission.lightOutputRatio = 80.0;
    }
    void TearDown() override {
        reportFile().close();
        dataFile().close();
    }
    static int rowCount(const std::vector<std::string>& lines, std::size_t from, std::size_t width) {
        int n = 0;
        for (std::size_t k = from; k < lines.size() && lines[k].size() == width; ++k) ++n;
        return n;
    }
    test::ScratchDir dir;
    test::ConsoleCapture console;
};

TEST_F(RotatedPhotometryTest, ZeroTiltCopiesTableAndWritesNothing) {
    setInstallation(0.0);
    setPhotometry(steps(0.0, 360.0, 15.0), steps(0.0, 90.0, 5.0), [](double c, double g) { return 100.0 + c + 2.0 * g; });
    buildRotatedPhotometry();
    writeRotatedLuminaireFluxSections();
    EXPECT_EQ(state().rotated.rotatedIntensity, state().photometry.intensity);
    EXPECT_FALSE(std::filesystem::exists(kAnglesName));
    EXPECT_FALSE(std::filesystem::exists(kPhotName));
    EXPECT_TRUE(console.lines().empty());
    dataFile().close();
    EXPECT_TRUE(test::readFile("data.doc").empty());
}

TEST_F(RotatedPhotometryTest, AnglesFileHasBothSections) {
    setInstallation(10.0);
    const auto c = steps(0.0, 360.0, 30.0);
    const auto g = steps(0.0, 180.0, 10.0);
    setPhotometry(c, g, [](double, double gamma) { return gamma < 90.0 ? 200.0 : 0.0; });
    buildRotatedPhotometry();
    writeRotatedLuminaireFluxSections();

    const auto lines = test::readLines(kAnglesName);
    const std::size_t rows = c.size() * g.size();
    ASSERT_EQ(lines.size(), 9 + rows + 1 + 9 + rows);
    EXPECT_EQ(lines[0], " " + std::string(45, '-'));
    EXPECT_EQ(lines[1], " Luminaire photometry with angle rotation");
    EXPECT_EQ(lines[2], " Luminaire input data file road.ldt            ");
    EXPECT_EQ(lines[3], " Luminaire inclination 10.0");
    EXPECT_EQ(lines[4], " intensity per unit lamp flux in cd/klm");
    EXPECT_EQ(lines[5], " defined like in the input photometry file");
    EXPECT_EQ(lines[8], " original gamma, original C, rotated gamma, rotated C, intensity");
    EXPECT_EQ(lines[9], "        0.00         0.00        10.00        90.00       200.00");
    EXPECT_EQ(rowCount(lines, 9, 64), static_cast<int>(rows));
    // Gamma outer, C inner, the closing plane included.
    EXPECT_EQ(lines[9 + c.size() - 1].substr(0, 25), "        0.00       360.00");
    EXPECT_EQ(lines[9 + c.size()].substr(0, 25), "       10.00         0.00");
    EXPECT_EQ(lines[9 + rows], "  ");

    const std::size_t s2 = 9 + rows + 1;
    EXPECT_EQ(lines[s2 + 1], " Luminaire photometry with angle rotation");
    EXPECT_EQ(lines[s2 + 4], " Light Output Ratio of the Luminaire 0.8");
    EXPECT_EQ(lines[s2 + 5], " intensity per unit luminaire flux in cd/klm");
    EXPECT_EQ(lines[s2 + 6], " " + std::string(45, '-'));
    EXPECT_EQ(lines[s2 + 9], "        0.00         0.00        10.00        90.00       250.00");
    EXPECT_EQ(rowCount(lines, s2 + 9, 64), static_cast<int>(rows));
    // A full-sphere photometry carries no warning.
    EXPECT_EQ(test::readLines(kPhotName)[7], " angles in degrees");
}

TEST_F(RotatedPhotometryTest, PhotFileWarnsForIncompletePhotometryInBothSections) {
    setInstallation(15.0);
    const auto c = steps(0.0, 360.0, 45.0);
    const auto g = steps(0.0, 90.0, 15.0);
    setPhotometry(c, g, [](double, double) { return 120.0; });
    buildRotatedPhotometry();
    writeRotatedLuminaireFluxSections();

    const auto lines = test::readLines(kPhotName);
    const std::size_t rows = c.size() * g.size();
    ASSERT_EQ(lines.size(), 14 + rows + 1 + 14 + rows);
    EXPECT_EQ(lines[1], " Luminaire photometry interpolation after inclination");
    EXPECT_EQ(lines[7], " ATTENTION: UNCERTAINTY AT GAMMA ANGLES > 75.0");
    EXPECT_EQ(lines[8], " The input photometry does not fill the full gamma range 0-180\xB0");
    EXPECT_EQ(lines[9], " The intensity of the rotated photometry has been extrapolated at");
    EXPECT_EQ(lines[10], " some C angles");
    EXPECT_EQ(lines[11], " " + std::string(45, '-'));
    EXPECT_EQ(lines[12], " angles in degrees");
    EXPECT_EQ(lines[13], " gamma angle, C angle, interpolated intensity");
    EXPECT_EQ(rowCount(lines, 14, 30), static_cast<int>(rows));
    EXPECT_EQ(lines[14 + rows], "  ");
    const std::size_t s2 = 14 + rows + 1;
    EXPECT_EQ(lines[s2 + 5], " Intensity per unit luminaire flux in cd/klm");
    EXPECT_EQ(lines[s2 + 7], " ATTENTION: UNCERTAINTY AT GAMMA ANGLES > 75.0");
    EXPECT_EQ(lines[s2 + 13], " gamma angle, C angle, interpolated intensity");
    EXPECT_EQ(rowCount(lines, s2 + 14, 30), static_cast<int>(rows));
    EXPECT_EQ(lines.back().substr(0, 20), "     90.00    360.00");

    // Negative tilt: the margin uses the size of the tilt.
    setInstallation(-15.0);
    buildRotatedPhotometry();
    writeRotatedLuminaireFluxSections();
    EXPECT_EQ(test::readLines(kPhotName)[7], " ATTENTION: UNCERTAINTY AT GAMMA ANGLES > 75.0");
    // No warning in the angles file.
    for (const auto& line : test::readLines(kAnglesName)) EXPECT_EQ(line.find("ATTENTION"), std::string::npos);
}

TEST_F(RotatedPhotometryTest, RotatedTableHoldsTurnedLookups) {
    setInstallation(15.0);
    const auto c = steps(0.0, 360.0, 30.0);
    const auto g = steps(0.0, 90.0, 10.0);
    setPhotometry(c, g, [](double, double gamma) { return 100.0 + gamma; });
    state().emission.lightOutputRatio = 50.0;
    buildRotatedPhotometry();
    writeRotatedLuminaireFluxSections();
    const PhotometryTable& p = state().photometry;
    const auto& r = state().rotated.rotatedIntensity;
    ASSERT_EQ(r.size(), c.size() * g.size());
    for (int j = 0; j < p.gammaCount; ++j)
        for (int i = 0; i < p.cCount; ++i)
            EXPECT_EQ(r[static_cast<std::size_t>(i + p.cCount * j)],
                      luminaireIntensityAt(c[static_cast<std::size_t>(i)], g[static_cast<std::size_t>(j)]));
    // Installed nadir: gamma 15 of the luminaire.
    EXPECT_NEAR(r[0], 115.0, 1e-6);
    const auto lines = test::readLines(kPhotName);
    EXPECT_EQ(lines[14], "      0.00      0.00    115.00");
    const std::size_t s2 = 14 + c.size() * g.size() + 1;
    EXPECT_EQ(lines[s2 + 14], "      0.00      0.00    230.00");
    // The listing shows the rotated table at gamma 30 and 70.
    const std::size_t first = 7;
    EXPECT_EQ(console.lines()[first],
              fmt::F(0.0, 17, 1) + fmt::F(r[static_cast<std::size_t>(3 * p.cCount)], 15, 1) +
                  fmt::F(r[static_cast<std::size_t>(7 * p.cCount)], 15, 1));
}

TEST_F(RotatedPhotometryTest, ListingOnConsoleAndDataFile) {
    setInstallation(10.0);
    const auto c = steps(0.0, 360.0, 90.0);
    setPhotometry(c, steps(0.0, 90.0, 10.0), [](double, double) { return -1.0; });
    buildRotatedPhotometry();
    const std::vector<std::string> head = {
        "     ", " " + std::string(54, '-'), " Photometry after luminaire inclination", "  ",
        " C-angle   fixture intensity (cd/klm)", " at gamma=               " + fmt::F(30.0, 7, 1) + fmt::F(70.0, 15, 1),
        " "};
    ASSERT_EQ(console.lines().size(), head.size() + c.size());
    for (std::size_t k = 0; k < head.size(); ++k) EXPECT_EQ(console.lines()[k], head[k]) << k;
    EXPECT_EQ(console.lines()[7], "              0.0            0.0            0.0");
    EXPECT_EQ(console.lines().back(), fmt::F(360.0, 17, 1) + fmt::F(0.0, 15, 1) + fmt::F(0.0, 15, 1));
    dataFile().close();
    const auto data = test::readLines("data.doc");
    ASSERT_EQ(data.size(), head.size() + c.size());
    EXPECT_EQ(data[3], " ");  // an empty text here, one blank on the console
    for (std::size_t k = 4; k < data.size(); ++k) EXPECT_EQ(data[k], console.lines()[k]) << k;

    // No gamma angle at or below 30: that column prints 0.0.
    setPhotometry(steps(0.0, 360.0, 180.0), steps(40.0, 90.0, 10.0), [](double, double) { return 7.0; });
    ASSERT_EQ(state().listing.index30, 0);
    const std::size_t from = console.lines().size();
    buildRotatedPhotometry();
    EXPECT_EQ(console.lines()[from + 5], " at gamma=               " + fmt::F(0.0, 7, 1) + fmt::F(70.0, 15, 1));
    EXPECT_EQ(console.lines()[from + 7].substr(0, 32), fmt::F(0.0, 17, 1) + fmt::F(0.0, 15, 1));
}

TEST_F(RotatedPhotometryTest, ZeroSpacingNoticeAfterSections) {
    setInstallation(5.0, 0.0);
    setPhotometry(steps(0.0, 360.0, 90.0), steps(0.0, 90.0, 30.0), [](double, double) { return 1.0; });
    buildRotatedPhotometry();
    const std::size_t before = console.lines().size();
    writeRotatedLuminaireFluxSections();
    const std::vector<std::string> notice = {"   ", " luminaire spacing was set to zero then",
                                             " only the rotation of the photometry is computed",
                                             " (files ROTATEDANGLES_, ROTATEDPHOT_)", " "};
    ASSERT_EQ(console.lines().size(), before + notice.size());
    for (std::size_t k = 0; k < notice.size(); ++k) EXPECT_EQ(console.lines()[before + k], notice[k]);
    reportFile().close();
    EXPECT_EQ(test::readLines("report.doc"), notice);
    dataFile().close();
    const auto data = test::readLines("data.doc");
    ASSERT_GE(data.size(), notice.size());
    EXPECT_EQ(std::vector<std::string>(data.end() - 5, data.end()), notice);

    // Without rotated files (tilt 0) the files line is left out.
    writeZeroSpacingNotice(false);
    std::vector<std::string> shortNotice = notice;
    shortNotice.erase(shortNotice.begin() + 3);
    EXPECT_EQ(std::vector<std::string>(console.lines().end() - 4, console.lines().end()), shortNotice);
}

}  // namespace
}  // namespace vl
