#include "writers/format.hpp"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vl::fmt {

namespace {

std::string rightAligned(std::string_view text, int width) {
    if (width <= 0) return {};
    const auto w = static_cast<std::size_t>(width);
    if (text.size() > w) return std::string(w, '*');
    std::string field(w, ' ');
    text.copy(field.data() + (w - text.size()), text.size());
    return field;
}

__extension__ typedef unsigned __int128 Wide;

// The fixed-point text of a finite value with 0..9 decimals as %.*f writes it, when the value
// rounded to that many decimals times 10^decimals is below 2^64: that integer is exact (the
// binary value scaled in 128-bit integers, rounded half to even) and written by to_chars.
// Returns the end of the text, or nullptr for values beyond that range.
char* exactFixed(char* out, double value, int decimals) {
    constexpr std::uint64_t kPowers[] = {1,      10,      100,      1000,      10000,
                                         100000, 1000000, 10000000, 100000000, 1000000000};
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    // value = m 2^e
    const std::uint64_t m = biased == 0 ? fraction : (fraction | (std::uint64_t{1} << 52));
    const int e = biased == 0 ? -1074 : biased - 1075;
    const Wide scaled = static_cast<Wide>(m) * kPowers[decimals];  // below 2^83
    Wide n = 0;
    if (e >= 0) {
        if (e > 40) return nullptr;
        n = scaled << e;
    } else if (-e < 128) {
        const int k = -e;
        n = scaled >> k;
        const Wide rest = scaled - (n << k);
        const Wide half = Wide{1} << (k - 1);
        if (rest > half || (rest == half && (n & 1) != 0)) ++n;
    }
    if (n > std::numeric_limits<std::uint64_t>::max()) return nullptr;
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, static_cast<std::uint64_t>(n)).ptr;
    // At least one digit before the point.
    auto length = static_cast<int>(end - digits);
    if ((bits >> 63) != 0) *out++ = '-';
    const int whole = length - decimals;
    if (whole <= 0) {
        *out++ = '0';
        if (decimals > 0) *out++ = '.';
        for (int z = whole; z < 0; ++z) *out++ = '0';
        for (int k = 0; k < length; ++k) *out++ = digits[k];
        return out;
    }
    for (int k = 0; k < whole; ++k) *out++ = digits[k];
    if (decimals > 0) {
        *out++ = '.';
        for (int k = whole; k < length; ++k) *out++ = digits[k];
    }
    return out;
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
    // Fixed notation rounds the exact binary value, ties to even, and keeps the sign of -0,
    // as printf's %.*f does; a text of 512 characters or more is too wide for any field.
    char buffer[512];
    char* end = decimals >= 0 && decimals <= 9 ? exactFixed(buffer, value, decimals) : nullptr;
    if (end == nullptr) {
        const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer - 1, value,
                                                     std::chars_format::fixed, decimals < 0 ? 6 : decimals);
        if (r.ec != std::errc{}) return std::string(static_cast<std::size_t>(width), '*');
        end = r.ptr;
    }
    if (decimals == 0) *end++ = '.';
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    if (text.size() > static_cast<std::size_t>(width)) {
        // The optional leading zero goes first: "0.50" -> ".50", "-0.50" -> "-.50".
        if (text.starts_with("0.")) {
            text.remove_prefix(1);
        } else if (text.starts_with("-0.")) {
            buffer[1] = '-';
            text.remove_prefix(1);
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
