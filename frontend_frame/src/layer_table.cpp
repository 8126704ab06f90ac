#include "qor/frontend/layer_table.h"

#include "qor/kernel/kernel.h"

namespace qor::frontend {

uint32_t KernelLayerMask() {
    const int32_t* t = E_SysTable(11);
    if (!t) return 0;
    return (static_cast<uint32_t>(t[0]) & 0xFFFFu) |
           ((static_cast<uint32_t>(t[1]) & 0xFFFFu) << 16);
}

void SetKernelLayerMask(uint32_t mask) {
    int32_t* t = E_SysTable(11);
    if (!t) return;
    t[0] = static_cast<int32_t>(mask & 0xFFFFu);
    t[1] = static_cast<int32_t>(mask >> 16);
}

void LayerTable::ReadFromKernel() {
    const int32_t map = DB_LayerMap();
    const auto* codes = reinterpret_cast<const char*>(E_SysTable(2));
    for (int n = 0; n < kLayers; ++n) {
        LayerEntry& e = layers_[static_cast<size_t>(n)];
        const char* name = map ? O_GetName(OM_Object(map, n + 1)) : nullptr;
        e.name = name ? name : "";
        e.code = codes && codes[n] ? codes[n] : ' ';
    }
    SetEnabledMask(KernelLayerMask());
}

void LayerTable::WriteToKernel() const {
    SetKernelLayerMask(EnabledMask());
}

uint32_t LayerTable::EnabledMask() const {
    uint32_t mask = 0;
    for (int n = 0; n < kLayers; ++n)
        if (layers_[static_cast<size_t>(n)].enabled) mask |= 1u << n;
    return mask;
}

void LayerTable::SetEnabledMask(uint32_t mask) {
    for (int n = 0; n < kLayers; ++n) layers_[static_cast<size_t>(n)].enabled = (mask >> n) & 1u;
}

}  // namespace qor::frontend
