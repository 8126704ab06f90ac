#include "qor/frontend/view_state.h"

#include <algorithm>
#include <cmath>

#include "qor/frontend/list_parser.h"
#include "qor/frontend/localization.h"
#include "qor/frontend/number_format.h"
#include "qor/frontend/text_utils.h"

namespace qor::frontend {

namespace {

int32_t ClampZoom(double zoom) {
    return static_cast<int32_t>(std::clamp(zoom, double(kMinZoom), double(kMaxZoom)));
}

bool InsideDesign(double v) {
    return v >= -kDesignLimit && v <= kDesignLimit;
}

// A length in the unit's number format, without the unit symbol.
std::string UnitNumber(double kernelUnits, int unit) {
    const LengthUnit& u = LengthUnitOf(unit);
    return FormatNumber(kernelUnits / kUnitsPerMillimetre * u.factor, u.pattern);
}

}  // namespace

double KernelUnitsPerLengthUnit(int unit) {
    return unit == 1 ? double(kUnitsPerMillimetre) : double(kUnitsPerInch);
}

int ScrollPosition(double origin) {
    return static_cast<int>(
        std::clamp(std::lround(origin / kScrollUnits), -long(kScrollLimit), long(kScrollLimit)));
}

double ScrollOrigin(int position) {
    return std::clamp(position, -kScrollLimit, kScrollLimit) * kScrollUnits;
}

int32_t StepZoom(int32_t zoom, bool zoomIn) {
    const double step = std::round(double(zoom) * 127 / 2540);
    return ClampZoom(zoomIn ? zoom - step : zoom + step);
}

int32_t ZoomFromText(std::string_view text, int unit, int32_t currentZoom) {
    const double value = TextToNumber(text);
    if (!(value > 0)) return currentZoom;
    return ClampZoom(std::round(value * KernelUnitsPerLengthUnit(unit)));
}

std::optional<ZoomBox> BoxZoom(double x1, double y1, double x2, double y2, int pixelWidth,
                               int pixelHeight, Analyzer analyzer) {
    if (!InsideDesign(x1) || !InsideDesign(y1) || !InsideDesign(x2) || !InsideDesign(y2))
        return std::nullopt;
    const double w = std::fabs(x2 - x1), h = std::fabs(y2 - y1);
    if (w == 0 && h == 0) return std::nullopt;
    const double ratio = std::max(w / std::max(1, pixelWidth), h / std::max(1, pixelHeight));
    int32_t zoom;
    if (ratio <= 1)
        zoom = analyzer == Analyzer::Em ? 2540 : 1;
    else
        zoom = static_cast<int32_t>(std::min(ratio, double(kMaxZoom)));
    return ZoomBox{zoom, (x1 + x2) / 2, (y1 + y2) / 2};
}

std::optional<int32_t> StepFromText(std::string_view text, int unit) {
    const double units = std::round(TextToNumber(text) * KernelUnitsPerLengthUnit(unit));
    if (!(units >= 1 && units <= kMaxStepUnits)) return std::nullopt;
    return static_cast<int32_t>(units);
}

std::optional<int32_t> AngleSnapFromText(std::string_view text) {
    const double thousandths = std::round(TextToNumber(text) * 1000);
    if (!(thousandths >= 1 && thousandths <= kMaxAngleSnap)) return std::nullopt;
    return static_cast<int32_t>(thousandths);
}

namespace {

std::vector<int32_t> Entries(const int32_t* table, int first, int last) {
    std::vector<int32_t> list;
    if (!table) return list;
    for (int i = first; i <= last; ++i)
        if (table[i] > 0) list.push_back(table[i]);
    return list;
}

}  // namespace

std::vector<int32_t> ZoomTableEntries(const int32_t* table, int unit) {
    return unit == 1 ? Entries(table, 17, 31) : Entries(table, 1, 15);
}

std::vector<int32_t> StepTableEntries(const int32_t* table, int unit) {
    return unit == 1 ? Entries(table, 8, 13) : Entries(table, 1, 6);
}

int32_t SelectedEntry(const int32_t* table) {
    if (!table || table[0] < 1 || table[0] > 31) return 0;
    return table[table[0]];
}

InitialSteps InitialGridSnap(const int32_t* gridTable, const int32_t* snapTable,
                             const int32_t* angleTable, Analyzer analyzer) {
    const bool em = analyzer == Analyzer::Em;
    const auto inRange = [](int32_t v, int32_t max) { return v >= 1 && v <= max; };
    InitialSteps s{SelectedEntry(gridTable), SelectedEntry(snapTable),
                   angleTable ? angleTable[0] : 0};
    if (!inRange(s.grid, kMaxStepUnits)) s.grid = em ? 254000 : 10000;
    if (!inRange(s.snap, kMaxStepUnits)) s.snap = em ? 127000 : 5000;
    if (!inRange(s.angle, kMaxAngleSnap)) s.angle = em ? 1000 : 1;
    return s;
}

std::array<std::string, 3> RefPointPrompt(int unit) {
    return {LocalText("Ref.point X,Y (", 991098) + std::string(LengthUnitOf(unit).name) + ")",
            LocalText("Format: x,y[,D]", 99703),
            LocalText("D for x,y displacement from board datum.", 99503)};
}

std::optional<std::pair<double, double>> ParseRefPoint(std::string_view answer, int unit,
                                                       const BoardExtent& extent) {
    const ParsedList list = ParseList(answer);
    if (list.count() < 2) return std::nullopt;
    const double factor = KernelUnitsPerLengthUnit(unit);
    double x = std::round(list.number(1) * factor), y = std::round(list.number(2) * factor);
    if (list.count() >= 3) {
        std::string third = TrimBlanks(list.word(3));
        if (third == "D" || third == "d") {
            x += extent.left;
            y += extent.bottom;
        }
    }
    if (!InsideDesign(x) || !InsideDesign(y)) return std::nullopt;
    return std::pair{x, y};
}

std::vector<uint32_t> LayerPasses(uint32_t visibleMask, int activeLayer, int layerOrder,
                                  bool mirrored) {
    const bool onTop = (layerOrder & kActiveLayerOnTop) != 0;
    const bool stacked = (layerOrder & kStackedLayers) != 0;
    const uint32_t active =
        activeLayer >= 0 && activeLayer < 32 ? (1u << activeLayer) & visibleMask : 0u;
    std::vector<uint32_t> passes;
    if (!stacked) {
        if (!onTop) return {visibleMask};
        passes.push_back(visibleMask & ~active);
        if (active) passes.push_back(active);
        return passes;
    }
    for (int i = 0; i < 32; ++i) {
        const int layer = mirrored ? i : 31 - i;
        const uint32_t bit = 1u << layer;
        if (!(visibleMask & bit)) continue;
        if (onTop && bit == active) continue;
        passes.push_back(bit);
    }
    if (onTop && active) passes.push_back(active);
    return passes;
}

// ---- ViewState ----------------------------------------------------------------------------------

void ViewState::setZoom(int32_t zoom) {
    zoom_ = ClampZoom(zoom);
}

void ViewState::setOrigin(double x, double y) {
    originX_ = std::clamp(x, -kDesignLimit, kDesignLimit);
    originY_ = std::clamp(y, -kDesignLimit, kDesignLimit);
}

bool ViewState::Clamp(int pixelWidth, int pixelHeight) {
    pixelWidth = std::max(1, pixelWidth);
    pixelHeight = std::max(1, pixelHeight);
    bool changed = false;
    if (pixelWidth / 2.0 * zoom_ > kDesignLimit || pixelHeight / 2.0 * zoom_ > kDesignLimit) {
        zoom_ = static_cast<int32_t>(2 * kDesignLimit / std::max(pixelWidth, pixelHeight));
        changed = true;
    }
    const double halfW = pixelWidth / 2.0 * zoom_, halfH = pixelHeight / 2.0 * zoom_;
    const auto keep = [](double origin, double half) {
        if (origin + half > kDesignLimit) origin = kDesignLimit - half;
        if (origin - half < -kDesignLimit) origin = -kDesignLimit + half;
        return origin;
    };
    originX_ = keep(originX_, halfW);
    originY_ = keep(originY_, halfH);
    return changed;
}

std::pair<double, double> ViewState::DesignPoint(double px, double py, int pixelWidth,
                                                 int pixelHeight) const {
    const double dx = (px - pixelWidth / 2.0) * zoom_;
    const double x = originX_ + (mirrored() ? -dx : dx);
    const double y = originY_ - (py - pixelHeight / 2.0) * zoom_;
    return {std::clamp(x, -kDesignLimit, kDesignLimit), std::clamp(y, -kDesignLimit, kDesignLimit)};
}

std::pair<double, double> ViewState::PixelOf(double x, double y, int pixelWidth,
                                             int pixelHeight) const {
    const double dx = (x - originX_) / zoom_;
    return {pixelWidth / 2.0 + (mirrored() ? -dx : dx), pixelHeight / 2.0 - (y - originY_) / zoom_};
}

std::string ViewState::ZoomText() const {
    return LengthText(zoom_, unit_);
}

std::string ViewState::StepText(int32_t step) const {
    return LengthText(step, unit_);
}

std::string ViewState::AngleSnapText() const {
    return AngleText(angleSnap);
}

std::pair<std::string, std::string> ViewState::ReadoutTexts(double x, double y) const {
    switch (measureOrigin) {
        case MeasureOrigin::Centre:
            break;
        case MeasureOrigin::BoardDatum:
            x -= extent.left;
            y -= extent.bottom;
            break;
        case MeasureOrigin::RefPoint:
            x -= markers[kRefPointMarker].x;
            y -= markers[kRefPointMarker].y;
            break;
    }
    if (distanceMode) return {"D= " + LengthText(Hypotenuse(x, y), unit_), ""};
    return {"X= " + LengthText(x, unit_), "Y= " + LengthText(y, unit_)};
}

std::string ViewState::BlockText(double width, double height) const {
    return LocalText("Block: ", 99248) + UnitNumber(std::fabs(width), unit_) + " x" +
           UnitNumber(std::fabs(height), unit_) + std::string(LengthUnitOf(unit_).symbol);
}

std::string ViewState::VectorText(double dx, double dy) const {
    std::string text = LocalText("Vector: X= ", 991386) + UnitNumber(dx, unit_) +
                       LocalText(" Y= ", 991423) + UnitNumber(dy, unit_) +
                       std::string(LengthUnitOf(unit_).symbol);
    const double degrees = DirectionAngle(dx, dy);
    if (em())
        text += LocalText(" rot=", 9994) + FormatNumber(degrees, LengthUnitOf(unit_).pattern);
    else
        text += LocalText(" rot=", 991113) + FormatNumber(degrees, "##0.0#");
    return text + std::string(kDegreeSign);
}

bool ViewState::setStep(std::string_view text, int32_t& step) {
    const std::optional<int32_t> v = StepFromText(text, unit_);
    if (!v) return false;
    step = *v;
    return true;
}

bool ViewState::SetAngleSnapText(std::string_view text) {
    const std::optional<int32_t> v = AngleSnapFromText(text);
    if (!v) return false;
    angleSnap = *v;
    return true;
}

bool ViewState::ToggleRefPoint(double x, double y) {
    Marker& m = markers[kRefPointMarker];
    if (m.shown) {
        m.shown = false;
        return true;
    }
    m = {true, x, y};
    return false;
}

std::pair<double, double> ViewState::Snapped(double x, double y) const {
    if (snapStep <= 0) return {x, y};
    const double s = snapStep;
    return {std::round(x / s) * s, std::round(y / s) * s};
}

}  // namespace qor::frontend
