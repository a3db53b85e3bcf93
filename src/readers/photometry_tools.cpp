#include "readers/photometry_tools.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "core/numeric/degrees.hpp"

namespace vl {

namespace {

constexpr double kAngleTolerance = 1e-9;

// Solid angle (sr) of the zone between the cones a and b over an azimuth width dc.
double zone(double dc, double a, double b) { return (cosd(a) - cosd(b)) * dc * kDegree; }

}  // namespace

double uniformStep(const std::vector<double>& angles) {
    if (angles.size() < 2) return 0.0;
    const double step = (angles.back() - angles.front()) / static_cast<double>(angles.size() - 1);
    for (std::size_t k = 1; k < angles.size(); ++k) {
        if (std::fabs(angles[k] - angles[k - 1] - step) > kAngleTolerance) return 0.0;
    }
    return step;
}

TableFlux integrateFlux(const PhotometryTable& t) {
    TableFlux flux;
    const int planes = t.cCount - 1;  // the closing plane repeats the first
    const int ng = t.gammaCount;
    if (planes < 1 || ng < 1) return flux;
    const auto c = [&](int i) { return t.cAngles[static_cast<std::size_t>(i)]; };
    const auto g = [&](int j) { return t.gammaAngles[static_cast<std::size_t>(j)]; };
    for (int i = 0; i < planes; ++i) {
        const double before = i == 0 ? c(planes - 1) - 360.0 : c(i - 1);
        const double dc = (c(i + 1) - before) / 2.0;
        for (int j = 0; j < ng; ++j) {
            const double lo = j == 0 ? g(0) : (g(j - 1) + g(j)) / 2.0;
            const double hi = j == ng - 1 ? g(ng - 1) : (g(j) + g(j + 1)) / 2.0;
            const double value = t.I(i, j);
            if (lo < 90.0) flux.downward += zone(dc, lo, std::min(hi, 90.0)) * value;
            if (hi > 90.0) flux.upward += zone(dc, std::max(lo, 90.0), hi) * value;
        }
    }
    return flux;
}

std::vector<TurnedPlane> turnedPlanes(const std::vector<double>& angles, double degrees) {
    std::vector<TurnedPlane> planes;
    const double turn = std::fmod(degrees, 360.0);
    for (std::size_t k = 0; k < angles.size(); ++k) {
        double c = angles[k] + turn;
        if (c < 0.0) c += 360.0;
        if (c >= 360.0) c -= 360.0;
        if (c < kAngleTolerance || 360.0 - c < kAngleTolerance) c = 0.0;
        planes.push_back({c, static_cast<int>(k), -1, 0.0});
    }
    std::stable_sort(planes.begin(), planes.end(),
                     [](const TurnedPlane& a, const TurnedPlane& b) { return a.c < b.c; });
    // A plane within the tolerance of a full turn lands on 0 beside the plane at 0.
    planes.erase(std::unique(planes.begin(), planes.end(),
                             [](const TurnedPlane& a, const TurnedPlane& b) { return a.c == b.c; }),
                 planes.end());
    if (!planes.empty() && planes.front().c != 0.0) {
        // Between the last plane (one turn back) and the first.
        const TurnedPlane& last = planes.back();
        const TurnedPlane& first = planes.front();
        const double below = last.c - 360.0;
        const double weight = (0.0 - below) / (first.c - below);
        planes.insert(planes.begin(), TurnedPlane{0.0, last.from, first.from, weight});
    }
    return planes;
}

bool turnAzimuth(PhotometryTable& t, double degrees) {
    const int planes = t.cCount - 1;
    if (planes < 1) return false;
    const std::vector<double> below(t.cAngles.begin(), t.cAngles.begin() + planes);
    const std::vector<TurnedPlane> turned = turnedPlanes(below, degrees);
    const int nc = static_cast<int>(turned.size()) + 1;
    const int ng = t.gammaCount;
    PhotometryTable out = t;
    out.cCount = nc;
    out.cAngles.assign(static_cast<std::size_t>(nc), 360.0);
    out.intensity.assign(static_cast<std::size_t>(nc) * static_cast<std::size_t>(ng), 0.0);
    for (int i = 0; i < nc - 1; ++i) {
        const TurnedPlane& p = turned[static_cast<std::size_t>(i)];
        out.cAngles[static_cast<std::size_t>(i)] = p.c;
        for (int j = 0; j < ng; ++j) {
            double v = t.I(p.from, j);
            if (p.other >= 0) v = (1.0 - p.weight) * v + p.weight * t.I(p.other, j);
            out.I(i, j) = v;
        }
    }
    for (int j = 0; j < ng; ++j) out.I(nc - 1, j) = out.I(0, j);
    out.cStep = uniformStep(out.cAngles);
    const bool interpolated = turned.front().other >= 0;
    t = std::move(out);
    return interpolated;
}

}  // namespace vl
