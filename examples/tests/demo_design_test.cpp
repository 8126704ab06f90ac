#include <gtest/gtest.h>

#include <set>

#include "demo_design.h"
#include "qorthm32.h"
#include "qor/design/model.h"

using namespace qor::design;

namespace {

TEST(DemoDesign, IsABelievableFourLayerBoard) {
    const Design d = qor::examples::buildDemoDesign();
    EXPECT_GE(d.components.size(), 40u);
    EXPECT_GE(d.nets.size(), 10u);
    std::set<int32_t> copperLayers;
    int arcs = 0, vias = 0, bends = 0;
    for (const Trace& t : d.traces) {
        for (const TracePoint& p : t.points) {
            arcs += (p.flags & kPointArcCentre) != 0;
            vias += (p.flags & 0xE) == kPointVia;
            bends += (p.flags & 0xE) == kPointBend;
            if (!(p.flags & kPointArcCentre) && t.number != kOutlineTrace) copperLayers.insert(p.layer);
        }
    }
    EXPECT_GE(arcs, 1);
    EXPECT_GE(vias, 1);
    EXPECT_GE(bends, 10);
    const Symbol* areas = nullptr;
    for (const Symbol& s : d.symbols)
        if (s.name == "@COPPAR") areas = &s;
    ASSERT_NE(areas, nullptr);
    for (const Item& it : areas->items) copperLayers.insert(it.layer);
    EXPECT_EQ(copperLayers, (std::set<int32_t>{2, 3, 4, 29}));
    ASSERT_EQ(d.traces.front().number, kOutlineTrace);
    EXPECT_GT(d.traces.front().points.size(), 5u) << "not a plain rectangle";
}

TEST(DemoDesign, TracesEndOnTheirNodesAndNodesOnTheirPins) {
    const Design d = qor::examples::buildDemoDesign();
    std::set<std::pair<int32_t, int32_t>> seenPins;
    for (const Node& n : d.nodes) {
        EXPECT_TRUE(seenPins.insert({n.component, n.pin}).second) << "one node per pin";
        const Component& c = d.components.at(static_cast<size_t>(n.component - 1));
        const Symbol* s = nullptr;
        for (const Symbol& x : d.symbols)
            if (x.number == c.symbol) s = &x;
        ASSERT_NE(s, nullptr);
        bool found = false;
        for (const Pad& p : s->pads)
            if (p.pin == n.pin) found = place(c, {p.x, p.y}) == Point{n.x, n.y};
        EXPECT_TRUE(found) << c.name << " pin " << n.pin;
    }
    for (const Trace& t : d.traces)
        for (const TracePoint& p : t.points)
            if ((p.flags & 0xE) == kPointNode) {
                const Node& n = d.nodes.at(static_cast<size_t>(p.node - 1));
                EXPECT_EQ((Point{p.x, p.y}), (Point{n.x, n.y}));
                EXPECT_EQ(n.net, t.net) << "trace " << t.number;
            }
}

TEST(DemoDesign, CarriesATitleNotesAndADimensionOnTheSilkScreen) {
    const Design d = qor::examples::buildDemoDesign();
    ASSERT_EQ(d.layoutTexts.size(), 1u);
    EXPECT_EQ(d.layoutTexts[0].kind, kItemText);
    EXPECT_EQ(d.layoutTexts[0].layer, 1);
    size_t notes = 0, dimensions = 0;
    for (const Symbol& s : d.symbols) {
        if (s.number == boardNotesSymbol(d.currentHierarchy)) notes = s.items.size();
        if (s.number == dimensionsSymbol(d.currentHierarchy)) dimensions = s.items.size();
    }
    EXPECT_EQ(notes, 1u);
    EXPECT_EQ(dimensions, 4u) << "the line, two end marks and the value";
}

TEST(DemoDesign, EveryDeviceIsInTheExampleThermalLibraries) {
    const Design d = qor::examples::buildDemoDesign();
    std::set<std::string> missing;
    for (const Device& dev : d.devices) missing.insert(dev.name);
    for (const char* library : {"ICS", "POWER", "PASSIVE"}) {
        const std::string path = std::string(QOR_EXAMPLE_LIB_DIR) + "/" + library + ".TAL";
        ASSERT_EQ(THM_L_LibrarySelect(path.c_str()), 0) << path;
        for (auto it = missing.begin(); it != missing.end();) {
            DeviceRecord record;
            it = THM_L_DeviceSearch(it->c_str(), &record) == 0 ? missing.erase(it) : std::next(it);
        }
        THM_L_LibraryFree();
    }
    for (const std::string& name : missing) ADD_FAILURE() << name << " is in no example library";
}

}  // namespace
