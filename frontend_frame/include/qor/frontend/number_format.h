// Number texts of the front ends: format patterns, the blank-signed decimal conversion and the
// general number format of data files. Every number shown or written goes through here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qor::frontend {

// A format pattern of '#' and '0' digit places with an optional decimal point, such as "#0.0000#".
// Before the point, each '0' is a digit that is always written and each '#' one that is written
// only when the number needs it (the integer part is never cut). After the point, the '0' places
// are always written and the '#' places only when they are not trailing zeros. The value is rounded
// to the number of fraction places, halves away from zero, on its 15 significant decimal digits
// (so 2.675 with "0.00" gives 2.68). A negative value that rounds to zero is written without sign.
//
// Patterns used by the front ends: "#0.0000#", "###0.000", "##0.0#", "0.0#####", "0.0#", "0.00",
// "#0.00", "#0.000", "0.000", "#0.0", "0", "######", "##0.00".
std::string FormatNumber(double value, std::string_view pattern);

// Whether a pattern has the form above; FormatNumber writes the general number format for any
// other pattern.
bool IsNumberPattern(std::string_view pattern);

// The decimal conversion that puts a blank before non-negative numbers: " 0", " 2002", "-1".
std::string DecimalText(int64_t value);

// The general number format: at most 15 significant digits, trailing fraction zeros dropped, no
// leading blank, a point as decimal separator; plain notation for 0 and for magnitudes from 1E-04
// up to (not including) 1E+15, otherwise mantissa, "E", the exponent's sign and at least two
// exponent digits ("1.5E-09"). Non-finite values give "NaN", "Infinity" or "-Infinity".
std::string GeneralNumber(double value);

}  // namespace qor::frontend
