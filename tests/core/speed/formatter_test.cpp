// The F fields (exact integer scaling and std::to_chars) against their printf form, on
// millions of values: ties at every rounding position, the sign of zero, values rounding
// to zero from below, fields too narrow (asterisks), texts beyond any buffer, NaN and
// infinities, on both sides of the limits of the integer path.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "text/format.hpp"

namespace vl {
namespace {

// F as printed through snprintf before (the literal form).
std::string literalF(double value, int width, int decimals) {
    if (width <= 0) return {};
    auto rightAligned = [&](const std::string& text) {
        const auto w = static_cast<std::size_t>(width);
        if (text.size() > w) return std::string(w, '*');
        return std::string(w - text.size(), ' ') + text;
    };
    if (std::isnan(value)) return rightAligned("NaN");
    if (std::isinf(value)) {
        if (value > 0) return rightAligned(width < 8 ? "Inf" : "Infinity");
        return rightAligned(width < 9 ? "-Inf" : "-Infinity");
    }
    char buffer[512];
    const int n = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    if (n < 0 || n >= static_cast<int>(sizeof buffer)) return std::string(static_cast<std::size_t>(width), '*');
    std::string text(buffer, static_cast<std::size_t>(n));
    if (decimals == 0) text += '.';
    if (text.size() > static_cast<std::size_t>(width)) {
        if (text.rfind("0.", 0) == 0) {
            text.erase(0, 1);
        } else if (text.rfind("-0.", 0) == 0) {
            text.erase(1, 1);
        }
    }
    return rightAligned(text);
}

// Counts the values checked; stops at the first difference.
struct Checker {
    long checked = 0;
    bool same(double v, int w, int d) {
        ++checked;
        const std::string got = fmt::F(v, w, d);
        const std::string want = literalF(v, w, d);
        EXPECT_EQ(got, want) << "F" << w << "." << d << " of " << std::hexfloat << v;
        return got == want;
    }
};

TEST(Formatter, FixedFieldsAsPrintfOnMillionsOfValues) {
    Checker c;
    std::mt19937_64 gen(20260101U);
    // Every magnitude from 1e-12 to 1e14, both signs, the field widths and decimals in use.
    std::uniform_real_distribution<double> exponent(-12.0, 14.0);
    const int widths[] = {7, 8, 10, 12, 15};
    for (int k = 0; k < 1500000; ++k) {
        const double v = (k % 2 == 0 ? 1.0 : -1.0) * std::pow(10.0, exponent(gen));
        if (!c.same(v, widths[k % 5], k % 11)) return;
    }
    // Raw bit patterns: every exponent, subnormals included.
    for (int k = 0; k < 500000; ++k) {
        const double v = std::bit_cast<double>(gen());
        if (!c.same(v, 12, k % 10)) return;
    }
    // Exact binary fractions j / 2^s: their decimal expansions end in 5, so rounding at
    // fewer decimals than s meets exact ties (both directions of ties to even).
    for (int s = 1; s <= 12; ++s) {
        for (int j = -4000; j <= 4000; ++j) {
            const double v = std::ldexp(static_cast<double>(j), -s);
            for (int d = 0; d < s && d <= 10; ++d) {
                if (!c.same(v, 10, d)) return;
            }
        }
    }
    // Zeros, values that round to zero from either side, and the leading zero that goes
    // first in a narrow field.
    for (const double v : {0.0, -0.0, 1e-300, -1e-300, 0.004, -0.004, 0.005, -0.005, 0.5, -0.5, 0.25, -0.25,
                           std::numeric_limits<double>::denorm_min(), -std::numeric_limits<double>::denorm_min()}) {
        for (int w = 1; w <= 8; ++w) {
            for (int d = 0; d <= 4; ++d) {
                if (!c.same(v, w, d)) return;
            }
        }
    }
    // Too wide for the field, for any buffer, NaN and the infinities, odd decimals.
    for (const double v : {1e300, -1e300, std::numeric_limits<double>::max(), -std::numeric_limits<double>::max(),
                           123456789.0, std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
        for (const int w : {0, 1, 3, 4, 8, 9, 12, 400, 600}) {
            for (const int d : {-1, 0, 2, 17, 200, 201, 480, 520}) {
                if (!c.same(v, w, d)) return;
            }
        }
    }
    EXPECT_GT(c.checked, 2000000);
}

}  // namespace
}  // namespace vl
