#include "qor/frontend/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace qor::frontend {
namespace {

struct FormatCase {
    double value;
    const char* pattern;
    const char* expected;
};

TEST(FormatNumber, PatternsOfTheFrontEnds) {
    const FormatCase cases[] = {
        // Lengths in inches: four fixed places and a fifth when needed.
        {1.0, "#0.0000#", "1.0000"},
        {0.123456, "#0.0000#", "0.12346"},
        {0.1234549, "#0.0000#", "0.12345"},
        {12.3, "#0.0000#", "12.3000"},
        {0.000005, "#0.0000#", "0.00001"},
        // Lengths in millimetres: the integer part is never cut.
        {0, "###0.000", "0.000"},
        {12345.6789, "###0.000", "12345.679"},
        {-3.14159, "###0.000", "-3.142"},
        // Angles.
        {90, "##0.0#", "90.0"},
        {45.125, "##0.0#", "45.13"},
        {359.999, "##0.0#", "360.0"},
        {-12.5, "##0.0#", "-12.5"},
        {0.004, "##0.0#", "0.0"},
        // Powers and field values: at least one decimal, at most six.
        {0.1, "0.0#####", "0.1"},
        {1.23456789, "0.0#####", "1.234568"},
        {5, "0.0#####", "5.0"},
        {0.0000005, "0.0#####", "0.000001"},
        {1e-7, "0.0#####", "0.0"},
        // Resistances, temperatures and the other fixed patterns.
        {1.5, "0.0#", "1.5"},
        {3, "0.0#", "3.0"},
        {25, "0.00", "25.00"},
        {0.5, "#0.00", "0.50"},
        {406.4, "#0.000", "406.400"},
        {0.04, "0.000", "0.040"},
        {20, "#0.0", "20.0"},
        {0.05, "#0.0", "0.1"},
        {99.4, "0", "99"},
        {0.4, "0", "0"},
        {1234.5, "######", "1235"},
        {1234567.4, "######", "1234567"},
        {0, "######", ""},
        {0.7, "##0.00", "0.70"},
        {1e20, "0.00", "100000000000000000000.00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.value, c.pattern), c.expected) << c.value << " " << c.pattern;
}

TEST(FormatNumber, HalvesRoundAwayFromZeroOnTheDecimalDigits) {
    const FormatCase cases[] = {
        {0.5, "0", "1"},
        {1.5, "0", "2"},
        {2.5, "0", "3"},
        {-2.5, "0", "-3"},
        {0.125, "0.00", "0.13"},
        {2.675, "0.00", "2.68"},
        {1.005, "0.00", "1.01"},
        {12.345, "#0.00", "12.35"},
        {1.0005, "###0.000", "1.001"},
        {0.0449999, "0.00", "0.04"},
        {9.995, "0.00", "10.00"},
        {-0.005, "0.00", "-0.01"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatNumber(c.value, c.pattern), c.expected) << c.value << " " << c.pattern;
}

TEST(FormatNumber, NegativeValuesThatRoundToZeroHaveNoSign) {
    EXPECT_EQ(FormatNumber(-0.004, "0.00"), "0.00");
    EXPECT_EQ(FormatNumber(-0.4, "0"), "0");
    EXPECT_EQ(FormatNumber(-0.0, "#0.0"), "0.0");
}

TEST(FormatNumber, OtherPatternsAndNonFiniteValues) {
    for (const char* bad : {"", ".", "0.#0", "0.0.0", "x0.0", "0,00"}) {
        EXPECT_FALSE(IsNumberPattern(bad)) << bad;
        EXPECT_EQ(FormatNumber(2.5, bad), "2.5") << bad;
    }
    EXPECT_TRUE(IsNumberPattern("#0.0000#"));
    EXPECT_TRUE(IsNumberPattern("######"));
    EXPECT_EQ(FormatNumber(std::nan(""), "0.00"), "NaN");
    EXPECT_EQ(FormatNumber(-std::numeric_limits<double>::infinity(), "0.00"), "-Infinity");
}

TEST(DecimalText, BlankBeforeNonNegativeNumbers) {
    EXPECT_EQ(DecimalText(0), " 0");
    EXPECT_EQ(DecimalText(2002), " 2002");
    EXPECT_EQ(DecimalText(-1), "-1");
    EXPECT_EQ(DecimalText(std::numeric_limits<int64_t>::min()), "-9223372036854775808");
}

TEST(GeneralNumber, PlainBetweenTenToTheMinusFourAndTenToTheFifteen) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {0, "0"},
        {-0.0, "0"},
        {0.5, "0.5"},
        {-2.5, "-2.5"},
        {3.3, "3.3"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {1e-4, "0.0001"},
        {9.99e-5, "9.99E-05"},
        {1.5e-9, "1.5E-09"},
        {-1.5e-9, "-1.5E-09"},
        {999999999999999, "999999999999999"},
        {1e15, "1E+15"},
        {999999999999999.9, "1E+15"},
        {123456789012345678.0, "1.23456789012346E+17"},
        {2e100, "2E+100"},
        {1e-300, "1E-300"},
        {12345.678, "12345.678"},
    };
    for (const auto& c : cases) EXPECT_EQ(GeneralNumber(c.value), c.expected) << c.value;
}

}  // namespace
}  // namespace qor::frontend
