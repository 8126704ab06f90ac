// The normalisation of the field for the colour map and the isolines.
#pragma once

#include <cstdint>

#include "field_calc.h"

namespace qor::ema {

inline constexpr double kFieldStartMin = 1e12;
inline constexpr double kFieldStartMax = -1e12;
inline constexpr std::int32_t kNormalisedLow = 1;
inline constexpr std::int32_t kNormalisedHigh = 1001;

// User limits in field units (1e-4 V/m); they narrow the range only when `on`.
struct FieldLimits {
    bool on = false;
    double lower = 0;
    double upper = 0;
};

struct FieldScale {
    double fieldMin = 0;  // the range the field was normalised to, field units
    double fieldMax = 0;
    std::int32_t gridMin = 0;  // of the normalised values, 1 ... 1001
    std::int32_t gridMax = 0;
};

// Maps every cell of the field onto 1 ... 1001 over the field's range (narrowed by the limits) and
// writes it to `grid`, whose row r starts at r × columns.
FieldScale normaliseField(const FieldRaster& field, const FieldLimits& limits, std::int32_t* grid);

}  // namespace qor::ema
