#include "writers/data_tables.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/run/run.hpp"
#include "support/test_support.hpp"
#include "text/format.hpp"
#include "writers/streams.hpp"

namespace vl {
namespace {

using test::readLines;

std::size_t indexOf(const std::vector<std::string>& lines, const std::string& line, std::size_t from = 0) {
    auto it = std::find(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end(), line);
    return static_cast<std::size_t>(it - lines.begin());
}

std::size_t countOf(const std::vector<std::string>& lines, const std::string& line) {
    return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

// Spacing 30 m, road 7 m, a 3 x 2 grid of zero maps, a surface table of 2 beta x 3 tan gamma
// values r = 1000 b + 10 t + 1, and photometry tables I = 100 + k, Ie = 200 + k, Re = 300 + k.
class DataTablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        in.installation.spacing = 30.0;
        in.installation.roadWidth = 7.0;
        setGrid(3, 2, 5.0, 1.75);
        setPhotometry({0, 90, 180, 270, 360}, {0, 45, 90});
        ReducedLuminanceTable& t = in.surface;
        t.betaCount = 2;
        t.tanGammaCount = 3;
        t.betaAngles[1] = 2;
        t.tanGamma[1] = 0.25;
        t.tanGamma[2] = 0.5;
        for (int b = 0; b < 2; ++b) {
            for (int m = 0; m < 3; ++m) t.r(b, m) = 1000.0 * b + 10.0 * m + 1.0;
        }
    }

    // The grid with all its maps zero.
    void setGrid(int nX, int nY, double offsetX, double offsetY) {
        RoadLightingResult& r = result.road;
        r.grid.pointsAlongX = nX;
        r.grid.pointsAlongY = nY;
        r.grid.offsetX = offsetX;
        r.grid.offsetY = offsetY;
        for (GridMap* map : {&r.luminanceAtInfinity, &r.luminanceObserver1, &r.luminanceObserver2,
                             &r.horizontalIlluminance, &r.veilingLuminance, &r.semicylindricalIlluminance,
                             &r.glareRating}) {
            *map = GridMap(nX, nY);
        }
    }

    void setPhotometry(const std::vector<double>& c, const std::vector<double>& gamma) {
        PhotometryTable& p = in.photometry;
        p.cAngles = c;
        p.gammaAngles = gamma;
        p.cCount = static_cast<int>(c.size());
        p.gammaCount = static_cast<int>(gamma.size());
        const std::size_t n = c.size() * gamma.size();
        p.intensity.assign(n, 0.0);
        result.rotated.rotatedIntensity.assign(n, 0.0);
        result.scattering.roadEstimatedPhotometry.assign(n, 0.0);
        for (std::size_t k = 0; k < n; ++k) {
            p.intensity[k] = 100.0 + static_cast<double>(k);
            result.rotated.rotatedIntensity[k] = 200.0 + static_cast<double>(k);
            result.scattering.roadEstimatedPhotometry[k] = 300.0 + static_cast<double>(k);
        }
    }

    std::vector<std::string> run() {
        dataFile().create("d.doc");
        reportFile().create("r.doc");
        writeDataTables(in, result);
        EXPECT_FALSE(reportFile().isOpen());
        dataFile().close();
        return readLines(scratch.path() / "d.doc");
    }

    RunInputs in;
    RunResult result;
    test::ScratchDir scratch;
};

// ---- map layout ---------------------------------------------------------------

TEST_F(DataTablesTest, SinglePointGridGivesOneAxisValueAndOneRow) {
    setGrid(1, 1, 15.0, 3.5);
    result.road.luminanceAtInfinity(0, 0) = 1.234;
    const auto lines = run();
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(lines[0], "  ");
    EXPECT_EQ(lines[1], " Maintained Luminance at infinity and omega=0 (cd/m^2)");
    EXPECT_EQ(lines[2], "  y/x       15.00");
    EXPECT_EQ(lines[3], "  ");
    EXPECT_EQ(lines[4], "   3.50      1.23");
    EXPECT_EQ(lines[5], "  ");  // the next table begins
    EXPECT_EQ(lines[6], " Maintained Observed Luminance  (cd/m^2)");
    EXPECT_EQ(lines[7], " observer 1");
}

TEST_F(DataTablesTest, AxisUsesSpacingOverPointsAndRowsRunTopDown) {
    setGrid(3, 2, 5.0, 1.75);
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 2; ++j) result.road.horizontalIlluminance(i, j) = 10.0 * (i + 1) + (j + 1);
    }
    const auto lines = run();
    const std::size_t title = indexOf(lines, " Maintained Illuminance (lm/m^2)");
    ASSERT_LT(title + 5, lines.size());
    EXPECT_EQ(lines[title + 1], "  y/x        5.00  15.00  25.00");
    EXPECT_EQ(lines[title + 2], "  ");
    EXPECT_EQ(lines[title + 3], "   5.25     12.00  22.00  32.00");  // y_2 = 1.75 + 7/2
    EXPECT_EQ(lines[title + 4], "   1.75     11.00  21.00  31.00");  // y_1 last
}

TEST_F(DataTablesTest, AxisAndRowsContinueAfterHundredValues) {
    std::vector<double> x(150);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i);
    const auto lines = mapAxisLines(x);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 10u + 100u * 7u);
    EXPECT_EQ(lines[1].size(), 10u + 50u * 7u);
    EXPECT_EQ(lines[1].substr(0, 17), "  y/x      100.00");
    EXPECT_EQ(lines[0].substr(lines[0].size() - 7), "  99.00");

    const std::vector<double> exactly(100, 1.0);
    EXPECT_EQ(mapAxisLines(exactly).size(), 1u);
    EXPECT_EQ(mapRowLines(0.0, exactly).size(), 1u);

    // A row restarts the layout: values 101 and 102 take its first two fields (F7.2, F10.2).
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i + 1);
    const auto rows = mapRowLines(2.5, x);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].size(), 7u + 10u + 99u * 7u);
    EXPECT_EQ(rows[0].substr(0, 17), "   2.50      1.00");
    EXPECT_EQ(rows[0].substr(rows[0].size() - 7), " 100.00");
    EXPECT_EQ(rows[1].substr(0, 17), " 101.00    102.00");
    EXPECT_EQ(rows[1].size(), 7u + 10u + 48u * 7u);
    std::vector<double> twoHundred(200, 1.0);
    const auto two = mapRowLines(0.0, twoHundred);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[1].size(), 7u + 10u + 98u * 7u);
}

TEST_F(DataTablesTest, WideGridContinuesAxisAndEveryRow) {
    setGrid(150, 2, 0.0, 0.0);
    const auto lines = run();
    const std::size_t title = indexOf(lines, " Maintained Luminance at infinity and omega=0 (cd/m^2)");
    ASSERT_LT(title + 7, lines.size());
    EXPECT_EQ(lines[title + 1].substr(0, 10), "  y/x     ");
    EXPECT_EQ(lines[title + 2].substr(0, 10), "  y/x     ");
    EXPECT_EQ(lines[title + 3], "  ");
    EXPECT_EQ(lines[title + 4].substr(0, 7), "   3.50");  // y_2 first
    EXPECT_EQ(lines[title + 6].substr(0, 7), "   0.00");  // y_1 after y_2's continuation
    EXPECT_EQ(lines[title + 8], "  ");                    // next table
    EXPECT_EQ(lines[title + 9], " Maintained Observed Luminance  (cd/m^2)");
}

TEST_F(DataTablesTest, TooWideValuesPrintAsterisksExceptInTheWideFirstField) {
    setGrid(2, 1, 0.0, 0.0);
    result.road.horizontalIlluminance(0, 0) = 10000.0;
    result.road.horizontalIlluminance(1, 0) = 10000.0;
    const auto lines = run();
    const std::size_t title = indexOf(lines, " Maintained Illuminance (lm/m^2)");
    ASSERT_LT(title + 3, lines.size());
    EXPECT_EQ(lines[title + 3], "   0.00  10000.00*******");
}

TEST_F(DataTablesTest, GlareRatingIsRoundedToSinglePrecisionOnly) {
    setGrid(1, 1, 0.0, 0.0);
    // 2.0049999999 prints 2.00 as a double, but its nearest float lies above 2.005.
    ASSERT_GT(fmt::single(2.0049999999), 2.005);
    result.road.luminanceAtInfinity(0, 0) = 2.0049999999;
    result.road.glareRating(0, 0) = 2.0049999999;
    const auto lines = run();
    const std::size_t l = indexOf(lines, " Maintained Luminance at infinity and omega=0 (cd/m^2)");
    const std::size_t gr = indexOf(lines, " Glare Index GR");
    ASSERT_LT(gr + 3, lines.size());
    EXPECT_EQ(lines[l + 3], "   0.00      2.00");
    EXPECT_EQ(lines[gr + 3], "   0.00      2.01");
}

// ---- listings -----------------------------------------------------------------

TEST_F(DataTablesTest, SurfaceListingRunsBetaOuterTanGammaInner) {
    const auto lines = run();
    const std::size_t title = indexOf(lines, " Input road reduced coefficients");
    ASSERT_LT(title + 10, lines.size());
    EXPECT_EQ(lines[title + 1], "  ");
    EXPECT_EQ(lines[title + 2], "  Beta-angle    Tan Gamma    reduced coeff");
    EXPECT_EQ(lines[title + 3], "  ");
    EXPECT_EQ(lines[title + 4], "      0.00           0.00           1.00");
    EXPECT_EQ(lines[title + 5], "      0.00           0.25          11.00");
    EXPECT_EQ(lines[title + 6], "      0.00           0.50          21.00");
    EXPECT_EQ(lines[title + 7], "      2.00           0.00        1001.00");
    EXPECT_EQ(lines[title + 9], "      2.00           0.50        1021.00");
    EXPECT_EQ(lines[title + 10], "  ");  // the photometry listing follows
}

TEST_F(DataTablesTest, PhotometryListingsHoldEveryPlaneIncludingTheClosingOne) {
    setPhotometry({0, 90, 180, 270, 360}, {0, 90, 180});
    const auto lines = run();
    const std::size_t title = indexOf(lines, " Eulumdat luminaire photometry (cd/klm)");
    ASSERT_LT(title + 19, lines.size());
    EXPECT_EQ(lines[title + 2], "  C-angle    Gamma-angle   Intensity per unit lamp flux");
    // C outer, gamma inner; intensity at [l + nC * m].
    EXPECT_EQ(lines[title + 4], listingRow(0, 0, 100));
    EXPECT_EQ(lines[title + 5], listingRow(0, 90, 105));
    EXPECT_EQ(lines[title + 6], listingRow(0, 180, 110));
    EXPECT_EQ(lines[title + 7], listingRow(90, 0, 101));
    EXPECT_EQ(lines[title + 18], listingRow(360, 180, 114));
    EXPECT_EQ(lines[title + 19], "  ");

    const std::size_t rotated = indexOf(lines, " Effective luminaire photometry (cd/klm)");
    EXPECT_EQ(lines[rotated + 5], listingRow(0, 0, 200));
    EXPECT_EQ(lines[rotated + 19], listingRow(360, 180, 214));
    const std::size_t road = indexOf(lines, " Road (estimated) photometry (cd/klm)");
    ASSERT_LT(road + 18, lines.size());
    EXPECT_EQ(lines[road + 18], listingRow(360, 180, 314));
    EXPECT_EQ(road + 19, lines.size());
}

TEST_F(DataTablesTest, RoadPhotometryOnlyWhenTheLastGammaIsExactly180) {
    setPhotometry({0, 180, 360}, {0, 45, 90});
    auto lines = run();
    EXPECT_EQ(countOf(lines, " Road (estimated) photometry (cd/klm)"), 0u);
    EXPECT_EQ(lines.back(), listingRow(360, 90, 208));  // table 10 ends the file

    setPhotometry({0, 180, 360}, {0, 90, 179.99});
    lines = run();
    EXPECT_EQ(countOf(lines, " Road (estimated) photometry (cd/klm)"), 0u);

    setPhotometry({0, 180, 360}, {0, 90, 180});
    lines = run();
    EXPECT_EQ(countOf(lines, " Road (estimated) photometry (cd/klm)"), 1u);
}

}  // namespace
}  // namespace vl
