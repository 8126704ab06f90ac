// What the kernel's drawing calls share: the current surface, the draw flags in force, colours
// chosen by the kernel, and lines that keep count of wide pens.
#pragma once

#include <algorithm>
#include <cmath>

#include "state.h"

namespace qor::kernel {

inline Surface* current() {
    return state().draw.current;
}

// Draw flags of the open context together with the draw mode. Monochrome comes from the view's
// bit 8, or from the mode's bit 8 without bit 4 (both together are the exclusive-or mode).
struct DrawFlags {
    static int32_t view() { return current() ? state().draw.lastView.drawFlags : 0; }
    static int32_t mode() { return state().draw.drawFlags; }
    static bool monochrome() { return (view() & 8) != 0 || (mode() & K_DRAW_XOR) == 8; }
    static bool padFrames() { return ((view() | mode()) & 0x80) != 0; }
    // Bit 0x20 set: not true size; traces and item lines are drawn as hairlines.
    static bool trueSize() { return ((view() | mode()) & 0x20) == 0; }
};

inline double currentZoom() {
    const auto& draw = state().draw;
    return draw.haveView && draw.lastView.zoom > 0 ? draw.lastView.zoom : 1.0;
}

// Notes a pen of that many pixels: every distinct width above one pixel is a thick pen.
inline void notePen(int32_t pixels) {
    if (pixels > 1) state().draw.thickPens.insert(pixels);
}

// A line of the kernel's own drawing; widthUnits 0 is the current pen.
inline void stroke(Surface& s, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t widthUnits) {
    if (widthUnits > 0) {
        const double pixels = std::round(widthUnits / currentZoom());
        notePen(static_cast<int32_t>(std::min(pixels, 1.0e6)));
    }
    s.line(x1, y1, x2, y2, widthUnits);
}

// Kernel drawing picks its own colours (all colour 0 in monochrome); afterwards the caller's colour
// and style hold again.
class KernelColours {
  public:
    explicit KernelColours(Surface& s) : s_(s), monochrome_(DrawFlags::monochrome()) {}
    ~KernelColours() {
        s_.setColor(state().draw.colour);
        s_.setStyle(state().draw.style);
    }
    KernelColours(const KernelColours&) = delete;
    KernelColours& operator=(const KernelColours&) = delete;
    void set(int32_t colour) { exact(monochrome_ ? 0 : colour); }
    // The background seen through holes: black, white in monochrome.
    void background() { exact(monochrome_ ? 15 : 0); }
    void exact(int32_t colour) {
        if (colour != last_) s_.setColor(colour);
        last_ = colour;
    }

  private:
    Surface& s_;
    bool monochrome_;
    int32_t last_ = -1;
};

}  // namespace qor::kernel
