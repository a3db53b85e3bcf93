// Average, extremes and spread of a grid map, and the uniformities of the observer maps.
#pragma once

#include "core/roadlighting/grid_map.hpp"

namespace vl {

// Maximum from 0, minimum from 9999999 (strict comparisons), average over nX * nY
// values, rms around the average with nX * nY - 1 in the denominator. Visits i outer,
// j inner.
MapStatistics computeMapStatistics(const GridMap& map);

// 1-based grid row nearest to an observer at the lateral fraction f. With the points
// starting at the border (offsetY 0) this is nint(nY * f) + 1, else nint(nY * f + 0.5);
// the result is kept within 1..nY.
int lengthwiseRow(int nY, double fraction, double offsetY);

// Row minimum / row maximum along x of the 1-based row j.
double lengthwiseUniformity(const GridMap& map, int row);

// Nearest integer, halves away from zero.
double nearestInteger(double value);

}  // namespace vl
