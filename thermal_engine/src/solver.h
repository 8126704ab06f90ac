// The thermal solver: component and raster temperatures of the loaded board.
#pragma once

#include <cstdint>

#include "engine_state.h"

namespace qor::thm {

inline constexpr std::int32_t kMaxFiftieths = 32000;

// floor(T × 50 + 0.5), clamped to -32000 ... 32000 (a NaN gives -32000).
std::int32_t toFiftieths(double temperatureC);

// A real truncated toward zero and clamped to lo ... hi (a NaN gives lo).
std::int64_t truncClamped(double value, std::int64_t lo, std::int64_t hi);

// The factor of a package type code on the equivalent radius.
double packageRadiusFactor(std::int32_t packageType);

// The number of rings over which one source heats the raster with the current cooling.
std::int64_t reachRings(const EngineState& s);

// THM_A_AnalyseBoard.
std::int32_t analyseBoard(EngineState& s);

}  // namespace qor::thm
