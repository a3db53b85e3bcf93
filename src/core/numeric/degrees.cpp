#include "core/numeric/degrees.hpp"

#include <cmath>

namespace vl {

double sind(double x) {
    const double r = std::fmod(x, 360.0);
    if (r == 0.0) return 0.0;
    if (r == 90.0) return 1.0;
    if (r == 180.0) return 0.0;
    if (r == 270.0) return -1.0;
    return std::sin(r * kDegree);
}

double cosd(double x) {
    const double r = std::fmod(x, 360.0);
    if (r == 0.0) return 1.0;
    if (r == 90.0) return 0.0;
    if (r == 180.0) return -1.0;
    if (r == 270.0) return 0.0;
    return std::cos(r * kDegree);
}

double tand(double x) { return std::tan(x * kDegree); }

double atand(double x) { return std::atan(x) / kDegree; }

double acosd(double x) { return std::acos(x) / kDegree; }

}  // namespace vl
