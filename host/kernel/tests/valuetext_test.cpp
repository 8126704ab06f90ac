// Value text: engineering notation written and read back through E_FormatFloatValue / E_GetFloatValue.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "qor/kernel/kernel.h"

namespace {

std::string format(double v, const char* unit, int digits = -6, int8_t prefix = -1) {
    char buf[255];
    const int32_t n = E_FormatFloatValue(buf, v, unit, digits, prefix, 0);
    return std::string(buf, static_cast<size_t>(n));
}

// The prefix code callers choose by magnitude.
int8_t prefixFor(double v) {
    if (v <= 1e-13) return -5;
    if (v <= 1e-10) return -4;
    if (v <= 1e-7) return -3;
    if (v <= 1e-4) return -2;
    return -1;
}

TEST(ValueText, Formats) {
    struct Case {
        double value;
        const char* unit;
        int8_t prefix;
        const char* expected;
    } cases[] = {
        {5, "V", -1, "5V"},
        {1e7, "Hz", -1, "10MHz"},
        {0, "V/m", -1, "0V/m"},
        {1.5e-9, "s", -3, "1.5ns"},
        {4700, "Ohm", -1, "4.7kOhm"},
        {35e-6, "m", -2, "35\xB5m"},
        {999999.7, "Hz", -1, "1MHz"},
        {-2.5e-3, "A", -1, "-2.5mA"},
        {1234.56789, "", -1, "1.23457k"},
        {0.5, "V", -1, "500mV"},
        {2.2e-12, "F", -4, "2.2pF"},
        {3e-16, "F", -5, "0.3fF"},
        {7e13, "", -1, "70T"},
    };
    for (const auto& c : cases) EXPECT_EQ(format(c.value, c.unit, -6, c.prefix), c.expected) << c.value;
    EXPECT_EQ(format(1.0 / 3.0, "", -3), "333m");
    EXPECT_EQ(format(std::nan(""), "V"), "0V");
    EXPECT_EQ(E_FormatFloatValue(nullptr, 1, "V", -6, -1, 0), 0);
    char buf[255];
    const std::string longUnit(400, 'u');
    EXPECT_EQ(E_FormatFloatValue(buf, 1, longUnit.c_str(), -6, -1, 0), 254) << "the buffer holds 255 bytes";
}

TEST(ValueText, Reads) {
    struct Case {
        const char* text;
        double expected;
    } cases[] = {
        {"5", 5},          {"10M", 1e7},          {"1.5n", 1.5e-9},   {"1N", 1e-9},       {"20N", 2e-8},
        {"4.7kOhm", 4700}, {"2.2uF", 2.2e-6},     {"2.2U", 2.2e-6},   {"2.2\xB5" "F", 2.2e-6},
        {"2.2\xC2\xB5" "F", 2.2e-6},              {"3m", 3e-3},       {"3meg", 3e6},      {"3MEG", 3e6},
        {"1e3", 1000},     {"-1.5p", -1.5e-12},   {"  7 V", 7},       {"+3", 3},          {"1F", 1},
        {"1f", 1e-15},     {"10MHz", 1e7},        {"0.5 V/m", 0.5},   {"2G", 2e9},        {"1t", 1e12},
        {"", 0},           {"abc", 0},            {"-", 0},           {".5k", 500},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(E_GetFloatValue(c.text), c.expected) << c.text;
    EXPECT_EQ(E_GetFloatValue(nullptr), 0);
}

TEST(ValueText, WrittenValuesReadBackToSixSignificantDigits) {
    std::mt19937 rng(12345);
    std::uniform_real_distribution<double> exponent(-15, 13), mantissa(1, 10);
    const char* units[] = {"", "V", "Hz", "s", "F", "H", "Ohm", "V/m"};
    for (int i = 0; i < 4000; ++i) {
        const double v = (i % 2 ? -1 : 1) * mantissa(rng) * std::pow(10.0, std::floor(exponent(rng)));
        const char* unit = units[i % std::size(units)];
        const std::string text = format(v, unit, -6, prefixFor(std::fabs(v)));
        const double back = E_GetFloatValue(text.c_str());
        EXPECT_NEAR(back, v, std::fabs(v) * 5e-6) << text;
    }
}

}  // namespace
