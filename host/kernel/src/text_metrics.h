// The box a layout text covers: the kernel's texts are as wide as 0.6 of their height per
// character, with the lower-left corner at the text's position, turned about it.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "qor/design/model.h"

namespace qor::kernel {

constexpr double kCharWidthPerHeight = 0.6;

// The corners of the box counter-clockwise from the lower-left one (the position).
inline std::array<design::Point, 4> textCorners(int32_t x, int32_t y, int32_t height, int32_t angle,
                                                size_t characters) {
    const double w = kCharWidthPerHeight * height * static_cast<double>(characters);
    const double a = angle / 1000.0 * 3.14159265358979323846 / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    const double local[4][2] = {
        {0, 0}, {w, 0}, {w, static_cast<double>(height)}, {0, static_cast<double>(height)}};
    std::array<design::Point, 4> out{};
    for (size_t i = 0; i < 4; ++i) {
        const double lx = local[i][0], ly = local[i][1];
        out[i] = {static_cast<int32_t>(std::lround(x + lx * c - ly * s)),
                  static_cast<int32_t>(std::lround(y + lx * s + ly * c))};
    }
    return out;
}

}  // namespace qor::kernel
