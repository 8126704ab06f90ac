#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "board_model.h"

namespace qor::thm {
namespace {

struct RasterSize {
    std::int64_t x0, y0, x1, y1, columns, rows;
};

RasterSize rasterFor(const EngineState& s, std::int64_t step) {
    RasterSize r{};
    r.x0 = s.boardLeft + step / 2;
    r.y0 = s.boardBottom + step / 2;
    r.x1 = s.boardRight - step / 2;
    r.y1 = s.boardTop - step / 2;
    r.columns = (r.x1 - r.x0 + 2540) / step + 2;
    r.rows = (r.y1 - r.y0 + 2540) / step + 2;
    return r;
}

}  // namespace

bool sizeRaster(EngineState& s) {
    std::int64_t step = s.requestedStepUnits;
    while (true) {
        if (step > 0) {
            const RasterSize r = rasterFor(s, step);
            if (r.columns > 0 && r.rows > 0 && r.columns * r.rows <= kMaxRasterCells &&
                r.rows <= kMaxRasterRows) {
                s.rasterStep = static_cast<std::int32_t>(step);
                s.rasterOriginX = static_cast<std::int32_t>(r.x0);
                s.rasterOriginY = static_cast<std::int32_t>(r.y0);
                s.rasterEndX = static_cast<std::int32_t>(r.x1);
                s.rasterEndY = static_cast<std::int32_t>(r.y1);
                s.rasterColumns = static_cast<std::int32_t>(r.columns);
                s.rasterRows = static_cast<std::int32_t>(r.rows);
                if (std::int32_t* rows = rowTable(s))
                    for (std::int32_t row = 0; row < s.rasterRows; ++row)
                        rows[row] = row * s.rasterColumns;
                return true;
            }
        }
        step += kStepGrowthUnits;
        if (step > kLargestStepUnits) break;
    }
    s.requestedStepUnits = static_cast<std::int32_t>(step);
    return false;
}

bool insideOutline(EngineState& s, std::int32_t x, std::int32_t y) {
    const std::int32_t n = s.outlineCount;
    if (n <= 1 || !s.outline.data) return false;
    const OutlinePoint* p = outlinePoints(s);
    std::int64_t sum = 0;
    for (std::int32_t k = 1; k < n; ++k) {
        const double ax = static_cast<double>(p[k].x) - x, ay = static_cast<double>(p[k].y) - y;
        const double bx = static_cast<double>(p[k + 1].x) - x;
        const double by = static_cast<double>(p[k + 1].y) - y;
        const double dot = ax * bx + ay * by;
        const double cross = ax * by - bx * ay;
        if (dot != 0) {
            sum += static_cast<std::int64_t>(std::atan(cross / dot) * s.variant.degreesPerRadian);
        } else {
            sum += cross >= 0 ? 90 : -90;
        }
        if (dot < 0) sum += cross >= 0 ? 180 : -180;
    }
    return sum <= -180 || sum >= 180;
}

namespace {

// Clears the mask of each outside cell centre on one side of the peeled rectangle; true when it
// found one.
bool peelRow(EngineState& s, std::int64_t y, std::int64_t left, std::int64_t right) {
    bool found = false;
    const std::int64_t step = s.rasterStep;
    std::uint8_t* mask = boardMask(s);
    const std::int64_t row = (y - s.boardBottom) / step;
    for (std::int64_t x = left; x <= right; x += step) {
        if (insideOutline(s, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y))) continue;
        const std::int64_t column = (x - s.boardLeft) / step;
        mask[row * s.rasterColumns + column] = 0;
        found = true;
    }
    return found;
}

bool peelColumn(EngineState& s, std::int64_t x, std::int64_t bottom, std::int64_t top) {
    bool found = false;
    const std::int64_t step = s.rasterStep;
    std::uint8_t* mask = boardMask(s);
    const std::int64_t column = (x - s.boardLeft) / step;
    for (std::int64_t y = bottom; y <= top; y += step) {
        if (insideOutline(s, static_cast<std::int32_t>(x), static_cast<std::int32_t>(y))) continue;
        const std::int64_t row = (y - s.boardBottom) / step;
        mask[row * s.rasterColumns + column] = 0;
        found = true;
    }
    return found;
}

// Clears the cells outside the outline from the raster's sides inward. A side stops moving once a
// pass finds no outside cell on it.
void peel(EngineState& s) {
    const std::int64_t step = s.rasterStep;
    std::int64_t left = s.rasterOriginX, right = s.rasterEndX;
    std::int64_t bottom = s.rasterOriginY, top = s.rasterEndY;
    bool bottomOn = true, topOn = true, leftOn = true, rightOn = true;
    while (right >= left && top >= bottom) {
        if (bottomOn) bottomOn = peelRow(s, bottom, left, right);
        if (topOn) topOn = peelRow(s, top, left, right);
        if (leftOn) leftOn = peelColumn(s, left, bottom, top);
        if (rightOn) rightOn = peelColumn(s, right, bottom, top);
        if (bottomOn) bottom += step;
        if (topOn) top -= step;
        if (rightOn) right -= step;
        if (leftOn) left += step;
        if (!bottomOn && !topOn && !leftOn && !rightOn) break;
    }
}

// Numbers the inside cells by their distance from the outermost layer. Pass i (1 ... 99) moves a
// cell of its range (the cell centres i steps inside the raster's ends) to layer i + 1 when the
// cell and its eight neighbours all reach layer i. A cell thus reaches layer k + 1 exactly when it
// lies in the range of pass k and no cell outside the board is within k cells of it (counting
// diagonal steps as one), so the layer follows from the distance to the nearest outside cell,
// found in one sweep forward and one backward.
void numberLayers(EngineState& s) {
    const std::int64_t columns = s.rasterColumns, rows = s.rasterRows;
    const std::int64_t lastColumn =
        (static_cast<std::int64_t>(s.rasterEndX) - s.rasterOriginX) / s.rasterStep;
    const std::int64_t lastRow =
        (static_cast<std::int64_t>(s.rasterEndY) - s.rasterOriginY) / s.rasterStep;
    if (lastColumn < 2 || lastRow < 2) return;
    std::uint8_t* mask = boardMask(s);
    // Distance to the nearest cell outside the board, capped: layers stop at 100.
    constexpr std::int32_t kFar = kMaxEdgeLayer + 1;
    std::vector<std::int32_t> distance(static_cast<std::size_t>(rows * columns));
    auto d = [&](std::int64_t row, std::int64_t column) -> std::int32_t& {
        return distance[static_cast<std::size_t>(row * columns + column)];
    };
    for (std::int64_t row = 0; row < rows; ++row)
        for (std::int64_t column = 0; column < columns; ++column) {
            std::int32_t v = mask[row * columns + column] ? kFar : 0;
            if (v) {
                if (column > 0) v = std::min(v, d(row, column - 1) + 1);
                if (row > 0) {
                    v = std::min(v, d(row - 1, column) + 1);
                    if (column > 0) v = std::min(v, d(row - 1, column - 1) + 1);
                    if (column + 1 < columns) v = std::min(v, d(row - 1, column + 1) + 1);
                }
            }
            d(row, column) = v;
        }
    for (std::int64_t row = rows - 1; row >= 0; --row)
        for (std::int64_t column = columns - 1; column >= 0; --column) {
            std::int32_t v = d(row, column);
            if (!v) continue;
            if (column + 1 < columns) v = std::min(v, d(row, column + 1) + 1);
            if (row + 1 < rows) {
                v = std::min(v, d(row + 1, column) + 1);
                if (column + 1 < columns) v = std::min(v, d(row + 1, column + 1) + 1);
                if (column > 0) v = std::min(v, d(row + 1, column - 1) + 1);
            }
            d(row, column) = v;
        }
    for (std::int64_t row = 1; row < lastRow; ++row)
        for (std::int64_t column = 1; column < lastColumn; ++column) {
            std::uint8_t& cell = mask[row * columns + column];
            if (!cell) continue;
            const std::int64_t inRange =
                std::min({row, column, lastRow - row, lastColumn - column});
            const std::int64_t layer =
                std::min<std::int64_t>({inRange, d(row, column) - 1, kMaxEdgeLayer - 1});
            cell = static_cast<std::uint8_t>(1 + layer);
        }
}

}  // namespace

std::int32_t boardShapeSet(EngineState& s) {
    if (!s.boardMask.data || !s.rowTable.data) return 0;
    if (s.requestedStepUnits != s.rasterStep && !sizeRaster(s)) {
        setError(s, kErrRasterTooBig, kStageRaster);
        return 0;
    }
    std::memset(s.boardMask.data, 1, kBoardMaskBytes);
    peel(s);
    numberLayers(s);
    return 1;
}

}  // namespace qor::thm
