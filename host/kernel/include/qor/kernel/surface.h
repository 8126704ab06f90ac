// Drawing surfaces behind the kernel's drawing calls.
//
// A surface receives primitives in design units together with the view of the context that is
// open on it; it maps them to its own device. The kernel ships a recording surface (tests assert
// the exact calls) and a raster surface (an image saved as PNG); a front end attaches its own.
#pragma once

#include <cstdint>
#include <memory>

#include "qor/kernel/kernel.h"

namespace qor::kernel {

class Surface {
public:
    virtual ~Surface() = default;
    virtual void begin(const KViewRecord& view) = 0;
    virtual void end() = 0;
    virtual void setColor(int32_t colour) = 0;
    virtual void setStyle(int32_t style) = 0;
    virtual void rectangle(int32_t x, int32_t y, int32_t width, int32_t height, int32_t angle) = 0;
    // widthUnits 0 draws a hairline one pixel wide.
    virtual void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t widthUnits) = 0;
    virtual void circle(int32_t x, int32_t y, int32_t radius, bool filled) = 0;
    // Draw flags (K_DRAW_ bits of kernel.h); a surface that has no exclusive-or paints normally.
    virtual void setDrawMode(int32_t drawFlags) { (void)drawFlags; }
};

// Hands a surface to the kernel; returns its surface number for G_OpenDC.
QOR_API int32_t attachSurface(std::unique_ptr<Surface> surface);

// Maps design units to pixels for one view: Y up in the design, down on the device.
struct ViewMapping {
    double zoom = 1, halfWidth = 0, halfHeight = 0, originX = 0, originY = 0;
    bool mirror = false;
    explicit ViewMapping(const KViewRecord& v)
        : zoom(v.zoom > 0 ? v.zoom : 1),
          halfWidth(v.width / 2.0),
          halfHeight(v.height / 2.0),
          originX(v.originX),
          originY(v.originY),
          mirror((v.drawFlags & 1) != 0) {}
    ViewMapping() = default;
    double px(double x) const { return halfWidth + (mirror ? -(x - originX) : (x - originX)) / zoom; }
    double py(double y) const { return halfHeight - (y - originY) / zoom; }
};

}  // namespace qor::kernel
