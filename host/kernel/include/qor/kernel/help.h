// The host's help display behind H_DispTopic: the host application installs it; without one the
// kernel shows nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "qor/platform/export.h"

namespace qor::kernel {

using HelpDisplay = std::function<void(int32_t owner, const std::string& helpFile, int32_t topic)>;

// Installs the display (an empty function removes it).
QOR_API void setHelpDisplay(HelpDisplay display);

}  // namespace qor::kernel
