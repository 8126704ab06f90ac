// The view's arithmetic: zoom, scroll bars, clamping, typed values, lists, read-out texts, the
// typed reference point and the layer order.
#include "qor/frontend/view_state.h"

#include <gtest/gtest.h>

namespace qor::frontend {
namespace {

TEST(ViewStateTest, ScrollPositionsMapExactlyOntoTheDesignArea) {
    EXPECT_EQ(ScrollOrigin(32000), 2.2e8);
    EXPECT_EQ(ScrollOrigin(-32000), -2.2e8);
    EXPECT_EQ(ScrollOrigin(40000), 2.2e8) << "positions are kept within the bar";
    EXPECT_EQ(ScrollPosition(2.2e8), 32000);
    EXPECT_EQ(ScrollPosition(-2.2e8), -32000);
    EXPECT_EQ(ScrollPosition(6875 * 3 + 3437), 3);
    EXPECT_EQ(ScrollPosition(6875 * 3 + 3438), 4);
    EXPECT_EQ(ScrollPosition(1e12), 32000);

    ViewState v;
    v.setFromScroll(16000, 16000);
    EXPECT_EQ(v.originX(), 1.1e8);
    EXPECT_EQ(v.originY(), -1.1e8) << "the vertical bar holds the negated design Y";
    EXPECT_EQ(v.vScrollPosition(), 16000);
    EXPECT_EQ(v.hScrollPosition(), 16000);
}

TEST(ViewStateTest, ZoomStepsStayWithinTheirLimits) {
    struct Case {
        int32_t zoom;
        bool in;
        int32_t expected;
    };
    const Case cases[] = {
        {2540, true, 2413},       {2540, false, 2667},
        {100, true, 100},         {100, false, 105},
        {101, true, 100},         {2540000, false, 2540000},
        {2540000, true, 2413000}, {2539999, false, 2540000},
        {110, true, 104},  // the step 5.5 rounds to 6
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.zoom) + (c.in ? " in" : " out"));
        EXPECT_EQ(StepZoom(c.zoom, c.in), c.expected);
    }
}

TEST(ViewStateTest, TypedZoomValuesConvertByUnitAndClamp) {
    struct Case {
        const char* text;
        int unit;
        int32_t expected;
    };
    const Case cases[] = {
        {"0", 0, 5000},            // 0 keeps the zoom
        {"zoom", 0, 5000},         // text reads as 0
        {"", 1, 5000},             // empty too
        {"-0.01", 0, 5000},        // a negative zoom keeps it as well
        {"0.001", 0, 2540},        // inch per pixel
        {"0,001", 0, 2540},        // decimal comma
        {"0.025", 1, 2500},        // mm per pixel
        {"0.00001", 0, 100},       // fewer than 100 units per pixel zooms to 100
        {"0.0001", 1, 100},        // 10 units: 100
        {"2", 0, 2540000},         // above an inch per pixel
        {"0.5 inch", 0, 1270000},  // a trailing unit name is ignored
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ZoomFromText(c.text, c.unit, 5000), c.expected);
    }
}

TEST(ViewStateTest, BoxZoomTakesTheLargerRatioAndTheBoxCentre) {
    auto z = BoxZoom(0, 0, 1000000, -200000, 500, 400, Analyzer::Thermal);
    ASSERT_TRUE(z);
    EXPECT_EQ(z->zoom, 2000);
    EXPECT_EQ(z->centreX, 500000);
    EXPECT_EQ(z->centreY, -100000);
    z = BoxZoom(10, 10, 300, 20, 500, 400, Analyzer::Thermal);
    ASSERT_TRUE(z);
    EXPECT_EQ(z->zoom, 1) << "at most one unit per pixel";
    z = BoxZoom(10, 10, 300, 20, 500, 400, Analyzer::Em);
    ASSERT_TRUE(z);
    EXPECT_EQ(z->zoom, 2540);
    EXPECT_FALSE(BoxZoom(5, 5, 5, 5, 500, 400, Analyzer::Thermal)) << "empty box";
    EXPECT_FALSE(BoxZoom(0, 0, 2.3e8, 10, 500, 400, Analyzer::Thermal)) << "outside the area";
    EXPECT_TRUE(BoxZoom(-2.2e8, 0, 2.2e8, 10, 500, 400, Analyzer::Thermal));
}

TEST(ViewStateTest, ClampingLimitsTheZoomAndKeepsTheAreaInsideTheDesign) {
    ViewState v;
    v.setZoom(2540000);
    v.setOrigin(0, 0);
    EXPECT_TRUE(v.Clamp(400, 200)) << "200 inch per half width is more than the design area";
    EXPECT_EQ(v.zoom(), 1100000);
    EXPECT_FALSE(v.Clamp(400, 200));

    v.setZoom(10000);
    v.setOrigin(2.2e8, -2.2e8);
    EXPECT_FALSE(v.Clamp(400, 200));
    EXPECT_EQ(v.originX(), 2.2e8 - 200 * 10000);
    EXPECT_EQ(v.originY(), -2.2e8 + 100 * 10000);
    v.setOrigin(-3e8, 3e8);
    v.Clamp(400, 200);
    EXPECT_EQ(v.originX(), -2.2e8 + 200 * 10000);
    EXPECT_EQ(v.originY(), 2.2e8 - 100 * 10000);
}

TEST(ViewStateTest, DesignPointsFollowMirrorAndTheYAxisAndAreClamped) {
    ViewState v;
    v.setZoom(1000);
    v.setOrigin(50000, 20000);
    auto p = v.DesignPoint(300, 100, 400, 200);
    EXPECT_EQ(p.first, 150000);
    EXPECT_EQ(p.second, 20000);
    p = v.DesignPoint(200, 0, 400, 200);
    EXPECT_EQ(p.second, 120000) << "the window's down is the design's up";
    auto px = v.PixelOf(150000, 20000, 400, 200);
    EXPECT_EQ(px.first, 300);
    v.ToggleDrawFlag(kDrawMirror);
    p = v.DesignPoint(300, 100, 400, 200);
    EXPECT_EQ(p.first, -50000);
    px = v.PixelOf(-50000, 20000, 400, 200);
    EXPECT_EQ(px.first, 300);
    v.setZoom(2540000);
    v.setOrigin(2.2e8, 0);
    EXPECT_EQ(v.DesignPoint(10000, 100, 400, 200).first, -2.2e8) << "mirrored and clamped";
}

TEST(ViewStateTest, GridSnapAndAngleEntriesAreValidatedAndWrittenBack) {
    ViewState v;
    struct Case {
        const char* text;
        int unit;
        bool accepted;
        int32_t step;
    };
    const Case cases[] = {
        {"0", 0, false, 0},         {"abc", 0, false, 0},      {"1.0001", 0, false, 0},
        {"1", 0, true, 2540000},    {"0.05", 0, true, 127000}, {"0.1", 1, true, 10000},
        {"25.4", 1, true, 2540000}, {"25.41", 1, false, 0},    {"0.00001", 1, true, 1},
        {"0.000001", 1, false, 0},  {"-0.1", 1, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        v.setUnit(c.unit);
        v.gridStep = 777;
        EXPECT_EQ(v.SetGridText(c.text), c.accepted);
        EXPECT_EQ(v.gridStep, c.accepted ? c.step : 777) << "a refused value keeps the old one";
        v.snapStep = 777;
        EXPECT_EQ(v.SetSnapText(c.text), c.accepted);
    }
    v.setUnit(0);
    v.gridStep = 127000;
    EXPECT_EQ(v.StepText(v.gridStep), "0.0500\"");
    v.setUnit(1);
    EXPECT_EQ(v.StepText(v.gridStep), "1.270mm");

    EXPECT_TRUE(v.SetAngleSnapText("45"));
    EXPECT_EQ(v.angleSnap, 45000);
    EXPECT_EQ(v.AngleSnapText(), "45.0\u00B0");
    EXPECT_FALSE(v.SetAngleSnapText("90.5"));
    EXPECT_FALSE(v.SetAngleSnapText("0"));
    EXPECT_EQ(v.angleSnap, 45000);
    EXPECT_TRUE(v.SetAngleSnapText("0.001"));
    EXPECT_EQ(v.angleSnap, 1);
}

TEST(ViewStateTest, ListsAndInitialValuesComeFromTheKernelTablesOrTheFallbacks) {
    int32_t zoom[32] = {};
    int32_t grid[32] = {};
    int32_t snap[32] = {};
    int32_t angle[32] = {};
    for (int i = 1; i <= 31; ++i) zoom[i] = i * 100;
    zoom[5] = 0;  // an empty entry is left out
    EXPECT_EQ(ZoomTableEntries(zoom, 0).size(), 14u);
    EXPECT_EQ(ZoomTableEntries(zoom, 0).front(), 100);
    EXPECT_EQ(ZoomTableEntries(zoom, 1),
              (std::vector<int32_t>{1700, 1800, 1900, 2000, 2100, 2200, 2300, 2400, 2500, 2600,
                                    2700, 2800, 2900, 3000, 3100}));
    EXPECT_TRUE(ZoomTableEntries(nullptr, 0).empty());
    for (int i = 1; i <= 13; ++i) grid[i] = i * 1000;
    EXPECT_EQ(StepTableEntries(grid, 0),
              (std::vector<int32_t>{1000, 2000, 3000, 4000, 5000, 6000}));
    EXPECT_EQ(StepTableEntries(grid, 1),
              (std::vector<int32_t>{8000, 9000, 10000, 11000, 12000, 13000}));

    // Tables at 0: the fallbacks.
    const int32_t zeros[32] = {};
    InitialSteps s = InitialGridSnap(zeros, zeros, zeros, Analyzer::Thermal);
    EXPECT_EQ(s.grid, 10000);
    EXPECT_EQ(s.snap, 5000);
    EXPECT_EQ(s.angle, 1);
    s = InitialGridSnap(nullptr, nullptr, nullptr, Analyzer::Em);
    EXPECT_EQ(s.grid, 254000);
    EXPECT_EQ(s.snap, 127000);
    EXPECT_EQ(s.angle, 1000);

    grid[0] = 3;
    snap[0] = 9;
    snap[9] = 50000;
    angle[0] = 45000;
    s = InitialGridSnap(grid, snap, angle, Analyzer::Em);
    EXPECT_EQ(s.grid, 3000);
    EXPECT_EQ(s.snap, 50000);
    EXPECT_EQ(s.angle, 45000);
    zoom[0] = 40;  // an index beyond the table selects nothing
    EXPECT_EQ(SelectedEntry(zoom), 0);
    zoom[0] = 2;
    EXPECT_EQ(SelectedEntry(zoom), 200);
}

TEST(ViewStateTest, ReadoutTextsByMeasuringOriginAndMode) {
    ViewState v;
    v.extent = {1270000, 2540000, 5080000, 7620000, true};
    v.markers[kRefPointMarker] = {true, 2540000, 0};
    struct Case {
        MeasureOrigin origin;
        bool distance;
        int unit;
        const char* x;
        const char* y;
    };
    const Case cases[] = {
        {MeasureOrigin::Centre, false, 0, "X= 1.0000\"", "Y= -2.0000\""},
        {MeasureOrigin::BoardDatum, false, 0, "X= 0.5000\"", "Y= -3.0000\""},
        {MeasureOrigin::RefPoint, false, 1, "X= 0.000mm", "Y= -50.800mm"},
        {MeasureOrigin::RefPoint, true, 1, "D= 50.800mm", ""},
        {MeasureOrigin::Centre, true, 0, "D= 2.23607\"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        v.measureOrigin = c.origin;
        v.distanceMode = c.distance;
        v.setUnit(c.unit);
        const auto t = v.ReadoutTexts(2540000, -5080000);
        EXPECT_EQ(t.first, c.x);
        EXPECT_EQ(t.second, c.y);
    }
}

TEST(ViewStateTest, RubberBandTexts) {
    ViewState thermal;
    EXPECT_EQ(thermal.BlockText(-2540000, 1270000), "Block: 1.0000 x0.5000\"");
    thermal.setUnit(1);
    EXPECT_EQ(thermal.BlockText(100000, -250000), "Block: 1.000 x2.500mm");
    EXPECT_EQ(thermal.VectorText(100000, 100000), "Vector: X= 1.000 Y= 1.000mm rot=45.0\u00B0");
    EXPECT_EQ(thermal.VectorText(-100000, 0), "Vector: X= -1.000 Y= 0.000mm rot=180.0\u00B0");
    ViewState em(Analyzer::Em);
    EXPECT_EQ(em.VectorText(2540000, -2540000), "Vector: X= 1.0000 Y= -1.0000\" rot=315.0000\u00B0")
        << "the EM window writes the angle with the length format";
}

TEST(ViewStateTest, TypedReferencePoints) {
    const BoardExtent extent{1000000, -500000, 9000000, 8000000, true};
    struct Case {
        const char* answer;
        int unit;
        bool accepted;
        double x, y;
    };
    const Case cases[] = {
        {"1,2", 1, true, 100000, 200000},
        {"1,2,d", 1, true, 1100000, -300000},
        {"1,2, D ", 1, true, 1100000, -300000},
        {"1,2,x", 1, true, 100000, 200000},  // another third field is not the datum
        {"0.5,-0.5", 0, true, 1270000, -1270000},
        {"7", 1, false, 0, 0},  // fewer than two fields
        {"", 1, false, 0, 0},
        {"2201,0", 1, false, 0, 0},  // beyond 2.2e8
        {"0,-86.6", 0, true, 0, -219964000},
        {"0,-86.6,D", 0, false, 0, 0},  // the datum moves it past the limit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer);
        const auto p = ParseRefPoint(c.answer, c.unit, extent);
        ASSERT_EQ(p.has_value(), c.accepted);
        if (!p) continue;
        EXPECT_EQ(p->first, c.x);
        EXPECT_EQ(p->second, c.y);
    }
    const auto lines = RefPointPrompt(1);
    EXPECT_EQ(lines[0], "Ref.point X,Y (mm)");
    EXPECT_EQ(lines[1], "Format: x,y[,D]");
    EXPECT_EQ(lines[2], "D for x,y displacement from board datum.");
    EXPECT_EQ(RefPointPrompt(0)[0], "Ref.point X,Y (inch)");
}

TEST(ViewStateTest, ReferencePointTogglesAndSnaps) {
    ViewState v;
    EXPECT_FALSE(v.ToggleRefPoint(10, 20));
    EXPECT_TRUE(v.markers[kRefPointMarker].shown);
    EXPECT_TRUE(v.ToggleRefPoint(99, 99)) << "a shown reference point is removed";
    EXPECT_FALSE(v.markers[kRefPointMarker].shown);
    v.snapStep = 5000;
    EXPECT_EQ(v.Snapped(12499, -12501), (std::pair<double, double>{10000, -15000}));
}

TEST(ViewStateTest, LayerPassesByLayerOrder) {
    const uint32_t visible = (1u << 0) | (1u << 2) | (1u << 5) | (1u << 31);
    struct Case {
        const char* name;
        int order;
        bool mirrored;
        int active;
        std::vector<uint32_t> passes;
    };
    const Case cases[] = {
        {"neither", 0, false, 2, {visible}},
        {"neither mirrored", 0, true, 2, {visible}},
        {"active on top", kActiveLayerOnTop, false, 2, {visible & ~4u, 4u}},
        {"active on top, hidden active", kActiveLayerOnTop, false, 3, {visible}},
        {"stacked", kStackedLayers, false, 2, {1u << 31, 1u << 5, 1u << 2, 1u << 0}},
        {"stacked mirrored", kStackedLayers, true, 2, {1u << 0, 1u << 2, 1u << 5, 1u << 31}},
        {"stacked, active on top",
         kStackedLayers | kActiveLayerOnTop,
         false,
         5,
         {1u << 31, 1u << 2, 1u << 0, 1u << 5}},
        {"stacked mirrored, active on top",
         kStackedLayers | kActiveLayerOnTop,
         true,
         0,
         {1u << 2, 1u << 5, 1u << 31, 1u << 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(LayerPasses(visible, c.active, c.order, c.mirrored), c.passes);
    }
    EXPECT_TRUE(LayerPasses(0, 0, kStackedLayers, false).empty());
}

TEST(ViewStateTest, InitialStateAndDrawFlags) {
    ViewState v;
    EXPECT_EQ(v.drawFlags(), kDrawNotTrueSize);
    EXPECT_FALSE(v.trueSize());
    EXPECT_EQ(v.ContextFlags(false), 0x24);
    EXPECT_EQ(v.ContextFlags(true), 0x64);
    v.ToggleDrawFlag(kDrawNotTrueSize);
    v.ToggleDrawFlag(kDrawMonochrome);
    EXPECT_TRUE(v.trueSize());
    EXPECT_TRUE(v.monochrome());
    EXPECT_EQ(v.ContextFlags(false), kDrawMonochrome)
        << "bit 4 with bit 8 would be the exclusive-or mode";
    EXPECT_NE(v.ContextFlags(true) & kDrawXorBits, kDrawXorBits);
    EXPECT_EQ(v.measureOrigin, MeasureOrigin::Centre);
    EXPECT_EQ(v.zoomMode, ZoomMode::Current);
    EXPECT_EQ(v.operation, kOperationIdle);
    EXPECT_EQ(v.unit(), 0);
    v.setZoom(1);
    EXPECT_EQ(v.zoom(), kMinZoom);
    v.setZoom(1 << 30);
    EXPECT_EQ(v.zoom(), kMaxZoom);
    EXPECT_EQ(v.ZoomText(), "1.0000\"");
}

}  // namespace
}  // namespace qor::frontend
