// The kernel's own surfaces: recording (for tests) and raster (PNG output, no display needed).
#pragma once

#include <QImage>
#include <QPainter>
#include <memory>
#include <string>

#include "qor/kernel/surface.h"

namespace qor::kernel {

class RecordingSurface final : public Surface {
public:
    void begin(const KViewRecord& view) override;
    void end() override;
    void setColor(int32_t colour) override;
    void setStyle(int32_t style) override;
    void rectangle(int32_t x, int32_t y, int32_t width, int32_t height, int32_t angle) override;
    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t widthUnits) override;
    void circle(int32_t x, int32_t y, int32_t radius, bool filled) override;
    void setDrawMode(int32_t drawFlags) override;
    const std::string& text() const { return text_; }

private:
    std::string text_;
};

class RasterSurface final : public Surface {
public:
    RasterSurface(int width, int height);
    void begin(const KViewRecord& view) override;
    void end() override;
    void setColor(int32_t colour) override;
    void setStyle(int32_t style) override;
    void rectangle(int32_t x, int32_t y, int32_t width, int32_t height, int32_t angle) override;
    void line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t widthUnits) override;
    void circle(int32_t x, int32_t y, int32_t radius, bool filled) override;
    void setDrawMode(int32_t drawFlags) override;
    bool savePng(const std::string& path);
    const QImage& image() const { return image_; }

private:
    QPainter& painter();
    void fillPixels(int left, int top, int right, int bottom);

    QImage image_;
    std::unique_ptr<QPainter> painter_;
    ViewMapping map_;
    uint32_t rgb_ = 0xFFFFFF;
    bool filled_ = true;
    bool xor_ = false;
};

}  // namespace qor::kernel
