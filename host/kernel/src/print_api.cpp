// E_PrintScaleSetupDialog: the print scale and the tiling of the print area over pages.
#include <algorithm>
#include <climits>
#include <cmath>

#include "guard.h"
#include "qor/kernel/kernel.h"
#include "qor/kernel/print.h"

namespace qor::kernel {

namespace {

PrintScaleDialog& installedDialog() {
    static PrintScaleDialog dialog;
    return dialog;
}

// Units per inch over the printer's dots per inch is the zoom of true size (scale 1000).
constexpr double kUnitsPerInch = 100000.0 * 25.4;

int64_t ceilDiv(int64_t a, int64_t b) {
    return (a + b - 1) / b;
}

// Fills the tiling for a checked area and page; false when the numbers do not fit 32 bits.
bool tile(const KRect& area, int32_t maxZoom, KPrintSetup& setup) {
    const int64_t width = int64_t{area.right} - area.left;
    const int64_t height = int64_t{area.top} - area.bottom;
    int64_t zoom = 0;
    if (setup.scale == 0) {
        zoom = std::max(ceilDiv(width, setup.pageWidth), ceilDiv(height, setup.pageHeight));
    } else {
        zoom = std::llround(kUnitsPerInch / setup.dotsPerInch / (setup.scale / 1000.0));
    }
    if (maxZoom > 0) zoom = std::min<int64_t>(zoom, maxZoom);
    zoom = std::max<int64_t>(zoom, 1);
    const int64_t stepX = int64_t{setup.pageWidth} * zoom;
    const int64_t stepY = int64_t{setup.pageHeight} * zoom;
    const int64_t columns = ceilDiv(width, stepX);
    const int64_t rows = ceilDiv(height, stepY);
    const int64_t originX = area.left + stepX / 2;
    const int64_t originY = area.top - stepY / 2;
    for (const int64_t v : {zoom, stepX, stepY, columns, rows, originX, originY})
        if (v > INT32_MAX || v < INT32_MIN) return false;
    setup.columns = static_cast<int32_t>(std::max<int64_t>(columns, 1));
    setup.rows = static_cast<int32_t>(std::max<int64_t>(rows, 1));
    setup.stepX = static_cast<int32_t>(stepX);
    setup.stepY = static_cast<int32_t>(stepY);
    setup.view = KViewRecord{static_cast<int32_t>(zoom),
                             setup.pageWidth,
                             setup.pageHeight,
                             static_cast<int32_t>(originX),
                             static_cast<int32_t>(originY),
                             0};
    return true;
}

bool sensible(const KPrintSetup& setup) {
    return setup.pageWidth > 0 && setup.pageHeight > 0 && setup.scale >= 0 &&
           (setup.scale == 0 || setup.dotsPerInch > 0);
}

}  // namespace

void setPrintScaleDialog(PrintScaleDialog dialog) {
    installedDialog() = std::move(dialog);
}

bool tilePrintArea(const KRect& area, int32_t maxZoom, KPrintSetup& setup) {
    if (area.right <= area.left || area.top <= area.bottom || !sensible(setup)) return false;
    KPrintSetup result = setup;
    if (!tile(area, maxZoom, result)) return false;
    setup = result;
    return true;
}

}  // namespace qor::kernel

using namespace qor::kernel;

extern "C" {

int32_t E_PrintScaleSetupDialog(int32_t printerSurface, int32_t left, int32_t bottom, int32_t right,
                                int32_t top, int32_t maxZoom, KPrintSetup* setup, int32_t owner) {
    (void)printerSurface;
    return guard(0, [&] {
        const KRect area{left, bottom, right, top};
        if (!setup || right <= left || top <= bottom || !sensible(*setup)) return 0;
        if (const auto& dialog = installedDialog()) {
            KPrintSetup proposed = *setup;
            if (!dialog(area, proposed, owner)) return 0;
            if (!sensible(proposed)) return 0;
            *setup = proposed;
        }
        return tilePrintArea(area, maxZoom, *setup) ? 1 : 0;
    });
}

}  // extern "C"
