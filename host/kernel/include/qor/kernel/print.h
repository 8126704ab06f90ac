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

}  // namespace qor::kernel
