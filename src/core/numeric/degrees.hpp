// Trigonometry in degrees. sind and cosd reduce the argument to the remainder of
// x / 360 (sign of x) and are exact at remainders 0, 90, 180 and 270.
#pragma once

namespace vl {

inline constexpr double kDegree = 0.017453292519943295;  // radians per degree

double sind(double x);
double cosd(double x);
double tand(double x);
double atand(double x);
double acosd(double x);  // 0..180

}  // namespace vl
