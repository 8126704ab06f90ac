// The drawing area of a main window (ViewPicture): the board of the open design drawn by the host
// kernel into a picture the area keeps (a QImage behind a kernel surface), with the analysis
// results on top. Every drawing step opens a kernel context on the picture and closes it again;
// the paint event only shows the picture. Overlays (rubber band, crosshair, markers) are drawn
// into the picture in exclusive-or, so a second drawing takes them away again.
#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "qor/frontend/cancel_key.h"
#include "qor/frontend/layer_table.h"
#include "qor/frontend/view_state.h"
#include "qor/kernel/kernel.h"

class QPainter;

namespace qor::widgets {

class PainterSurface;

// The four auxiliary symbols drawn with the layers: copper areas, notes, dimensions and the
// air-gap mask (kept, not drawn).
struct AuxiliarySymbols {
    int32_t copper = 0, notes = 0, dimensions = 0, airGapMask = 0;
};

class BoardView : public QWidget {
    Q_OBJECT
  public:
    explicit BoardView(QWidget* parent = nullptr);
    ~BoardView() override;

    frontend::ViewState& state() { return state_; }
    const frontend::ViewState& state() const { return state_; }
    frontend::LayerTable& layers() { return layers_; }
    AuxiliarySymbols& symbols() { return symbols_; }

    // The board extent from the outline (T_FrameTraceLines(-1, 63, ...)); false without one.
    bool ReadBoardExtent();
    const frontend::BoardExtent& boardExtent() const { return state_.extent; }
    // Zoom so that the board fills the area, centred (zoom mode Board).
    void ZoomToBoard();
    void CentreOn(double x, double y);
    // Zoom so that a box of the given size fills the area, centred on (x, y).
    void ZoomToBox(double width, double height, double x, double y);

    int32_t zoom() const { return state_.zoom(); }
    double originX() const { return state_.originX(); }
    double originY() const { return state_.originY(); }
    // The design point under a pixel of the area.
    QPointF DesignPoint(QPointF pixel) const;
    QPointF PixelOf(double x, double y) const;

    // The view's operation: 0 idle, 7 label move, 99 box selection; a pending box request starts
    // one on the next click. Either blocks closing the main window.
    int operationCode() const { return state_.operation; }
    bool pendingOperation() const { return state_.boxRequest != frontend::BoxRequest::None; }
    void setOperationCode(int code) { state_.operation = code; }
    void RequestBox(frontend::BoxRequest kind = frontend::BoxRequest::Zoom) {
        state_.boxRequest = kind;
    }
    void ClearOperation();

    // ---- drawing ----
    // The repaint of the drawing area: the cached picture when it is valid, else the whole
    // drawing of the current display state, grid and markers.
    void Repaint();
    // Discards the cached picture (every change of the picture does so before repainting).
    void Invalidate();
    // Opens a kernel context on the picture (closing any open one first) and closes it again.
    void OpenContext(bool printing = false);
    void CloseContext();
    int contextDepth() const { return contextDepth_; }
    // Runs one drawing step on the picture inside its own context.
    void DrawingStep(const std::function<void()>& draw);
    // The drawing of the current display state into the context that is open now (the view's,
    // or the printer's while printing).
    void DrawPicture(bool printing);
    // The finished picture, without the rubber band and the crosshair.
    QImage picture() const;
    // The kernel surface number of the picture.
    int32_t surfaceNumber() const { return surface_; }

    // Draws (or takes away) the grid and the markers in exclusive-or, inside an open context; the
    // grid's answer is the step the kernel really used.
    int32_t DrawGridNow();
    void DrawMarker(int index);
    // The rubber band between the first corner and the pointer (box or vector), and the
    // crosshair at the pointer, kept in the picture in exclusive-or.
    void ShowRubberBand(QPointF from, QPointF to, bool box);
    void HideRubberBand();
    void ShowCrosshair(QPoint at);
    void HideCrosshair();

    bool repainting() const { return repainting_; }
    int repaintCount() const { return repaints_; }
    int fullDrawCount() const { return fullDraws_; }
    int drawingSteps() const { return drawingSteps_; }

    // The cancel key (F10) of drawing loops; the main window feeds its presses. Tests may replace
    // the test itself.
    frontend::LatchedCancelKey& cancelKey() { return cancelKey_; }
    std::function<bool()> cancelTest;

    // Called at every repaint, resize, button release and pointer move (the status record).
    std::function<void()> onActivity;
    // The message line and the beep of the main window.
    std::function<void(const std::string&)> showMessage;
    std::function<void()> beep;
    // The zoom changed while clamping; the grid had to be adjusted to the given step.
    std::function<void()> onZoomChanged;
    std::function<void(int32_t usedStep)> onGridAdjusted;
    // Display states 1 to 4: the engine's colour map (1 board, 2 components, 3 both) and the
    // isotherms (4), drawn into the open context; the thermal front end fills it.
    std::function<void(int displayState)> drawAnalysis;
    // Mouse over the area: pointer moves and button releases (pixels of the area).
    std::function<void(QPoint)> onPointerMove;
    std::function<void(QPoint, Qt::MouseButton)> onRelease;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void ensureImage();
    void drawDesign(bool printing);
    void drawLayers();
    bool cancelNow();
    void drawRubberBand(QImage& target);
    void drawCrosshair(QImage& target);
    bool busy() const;
    bool anotherViewDraws() const;

    frontend::ViewState state_;
    frontend::LayerTable layers_;
    AuxiliarySymbols symbols_;
    frontend::LatchedCancelKey cancelKey_;
    PainterSurface* surfaceObject_ = nullptr;  // owned by the kernel
    int32_t surface_ = 0;
    QImage image_;
    std::unique_ptr<QPainter> painter_;
    int contextDepth_ = 0;
    bool repainting_ = false;
    bool inPaintEvent_ = false;
    bool repaintAgain_ = false;
    bool imageDirty_ = true;

    // The cached picture: the kernel's handle of the picture kept in pictures_.
    int32_t cachedView_ = 0;
    QPoint cachedPlace_;
    bool cachedPartlyOff_ = false;
    std::map<int32_t, QImage> pictures_;
    int32_t nextPicture_ = 1;

    bool bandShown_ = false;
    QPointF bandFrom_, bandTo_;
    bool bandBox_ = true;
    bool crossShown_ = false;
    QPoint crossAt_;

    int repaints_ = 0;
    int fullDraws_ = 0;
    int drawingSteps_ = 0;
};

}  // namespace qor::widgets
