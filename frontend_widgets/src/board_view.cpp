#include "qor/widgets/board_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "qor/kernel/surface.h"
#include "qor/widgets/painter_surface.h"

namespace qor::widgets {

namespace {

constexpr int32_t kMinZoom = 100;
constexpr int32_t kMaxZoom = 2540000;
constexpr double kDesignLimit = 2.2e8;

}  // namespace

// The painter that a paint event lends to the kernel's drawing calls.
struct PaintTarget {
    PainterSurface* surface = nullptr;
};

BoardView::BoardView(QWidget* parent) : QWidget(parent), target_(std::make_shared<PaintTarget>()) {
    auto surface = std::make_unique<PainterSurface>();
    target_->surface = surface.get();
    setObjectName("ViewPicture");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_ = kernel::attachSurface(std::move(surface));
}

BoardView::~BoardView() {
    if (surface_) G_DeleteSurface(surface_);
}

bool BoardView::ReadBoardExtent() {
    extentValid_ = T_FrameTraceLines(-1, 63, &extent_) != 0 && extent_.right > extent_.left &&
                   extent_.top > extent_.bottom;
    return extentValid_;
}

void BoardView::ZoomToBoard() {
    if (!extentValid_) return;
    ZoomToBox(double(extent_.right) - extent_.left, double(extent_.top) - extent_.bottom,
              (double(extent_.left) + extent_.right) / 2,
              (double(extent_.bottom) + extent_.top) / 2);
    // The area gets its final size when the window is laid out: the board fills it then too.
    fitBoard_ = true;
}

void BoardView::CentreOn(double x, double y) {
    fitBoard_ = false;
    originX_ = std::clamp(x, -kDesignLimit, kDesignLimit);
    originY_ = std::clamp(y, -kDesignLimit, kDesignLimit);
    update();
}

void BoardView::ZoomToBox(double width, double height, double x, double y) {
    const double w = std::max(1, this->width() - 20), h = std::max(1, this->height() - 20);
    const double z = std::max(std::fabs(width) / w, std::fabs(height) / h);
    zoom_ = static_cast<int32_t>(std::clamp(std::ceil(z), double(kMinZoom), double(kMaxZoom)));
    CentreOn(x, y);
}

QPointF BoardView::DesignPoint(QPointF pixel) const {
    return {originX_ + (pixel.x() - width() / 2.0) * zoom_,
            originY_ - (pixel.y() - height() / 2.0) * zoom_};
}

void BoardView::paintEvent(QPaintEvent*) {
    if (onActivity) onActivity();
    QPainter painter(this);
    painter.fillRect(rect(), PaletteColour(0));
    const int32_t* busy = E_SysTable(17);
    if (busy && busy[0] != 0) return;
    ++repaints_;
    painter.setRenderHint(QPainter::Antialiasing);
    target_->surface->setPainter(&painter);
    const KViewRecord view{
        zoom_,   width(), height(), static_cast<int32_t>(originX_), static_cast<int32_t>(originY_),
        0x20 | 4};
    G_OpenDC(surface_, &view);
    G_SetStyle(0);
    G_SetColor(93);
    T_DrawAllRecords(-1, 1);
    L_DrawAllComponents(1);
    T_DrawAllTraceMask(1, 1);
    V_DrawAllVias(1);
    G_CloseDC();
    target_->surface->setPainter(nullptr);
    if (operation_ == 99) {
        const QPointF a(width() / 2.0 + (boxCorner_.x() - originX_) / zoom_,
                        height() / 2.0 - (boxCorner_.y() - originY_) / zoom_);
        const QPointF b = mapFromGlobal(QCursor::pos());
        painter.setPen(QPen(Qt::white, 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(a, b).normalized());
    }
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
    const int32_t* busy = E_SysTable(17);
    if (busy && busy[0] != 0) return;
    const QPointF p = DesignPoint(event->position());
    if (onPointer) onPointer(p.x(), p.y());
    if (operation_ == 99) update();
    if (onActivity) onActivity();
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF p = DesignPoint(event->position());
    if (event->button() == Qt::LeftButton)
        clickAt(p);
    else if (event->button() == Qt::RightButton)
        CentreOn(p.x(), p.y());
    if (onActivity) onActivity();
}

void BoardView::clickAt(QPointF design) {
    if (operation_ == 99) {  // second click: zoom to the box
        const QPointF a = boxCorner_;
        ClearOperation();
        ZoomToBox(design.x() - a.x(), design.y() - a.y(), (a.x() + design.x()) / 2,
                  (a.y() + design.y()) / 2);
        return;
    }
    if (!boxRequested_) return;
    if (mayStartOperation && !mayStartOperation()) return;
    boxRequested_ = false;
    operation_ = 99;
    boxCorner_ = design;
}

void BoardView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (fitBoard_) ZoomToBoard();
    if (onActivity) onActivity();
}

}  // namespace qor::widgets
