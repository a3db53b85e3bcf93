#include "core/roadlighting/map_statistics.hpp"

#include <cmath>

namespace vl {

MapStatistics computeMapStatistics(const GridMap& map) {
    const int nX = map.nX();
    const int nY = map.nY();
    MapStatistics s;
    double maximum = 0.0;
    double minimum = 9999999.0;
    double sum = 0.0;
    for (int i = 0; i < nX; ++i) {
        for (int j = 0; j < nY; ++j) {
            const double v = map(i, j);
            sum = sum + v;
            if (v > maximum) maximum = v;
            if (v < minimum) minimum = v;
        }
    }
    const double count = static_cast<double>(nX * nY);
    const double average = sum / count;
    double squares = 0.0;
    for (int i = 0; i < nX; ++i) {
        for (int j = 0; j < nY; ++j) {
            const double dv = map(i, j) - average;
            squares = squares + dv * dv;
        }
    }
    // A single point leaves 0 / 0: the spread is undefined and shows as NaN.
    s.rms = std::sqrt(squares / static_cast<double>(nX * nY - 1));
    s.average = average;
    s.minimum = minimum;
    s.maximum = maximum;
    return s;
}

double nearestInteger(double value) { return std::round(value); }

int lengthwiseRow(int nY, double fraction, double offsetY) {
    const double n = static_cast<double>(nY);
    double row = offsetY == 0.0 ? nearestInteger(n * fraction) + 1.0 : nearestInteger(n * fraction + 0.5);
    // A fraction outside 0..1 (or not a number) still names a row of the grid.
    if (!(row >= 1.0)) row = 1.0;
    if (row > n) row = n;
    return static_cast<int>(row);
}

double lengthwiseUniformity(const GridMap& map, int row) {
    const int nX = map.nX();
    double rowMinimum = 9999999.0;
    double rowMaximum = 0.0;
    const int j = row - 1;
    for (int i = 0; i < nX; ++i) {
        const double v = map(i, j);
        if (v < rowMinimum) rowMinimum = v;
        if (v > rowMaximum) rowMaximum = v;
    }
    return rowMinimum / rowMaximum;
}

}  // namespace vl
