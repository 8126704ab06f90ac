// The thermal engine's state: one per loaded QORTHM32.
#include "engine_state.h"

namespace qor::thm {
namespace {

EngineState g_engine{thermalVariant()};

}  // namespace

EngineState& engine() {
    return g_engine;
}

}  // namespace qor::thm
