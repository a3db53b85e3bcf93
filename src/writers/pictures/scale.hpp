// Round numbers for isoline levels, colour bar ticks and axes, and their labels.
#pragma once

#include <string>
#include <vector>

namespace vl::pictures {

// The smallest step of the form {1, 2, 2.5, 5} x 10^k that cuts span into at most count
// parts; 0 for a span that is not finite and positive or a count below 1.
double niceStep(double span, int count);

// Multiples of step within [lo, hi], the ends included when they lie within a millionth of
// a step of a multiple. Empty for a step that is not positive or a range that is not finite.
std::vector<double> multiplesWithin(double lo, double hi, double step);

// Isoline levels: multiples of niceStep(hi - lo, count) strictly between lo and hi (a level
// at the very extreme of a field would only touch it). Empty when hi <= lo or either is not
// finite: a constant field has no isoline.
std::vector<double> niceLevels(double lo, double hi, int count);

// [lo, hi] widened to multiples of the step that cuts it into about count parts.
struct Range {
    double lo = 0;
    double hi = 0;
};
Range niceRange(double lo, double hi, int count);

// A label of a multiple of step: the decimals the step needs, a typographic minus sign,
// no "-0"; exponent notation for very large or very small magnitudes.
std::string formatTick(double value, double step);

// A value for a note or a legend: three significant digits in fixed notation where that
// reads well, trailing zeros dropped, a typographic minus sign; "NaN", "+∞" and "−∞" for
// non-finite values.
std::string formatValue(double value);

}  // namespace vl::pictures
