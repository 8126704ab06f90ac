// Unit conversions at the library boundary and physical constants.
#pragma once

#include <numbers>

namespace qor::simlib {

inline constexpr double kMetresPerKernelUnit = 1e-8;  // kernel units of 10 nm
inline constexpr double kMetresPerThousandthInch = 25.4e-6;
inline constexpr double kSpeedOfLightMPerS = 299792458.0;
inline constexpr double kMu0HPerM = 4e-7 * std::numbers::pi;
inline constexpr double kEps0FPerM = 1.0 / (kMu0HPerM * kSpeedOfLightMPerS * kSpeedOfLightMPerS);
inline constexpr double kEta0Ohm = kMu0HPerM * kSpeedOfLightMPerS;  // free-space impedance

inline double kernelToMetres(double units) {
    return units * kMetresPerKernelUnit;
}
inline double thousandthsInchToMetres(double mils) {
    return mils * kMetresPerThousandthInch;
}

}  // namespace qor::simlib
