// G_ calls: drawing contexts, primitives, the grid, the cached picture, and the kernel's surfaces.
#include <cmath>

#include "draw_support.h"
#include "guard.h"
#include "palette.h"
#include "qor/kernel/kernel.h"
#include "surfaces.h"

using namespace qor::kernel;

namespace {

template <typename T>
T* surfaceAs(int32_t number) {
    auto& surfaces = state().draw.surfaces;
    const auto it = surfaces.find(number);
    return it == surfaces.end() ? nullptr : dynamic_cast<T*>(it->second.get());
}

Surface* surfaceNumber(int32_t number) {
    return surfaceAs<Surface>(number);
}

// Pixel to design units in a view: the inverse of ViewMapping.
void pixelToDesign(const KViewRecord& view, double px, double py, double& x, double& y) {
    const ViewMapping m(view);
    const double dx = (px - m.halfWidth) * m.zoom;
    x = m.mirror ? m.originX - dx : m.originX + dx;
    y = m.originY - (py - m.halfHeight) * m.zoom;
}

// Picture handles name their surface in the high half and the surface's own handle in the low.
constexpr int32_t kMaxPictureSurface = 0x7FFF;
constexpr int32_t kMaxPicture = 0xFFFF;
int32_t pictureSurface(int32_t view) {
    return static_cast<int32_t>(static_cast<uint32_t>(view) >> 16);
}
int32_t pictureOf(int32_t view) {
    return view & kMaxPicture;
}

// The grid pitch: step, 2, 5, 10, 20, 50 ... times step, the first at least minimum units.
int64_t gridStep(int64_t step, double minimum) {
    const int64_t factors[3] = {1, 2, 5};
    for (int64_t decade = 1;; decade *= 10) {
        for (const int64_t f : factors) {
            const int64_t candidate = step * f * decade;
            if (static_cast<double>(candidate) >= minimum || candidate > INT32_MAX)
                return candidate;
        }
    }
}

constexpr double kMinGridPixels = 4;
constexpr int64_t kMaxGridDots = 4'000'000;

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
        draw.lastView = *view;
        draw.haveView = true;
        draw.lastSurface = surface;
        draw.current->begin(*view);
        draw.current->setColor(draw.colour);
        draw.current->setStyle(draw.style);
        if (draw.drawFlags) draw.current->setDrawMode(draw.drawFlags);
        if (draw.widthPixels != 1) draw.current->setWidth(draw.widthPixels);
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

int32_t G_ContextSurface(void) {
    const auto& draw = state().draw;
    return draw.current ? draw.lastSurface : 0;
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

int32_t G_SetWidth(int32_t pixels) {
    return guard(0, [&] {
        if (pixels < 1) return 0;
        state().draw.widthPixels = pixels;
        notePen(pixels);
        if (current()) current()->setWidth(pixels);
        return 1;
    });
}

int32_t G_Triangle(int32_t x, int32_t y, int32_t size, int32_t direction) {
    return guard(0, [&] {
        if (!current() || size <= 0 || direction < 0 || direction > 3) return 0;
        // The tip at x, y; the base size units behind it, as wide as size.
        const int64_t back[4][2] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
        const int64_t bx = x + back[direction][0] * size, by = y + back[direction][1] * size;
        const int64_t sx = back[direction][1] * (size / 2), sy = back[direction][0] * (size / 2);
        const auto clamp32 = [](int64_t v) {
            return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
        };
        const int32_t xy[6] = {
            x, y, clamp32(bx + sx), clamp32(by + sy), clamp32(bx - sx), clamp32(by - sy)};
        current()->polygon(xy, 3, true);
        return 1;
    });
}

int32_t G_Text(int32_t x, int32_t y, int32_t height, int32_t angle, const char* text) {
    return guard(0, [&] {
        if (!current() || !text || height <= 0) return 0;
        current()->drawText(x, y, height, angle, text);
        return 1;
    });
}

int32_t G_DPtoLP(int32_t px, int32_t py, int32_t* x, int32_t* y) {
    return guard(0, [&] {
        const auto& draw = state().draw;
        if (!draw.haveView || !x || !y) return 0;
        double dx = 0, dy = 0;
        pixelToDesign(draw.lastView, px, py, dx, dy);
        const auto clamp32 = [](double v) {
            return static_cast<int32_t>(
                std::clamp(std::round(v), double{INT32_MIN}, double{INT32_MAX}));
        };
        *x = clamp32(dx);
        *y = clamp32(dy);
        return 1;
    });
}

int32_t G_DrawGrid(const KRect* pixels, int32_t step, int32_t on) {
    return guard(0, [&]() -> int32_t {
        if (!pixels || step <= 0) return 0;
        const auto& draw = state().draw;
        if (!draw.haveView) return step;
        const int64_t used = gridStep(step, kMinGridPixels * currentZoom());
        if (used > INT32_MAX) return 0;
        if (!on || !current()) return static_cast<int32_t>(used);
        // The pixel rectangle: left, top (KRect bottom), right, bottom (KRect top).
        double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
        pixelToDesign(draw.lastView, pixels->left, pixels->bottom, x0, y0);
        pixelToDesign(draw.lastView, pixels->right, pixels->top, x1, y1);
        const auto first = [&](double lo) { return static_cast<int64_t>(std::ceil(lo / used)); };
        const auto last = [&](double hi) { return static_cast<int64_t>(std::floor(hi / used)); };
        const int64_t i0 = first(std::min(x0, x1)), i1 = last(std::max(x0, x1));
        const int64_t j0 = first(std::min(y0, y1)), j1 = last(std::max(y0, y1));
        if (i1 < i0 || j1 < j0 || (i1 - i0 + 1) * (j1 - j0 + 1) > kMaxGridDots)
            return static_cast<int32_t>(used);
        Surface& s = *current();
        KernelColours colours(s);
        colours.exact(15);  // white dots over the dark board, black ones on a white one
        s.setStyle(16);
        s.setDrawMode(draw.drawFlags | K_DRAW_XOR);
        for (int64_t j = j0; j <= j1; ++j)
            for (int64_t i = i0; i <= i1; ++i)
                s.rectangle(static_cast<int32_t>(i * used), static_cast<int32_t>(j * used), 0, 0,
                            0);
        s.setDrawMode(draw.drawFlags);
        return static_cast<int32_t>(used);
    });
}

int32_t G_ThickPenCount(void) {
    return static_cast<int32_t>(state().draw.thickPens.size());
}

int32_t G_FreeThickPen(int32_t first, int32_t count) {
    (void)first, (void)count;
    state().draw.thickPens.clear();
    return 1;
}

int32_t G_BackgroundColor(void) {
    return 0;
}

int32_t G_PickAperture(void) {
    return 4;
}

int32_t G_CopyView(void) {
    return guard(0, [&] {
        const int32_t number = state().draw.lastSurface;
        Surface* s = surfaceNumber(number);
        if (!s || number > kMaxPictureSurface) return 0;
        const int32_t picture = s->copyPicture();
        if (picture <= 0) return 0;
        if (picture > kMaxPicture) {
            s->deletePicture(picture);
            return 0;
        }
        return (number << 16) | picture;
    });
}

int32_t G_DispView(int32_t view) {
    return guard(0, [&] {
        Surface* s = surfaceNumber(pictureSurface(view));
        return s && pictureOf(view) && s->showPicture(pictureOf(view)) ? 1 : 0;
    });
}

int32_t G_DeleteObject(int32_t view) {
    return guard(0, [&] {
        Surface* s = surfaceNumber(pictureSurface(view));
        if (!s || !pictureOf(view)) return 0;
        s->deletePicture(pictureOf(view));
        return 1;
    });
}

int32_t G_CopyScreen(int32_t surface, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return guard(0, [&] {
        Surface* s = surfaceNumber(surface);
        if (!s || right <= left || bottom <= top) return 0;
        return s->copyToClipboard(left, top, right, bottom) ? 1 : 0;
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
        if (draw.lastSurface == surface) draw.lastSurface = 0;
        draw.surfaces.erase(it);
        return 1;
    });
}

int32_t G_PaletteRgb(int32_t colour) { return static_cast<int32_t>(paletteRgb(colour)); }

}  // extern "C"
