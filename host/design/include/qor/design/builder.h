// Builds designs in code: tests, the demo design and importers use it.
//
//   DesignBuilder b("Demo");
//   int32_t so8 = b.addSymbol("SO-8", pads, {-250000, -200000, 250000, 200000});
//   int32_t u1 = b.addComponent("U1", so8, b.addDevice("LM358", "SO-8"), {5000000, 4000000});
//   int32_t vcc = b.addNet("VCC");
//   b.trace(vcc, 2, 25400).fromNode(b.connect(vcc, u1, 8)).bendTo({...}).toNode(...);
//   Design d = b.take();
#pragma once

#include <string>
#include <vector>

#include "qor/design/model.h"

namespace qor::design {

class DesignBuilder;

// Appends the records of one trace in drawing order.
class TraceBuilder {
public:
    TraceBuilder& layer(int32_t layer);
    TraceBuilder& width(int32_t widthUnits);
    TraceBuilder& fromNode(int32_t node);
    TraceBuilder& from(Point p);
    TraceBuilder& bendTo(Point p);
    // A via at p: the trace changes to toLayer after it.
    TraceBuilder& viaTo(Point p, int32_t toLayer, int32_t diameter = 60000, int32_t drill = 30000);
    // An arc from the current point to end around centre.
    TraceBuilder& arcTo(Point end, Point centre, bool clockwise);
    TraceBuilder& toNode(int32_t node);
    int32_t number() const { return trace_; }

private:
    friend class DesignBuilder;
    TraceBuilder(DesignBuilder& b, int32_t trace, int32_t layer, int32_t width)
        : b_(b), trace_(trace), layer_(layer), width_(width) {}
    Trace& t();
    TraceBuilder& push(int32_t flags, Point p, int32_t node = 0);

    DesignBuilder& b_;
    int32_t trace_;
    int32_t layer_;
    int32_t width_;
};

class DesignBuilder {
public:
    explicit DesignBuilder(std::string name);

    void setLayerName(int32_t layer, std::string name);

    // A package symbol with pads and a rectangular body outline (relative to its origin).
    int32_t addSymbol(std::string name, std::vector<Pad> pads, Rect body, bool throughHole = false,
                      int32_t padSize = 150000);
    int32_t addDevice(std::string name, std::string package);
    int32_t addComponent(std::string name, int32_t symbol, int32_t device, Point at, int32_t angle = 0,
                         bool mirrored = false);
    int32_t addNet(std::string name);
    // Puts a component pin on a net and returns the new node.
    int32_t connect(int32_t net, int32_t component, int32_t pin);
    Point pinPosition(int32_t component, int32_t pin) const;

    TraceBuilder trace(int32_t net, int32_t layer, int32_t widthUnits);
    // The board outline through the given corners; closed back to the first corner.
    void setOutline(const std::vector<Point>& corners);
    // A copper area of a net on a layer: an outline chain of the "@COPPAR" symbol.
    void addCopperArea(int32_t net, int32_t layer, const std::vector<Point>& polygon);
    int32_t addVia(int32_t net, Point at, int32_t diameter, int32_t drill);
    void addLayoutText(Item text);

    Design& design() { return d_; }
    Design take() { return std::move(d_); }

    const Component& component(int32_t number) const;
    const Symbol& symbol(int32_t number) const;
    const Node& node(int32_t number) const;

private:
    friend class TraceBuilder;
    Symbol& auxiliarySymbol(int32_t number, const char* name);

    Design d_;
};

}  // namespace qor::design
