// qor32 thermal: the thermal analysis of a design, written as pictures, CSV and JSON.
#pragma once

#include <string>
#include <vector>

namespace qor::cli {

extern const char* const kThermalUsage;
int runThermal(const std::vector<std::string>& args, const std::string& programPath);

}  // namespace qor::cli
