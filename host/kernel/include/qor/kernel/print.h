// The host's print-scale dialog behind E_PrintScaleSetupDialog: a front end installs it; without
// one the kernel fits the area on one page.
#pragma once

#include <functional>

#include "qor/kernel/kernel.h"
#include "qor/platform/export.h"

namespace qor::kernel {

// Shown with the area to print and the set-up record (page size, resolution and the proposed
// scale filled in); it may change setup.scale (thousandths of true size, 0 = fit on one page).
// False cancels.
using PrintScaleDialog = std::function<bool(const KRect& area, KPrintSetup& setup, int32_t owner)>;

// Installs the dialog (an empty function removes it).
QOR_API void setPrintScaleDialog(PrintScaleDialog dialog);

// The tiling E_PrintScaleSetupDialog fills in for a chosen scale (a dialog shows its page count
// with it): columns, rows, page steps and the top-left page's view of setup for the area, with
// zoom at most maxZoom (0 = no limit). False for an empty area, a page or scale that makes no
// sense, or numbers beyond 32 bits; setup is then unchanged.
QOR_API bool tilePrintArea(const KRect& area, int32_t maxZoom, KPrintSetup& setup);

}  // namespace qor::kernel
