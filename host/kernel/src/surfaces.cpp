#include "surfaces.h"

#include <QClipboard>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "palette.h"
#include "text_metrics.h"

namespace qor::kernel {

namespace {
std::string join(const char* name, std::initializer_list<int64_t> args) {
    std::string s = name;
    for (const int64_t a : args) s += " " + std::to_string(a);
    return s + "\n";
}
}  // namespace

void RecordingSurface::begin(const KViewRecord& v) {
    text_ += join("G_OpenDC", {v.zoom, v.width, v.height, v.originX, v.originY, v.drawFlags});
}
void RecordingSurface::end() { text_ += "G_CloseDC\n"; }
void RecordingSurface::setColor(int32_t colour) { text_ += join("G_SetColor", {colour}); }
void RecordingSurface::setStyle(int32_t style) { text_ += join("G_SetStyle", {style}); }
void RecordingSurface::rectangle(int32_t x, int32_t y, int32_t w, int32_t h, int32_t angle) {
    text_ += join("G_Rectangle", {x, y, w, h, angle});
}
void RecordingSurface::line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t widthUnits) {
    text_ += widthUnits ? join("G_Line", {x1, y1, x2, y2, widthUnits}) : join("G_Line", {x1, y1, x2, y2});
}
void RecordingSurface::setDrawMode(int32_t drawFlags) { text_ += join("G_SetDrawMode", {drawFlags}); }

void RecordingSurface::setWidth(int32_t pixels) {
    text_ += join("G_SetWidth", {pixels});
}

void RecordingSurface::polygon(const int32_t* xy, int32_t n, bool filled) {
    std::string s = filled ? "G_Polygon 1" : "G_Polygon 0";
    for (int32_t i = 0; i < 2 * n; ++i) s += " " + std::to_string(xy[i]);
    text_ += s + "\n";
}

void RecordingSurface::drawText(int32_t x, int32_t y, int32_t height, int32_t angle,
                                const char* text) {
    std::string s = join("G_Text", {x, y, height, angle});
    s.pop_back();
    text_ += s + " " + (text ? text : "") + "\n";
}

void RecordingSurface::circle(int32_t x, int32_t y, int32_t radius, bool filled) {
    text_ += join("G_Circle", {x, y, radius, filled ? 1 : 0});
}

RasterSurface::RasterSurface(int width, int height) : image_(width, height, QImage::Format_RGB32) {
    image_.fill(QColor::fromRgb(paletteRgb(0)));
}

QPainter& RasterSurface::painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
        if (xor_) painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    }
    return *painter_;
}

void RasterSurface::setDrawMode(int32_t drawFlags) {
    xor_ = (drawFlags & K_DRAW_XOR) == K_DRAW_XOR;
    if (painter_)
        painter_->setCompositionMode(xor_ ? QPainter::RasterOp_SourceXorDestination
                                          : QPainter::CompositionMode_SourceOver);
}

void RasterSurface::begin(const KViewRecord& view) {
    // A context starts with a hairline pen in the normal mode; the kernel passes on its own pen
    // width and draw mode when they differ.
    map_ = ViewMapping(view);
    widthPixels_ = 1;
    setDrawMode(0);
}

void RasterSurface::end() { painter_.reset(); }

void RasterSurface::setColor(int32_t colour) { rgb_ = paletteRgb(colour) | 0xFF000000u; }

void RasterSurface::setStyle(int32_t style) { filled_ = style != 0; }

void RasterSurface::fillPixels(int left, int top, int right, int bottom) {
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, image_.width()), bottom = std::min(bottom, image_.height());
    if (left >= right || top >= bottom) return;
    for (int row = top; row < bottom; ++row) {
        auto* line = reinterpret_cast<uint32_t*>(image_.scanLine(row));
        if (xor_) {
            for (int x = left; x < right; ++x) line[x] ^= rgb_ & 0x00FFFFFFu;
        } else {
            std::fill(line + left, line + right, rgb_);
        }
    }
}

void RasterSurface::rectangle(int32_t x, int32_t y, int32_t w, int32_t h, int32_t angle) {
    const double x0 = map_.px(x), x1 = map_.px(static_cast<double>(x) + w);
    const double y0 = map_.py(static_cast<double>(y) + h), y1 = map_.py(y);  // top, bottom on the device
    if (angle % 360000 == 0 && filled_) {
        // Edges round to the nearest pixel boundary so that neighbouring cells tile without gaps;
        // anything smaller than a pixel still covers one.
        int left = static_cast<int>(std::lround(std::min(x0, x1)));
        int right = static_cast<int>(std::lround(std::max(x0, x1)));
        int top = static_cast<int>(std::lround(y0));
        int bottom = static_cast<int>(std::lround(y1));
        if (right == left) ++right;
        if (bottom == top) ++bottom;
        fillPixels(left, top, right, bottom);
        return;
    }
    QPainter& p = painter();
    const QRectF r(QPointF(std::min(x0, x1), y0), QPointF(std::max(x0, x1), y1));
    QTransform t;
    t.translate(r.center().x(), r.center().y());
    t.rotate(-angle / 1000.0);  // counter-clockwise in the design, Y up
    t.translate(-r.center().x(), -r.center().y());
    const QPolygonF shape = t.map(QPolygonF(r));
    p.setPen(QColor::fromRgb(rgb_));
    p.setBrush(filled_ ? QBrush(QColor::fromRgb(rgb_)) : Qt::NoBrush);
    p.drawPolygon(shape);
}

void RasterSurface::line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t widthUnits) {
    QPainter& p = painter();
    QPen pen(QColor::fromRgb(rgb_));
    pen.setWidthF(widthUnits > 0 ? std::max(1.0, widthUnits / map_.zoom) : widthPixels_);
    pen.setCapStyle(Qt::RoundCap);
    p.setPen(pen);
    p.drawLine(QPointF(map_.px(x1), map_.py(y1)), QPointF(map_.px(x2), map_.py(y2)));
}

void RasterSurface::circle(int32_t x, int32_t y, int32_t radius, bool filled) {
    QPainter& p = painter();
    p.setPen(QColor::fromRgb(rgb_));
    p.setBrush(filled ? QBrush(QColor::fromRgb(rgb_)) : Qt::NoBrush);
    const double r = std::max(1.0, radius / map_.zoom);
    p.drawEllipse(QPointF(map_.px(x), map_.py(y)), r, r);
}

void RasterSurface::setWidth(int32_t pixels) {
    widthPixels_ = std::max(pixels, 1);
}

void RasterSurface::polygon(const int32_t* xy, int32_t n, bool filled) {
    if (!xy || n < 2) return;
    QPolygonF shape;
    for (int32_t i = 0; i < n; ++i) shape << QPointF(map_.px(xy[2 * i]), map_.py(xy[2 * i + 1]));
    QPainter& p = painter();
    QPen pen(QColor::fromRgb(rgb_));
    pen.setWidthF(widthPixels_);
    p.setPen(pen);
    p.setBrush(filled ? QBrush(QColor::fromRgb(rgb_)) : Qt::NoBrush);
    p.drawPolygon(shape);
}

void RasterSurface::drawText(int32_t x, int32_t y, int32_t height, int32_t angle,
                             const char* text) {
    if (!text || height <= 0) return;
    const QString s = QString::fromLatin1(text);
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        const auto c = textCorners(x, y, height, angle, s.size());
        for (size_t i = 0; i < c.size(); ++i) {
            const auto& a = c[i];
            const auto& b = c[(i + 1) % c.size()];
            line(a.x, a.y, b.x, b.y, 0);
        }
        return;
    }
    QPainter& p = painter();
    p.save();
    QFont font;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(height / map_.zoom))));
    p.setFont(font);
    p.setPen(QColor::fromRgb(rgb_));
    p.translate(map_.px(x), map_.py(y));
    p.rotate(map_.mirror ? angle / 1000.0 : -angle / 1000.0);  // counter-clockwise in the design
    p.drawText(QPointF(0, -QFontMetricsF(font).descent()), s);
    p.restore();
}

int32_t RasterSurface::copyPicture() {
    painter_.reset();
    const int32_t handle = nextPicture_++;
    pictures_[handle] = image_.copy();
    return handle;
}

bool RasterSurface::showPicture(int32_t handle) {
    const auto it = pictures_.find(handle);
    if (it == pictures_.end() || it->second.size() != image_.size()) return false;
    painter_.reset();
    image_ = it->second.copy();
    return true;
}

void RasterSurface::deletePicture(int32_t handle) {
    pictures_.erase(handle);
}

bool RasterSurface::copyToClipboard(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
    const QRect area = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)) & image_.rect();
    if (area.isEmpty()) return false;
    painter_.reset();
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setImage(image_.copy(area));
    return true;
}

bool RasterSurface::savePng(const std::string& path) {
    painter_.reset();
    // QSaveFile writes beside the target and renames on commit: no half-written picture.
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (!image_.save(&file, "PNG")) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace qor::kernel
