// SPICE netlist of a built equivalent network, element for element, so that a circuit simulator
// reproduces what the engine steps. Nodes are n1..nN, the return plane is 0. PWL sources replay
// the voltages set during the run so far. Each view is listed as a comment "* view <handle>
// n<node>" and saved with .save.
#pragma once

#include <ostream>

#include "engine.h"
#include "network.h"

namespace qor::simlib {

// engine may be null (no run yet). The .tran line uses the engine's step and reached time.
void writeSpiceNetlist(std::ostream& out, const Network& network, const TransientEngine* engine);

}  // namespace qor::simlib
