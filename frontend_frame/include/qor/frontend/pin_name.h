// The name of a component's pin as the front ends show it.
#pragma once

#include <cstdint>
#include <string>

namespace qor::frontend {

// The pin number in decimal, or, for a grid package, the column number followed by the row name
// ("1A"). A grid package's symbol carries a naming text (its first text item with mask bit 4) of
// at least three comma-separated fields: a tag, the number of columns and the row names from row
// 1 on. Columns count from the left edge of the symbol's entry frame and rows from its top edge, in
// steps of the smallest non-zero entry distance from that edge.
std::string PinName(int32_t component, int32_t pad);

}  // namespace qor::frontend
