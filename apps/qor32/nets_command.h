// qor32 nets: the nets of a design as a net parameter file, to edit or to drive as they are.
#pragma once

#include <string>
#include <vector>

namespace qor::cli {

extern const char* const kNetsUsage;
int runNets(const std::vector<std::string>& args);

}  // namespace qor::cli
