// Engineering notation: numbers with SI prefixes and units ("4.7k", "10MHz", "1.5nF").
#pragma once

#include <string>
#include <string_view>

namespace qor::kernel {

// Micro sign of the single-byte character set.
constexpr char kMicroSign = static_cast<char>(0xB5);

// Formats value with up to `digits` significant digits (trailing zeros dropped), the SI prefix that
// puts the mantissa in [1, 1000) but none below lowestPrefix (-1 milli ... -5 femto; others mean
// femto), then unit. Zero and non-finite values read "0" followed by the unit.
std::string formatEngineering(double value, std::string_view unit, int digits, int lowestPrefix);

// Reads a leading number, an optional prefix letter and ignores what follows (the unit).
// ok is false when the text holds no number.
double parseEngineering(std::string_view text, bool* ok = nullptr);

}  // namespace qor::kernel
