#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/roadlighting/edge_strips.hpp"

namespace vl {
namespace {

// A row of 29 luminaires of intensity I0 cos^2(gamma) at x = n S, y = V, height h:
// E = sum of I0 cos^3(gamma) / D^2 = I0 h^3 / D^5.
struct CosineRow {
    double spacing = 24, overhang = 2.5, height = 7, i0 = 3000;
    double operator()(double x, double y) const {
        double e = 0;
        for (int n = -14; n <= 14; ++n) {
            const double dx = x - n * spacing, dy = y - overhang;
            const double d2 = dx * dx + dy * dy + height * height;
            e += i0 * height * height * height / (d2 * d2 * std::sqrt(d2));
        }
        return e;
    }
};

// Midpoint rule on a fine grid over one spacing and the band y0..y1.
double bruteAverage(const CosineRow& row, double y0, double y1) {
    const int nx = 480, ny = 400;
    double sum = 0;
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j) sum += row((i + 0.5) * row.spacing / nx, y0 + (j + 0.5) * (y1 - y0) / ny);
    return sum / (nx * ny);
}

std::vector<double> halfCellColumns(double spacing, int n) {
    std::vector<double> x;
    for (int i = 0; i < n; ++i) x.push_back(spacing / n * (i + 0.5));
    return x;
}

TEST(EdgeStrips, AgreeWithABruteForceIntegrationOfTheRow) {
    const CosineRow row;
    const double W = 7.0, w = 3.5;
    const double inside0 = bruteAverage(row, 0, w), outside0 = bruteAverage(row, -w, 0);
    const double insideW = bruteAverage(row, W - w, W), outsideW = bruteAverage(row, W, W + w);

    // The standard field: 10 columns, road cells 7/6 m across, so 3 rows in a 3.5 m strip.
    EdgeStripResult r = computeEdgeStrips({W, W / 6, halfCellColumns(24, 10)}, row);
    EXPECT_EQ(r.stripWidth, 3.5);
    EXPECT_EQ(r.pointsAcross, 3);
    EXPECT_EQ(r.pointsAlong, 10);
    EXPECT_NEAR(r.edges[0].insideAverage / inside0, 1, 0.006);
    EXPECT_NEAR(r.edges[0].outsideAverage / outside0, 1, 0.006);
    EXPECT_NEAR(r.edges[1].insideAverage / insideW, 1, 0.006);
    EXPECT_NEAR(r.edges[1].outsideAverage / outsideW, 1, 0.006);
    // The far edge is farther from the row: its outside strip is the darker one.
    EXPECT_EQ(r.limitingEdge, RoadEdge::Far);
    EXPECT_EQ(r.ratio, r.edges[1].ratio);
    EXPECT_NEAR(r.ratio, outsideW / insideW, 0.006);

    // A finer grid converges on the integral.
    r = computeEdgeStrips({W, 0.05, halfCellColumns(24, 48)}, row);
    EXPECT_EQ(r.pointsAcross, 70);
    EXPECT_NEAR(r.edges[0].insideAverage / inside0, 1, 2e-4);
    EXPECT_NEAR(r.edges[1].outsideAverage / outsideW, 1, 2e-4);
    EXPECT_NEAR(r.ratio, outsideW / insideW, 2e-4);
}

TEST(EdgeStrips, MirroredRowSwapsTheEdges) {
    CosineRow a, b;
    a.overhang = 1.0;
    b.overhang = 6.0;  // the mirror image of a across the road's centre line
    const EdgeStripResult ra = computeEdgeStrips({7.0, 7.0 / 6, halfCellColumns(24, 10)}, a);
    const EdgeStripResult rb = computeEdgeStrips({7.0, 7.0 / 6, halfCellColumns(24, 10)}, b);
    EXPECT_NEAR(ra.edges[0].ratio, rb.edges[1].ratio, 1e-12);
    EXPECT_NEAR(ra.edges[1].ratio, rb.edges[0].ratio, 1e-12);
    EXPECT_EQ(ra.limitingEdge, RoadEdge::Far);
    EXPECT_EQ(rb.limitingEdge, RoadEdge::Near);
}

TEST(EdgeStrips, WidthAndDegenerateRoads) {
    EXPECT_EQ(edgeStripWidth(12.0, INFINITY), 5.0);
    EXPECT_EQ(edgeStripWidth(7.0, INFINITY), 3.5);
    EXPECT_EQ(edgeStripWidth(7.0, 2.0), 2.0);
    EXPECT_EQ(edgeStripWidth(0.0, INFINITY), 0.0);
    EXPECT_EQ(edgeStripWidth(NAN, INFINITY), 0.0);

    // An unlit road, a road of no width, no columns: undefined ratios, no crash.
    const auto dark = [](double, double) { return 0.0; };
    EXPECT_TRUE(std::isnan(computeEdgeStrips({7.0, 1.0, {1.0, 2.0}}, dark).ratio));
    EXPECT_TRUE(std::isnan(computeEdgeStrips({0.0, 1.0, {1.0}}, CosineRow{}).ratio));
    EXPECT_TRUE(std::isnan(computeEdgeStrips({7.0, 1.0, {}}, CosineRow{}).ratio));
    // Light on the far side only: the near edge's 0/0 names it as the limiting edge.
    const auto farOnly = [](double, double y) { return y > 3.5 ? 10.0 : 0.0; };
    const EdgeStripResult r = computeEdgeStrips({7.0, 7.0 / 6, {1.0}}, farOnly);
    EXPECT_TRUE(std::isnan(r.ratio));
    EXPECT_EQ(r.limitingEdge, RoadEdge::Near);
}

}  // namespace
}  // namespace vl
