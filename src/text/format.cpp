#include "text/format.hpp"

#include <algorithm>
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
// binary value m 2^e scaled by 10^decimals in integers and rounded half to even). The text
// is written backwards ending at `end`; returns its start, or nullptr beyond that range.
char* exactFixed(char* end, double value, int decimals) {
    constexpr std::uint64_t kPowers[] = {1,      10,      100,      1000,      10000,
                                         100000, 1000000, 10000000, 100000000, 1000000000};
    const auto bits = std::bit_cast<std::uint64_t>(value);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t m = biased == 0 ? fraction : (fraction | (std::uint64_t{1} << 52));
    const int e = biased == 0 ? -1074 : biased - 1075;
    std::uint64_t n = 0;
    if (decimals <= 3 && e <= 0) {
        // m 10^decimals < 2^63: 64 bits suffice.
        const std::uint64_t scaled = m * kPowers[decimals];
        const int k = -e;
        if (k == 0) {
            n = scaled;
        } else if (k < 64) {
            n = scaled >> k;
            const std::uint64_t rest = scaled & ((std::uint64_t{1} << k) - 1);
            const std::uint64_t half = std::uint64_t{1} << (k - 1);
            if (rest > half || (rest == half && (n & 1) != 0)) ++n;
        }
    } else {
        const Wide scaled = static_cast<Wide>(m) * kPowers[decimals];  // below 2^83
        Wide wide = 0;
        if (e >= 0) {
            if (e > 40) return nullptr;
            wide = scaled << e;
        } else if (-e < 128) {
            const int k = -e;
            wide = scaled >> k;
            const Wide rest = scaled - (wide << k);
            const Wide half = Wide{1} << (k - 1);
            if (rest > half || (rest == half && (wide & 1) != 0)) ++wide;
        }
        if (wide > std::numeric_limits<std::uint64_t>::max()) return nullptr;
        n = static_cast<std::uint64_t>(wide);
    }
    // The decimals, the point, and at least one digit before it.
    char* p = end;
    for (int k = 0; k < decimals; ++k) {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    if (decimals > 0) *--p = '.';
    do {
        *--p = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    if ((bits >> 63) != 0) *--p = '-';
    return p;
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

void appendF(std::string& line, double value, int width, int decimals) {
    if (width <= 0) return;
    const auto w = static_cast<std::size_t>(width);
    if (!std::isfinite(value)) {
        line += nonFinite(value, width);
        return;
    }
    // Fixed notation rounds the exact binary value, ties to even, and keeps the sign of -0,
    // as printf's %.*f does; a text of 512 characters or more is too wide for any field.
    char buffer[512];
    char* begin = nullptr;
    char* end = buffer + 40;
    if (decimals >= 0 && decimals <= 9) begin = exactFixed(end, value, decimals);
    if (begin == nullptr) {
        const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer - 1, value,
                                                     std::chars_format::fixed, decimals < 0 ? 6 : decimals);
        if (r.ec != std::errc{}) {
            line.append(w, '*');
            return;
        }
        begin = buffer;
        end = r.ptr;
    }
    if (decimals == 0) *end++ = '.';
    auto size = static_cast<std::size_t>(end - begin);
    if (size > w) {
        // The optional leading zero goes first: "0.50" -> ".50", "-0.50" -> "-.50".
        if (size >= 2 && begin[0] == '0' && begin[1] == '.') {
            ++begin;
            --size;
        } else if (size >= 3 && begin[0] == '-' && begin[1] == '0' && begin[2] == '.') {
            begin[1] = '-';
            ++begin;
            --size;
        }
    }
    if (size > w) {
        line.append(w, '*');
        return;
    }
    const std::size_t at = line.size();
    line.resize(at + w, ' ');
    std::copy(begin, end, line.data() + at + (w - size));
}

std::string F(double value, int width, int decimals) {
    std::string field;
    appendF(field, value, width, decimals);
    return field;
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
