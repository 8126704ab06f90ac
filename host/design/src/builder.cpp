#include "qor/design/builder.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace qor::design {

namespace {
template <typename T>
const T& byNumber(const std::vector<T>& v, int32_t number, const char* what) {
    for (const T& x : v)
        if (x.number == number) return x;
    throw std::out_of_range(std::string("no ") + what + " " + std::to_string(number));
}
}  // namespace

DesignBuilder::DesignBuilder(std::string name) {
    d_.name = std::move(name);
    for (int32_t i = 0; i < kLayerCount; ++i) d_.layers.push_back({i, "L" + std::to_string(i)});
    d_.hierarchies.push_back({1, "Main"});
    d_.currentHierarchy = 1;
}

void DesignBuilder::setLayerName(int32_t layer, std::string name) {
    d_.layers.at(static_cast<size_t>(layer)).name = std::move(name);
}

int32_t DesignBuilder::addSymbol(std::string name, std::vector<Pad> pads, Rect body, bool throughHole,
                                 int32_t padSize) {
    Symbol s;
    s.number = static_cast<int32_t>(std::count_if(d_.symbols.begin(), d_.symbols.end(),
                                                  [](const Symbol& x) { return x.number > 0; })) + 1;
    s.name = std::move(name);
    s.pads = std::move(pads);
    s.padStacks.push_back({1, throughHole, padSize, throughHole ? padSize / 2 : 0});
    for (Pad& p : s.pads)
        if (p.padStack == 0) p.padStack = 1;
    const Point corners[] = {{body.left, body.bottom}, {body.right, body.bottom}, {body.right, body.top},
                             {body.left, body.top}};
    for (int i = 0; i < 4; ++i) {
        const Point a = corners[i], b = corners[(i + 1) % 4];
        Item line;
        line.kind = kItemLine;
        line.layer = 1;
        line.x = a.x, line.y = a.y, line.dx = b.x - a.x, line.dy = b.y - a.y;
        line.width = 15000;
        s.items.push_back(line);
    }
    d_.symbols.push_back(std::move(s));
    return d_.symbols.back().number;
}

int32_t DesignBuilder::addDevice(std::string name, std::string package) {
    const auto number = static_cast<int32_t>(d_.devices.size()) + 1;
    d_.devices.push_back({number, std::move(name), std::move(package)});
    return number;
}

int32_t DesignBuilder::addComponent(std::string name, int32_t symbol, int32_t device, Point at,
                                    int32_t angle, bool mirrored) {
    Component c;
    c.number = static_cast<int32_t>(d_.components.size()) + 1;
    c.name = std::move(name);
    c.x = at.x, c.y = at.y, c.angle = angle;
    c.flags = mirrored ? kComponentMirrored : 0;
    c.symbol = symbol, c.device = device, c.hierarchy = d_.currentHierarchy;
    d_.components.push_back(std::move(c));
    return d_.components.back().number;
}

int32_t DesignBuilder::addNet(std::string name) {
    const auto number = static_cast<int32_t>(d_.nets.size()) + 1;
    d_.nets.push_back({number, std::move(name), 0});
    return number;
}

Point DesignBuilder::pinPosition(int32_t component, int32_t pin) const {
    const Component& c = this->component(component);
    for (const Pad& p : symbol(c.symbol).pads)
        if (p.pin == pin) return place(c, {p.x, p.y});
    throw std::out_of_range("component " + c.name + " has no pin " + std::to_string(pin));
}

int32_t DesignBuilder::connect(int32_t net, int32_t component, int32_t pin) {
    const Point at = pinPosition(component, pin);
    Node n;
    n.number = static_cast<int32_t>(d_.nodes.size()) + 1;
    n.net = net, n.component = component, n.pin = pin, n.x = at.x, n.y = at.y;
    d_.nodes.push_back(n);
    return n.number;
}

TraceBuilder DesignBuilder::trace(int32_t net, int32_t layer, int32_t widthUnits) {
    int32_t number = 1;
    for (const Trace& t : d_.traces) number = std::max(number, t.number + 1);
    d_.traces.push_back(Trace{number, net, 0, 0, {}});
    return TraceBuilder(*this, number, layer, widthUnits);
}

void DesignBuilder::setOutline(const std::vector<Point>& corners) {
    std::erase_if(d_.traces, [](const Trace& t) { return t.number == kOutlineTrace; });
    Trace outline{kOutlineTrace, 0, 0, 0, {}};
    for (size_t i = 0; i <= corners.size() && !corners.empty(); ++i) {
        const Point p = corners[i % corners.size()];
        outline.points.push_back({kPointBend, 0, 0, 0, p.x, p.y, 0, 0, 0});
    }
    d_.traces.insert(d_.traces.begin(), std::move(outline));
}

Symbol& DesignBuilder::auxiliarySymbol(int32_t number, const char* name) {
    for (Symbol& s : d_.symbols)
        if (s.number == number) return s;
    Symbol s;
    s.number = number;
    s.name = name;
    d_.symbols.insert(d_.symbols.begin(), std::move(s));
    return d_.symbols.front();
}

void DesignBuilder::addCopperArea(int32_t net, int32_t layer, const std::vector<Point>& polygon) {
    Symbol& area = auxiliarySymbol(copperAreaSymbol(d_.currentHierarchy), "@COPPAR");
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Point a = polygon[i], b = polygon[(i + 1) % polygon.size()];
        Item line;
        line.kind = kItemLine;
        line.flags = kItemOutline | (i == 0 ? kItemChainFirst : 0) |
                     (i + 1 == polygon.size() ? kItemChainLast : 0);
        // The first item of a chain carries the area's net: mask 16 and the net as link.
        line.mask = i == 0 ? 16 : 0;
        line.link = net;
        line.layer = layer;
        line.x = a.x, line.y = a.y, line.dx = b.x - a.x, line.dy = b.y - a.y;
        area.items.push_back(line);
    }
}

int32_t DesignBuilder::addVia(int32_t net, Point at, int32_t diameter, int32_t drill) {
    const auto number = static_cast<int32_t>(d_.vias.size()) + 1;
    d_.vias.push_back({number, net, at.x, at.y, diameter, drill});
    return number;
}

void DesignBuilder::addLayoutText(Item text) { d_.layoutTexts.push_back(std::move(text)); }

const Component& DesignBuilder::component(int32_t number) const {
    return byNumber(d_.components, number, "component");
}
const Symbol& DesignBuilder::symbol(int32_t number) const { return byNumber(d_.symbols, number, "symbol"); }
const Node& DesignBuilder::node(int32_t number) const { return byNumber(d_.nodes, number, "node"); }

Trace& TraceBuilder::t() {
    for (Trace& x : b_.d_.traces)
        if (x.number == trace_) return x;
    throw std::out_of_range("trace vanished");
}

TraceBuilder& TraceBuilder::layer(int32_t layer) {
    layer_ = layer;
    return *this;
}

TraceBuilder& TraceBuilder::width(int32_t widthUnits) {
    width_ = widthUnits;
    return *this;
}

TraceBuilder& TraceBuilder::push(int32_t flags, Point p, int32_t node) {
    t().points.push_back({flags, node, layer_, width_, p.x, p.y, 0, 0, 0});
    return *this;
}

TraceBuilder& TraceBuilder::fromNode(int32_t node) {
    const Node& n = b_.node(node);
    return push(kPointNode, {n.x, n.y}, node);
}

TraceBuilder& TraceBuilder::from(Point p) { return push(kPointBend, p); }
TraceBuilder& TraceBuilder::bendTo(Point p) { return push(kPointBend, p); }

TraceBuilder& TraceBuilder::viaTo(Point p, int32_t toLayer, int32_t diameter, int32_t drill) {
    push(kPointVia, p);
    layer_ = toLayer;
    t().points.back().layer = toLayer;  // the segment after the via runs on the new layer
    b_.addVia(t().net, p, diameter, drill);
    return *this;
}

TraceBuilder& TraceBuilder::arcTo(Point end, Point centre, bool clockwise) {
    Trace& tr = t();
    if (tr.points.empty()) throw std::logic_error("an arc needs a start point");
    const TracePoint& start = tr.points.back();
    TracePoint c{kPointArcCentre | (clockwise ? kArcClockwise : 0), 0, layer_, width_, 0, 0, 0, 0, 0};
    c.centreDx = centre.x - start.x;
    c.centreDy = centre.y - start.y;
    const double r = std::hypot(static_cast<double>(c.centreDx), static_cast<double>(c.centreDy));
    c.radius = static_cast<int32_t>(std::lround(r));
    tr.points.push_back(c);
    return push(kPointBend, end);
}

TraceBuilder& TraceBuilder::toNode(int32_t node) {
    const Node& n = b_.node(node);
    return push(kPointNode, {n.x, n.y}, node);
}

}  // namespace qor::design
