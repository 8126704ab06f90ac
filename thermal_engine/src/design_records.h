// The analysis parameters of a design, kept in its named records "THERMO_A", "THERMO_B" and
// "THERMO_C" (newest). Only "THERMO_C" is written.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine_state.h"

namespace qor::thm {

#pragma pack(push, 4)

// Header of "THERMO_C"; "THERMO_A" and "THERMO_B" end before fanDistanceMm (88 bytes).
struct ThermoHeader {
    std::int32_t componentCount;
    double ambientC;
    double boardThicknessMm;
    double insulatorConductivityWPerMK;
    double copperThicknessMm;
    double copperFractionPercent;
    double emissivity;
    std::int32_t orientation;
    std::int32_t coolingDirection;
    double airVelocityMPerS;
    std::int32_t scaleMode;
    std::int32_t windowOn;
    std::int32_t windowLowerFiftieths;
    std::int32_t windowUpperFiftieths;
    std::int32_t isothermDensityFiftieths;
    std::int32_t fanDistanceMm;
};

// Component record of "THERMO_C" and "THERMO_B"; "THERMO_A" ends before fanSpeed (44 bytes).
struct ThermoComponent {
    std::int32_t index;
    std::int32_t packageType;
    double minPowerW;
    double maxPowerW;
    double junctionCaseCPerW;
    double caseAirCPerW;
    std::int32_t dutyCyclePercent;
    double fanSpeed;
    double heatsinkCPerW;
    double interfaceCPerW;
    std::uint8_t fanOn;
    std::uint8_t heatsinkOn;
    std::uint8_t interfaceOn;
    std::uint8_t unused;
};

#pragma pack(pop)

static_assert(sizeof(ThermoHeader) == 92);
static_assert(offsetof(ThermoHeader, componentCount) == 0);
static_assert(offsetof(ThermoHeader, ambientC) == 4);
static_assert(offsetof(ThermoHeader, boardThicknessMm) == 12);
static_assert(offsetof(ThermoHeader, insulatorConductivityWPerMK) == 20);
static_assert(offsetof(ThermoHeader, copperThicknessMm) == 28);
static_assert(offsetof(ThermoHeader, copperFractionPercent) == 36);
static_assert(offsetof(ThermoHeader, emissivity) == 44);
static_assert(offsetof(ThermoHeader, orientation) == 52);
static_assert(offsetof(ThermoHeader, coolingDirection) == 56);
static_assert(offsetof(ThermoHeader, airVelocityMPerS) == 60);
static_assert(offsetof(ThermoHeader, scaleMode) == 68);
static_assert(offsetof(ThermoHeader, windowOn) == 72);
static_assert(offsetof(ThermoHeader, windowLowerFiftieths) == 76);
static_assert(offsetof(ThermoHeader, windowUpperFiftieths) == 80);
static_assert(offsetof(ThermoHeader, isothermDensityFiftieths) == 84);
static_assert(offsetof(ThermoHeader, fanDistanceMm) == 88);

static_assert(sizeof(ThermoComponent) == 72);
static_assert(offsetof(ThermoComponent, index) == 0);
static_assert(offsetof(ThermoComponent, packageType) == 4);
static_assert(offsetof(ThermoComponent, minPowerW) == 8);
static_assert(offsetof(ThermoComponent, maxPowerW) == 16);
static_assert(offsetof(ThermoComponent, junctionCaseCPerW) == 24);
static_assert(offsetof(ThermoComponent, caseAirCPerW) == 32);
static_assert(offsetof(ThermoComponent, dutyCyclePercent) == 40);
static_assert(offsetof(ThermoComponent, fanSpeed) == 44);
static_assert(offsetof(ThermoComponent, heatsinkCPerW) == 52);
static_assert(offsetof(ThermoComponent, interfaceCPerW) == 60);
static_assert(offsetof(ThermoComponent, fanOn) == 68);
static_assert(offsetof(ThermoComponent, heatsinkOn) == 69);
static_assert(offsetof(ThermoComponent, interfaceOn) == 70);
static_assert(offsetof(ThermoComponent, unused) == 71);

inline constexpr std::size_t kOlderHeaderBytes = 88;
inline constexpr std::size_t kOldestComponentBytes = 44;
inline constexpr std::size_t kMaxRecordBytes = 4194304;

std::int32_t saveParameters(EngineState& s);
std::int32_t loadParameters(EngineState& s);

}  // namespace qor::thm
