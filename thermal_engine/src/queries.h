// Parameter records, component parameters and iteration, and temperatures at a point.
#pragma once

#include <cstdint>

#include "engine_state.h"
#include "qorthm32.h"

namespace qor::thm {

// A real truncated toward zero into an int32 (saturating; a NaN gives 0).
std::int32_t truncToInt32(double value);

void getBoardParameters(const EngineState& s, BoardParameters& p);
// The board's extents; each pointer may be null.
void getBoardSize(const EngineState& s, int32_t* left, int32_t* bottom, int32_t* right, int32_t* top);
// The board's width and height; each pointer may be null. Returns the height.
int32_t getBoardDimensions(const EngineState& s, int32_t* width, int32_t* height);
// Copies 16 colours; a null table changes nothing.
void setColourTable(EngineState& s, const int32_t* colours16);
void setBoardParameters(EngineState& s, const BoardParameters& p);
void getCoolingParameters(const EngineState& s, CoolingParameters& p);
void setCoolingParameters(EngineState& s, const CoolingParameters& p);
void getTemperatureParameters(const EngineState& s, TemperatureParameters& p);
void setTemperatureParameters(EngineState& s, const TemperatureParameters& p);

void componentGet(EngineState& s, std::int32_t index, ComponentParameters& p);
void componentSet(EngineState& s, std::int32_t index, const ComponentParameters& p);
// The component iteration: the database index of the next slot and its known/changed flags.
std::int32_t componentFirst(EngineState& s, std::int32_t* known, std::int32_t* changed);
std::int32_t componentNext(EngineState& s, std::int32_t* known, std::int32_t* changed);
// The first slot whose frame holds the point, bounds included; 0 when none.
std::int32_t componentAt(EngineState& s, std::int32_t x, std::int32_t y);

// The raster cell of a point within the board's extents; false when it is off the board or its
// cell lies outside the outline.
bool boardCellAt(EngineState& s, std::int32_t x, std::int32_t y, std::int64_t& cell);

std::int32_t getTemp(EngineState& s, std::int32_t x, std::int32_t y, double* cellC,
                     std::int32_t* index, double* caseC, double* junctionC);
std::int32_t temperatureGet(EngineState& s, std::int32_t x, std::int32_t y, std::int32_t* index,
                            double* temperatureC, double* junctionC);

}  // namespace qor::thm
