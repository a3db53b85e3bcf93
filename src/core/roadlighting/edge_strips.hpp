// Edge illuminance ratio: the average horizontal illuminance on a strip just outside each
// edge of the road over that on a strip of the same width just inside it.
#pragma once

#include <array>
#include <functional>
#include <limits>
#include <span>
#include <vector>

namespace vl {

// A point of the road frame (m): x along the road, y across it.
struct RoadPoint {
    double x = 0;
    double y = 0;
};

// Maintained horizontal illuminance (lx) at (x, y) of the road frame (m).
using IlluminanceAt = std::function<double(double x, double y)>;
// The same at many points at once: values[k] at points[k].
using IlluminanceAtPoints = std::function<void(std::span<const RoadPoint> points, std::span<double> values)>;

struct EdgeStripLayout {
    double roadWidth = 0;  // W: the road is 0 <= y <= W
    double cellY = 0;      // spacing of the road grid across the road, m
    // x of the road grid's columns over one spacing: the strips use the same positions,
    // so they have the road grid's density along the road.
    std::vector<double> columns;
    // Width of the strip beside each edge that nothing obstructs (m); none by default.
    double unobstructedWidth = std::numeric_limits<double>::infinity();
};

inline constexpr double kEdgeStripMaximumWidth = 5.0;  // m
inline constexpr int kEdgeStripMinimumPointsAcross = 3;

enum class RoadEdge { Near, Far };  // y = 0 and y = W

struct EdgeStrip {
    double insideAverage = 0;   // lx, strip just inside the edge
    double outsideAverage = 0;  // lx, strip just outside it
    double ratio = 0;           // outside / inside
};

struct EdgeStripResult {
    double stripWidth = 0;    // m, the same for all four strips
    int pointsAcross = 0;     // rows of points across each strip
    int pointsAlong = 0;      // columns along the road
    std::array<EdgeStrip, 2> edges{};  // [Near] y = 0, [Far] y = W
    double ratio = 0;         // R_EI: the lower of the two edge ratios (NaN when either is not finite)
    RoadEdge limitingEdge = RoadEdge::Near;
};

// Strip width: the least of 5 m, half the road width and the unobstructed width.
double edgeStripWidth(double roadWidth, double unobstructedWidth);

// Averages over points at the given columns and at the centres of equal cells across
// each strip, as many cells as the road grid's cellY fits in the strip width (rounded
// up), at least three.
EdgeStripResult computeEdgeStrips(const EdgeStripLayout& layout, const IlluminanceAt& illuminance);
// The same, each strip's points asked for at once.
EdgeStripResult computeEdgeStripsBatched(const EdgeStripLayout& layout, const IlluminanceAtPoints& illuminance);

}  // namespace vl
