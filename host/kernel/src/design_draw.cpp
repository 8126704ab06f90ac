// The kernel's own drawing of design objects: outline and traces, components, vias, nodes and the
// ratsnest, auxiliary symbols and layout texts. Everything on a hidden layer (system table 11) is
// left out.
#include <limits>
#include <numbers>
#include <unordered_map>
#include <vector>

#include "draw_support.h"
#include "guard.h"
#include "qor/kernel/kernel.h"
#include "tables.h"

using namespace qor::kernel;
namespace qd = qor::design;

namespace {

constexpr int32_t kComponentSide = 2;
constexpr int32_t kSolderSide = 29;
constexpr uint32_t kAllLayers = 0xFFFFFFFFu;
constexpr int32_t kNodeMarkerRadius = 40000;  // 0.4 mm ring

int32_t sideLayer(const qd::Component& c) {
    return c.flags & qd::kComponentMirrored ? kSolderSide : kComponentSide;
}

// An arc from start to end around centre as short chords.
void drawArc(Surface& s, qd::Point start, qd::Point end, const qd::TracePoint& arc, int32_t width) {
    const double cx = start.x + static_cast<double>(arc.centreDx);
    const double cy = start.y + static_cast<double>(arc.centreDy);
    const double a0 = std::atan2(start.y - cy, start.x - cx);
    double sweep = std::atan2(end.y - cy, end.x - cx) - a0;
    if (arc.flags & qd::kArcClockwise) {
        while (sweep >= 0) sweep -= 2 * std::numbers::pi;
    } else {
        while (sweep <= 0) sweep += 2 * std::numbers::pi;
    }
    const int steps =
        std::max(2, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 18))));
    qd::Point prev = start;
    for (int k = 1; k <= steps; ++k) {
        const double a = a0 + sweep * k / steps;
        const qd::Point p =
            k == steps
                ? end
                : qd::Point{static_cast<int32_t>(std::lround(cx + arc.radius * std::cos(a))),
                            static_cast<int32_t>(std::lround(cy + arc.radius * std::sin(a)))};
        stroke(s, prev.x, prev.y, p.x, p.y, width);
        prev = p;
    }
}

// Draws the segments of a trace; onLayer(layer) prepares a segment's layer and says whether it is
// drawn at all.
template <typename OnLayer>
void drawTrace(Surface& s, const qd::Trace& t, bool hairline, OnLayer onLayer) {
    const auto& pts = t.points;
    size_t prev = pts.size();  // index of the last point record
    for (size_t i = 0; i < pts.size(); ++i) {
        const auto& p = pts[i];
        if (p.flags & qd::kPointArcCentre) {
            if (prev == pts.size() || i + 1 >= pts.size()) continue;
            const auto& a = pts[prev];
            const auto& b = pts[i + 1];
            if (onLayer(a.layer)) {
                if (p.radius == 0)
                    stroke(s, a.x, a.y, b.x, b.y, hairline ? 0 : a.width);
                else
                    drawArc(s, {a.x, a.y}, {b.x, b.y}, p, hairline ? 0 : a.width);
            }
            prev = ++i;
            continue;
        }
        if (prev != pts.size()) {
            const auto& a = pts[prev];
            if (onLayer(a.layer)) stroke(s, a.x, a.y, p.x, p.y, hairline ? 0 : a.width);
        }
        prev = i;
    }
}

// One item of a symbol or of the layout texts: lines and box edges with their width (a hairline
// when not drawn to true size), texts through the surface.
void drawItem(Surface& s, const qd::Item& it, int32_t defaultTextSize, bool hairline) {
    const int32_t width = hairline ? 0 : it.width;
    const auto x2 = static_cast<int32_t>(int64_t{it.x} + it.dx);
    const auto y2 = static_cast<int32_t>(int64_t{it.y} + it.dy);
    switch (it.kind) {
        case qd::kItemLine:
            stroke(s, it.x, it.y, x2, y2, width);
            break;
        case qd::kItemBox:
            stroke(s, it.x, it.y, x2, it.y, width);
            stroke(s, x2, it.y, x2, y2, width);
            stroke(s, x2, y2, it.x, y2, width);
            stroke(s, it.x, y2, it.x, it.y, width);
            break;
        case qd::kItemText:
            s.drawText(it.x, it.y, it.textSize > 0 ? it.textSize : defaultTextSize, it.angle,
                       it.text.c_str());
            break;
        default:
            break;
    }
}

// The layers a via joins: those of the trace segments that meet at it. A via no trace passes
// through goes through the whole board.
uint32_t viaLayers(const std::unordered_map<uint64_t, uint32_t>& joined, const qd::Via& v) {
    const auto it = joined.find((static_cast<uint64_t>(static_cast<uint32_t>(v.x)) << 32) |
                                static_cast<uint32_t>(v.y));
    return it == joined.end() || it->second == 0 ? kAllLayers : it->second;
}

std::unordered_map<uint64_t, uint32_t> viaJoins(const qd::Design& d) {
    std::unordered_map<uint64_t, uint32_t> joined;
    const auto bit = [](int32_t layer) { return layer >= 0 && layer < 32 ? 1u << layer : 0u; };
    for (const auto& t : d.traces) {
        if (t.number == qd::kOutlineTrace) continue;
        int32_t before = -1;  // layer of the segment that ends at the current point
        for (const auto& p : t.points) {
            if (p.flags & qd::kPointArcCentre) continue;
            if (p.flags & qd::kPointVia) {
                auto& mask = joined[(static_cast<uint64_t>(static_cast<uint32_t>(p.x)) << 32) |
                                    static_cast<uint32_t>(p.y)];
                mask |= bit(p.layer) | bit(before);
            }
            before = p.layer;
        }
    }
    return joined;
}

// The layers of a node's pad: its component's side, every layer for a drilled pad or a node
// without a component.
uint32_t nodeLayers(const qd::Node& n) {
    const auto* c = findComponent(n.component);
    if (!c) return kAllLayers;
    if (const auto* sym = findSymbol(c->symbol)) {
        for (const auto& pad : sym->pads) {
            if (pad.pin != n.pin) continue;
            for (const auto& k : sym->padStacks)
                if (k.number == pad.padStack && k.throughHole) return kAllLayers;
        }
    }
    return 1u << sideLayer(*c);
}

}  // namespace

extern "C" {

int32_t T_DrawAllRecords(int32_t trace, int32_t mode) {
    (void)mode;
    return guard(0, [&] {
        const auto* t = findTrace(trace);
        if (!current() || !t) return 0;
        // The outline lies on layer 0; a single trace is drawn when asked for (highlights).
        if (trace == qd::kOutlineTrace && !layerVisible(0)) return 1;
        const bool hairline = trace == qd::kOutlineTrace || !DrawFlags::trueSize();
        drawTrace(*current(), *t, hairline, [](int32_t) { return true; });
        return 1;
    });
}

int32_t T_DrawRecords(int32_t trace, int32_t first, int32_t count) {
    return guard(0, [&] {
        const auto* t = findTrace(trace);
        if (!current() || !t || first < 1 || count < 1) return 0;
        Surface& s = *current();
        KernelColours colours(s);
        const bool trueSize = DrawFlags::trueSize();
        const auto& pts = t->points;
        const auto last =
            std::min<int64_t>(int64_t{first} + count - 1, static_cast<int64_t>(pts.size()) - 1);
        for (int64_t k = first; k <= last; ++k) {
            const auto& a = pts[static_cast<size_t>(k - 1)];
            if (a.flags & qd::kPointArcCentre) continue;  // drawn with the segment before it
            const auto& next = pts[static_cast<size_t>(k)];
            const int32_t width = trueSize ? a.width : 0;
            colours.set(layerColour(a.layer));
            if (next.flags & qd::kPointArcCentre) {
                if (static_cast<size_t>(k + 1) >= pts.size()) continue;
                const auto& b = pts[static_cast<size_t>(k + 1)];
                if (next.radius == 0)
                    stroke(s, a.x, a.y, b.x, b.y, width);
                else
                    drawArc(s, {a.x, a.y}, {b.x, b.y}, next, width);
            } else {
                stroke(s, a.x, a.y, next.x, next.y, width);
            }
        }
        return 1;
    });
}

int32_t N_DrawNetNodes(int32_t net, int32_t mode) {
    (void)mode;
    return guard(0, [&] {
        const OpenDesign* d = openDesign();
        if (!current() || !d || !findNet(net)) return 0;
        const auto it = d->index.netNodes.find(net);
        if (it == d->index.netNodes.end()) return 1;
        for (const int32_t number : it->second) {
            const auto* n = findNode(number);
            current()->circle(n->x, n->y, kNodeMarkerRadius, false);
        }
        return 1;
    });
}

int32_t N_DrawAllNodes(int32_t mode) {
    (void)mode;
    return guard(0, [&] {
        const OpenDesign* d = openDesign();
        if (!current() || !d) return 0;
        for (const auto& n : d->model.nodes)
            if (anyLayerVisible(nodeLayers(n)))
                current()->circle(n.x, n.y, kNodeMarkerRadius, false);
        return 1;
    });
}

int32_t N_DrawNetRatsnest(int32_t net) {
    return guard(0, [&] {
        const OpenDesign* d = openDesign();
        if (!current() || !d || !findNet(net)) return 0;
        const auto it = d->index.netNodes.find(net);
        if (it == d->index.netNodes.end() || it->second.size() < 2) return 1;
        std::vector<qd::Point> at;
        for (const int32_t number : it->second)
            at.push_back({findNode(number)->x, findNode(number)->y});
        // Prim: grow the tree from the first node, always by the nearest node outside it.
        const size_t n = at.size();
        const auto dist2 = [&](size_t i, size_t j) {
            const double dx = static_cast<double>(at[i].x) - at[j].x,
                         dy = static_cast<double>(at[i].y) - at[j].y;
            return dx * dx + dy * dy;
        };
        std::vector<bool> inTree(n, false);
        std::vector<double> best(n, std::numeric_limits<double>::infinity());
        std::vector<size_t> link(n, 0);
        inTree[0] = true;
        for (size_t j = 1; j < n; ++j) best[j] = dist2(0, j);
        for (size_t added = 1; added < n; ++added) {
            size_t next = 0;
            double nearest = std::numeric_limits<double>::infinity();
            for (size_t j = 0; j < n; ++j)
                if (!inTree[j] && best[j] < nearest) nearest = best[j], next = j;
            if (next == 0) break;
            inTree[next] = true;
            current()->line(at[link[next]].x, at[link[next]].y, at[next].x, at[next].y, 0);
            for (size_t j = 0; j < n; ++j) {
                if (inTree[j]) continue;
                const double dj = dist2(next, j);
                if (dj < best[j]) best[j] = dj, link[j] = next;
            }
        }
        return 1;
    });
}

int32_t T_DrawAllTraceMask(int32_t mask, int32_t mode) {
    (void)mask, (void)mode;
    return guard(0, [&] {
        const OpenDesign* d = openDesign();
        if (!current() || !d) return 0;
        KernelColours colours(*current());
        const bool hairline = !DrawFlags::trueSize();
        for (const auto& t : d->model.traces) {
            if (t.number == qd::kOutlineTrace) continue;
            drawTrace(*current(), t, hairline, [&](int32_t layer) {
                if (!layerVisible(layer)) return false;
                colours.set(layerColour(layer));
                return true;
            });
        }
        return 1;
    });
}

int32_t L_DrawAllComponents(int32_t mode) {
    (void)mode;
    return guard(0, [&] {
        const OpenDesign* d = openDesign();
        if (!current() || !d) return 0;
        Surface& s = *current();
        KernelColours colours(s);
        const int32_t padStyle = DrawFlags::padFrames() ? 0 : 16;
        for (const auto& c : d->model.components) {
            const auto* sym = findSymbol(c.symbol);
            if (!sym || !layerVisible(sideLayer(c))) continue;
            colours.set(layerColour(sideLayer(c)));
            s.setStyle(padStyle);
            for (const auto& pad : sym->pads) {
                int32_t size = 100000;
                for (const auto& k : sym->padStacks)
                    if (k.number == pad.padStack) size = k.sizeUnits;
                const qd::Point at = qd::place(c, {pad.x, pad.y});
                s.rectangle(at.x - size / 2, at.y - size / 2, size, size, c.angle);
            }
            colours.set(15);
            for (const auto& it : sym->items) {
                if (it.kind != qd::kItemLine) continue;
                const qd::Point a = qd::place(c, {it.x, it.y});
                const qd::Point b = qd::place(c, {it.x + it.dx, it.y + it.dy});
                stroke(s, a.x, a.y, b.x, b.y, 0);
            }
        }
        return 1;
    });
}

int32_t S_DrawSymbol(int32_t symbol, int32_t x, int32_t y) {
    (void)x, (void)y;
    return guard(0, [&] {
        const auto* sym = findSymbol(symbol);
        if (!current() || !sym || symbol >= 0) return 0;  // auxiliary symbols hold absolute items
        KernelColours colours(*current());
        const bool hairline = !DrawFlags::trueSize();
        const int32_t textSize = openDesign()->model.textSize;
        for (const auto& it : sym->items) {
            if (!layerVisible(it.layer & 0x1F)) continue;
            colours.set(layerColour(it.layer & 0x1F));
            drawItem(*current(), it, textSize, hairline);
        }
        return 1;
    });
}

int32_t V_DrawAllVias(int32_t mode) {
    (void)mode;
    return guard(0, [&] {
        const OpenDesign* d = openDesign();
        if (!current() || !d) return 0;
        KernelColours colours(*current());
        const auto joined = viaJoins(d->model);
        for (const auto& v : d->model.vias) {
            if (!anyLayerVisible(viaLayers(joined, v))) continue;
            colours.set(8);
            current()->circle(v.x, v.y, v.diameter / 2, true);
            colours.background();
            current()->circle(v.x, v.y, v.drill / 2, true);
        }
        return 1;
    });
}

int32_t T_DrawLayoutAllTexts(int32_t mode) {
    return guard(0, [&] {
        const OpenDesign* d = openDesign();
        if (!current() || !d || mode <= 0) return 0;
        const bool hairline = !DrawFlags::trueSize();
        for (const auto& it : d->model.layoutTexts) {
            // Mode 1 draws the board's texts layer by layer; 4 and 8 pick the analyzers' labels.
            const bool drawn = mode == 1 ? layerVisible(it.layer & 0x1F) : (it.mask & mode) != 0;
            if (drawn) drawItem(*current(), it, d->model.textSize, hairline);
        }
        return 1;
    });
}

}  // extern "C"
