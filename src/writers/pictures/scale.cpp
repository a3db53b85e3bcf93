#include "writers/pictures/scale.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace vl::pictures {

namespace {

constexpr const char* kMinus = "\u2212";

std::string withMinus(std::string text) {
    if (!text.empty() && text[0] == '-') text.replace(0, 1, kMinus);
    return text;
}

std::string printed(const char* format, int precision, double value) {
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), format, precision, value);
    return buffer.data();
}

}  // namespace

double niceStep(double span, int count) {
    if (!std::isfinite(span) || !(span > 0) || count < 1) return 0;
    const double raw = span / count;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        // A relative margin keeps a step that is already round (0.3 / 3) from moving up.
        if (factor * magnitude >= raw * (1 - 1e-9)) return factor * magnitude;
    }
    return 10 * magnitude;
}

std::vector<double> multiplesWithin(double lo, double hi, double step) {
    std::vector<double> values;
    if (!(step > 0) || !std::isfinite(lo) || !std::isfinite(hi) || hi < lo) return values;
    const double first = std::ceil(lo / step - 1e-6);
    const double last = std::floor(hi / step + 1e-6);
    if (!(last - first < 10000)) return values;
    for (double k = first; k <= last; k += 1) values.push_back(k == 0 ? 0.0 : k * step);
    return values;
}

std::vector<double> niceLevels(double lo, double hi, int count) {
    std::vector<double> levels;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo)) return levels;
    const double step = niceStep(hi - lo, count);
    for (double v : multiplesWithin(lo, hi, step)) {
        if (v > lo && v < hi) levels.push_back(v);
    }
    return levels;
}

Range niceRange(double lo, double hi, int count) {
    const double step = niceStep(hi - lo, count);
    if (!(step > 0)) return {lo, hi};
    return {std::floor(lo / step + 1e-9) * step, std::ceil(hi / step - 1e-9) * step};
}

std::string formatTick(double value, double step) {
    if (!std::isfinite(value)) return formatValue(value);
    if (std::fabs(value) < 1e-9 * std::fabs(step)) return "0";
    const double magnitude = std::max(std::fabs(value), std::fabs(step));
    if (magnitude >= 1e7 || std::fabs(step) < 1e-5) return withMinus(printed("%.*g", 3, value));
    int decimals = 0;
    while (decimals < 6) {
        const double scaled = std::fabs(step) * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * scaled) break;
        ++decimals;
    }
    return withMinus(printed("%.*f", decimals, value));
}

std::string formatValue(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "+\u221e" : "\u2212\u221e";
    if (value == 0) return "0";
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e6 || magnitude < 1e-3) return withMinus(printed("%.*g", 3, value));
    const int digits = static_cast<int>(std::floor(std::log10(magnitude)));
    const int decimals = std::max(0, 2 - digits);
    std::string text = printed("%.*f", decimals, value);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    return withMinus(text);
}

}  // namespace vl::pictures
