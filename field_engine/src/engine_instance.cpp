// The field engine's state: one per loaded QOREMA32, apart from the thermal engine's.
#include "engine_state.h"
#include "field_engine.h"

namespace qor::thm {
namespace {

EngineState g_engine{fieldVariant()};

}  // namespace

EngineState& engine() {
    return g_engine;
}

}  // namespace qor::thm

namespace qor::ema {
namespace {

FieldState g_field;

}  // namespace

FieldState& fieldState() {
    return g_field;
}

}  // namespace qor::ema
