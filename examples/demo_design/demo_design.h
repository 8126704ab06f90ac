// The bundled demo design: a 4-layer motor-controller board of 100 mm x 80 mm with a chamfered
// corner and a mounting notch, 45 components with real device names, routed nets with bends,
// vias and an arc, and a ground plane on the inner layer.
#pragma once

#include "qor/design/model.h"

namespace qor::examples {

design::Design buildDemoDesign();

}  // namespace qor::examples
