// Random fields and pieces for the field tests, and bitwise comparison of fields.
#pragma once

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <random>
#include <vector>

#include "field_calc.h"

namespace qor::ema::testing {

// A field with its own storage.
struct OwnedField {
    std::vector<double> values;
    FieldRaster raster;

    OwnedField(std::int32_t columns, std::int32_t rows, double spacing, double originX,
               double originY)
        : values(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows), 0.0) {
        raster.spacing = spacing;
        raster.originX = originX;
        raster.originY = originY;
        raster.columns = columns;
        raster.rows = rows;
        raster.values = values.data();
    }
    OwnedField(const OwnedField& other) : values(other.values), raster(other.raster) {
        raster.values = values.data();
    }
    OwnedField& operator=(const OwnedField&) = delete;
};

// The first cell whose bits differ, or -1.
inline std::int64_t firstDifference(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::bit_cast<std::uint64_t>(a[i]) != std::bit_cast<std::uint64_t>(b[i]))
            return static_cast<std::int64_t>(i);
    return -1;
}

inline void addAllReference(const FieldRaster& raster, const std::vector<FieldPiece>& pieces) {
    for (const FieldPiece& piece : pieces) addPieceReference(raster, piece);
}

}  // namespace qor::ema::testing
