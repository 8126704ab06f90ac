#include "qor/widgets/painter_surface.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>

namespace qor::widgets {

QColor PaletteColour(int32_t index) {
    const auto rgb = static_cast<uint32_t>(G_PaletteRgb(index));
    return QColor((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void PainterSurface::begin(const KViewRecord& view) {
    map_ = kernel::ViewMapping(view);
    applyMode();
}

void PainterSurface::setColor(int32_t colour) {
    colour_ = PaletteColour(colour);
}

void PainterSurface::setDrawMode(int32_t drawFlags) {
    exclusiveOr_ = (drawFlags & K_DRAW_XOR) == K_DRAW_XOR;
    applyMode();
}

// Exclusive-or drawing inverts what lies below, so a second drawing restores it; it needs a raster
// device (an image), other devices paint normally.
void PainterSurface::applyMode() {
    if (!painter_) return;
    const bool raster = painter_->device() && painter_->device()->devType() == QInternal::Image;
    painter_->setCompositionMode(exclusiveOr_ && raster ? QPainter::RasterOp_SourceXorDestination
                                                        : QPainter::CompositionMode_SourceOver);
    painter_->setRenderHint(QPainter::Antialiasing, !(exclusiveOr_ && raster));
}

void PainterSurface::rectangle(int32_t x, int32_t y, int32_t width, int32_t height, int32_t angle) {
    if (!painter_) return;
    const QRectF r(QPointF(map_.px(x), map_.py(double(y) + height)),
                   QPointF(map_.px(double(x) + width), map_.py(y)));
    painter_->save();
    if (angle != 0) {
        painter_->translate(r.normalized().center());
        painter_->rotate(-angle / 1000.0);
        painter_->translate(-r.normalized().center());
    }
    painter_->setPen(QPen(colour_, widthPixels_));
    painter_->setBrush(filled_ ? QBrush(colour_) : Qt::NoBrush);
    painter_->drawRect(r.normalized());
    painter_->restore();
}

void PainterSurface::line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t widthUnits) {
    if (!painter_) return;
    QPen pen(colour_);
    pen.setWidthF(widthUnits > 0 ? std::max(1.0, widthUnits / map_.zoom) : double(widthPixels_));
    pen.setCapStyle(Qt::RoundCap);
    painter_->setPen(pen);
    painter_->drawLine(QPointF(map_.px(x1), map_.py(y1)), QPointF(map_.px(x2), map_.py(y2)));
}

void PainterSurface::circle(int32_t x, int32_t y, int32_t radius, bool filled) {
    if (!painter_) return;
    const double r = std::max(0.5, radius / map_.zoom);
    painter_->setPen(QPen(colour_, widthPixels_));
    painter_->setBrush(filled ? QBrush(colour_) : Qt::NoBrush);
    painter_->drawEllipse(QPointF(map_.px(x), map_.py(y)), r, r);
}

void PainterSurface::polygon(const int32_t* xy, int32_t n, bool filled) {
    if (!painter_ || n < 2) return;
    QPolygonF points;
    for (int32_t i = 0; i < n; ++i) points << QPointF(map_.px(xy[2 * i]), map_.py(xy[2 * i + 1]));
    painter_->setPen(QPen(colour_, widthPixels_));
    painter_->setBrush(filled ? QBrush(colour_) : Qt::NoBrush);
    painter_->drawPolygon(points);
}

void PainterSurface::drawText(int32_t x, int32_t y, int32_t height, int32_t angle,
                              const char* text) {
    if (!painter_ || !text || !*text) return;
    const double pixels = height / map_.zoom;
    if (pixels < 2) return;  // too small to read: leave it out
    QFont font = painter_->font();
    font.setPixelSize(std::max(1, static_cast<int>(pixels)));
    painter_->save();
    painter_->setFont(font);
    painter_->setPen(colour_);
    painter_->translate(map_.px(x), map_.py(y));
    if (angle != 0) painter_->rotate(-angle / 1000.0);
    painter_->drawText(QPointF(0, 0), QString::fromUtf8(text));
    painter_->restore();
}

}  // namespace qor::widgets
