// The host's system tables as the kernel itself uses them (E_SysTable gives callers the words).
#pragma once

#include <cstdint>

#include "qor/design/model.h"

namespace qor::kernel {

// Fills the tables that depend on the open design: layer codes, grid, snap, angle snap, layer
// visibility and zooms.
void fillDesignTables(const design::Design& design);

// Layer visibility from table 11: words 0 and 1 hold layers 0-15 and 16-31.
bool layerVisible(int32_t layer);
// Visibility of a set of layers (bit n = layer n): true when any of them is visible.
bool anyLayerVisible(uint32_t layers);

// The layers that carry something: traces, component sides, auxiliary symbol items, layout texts;
// layer 0 when the board has an outline.
uint32_t usedLayers(const design::Design& design);

// The design's active layer: the lowest copper layer (2 ... 29) that carries something, else 2.
int32_t activeLayer(const design::Design& design);

}  // namespace qor::kernel
