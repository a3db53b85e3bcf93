// Isolines of a field given at the nodes of a rectilinear grid, by marching squares.
//
// Each cell is classified by which of its four corners lie at or above the level; an edge
// whose two ends fall on different sides is crossed at the linearly interpolated point.
// The two ambiguous (saddle) cells are resolved by the cell-centre value, the mean of the
// four corners: at or above the level the two high corners are joined through the centre
// (the low corners are cut off), below it the two low corners are joined (the high corners
// are cut off). The crossing of an edge is computed from its two nodes in one fixed order,
// so the two cells that share the edge meet at the same point and the segments link by
// edge, never by comparing coordinates.
//
// A cell with a non-finite corner holds no segment: curves end open at its border.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

namespace vl::pictures {

struct Point {
    double x = 0;
    double y = 0;
};

// Node values of a rectilinear grid: value(i, j) at (x[i], y[j]), stored x-major
// (values[i * y.size() + j]). Coordinates must be finite and strictly increasing.
struct ScalarGrid {
    std::vector<double> x;
    std::vector<double> y;
    std::vector<double> values;

    std::size_t nx() const { return x.size(); }
    std::size_t ny() const { return y.size(); }
    double value(std::size_t i, std::size_t j) const { return values[i * y.size() + j]; }
};

// Where a label of a curve goes: a point on the curve and the direction of the curve
// there (radians from +x towards +y, within -pi/2 .. pi/2 so that text reads upright).
struct LabelAnchor {
    Point at;
    double angle = 0;
};

struct IsolineCurve {
    double level = 0;
    bool closed = false;
    // A closed curve repeats its first point at the end.
    std::vector<Point> points;
    std::vector<LabelAnchor> labels;
};

struct LabelPlacement {
    double spacing = 0;    // arc length between labels of one curve (grid units); 0: no labels
    double minLength = 0;  // curves shorter than this get no label
};

// The isolines of every level, in the order of the levels. Throws std::invalid_argument
// when the values do not fit the coordinates or a coordinate axis is not finite and
// strictly increasing. A grid with fewer than two nodes along an axis has no isoline.
std::vector<IsolineCurve> traceIsolines(const ScalarGrid& grid, std::span<const double> levels,
                                        const LabelPlacement& placement = {});

// Arc length of a polyline.
double polylineLength(const std::vector<Point>& points);

// Anchors at equal arc-length steps of about placement.spacing, at least one on every curve
// at least placement.minLength long, the first half a step from the start.
std::vector<LabelAnchor> labelAnchors(const std::vector<Point>& points, const LabelPlacement& placement);

}  // namespace vl::pictures
