#include "design_records.h"

#include <cstring>
#include <vector>

#include "board_model.h"
#include "qor/kernel/kernel.h"

namespace qor::thm {
namespace {

constexpr const char* kNewest = "THERMO_C";
constexpr const char* kOlder = "THERMO_B";
constexpr const char* kOldest = "THERMO_A";

ThermoHeader headerOf(const EngineState& s, std::int32_t count) {
    ThermoHeader h{};
    h.componentCount = count;
    h.ambientC = s.ambientC;
    h.boardThicknessMm = s.boardThicknessMm;
    h.insulatorConductivityWPerMK = s.insulatorConductivityWPerMK;
    h.copperThicknessMm = s.copperThicknessMm;
    h.copperFractionPercent = s.copperFractionPercent;
    h.emissivity = s.emissivity;
    h.orientation = s.orientation;
    h.coolingDirection = s.coolingDirection;
    h.airVelocityMPerS = s.airVelocityMPerS;
    h.scaleMode = s.scaleMode;
    h.windowOn = s.windowOn;
    h.windowLowerFiftieths = s.windowLowerFiftieths;
    h.windowUpperFiftieths = s.windowUpperFiftieths;
    h.isothermDensityFiftieths = s.isothermDensityFiftieths;
    h.fanDistanceMm = s.fanDistanceMm;
    return h;
}

void applyHeader(EngineState& s, const ThermoHeader& h, bool withFan) {
    s.ambientC = h.ambientC;
    s.boardThicknessMm = h.boardThicknessMm;
    s.insulatorConductivityWPerMK = h.insulatorConductivityWPerMK;
    s.copperThicknessMm = h.copperThicknessMm;
    s.copperFractionPercent = h.copperFractionPercent;
    s.emissivity = h.emissivity;
    s.orientation = h.orientation;
    s.coolingDirection = h.coolingDirection;
    s.airVelocityMPerS = h.airVelocityMPerS;
    s.scaleMode = h.scaleMode;
    s.windowOn = h.windowOn;
    s.windowLowerFiftieths = h.windowLowerFiftieths;
    s.windowUpperFiftieths = h.windowUpperFiftieths;
    s.isothermDensityFiftieths = h.isothermDensityFiftieths;
    s.fanDistanceMm = withFan ? h.fanDistanceMm : 0;
}

ThermoComponent recordOf(const ComponentSlot& slot) {
    const ComponentParameters& p = slot.parameters;
    ThermoComponent r{};
    r.index = slot.index;
    r.packageType = p.packageType;
    r.minPowerW = p.minPowerW;
    r.maxPowerW = p.maxPowerW;
    r.junctionCaseCPerW = p.junctionCaseCPerW;
    r.caseAirCPerW = p.caseAirCPerW;
    r.dutyCyclePercent = p.dutyCyclePercent;
    r.fanSpeed = p.fanSpeed;
    r.heatsinkCPerW = p.heatsinkCPerW;
    r.interfaceCPerW = p.interfaceCPerW;
    r.fanOn = p.fanOn;
    r.heatsinkOn = p.heatsinkOn;
    r.interfaceOn = p.interfaceOn;
    return r;
}

void applyComponent(EngineState& s, const ThermoComponent& r, bool withCoolingAids) {
    const std::int32_t slotNumber = slotOfIndex(s, r.index);
    if (!slotNumber) return;  // the component is no longer in the design
    ComponentParameters& p = componentSlots(s)[slotNumber].parameters;
    SlotIndexEntry& entry = slotIndexMap(s)[r.index];
    entry.changed = p.packageType != r.packageType || p.minPowerW != r.minPowerW ||
                    p.maxPowerW != r.maxPowerW || p.junctionCaseCPerW != r.junctionCaseCPerW ||
                    p.caseAirCPerW != r.caseAirCPerW || p.dutyCyclePercent != r.dutyCyclePercent;
    p.packageType = r.packageType;
    p.minPowerW = r.minPowerW;
    p.maxPowerW = r.maxPowerW;
    p.junctionCaseCPerW = r.junctionCaseCPerW;
    p.caseAirCPerW = r.caseAirCPerW;
    p.dutyCyclePercent = r.dutyCyclePercent;
    p.fanSpeed = withCoolingAids ? r.fanSpeed : 0;
    p.heatsinkCPerW = withCoolingAids ? r.heatsinkCPerW : 0;
    p.interfaceCPerW = withCoolingAids ? r.interfaceCPerW : 0;
    p.fanOn = withCoolingAids ? r.fanOn : 0;
    p.heatsinkOn = withCoolingAids ? r.heatsinkOn : 0;
    p.interfaceOn = withCoolingAids ? r.interfaceOn : 0;
}

}  // namespace

// The new record is built whole and written with one write; the previous records stay until it
// is complete, so a failed save loses nothing.
std::int32_t saveParameters(EngineState& s) {
    const std::int32_t map = DB_FileMap();
    if (!map) return 0;
    const std::int32_t count = usableSlots(s);
    std::vector<ThermoComponent> records;
    for (std::int32_t i = 1; i <= count; ++i)
        if (componentSlots(s)[i].parameters.packageType != 0)
            records.push_back(recordOf(componentSlots(s)[i]));
    const std::size_t size = sizeof(ThermoHeader) + sizeof(ThermoComponent) * records.size();
    if (size >= kMaxRecordBytes) return 0;
    std::vector<unsigned char> bytes(size);
    const ThermoHeader header = headerOf(s, static_cast<std::int32_t>(records.size()));
    std::memcpy(bytes.data(), &header, sizeof header);
    if (!records.empty())
        std::memcpy(bytes.data() + sizeof header, records.data(),
                    sizeof(ThermoComponent) * records.size());

    std::int32_t handle = OM_FindName(map, kNewest);
    const bool created = handle == 0;
    if (created) handle = F_CreateFile(0, kNewest);
    if (!handle) return 0;
    const auto length = static_cast<std::int32_t>(size);
    F_Seek(handle, 0, 0);
    if (F_Write(handle, bytes.data(), length) != length) {
        if (created) OM_Delete(map, handle);
        return 0;
    }
    // A longer previous record is cut to the new length.
    if (!F_SetLength(handle, length)) return 0;
    for (const char* older : {kOldest, kOlder})
        if (const std::int32_t old = OM_FindName(map, older)) OM_Delete(map, old);
    return 1;
}

std::int32_t loadParameters(EngineState& s) {
    const std::int32_t map = DB_FileMap();
    if (!map) return 0;
    int version = 3;
    std::int32_t handle = OM_FindName(map, kNewest);
    if (!handle) {
        version = 2;
        handle = OM_FindName(map, kOlder);
    }
    if (!handle) {
        version = 1;
        handle = OM_FindName(map, kOldest);
    }
    if (!handle) return 1;

    F_Seek(handle, 0, 0);
    ThermoHeader header{};
    const auto headerBytes =
        static_cast<std::int32_t>(version == 3 ? sizeof(ThermoHeader) : kOlderHeaderBytes);
    if (F_Read(handle, &header, headerBytes) != headerBytes) return 0;
    applyHeader(s, header, version == 3);
    const auto recordBytes =
        static_cast<std::int32_t>(version == 1 ? kOldestComponentBytes : sizeof(ThermoComponent));
    for (std::int32_t i = 1; i <= header.componentCount; ++i) {
        ThermoComponent record{};
        if (F_Read(handle, &record, recordBytes) != recordBytes) return 0;
        applyComponent(s, record, version != 1);
    }
    return 1;
}

}  // namespace qor::thm
