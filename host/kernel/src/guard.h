// Nothing throws across the C boundary: every exported call runs its body through guard().
#pragma once

#include <exception>
#include <string>

#include "state.h"

namespace qor::kernel {

template <typename R, typename F>
R guard(R failure, F&& body) noexcept {
    try {
        return body();
    } catch (const std::exception& e) {
        state().lastError = e.what();
    } catch (...) {
        state().lastError = "internal error";
    }
    return failure;
}

}  // namespace qor::kernel
