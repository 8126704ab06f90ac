#include "board_model.h"

#include <cstring>

#include "qor/kernel/kernel.h"
#include "raster.h"

namespace qor::thm {
namespace {

bool allocate(EngineState& s, MemoryBlock& block, std::size_t bytes, std::int32_t stage) {
    if (allocateBlock(s, block, bytes)) return true;
    setError(s, kErrAllocate, stage);
    return false;
}

bool shrink(EngineState& s, MemoryBlock& block, std::size_t bytes, std::int32_t stage) {
    if (resizeBlock(s, block, bytes)) return true;
    setError(s, kErrShrink, stage);
    return false;
}

// Reads the outline frame and the bending points of the outline trace (-1).
bool loadOutline(EngineState& s) {
    KRect frame{};
    T_FrameTraceLines(-1, 63, &frame);
    s.boardLeft = frame.left;
    s.boardBottom = frame.bottom;
    s.boardRight = frame.right;
    s.boardTop = frame.top;
    s.boardWidth = frame.right - frame.left;
    s.boardHeight = frame.top - frame.bottom;

    KTraceRecord trace{};
    T_ReadTrace(-1, &trace);
    const std::int32_t records = trace.recordCount < 0 ? 0 : trace.recordCount;
    if (records >= kMaxOutlineRecords) {
        setError(s, kErrOutlineTooComplex, kStageOutline);
        return false;
    }
    if (!allocate(s, s.outline, static_cast<std::size_t>(records + 1) * kOutlinePointBytes,
                  kStageOutline))
        return false;
    std::int32_t points = 0;
    for (std::int32_t i = 1; i <= records; ++i) {
        KTracePoint record{};
        if (!T_ReadRecord(-1, i, &record)) continue;
        if (!(record.flags & 4)) continue;
        outlinePoints(s)[++points] = {record.x, record.y};
    }
    if (!shrink(s, s.outline, static_cast<std::size_t>(points + 1) * kOutlinePointBytes,
                kStageOutline))
        return false;
    s.outlineCount = points;
    return true;
}

// Adds one component; false with the error set.
bool addComponent(EngineState& s, std::int32_t index, std::int32_t x, std::int32_t y,
                  const char* name) {
    if (index < 0 || index >= kMaxComponentIndex) {
        setError(s, kErrIndexTooBig, kStageAddComponent);
        return false;
    }
    if (++s.componentCount >= static_cast<std::int32_t>(kMaxComponentSlots)) {
        setError(s, kErrTooManyComponents, kStageAddComponent);
        return false;
    }
    const std::int32_t slotNumber = s.componentCount;
    slotIndexMap(s)[index].slot = slotNumber;
    ComponentSlot& slot = componentSlots(s)[slotNumber];
    slot.index = index;
    slot.x = x;
    slot.y = y;
    if (!name || !*name) return true;
    const std::size_t length = std::strlen(name);
    if (length + 1 >= kDeviceNameStoreBytes) {
        setError(s, kErrNameTooLong, kStageAddComponent);
        return false;
    }
    const auto n = static_cast<std::int32_t>(length);
    if (s.deviceNamesUsedBytes >= static_cast<std::int32_t>(kDeviceNameStoreBytes) - (n + 1)) {
        setError(s, kErrNameStoreFull, kStageAddComponent);
        return false;
    }
    // Each name follows one separating zero byte and ends with its own.
    auto* store = static_cast<char*>(s.deviceNameStore.data);
    slot.nameOffset = s.deviceNamesUsedBytes + 1;
    std::memcpy(store + slot.nameOffset, name, length + 1);
    s.deviceNamesUsedBytes += n + 2;
    return true;
}

bool loadComponents(EngineState& s) {
    if (!allocate(s, s.componentSlots, kMaxComponentSlots * sizeof(ComponentSlot),
                  kStageComponentTables) ||
        !allocate(s, s.deviceNameStore, kDeviceNameStoreBytes, kStageComponentTables) ||
        !allocate(s, s.slotIndexMap, kSlotIndexEntries * kSlotIndexEntryBytes,
                  kStageComponentTables))
        return false;
    s.componentCount = 0;
    s.deviceNamesUsedBytes = 0;

    const std::int32_t map = DB_LayCompMap();
    std::int32_t cursor = OM_GetFirst(map);
    for (std::int32_t index = OM_SearchMask(map, &cursor, 0, 0); index != 0;
         index = OM_SearchMask(map, &cursor, 0, 0)) {
        KComponentRecord component{};
        if (L_ReadComponent(index, &component) != 1) {
            setError(s, kErrReadComponent, kStageComponents);
            return false;
        }
        std::string name;
        bool hasName = false;
        if (component.device != 0) {
            KDeviceRecord device{};
            if (!D_ReadDevice(component.device, &device)) {
                setError(s, kErrReadDevice, kStageComponents);
                return false;
            }
            // The kernel's text is copied at once.
            if (device.name) {
                name = device.name;
                hasName = true;
            }
        }
        KSymbolRecord symbol{};
        if (!S_ReadSymbol(component.symbol, &symbol)) {
            setError(s, kErrReadSymbol, kStageComponents);
            return false;
        }
        if (!addComponent(s, index, component.x, component.y, hasName ? name.c_str() : nullptr))
            return false;
    }
    return shrink(s, s.componentSlots,
                  static_cast<std::size_t>(s.componentCount + 1) * sizeof(ComponentSlot),
                  kStageComponents) &&
           shrink(s, s.deviceNameStore, static_cast<std::size_t>(s.deviceNamesUsedBytes) + 1,
                  kStageComponents);
}

void setDefaultComponentParameters(ComponentParameters& p) {
    p = ComponentParameters{};
    p.packageType = -1;  // not yet known
    p.junctionCaseCPerW = 30;
    p.caseAirCPerW = 70;
    p.dutyCyclePercent = 50;
}

void readFrames(EngineState& s) {
    for (std::int32_t i = 1; i <= s.componentCount; ++i) {
        ComponentSlot& slot = componentSlots(s)[i];
        KRect frame{};
        if (!L_FrameCompEntries(slot.index, &frame)) frame = {slot.x, slot.y, slot.x, slot.y};
        KRect items{};
        if (L_FrameCompItems(slot.index, &items)) {
            frame.left = std::min(frame.left, items.left);
            frame.bottom = std::min(frame.bottom, items.bottom);
            frame.right = std::max(frame.right, items.right);
            frame.top = std::max(frame.top, items.top);
        }
        slot.frameLeft = frame.left;
        slot.frameBottom = frame.bottom;
        slot.frameRight = frame.right;
        slot.frameTop = frame.top;
        setDefaultComponentParameters(slot.parameters);
    }
}

// Takes the parameters of every named component from the first library of the set that knows its
// device. Library problems are never errors. A set that someone else has begun is theirs: the
// lookup then searches nothing and leaves it begun.
void lookUpLibraries(EngineState& s) {
    const std::string folder = libraryFolder(s);
    if (s.librarySet.begin(s.profileFile) != 0) return;
    char library[16];
    for (std::int32_t more = s.librarySet.first(library); more; more = s.librarySet.next(library)) {
        const std::string path = libraryPath(folder, library);
        if (s.library.select(path.c_str()) != 0) continue;
        for (std::int32_t i = 1; i <= s.componentCount; ++i) {
            ComponentSlot& slot = componentSlots(s)[i];
            const char* name = deviceName(s, slot);
            if (slot.parameters.packageType >= 0 || !name) continue;
            DeviceRecord device{};
            if (!s.library.search(name, &device)) continue;
            slot.parameters.packageType = device.packageType;
            slot.parameters.minPowerW = device.minPowerW;
            slot.parameters.maxPowerW = device.maxPowerW;
            slot.parameters.junctionCaseCPerW = device.junctionCaseCPerW;
            slot.parameters.caseAirCPerW = device.caseAirCPerW;
        }
        s.library.release();
    }
    s.librarySet.end();
}

bool allocateRaster(EngineState& s) {
    return allocate(s, s.temperatureGrid, kTemperatureGridBytes, kStageTemperatureGrid) &&
           allocate(s, s.boardMask, kBoardMaskBytes, kStageBoardMask) &&
           allocate(s, s.rowTable, kRowTableBytes, kStageRowTable);
}

}  // namespace

std::int32_t usableSlots(const EngineState& s) {
    if (!s.componentSlots.data) return 0;
    const auto room = static_cast<std::int32_t>(s.componentSlots.bytes / sizeof(ComponentSlot));
    return std::max(0, std::min(s.componentCount, room - 1));
}

std::int32_t slotOfIndex(EngineState& s, std::int32_t index) {
    if (!s.slotIndexMap.data || index < 0 || index >= kMaxComponentIndex) return 0;
    const std::int32_t slot = slotIndexMap(s)[index].slot;
    return slot <= usableSlots(s) ? slot : 0;
}

const char* deviceName(EngineState& s, const ComponentSlot& slot) {
    if (slot.nameOffset <= 0 || !s.deviceNameStore.data) return nullptr;
    return static_cast<const char*>(s.deviceNameStore.data) + slot.nameOffset;
}

bool rasterReady(const EngineState& s) {
    return s.temperatureGrid.data && s.boardMask.data && s.rowTable.data && s.rasterStep > 0 &&
           s.rasterColumns > 0 && s.rasterRows > 0;
}

void setDefaultParameters(EngineState& s) {
    s.ambientC = 25;
    s.insulatorConductivityWPerMK = 0.16;
    s.copperThicknessMm = 0.04;
    s.emissivity = 0.3;
    s.copperFractionPercent = 30;
    s.orientation = 1;
    s.boardThicknessMm = 1.5;
    s.coolingDirection = 0;
    s.airVelocityMPerS = 0;
    s.scaleMode = 0;
    s.windowOn = 0;
    s.windowLowerFiftieths = 1250;
    s.windowUpperFiftieths = 4500;
    s.colourLowerC = 25;
    s.colourUpperC = 90;
    s.isothermDensityFiftieths = 50;
}

std::int32_t loadDataBase(EngineState& s, const char* profileFile) {
    if (!profileFile || !*profileFile) return 0;
    setProfileFile(s, profileFile);
    if (s.usedBytes != 0) return 1;

    if (!loadOutline(s) || !loadComponents(s)) return 0;
    readFrames(s);
    lookUpLibraries(s);
    if (!allocateRaster(s)) return 0;

    s.requestedStepUnits = kLoadStepUnits;
    if (!sizeRaster(s)) {
        setError(s, kErrRasterTooBig, kStageRaster);
        return 0;
    }
    setDefaultParameters(s);
    for (std::int32_t i = 1; i <= s.componentCount; ++i) {
        ComponentSlot& slot = componentSlots(s)[i];
        SlotIndexEntry& entry = slotIndexMap(s)[slot.index];
        if (slot.parameters.packageType == -1) {
            slot.parameters.packageType = 0;
            entry.known = 0;
        } else {
            entry.known = 1;
        }
    }
    return 1;
}

}  // namespace qor::thm
