#include "core/roadlighting/edge_strips.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace vl {

namespace {

constexpr int kMaximumPointsAcross = 1000;

// Average over columns x rows of points; y runs from `from` across `width` (either sign).
double stripAverage(const std::vector<double>& columns, double from, double width, int rows,
                    const IlluminanceAtPoints& illuminance) {
    std::vector<RoadPoint> points;
    points.reserve(columns.size() * static_cast<std::size_t>(rows));
    for (double x : columns) {
        for (int k = 0; k < rows; ++k) {
            points.push_back({x, from + width * ((static_cast<double>(k) + 0.5) / static_cast<double>(rows))});
        }
    }
    std::vector<double> values(points.size());
    illuminance(points, values);
    double sum = 0.0;
    for (const double value : values) sum = sum + value;
    return sum / (static_cast<double>(columns.size()) * static_cast<double>(rows));
}

}  // namespace

double edgeStripWidth(double roadWidth, double unobstructedWidth) {
    if (!(roadWidth > 0.0) || !(unobstructedWidth > 0.0)) return 0.0;
    return std::min({kEdgeStripMaximumWidth, roadWidth / 2.0, unobstructedWidth});
}

EdgeStripResult computeEdgeStrips(const EdgeStripLayout& layout, const IlluminanceAt& illuminance) {
    return computeEdgeStripsBatched(layout, [&illuminance](std::span<const RoadPoint> points, std::span<double> values) {
        for (std::size_t k = 0; k < points.size(); ++k) values[k] = illuminance(points[k].x, points[k].y);
    });
}

EdgeStripResult computeEdgeStripsBatched(const EdgeStripLayout& layout, const IlluminanceAtPoints& illuminance) {
    EdgeStripResult result;
    const double w = edgeStripWidth(layout.roadWidth, layout.unobstructedWidth);
    result.stripWidth = w;
    result.pointsAlong = static_cast<int>(layout.columns.size());
    int rows = kEdgeStripMinimumPointsAcross;
    if (layout.cellY > 0.0 && std::isfinite(w / layout.cellY)) {
        // A hair below a whole number of cells counts as that number.
        const double cells = std::ceil(w / layout.cellY - 1e-9);
        rows = static_cast<int>(std::clamp(cells, static_cast<double>(kEdgeStripMinimumPointsAcross),
                                           static_cast<double>(kMaximumPointsAcross)));
    }
    result.pointsAcross = rows;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    if (!(w > 0.0) || layout.columns.empty()) {
        // No strip to average over: every figure is undefined.
        for (EdgeStrip& e : result.edges) e = {nan, nan, nan};
        result.ratio = nan;
        return result;
    }
    const double W = layout.roadWidth;
    EdgeStrip& nearEdge = result.edges[0];
    nearEdge.insideAverage = stripAverage(layout.columns, 0.0, w, rows, illuminance);
    nearEdge.outsideAverage = stripAverage(layout.columns, 0.0, -w, rows, illuminance);
    EdgeStrip& farEdge = result.edges[1];
    farEdge.insideAverage = stripAverage(layout.columns, W, -w, rows, illuminance);
    farEdge.outsideAverage = stripAverage(layout.columns, W, w, rows, illuminance);
    for (EdgeStrip& e : result.edges) e.ratio = e.outsideAverage / e.insideAverage;

    const double rNear = nearEdge.ratio;
    const double rFar = farEdge.ratio;
    if (!std::isfinite(rNear)) {
        result.ratio = nan;
        result.limitingEdge = RoadEdge::Near;
    } else if (!std::isfinite(rFar)) {
        result.ratio = nan;
        result.limitingEdge = RoadEdge::Far;
    } else if (rFar < rNear) {
        result.ratio = rFar;
        result.limitingEdge = RoadEdge::Far;
    } else {
        result.ratio = rNear;
        result.limitingEdge = RoadEdge::Near;
    }
    return result;
}

}  // namespace vl
