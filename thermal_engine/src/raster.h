// The raster laid over the board's outline frame: sizing, the inside test and the board mask.
#pragma once

#include <cstdint>

#include "engine_state.h"

namespace qor::thm {

inline constexpr std::int32_t kMaxRasterCells = 750000;
inline constexpr std::int32_t kMaxRasterRows = 900;
inline constexpr std::int32_t kStepGrowthUnits = 63500;
inline constexpr std::int32_t kLargestStepUnits = 508000;
inline constexpr std::int32_t kMaxEdgeLayer = 100;

// Sizes the raster from the requested step, growing the step until the grid fits. False when it
// does not fit even at the largest step; the requested step is then the last step tried.
bool sizeRaster(EngineState& s);

// True when (x, y) lies inside the board outline.
bool insideOutline(EngineState& s, std::int32_t x, std::int32_t y);

// THM_A_BoardShapeSet: resizes the raster when the requested step changed, then builds the mask.
std::int32_t boardShapeSet(EngineState& s);

}  // namespace qor::thm
