// The one formatter of the numbers a user sees.
//
// Formatted lines are concatenations of Fortran-style fields: F(v, w, d), I(v, w),
// A(text, w) and literals. A value that does not fit its field is w asterisks.
// List lines (ListLine) are a leading blank and items: texts as they stand, numbers
// in a free layout separated from their neighbours by one blank.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vl::fmt {

// Fw.d: right-aligned fixed point, correctly rounded (ties to even on the exact binary
// value), leading zero kept when it fits; NaN / Infinity written as text.
std::string F(double value, int width, int decimals);
// Appends F(value, width, decimals) to line.
void appendF(std::string& line, double value, int width, int decimals);

// Iw: right-aligned integer.
std::string I(std::int64_t value, int width);

// Iw of a real truncated toward zero; non-finite or beyond 32 bits gives asterisks.
std::string Itrunc(double value, int width);

// Iw of a real rounded to the nearest integer, halves away from zero.
std::string Inint(double value, int width);

// Aw: shorter text right-aligned, longer text cut to its first w characters.
std::string A(std::string_view text, int width);

// A label padded with blanks (or cut) on the right to exactly width characters.
std::string padded(std::string_view text, std::size_t width);

// A text of n copies of one character (separators, dots).
std::string repeat(char c, std::size_t n);

// Rounds a 64-bit value to single precision and back.
double single(double value);

// Truncation toward zero as an integer value (for the "ratio%" and "increase" fields);
// kept as a real so that a non-finite result reaches the field and shows as asterisks.
double truncated(double value);

// The free numeric layout of list lines: the shortest text that reads back to the
// same double, with a decimal point for reals.
std::string freeReal(double value);
std::string freeInteger(std::int64_t value);

// A number of a written photometry file: fixed point rounded to `decimals` decimals,
// trailing zeros dropped down to one decimal, no blanks ("15.0", "2.5", "1501.86");
// beyond 1e15 in magnitude (or not finite) the free layout.
std::string compact(double value, int decimals);

class ListLine {
public:
    ListLine() = default;
    ListLine& text(std::string_view item);
    ListLine& real(double item);
    ListLine& integer(std::int64_t item);
    // The complete line, leading blank included.
    std::string str() const;

private:
    struct Item {
        bool isNumber;
        std::string text;
    };
    std::vector<Item> items_;
};

// A list line holding one text item.
std::string listText(std::string_view text);

}  // namespace vl::fmt
