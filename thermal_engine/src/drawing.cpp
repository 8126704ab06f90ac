#include "drawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "board_model.h"
#include "qor/kernel/kernel.h"
#include "queries.h"
#include "solver.h"

namespace qor::thm {

void setColourScale(EngineState& s, std::int32_t mode) {
    s.displayMode = mode;
    std::int64_t lo = 0, hi = 0;
    if (s.scaleMode == 1) {
        lo = truncToInt32(s.colourLowerC * 50);
        hi = truncToInt32(s.colourUpperC * 50);
    } else if (mode == kDisplayComponents) {
        lo = s.componentMinFiftieths;
        hi = s.componentMaxFiftieths;
    } else if (mode == kDisplayBoardComponents) {
        lo = s.overallMinFiftieths;
        hi = s.overallMaxFiftieths;
    } else {
        lo = s.boardMinFiftieths;
        hi = s.boardMaxFiftieths;
    }
    // Each of the 16 colours covers at least one fiftieth of a degree.
    const std::int64_t step = (hi - lo + 1) / 16;
    s.colourScaleMinFiftieths = static_cast<std::int32_t>(lo);
    s.colourScaleStepFiftieths =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(step, 1, 1 << 30));
}

std::int32_t colourIndex(const EngineState& s, std::int32_t fiftieths) {
    const std::int64_t index = (static_cast<std::int64_t>(fiftieths) - s.colourScaleMinFiftieths) /
                               s.colourScaleStepFiftieths;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(index, 0, 15));
}

namespace {

// Sets the colour of a temperature; inside an active temperature window only, so that a value
// outside it is painted in the colour set last.
void setColourOf(const EngineState& s, std::int32_t fiftieths) {
    if (s.windowOn && (fiftieths < s.windowLowerFiftieths || fiftieths > s.windowUpperFiftieths))
        return;
    G_SetColor(s.colourTable[static_cast<std::size_t>(colourIndex(s, fiftieths))]);
}

void drawBoardCells(EngineState& s) {
    if (!rasterReady(s)) return;
    const std::int64_t step = s.rasterStep, half = step / 2;
    const std::int32_t* grid = temperatureGrid(s);
    const std::uint8_t* mask = boardMask(s);
    std::int64_t y = s.rasterOriginY;
    for (std::int64_t row = 0; row < s.rasterRows && y <= s.rasterEndY; ++row, y += step) {
        std::int64_t x = s.rasterOriginX;
        for (std::int64_t column = 0; column < s.rasterColumns && x <= s.rasterEndX;
             ++column, x += step) {
            const std::int64_t cell = row * s.rasterColumns + column;
            if (!mask[cell]) continue;
            setColourOf(s, grid[cell]);
            G_Rectangle(static_cast<std::int32_t>(x - half), static_cast<std::int32_t>(y - half),
                        static_cast<std::int32_t>(2 * half), static_cast<std::int32_t>(2 * half),
                        0);
        }
    }
}

// Squares of 127000 units whose centres run from the corner inward, while a whole square fits.
void tile(std::int64_t left, std::int64_t bottom, std::int64_t right, std::int64_t top) {
    constexpr std::int64_t half = kTileUnits / 2;
    for (std::int64_t y = bottom + half; y <= top - half; y += kTileUnits)
        for (std::int64_t x = left + half; x <= right - half; x += kTileUnits)
            G_Rectangle(static_cast<std::int32_t>(x - half), static_cast<std::int32_t>(y - half),
                        kTileUnits, kTileUnits, 0);
}

void drawComponentTiles(EngineState& s) {
    const std::int32_t count = usableSlots(s);
    for (std::int32_t i = 1; i <= count; ++i) {
        const ComponentSlot& c = componentSlots(s)[i];
        const std::int64_t x1 = c.frameLeft, y1 = c.frameBottom, x2 = c.frameRight, y2 = c.frameTop;
        setColourOf(s, toFiftieths(c.caseNewC));
        tile(x1, y1, x2, y2);
        setColourOf(s, toFiftieths(c.junctionC));
        const std::int64_t cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
        const std::int64_t qx = (x2 - x1) / 4, qy = (y2 - y1) / 4;
        tile(cx - qx, cy - qy, cx + qx, cy + qy);
    }
}

// A crossing of a cell edge by the current level.
struct Edge {
    bool crossed = false;
    double x = 0, y = 0;
};

class IsothermTracer {
  public:
    explicit IsothermTracer(EngineState& s)
        : s_(s),
          grid_(temperatureGrid(s)),
          mask_(boardMask(s)),
          columns_(s.rasterColumns),
          rows_(s.rasterRows),
          dx_(static_cast<double>(static_cast<std::int64_t>(s.rasterEndX) - s.rasterOriginX) /
              static_cast<double>(s.rasterColumns - 1)),
          dy_(static_cast<double>(static_cast<std::int64_t>(s.rasterEndY) - s.rasterOriginY) /
              static_cast<double>(s.rasterRows - 1)),
          topX_(static_cast<std::size_t>(columns_), 0),
          topCrossed_(static_cast<std::size_t>(columns_), false),
          topRow_(static_cast<std::size_t>(columns_), -1) {}

    void traceLevel(double level) {
        std::fill(topRow_.begin(), topRow_.end(), -1);
        for (std::int64_t row = 0; row + 1 < rows_; ++row) {
            std::int64_t lastTracedColumn = -1;
            for (std::int64_t column = 0; column + 1 < columns_; ++column) {
                if (!traced(column, row)) continue;
                traceCell(column, row, level, lastTracedColumn == column - 1);
                lastTracedColumn = column;
            }
        }
    }

  private:
    std::int32_t value(std::int64_t column, std::int64_t row) const {
        return grid_[row * columns_ + column];
    }
    bool traced(std::int64_t column, std::int64_t row) const {
        const std::uint8_t* m = mask_ + row * columns_ + column;
        return m[0] && m[1] && m[columns_] && m[columns_ + 1];
    }
    static bool differ(double u, double v) { return (u >= 0) != (v >= 0); }

    // leftKnown: the cell to the left was traced just before, so its right edge is this cell's
    // left edge. The bottom edge is the top edge stored by the cell below when that one was traced.
    void traceCell(std::int64_t column, std::int64_t row, double level, bool leftKnown) {
        const double left = s_.rasterOriginX + static_cast<double>(column) * dx_;
        const double bottom = s_.rasterOriginY + static_cast<double>(row) * dy_;
        const double right = left + dx_, top = bottom + dy_;
        const double a = value(column, row) - level, b = value(column + 1, row) - level;
        const double cc = value(column, row + 1) - level, d = value(column + 1, row + 1) - level;
        Edge e[4];
        const auto col = static_cast<std::size_t>(column);
        if (row == 0 || topRow_[col] != row - 1) {
            e[0].crossed = differ(a, b);
            if (e[0].crossed) e[0] = {true, left + dx_ * a / (a - b), bottom};
        } else {
            e[0] = {topCrossed_[col], static_cast<double>(topX_[col]), bottom};
        }
        e[1].crossed = differ(b, d);
        if (e[1].crossed) e[1] = {true, right, bottom + dy_ * b / (b - d)};
        e[2].crossed = differ(cc, d);
        if (e[2].crossed) {
            e[2] = {true, left + dx_ * cc / (cc - d), top};
            topX_[col] = truncToInt32(e[2].x);
        }
        topCrossed_[col] = e[2].crossed;
        topRow_[col] = row;
        if (row == 0 || column == 0 || !leftKnown) {
            e[3].crossed = differ(a, cc);
            if (e[3].crossed) e[3] = {true, left, bottom + dy_ * a / (a - cc)};
        } else {
            e[3] = previousRight_;
        }
        previousRight_ = e[1];

        const double sum = a + b + cc + d;
        int pendingFrom = -1, pendingTo = -1;
        int lines = 0;
        struct Pair {
            int i, j;
            double u, v;
            bool saddle;
        };
        const Pair pairs[] = {{0, 1, a, d, true},  {0, 2, a, b, false},  {0, 3, cc, b, true},
                              {1, 2, cc, b, true}, {1, 3, a, cc, false}, {2, 3, a, d, true}};
        for (const Pair& p : pairs) {
            if (!e[p.i].crossed || !e[p.j].crossed) continue;
            pendingFrom = p.i;
            pendingTo = p.j;
            if (p.u * p.v >= 0 && (!p.saddle || p.u * sum >= 0)) {
                line(e[p.i], e[p.j]);
                pendingFrom = pendingTo = -1;
                ++lines;
            }
        }
        if (pendingFrom >= 0 && lines == 0) line(e[pendingFrom], e[pendingTo]);
    }

    static void line(const Edge& from, const Edge& to) {
        G_Line(truncToInt32(from.x), truncToInt32(from.y), truncToInt32(to.x), truncToInt32(to.y));
    }

    EngineState& s_;
    const std::int32_t* grid_;
    const std::uint8_t* mask_;
    std::int64_t columns_, rows_;
    double dx_, dy_;
    std::vector<std::int32_t> topX_;
    std::vector<bool> topCrossed_;
    std::vector<std::int64_t> topRow_;  // the row whose traced cell stored the column's top edge
    Edge previousRight_;
};

}  // namespace

void displayBoard(EngineState& s) {
    setColourScale(s, kDisplayBoard);
    drawBoardCells(s);
}

void displayComponents(EngineState& s) {
    setColourScale(s, kDisplayComponents);
    drawComponentTiles(s);
}

void displayBoardComponents(EngineState& s) {
    setColourScale(s, kDisplayBoardComponents);
    drawBoardCells(s);
    drawComponentTiles(s);
}

std::vector<double> isothermLevels(const EngineState& s) {
    std::vector<double> levels;
    // A density below one fiftieth would never step past the board's range.
    const std::int32_t density = s.isothermDensityFiftieths;
    if (density < 1) return levels;
    const double range = static_cast<double>(s.boardMaxFiftieths) - s.boardMinFiftieths;
    std::int64_t n = truncClamped(range / density + 0.5, -1, 1 << 20);
    if (n < 0) n = 1;
    for (std::int64_t k = 1; k <= n + 1; ++k)
        levels.push_back(s.boardMinFiftieths + static_cast<double>(k) * density);
    return levels;
}

void displayIsotherms(EngineState& s) {
    setColourScale(s, kDisplayIsotherms);
    G_SetStyle(kIsothermStyle);
    if (!rasterReady(s) || s.rasterColumns < 2 || s.rasterRows < 2) return;
    IsothermTracer tracer(s);
    for (const double level : isothermLevels(s)) tracer.traceLevel(level);
}

}  // namespace qor::thm
