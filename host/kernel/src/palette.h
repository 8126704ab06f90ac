// The kernel's 256-colour palette; indexes 0..15 are the standard colours.
#pragma once

#include <cstdint>

namespace qor::kernel {

// 0xRRGGBB of a palette index; indexes outside 0..255 wrap.
uint32_t paletteRgb(int32_t index);

}  // namespace qor::kernel
