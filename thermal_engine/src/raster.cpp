#include "raster.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "board_model.h"

namespace qor::thm {
namespace {

// Degrees per radian with pi taken as 3.14: the inside test sums its angles with this factor.
constexpr double kDegreesPerRadian = 57.324840764331206;

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
            sum += static_cast<std::int64_t>(std::atan(cross / dot) * kDegreesPerRadian);
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

// Numbers the inside cells by their distance from the outermost layer: on pass i a cell of the
// pass's range whose eight neighbours all reach layer i moves to layer i + 1. Only a cell that
// reached layer i on the pass before can move on pass i, so each pass looks at those cells alone;
// a pass that moves no cell ends the numbering.
void numberLayers(EngineState& s) {
    const std::int64_t step = s.rasterStep;
    const std::int64_t columns = s.rasterColumns;
    std::uint8_t* mask = boardMask(s);
    std::vector<std::int64_t> candidates, moved;
    for (std::int32_t i = 1; i < kMaxEdgeLayer; ++i) {
        const std::int64_t xFrom = s.rasterOriginX + i * step, xTo = s.rasterEndX - i * step;
        const std::int64_t yFrom = s.rasterOriginY + i * step, yTo = s.rasterEndY - i * step;
        if (xFrom > xTo || yFrom > yTo) break;
        const std::int64_t lastColumn = i + (xTo - xFrom) / step;
        const std::int64_t lastRow = i + (yTo - yFrom) / step;
        if (i == 1) {
            for (std::int64_t row = 1; row <= lastRow; ++row)
                for (std::int64_t column = 1; column <= lastColumn; ++column)
                    if (mask[row * columns + column] >= 1)
                        candidates.push_back(row * columns + column);
        }
        moved.clear();
        for (const std::int64_t at : candidates) {
            const std::int64_t row = at / columns, column = at % columns;
            if (row < i || row > lastRow || column < i || column > lastColumn) continue;
            std::uint8_t* cell = mask + at;
            const std::uint8_t* above = cell + columns;
            const std::uint8_t* below = cell - columns;
            if (cell[-1] >= i && cell[1] >= i && above[-1] >= i && above[0] >= i && above[1] >= i &&
                below[-1] >= i && below[0] >= i && below[1] >= i) {
                *cell = static_cast<std::uint8_t>(i + 1);
                moved.push_back(at);
            }
        }
        if (moved.empty()) break;
        candidates.swap(moved);
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
