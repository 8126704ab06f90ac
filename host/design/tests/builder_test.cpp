#include <gtest/gtest.h>

#include "qor/design/builder.h"

using namespace qor::design;

namespace {

TEST(Placement, MirrorsThenRotatesThenMoves) {
    struct Case {
        int32_t angle;
        bool mirrored;
        Point expected;
    } cases[] = {
        {0, false, {1100, 2050}},
        {90000, false, {950, 2100}},
        {180000, false, {900, 1950}},
        {0, true, {900, 2050}},
        {90000, true, {950, 1900}},
        {-90000, false, {1050, 1900}},
    };
    for (const auto& c : cases) {
        Component comp;
        comp.x = 1000, comp.y = 2000, comp.angle = c.angle;
        comp.flags = c.mirrored ? kComponentMirrored : 0;
        EXPECT_EQ(place(comp, {100, 50}), c.expected) << c.angle << " " << c.mirrored;
    }
}

TEST(ArcMidpoint, FollowsTheDirection) {
    TracePoint arc;
    arc.flags = kPointArcCentre;
    arc.centreDx = 0, arc.centreDy = 1000, arc.radius = 1000;  // centre (0, 1000) from start (0, 0)
    // Counter-clockwise from (0,0) to (0,2000) around (0,1000) passes (1000,1000).
    EXPECT_EQ(arcMidpoint({0, 0}, {0, 2000}, arc), (Point{1000, 1000}));
    arc.flags |= kArcClockwise;
    EXPECT_EQ(arcMidpoint({0, 0}, {0, 2000}, arc), (Point{-1000, 1000}));
    arc.radius = 0;
    EXPECT_EQ(arcMidpoint({0, 0}, {0, 2000}, arc), (Point{0, 1000})) << "radius 0 is a straight segment";
}

TEST(Builder, NodesSitOnPlacedPinsAndTracesRecordTheirKinds) {
    DesignBuilder b("t");
    const int32_t sym = b.addSymbol("R", {{1, "1", -100000, 0, 0}, {2, "2", 100000, 0, 0}}, {-150000, -50000, 150000, 50000});
    const int32_t r1 = b.addComponent("R1", sym, 0, {1000000, 1000000}, 90000);
    const int32_t net = b.addNet("N");
    const int32_t n1 = b.connect(net, r1, 1);
    const int32_t n2 = b.connect(net, r1, 2);
    EXPECT_EQ((Point{b.node(n1).x, b.node(n1).y}), (Point{1000000, 900000}));
    b.trace(net, 2, 20000).fromNode(n1).bendTo({1200000, 900000}).viaTo({1200000, 1100000}, 29).toNode(n2);
    const Trace& t = b.design().traces.back();
    ASSERT_EQ(t.points.size(), 4u);
    EXPECT_EQ(t.points[0].flags, kPointNode);
    EXPECT_EQ(t.points[0].node, n1);
    EXPECT_EQ(t.points[1].flags, kPointBend);
    EXPECT_EQ(t.points[2].flags, kPointVia);
    EXPECT_EQ(t.points[2].layer, 29) << "the segment after a via runs on the new layer";
    EXPECT_EQ(t.points[3].node, n2);
    EXPECT_EQ(b.design().vias.size(), 1u);
    EXPECT_THROW(b.connect(net, r1, 9), std::out_of_range);
}

TEST(Builder, CopperAreaChainsCarryTheirNetOnTheFirstItem) {
    DesignBuilder b("t");
    const int32_t net = b.addNet("GND");
    b.addCopperArea(net, 3, {{0, 0}, {100, 0}, {100, 100}, {0, 100}});
    const Symbol& area = b.design().symbols.front();
    EXPECT_EQ(area.number, copperAreaSymbol(1));
    EXPECT_EQ(area.name, "@COPPAR");
    ASSERT_EQ(area.items.size(), 4u);
    EXPECT_EQ(area.items[0].flags, kItemOutline | kItemChainFirst);
    EXPECT_EQ(area.items[0].mask, 16);
    EXPECT_EQ(area.items[3].flags, kItemOutline | kItemChainLast);
    EXPECT_EQ(area.items[3].mask, 0);
    for (const Item& it : area.items) EXPECT_EQ(it.link, net);
    EXPECT_EQ(area.items[3].x + area.items[3].dx, 0) << "the chain closes";
}

}  // namespace
