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
    // Pen width of lines drawn with widthUnits 0, in pixels.
    virtual void setWidth(int32_t pixels) { (void)pixels; }
    // A closed polygon of n points (design units), filled with the current colour or hollow.
    virtual void polygon(const int32_t* xy, int32_t n, bool filled) {
        for (int32_t i = 0; i < n; ++i) {
            const int32_t j = (i + 1) % n;
            line(xy[2 * i], xy[2 * i + 1], xy[2 * j], xy[2 * j + 1], 0);
        }
        (void)filled;
    }
    // A text with its lower-left corner at x, y, height units high, turned by angle.
    virtual void drawText(int32_t x, int32_t y, int32_t height, int32_t angle, const char* text) {
        (void)x, (void)y, (void)height, (void)angle, (void)text;
    }
    // The surface's picture: a copy kept under a handle (0 = the surface keeps none), shown again,
    // freed; and a pixel rectangle put on the clipboard.
    virtual int32_t copyPicture() { return 0; }
    virtual bool showPicture(int32_t handle) { (void)handle; return false; }
    virtual void deletePicture(int32_t handle) { (void)handle; }
    virtual bool copyToClipboard(int32_t left, int32_t top, int32_t right, int32_t bottom) {
        (void)left, (void)top, (void)right, (void)bottom;
        return false;
    }
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
