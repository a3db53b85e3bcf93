#include "text/format.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace vl::fmt {
namespace {

TEST(FormatF, RightAlignedAndCorrectlyRounded) {
    EXPECT_EQ(F(6.5, 7, 3), "  6.500");
    EXPECT_EQ(F(7.0, 7, 1), "    7.0");
    EXPECT_EQ(F(0.5, 7, 2), "   0.50");        // leading zero kept when it fits
    EXPECT_EQ(F(6.125, 7, 2), "   6.12");       // exact tie goes to even
    EXPECT_EQ(F(216.25, 15, 1), "          216.2");
    EXPECT_EQ(F(0.125, 5, 2), " 0.12");
    EXPECT_EQ(F(2.675, 7, 2), "   2.67");       // 2.675 is below the tie in binary
    EXPECT_EQ(F(-1.5, 7, 2), "  -1.50");
    EXPECT_EQ(F(-0.001, 7, 2), "  -0.00");      // a negative value rounding to zero keeps its sign
    EXPECT_EQ(F(1.0e-300, 7, 2), "   0.00");
}

TEST(FormatF, DropsOnlyTheOptionalZeroThenOverflows) {
    EXPECT_EQ(F(0.5, 3, 2), ".50");
    EXPECT_EQ(F(-0.5, 4, 2), "-.50");
    EXPECT_EQ(F(10000.0, 7, 2), "*******");
    EXPECT_EQ(F(9999.99, 7, 2), "9999.99");
    EXPECT_EQ(F(9999.995, 7, 2), "*******");     // rounds up past the field
    EXPECT_EQ(F(-999.99, 7, 2), "-999.99");
    EXPECT_EQ(F(-1000.0, 7, 2), "*******");
    EXPECT_EQ(F(100000.0, 8, 2), "********");
    EXPECT_EQ(F(1.0e300, 10, 2), "**********");
    EXPECT_EQ(F(3.0, 5, 0), "   3.");
}

TEST(FormatF, NonFiniteValuesAreWrittenNotHidden) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(F(std::nan(""), 7, 2), "    NaN");
    EXPECT_EQ(F(inf, 7, 2), "    Inf");
    EXPECT_EQ(F(inf, 10, 2), "  Infinity");
    EXPECT_EQ(F(-inf, 7, 2), "   -Inf");
    EXPECT_EQ(F(-inf, 9, 2), "-Infinity");
    EXPECT_EQ(F(-inf, 8, 2), "    -Inf");
    EXPECT_EQ(F(std::nan(""), 2, 1), "**");
    EXPECT_EQ(F(-inf, 3, 1), "***");
}

TEST(FormatI, IntegersTruncationAndRounding) {
    EXPECT_EQ(I(5, 3), "  5");
    EXPECT_EQ(I(-12, 3), "-12");
    EXPECT_EQ(I(1234, 3), "***");
    EXPECT_EQ(Itrunc(12000.9, 6), " 12000");
    EXPECT_EQ(Itrunc(-99.99, 4), " -99");
    EXPECT_EQ(Itrunc(99.999, 3), " 99");
    EXPECT_EQ(Inint(2.5, 4), "   3");
    EXPECT_EQ(Inint(-2.5, 4), "  -3");
    EXPECT_EQ(Inint(294.49, 4), " 294");
    EXPECT_EQ(Itrunc(std::nan(""), 5), "*****");
    EXPECT_EQ(Itrunc(std::numeric_limits<double>::infinity(), 7), "*******");
    EXPECT_EQ(Itrunc(3.0e9, 15), "***************");  // beyond 32 bits
    EXPECT_EQ(Inint(std::nan(""), 4), "****");
}

TEST(FormatA, ShortTextRightAlignedLongTextCut) {
    EXPECT_EQ(A("C2", 3), " C2");
    EXPECT_EQ(A("eulumdat.ldt", 5), "eulum");
    EXPECT_EQ(A("", 2), "  ");
    EXPECT_EQ(padded("label", 8), "label   ");
    EXPECT_EQ(padded("toolonglabel", 4), "tool");
}

TEST(FormatSingle, RoundsToFloat) {
    EXPECT_EQ(single(0.1), static_cast<double>(0.1f));
    EXPECT_EQ(single(0.77), 0.7699999809265137);
}

TEST(ListLine, TextsGlueNumbersAreSetOff) {
    EXPECT_EQ(ListLine().text("Date  ").text("20060309").str(), " Date  20060309");
    EXPECT_EQ(ListLine().text("ityp").integer(1).str(), " ityp 1");
    EXPECT_EQ(ListLine().text("Luminaire inclination").real(10.0).str(), " Luminaire inclination 10.0");
    EXPECT_EQ(ListLine().real(0.1).real(2.5).str(), " 0.1 2.5");
    EXPECT_EQ(ListLine().text("").str(), " ");
    EXPECT_EQ(ListLine().text(" ").str(), "  ");
    EXPECT_EQ(ListLine().text("    ").str(), "     ");
    EXPECT_EQ(listText("Grid data:"), " Grid data:");
}

TEST(ListLine, FreeLayoutIsLosslessAndMarksNonFinite) {
    EXPECT_EQ(freeReal(0.1 + 0.2), "0.30000000000000004");
    EXPECT_EQ(freeReal(1.0e30), "1e+30");
    EXPECT_EQ(freeReal(-3.0), "-3.0");
    EXPECT_EQ(freeReal(std::nan("")), "NaN");
    EXPECT_EQ(freeReal(std::numeric_limits<double>::infinity()), "Infinity");
    EXPECT_EQ(freeReal(-std::numeric_limits<double>::infinity()), "-Infinity");
}

}  // namespace
}  // namespace vl::fmt
