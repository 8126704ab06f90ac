#include "qor/widgets/board_view.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "qor/frontend/localization.h"
#include "qor/kernel/surface.h"
#include "qor/widgets/painter_surface.h"

namespace qor::widgets {

using frontend::LocalText;

namespace {

constexpr int32_t kDatumSide = 157480;  // the datum marks: 0.062 inch squares
constexpr int32_t kDatumHalf = 78740;
constexpr int32_t kOutlineColour = 93;
constexpr int32_t kRatsnestColour = 66;
constexpr int32_t kBackgroundColour = 223;
constexpr int32_t kWhite = 15;
constexpr int kSmallCross = 16;  // pixels each way

}  // namespace

BoardView::BoardView(QWidget* parent) : QWidget(parent) {
    auto surface = std::make_unique<PainterSurface>();
    surfaceObject_ = surface.get();
    // The kernel's picture calls keep copies of the picture under handles of our own.
    surfaceObject_->onCopyPicture = [this] {
        const int32_t handle = nextPicture_++;
        pictures_[handle] = image_;  // shared until either is drawn on
        return handle;
    };
    surfaceObject_->onShowPicture = [this](int32_t handle) {
        const auto it = pictures_.find(handle);
        if (it == pictures_.end() || it->second.size() != image_.size()) return false;
        image_ = it->second;
        update();
        return true;
    };
    surfaceObject_->onDeletePicture = [this](int32_t handle) { pictures_.erase(handle); };
    surfaceObject_->onCopyToClipboard = [this](int32_t left, int32_t top, int32_t right,
                                               int32_t bottom) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        const QRect r =
            QRect(QPoint(left, top), QPoint(right, bottom)).normalized() & image_.rect();
        if (!clipboard || r.isEmpty()) return false;
        clipboard->setImage(picture().copy(r));
        return true;
    };
    setObjectName("ViewPicture");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
    setAttribute(Qt::WA_OpaquePaintEvent);
    surface_ = kernel::attachSurface(std::move(surface));
}

BoardView::~BoardView() {
    while (contextDepth_ > 0) CloseContext();
    if (cachedView_) G_DeleteObject(cachedView_);
    if (surface_) G_DeleteSurface(surface_);
}

bool BoardView::busy() const {
    const int32_t* word = E_SysTable(17);
    return word && word[0] != 0;
}

// ---- view transform -----------------------------------------------------------------------------

bool BoardView::ReadBoardExtent() {
    KRect r{};
    frontend::BoardExtent& e = state_.extent;
    e.valid = T_FrameTraceLines(-1, 63, &r) != 0 && r.right > r.left && r.top > r.bottom;
    if (e.valid) e = {r.left, r.bottom, r.right, r.top, true};
    return e.valid;
}

void BoardView::ZoomToBoard() {
    if (!ReadBoardExtent()) return;
    const frontend::BoardExtent& e = state_.extent;
    const double ratio =
        std::max(e.width() / std::max(1, width()), e.height() / std::max(1, height()));
    state_.setZoom(ratio <= 1 ? 1 : static_cast<int32_t>(ratio) + 635);
    state_.setOrigin((double(e.left) + e.right) / 2, (double(e.bottom) + e.top) / 2);
    Invalidate();
}

void BoardView::CentreOn(double x, double y) {
    state_.setOrigin(x, y);
    Invalidate();
}

void BoardView::ZoomToBox(double width, double height, double x, double y) {
    const double ratio = std::max(std::fabs(width) / std::max(1, this->width()),
                                  std::fabs(height) / std::max(1, this->height()));
    state_.setZoom(static_cast<int32_t>(std::max(1.0, ratio)));
    CentreOn(x, y);
}

QPointF BoardView::DesignPoint(QPointF pixel) const {
    const auto p = state_.DesignPoint(pixel.x(), pixel.y(), width(), height());
    return {p.first, p.second};
}

QPointF BoardView::PixelOf(double x, double y) const {
    const auto p = state_.PixelOf(x, y, width(), height());
    return {p.first, p.second};
}

void BoardView::ClearOperation() {
    HideRubberBand();
    state_.operation = frontend::kOperationIdle;
    state_.boxRequest = frontend::BoxRequest::None;
}

// ---- contexts -----------------------------------------------------------------------------------

void BoardView::ensureImage() {
    const QSize s(std::max(1, width()), std::max(1, height()));
    if (image_.size() == s || painter_) return;  // a picture being drawn keeps its size
    image_ = QImage(s, QImage::Format_RGB32);
    image_.fill(Qt::black);
    imageDirty_ = true;
    bandShown_ = crossShown_ = false;
}

void BoardView::OpenContext(bool printing) {
    while (contextDepth_ > 0) CloseContext();
    ensureImage();
    painter_ = std::make_unique<QPainter>(&image_);
    surfaceObject_->setPainter(painter_.get());
    const KViewRecord view{state_.zoom(),
                           image_.width(),
                           image_.height(),
                           static_cast<int32_t>(std::lround(state_.originX())),
                           static_cast<int32_t>(std::lround(state_.originY())),
                           state_.ContextFlags(printing)};
    G_OpenDC(surface_, &view);
    G_SetDrawMode(view.drawFlags);
    ++contextDepth_;
    ++drawingSteps_;
}

void BoardView::CloseContext() {
    contextDepth_ = std::max(0, contextDepth_ - 1);
    G_CloseDC();
    surfaceObject_->setPainter(nullptr);
    painter_.reset();
    update();
}

// The kernel has one drawing context for the whole process (shared by both analyzers' libraries):
// while another drawing area draws into it (and lets events run to poll the cancel key), this
// one draws once that has finished.
bool BoardView::anotherViewDraws() const {
    const int32_t open = G_ContextSurface();
    return open != 0 && open != surface_;
}

void BoardView::DrawingStep(const std::function<void()>& draw) {
    if (anotherViewDraws()) {
        QTimer::singleShot(0, this, [this, draw] { DrawingStep(draw); });
        return;
    }
    OpenContext();
    draw();
    CloseContext();
}

// ---- repaint ------------------------------------------------------------------------------------

void BoardView::Invalidate() {
    if (cachedView_) G_DeleteObject(cachedView_);
    cachedView_ = 0;
}

void BoardView::Repaint() {
    if (onActivity) onActivity();
    if (repainting_) {
        // Asked for while drawing (an event run while the cancel key is polled): once more after.
        repaintAgain_ = true;
        return;
    }
    if (anotherViewDraws()) {
        QTimer::singleShot(0, this, [this] { Repaint(); });
        return;
    }
    ensureImage();
    const QPoint place = mapToGlobal(QPoint(0, 0));
    // The cached picture, unless the window lay partly off the screen and has moved since; the
    // kernel refuses it when the area has changed size.
    if (cachedView_ && !(cachedPartlyOff_ && place != cachedPlace_) && G_DispView(cachedView_)) {
        bandShown_ = crossShown_ = false;
        ++repaints_;
        update();
        return;
    }
    while (contextDepth_ > 0) CloseContext();
    if (busy()) return;
    repainting_ = true;
    ++repaints_;
    ++fullDraws_;
    image_.fill(PaletteColour(state_.monochrome() ? kWhite : G_BackgroundColor()));
    bandShown_ = crossShown_ = false;
    layers_.WriteToKernel();
    if (showMessage) showMessage(LocalText("Redraw in progress....", 991097));
    if (G_ThickPenCount() > 32) G_FreeThickPen(0, 0);
    if (state_.Clamp(image_.width(), image_.height()) && onZoomChanged) onZoomChanged();
    frontend::CancelRequested(cancelKey_);  // a key pressed before the drawing does not count
    state_.cancelled = false;

    OpenContext();
    DrawPicture(false);
    int32_t usedStep = state_.gridStep;
    if (state_.gridOn && !state_.cancelled) usedStep = DrawGridNow();
    for (int i = 0; i < 4; ++i)
        if (state_.markers[static_cast<size_t>(i)].shown) DrawMarker(i);
    CloseContext();

    std::string message;
    if (state_.cancelled) {
        message = LocalText(" Redraw Cancelled <F10>", 991096);
        if (beep) beep();
    } else if (state_.gridOn && usedStep > 0 && usedStep != state_.gridStep) {
        if (beep) beep();
        message = LocalText("Selected grid cannot be displayed in current precision. Grid adjusted",
                            991455);
        state_.gridStep = usedStep;
        if (onGridAdjusted) onGridAdjusted(usedStep);
    }
    if (showMessage) showMessage(message);

    Invalidate();
    cachedView_ = G_CopyView();
    cachedPlace_ = place;
    const QScreen* screen = this->screen();
    cachedPartlyOff_ = screen && !screen->geometry().contains(QRect(place, size()));
    imageDirty_ = false;
    repainting_ = false;
    update();
    if (repaintAgain_) {
        repaintAgain_ = false;
        Invalidate();
        Repaint();
    }
}

bool BoardView::cancelNow() {
    if (state_.cancelled) return true;
    bool cancel;
    if (cancelTest) {
        cancel = cancelTest();
    } else {
        // The key is polled: let its events arrive (the window takes only F10 while drawing);
        // not inside a paint event, whose painting must not be interrupted.
        if (!inPaintEvent_) QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
        cancel = frontend::CancelRequested(cancelKey_);
    }
    if (cancel) state_.cancelled = true;
    return cancel;
}

void BoardView::DrawPicture(bool printing) {
    const int s = state_.displayState;
    const int32_t flags = state_.ContextFlags(printing);
    if (s >= 1 && s <= 3) {
        G_SetDrawMode(4);
        G_SetStyle(16);
        if (drawAnalysis) drawAnalysis(s);
        G_SetDrawMode(flags);
        drawDesign(printing);
    } else if (s == 4) {
        drawDesign(printing);
        if (cancelNow()) return;
        G_SetColor(state_.monochrome() ? 0 : kWhite);
        if (drawAnalysis) drawAnalysis(s);
        T_DrawLayoutAllTexts(state_.em() ? 8 : 4);
        G_SetDrawMode(flags);
        G_SetStyle(16);
    } else {
        drawDesign(printing);
    }
}

void BoardView::drawDesign(bool printing) {
    const bool mono = state_.monochrome();
    const int32_t flags = state_.ContextFlags(printing);
    if (cancelNow()) return;
    // The colour maps of display states 1 to 3 lie under the design: no background over them.
    const bool colourMap = state_.displayState >= 1 && state_.displayState <= 3;
    if (!printing && !colourMap) {
        G_SetStyle(2);
        G_SetColor(mono ? kWhite : kBackgroundColour);
        G_Rectangle(-220000000, -220000000, 440000000, 440000000, 0);
    }
    if (cancelNow()) return;
    const uint32_t mask = frontend::KernelLayerMask();
    G_SetStyle(0);
    G_SetColor(mono ? 0 : kOutlineColour);
    frontend::SetKernelLayerMask(mask | 1u);
    // The outline in exclusive-or; in monochrome (black on white) exclusive-or would leave black
    // invisible, so it is drawn plainly there.
    G_SetDrawMode(mono ? flags : flags | frontend::kDrawXorBits);
    T_DrawAllRecords(-1, 1);
    if (!cancelNow()) {
        G_SetWidth(1);
        KTraceRecord outline{};
        KTracePoint first{};
        if (T_ReadTrace(-1, &outline) && !(outline.flags & K_TRACE_NO_DATUM) &&
            T_ReadRecord(-1, 1, &first)) {
            G_Rectangle(first.x - kDatumHalf, first.y - kDatumHalf, kDatumSide, kDatumSide, 0);
            const auto below = static_cast<int32_t>(std::lround(std::sqrt(2.0) * kDatumHalf));
            G_Rectangle(state_.extent.left, state_.extent.bottom - below, kDatumSide, kDatumSide,
                        45000);
        }
    }
    frontend::SetKernelLayerMask(mask);
    G_SetDrawMode(flags);
    if (cancelNow()) return;
    drawLayers();
    if (cancelNow()) return;
    if (state_.nodes) N_DrawAllNodes(1);
    if (cancelNow()) return;
    if (state_.ratsnest) {
        G_SetColor(kRatsnestColour);
        const int32_t nets = DB_NetMap();
        int32_t cursor = OM_GetFirst(nets);
        for (int32_t net; (net = OM_SearchMask(nets, &cursor, 1, 1)) != 0;) {
            N_DrawNetRatsnest(net);
            if (cancelNow()) return;
        }
    }
}

void BoardView::drawLayers() {
    const uint32_t saved = frontend::KernelLayerMask();
    for (uint32_t pass :
         frontend::LayerPasses(saved, DB_ActiveLayer(), state_.layerOrder, state_.mirrored())) {
        if (cancelNow()) break;
        frontend::SetKernelLayerMask(pass);
        if (state_.copper && symbols_.copper) S_DrawSymbol(symbols_.copper, -1, -1);
        if (state_.notes && symbols_.notes) S_DrawSymbol(symbols_.notes, -1, -1);
        if (state_.dimensions && symbols_.dimensions) S_DrawSymbol(symbols_.dimensions, -1, -1);
        L_DrawAllComponents(1);
        T_DrawAllTraceMask(1, 1);
        V_DrawAllVias(1);
        T_DrawLayoutAllTexts(1);
    }
    frontend::SetKernelLayerMask(saved);
}

int32_t BoardView::DrawGridNow() {
    const KRect pixels{0, 0, image_.width(), image_.height()};
    const int32_t flags = G_GetDrawMode();
    G_SetDrawMode(flags | frontend::kDrawXorBits);
    const int32_t used = G_DrawGrid(&pixels, state_.gridStep, 1);
    G_SetDrawMode(flags);
    return used;
}

void BoardView::DrawMarker(int index) {
    const frontend::Marker& m = state_.markers.at(static_cast<size_t>(index));
    const int32_t flags = G_GetDrawMode();
    const int32_t z = state_.zoom();
    const auto x = static_cast<int32_t>(std::lround(m.x));
    const auto y = static_cast<int32_t>(std::lround(m.y));
    G_SetDrawMode(flags | frontend::kDrawXorBits);
    G_SetColor(kWhite);
    if (index == frontend::kRefPointMarker) {
        G_SetStyle(0);
        G_Circle(x, y, 4 * z);
        G_Line(x - 8 * z, y, x + 8 * z, y);
        G_Line(x, y - 8 * z, x, y + 8 * z);
    } else {
        G_Triangle(x, y, 8 * z, index == 0 ? 0 : index == 1 ? 1 : 2);
    }
    G_SetDrawMode(flags);
}

// ---- overlays -----------------------------------------------------------------------------------

void BoardView::drawRubberBand(QImage& target) {
    QPainter p(&target);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1));
    const QPointF a = PixelOf(bandFrom_.x(), bandFrom_.y()), b = PixelOf(bandTo_.x(), bandTo_.y());
    if (bandBox_) {
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(a, b).normalized());
    } else {
        p.drawLine(a, b);
    }
    update();
}

void BoardView::ShowRubberBand(QPointF from, QPointF to, bool box) {
    if (painter_) return;
    ensureImage();
    if (bandShown_) drawRubberBand(image_);  // takes the old one away
    bandFrom_ = from;
    bandTo_ = to;
    bandBox_ = box;
    drawRubberBand(image_);
    bandShown_ = true;
}

void BoardView::HideRubberBand() {
    if (!bandShown_ || painter_) return;
    drawRubberBand(image_);
    bandShown_ = false;
}

void BoardView::drawCrosshair(QImage& target) {
    QPainter p(&target);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    p.setPen(QPen(Qt::white, 1));
    const int arm = state_.operation != 0 ? kSmallCross / 2 : kSmallCross;
    if (state_.fullCrosshair) {
        p.drawLine(0, crossAt_.y(), target.width(), crossAt_.y());
        p.drawLine(crossAt_.x(), 0, crossAt_.x(), target.height());
    } else {
        p.drawLine(crossAt_.x() - arm, crossAt_.y(), crossAt_.x() + arm, crossAt_.y());
        p.drawLine(crossAt_.x(), crossAt_.y() - arm, crossAt_.x(), crossAt_.y() + arm);
    }
    update();
}

void BoardView::ShowCrosshair(QPoint at) {
    if (painter_) return;
    ensureImage();
    if (crossShown_) drawCrosshair(image_);
    crossAt_ = at;
    drawCrosshair(image_);
    crossShown_ = true;
}

void BoardView::HideCrosshair() {
    if (!crossShown_ || painter_) return;
    drawCrosshair(image_);
    crossShown_ = false;
}

QImage BoardView::picture() const {
    if (!bandShown_ && !crossShown_) return image_;
    // The overlays drawn once more in exclusive-or leave the picture without them.
    QImage clean = image_.copy();
    auto* self = const_cast<BoardView*>(this);
    if (bandShown_) self->drawRubberBand(clean);
    if (crossShown_) self->drawCrosshair(clean);
    return clean;
}

// ---- events -------------------------------------------------------------------------------------

void BoardView::paintEvent(QPaintEvent*) {
    ensureImage();
    if (imageDirty_ && !repainting_ && isEnabled()) {
        if (anotherViewDraws()) {
            QTimer::singleShot(0, this, [this] { update(); });  // shown once the other is done
        } else {
            inPaintEvent_ = true;
            Repaint();
            inPaintEvent_ = false;
        }
    }
    QPainter painter(this);
    painter.drawImage(0, 0, image_);
}

void BoardView::mouseMoveEvent(QMouseEvent* event) {
    if (repainting_ || busy()) return;
    if (onPointerMove) onPointerMove(event->position().toPoint());
    if (onActivity) onActivity();
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
    if (repainting_) return;
    if (onRelease) onRelease(event->position().toPoint(), event->button());
    if (onActivity) onActivity();
}

void BoardView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (repainting_) {  // the drawing under way finishes on the old picture
        imageDirty_ = true;
        return;
    }
    while (contextDepth_ > 0) CloseContext();
    Invalidate();
    imageDirty_ = true;
    if (onActivity) onActivity();
}

}  // namespace qor::widgets
