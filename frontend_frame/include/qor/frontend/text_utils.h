// Small shared text and number routines: host texts, Yes/No, temperatures, vector helpers and the
// length units of the views.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "qor/frontend/analyzer.h"

namespace qor::frontend {

// The degree sign as the front ends write it (UTF-8).
inline constexpr std::string_view kDegreeSign = "\u00B0";

// A copy of a zero-terminated text owned by the host; the empty text for a null pointer.
std::string HostText(const char* text);

// "Yes" for a non-zero flag, "No " (with a trailing blank) for zero. The EM front end shows the
// localized texts 991426 and 99938 instead.
std::string YesNoText(int flag, Analyzer analyzer);

// Temperature units of TemperatureText.
enum TemperatureUnit : int { kFahrenheit = 0, kCentigrade = 1 };

// A temperature given in degrees Celsius, in unit 1 (Centigrade) or 0 (Fahrenheit): the value
// with "0.00", then `sign` (callers pass the degree sign), then "C" or "F". Other units give "".
std::string TemperatureText(double celsius, int unit, std::string_view sign);

double Hypotenuse(double a, double b);

// The direction of the vector (dx, dy) in degrees, 0 up to 360.
double DirectionAngle(double dx, double dy);

// Length units of the views: index 0 inch, 1 millimetre.
struct LengthUnit {
    std::string_view symbol;  // shown after numbers
    std::string_view name;
    double factor;             // multiplies millimetres
    std::string_view pattern;  // number format of lengths
};
inline constexpr int kUnitInch = 0;
inline constexpr int kUnitMillimetre = 1;
inline constexpr int32_t kUnitsPerMillimetre = 100000;

// The unit of an index; any index other than 1 gives the inch.
const LengthUnit& LengthUnitOf(int unitIndex);

// A kernel length (10 nm units) in a unit, formatted with its pattern and followed by its symbol.
std::string LengthText(double kernelUnits, int unitIndex);

// A kernel angle (thousandths of a degree) with "##0.0#" and the degree sign.
std::string AngleText(double thousandths);

}  // namespace qor::frontend
