#include "gui/model/NumericText.h"

#include <gtest/gtest.h>

#include <climits>

namespace sonivera {

TEST(NumericText, DoublesShowWithUpToFifteenSignificantDigits) {
    EXPECT_EQ(FormatDoubleField(1.6e308), "1.6e+308");
    EXPECT_EQ(FormatDoubleField(1.7e308), "1.7e+308");
    EXPECT_EQ(FormatDoubleField(0.001), "0.001");
    EXPECT_EQ(FormatDoubleField(10.0), "10");
    EXPECT_EQ(FormatDoubleField(0.0), "0");
    EXPECT_EQ(FormatDoubleField(1000.0), "1000");
    EXPECT_EQ(FormatDoubleField(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatDoubleField(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatDoubleField(123456789012345678.0), "1.23456789012346e+17");
    EXPECT_EQ(FormatDoubleField(1e-5), "1e-05");
    EXPECT_EQ(FormatIntField(-42), "-42");
}

TEST(NumericText, IntegerFieldsParseDecimalIntegersOnly) {
    EXPECT_EQ(CheckIntField(" 12 ", 0, 100).value, 12);
    EXPECT_EQ(CheckIntField("+5", 0, 100).value, 5);
    EXPECT_EQ(CheckIntField("-0", 0, 100).value, 0);
    for (const char* bad : {"", " ", "-", "1.5", "1e3", "0x10", "12a", "1 2", "٣"}) {
        const auto check = CheckIntField(bad, 0, 100);
        EXPECT_FALSE(check.value) << bad;
        EXPECT_EQ(check.message, "Please enter an integer.") << bad;
    }
}

TEST(NumericText, IntegerRangesAreInclusive) {
    EXPECT_EQ(CheckIntField("5", 5, 1000).value, 5);
    EXPECT_EQ(CheckIntField("1000", 5, 1000).value, 1000);
    for (const char* out : {"4", "1001", "-5", "99999999999999999999"}) {
        const auto check = CheckIntField(out, 5, 1000);
        EXPECT_FALSE(check.value) << out;
        EXPECT_EQ(check.message, "Please enter an integer between 5 and 1000.") << out;
    }
    EXPECT_EQ(CheckIntField("2147483647", INT_MIN, INT_MAX).value, INT_MAX);
    EXPECT_FALSE(CheckIntField("2147483648", INT_MIN, INT_MAX).value);
}

TEST(NumericText, NumberFieldsParseDecimalNumbersOnly) {
    EXPECT_EQ(CheckDoubleField("0.5", 0, 1).value, 0.5);
    EXPECT_EQ(CheckDoubleField(" .5 ", 0, 1).value, 0.5);
    EXPECT_EQ(CheckDoubleField("5.", 0, 10).value, 5.0);
    EXPECT_EQ(CheckDoubleField("1e-3", 0, 1).value, 0.001);
    EXPECT_EQ(CheckDoubleField("1.6e+308", 0, 1.7e308).value, 1.6e308);
    for (const char* bad : {"", ".", "e5", "1e", "0,5", "0x1p3", "inf", "nan", "1.2.3", "--1"}) {
        const auto check = CheckDoubleField(bad, 0, 1.7e308);
        EXPECT_FALSE(check.value) << bad;
        EXPECT_EQ(check.message, "Please enter a number.") << bad;
    }
}

TEST(NumericText, NumberRangesAreInclusiveAndShowTheirBounds) {
    EXPECT_EQ(CheckDoubleField("1", 0, 1).value, 1.0);
    EXPECT_EQ(CheckDoubleField("0", 0, 1).value, 0.0);
    EXPECT_EQ(CheckDoubleField("1.5", 0, 1).message, "Please enter a number between 0 and 1.");
    EXPECT_EQ(CheckDoubleField("-1e-300", 0, 1).message, "Please enter a number between 0 and 1.");
    // Beyond the double range: out of range, not accepted as infinity.
    EXPECT_EQ(CheckDoubleField("1e400", 0, 1.7e308).message,
              "Please enter a number between 0 and 1.7e+308.");
    EXPECT_EQ(CheckDoubleField("9", 10, 10000).message,
              "Please enter a number between 10 and 10000.");
    EXPECT_EQ(CheckDoubleField("2", 0.1 + 0.2, 1.0 / 3.0).message,
              "Please enter a number between 0.3 and 0.333333333333333.");
}

TEST(NumericText, TruncationTowardZeroSaturates) {
    EXPECT_EQ(TruncateToInt(120.75), 120);
    EXPECT_EQ(TruncateToInt(-2.5), -2);
    EXPECT_EQ(TruncateToInt(1e300), INT_MAX);
    EXPECT_EQ(TruncateToInt(-1e300), INT_MIN);
}

} // namespace sonivera
