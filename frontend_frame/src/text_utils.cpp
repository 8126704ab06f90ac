#include "qor/frontend/text_utils.h"

#include <cmath>

#include "qor/frontend/list_parser.h"
#include "qor/frontend/localization.h"
#include "qor/frontend/number_format.h"

namespace qor::frontend {

namespace {

constexpr LengthUnit kInch{"\"", "inch", 1 / 25.4, "#0.0000#"};
constexpr LengthUnit kMillimetre{"mm", "mm", 1.0, "###0.000"};

}  // namespace

std::string HostText(const char* text) {
    return text ? std::string(text) : std::string();
}

std::string YesNoText(int flag, Analyzer analyzer) {
    if (analyzer == Analyzer::Em) return flag ? LocalText("Yes", 991426) : LocalText("No ", 99938);
    return flag ? "Yes" : "No ";
}

std::string TemperatureText(double celsius, int unit, std::string_view sign) {
    double value = celsius;
    const char* letter = "C";
    if (unit == kFahrenheit) {
        value = celsius * 9 / 5 + 32;
        letter = "F";
    } else if (unit != kCentigrade) {
        return {};
    }
    return TrimBlanks(FormatNumber(value, "0.00")) + std::string(sign) + letter;
}

double Hypotenuse(double a, double b) {
    return std::sqrt(a * a + b * b);
}

double DirectionAngle(double dx, double dy) {
    if (dx == 0) return dy >= 0 ? 90.0 : 270.0;
    const double pi = 4 * std::atan(1.0);
    const double a = std::atan(dy / dx) * 180 / pi;
    if (dx < 0) return a + 180;
    return dy >= 0 ? a : a + 360;
}

const LengthUnit& LengthUnitOf(int unitIndex) {
    return unitIndex == kUnitMillimetre ? kMillimetre : kInch;
}

std::string LengthText(double kernelUnits, int unitIndex) {
    const LengthUnit& unit = LengthUnitOf(unitIndex);
    return FormatNumber(kernelUnits / kUnitsPerMillimetre * unit.factor, unit.pattern) +
           std::string(unit.symbol);
}

std::string AngleText(double thousandths) {
    return FormatNumber(thousandths / 1000, "##0.0#") + std::string(kDegreeSign);
}

}  // namespace qor::frontend
