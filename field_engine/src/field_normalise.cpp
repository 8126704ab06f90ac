#include "field_normalise.h"

#include <algorithm>
#include <cmath>

namespace qor::ema {

FieldScale normaliseField(const FieldRaster& field, const FieldLimits& limits, std::int32_t* grid) {
    const std::int64_t cells = field.cells();
    double low = kFieldStartMin;
    double high = kFieldStartMax;
    for (std::int64_t i = 0; i < cells; ++i) {
        const double v = field.values[i];
        if (v < low) low = v;
        if (v > high) high = v;
    }
    if (limits.on) {
        if (limits.lower > low) low = limits.lower;
        if (limits.upper < high) high = limits.upper;
    }
    const double range = high - low > 0 ? high - low : 1e-12;

    FieldScale scale;
    scale.fieldMin = low;
    scale.fieldMax = high;
    scale.gridMin = kNormalisedHigh;
    scale.gridMax = kNormalisedLow;
    for (std::int32_t column = 0; column < field.columns; ++column) {
        const double* values = field.values + std::int64_t{column} * field.rows;
        for (std::int32_t row = 0; row < field.rows; ++row) {
            double level = (values[row] - low) / range;
            if (!(level > 0)) level = 0;  // also a level that is not a number
            if (level > 1) level = 1;
            const auto n = static_cast<std::int32_t>(level * 1000 + 1);
            grid[std::int64_t{row} * field.columns + column] = n;
            scale.gridMin = std::min(scale.gridMin, n);
            scale.gridMax = std::max(scale.gridMax, n);
        }
    }
    return scale;
}

}  // namespace qor::ema
