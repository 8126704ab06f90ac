// qor32 field: the near field of the nets of a net parameter file, written as pictures and JSON.
#pragma once

#include <string>
#include <vector>

namespace qor::cli {

extern const char* const kFieldUsage;
int runField(const std::vector<std::string>& args, const std::string& programPath);

}  // namespace qor::cli
