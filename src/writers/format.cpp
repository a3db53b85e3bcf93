#include "writers/format.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vl::fmt {

namespace {

std::string rightAligned(std::string_view text, int width) {
    if (width <= 0) return {};
    const auto w = static_cast<std::size_t>(width);
    if (text.size() > w) return std::string(w, '*');
    return std::string(w - text.size(), ' ') + std::string(text);
}

std::string nonFinite(double value, int width) {
    std::string_view text;
    if (std::isnan(value)) {
        text = "NaN";
    } else if (value > 0) {
        text = width < 8 ? "Inf" : "Infinity";
    } else {
        text = width < 9 ? "-Inf" : "-Infinity";
    }
    return rightAligned(text, width);
}

}  // namespace

std::string F(double value, int width, int decimals) {
    if (width <= 0) return {};
    if (!std::isfinite(value)) return nonFinite(value, width);
    char buffer[512];
    // %.*f rounds the exact binary value, ties to even, and keeps the sign of -0.
    int n = std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    if (n < 0 || n >= static_cast<int>(sizeof buffer)) return std::string(static_cast<std::size_t>(width), '*');
    std::string text(buffer, static_cast<std::size_t>(n));
    if (decimals == 0) text += '.';
    if (text.size() > static_cast<std::size_t>(width)) {
        // The optional leading zero goes first: "0.50" -> ".50", "-0.50" -> "-.50".
        if (text.rfind("0.", 0) == 0) {
            text.erase(0, 1);
        } else if (text.rfind("-0.", 0) == 0) {
            text.erase(1, 1);
        }
    }
    return rightAligned(text, width);
}

std::string I(std::int64_t value, int width) { return rightAligned(std::to_string(value), width); }

std::string Itrunc(double value, int width) {
    if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(width > 0 ? width : 0), '*');
    const double t = std::trunc(value);
    if (t < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        t > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::string(static_cast<std::size_t>(width > 0 ? width : 0), '*');
    }
    return I(static_cast<std::int64_t>(t), width);
}

std::string Inint(double value, int width) {
    if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(width > 0 ? width : 0), '*');
    return Itrunc(std::round(value), width);
}

std::string A(std::string_view text, int width) {
    if (width <= 0) return {};
    const auto w = static_cast<std::size_t>(width);
    if (text.size() >= w) return std::string(text.substr(0, w));
    return std::string(w - text.size(), ' ') + std::string(text);
}

std::string padded(std::string_view text, std::size_t width) {
    if (text.size() >= width) return std::string(text.substr(0, width));
    return std::string(text) + std::string(width - text.size(), ' ');
}

std::string repeat(char c, std::size_t n) { return std::string(n, c); }

double single(double value) { return static_cast<double>(static_cast<float>(value)); }

double truncated(double value) { return std::isfinite(value) ? std::trunc(value) : value; }

std::string freeReal(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    std::string text(buffer, result.ptr);
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

std::string freeInteger(std::int64_t value) { return std::to_string(value); }

std::string compact(double value, int decimals) {
    if (!std::isfinite(value) || std::fabs(value) >= 1e15) return freeReal(value);
    std::string text = F(value, 40, std::max(decimals, 1));
    text.erase(0, text.find_first_not_of(' '));
    while (text.size() > 2 && text.back() == '0' && text[text.size() - 2] != '.') text.pop_back();
    if (text == "-0.0") text = "0.0";
    return text;
}

ListLine& ListLine::text(std::string_view item) {
    items_.push_back({false, std::string(item)});
    return *this;
}

ListLine& ListLine::real(double item) {
    items_.push_back({true, freeReal(item)});
    return *this;
}

ListLine& ListLine::integer(std::int64_t item) {
    items_.push_back({true, freeInteger(item)});
    return *this;
}

std::string ListLine::str() const {
    std::string line = " ";
    for (std::size_t k = 0; k < items_.size(); ++k) {
        // Two texts follow each other directly; a number is set off by one blank.
        if (k > 0 && (items_[k].isNumber || items_[k - 1].isNumber)) line += ' ';
        line += items_[k].text;
    }
    return line;
}

std::string listText(std::string_view text) { return ListLine().text(text).str(); }

}  // namespace vl::fmt
