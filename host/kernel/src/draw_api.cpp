// G_ calls, the kernel's own drawing of design objects, and the drawing surfaces.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "guard.h"
#include "palette.h"
#include "qor/kernel/kernel.h"
#include "surfaces.h"

using namespace qor::kernel;
namespace qd = qor::design;

namespace {

Surface* current() { return state().draw.current; }

template <typename T>
T* surfaceAs(int32_t number) {
    auto& surfaces = state().draw.surfaces;
    const auto it = surfaces.find(number);
    return it == surfaces.end() ? nullptr : dynamic_cast<T*>(it->second.get());
}

// Kernel drawing picks its own colours; afterwards the caller's colour and style hold again.
class KernelColours {
public:
    explicit KernelColours(Surface& s) : s_(s) {}
    ~KernelColours() {
        s_.setColor(state().draw.colour);
        s_.setStyle(state().draw.style);
    }
    KernelColours(const KernelColours&) = delete;
    KernelColours& operator=(const KernelColours&) = delete;
    void set(int32_t colour) {
        if (colour != last_) s_.setColor(colour);
        last_ = colour;
    }

private:
    Surface& s_;
    int32_t last_ = -1;
};

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
    const int steps = std::max(2, static_cast<int>(std::ceil(std::fabs(sweep) / (std::numbers::pi / 18))));
    qd::Point prev = start;
    for (int k = 1; k <= steps; ++k) {
        const double a = a0 + sweep * k / steps;
        const qd::Point p = k == steps ? end
                                       : qd::Point{static_cast<int32_t>(std::lround(cx + arc.radius * std::cos(a))),
                                                   static_cast<int32_t>(std::lround(cy + arc.radius * std::sin(a)))};
        s.line(prev.x, prev.y, p.x, p.y, width);
        prev = p;
    }
}

// Draws the segments of a trace; colourOf picks the colour of a segment's layer (or none).
template <typename ColourOf>
void drawTrace(Surface& s, const qd::Trace& t, bool hairline, ColourOf colourOf) {
    const auto& pts = t.points;
    size_t prev = pts.size();  // index of the last point record
    for (size_t i = 0; i < pts.size(); ++i) {
        const auto& p = pts[i];
        if (p.flags & qd::kPointArcCentre) {
            if (prev == pts.size() || i + 1 >= pts.size()) continue;
            const auto& a = pts[prev];
            const auto& b = pts[i + 1];
            colourOf(a.layer);
            if (p.radius == 0) s.line(a.x, a.y, b.x, b.y, hairline ? 0 : a.width);
            else drawArc(s, {a.x, a.y}, {b.x, b.y}, p, hairline ? 0 : a.width);
            prev = ++i;
            continue;
        }
        if (prev != pts.size()) {
            const auto& a = pts[prev];
            colourOf(a.layer);
            s.line(a.x, a.y, p.x, p.y, hairline ? 0 : a.width);
        }
        prev = i;
    }
}

}  // namespace

namespace qor::kernel {
int32_t attachSurface(std::unique_ptr<Surface> surface) {
    return guard(0, [&] {
        if (!surface) return 0;
        auto& draw = state().draw;
        const int32_t number = draw.nextSurface++;
        draw.surfaces[number] = std::move(surface);
        return number;
    });
}
}  // namespace qor::kernel

extern "C" {

int32_t G_OpenDC(int32_t surface, const KViewRecord* view) {
    return guard(0, [&] {
        auto& draw = state().draw;
        const auto it = draw.surfaces.find(surface);
        if (it == draw.surfaces.end() || !view) return 0;
        if (draw.current) draw.current->end();
        draw.current = it->second.get();
        draw.current->begin(*view);
        draw.current->setColor(draw.colour);
        draw.current->setStyle(draw.style);
        if (draw.drawFlags) draw.current->setDrawMode(draw.drawFlags);
        return 1;
    });
}

int32_t G_SetDrawMode(int32_t drawFlags) {
    return guard(0, [&] {
        state().draw.drawFlags = drawFlags;
        if (current()) current()->setDrawMode(drawFlags);
        return 1;
    });
}

int32_t G_GetDrawMode(void) { return state().draw.drawFlags; }

int32_t G_CloseDC(void) {
    return guard(0, [&] {
        auto& draw = state().draw;
        if (!draw.current) return 0;
        draw.current->end();
        draw.current = nullptr;
        return 1;
    });
}

int32_t G_SetColor(int32_t colour) {
    return guard(0, [&] {
        state().draw.colour = colour;
        if (current()) current()->setColor(colour);
        return 1;
    });
}

int32_t G_SetStyle(int32_t style) {
    return guard(0, [&] {
        state().draw.style = style;
        if (current()) current()->setStyle(style);
        return 1;
    });
}

int32_t G_Rectangle(int32_t x, int32_t y, int32_t width, int32_t height, int32_t angle) {
    return guard(0, [&] {
        if (!current()) return 0;
        current()->rectangle(x, y, width, height, angle);
        return 1;
    });
}

int32_t G_Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return guard(0, [&] {
        if (!current()) return 0;
        current()->line(x1, y1, x2, y2, 0);
        return 1;
    });
}

int32_t G_Circle(int32_t x, int32_t y, int32_t radius) {
    return guard(0, [&] {
        if (!current()) return 0;
        current()->circle(x, y, radius, state().draw.style != 0);
        return 1;
    });
}

int32_t T_DrawAllRecords(int32_t trace, int32_t mode) {
    (void)mode;
    return guard(0, [&] {
        const auto* t = findTrace(trace);
        if (!current() || !t) return 0;
        drawTrace(*current(), *t, trace == qd::kOutlineTrace, [](int32_t) {});
        return 1;
    });
}

int32_t T_DrawRecords(int32_t trace, int32_t first, int32_t count) {
    return guard(0, [&] {
        const auto* t = findTrace(trace);
        if (!current() || !t || first < 1 || count < 1) return 0;
        KernelColours colours(*current());
        const auto& pts = t->points;
        const auto last = std::min<int64_t>(int64_t{first} + count - 1, static_cast<int64_t>(pts.size()) - 1);
        for (int64_t k = first; k <= last; ++k) {
            const auto& a = pts[static_cast<size_t>(k - 1)];
            if (a.flags & qd::kPointArcCentre) continue;  // drawn with the segment before it
            const auto& next = pts[static_cast<size_t>(k)];
            colours.set(layerColour(a.layer));
            if (next.flags & qd::kPointArcCentre) {
                if (static_cast<size_t>(k + 1) >= pts.size()) continue;
                const auto& b = pts[static_cast<size_t>(k + 1)];
                if (next.radius == 0) current()->line(a.x, a.y, b.x, b.y, a.width);
                else drawArc(*current(), {a.x, a.y}, {b.x, b.y}, next, a.width);
            } else {
                current()->line(a.x, a.y, next.x, next.y, a.width);
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
            current()->circle(n->x, n->y, 40000, false);  // 0.4 mm ring
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
        for (const auto& t : d->model.traces)
            if (t.number != qd::kOutlineTrace)
                drawTrace(*current(), t, false, [&](int32_t layer) { colours.set(layerColour(layer)); });
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
        for (const auto& c : d->model.components) {
            const auto* sym = findSymbol(c.symbol);
            if (!sym) continue;
            colours.set(layerColour(c.flags & qd::kComponentMirrored ? 29 : 2));
            for (const auto& pad : sym->pads) {
                int32_t size = 100000;
                for (const auto& k : sym->padStacks)
                    if (k.number == pad.padStack) size = k.sizeUnits;
                const qd::Point at = qd::place(c, {pad.x, pad.y});
                s.setStyle(16);
                s.rectangle(at.x - size / 2, at.y - size / 2, size, size, c.angle);
            }
            colours.set(15);
            for (const auto& it : sym->items) {
                if (it.kind != qd::kItemLine) continue;
                const qd::Point a = qd::place(c, {it.x, it.y});
                const qd::Point b = qd::place(c, {it.x + it.dx, it.y + it.dy});
                s.line(a.x, a.y, b.x, b.y, 0);
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
        for (const auto& it : sym->items) {
            if (it.kind != qd::kItemLine) continue;
            colours.set(layerColour(it.layer & 0x1F));
            current()->line(it.x, it.y, it.x + it.dx, it.y + it.dy, it.width);
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
        for (const auto& v : d->model.vias) {
            colours.set(8);
            current()->circle(v.x, v.y, v.diameter / 2, true);
            colours.set(0);
            current()->circle(v.x, v.y, v.drill / 2, true);
        }
        return 1;
    });
}

int32_t G_CreateRasterSurface(int32_t width, int32_t height) {
    return guard(0, [&] {
        if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > 400'000'000) return 0;
        auto surface = std::make_unique<RasterSurface>(width, height);
        if (surface->image().isNull()) return 0;
        return attachSurface(std::move(surface));
    });
}

int32_t G_CreateRecordingSurface(void) {
    return guard(0, [&] { return attachSurface(std::make_unique<RecordingSurface>()); });
}

int32_t G_SaveSurfacePng(int32_t surface, const char* path) {
    return guard(0, [&] {
        auto* raster = surfaceAs<RasterSurface>(surface);
        if (!raster || !path) return 0;
        if (state().draw.current == raster) raster->end();
        return raster->savePng(path) ? 1 : 0;
    });
}

const char* G_SurfaceRecording(int32_t surface) {
    return guard<const char*>("", [&]() -> const char* {
        const auto* rec = surfaceAs<RecordingSurface>(surface);
        return rec ? rec->text().c_str() : "";
    });
}

int32_t G_DeleteSurface(int32_t surface) {
    return guard(0, [&] {
        auto& draw = state().draw;
        const auto it = draw.surfaces.find(surface);
        if (it == draw.surfaces.end()) return 0;
        if (draw.current == it->second.get()) draw.current = nullptr;
        draw.surfaces.erase(it);
        return 1;
    });
}

int32_t G_PaletteRgb(int32_t colour) { return static_cast<int32_t>(paletteRgb(colour)); }

}  // extern "C"
