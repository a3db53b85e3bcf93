// Properties of the cubic spline and the bicubic table lookup.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/numeric/spline.hpp"
#include "core/numeric/spline_literal.hpp"
#include "writers/streams.hpp"
#include "core/refusal.hpp"
#include "support/test_support.hpp"

namespace vl {
namespace {

// Slope of the prepared spline at its last knot.
double endSlopeOf(const std::vector<double>& x, const double* y, const double* y2) {
    const std::size_t n = x.size();
    const double h = x[n - 1] - x[n - 2];
    return (y[n - 1] - y[n - 2]) / h + h * (y2[n - 2] + 2.0 * y2[n - 1]) / 6.0;
}

double startSlopeOf(const std::vector<double>& x, const double* y, const double* y2) {
    const double h = x[1] - x[0];
    return (y[1] - y[0]) / h - h * (2.0 * y2[0] + y2[1]) / 6.0;
}

// The refusal's message, or empty when the action is taken.
std::string refusal(const std::function<void()>& action) {
    try {
        action();
    } catch (const Refusal& r) {
        return r.what();
    }
    return {};
}

// --- one-dimensional spline -------------------------------------------------

TEST(Spline1D, NaturalSplineReproducesAStraightLineBetweenKnots) {
    const std::vector<double> x{0.0, 1.0, 2.5, 4.0, 7.0, 7.5, 10.0};
    std::vector<double> y;
    for (double xi : x) y.push_back(3.0 - 0.75 * xi);
    std::vector<double> y2(x.size());
    prepareSpline(x.data(), y.data(), static_cast<int>(x.size()), kNaturalEnd, kNaturalEnd, y2.data());
    for (double d : y2) EXPECT_NEAR(d, 0.0, 1e-15);
    for (double xq = 0.0; xq <= 10.0; xq += 0.0625) {
        EXPECT_NEAR(evaluateSpline(x.data(), y.data(), y2.data(), 7, xq), 3.0 - 0.75 * xq, 1e-13) << xq;
    }
}

TEST(Spline1D, ReturnsTheOrdinateAtEveryKnot) {
    const std::vector<double> x{0.0, 5.0, 10.0, 20.0, 30.0, 45.0, 60.0, 90.0};
    const std::vector<double> y{1.0, 4.0, -2.0, 8.5, 8.0, 0.0, 3.25, 12.0};
    std::vector<double> y2(x.size());
    for (double slope : {kNaturalEnd, 0.0, -3.0}) {
        prepareSpline(x.data(), y.data(), 8, slope, slope, y2.data());
        for (std::size_t k = 0; k < x.size(); ++k) {
            EXPECT_NEAR(evaluateSpline(x.data(), y.data(), y2.data(), 8, x[k]), y[k], 1e-12) << k;
        }
    }
}

TEST(Spline1D, GivenEndSlopesReproduceACubic) {
    // A clamped spline with the exact end slopes is exact for any cubic.
    auto f = [](double t) { return 2.0 - t + 0.5 * t * t - 0.125 * t * t * t; };
    auto df = [](double t) { return -1.0 + t - 0.375 * t * t; };
    const std::vector<double> x{-1.0, 0.0, 0.5, 2.0, 3.0, 4.5};
    std::vector<double> y;
    for (double xi : x) y.push_back(f(xi));
    std::vector<double> y2(x.size());
    prepareSpline(x.data(), y.data(), 6, df(-1.0), df(4.5), y2.data());
    for (double xq = -1.0; xq <= 4.5; xq += 0.05) {
        EXPECT_NEAR(evaluateSpline(x.data(), y.data(), y2.data(), 6, xq), f(xq), 1e-12) << xq;
    }
    EXPECT_NEAR(startSlopeOf(x, y.data(), y2.data()), df(-1.0), 1e-12);
    EXPECT_NEAR(endSlopeOf(x, y.data(), y2.data()), df(4.5), 1e-12);
}

TEST(Spline1D, SentinelAboveThresholdSelectsTheNaturalEnd) {
    const std::vector<double> x{0.0, 1.0, 2.0, 3.0};
    const std::vector<double> y{0.0, 1.0, 0.0, 1.0};
    std::vector<double> y2(4);
    prepareSpline(x.data(), y.data(), 4, 9.91e29, 1.0e30, y2.data());
    EXPECT_EQ(y2[0], 0.0);
    EXPECT_EQ(y2[3], 0.0);
    // 9.9e29 itself is a slope, not the sentinel.
    prepareSpline(x.data(), y.data(), 4, 9.9e29, 9.9e29, y2.data());
    EXPECT_NE(y2[0], 0.0);
    EXPECT_NE(y2[3], 0.0);
}

TEST(Spline1D, ExtrapolatesWithTheOuterCubics) {
    const std::vector<double> x{0.0, 1.0, 2.0};
    const std::vector<double> y{0.0, 1.0, 4.0};
    std::vector<double> y2(3);
    prepareSpline(x.data(), y.data(), 3, kNaturalEnd, kNaturalEnd, y2.data());
    // Natural spline through (0,0),(1,1),(2,4): y2 = {0, 3, 0}.
    EXPECT_DOUBLE_EQ(y2[1], 3.0);
    // Left of x(1) the first interval's cubic: a = 2, b = -1, h = 1.
    const double a = 2.0;
    const double b = -1.0;
    const double expected = a * 0.0 + b * 1.0 + ((a * a * a - a) * 0.0 + (b * b * b - b) * 3.0) / 6.0;
    EXPECT_DOUBLE_EQ(evaluateSpline(x.data(), y.data(), y2.data(), 3, -1.0), expected);
}

TEST(Spline1D, EqualAbscissaeReportAndReturnTheMean) {
    int reports = 0;
    const EqualAbscissae report = [&reports] { ++reports; };
    const std::vector<double> x{0.0, 1.0, 1.0, 2.0};
    const std::vector<double> y{0.0, 2.0, 6.0, 1.0};
    const std::vector<double> y2{0.0, 0.5, -0.5, 0.0};
    // 1.5 brackets between the distinct x(3) = 1 and x(4) = 2: no fault.
    EXPECT_TRUE(std::isfinite(evaluateSpline(x.data(), y.data(), y2.data(), 4, 1.5, report)));
    EXPECT_EQ(reports, 0);
    // Over the first three points, 1.0 lands between the two equal abscissae.
    EXPECT_EQ(evaluateSpline(x.data(), y.data(), y2.data(), 3, 1.0, report), 4.0);
    EXPECT_EQ(reports, 1);
}

TEST(Spline1D, PointCountsOutsideTwoToTwoHundredAreRefused) {
    std::vector<double> x(201);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i);
    std::vector<double> y(201, 1.0);
    std::vector<double> y2(201, 0.0);
    EXPECT_NE(refusal([&] { prepareSpline(x.data(), y.data(), 201, 0.0, 0.0, y2.data()); }).find("201 points"),
              std::string::npos);
    EXPECT_FALSE(refusal([&] { prepareSpline(x.data(), y.data(), 1, 0.0, 0.0, y2.data()); }).empty());
    EXPECT_FALSE(refusal([&] { evaluateSpline(x.data(), y.data(), y2.data(), 0, 1.0); }).empty());
    // 200 points are fine.
    EXPECT_TRUE(refusal([&] { prepareSpline(x.data(), y.data(), 200, 0.0, 0.0, y2.data()); }).empty());
    EXPECT_NEAR(evaluateSpline(x.data(), y.data(), y2.data(), 200, 123.4), 1.0, 1e-12);
}

// --- two-dimensional table ---------------------------------------------------

// A table over x1 = 0..360 step 15 (25), x2 = 0..180 step 5 (37) with ld = 26.
struct PhotometryLike {
    std::vector<double> x1, x2, y, y2;
    int ld = 26;
    PhotometryLike() {
        for (int i = 0; i < 25; ++i) x1.push_back(15.0 * i);
        for (int k = 0; k < 37; ++k) x2.push_back(5.0 * k);
        y.assign(static_cast<std::size_t>(ld) * 37, -7.0);  // padding that must never be read
        y2.assign(y.size(), -7.0);
        for (int k = 0; k < 37; ++k) {
            for (int i = 0; i < 25; ++i) {
                y[static_cast<std::size_t>(i + ld * k)] =
                    300.0 * std::cos(x2[k] * 0.0174) * (1.0 + 0.3 * std::sin(x1[i] * 0.0174)) + 0.01 * i * k;
            }
        }
    }
    SplineTable2D table() {
        return SplineTable2D{x1.data(), x2.data(), y.data(), y2.data(), 25, 37, ld};
    }
};

TEST(SplineTable2D, KnotsOfTheTableAreReturned) {
    PhotometryLike p;
    prepareSplineTable2D(p.table(), kNaturalEnd);
    for (int k = 0; k < 37; k += 3) {
        for (int i = 0; i < 25; i += 2) {
            EXPECT_NEAR(evaluateSplineTable2D(p.table(), kNaturalEnd, kNaturalEnd, kNaturalEnd, p.x1[i], p.x2[k]),
                        p.y[static_cast<std::size_t>(i + p.ld * k)], 1e-9)
                << i << " " << k;
        }
    }
    // The padding beyond m was neither read into nor written by the preparation.
    for (int k = 0; k < 37; ++k) EXPECT_EQ(p.y2[static_cast<std::size_t>(25 + p.ld * k)], -7.0);
}

TEST(SplineTable2D, EndSlopeOfALinearRowIsTheLastDifferenceOverNinetyOverIntervals) {
    // Rows linear in x1 with slope s, spacing 15, m - 1 = 24: prepared end slope 4 s.
    std::vector<double> x1, x2{0.0, 1.0, 2.0};
    for (int i = 0; i < 25; ++i) x1.push_back(15.0 * i);
    std::vector<double> y(25 * 3), y2(25 * 3);
    const double slopes[3] = {0.5, -2.0, 0.0};
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < 25; ++i) y[static_cast<std::size_t>(i + 25 * k)] = 10.0 + slopes[k] * x1[i];
    }
    SplineTable2D t{x1.data(), x2.data(), y.data(), y2.data(), 25, 3, 25};
    for (double start : {kNaturalEnd, 0.0}) {
        prepareSplineTable2D(t, start);
        for (int k = 0; k < 3; ++k) {
            const double* row = y.data() + 25 * k;
            const double* row2 = y2.data() + 25 * k;
            EXPECT_NEAR(endSlopeOf(x1, row, row2), 4.0 * slopes[k], 1e-12) << k;
            if (start > 1e29) {
                EXPECT_EQ(row2[0], 0.0);
            } else {
                EXPECT_NEAR(startSlopeOf(x1, row, row2), 0.0, 1e-12);
            }
        }
    }
    // The constant stays 90 on any span: 19 intervals over 0..180 give 2 s.
    std::vector<double> b1;
    for (int i = 0; i < 20; ++i) b1.push_back(180.0 * i / 19.0);
    std::vector<double> yb(20 * 2), yb2(20 * 2);
    for (int k = 0; k < 2; ++k) {
        for (int i = 0; i < 20; ++i) yb[static_cast<std::size_t>(i + 20 * k)] = 3.0 * b1[i];
    }
    SplineTable2D tb{b1.data(), x2.data(), yb.data(), yb2.data(), 20, 2, 20};
    prepareSplineTable2D(tb, 0.0);
    EXPECT_NEAR(endSlopeOf(b1, yb.data(), yb2.data()), 6.0, 1e-12);
}

TEST(SplineTable2D, FirstAxisClampsBelowAndExtrapolatesOnlyUpward) {
    std::vector<double> x1{10.0, 20.0, 30.0, 45.0}, x2{0.0, 0.5, 1.0, 2.0};
    std::vector<double> y(16), y2(16);
    for (int k = 0; k < 4; ++k) {
        for (int i = 0; i < 4; ++i) y[static_cast<std::size_t>(i + 4 * k)] = x1[i] * (1.0 + x2[k]) + 0.1 * i * i;
    }
    SplineTable2D t{x1.data(), x2.data(), y.data(), y2.data(), 4, 4, 4};
    prepareSplineTable2D(t, 0.0);
    const double atFirst = evaluateSplineTable2D(t, kNaturalEnd, 0.0, 0.0, 10.0, 0.7);
    EXPECT_EQ(evaluateSplineTable2D(t, kNaturalEnd, 0.0, 0.0, 3.0, 0.7), atFirst);
    EXPECT_EQ(evaluateSplineTable2D(t, kNaturalEnd, 0.0, 0.0, -1e6, 0.7), atFirst);

    const double atLast = evaluateSplineTable2D(t, 2.0, 0.0, 0.0, 45.0, 0.7);
    EXPECT_NEAR(evaluateSplineTable2D(t, 2.0, 0.0, 0.0, 50.0, 0.7), atLast + 5.0 * 2.0, 1e-12);
    const double huge = evaluateSplineTable2D(t, kNaturalEnd, 0.0, 0.0, 46.5, 0.7);
    EXPECT_NEAR(huge / (1.5 * kNaturalEnd), 1.0, 1e-12);
    // Inside the axis the slope plays no part.
    EXPECT_EQ(evaluateSplineTable2D(t, 2.0, 0.0, 0.0, 44.9, 0.7),
              evaluateSplineTable2D(t, kNaturalEnd, 0.0, 0.0, 44.9, 0.7));
}

TEST(SplineTable2D, SecondAxisNeverExtrapolates) {
    PhotometryLike p;
    // A photometry that ends at 90 degrees: the first 19 gamma rows.
    SplineTable2D t = p.table();
    t.n = 19;
    prepareSplineTable2D(t, kNaturalEnd);
    for (double c : {0.0, 37.0, 200.0}) {
        const double at90 = evaluateSplineTable2D(t, kNaturalEnd, kNaturalEnd, kNaturalEnd, c, 90.0);
        EXPECT_EQ(evaluateSplineTable2D(t, kNaturalEnd, kNaturalEnd, kNaturalEnd, c, 120.0), at90);
        EXPECT_EQ(evaluateSplineTable2D(t, kNaturalEnd, kNaturalEnd, kNaturalEnd, c, 1e9), at90);
        EXPECT_EQ(evaluateSplineTable2D(t, kNaturalEnd, kNaturalEnd, kNaturalEnd, c, -4.0),
                  evaluateSplineTable2D(t, kNaturalEnd, kNaturalEnd, kNaturalEnd, c, 0.0));
    }
}

TEST(SplineTable2D, BilinearDataIsReproducedWithNaturalEnds) {
    // y = 2 + 0.5 x1 along rows, but the fixed 90 end slope bends the rows unless the
    // axis spans 90 with unit factor: x1 = 0..90 step 30 (m - 1 = 3, 90 / 3 = 30).
    std::vector<double> x1{0.0, 30.0, 60.0, 90.0}, x2{0.0, 1.0, 3.0};
    std::vector<double> y(12), y2(12);
    for (int k = 0; k < 3; ++k) {
        for (int i = 0; i < 4; ++i) y[static_cast<std::size_t>(i + 4 * k)] = 2.0 + 0.5 * x1[i] - 4.0 * x2[k];
    }
    SplineTable2D t{x1.data(), x2.data(), y.data(), y2.data(), 4, 3, 4};
    prepareSplineTable2D(t, kNaturalEnd);
    for (double a = 0.0; a <= 90.0; a += 7.5) {
        for (double b = 0.0; b <= 3.0; b += 0.25) {
            EXPECT_NEAR(evaluateSplineTable2D(t, kNaturalEnd, kNaturalEnd, kNaturalEnd, a, b),
                        2.0 + 0.5 * a - 4.0 * b, 1e-12);
        }
    }
}

TEST(SplineTable2D, EqualFirstAxisValuesReportOncePerRow) {
    test::ConsoleCapture console;
    setConsolePause([] {});
    int reports = 0;
    const EqualAbscissae report = [&reports] { ++reports; };
    std::vector<double> x1{0.0, 10.0, 10.0, 20.0}, x2{0.0, 1.0, 2.0};
    std::vector<double> y(12), y2(12, 0.0);
    for (std::size_t j = 0; j < y.size(); ++j) y[j] = static_cast<double>(j * j % 7);
    SplineTable2D t{x1.data(), x2.data(), y.data(), y2.data(), 3, 3, 4};  // m = 3 ends on the pair
    // x1q = 10 over {0, 10, 10}: bracket 2..3, h = 0 in every row.
    const double value = evaluateSplineTable2D(t, kNaturalEnd, kNaturalEnd, kNaturalEnd, 10.0, 1.0, report);
    EXPECT_EQ(reports, 3);
    // Row k gives (y(2,k) + y(3,k)) / 2; x2q = 1 is a knot of the column.
    EXPECT_NEAR(value, (y[1 + 4] + y[2 + 4]) / 2.0, 1e-12);
    // The same as the plain row-by-row composition, which reports once per row too.
    const double literal = literal::evaluateTable(t, kNaturalEnd, kNaturalEnd, kNaturalEnd, 10.0, 1.0);
    EXPECT_EQ(value, literal);
    EXPECT_EQ(console.lines().size(), 3U);
    setConsolePause(nullptr);
}

TEST(SplineTable2D, EqualSecondAxisValuesAtTheQueryReportOnce) {
    int reports = 0;
    std::vector<double> x1{0.0, 10.0}, x2{0.0, 1.0, 1.0};
    std::vector<double> y{1.0, 2.0, 3.0, 4.0, 5.0, 6.0}, y2(6, 0.0);
    SplineTable2D t{x1.data(), x2.data(), y.data(), y2.data(), 2, 3, 2};
    const double value =
        evaluateSplineTable2D(t, kNaturalEnd, kNaturalEnd, kNaturalEnd, 0.0, 1.0, [&reports] { ++reports; });
    EXPECT_EQ(value, (3.0 + 5.0) / 2.0);
    EXPECT_EQ(reports, 1);
}

TEST(SplineTable2D, SizesOutsideTheScratchVectorsAreRefused) {
    std::vector<double> x(201), y(201 * 2, 1.0), y2(201 * 2, 0.0);
    for (std::size_t i = 0; i < x.size(); ++i) x[i] = static_cast<double>(i);
    SplineTable2D wide{x.data(), x.data(), y.data(), y2.data(), 201, 2, 201};
    EXPECT_FALSE(refusal([&] { prepareSplineTable2D(wide, 0.0); }).empty());
    EXPECT_FALSE(refusal([&] { evaluateSplineTable2D(wide, 0.0, 0.0, 0.0, 1.0, 1.0); }).empty());
    SplineTable2D single{x.data(), x.data(), y.data(), y2.data(), 1, 2, 1};
    EXPECT_FALSE(refusal([&] { prepareSplineTable2D(single, 0.0); }).empty());
    SplineTable2D shortLd{x.data(), x.data(), y.data(), y2.data(), 4, 2, 3};
    EXPECT_FALSE(refusal([&] { evaluateSplineTable2D(shortLd, 0.0, 0.0, 0.0, 1.0, 1.0); }).empty());
    SplineTable2D tall{x.data(), x.data(), y.data(), y2.data(), 2, 201, 2};
    EXPECT_FALSE(refusal([&] { evaluateSplineTable2D(tall, 0.0, 0.0, 0.0, 1.0, 1.0); }).empty());
}

TEST(SplineTable2D, NonFiniteQueriesGiveNaNWithoutFault) {
    PhotometryLike p;
    prepareSplineTable2D(p.table(), kNaturalEnd);
    EXPECT_TRUE(std::isnan(evaluateSplineTable2D(p.table(), kNaturalEnd, kNaturalEnd, kNaturalEnd, NAN, 10.0)));
    EXPECT_TRUE(std::isnan(evaluateSplineTable2D(p.table(), kNaturalEnd, kNaturalEnd, kNaturalEnd, 10.0, NAN)));
}

}  // namespace
}  // namespace vl
