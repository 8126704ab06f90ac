// The layer table: the 32 layers' names, one-character codes and enabled flags, mirroring the
// kernel's layer visibility mask (system table 11: layers 0-15 in word 0, 16-31 in word 1).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qor::frontend {

struct LayerEntry {
    std::string name;
    char code = ' ';
    bool enabled = false;
};

class LayerTable {
  public:
    static constexpr int kLayers = 32;

    // Reads names (the layer array), codes (system table 2) and flags (system table 11).
    void ReadFromKernel();
    // Writes the enabled flags into the kernel's visibility mask.
    void WriteToKernel() const;

    LayerEntry& operator[](int layer) { return layers_.at(static_cast<size_t>(layer)); }
    const LayerEntry& operator[](int layer) const { return layers_.at(static_cast<size_t>(layer)); }
    // The flags as one mask, bit n for layer n, and back.
    uint32_t EnabledMask() const;
    void SetEnabledMask(uint32_t mask);

  private:
    std::array<LayerEntry, kLayers> layers_{};
};

// The kernel's visibility mask (system table 11) as bit n for layer n, and back.
uint32_t KernelLayerMask();
void SetKernelLayerMask(uint32_t mask);

}  // namespace qor::frontend
