#include "writers/pictures/isolines.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace vl::pictures {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Unevenly spaced coordinates from lo to hi, so that no cell is like its neighbour.
std::vector<double> axis(double lo, double hi, int n) {
    std::vector<double> a;
    for (int k = 0; k < n; ++k) {
        const double t = static_cast<double>(k) / (n - 1);
        a.push_back(lo + (hi - lo) * (t + 0.15 * std::sin(std::numbers::pi * t) * t * (1 - t)));
    }
    return a;
}

template <class F>
ScalarGrid sampled(std::vector<double> x, std::vector<double> y, F f) {
    ScalarGrid g{std::move(x), std::move(y), {}};
    for (double xi : g.x) {
        for (double yj : g.y) g.values.push_back(f(xi, yj));
    }
    return g;
}

std::vector<IsolineCurve> ofLevel(const std::vector<IsolineCurve>& curves, double level) {
    std::vector<IsolineCurve> out;
    std::copy_if(curves.begin(), curves.end(), std::back_inserter(out), [&](const IsolineCurve& c) { return c.level == level; });
    return out;
}

bool onBorder(const ScalarGrid& g, const Point& p) {
    return p.x == g.x.front() || p.x == g.x.back() || p.y == g.y.front() || p.y == g.y.back();
}

// Shape checks every curve must pass: no repeated point, closed curves end where they
// start and stay inside the grid, open curves end on the border or beside a hole.
void expectWellFormed(const ScalarGrid& g, const std::vector<IsolineCurve>& curves, bool holes = false) {
    for (const IsolineCurve& c : curves) {
        ASSERT_GE(c.points.size(), c.closed ? 4u : 2u);
        for (std::size_t k = 1; k < c.points.size(); ++k) {
            EXPECT_FALSE(c.points[k].x == c.points[k - 1].x && c.points[k].y == c.points[k - 1].y);
        }
        for (const Point& p : c.points) {
            EXPECT_GE(p.x, g.x.front());
            EXPECT_LE(p.x, g.x.back());
            EXPECT_GE(p.y, g.y.front());
            EXPECT_LE(p.y, g.y.back());
        }
        if (c.closed) {
            EXPECT_EQ(c.points.front().x, c.points.back().x);
            EXPECT_EQ(c.points.front().y, c.points.back().y);
        } else if (!holes) {
            EXPECT_TRUE(onBorder(g, c.points.front()));
            EXPECT_TRUE(onBorder(g, c.points.back()));
        }
    }
}

TEST(Isolines, ConcentricCirclesAreOneClosedCurveEachAndArcsWhereTheBorderCutsThem) {
    const ScalarGrid g = sampled(axis(-5, 5, 41), axis(-5, 5, 37), [](double x, double y) { return std::hypot(x, y); });
    const std::vector<double> levels = {1, 2, 3, 4, 6};
    const auto curves = traceIsolines(g, levels);
    expectWellFormed(g, curves);
    for (double r : {1.0, 2.0, 3.0, 4.0}) {
        const auto rings = ofLevel(curves, r);
        ASSERT_EQ(rings.size(), 1u) << "radius " << r;
        EXPECT_TRUE(rings[0].closed);
        // Linear interpolation on a cell of about 0.3: the radius is met within h^2 / (8 r).
        for (const Point& p : rings[0].points) EXPECT_NEAR(std::hypot(p.x, p.y), r, 0.02);
        // The ring goes once around: its length is the circumference (the inscribed polygon
        // falls short by well under 1 %; a lost segment would cost several).
        EXPECT_NEAR(polylineLength(rings[0].points), 2 * std::numbers::pi * r, 0.01 * 2 * std::numbers::pi * r);
    }
    // Radius 6 leaves the square [-5, 5]^2 in its four corners only.
    const auto corners = ofLevel(curves, 6);
    ASSERT_EQ(corners.size(), 4u);
    for (const IsolineCurve& c : corners) {
        EXPECT_FALSE(c.closed);
        for (const Point& p : c.points) EXPECT_NEAR(std::hypot(p.x, p.y), 6, 0.02);
    }
}

TEST(Isolines, PlaneGivesOneStraightCurveEvenWhenTheLevelMeetsNodesExactly) {
    // 2x + y on integer nodes: levels 7 and 10 pass exactly through nodes, 7.3 between them.
    std::vector<double> x{0, 1, 2, 3, 4, 5}, y{0, 1, 2, 3, 4};
    const ScalarGrid g = sampled(x, y, [](double xi, double yj) { return 2 * xi + yj; });
    for (double level : {7.0, 7.3, 10.0}) {
        const std::vector<double> levels{level};
        const auto curves = traceIsolines(g, levels);
        expectWellFormed(g, curves);
        ASSERT_EQ(curves.size(), 1u) << level;
        EXPECT_FALSE(curves[0].closed);
        for (const Point& p : curves[0].points) EXPECT_NEAR(2 * p.x + p.y, level, 1e-12);
        // From y = 0 to y = 4 along the line: its length is 4 * sqrt(1 + 1/4).
        EXPECT_NEAR(polylineLength(curves[0].points), 4 * std::sqrt(1.25), 1e-9);
    }
    // Levels outside the range, or at its extremes, cut nothing.
    const std::vector<double> outside{-1, 0, 14, 20};
    EXPECT_TRUE(traceIsolines(g, outside).empty());
}

TEST(Isolines, SaddlesFollowTheCellCentre) {
    // x * y on nodes at half-integers: every cell round the origin is a saddle for a small
    // level. The centre (0) is below 0.1, so the high corners are cut off: the hyperbola's
    // two branches stay in the first and third quadrants; for -0.1 in the second and fourth.
    const std::vector<double> a{-2.5, -1.5, -0.5, 0.5, 1.5, 2.5};
    const ScalarGrid g = sampled(a, a, [](double x, double y) { return x * y; });
    for (double level : {0.1, -0.1}) {
        const std::vector<double> levels{level};
        const auto curves = traceIsolines(g, levels);
        expectWellFormed(g, curves);
        ASSERT_EQ(curves.size(), 2u) << level;
        for (const IsolineCurve& c : curves) {
            for (const Point& p : c.points) EXPECT_GT(p.x * p.y * level, 0) << level;
        }
    }
    // One cell, high corners (0,0) and (1,1): the centre decides which pair is joined.
    const ScalarGrid cell{{0, 1}, {0, 1}, {1.0, -1.0, -1.0, 1.0}};
    const std::vector<double> above{0.5}, below{-0.5};
    for (const IsolineCurve& c : traceIsolines(cell, above)) {
        // Cut-off high corners: each segment is nearer (0,0) or (1,1) than the other corners.
        const Point m{0.5 * (c.points.front().x + c.points.back().x), 0.5 * (c.points.front().y + c.points.back().y)};
        EXPECT_TRUE(std::fabs(m.x - m.y) < 1e-12) << m.x << " " << m.y;
    }
    for (const IsolineCurve& c : traceIsolines(cell, below)) {
        const Point m{0.5 * (c.points.front().x + c.points.back().x), 0.5 * (c.points.front().y + c.points.back().y)};
        EXPECT_NEAR(m.x + m.y, 1.0, 1e-12);
    }
    EXPECT_EQ(traceIsolines(cell, above).size(), 2u);
    EXPECT_EQ(traceIsolines(cell, below).size(), 2u);
}

TEST(Isolines, DegenerateFieldsGiveNoIsolineAndNeverFail) {
    const std::vector<double> levels{-1, 0, 0.5, 1, 2};
    const std::vector<double> x{0, 1, 2, 3}, y{0, 1, 2};
    // Constant (also exactly at a level), all zero, empty, a single row, a single node.
    EXPECT_TRUE(traceIsolines(sampled(x, y, [](double, double) { return 1.0; }), levels).empty());
    EXPECT_TRUE(traceIsolines(sampled(x, y, [](double, double) { return 0.0; }), levels).empty());
    EXPECT_TRUE(traceIsolines(ScalarGrid{}, levels).empty());
    EXPECT_TRUE(traceIsolines(sampled(x, {0.0}, [](double xi, double) { return xi; }), levels).empty());
    EXPECT_TRUE(traceIsolines(ScalarGrid{{0}, {0}, {1}}, levels).empty());
    // Every value non-finite; levels that are not finite.
    EXPECT_TRUE(traceIsolines(sampled(x, y, [](double, double) { return kNaN; }), levels).empty());
    const std::vector<double> odd{kNaN, std::numeric_limits<double>::infinity()};
    EXPECT_TRUE(traceIsolines(sampled(x, y, [](double xi, double) { return xi; }), odd).empty());
    // A peak exactly at the level touches it in one point: no curve.
    const ScalarGrid peak = sampled(x, y, [](double xi, double yj) { return -std::fabs(xi - 1) - std::fabs(yj - 1); });
    const std::vector<double> top{0.0};
    EXPECT_TRUE(traceIsolines(peak, top).empty());
    // Values that do not fit the coordinates, axes that do not increase.
    EXPECT_THROW(traceIsolines(ScalarGrid{x, y, {1, 2, 3}}, levels), std::invalid_argument);
    EXPECT_THROW(traceIsolines(ScalarGrid{{0, 1, 1}, {0, 1}, std::vector<double>(6, 0.0)}, levels), std::invalid_argument);
    EXPECT_THROW(traceIsolines(ScalarGrid{{0, kNaN}, {0, 1}, std::vector<double>(4, 0.0)}, levels), std::invalid_argument);
}

TEST(Isolines, NonFiniteNodesCutHolesThatCurvesDoNotCross) {
    // Circles with a hole of NaN and infinite nodes across the ring of radius 2.
    ScalarGrid g = sampled(axis(-5, 5, 41), axis(-5, 5, 41), [](double x, double y) { return std::hypot(x, y); });
    std::vector<Point> holes;
    for (std::size_t i = 0; i < g.nx(); ++i) {
        for (std::size_t j = 0; j < g.ny(); ++j) {
            if (std::fabs(g.x[i] - 2) < 0.4 && std::fabs(g.y[j]) < 0.4) {
                g.values[i * g.ny() + j] = (i + j) % 2 ? kNaN : std::numeric_limits<double>::infinity();
                holes.push_back({g.x[i], g.y[j]});
            }
        }
    }
    ASSERT_FALSE(holes.empty());
    const std::vector<double> levels{1, 2, 3};
    const auto curves = traceIsolines(g, levels);
    expectWellFormed(g, curves, true);
    ASSERT_EQ(ofLevel(curves, 1).size(), 1u);
    EXPECT_TRUE(ofLevel(curves, 1)[0].closed);
    EXPECT_TRUE(ofLevel(curves, 3)[0].closed);
    // The ring of radius 2 is opened by the hole, and each vertex keeps its level.
    const auto broken = ofLevel(curves, 2);
    ASSERT_EQ(broken.size(), 1u);
    EXPECT_FALSE(broken[0].closed);
    for (const Point& p : broken[0].points) {
        EXPECT_NEAR(std::hypot(p.x, p.y), 2, 0.02);
        // No vertex lies strictly inside a cell that has a non-finite corner: all stay
        // at least on the border of the hole's cells.
        EXPECT_FALSE(std::fabs(p.x - 2) < 0.15 && std::fabs(p.y) < 0.15);
    }
}

TEST(Isolines, LabelsSitOnTheirCurveUprightAndOnlyOnLongCurves) {
    const ScalarGrid g = sampled(axis(-5, 5, 41), axis(-5, 5, 41), [](double x, double y) { return std::hypot(x, y); });
    const std::vector<double> levels{0.5, 2, 4};
    const auto curves = traceIsolines(g, levels, LabelPlacement{5.0, 4.0});
    ASSERT_EQ(curves.size(), 3u);
    EXPECT_TRUE(curves[0].labels.empty());  // circumference 3.1 < 4
    EXPECT_EQ(curves[1].labels.size(), 2u);  // 12.6 / 5
    EXPECT_EQ(curves[2].labels.size(), 5u);  // 25.1 / 5
    for (const IsolineCurve& c : curves) {
        for (const LabelAnchor& a : c.labels) {
            EXPECT_NEAR(std::hypot(a.at.x, a.at.y), c.level, 0.02);
            EXPECT_GT(a.angle, -std::numbers::pi / 2);
            EXPECT_LE(a.angle, std::numbers::pi / 2);
            // Along the circle the direction is perpendicular to the radius.
            EXPECT_NEAR(std::fabs(std::cos(a.angle) * a.at.x + std::sin(a.angle) * a.at.y) / c.level, 0, 0.05);
        }
    }
    EXPECT_TRUE(traceIsolines(g, levels).front().labels.empty());  // no placement, no labels
}

}  // namespace
}  // namespace vl::pictures
