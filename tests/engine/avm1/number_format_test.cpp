#include <gtest/gtest.h>

#include <cmath>

#include "avm1/NumberFormat.h"

namespace swf::avm1 {
namespace {

TEST(NumberFormat, PrintsAsTheRuntime) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-1, "-1"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},  // 15 significant digits hide the binary error
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {123456789012345, "123456789012345"},
        {1e15, "1e+15"},
        {1234567890123456, "1.23456789012346e+15"},
        {1e21, "1e+21"},
        {1.5e300, "1.5e+300"},
        {0.0001, "0.0001"},
        {0.00001, "0.00001"},
        {0.000001, "1e-6"},
        {1.5e-7, "1.5e-7"},
        {-2.5e-10, "-2.5e-10"},
        {100, "100"},
        {4294967295.0, "4294967295"},
        {3.14159, "3.14159"},
        {999999999999999.9, "1e+15"},  // rounding carries into the exponent
        // Rounding up would print a number past the largest double: the digits are cut.
        {1.7976931348623157e308, "1.79769313486231e+308"},
        {-1.7976931348623157e308, "-1.79769313486231e+308"},
        {1.7976931348623e308, "1.7976931348623e+308"},
        {1.797693134862296e308, "1.7976931348623e+308"},  // rounds up within range as usual
        {NAN, "NaN"},
        {INFINITY, "Infinity"},
        {-INFINITY, "-Infinity"},
    };
    for (const Case& c : cases) EXPECT_EQ(formatNumber(c.value), c.text) << c.text;
}

TEST(NumberFormat, RadixPrintsIntegers) {
    EXPECT_EQ(formatNumberRadix(255, 16), "ff");
    EXPECT_EQ(formatNumberRadix(-255, 2), "-11111111");
    EXPECT_EQ(formatNumberRadix(35, 36), "z");
    EXPECT_EQ(formatNumberRadix(2.5, 10), "2.5");
}

TEST(NumberFormat, RadixOfNaNWritesTheLowestIntegersNegativeDigits) {
    // '0' + d for the negative remainders of -2^31, which negating leaves negative.
    EXPECT_EQ(formatNumberRadix(NAN, 2), "-/" + std::string(31, '0'));
    EXPECT_EQ(formatNumberRadix(NAN, 8), "-.0000000000");
    EXPECT_EQ(formatNumberRadix(NAN, 4), "-.000000000000000");
    EXPECT_EQ(formatNumberRadix(NAN, 10), "NaN");
}

TEST(NumberParse, FollowsTheFileVersion) {
    // Version 4 reads a number at the start and 0 for anything else.
    EXPECT_EQ(parseNumber("11ABC", 4), 11);
    EXPECT_EQ(parseNumber("abc", 4), 0);
    EXPECT_EQ(parseNumber("", 4), 0);
    // From 5 the whole text must be a number.
    EXPECT_TRUE(std::isnan(parseNumber("11ABC", 5)));
    EXPECT_TRUE(std::isnan(parseNumber("", 5)));
    EXPECT_EQ(parseNumber("  5", 6), 5);
    EXPECT_TRUE(std::isnan(parseNumber("5  ", 6)));
    EXPECT_EQ(parseNumber("1e3", 6), 1000);
    EXPECT_EQ(parseNumber("-.5", 6), -0.5);
    // Hexadecimal from 6.
    EXPECT_EQ(parseNumber("0x1F", 6), 31);
    EXPECT_TRUE(std::isnan(parseNumber("0x1F", 5)));
    EXPECT_TRUE(std::isnan(parseNumber("0x1G", 6)));
    EXPECT_EQ(parseNumber("0x-10", 6), -16);  // a sign may follow the prefix
    EXPECT_TRUE(std::isnan(parseNumber("0x-", 6)));
    // Octal from 6 when every digit after the leading zero is octal.
    EXPECT_EQ(parseNumber("010", 6), 8);
    EXPECT_EQ(parseNumber("-010", 6), -8);
    EXPECT_EQ(parseNumber("019", 6), 19);
    EXPECT_EQ(parseNumber("010", 5), 10);
    // Blanks before the zero make it decimal; octal and hexadecimal wrap to 32 bits, the
    // sign applying after the wrap.
    EXPECT_EQ(parseNumber(" 010", 6), 10);
    EXPECT_EQ(parseNumber(" -010", 6), -10);
    EXPECT_EQ(parseNumber("037777777777", 6), -1);
    EXPECT_EQ(parseNumber("-037777777777", 6), 1);
    EXPECT_EQ(parseNumber("0x1999999981ffffff", 6), -2113929217);
    EXPECT_EQ(parseNumber("0x-FFFFFFFF", 6), 1);
}

TEST(NumberParse, GlobalParsersReadPrefixes) {
    EXPECT_EQ(parseIntPrefix("42px", 10, false), 42);
    EXPECT_EQ(parseIntPrefix("0x10", 0, false), 16);
    EXPECT_EQ(parseIntPrefix("010", 0, false), 8);
    EXPECT_EQ(parseIntPrefix("ff", 16, true), 255);
    EXPECT_TRUE(std::isnan(parseIntPrefix("z", 10, false)));
    // The runtime's parseInt: a hex prefix only at the very start (blanks and a sign may
    // follow it), a sign before "0x" is skipped with the zero, octal only without blanks.
    EXPECT_EQ(parseIntPrefix("0x -100", 0, false), -256);
    EXPECT_EQ(parseIntPrefix(" 0x-100", 0, false), 0);
    EXPECT_TRUE(std::isnan(parseIntPrefix("-0x100", 0, false)));
    EXPECT_EQ(parseIntPrefix("-0x100", 36, true), 1540944);
    EXPECT_EQ(parseIntPrefix("0x100", 36, true), 1296);
    EXPECT_EQ(parseIntPrefix("-0100", 0, false), -64);
    EXPECT_EQ(parseIntPrefix("  077", 0, false), 77);
    EXPECT_EQ(parseIntPrefix("077 ", 0, false), 77);
    EXPECT_EQ(parseIntPrefix("010", 2, true), 2);
    EXPECT_TRUE(std::isnan(parseIntPrefix("0x", 16, true)));
    EXPECT_TRUE(std::isnan(parseIntPrefix("100", 37, true)));
    EXPECT_EQ(parseFloatPrefix("3.5e2xyz"), 350);
    EXPECT_TRUE(std::isnan(parseFloatPrefix("-Infinity")));  // no name of a number here
    EXPECT_TRUE(std::isnan(parseFloatPrefix("x1")));
}

TEST(NumberParse, ParseFloatSkipsLaterPointsAndWrapsTheExponent) {
    EXPECT_DOUBLE_EQ(parseFloatPrefix("1.2345.678"), 1.2345678);
    EXPECT_DOUBLE_EQ(parseFloatPrefix("1.2345.6e50"), 1.23456);  // no exponent after a second point
    EXPECT_EQ(parseFloatPrefix("10e-"), 10);              // an exponent needs a digit
    EXPECT_EQ(parseFloatPrefix("1e4294967297"), 10);      // 2^32 + 1 wraps to 1
    EXPECT_EQ(parseFloatPrefix(" \t\r\n-2.5e-1x"), -0.25);
    EXPECT_TRUE(std::isnan(parseFloatPrefix("-.")));
    EXPECT_EQ(parseFloatPrefix(".1499999"), 0.14999990000000005);  // the runtime's own rounding
}

TEST(NumberParse, Int32WrapsModulo) {
    EXPECT_EQ(toInt32(4294967295.0), -1);
    EXPECT_EQ(toInt32(2147483648.0), -2147483647 - 1);
    EXPECT_EQ(toInt32(-1.9), -1);
    EXPECT_EQ(toInt32(NAN), 0);
    EXPECT_EQ(toInt32(INFINITY), 0);
    EXPECT_EQ(toUint32(-1), 4294967295u);
}

}  // namespace
}  // namespace swf::avm1
