// Normalisation of the field onto 1 ... 1001, with and without user limits.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "field_normalise.h"
#include "field_test_support.h"

namespace qor::ema {
namespace {

using testing::OwnedField;

struct NormaliseCase {
    const char* name;
    std::vector<double> values;  // [column][row] of a 3 x 2 raster
    FieldLimits limits;
    double fieldMin, fieldMax;
    std::vector<std::int32_t> grid;  // row by row
    std::int32_t gridMin, gridMax;
};

TEST(NormaliseField, Cases) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const NormaliseCase cases[] = {
        {"no limits: smallest 1, largest 1001",
         {0, 10, 2.5, 5, 7.5, 1},
         {},
         0,
         10,
         {1, 251, 751, 1001, 501, 101},
         1,
         1001},
        {"zero everywhere", {0, 0, 0, 0, 0, 0}, {}, 0, 0, {1, 1, 1, 1, 1, 1}, 1, 1},
        {"equal values", {4, 4, 4, 4, 4, 4}, {}, 4, 4, {1, 1, 1, 1, 1, 1}, 1, 1},
        {"limits 0 and 90 V/m: at and above the upper limit 1001",
         {0, 900000, 450000, 2000000, 899999, 1e7},
         {true, 0, 900000},
         0,
         900000,
         {1, 501, 1000, 1001, 1001, 1001},
         1,
         1001},
        {"limits wider than the field change nothing",
         {0, 10, 2.5, 5, 7.5, 1},
         {true, -100, 900000},
         0,
         10,
         {1, 251, 751, 1001, 501, 101},
         1,
         1001},
        {"a lower limit above the smallest value",
         {0, 10, 2.5, 5, 7.5, 1},
         {true, 5, 900000},
         5,
         10,
         {1, 1, 501, 1001, 1, 1},
         1,
         1001},
        {"limits given but off",
         {0, 10, 2.5, 5, 7.5, 1},
         {false, 5, 6},
         0,
         10,
         {1, 251, 751, 1001, 501, 101},
         1,
         1001},
        {"a value that is not a number counts as 0",
         {nan, 10, 0, 0, 0, 0},
         {},
         0,
         10,
         {1, 1, 1, 1001, 1, 1},
         1,
         1001},
    };
    for (const NormaliseCase& c : cases) {
        SCOPED_TRACE(c.name);
        OwnedField field(3, 2, 0.002, 0, 0);
        field.values = c.values;
        field.raster.values = field.values.data();
        std::vector<std::int32_t> grid(6, -7);
        const FieldScale scale = normaliseField(field.raster, c.limits, grid.data());
        EXPECT_EQ(scale.fieldMin, c.fieldMin);
        EXPECT_EQ(scale.fieldMax, c.fieldMax);
        EXPECT_EQ(grid, c.grid);
        EXPECT_EQ(scale.gridMin, c.gridMin);
        EXPECT_EQ(scale.gridMax, c.gridMax);
    }
}

}  // namespace
}  // namespace qor::ema
