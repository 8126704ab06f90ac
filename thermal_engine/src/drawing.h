// The colour map, the coloured components and the isotherms, drawn through the kernel's calls
// into whatever context the caller opened.
#pragma once

#include <cstdint>
#include <vector>

#include "engine_state.h"

namespace qor::thm {

enum DisplayMode : std::int32_t {
    kDisplayBoard = 1,
    kDisplayComponents = 2,
    kDisplayBoardComponents = 3,
    kDisplayIsotherms = 4,
};

inline constexpr std::int32_t kIsothermStyle = 32;
inline constexpr std::int32_t kTileUnits = 127000;

// Sets the display mode and the colour scale for it.
void setColourScale(EngineState& s, std::int32_t mode);

// The palette index of a temperature on the current scale.
std::int32_t colourIndex(const EngineState& s, std::int32_t fiftieths);

// The isotherm levels (fiftieths of a degree): one density apart above the board minimum, as many
// as the board's range holds, rounded, plus one.
std::vector<double> isothermLevels(const EngineState& s);

void displayBoard(EngineState& s);
void displayComponents(EngineState& s);
void displayBoardComponents(EngineState& s);
void displayIsotherms(EngineState& s);

}  // namespace qor::thm
