// The design model: everything a board holds, as plain values.
//
// Coordinates and lengths are database units of 10 nm (100000 per millimetre), Y pointing up;
// angles are thousandths of a degree. Numbers (component, net, node, trace, symbol, device) are the
// design's own identities: they are stored in the file and never renumbered, so the numbers a
// program reads through the kernel stay valid across save and reopen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qor::design {

constexpr int32_t kUnitsPerMm = 100000;
constexpr int32_t kUnitsPerInch = 2540000;
constexpr int32_t kLayerCount = 32;
constexpr int32_t kOutlineTrace = -1;  // the board outline is trace -1

// Trace point flags. Bits 0xE hold exactly one kind; arc-centre records have kind 0.
enum TracePointFlag : int32_t {
    kPointNode = 0x2,       // the point sits on a node (pin)
    kPointBend = 0x4,       // a bend point
    kPointVia = 0x8,        // a via
    kPointArcCentre = 0x10, // arc-centre record between the two end points of an arc
    kArcClockwise = 0x20,   // direction of the arc (set = clockwise)
};

// Component flags.
enum ComponentFlag : int32_t {
    kComponentLocked = 0x1,
    kComponentMirrored = 0x2,  // placed on the solder side
};

// Item flags (outline chains of copper areas).
enum ItemFlag : int32_t {
    kItemOutline = 0x8,
    kItemChainFirst = 0x10,
    kItemChainLast = 0x20,
};

// Item kinds.
enum ItemKind : int32_t {
    kItemLine = 1,
    kItemBox = 3,
    kItemText = 6,
};

// Auxiliary symbols live at negative numbers relative to the hierarchy level.
inline int32_t copperAreaSymbol(int32_t level) { return -level - 400; }   // "@COPPAR"
inline int32_t boardNotesSymbol(int32_t level) { return -level - 200; }   // "@BRDNOTES"
inline int32_t dimensionsSymbol(int32_t level) { return -level - 300; }   // "@BRDDIM"
inline int32_t gapMaskSymbol(int32_t level) { return -level - 800; }      // "@AGAPMSK"

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int32_t left = 0, bottom = 0, right = 0, top = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Layer {
    int32_t number = 0;  // 0 ... 31
    std::string name;
};

struct Hierarchy {
    int32_t number = 0;
    std::string name;
};

// A layout item: line, box or text; used for symbol graphics, copper-area outlines and layout texts.
struct Item {
    int32_t kind = kItemLine;
    int32_t flags = 0;
    int32_t mask = 0;
    int32_t link = 0;
    int32_t layer = 0;
    int32_t x = 0, y = 0;    // start point (text position)
    int32_t dx = 0, dy = 0;  // offset to the end point (box: width and height)
    int32_t width = 0;       // line width
    int32_t gap = 0;
    int32_t angle = 0;
    int32_t textSize = 0;
    int32_t attributes = 0;
    std::string text;
};

struct PadStack {
    int32_t number = 0;
    bool throughHole = false;
    int32_t sizeUnits = 0;
    int32_t drillUnits = 0;
};

// A pin entry of a symbol, relative to the symbol's origin.
struct Pad {
    int32_t pin = 0;  // 1 ...
    std::string name;
    int32_t x = 0, y = 0;
    int32_t padStack = 0;
};

struct Symbol {
    int32_t number = 0;  // negative for auxiliary symbols
    std::string name;
    int32_t mask = 0;
    std::vector<Pad> pads;
    std::vector<PadStack> padStacks;
    std::vector<Item> items;  // outline graphics (relative), copper-area outlines (absolute)
};

struct Device {
    int32_t number = 0;
    std::string name;     // part name, e.g. "LM7805"
    std::string package;  // package name, e.g. "TO-220"
};

struct Component {
    int32_t number = 0;
    std::string name;  // reference, e.g. "U1"
    int32_t x = 0, y = 0;
    int32_t angle = 0;
    int32_t flags = 0;
    int32_t mask = 0;
    int32_t symbol = 0;
    int32_t device = 0;  // 0 = none
    int32_t hierarchy = 0;
};

struct Net {
    int32_t number = 0;
    std::string name;
    int32_t mask = 0;
};

// A pin of a component on a net. Node numbers are unique across the design.
struct Node {
    int32_t number = 0;
    int32_t net = 0;
    int32_t component = 0;
    int32_t pin = 0;
    int32_t x = 0, y = 0;
    int32_t flags = 0;
    int32_t mask = 0;
};

// One record of a trace. For an arc-centre record (kPointArcCentre) centreDx/centreDy give the
// centre relative to the arc's start point (the previous record) and radius its radius (0 makes the
// segment straight); x, y are not stored for it.
struct TracePoint {
    int32_t flags = kPointBend;
    int32_t node = 0;
    int32_t layer = 0;
    int32_t width = 0;  // width of the segment that starts here
    int32_t x = 0, y = 0;
    int32_t centreDx = 0, centreDy = 0, radius = 0;
};

struct Trace {
    int32_t number = 0;  // -1 = board outline
    int32_t net = 0;
    int32_t flags = 0;
    int32_t mask = 0;
    std::vector<TracePoint> points;
};

struct Via {
    int32_t number = 0;
    int32_t net = 0;
    int32_t x = 0, y = 0;
    int32_t diameter = 0;
    int32_t drill = 0;
};

struct Design {
    std::string name;
    int32_t currentHierarchy = 1;
    int32_t textSize = 150000;  // label text height
    std::vector<Layer> layers;
    std::vector<Hierarchy> hierarchies;
    std::vector<Symbol> symbols;
    std::vector<Device> devices;
    std::vector<Component> components;
    std::vector<Net> nets;
    std::vector<Node> nodes;
    std::vector<Trace> traces;
    std::vector<Via> vias;
    std::vector<Item> layoutTexts;
};

// Placement of a symbol-relative point by a component: mirror (solder side) first, then rotate by
// the component's angle, then move to the component's position.
Point place(const Component& component, Point relative);

// The point where an arc-centre record's arc passes halfway between its end points.
Point arcMidpoint(Point start, Point end, const TracePoint& arcCentre);

}  // namespace qor::design
