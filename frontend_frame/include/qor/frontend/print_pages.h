// Printing the current picture over one or more pages: the area to print and the page loop over
// the tiling that the kernel's print-scale set-up returns.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "qor/frontend/analyzer.h"
#include "qor/kernel/kernel.h"

namespace qor::frontend {

// The margin around the printed area, in kernel units (0.254 mm).
inline constexpr int32_t kPrintMarginUnits = 25400;

// The board extent joined with the frames of what else is shown (notes, copper and dimension
// symbols, temporary labels), plus the margin on every side. Empty frames (right < left or
// top < bottom) are passed over.
KRect PrintArea(const KRect& board, const std::vector<KRect>& shown);

// The message shown while a page prints: "Thermal Printout ... (<F10> to Cancel)" [39100], EM
// "Electromagnetic Analyzer Printout ... (<F10> to Cancel)" [4338].
std::string PrintoutMessage(Analyzer analyzer);

// The view of page (row, column) of a set-up: the top-left page's view with its origin moved by
// stepX per column and by -stepY per row.
KViewRecord PageView(const KPrintSetup& setup, int row, int column);

// The number of pages across and down an area that the kernel's tiling gives at a set-up's page
// size, resolution and scale (thousandths of true size; 0 or less fits the area on one page), as a
// print-scale dialog shows them.
struct PageTiling {
    int columns = 1, rows = 1;
};
PageTiling EstimatePageTiling(const KRect& area, const KPrintSetup& setup);

// What the page loop prints on.
class PrintTarget {
  public:
    virtual ~PrintTarget() = default;
    virtual void Message(const std::string& text) = 0;
    // Opens a kernel context with the view on the current page, draws the picture and closes the
    // context; true when the drawing was cancelled (F10).
    virtual bool DrawPage(const KViewRecord& view) = 0;
    // Starts the next page (called between pages only).
    virtual void NewPage() = 0;
    virtual void EndDocument() = 0;
};

// Prints every page row and, within it, every column: the printout message, the page drawn, then
// "Printer Manager" [991080]. A cancelled page ends the document after it. Returns the number of
// pages printed.
int PrintPages(const KPrintSetup& setup, Analyzer analyzer, PrintTarget& target);

}  // namespace qor::frontend
