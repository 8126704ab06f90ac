#include "qor/frontend/print_pages.h"

#include <algorithm>

#include "qor/frontend/localization.h"
#include "qor/kernel/print.h"

namespace qor::frontend {

namespace {

bool IsEmpty(const KRect& r) {
    return r.right < r.left || r.top < r.bottom;
}

}  // namespace

KRect PrintArea(const KRect& board, const std::vector<KRect>& shown) {
    KRect area = board;
    for (const KRect& r : shown) {
        if (IsEmpty(r)) continue;
        area.left = std::min(area.left, r.left);
        area.bottom = std::min(area.bottom, r.bottom);
        area.right = std::max(area.right, r.right);
        area.top = std::max(area.top, r.top);
    }
    area.left -= kPrintMarginUnits;
    area.bottom -= kPrintMarginUnits;
    area.right += kPrintMarginUnits;
    area.top += kPrintMarginUnits;
    return area;
}

std::string PrintoutMessage(Analyzer analyzer) {
    return analyzer == Analyzer::Em
               ? LocalText("Electromagnetic Analyzer Printout ... (<F10> to Cancel)", 4338)
               : LocalText("Thermal Printout ... (<F10> to Cancel)", 39100);
}

KViewRecord PageView(const KPrintSetup& setup, int row, int column) {
    KViewRecord view = setup.view;
    view.originX =
        static_cast<int32_t>(int64_t{setup.view.originX} + int64_t{column} * setup.stepX);
    view.originY = static_cast<int32_t>(int64_t{setup.view.originY} - int64_t{row} * setup.stepY);
    return view;
}

PageTiling EstimatePageTiling(const KRect& area, const KPrintSetup& setup) {
    if (setup.scale < 0 || setup.pageWidth <= 0 || setup.pageHeight <= 0 || setup.dotsPerInch <= 0)
        return {};
    KPrintSetup tiled = setup;
    if (!kernel::tilePrintArea(area, 0, tiled)) return {};
    return {tiled.columns, tiled.rows};
}

int PrintPages(const KPrintSetup& setup, Analyzer analyzer, PrintTarget& target) {
    int printed = 0;
    const int rows = std::max(0, setup.rows), columns = std::max(0, setup.columns);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            // No page before the first one and none after the last: a new page starts only when
            // another is to follow.
            if (printed > 0) target.NewPage();
            target.Message(PrintoutMessage(analyzer));
            const bool cancelled = target.DrawPage(PageView(setup, row, column));
            ++printed;
            if (cancelled) {
                target.EndDocument();
                return printed;
            }
            target.Message(LocalText("Printer Manager", 991080));
        }
    }
    target.EndDocument();
    return printed;
}

}  // namespace qor::frontend
