// The one process-wide state of an engine and the accounting of its board-model memory.
//
// The field engine (QOREMA32) builds the board model, raster, drawing and library code a second
// time, with its own state; what it does differently is in EngineVariant.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "device_library.h"
#include "library_compiler.h"
#include "library_set.h"

namespace qor::thm {

// A board-model memory block: zero-filled heap memory with the size it was last given.
struct MemoryBlock {
    void* data = nullptr;
    std::size_t bytes = 0;
};

// Sizes of the board-model blocks.
inline constexpr std::size_t kOutlinePointBytes = 8;
inline constexpr std::size_t kMaxComponentSlots = 512;
inline constexpr std::size_t kDeviceNameStoreBytes = 32000;
inline constexpr std::size_t kSlotIndexEntries = 32000;
inline constexpr std::size_t kSlotIndexEntryBytes = 8;
inline constexpr std::size_t kTemperatureGridBytes = 3000000;
inline constexpr std::size_t kBoardMaskBytes = 750000;
inline constexpr std::size_t kRowTableBytes = 3600;

// The differences of the field engine's board code from the thermal engine's.
struct EngineVariant {
    // Degrees per radian of the inside test: 180/3.14 for the thermal engine, 180/pi for the field
    // engine, so a point near an outline vertex can fall differently.
    double degreesPerRadian = 57.324840764331206;
    // Device search by case and the out-of-memory code of opening a library.
    DeviceLibrary::Options library{};
};

EngineVariant thermalVariant();
EngineVariant fieldVariant();

struct EngineState {
    explicit EngineState(const EngineVariant& v = thermalVariant())
        : variant(v), library(v.library) {}
    EngineState(const EngineState&) = delete;
    EngineState& operator=(const EngineState&) = delete;
    // Unloading the engine closes what is open, in the order of detach().
    ~EngineState();

    const EngineVariant variant;

    // Board model. Extents and raster values are database units (10 nm).
    std::int32_t boardLeft = 0, boardBottom = 0, boardRight = 0, boardTop = 0;
    std::int32_t boardWidth = 0, boardHeight = 0;
    MemoryBlock outline;  // bending points, numbered from 1
    std::int32_t outlineCount = 0;
    MemoryBlock componentSlots;  // slot 0 stays empty
    std::int32_t componentCount = 0;
    MemoryBlock deviceNameStore;
    std::int32_t deviceNamesUsedBytes = 0;
    MemoryBlock slotIndexMap;
    MemoryBlock temperatureGrid;
    MemoryBlock boardMask;
    MemoryBlock rowTable;
    std::int32_t rasterOriginX = 0, rasterOriginY = 0, rasterEndX = 0, rasterEndY = 0;
    std::int32_t rasterStep = 0, rasterColumns = 0, rasterRows = 0;

    std::int32_t requestedStepUnits = 0;

    // Board parameters.
    double insulatorConductivityWPerMK = 0;
    double copperThicknessMm = 0;
    double emissivity = 0;
    double copperFractionPercent = 0;
    std::int32_t orientation = 0;  // 0 horizontal, otherwise vertical
    double boardThicknessMm = 0;
    // Cooling parameters.
    std::int32_t coolingDirection = 0;
    double airVelocityMPerS = 0;
    std::int32_t fanDistanceMm = 0;
    // Temperature parameters.
    double ambientC = 0;
    std::int32_t scaleMode = 0;
    double colourUpperC = 0;
    double colourLowerC = 0;
    std::int32_t windowOn = 0;
    std::int32_t windowUpperFiftieths = 0;
    std::int32_t windowLowerFiftieths = 0;
    std::int32_t isothermDensityFiftieths = 0;
    std::array<std::int32_t, 16> colourTable{};

    // Results, fiftieths of a degree.
    std::int32_t boardMinFiftieths = 0, boardMaxFiftieths = 0;
    std::int32_t componentMinFiftieths = 0, componentMaxFiftieths = 0;
    std::int32_t overallMinFiftieths = 0, overallMaxFiftieths = 0;
    std::int32_t analysisPasses = 0;     // passes of the last analysis, the final one included
    std::int64_t rasterCellUpdates = 0;  // cells the sources of the last analysis added to
    // 0 nothing drawn yet, 1 board, 2 components, 3 both, 4 isotherms.
    std::int32_t displayMode = 0;
    std::int32_t colourScaleMinFiftieths = 0;
    std::int32_t colourScaleStepFiftieths = 0;
    // The next slot of the component iteration.
    std::int32_t iterationSlot = 0;
    // Worker threads of the analysis; 0 = as many as the machine has cores.
    std::int32_t workerThreads = 0;

    // The host's profile file, given to the board load; every profile read of the engine uses it.
    std::string profileFile;

    // Libraries.
    DeviceLibrary library;
    LibrarySet librarySet;
    LibraryCompiler compiler;

    // Errors of the analysis calls: the last failure stays until the next one.
    std::int32_t lastErrorCode = 0;
    std::int32_t lastErrorStage = 0;

    // Bytes currently allocated for the board model; non-zero also means a board is loaded.
    std::int64_t usedBytes = 0;
};

// The engine's state: each library has its own (engine_instance.cpp of its room).
EngineState& engine();

// Remembers the host's profile file (the board load does this).
void setProfileFile(EngineState& state, const char* profileFile);

// The library folder: profile section "Qor32", key "LibDir".
std::string libraryFolder(const EngineState& state);

// The path of library `name` in `folder`: folder + "/" + name + ".TAL".
std::string libraryPath(const std::string& folder, const std::string& name);

// Board-model blocks. usedBytes grows by the requested size before the allocation is tried;
// a shrink replaces the old size by the new one. False when the memory could not be had.
bool allocateBlock(EngineState& state, MemoryBlock& block, std::size_t bytes);
bool resizeBlock(EngineState& state, MemoryBlock& block, std::size_t bytes);
void freeBlock(MemoryBlock& block);

// Discards the board model; parameters, libraries and the error state stay.
void deleteDataBase(EngineState& state);

void setError(EngineState& state, std::int32_t code, std::int32_t stage);

// Kilobytes, rounded up.
std::int32_t kilobytesRoundedUp(std::int64_t bytes);

// What unloading the engine does: the board model, the compiler (which writes its library), the
// library set, the selected library.
void detach(EngineState& state) noexcept;

}  // namespace qor::thm
