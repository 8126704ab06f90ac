#include "palette.h"

#include <array>

namespace qor::kernel {
namespace {

// Standard colours as 0xBBGGRR, blue in the high byte: black, dark red, dark green, olive,
// dark blue, purple, teal, grey, silver, red, green, yellow, blue, magenta, cyan, white.
constexpr uint32_t kStandardBgr[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                                       0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                                       0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

constexpr uint32_t bgrToRgb(uint32_t bgr) {
    return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

// 16..231: a 6x6x6 colour cube; 232..255: a grey ramp. One entry of the cube is the layout
// background instead: 223, a dark slate on which copper, outlines and texts stand out.
constexpr int32_t kLayoutBackground = 223;
constexpr uint32_t kLayoutBackgroundRgb = 0x18202C;

constexpr std::array<uint32_t, 256> makePalette() {
    std::array<uint32_t, 256> p{};
    for (int i = 0; i < 16; ++i) p[i] = bgrToRgb(kStandardBgr[i]);
    constexpr uint32_t level[6] = {0x00, 0x5F, 0x87, 0xAF, 0xD7, 0xFF};
    for (int i = 16; i < 232; ++i) {
        const int n = i - 16;
        p[i] = (level[n / 36] << 16) | (level[(n / 6) % 6] << 8) | level[n % 6];
    }
    for (int i = 232; i < 256; ++i) {
        const uint32_t g = 8 + 10 * static_cast<uint32_t>(i - 232);
        p[i] = (g << 16) | (g << 8) | g;
    }
    p[kLayoutBackground] = kLayoutBackgroundRgb;
    return p;
}

constexpr auto kPalette = makePalette();

}  // namespace

uint32_t paletteRgb(int32_t index) { return kPalette[static_cast<uint32_t>(index) & 0xFFu]; }

}  // namespace qor::kernel
