// The state of a main window's view and the arithmetic behind it: zoom, origin and scroll bars,
// clamping to the design area, the zoom, grid and snap boxes and their lists, the read-out and
// rubber-band texts, the typed reference point and the order in which the layers are drawn. No
// windows here: the drawing area and the main window call it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "qor/frontend/analyzer.h"

namespace qor::frontend {

inline constexpr int32_t kMinZoom = 100;           // kernel units per pixel
inline constexpr int32_t kMaxZoom = 2540000;       // one inch per pixel
inline constexpr double kDesignLimit = 2.2e8;      // the design area is +-kDesignLimit
inline constexpr int kScrollLimit = 32000;         // scroll-bar positions +-kScrollLimit
inline constexpr double kScrollUnits = 6875;       // design units per scroll-bar position
inline constexpr int32_t kMaxStepUnits = 2540000;  // grid and snap: at most one inch
inline constexpr int32_t kMaxAngleSnap = 90000;    // thousandths of a degree
inline constexpr int32_t kUnitsPerInch = 2540000;

// Draw-flag bits of the view (the kernel's draw mode).
inline constexpr int32_t kDrawMirror = 1;
inline constexpr int32_t kDrawMonochrome = 8;
inline constexpr int32_t kDrawNotTrueSize = 0x20;
inline constexpr int32_t kDrawPadFrames = 0x80;
inline constexpr int32_t kDrawing = 4;        // added while drawing
inline constexpr int32_t kDrawXorBits = 0xC;  // exclusive-or overlays, the outline
inline constexpr int32_t kDrawPrinting = 64;  // added while printing

// Layer order bits.
inline constexpr int kActiveLayerOnTop = 1;
inline constexpr int kStackedLayers = 2;

// Operation codes of the view: a non-zero code blocks closing the main window.
inline constexpr int kOperationIdle = 0;
inline constexpr int kOperationLabelMove = 7;
inline constexpr int kOperationBox = 99;

enum class ZoomMode { Current = 0, Center = 1, Board = 2, Component = 3 };
enum class MeasureOrigin { Centre = 0, BoardDatum = 1, RefPoint = 2 };
enum class BoxRequest { None, Zoom, Copy };

// The board's frame from its outline (T_FrameTraceLines(-1, 63, ...)).
struct BoardExtent {
    int32_t left = 0, bottom = 0, right = 0, top = 0;
    bool valid = false;
    double width() const { return double(right) - left; }
    double height() const { return double(top) - bottom; }
};

// A marker of the view: entries 0 to 2 arrows (right, up, left), entry 3 the reference point.
struct Marker {
    bool shown = false;
    double x = 0, y = 0;
};
inline constexpr int kRefPointMarker = 3;

struct ZoomBox {
    int32_t zoom;
    double centreX, centreY;
};

// The length of one unit of a length unit in kernel units: 2540000 for the inch, 100000 for mm.
double KernelUnitsPerLengthUnit(int unit);

// Scroll-bar position <-> origin: the position times 6875 is the origin, so +-32000 is exactly
// +-2.2e8. Positions are rounded and kept within +-32000.
int ScrollPosition(double origin);
double ScrollOrigin(int position);

// The zoom step of the magnifier buttons and Shift+U / Shift+D: 5 % of the zoom (zoom * 127 /
// 2540, rounded), in or out, the result kept within 100 ... 2540000.
int32_t StepZoom(int32_t zoom, bool zoomIn);

// A typed zoom value (in the unit's lengths per pixel) as kernel units per pixel, kept within
// 100 ... 2540000; a text that reads as 0 (or as a negative number) keeps the current zoom.
int32_t ZoomFromText(std::string_view text, int unit, int32_t currentZoom);

// The zoom of a box zoom: the larger of |width| / pixel width and |height| / pixel height, with
// the box's centre; nullopt when a corner lies outside the design area or the box is empty. A box
// spanning at most one unit per pixel gets zoom 1 (EM: 2540); the view then keeps it within
// 100 ... 2540000.
std::optional<ZoomBox> BoxZoom(double x1, double y1, double x2, double y2, int pixelWidth,
                               int pixelHeight, Analyzer analyzer);

// A typed grid or snap step in kernel units, accepted from 1 to 2540000; nullopt otherwise.
std::optional<int32_t> StepFromText(std::string_view text, int unit);
// A typed angle snap (degrees) in thousandths of a degree, accepted from 1 to 90000.
std::optional<int32_t> AngleSnapFromText(std::string_view text);

// The entries of a kernel length table for a unit: zoom table (21) entries 1-15 inch, 17-31 mm;
// grid and snap tables (5, 6) entries 1-6 inch, 8-13 mm. Zero entries are left out; a null table
// gives an empty list.
std::vector<int32_t> ZoomTableEntries(const int32_t* table, int unit);
std::vector<int32_t> StepTableEntries(const int32_t* table, int unit);

// The entry selected by element 0 of a table (an index 1-31), or 0 when there is none.
int32_t SelectedEntry(const int32_t* table);

struct InitialSteps {
    int32_t grid, snap, angle;
};
// The grid, snap and angle snap at start-up: the selected entries of tables 5 and 6 and word 0 of
// table 7; where those are 0, the thermal window takes 0.1 mm, 0.05 mm and 0.001 degree, the EM
// window 0.1 inch, 0.05 inch and 1 degree.
InitialSteps InitialGridSnap(const int32_t* gridTable, const int32_t* snapTable,
                             const int32_t* angleTable, Analyzer analyzer);

// The three prompt lines of the typed reference point.
std::array<std::string, 3> RefPointPrompt(int unit);
// Parses "x,y[,D]": x and y in the unit; a third field "D" (any case, blanks around it) adds the
// board datum (the extent's left and bottom). nullopt for fewer than two fields or a point beyond
// +-2.2e8 in either coordinate.
std::optional<std::pair<double, double>> ParseRefPoint(std::string_view answer, int unit,
                                                       const BoardExtent& extent);

// The layer masks to draw, in order, one drawing of the layer content per mask: neither option
// draws the mask once; Active Layer On Top draws the mask without the active layer and then the
// active layer alone; Stacked Layers draws each visible layer alone from 31 down to 0 (0 up to 31
// when mirrored), with Active Layer On Top skipping the active layer and drawing it last. The
// active layer is drawn alone only when it is visible.
std::vector<uint32_t> LayerPasses(uint32_t visibleMask, int activeLayer, int layerOrder,
                                  bool mirrored);

// The view of one main window.
class ViewState {
  public:
    explicit ViewState(Analyzer analyzer = Analyzer::Thermal) : analyzer_(analyzer) {}

    Analyzer analyzer() const { return analyzer_; }
    bool em() const { return analyzer_ == Analyzer::Em; }

    // ---- zoom and origin (design coordinates; the scroll bars keep Y negated) ----
    int32_t zoom() const { return zoom_; }
    void setZoom(int32_t zoom);
    double originX() const { return originX_; }
    double originY() const { return originY_; }
    // Sets the origin, kept within +-2.2e8.
    void setOrigin(double x, double y);
    int hScrollPosition() const { return ScrollPosition(originX_); }
    int vScrollPosition() const { return ScrollPosition(-originY_); }
    void setFromScroll(int hPosition, int vPosition) {
        setOrigin(ScrollOrigin(hPosition), -ScrollOrigin(vPosition));
    }

    // Clamping before every repaint for an area of the given pixel size: a zoom that would show
    // more than the design area becomes 4.4e8 / the larger pixel size, then the origin is moved
    // so that the visible area stays inside +-2.2e8. True when the zoom changed.
    bool Clamp(int pixelWidth, int pixelHeight);

    // The design point of a pixel of an area of the given size (the inverse of the view's
    // mapping, mirror included), kept within +-2.2e8; and the pixel of a design point.
    std::pair<double, double> DesignPoint(double px, double py, int pixelWidth,
                                          int pixelHeight) const;
    std::pair<double, double> PixelOf(double x, double y, int pixelWidth, int pixelHeight) const;

    // ---- texts in the current unit ----
    int unit() const { return unit_; }
    void setUnit(int unit) { unit_ = unit == 1 ? 1 : 0; }
    std::string ZoomText() const;
    std::string StepText(int32_t step) const;
    std::string AngleSnapText() const;

    // The coordinate read-out (F_Xpos, F_Ypos) of a design point.
    std::pair<std::string, std::string> ReadoutTexts(double x, double y) const;
    // The message line during a box and a vector operation.
    std::string BlockText(double width, double height) const;
    std::string VectorText(double dx, double dy) const;

    // ---- draw flags and options ----
    int32_t drawFlags() const { return drawFlags_; }
    void setDrawFlags(int32_t flags) { drawFlags_ = flags; }
    void ToggleDrawFlag(int32_t bit) { drawFlags_ ^= bit; }
    bool trueSize() const { return (drawFlags_ & kDrawNotTrueSize) == 0; }
    bool mirrored() const { return (drawFlags_ & kDrawMirror) != 0; }
    bool monochrome() const { return (drawFlags_ & kDrawMonochrome) != 0; }
    // The draw flags of a drawing context: the view's flags with bit 4 (and 64 while printing).
    // Bits 4 and 8 together are the kernel's exclusive-or mode, so a monochrome view draws
    // without bit 4: with it, every drawing would invert what lies below.
    int32_t ContextFlags(bool printing) const {
        return drawFlags_ | (monochrome() ? 0 : kDrawing) | (printing ? kDrawPrinting : 0);
    }

    int layerOrder = 0;
    bool copper = false, notes = false, dimensions = false, nodes = false, ratsnest = false;
    int displayState = 0;
    bool gridOn = false;
    int32_t gridStep = 10000, snapStep = 5000, angleSnap = 1;
    MeasureOrigin measureOrigin = MeasureOrigin::Centre;
    bool distanceMode = false;
    bool fullCrosshair = false;
    ZoomMode zoomMode = ZoomMode::Current;
    std::array<Marker, 4> markers{};
    BoardExtent extent;
    int operation = kOperationIdle;
    BoxRequest boxRequest = BoxRequest::None;
    bool cancelled = false;

    // Accepts a typed grid, snap or angle snap; false (the caller beeps) keeps the old value.
    bool SetGridText(std::string_view text) { return setStep(text, gridStep); }
    bool SetSnapText(std::string_view text) { return setStep(text, snapStep); }
    bool SetAngleSnapText(std::string_view text);

    // Shift+P / Shift+G / Shift+R: sets the reference point, or removes a shown one (true when it
    // was removed).
    bool ToggleRefPoint(double x, double y);
    // The point snapped to the snap step.
    std::pair<double, double> Snapped(double x, double y) const;

  private:
    bool setStep(std::string_view text, int32_t& step);

    Analyzer analyzer_;
    int32_t zoom_ = 2540;
    double originX_ = 0, originY_ = 0;
    int unit_ = 0;
    int32_t drawFlags_ = kDrawNotTrueSize;
};

}  // namespace qor::frontend
