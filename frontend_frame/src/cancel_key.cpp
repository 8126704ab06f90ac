#include "qor/frontend/cancel_key.h"

namespace qor::frontend {

bool CancelRequested(CancelKeySource& source) {
    const KeyState s = source.queryCancelKey();
    return s.down || s.pressedSinceLast;
}

}  // namespace qor::frontend
