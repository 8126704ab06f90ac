// A kernel drawing surface over a QPainter: the drawing area's picture, a printer page or any other
// paint device. The owner lends the painter while a kernel context is open on the surface; calls
// made without one draw nothing.
#pragma once

#include <QColor>
#include <functional>
#include <memory>

#include "qor/kernel/kernel.h"
#include "qor/kernel/surface.h"

class QPainter;

namespace qor::widgets {

// The RGB colour of a kernel palette index.
QColor PaletteColour(int32_t index);

class PainterSurface : public kernel::Surface {
  public:
    PainterSurface() = default;

    // The painter the kernel draws with; null between drawings.
    void setPainter(QPainter* painter) { painter_ = painter; }
    QPainter* painter() const { return painter_; }

    // What the owner does for the kernel's picture calls (G_CopyView, G_DispView, G_DeleteObject,
    // G_CopyScreen); unset hooks keep no picture.
    std::function<int32_t()> onCopyPicture;
    std::function<bool(int32_t)> onShowPicture;
    std::function<void(int32_t)> onDeletePicture;
    std::function<bool(int32_t, int32_t, int32_t, int32_t)> onCopyToClipboard;

    void begin(const KViewRecord& view) override;
    void end() override {}
    void setColor(int32_t colour) override;
    void setStyle(int32_t style) override { filled_ = style != 0; }
    void setDrawMode(int32_t drawFlags) override;
    void setWidth(int32_t pixels) override { widthPixels_ = pixels < 1 ? 1 : pixels; }
    void rectangle(int32_t x, int32_t y, int32_t width, int32_t height, int32_t angle) override;
    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t widthUnits) override;
    void circle(int32_t x, int32_t y, int32_t radius, bool filled) override;
    void polygon(const int32_t* xy, int32_t n, bool filled) override;
    void drawText(int32_t x, int32_t y, int32_t height, int32_t angle, const char* text) override;
    int32_t copyPicture() override { return onCopyPicture ? onCopyPicture() : 0; }
    bool showPicture(int32_t handle) override { return onShowPicture && onShowPicture(handle); }
    void deletePicture(int32_t handle) override {
        if (onDeletePicture) onDeletePicture(handle);
    }
    bool copyToClipboard(int32_t left, int32_t top, int32_t right, int32_t bottom) override {
        return onCopyToClipboard && onCopyToClipboard(left, top, right, bottom);
    }

    const kernel::ViewMapping& mapping() const { return map_; }

  private:
    void applyMode();

    QPainter* painter_ = nullptr;
    kernel::ViewMapping map_;
    QColor colour_ = Qt::white;
    bool filled_ = true;
    bool exclusiveOr_ = false;
    int32_t widthPixels_ = 1;
};

}  // namespace qor::widgets
