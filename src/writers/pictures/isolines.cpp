#include "writers/pictures/isolines.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace vl::pictures {

namespace {

void checkAxis(const std::vector<double>& axis, const char* name) {
    for (std::size_t k = 0; k < axis.size(); ++k) {
        if (!std::isfinite(axis[k]) || (k > 0 && !(axis[k] > axis[k - 1]))) {
            throw std::invalid_argument(std::string("isolines: the ") + name +
                                        " coordinates are not finite and strictly increasing");
        }
    }
}

// Cell edges, named from the cell's lower-left node (i, j).
enum Side : int { Bottom = 0, Right = 1, Top = 2, Left = 3 };

// Segments of each corner case (bit 0: (i, j), 1: (i+1, j), 2: (i+1, j+1), 3: (i, j+1)
// at or above the level), as pairs of sides; -1 ends the list. The saddle cases 5 and 10
// are listed for a centre below the level; a centre at or above takes the other pairing.
constexpr std::array<std::array<int, 4>, 16> kCases = {{
    {-1, -1, -1, -1},
    {Left, Bottom, -1, -1},
    {Bottom, Right, -1, -1},
    {Left, Right, -1, -1},
    {Right, Top, -1, -1},
    {Left, Bottom, Right, Top},  // saddle: high corners (i, j) and (i+1, j+1) cut off
    {Bottom, Top, -1, -1},
    {Left, Top, -1, -1},
    {Top, Left, -1, -1},
    {Bottom, Top, -1, -1},
    {Bottom, Right, Top, Left},  // saddle: high corners (i+1, j) and (i, j+1) cut off
    {Right, Top, -1, -1},
    {Left, Right, -1, -1},
    {Bottom, Right, -1, -1},
    {Left, Bottom, -1, -1},
    {-1, -1, -1, -1},
}};
constexpr std::array<int, 4> kSaddle5High = {Bottom, Right, Top, Left};   // low corners cut off
constexpr std::array<int, 4> kSaddle10High = {Left, Bottom, Right, Top};  // low corners cut off

class Tracer {
public:
    explicit Tracer(const ScalarGrid& grid) : g_(grid), nx_(grid.nx()), ny_(grid.ny()) {
        const std::size_t edges = 2 * nx_ * ny_;
        first_.assign(edges, -1);
        second_.assign(edges, -1);
    }

    std::vector<IsolineCurve> trace(double level, const LabelPlacement& placement) {
        level_ = level;
        collectSegments();
        std::vector<IsolineCurve> curves;
        std::vector<char> visited(segments_.size(), 0);
        // Open curves start at an edge that only one segment touches.
        for (int edge : touched_) {
            if (second_[static_cast<std::size_t>(edge)] != -1) continue;
            const int seg = first_[static_cast<std::size_t>(edge)];
            if (visited[static_cast<std::size_t>(seg)]) continue;
            addCurve(curves, walk(edge, seg, visited), false, placement);
        }
        // Every segment left belongs to a loop.
        for (std::size_t s = 0; s < segments_.size(); ++s) {
            if (visited[s]) continue;
            const int seg = static_cast<int>(s);
            addCurve(curves, walk(segments_[s][0], seg, visited), true, placement);
        }
        for (int edge : touched_) {
            first_[static_cast<std::size_t>(edge)] = -1;
            second_[static_cast<std::size_t>(edge)] = -1;
        }
        touched_.clear();
        segments_.clear();
        return curves;
    }

private:
    int horizontalEdge(std::size_t i, std::size_t j) const { return static_cast<int>(2 * (i * ny_ + j)); }
    int verticalEdge(std::size_t i, std::size_t j) const { return static_cast<int>(2 * (i * ny_ + j) + 1); }

    int edgeOf(std::size_t i, std::size_t j, int side) const {
        switch (side) {
            case Bottom: return horizontalEdge(i, j);
            case Right: return verticalEdge(i + 1, j);
            case Top: return horizontalEdge(i, j + 1);
            default: return verticalEdge(i, j);
        }
    }

    // The crossing of an edge, always interpolated from its lower node to its upper one.
    Point crossing(int edge) const {
        const auto base = static_cast<std::size_t>(edge / 2);
        const std::size_t i = base / ny_;
        const std::size_t j = base % ny_;
        const double va = g_.values[base];
        if (edge % 2 == 0) {
            const double vb = g_.value(i + 1, j);
            const double t = (level_ - va) / (vb - va);
            return {g_.x[i] + t * (g_.x[i + 1] - g_.x[i]), g_.y[j]};
        }
        const double vb = g_.value(i, j + 1);
        const double t = (level_ - va) / (vb - va);
        return {g_.x[i], g_.y[j] + t * (g_.y[j + 1] - g_.y[j])};
    }

    void link(int edge, int seg) {
        const auto e = static_cast<std::size_t>(edge);
        if (first_[e] == -1) {
            first_[e] = seg;
            touched_.push_back(edge);
        } else if (second_[e] == -1) {
            second_[e] = seg;
        }
    }

    void collectSegments() {
        for (std::size_t i = 0; i + 1 < nx_; ++i) {
            for (std::size_t j = 0; j + 1 < ny_; ++j) {
                const double v00 = g_.value(i, j);
                const double v10 = g_.value(i + 1, j);
                const double v11 = g_.value(i + 1, j + 1);
                const double v01 = g_.value(i, j + 1);
                if (!std::isfinite(v00) || !std::isfinite(v10) || !std::isfinite(v11) || !std::isfinite(v01)) continue;
                const int index = (v00 >= level_ ? 1 : 0) | (v10 >= level_ ? 2 : 0) | (v11 >= level_ ? 4 : 0) |
                                  (v01 >= level_ ? 8 : 0);
                const std::array<int, 4>* sides = &kCases[static_cast<std::size_t>(index)];
                if (index == 5 || index == 10) {
                    const double centre = 0.25 * (v00 + v10 + v11 + v01);
                    if (centre >= level_) sides = index == 5 ? &kSaddle5High : &kSaddle10High;
                }
                for (std::size_t k = 0; k < 4 && (*sides)[k] != -1; k += 2) {
                    const int a = edgeOf(i, j, (*sides)[k]);
                    const int b = edgeOf(i, j, (*sides)[k + 1]);
                    const int seg = static_cast<int>(segments_.size());
                    segments_.push_back({a, b});
                    link(a, seg);
                    link(b, seg);
                }
            }
        }
    }

    std::vector<Point> walk(int startEdge, int seg, std::vector<char>& visited) const {
        std::vector<Point> points{crossing(startEdge)};
        int edge = startEdge;
        while (seg != -1 && !visited[static_cast<std::size_t>(seg)]) {
            visited[static_cast<std::size_t>(seg)] = 1;
            const auto& s = segments_[static_cast<std::size_t>(seg)];
            edge = s[0] == edge ? s[1] : s[0];
            points.push_back(crossing(edge));
            const auto e = static_cast<std::size_t>(edge);
            seg = first_[e] == seg ? second_[e] : first_[e];
        }
        return points;
    }

    static void addCurve(std::vector<IsolineCurve>& curves, std::vector<Point> points, bool closed,
                         const LabelPlacement& placement) {
        // A level met exactly at a node makes zero-length steps; a curve that shrinks to a
        // point (a peak exactly at the level) is no isoline.
        auto same = [](const Point& a, const Point& b) { return a.x == b.x && a.y == b.y; };
        points.erase(std::unique(points.begin(), points.end(), same), points.end());
        if (closed ? points.size() < 4 : points.size() < 2) return;
        IsolineCurve curve;
        curve.closed = closed;
        curve.points = std::move(points);
        curve.labels = labelAnchors(curve.points, placement);
        curves.push_back(std::move(curve));
    }

    const ScalarGrid& g_;
    std::size_t nx_;
    std::size_t ny_;
    double level_ = 0;
    std::vector<std::array<int, 2>> segments_;
    std::vector<int> first_;
    std::vector<int> second_;
    std::vector<int> touched_;
};

Point pointAt(const std::vector<Point>& points, const std::vector<double>& cumulative, double s) {
    const auto it = std::upper_bound(cumulative.begin(), cumulative.end(), s);
    std::size_t k = it == cumulative.begin() ? 1 : static_cast<std::size_t>(it - cumulative.begin());
    k = std::min(k, points.size() - 1);
    const double length = cumulative[k] - cumulative[k - 1];
    const double t = length > 0 ? std::clamp((s - cumulative[k - 1]) / length, 0.0, 1.0) : 0.0;
    return {points[k - 1].x + t * (points[k].x - points[k - 1].x), points[k - 1].y + t * (points[k].y - points[k - 1].y)};
}

}  // namespace

double polylineLength(const std::vector<Point>& points) {
    double length = 0;
    for (std::size_t k = 1; k < points.size(); ++k) {
        length += std::hypot(points[k].x - points[k - 1].x, points[k].y - points[k - 1].y);
    }
    return length;
}

std::vector<LabelAnchor> labelAnchors(const std::vector<Point>& points, const LabelPlacement& placement) {
    std::vector<LabelAnchor> anchors;
    if (points.size() < 2 || !(placement.spacing > 0)) return anchors;
    std::vector<double> cumulative(points.size(), 0.0);
    for (std::size_t k = 1; k < points.size(); ++k) {
        cumulative[k] = cumulative[k - 1] + std::hypot(points[k].x - points[k - 1].x, points[k].y - points[k - 1].y);
    }
    const double length = cumulative.back();
    if (!(length > 0) || length < placement.minLength) return anchors;
    const auto count = static_cast<std::size_t>(std::max(1.0, std::floor(length / placement.spacing)));
    // The direction is taken over a short stretch of the curve, not one segment.
    const double half = std::max(0.25 * placement.minLength, 0.02 * length);
    for (std::size_t k = 0; k < count; ++k) {
        const double s = (static_cast<double>(k) + 0.5) * length / static_cast<double>(count);
        const Point at = pointAt(points, cumulative, s);
        const Point a = pointAt(points, cumulative, std::max(0.0, s - half));
        const Point b = pointAt(points, cumulative, std::min(length, s + half));
        double angle = std::atan2(b.y - a.y, b.x - a.x);
        if (angle > std::numbers::pi / 2) angle -= std::numbers::pi;
        if (angle <= -std::numbers::pi / 2) angle += std::numbers::pi;
        anchors.push_back({at, angle});
    }
    return anchors;
}

std::vector<IsolineCurve> traceIsolines(const ScalarGrid& grid, std::span<const double> levels,
                                        const LabelPlacement& placement) {
    if (grid.values.size() != grid.nx() * grid.ny()) {
        throw std::invalid_argument("isolines: the number of values does not fit the grid");
    }
    checkAxis(grid.x, "x");
    checkAxis(grid.y, "y");
    std::vector<IsolineCurve> all;
    if (grid.nx() < 2 || grid.ny() < 2) return all;
    Tracer tracer(grid);
    for (double level : levels) {
        if (!std::isfinite(level)) continue;
        for (IsolineCurve& curve : tracer.trace(level, placement)) {
            curve.level = level;
            all.push_back(std::move(curve));
        }
    }
    return all;
}

}  // namespace vl::pictures
