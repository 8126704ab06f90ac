// The kernel's own surfaces: recording (for tests) and raster (PNG output, no display needed).
#pragma once

#include <QImage>
#include <QPainter>
#include <map>
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
    void setWidth(int32_t pixels) override;
    void polygon(const int32_t* xy, int32_t n, bool filled) override;
    void drawText(int32_t x, int32_t y, int32_t height, int32_t angle, const char* text) override;
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
    void setWidth(int32_t pixels) override;
    void polygon(const int32_t* xy, int32_t n, bool filled) override;
    // Texts need the fonts of a QGuiApplication; without one a text is shown as its box.
    void drawText(int32_t x, int32_t y, int32_t height, int32_t angle, const char* text) override;
    int32_t copyPicture() override;
    bool showPicture(int32_t handle) override;
    void deletePicture(int32_t handle) override;
    // Needs a QGuiApplication (the clipboard is the application's); false without one.
    bool copyToClipboard(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
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
    int32_t widthPixels_ = 1;
    std::map<int32_t, QImage> pictures_;
    int32_t nextPicture_ = 1;
};

}  // namespace qor::kernel
