// The colour scale of the maps: viridis, a perceptually uniform map whose lightness rises
// steadily from dark blue-violet to yellow, so that it reads in grey and for the common
// forms of colour blindness.
#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace vl::pictures {

// sRGB components in 0..1.
struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

inline constexpr std::size_t kViridisEntries = 256;

// The published table, from its darkest entry to its lightest.
std::span<const std::array<double, 3>, kViridisEntries> viridisTable();

// The colour at t (0 darkest, 1 lightest; clamped), interpolated linearly between entries.
// A non-finite t has no colour on the scale: it gives kNoValue.
Rgb viridis(double t);

// Light neutral grey for points without a value (drawn hatched on the maps).
inline constexpr Rgb kNoValue{0.86, 0.86, 0.86};

// CIE L* (0..100) of an sRGB colour, D65 white.
double lightness(const Rgb& colour);

}  // namespace vl::pictures
