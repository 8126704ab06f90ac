// The drawing area of a main window (ViewPicture): the board of the open design drawn by the host
// kernel onto a Qt surface, with zoom, centring and the box operation of the view.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>

#include "qor/kernel/kernel.h"

namespace qor::widgets {

struct PaintTarget;

class BoardView : public QWidget {
    Q_OBJECT
  public:
    explicit BoardView(QWidget* parent = nullptr);
    ~BoardView() override;

    // The board extent from the outline (T_FrameTraceLines(-1, 63, ...)); false without one.
    bool ReadBoardExtent();
    const KRect& boardExtent() const { return extent_; }
    // Zoom so that the board fills the area, centred.
    void ZoomToBoard();
    void CentreOn(double x, double y);
    // Zoom (kernel units per pixel, 100 to 2540000) so that a box of the given size fills the
    // area, centred on (x, y).
    void ZoomToBox(double width, double height, double x, double y);

    int32_t zoom() const { return zoom_; }
    double originX() const { return originX_; }
    double originY() const { return originY_; }
    // The design point under a pixel of the area.
    QPointF DesignPoint(QPointF pixel) const;

    // The view's operation: 0 idle, 99 box selection; a pending box request starts one on the
    // next click. Either blocks closing the main window.
    int operationCode() const { return operation_; }
    bool pendingOperation() const { return boxRequested_; }
    void setOperationCode(int code) { operation_ = code; }
    void RequestBox() { boxRequested_ = true; }
    void ClearOperation() {
        operation_ = 0;
        boxRequested_ = false;
    }

    int repaintCount() const { return repaints_; }

    // Called at every repaint, resize, button release and pointer move (the status record).
    std::function<void()> onActivity;
    // Asked before an operation starts; false refuses it (another analyzer is busy).
    std::function<bool()> mayStartOperation;
    // The pointer's design point, for the read-out.
    std::function<void(double x, double y)> onPointer;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void clickAt(QPointF design);

    std::shared_ptr<PaintTarget> target_;
    int32_t surface_ = 0;
    KRect extent_{};
    bool extentValid_ = false;
    int32_t zoom_ = 2540;
    double originX_ = 0, originY_ = 0;
    int operation_ = 0;
    bool boxRequested_ = false;
    QPointF boxCorner_;
    int repaints_ = 0;
    bool fitBoard_ = false;
};

}  // namespace qor::widgets
