// Small photometry tables built from a function of (C, gamma).
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "core/photometry/photometry_table.hpp"

namespace vl::test {

inline std::vector<double> steps(double from, double to, double step) {
    std::vector<double> v;
    for (double x = from; x <= to + 1e-9; x += step) v.push_back(x);
    return v;
}

// C axis with its closing 360 plane; the steps are taken from the first two angles unless
// given (0: cell widths from the angles).
inline PhotometryTable photometryTable(const std::vector<double>& c, const std::vector<double>& g,
                                       const std::function<double(double, double)>& intensity,
                                       double cStep = -1.0, double gammaStep = -1.0) {
    PhotometryTable p;
    p.cAngles = c;
    p.gammaAngles = g;
    p.cCount = static_cast<int>(c.size());
    p.gammaCount = static_cast<int>(g.size());
    p.cStep = cStep < 0.0 ? c[1] - c[0] : cStep;
    p.gammaStep = gammaStep < 0.0 ? g[1] - g[0] : gammaStep;
    p.intensity.assign(c.size() * g.size(), 0.0);
    for (int j = 0; j < p.gammaCount; ++j) {
        for (int i = 0; i < p.cCount; ++i) {
            p.I(i, j) = intensity(c[static_cast<std::size_t>(i)], g[static_cast<std::size_t>(j)]);
        }
    }
    return p;
}

}  // namespace vl::test
