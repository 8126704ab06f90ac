#include "queries.h"

#include <cmath>
#include <limits>

#include "board_model.h"

namespace qor::thm {

std::int32_t truncToInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value <= std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    if (value >= std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

void getBoardSize(const EngineState& s, int32_t* left, int32_t* bottom, int32_t* right, int32_t* top) {
    if (left) *left = s.boardLeft;
    if (bottom) *bottom = s.boardBottom;
    if (right) *right = s.boardRight;
    if (top) *top = s.boardTop;
}

int32_t getBoardDimensions(const EngineState& s, int32_t* width, int32_t* height) {
    if (width) *width = s.boardWidth;
    if (height) *height = s.boardHeight;
    return s.boardHeight;
}

void setColourTable(EngineState& s, const int32_t* colours16) {
    if (!colours16) return;
    for (std::size_t i = 0; i < 16; ++i) s.colourTable[i] = colours16[i];
}

void getBoardParameters(const EngineState& s, BoardParameters& p) {
    p.insulatorConductivityWPerMK = s.insulatorConductivityWPerMK;
    p.copperThicknessMm = s.copperThicknessMm;
    p.emissivity = s.emissivity;
    p.copperFractionPercent = s.copperFractionPercent;
    p.orientation = s.orientation;
    p.boardThicknessMm = s.boardThicknessMm;
}

void setBoardParameters(EngineState& s, const BoardParameters& p) {
    s.insulatorConductivityWPerMK = p.insulatorConductivityWPerMK;
    s.copperThicknessMm = p.copperThicknessMm;
    s.emissivity = p.emissivity;
    s.copperFractionPercent = p.copperFractionPercent;
    s.orientation = truncToInt32(p.orientation);
    s.boardThicknessMm = p.boardThicknessMm;
}

void getCoolingParameters(const EngineState& s, CoolingParameters& p) {
    p.direction = s.coolingDirection;
    p.airVelocityMPerS = s.airVelocityMPerS;
    p.fanDistanceMm = s.fanDistanceMm;
}

void setCoolingParameters(EngineState& s, const CoolingParameters& p) {
    s.coolingDirection = p.direction;
    s.airVelocityMPerS = p.airVelocityMPerS;
    s.fanDistanceMm = p.fanDistanceMm;
}

void getTemperatureParameters(const EngineState& s, TemperatureParameters& p) {
    p.stepUnits = s.requestedStepUnits;
    p.ambientC = s.ambientC;
    p.scaleMode = s.scaleMode;
    p.colourUpperC = s.colourUpperC;
    p.colourLowerC = s.colourLowerC;
    p.windowOn = s.windowOn;
    p.windowUpperFiftieths = s.windowUpperFiftieths;
    p.windowLowerFiftieths = s.windowLowerFiftieths;
}

void setTemperatureParameters(EngineState& s, const TemperatureParameters& p) {
    s.requestedStepUnits = p.stepUnits;
    s.ambientC = p.ambientC;
    s.scaleMode = p.scaleMode;
    s.colourUpperC = p.colourUpperC;
    s.colourLowerC = p.colourLowerC;
    s.windowOn = p.windowOn;
    s.windowUpperFiftieths = truncToInt32(p.windowUpperFiftieths);
    s.windowLowerFiftieths = truncToInt32(p.windowLowerFiftieths);
}

void componentGet(EngineState& s, std::int32_t index, ComponentParameters& p) {
    const std::int32_t slot = slotOfIndex(s, index);
    p = slot ? componentSlots(s)[slot].parameters : ComponentParameters{};
}

void componentSet(EngineState& s, std::int32_t index, const ComponentParameters& p) {
    // An index without a slot changes no component.
    const std::int32_t slot = slotOfIndex(s, index);
    if (!slot) return;
    componentSlots(s)[slot].parameters = p;
    slotIndexMap(s)[index].changed = 1;
}

namespace {

std::int32_t iterate(EngineState& s, std::int32_t* known, std::int32_t* changed) {
    if (s.iterationSlot < 1 || s.iterationSlot > usableSlots(s)) return 0;
    const ComponentSlot& slot = componentSlots(s)[s.iterationSlot++];
    const SlotIndexEntry& entry = slotIndexMap(s)[slot.index];
    if (known) *known = entry.known ? 1 : 0;
    if (changed) *changed = entry.changed ? 1 : 0;
    return slot.index;
}

}  // namespace

std::int32_t componentFirst(EngineState& s, std::int32_t* known, std::int32_t* changed) {
    s.iterationSlot = 1;
    return iterate(s, known, changed);
}

std::int32_t componentNext(EngineState& s, std::int32_t* known, std::int32_t* changed) {
    return iterate(s, known, changed);
}

std::int32_t componentAt(EngineState& s, std::int32_t x, std::int32_t y) {
    const std::int32_t count = usableSlots(s);
    for (std::int32_t i = 1; i <= count; ++i) {
        const ComponentSlot& c = componentSlots(s)[i];
        if (c.frameLeft <= x && x <= c.frameRight && c.frameBottom <= y && y <= c.frameTop)
            return i;
    }
    return 0;
}

bool boardCellAt(EngineState& s, std::int32_t x, std::int32_t y, std::int64_t& cell) {
    if (!rasterReady(s)) return false;
    if (x < s.boardLeft || x > s.boardRight || y < s.boardBottom || y > s.boardTop) return false;
    const std::int64_t column = (static_cast<std::int64_t>(x) - s.boardLeft) / s.rasterStep;
    const std::int64_t row = (static_cast<std::int64_t>(y) - s.boardBottom) / s.rasterStep;
    if (column >= s.rasterColumns || row >= s.rasterRows) return false;
    cell = row * s.rasterColumns + column;
    return boardMask(s)[cell] != 0;
}

std::int32_t getTemp(EngineState& s, std::int32_t x, std::int32_t y, double* cellC,
                     std::int32_t* index, double* caseC, double* junctionC) {
    std::int64_t cell = 0;
    if (!boardCellAt(s, x, y, cell)) return 0;
    if (cellC) *cellC = temperatureGrid(s)[cell] * 0.02;
    const std::int32_t slot = componentAt(s, x, y);
    if (!slot) {
        if (index) *index = 0;
        return 1;
    }
    const ComponentSlot& c = componentSlots(s)[slot];
    if (index) *index = c.index;
    if (caseC) *caseC = c.caseNewC;
    if (junctionC) *junctionC = c.junctionC;
    return 1;
}

std::int32_t temperatureGet(EngineState& s, std::int32_t x, std::int32_t y, std::int32_t* index,
                            double* temperatureC, double* junctionC) {
    const std::int32_t mode = s.displayMode;
    if (mode == 2 || mode == 3) {
        if (const std::int32_t slot = componentAt(s, x, y)) {
            const ComponentSlot& c = componentSlots(s)[slot];
            if (index) *index = c.index;
            if (temperatureC) *temperatureC = c.caseNewC;
            if (junctionC) *junctionC = c.junctionC;
            return 1;
        }
    }
    if (mode == 1 || mode == 3 || mode == 4) {
        std::int64_t cell = 0;
        if (boardCellAt(s, x, y, cell)) {
            if (temperatureC) *temperatureC = temperatureGrid(s)[cell] * 0.02;
            return 2;
        }
    }
    return 0;
}

}  // namespace qor::thm
