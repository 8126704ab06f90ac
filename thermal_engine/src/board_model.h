// The board model's pieces as they lie in the engine's memory blocks, and the board load.
#pragma once

#include <cstdint>

#include "engine_state.h"
#include "qorthm32.h"

namespace qor::thm {

// Error codes and stages of the board-model calls.
enum ModelError : std::int32_t {
    kErrAllocate = 1,
    kErrLock = 2,
    kErrRasterTooBig = 3,
    kErrOutlineTooComplex = 6,
    kErrShrink = 7,
    kErrReadComponent = 8,
    kErrReadDevice = 9,
    kErrReadSymbol = 10,
    kErrIndexTooBig = 11,
    kErrTooManyComponents = 12,
    kErrNameTooLong = 13,
    kErrNameStoreFull = 14,
};
enum ModelStage : std::int32_t {
    kStageBoardMask = 1,
    kStageRowTable = 2,
    kStageRaster = 3,
    kStageOutline = 4,
    kStageComponents = 5,
    kStageAddComponent = 6,
    kStageComponentTables = 13,
    kStageTemperatureGrid = 15,
};

inline constexpr std::int32_t kMaxOutlineRecords = 100;  // the outline needs fewer records
inline constexpr std::int32_t kMaxComponentIndex = 32000;
inline constexpr std::int32_t kLoadStepUnits = 254000;

struct OutlinePoint {
    std::int32_t x = 0, y = 0;
};
static_assert(sizeof(OutlinePoint) == kOutlinePointBytes);

struct ComponentSlot {
    std::int32_t index = 0;  // host database component index
    std::int32_t x = 0, y = 0;
    std::int32_t nameOffset = 0;  // position of the device name in the name store, 0 = none
    std::int32_t frameLeft = 0, frameBottom = 0, frameRight = 0, frameTop = 0;
    ComponentParameters parameters{};
    // Filled by the analysis.
    std::int32_t spineLeft = 0, spineBottom = 0, spineRight = 0, spineTop = 0;
    std::int32_t radiusUnits = 0;
    double radiusM = 0;
    double caseNewC = 0, caseOldC = 0, junctionC = 0;
};

struct SlotIndexEntry {
    std::int32_t slot = 0;  // 0 = none
    std::uint8_t known = 0;
    std::uint8_t changed = 0;
    std::uint8_t unused[2] = {};
};
static_assert(sizeof(SlotIndexEntry) == kSlotIndexEntryBytes);

inline OutlinePoint* outlinePoints(EngineState& s) {
    return static_cast<OutlinePoint*>(s.outline.data);
}
inline ComponentSlot* componentSlots(EngineState& s) {
    return static_cast<ComponentSlot*>(s.componentSlots.data);
}
inline SlotIndexEntry* slotIndexMap(EngineState& s) {
    return static_cast<SlotIndexEntry*>(s.slotIndexMap.data);
}
inline std::int32_t* temperatureGrid(EngineState& s) {
    return static_cast<std::int32_t*>(s.temperatureGrid.data);
}
inline std::uint8_t* boardMask(EngineState& s) {
    return static_cast<std::uint8_t*>(s.boardMask.data);
}
inline std::int32_t* rowTable(EngineState& s) {
    return static_cast<std::int32_t*>(s.rowTable.data);
}

// The number of slots that can be used: the component count, but never more than the slot block
// holds (a load that failed on the 512th component leaves the count at 512 with room for 511).
std::int32_t usableSlots(const EngineState& s);

// The slot of a database component index, 0 when it has none.
std::int32_t slotOfIndex(EngineState& s, std::int32_t index);

// The device name of a slot, nullptr when it has none.
const char* deviceName(EngineState& s, const ComponentSlot& slot);

// True when the raster arrays exist and describe a raster.
bool rasterReady(const EngineState& s);

// THM_A_Qor_LoadDataBase.
std::int32_t loadDataBase(EngineState& s, const char* profileFile);

// Puts every analysis parameter to its value after a load (the fan distance stays).
void setDefaultParameters(EngineState& s);

}  // namespace qor::thm
