// Each component is a heat source on a thin plate: its own case-to-air path in parallel with a
// ladder of rings that conduct heat outward through the board and give it to the air from both
// faces. One source gives a radial rise profile; the rises of all sources add up at every
// component and, in the final pass, on the raster. The component temperatures are iterated because
// convection and radiation depend on them.
#include "solver.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <thread>
#include <vector>

#include "board_model.h"

namespace qor::thm {
namespace {

constexpr double kGravity = 9.81;
constexpr double kPrandtlAir = 0.708;
constexpr double kRadiationConstant = 5.568e-8;
constexpr double kKelvinOffset = 273.16;
constexpr double kCopperConductivity = 386;
constexpr std::int32_t kRingCount = 151;
constexpr std::int32_t kProfileLength = 101;
constexpr std::int32_t kComponentReachRings = 100;
constexpr std::int32_t kMinRadiusUnits = 25400;
constexpr std::int32_t kMaxConvergingPasses = 11;
constexpr std::int64_t kUnitsPerMm = 100000;

using Profile = std::array<std::int32_t, kProfileLength>;
using RingRatios = std::array<double, kRingCount>;

// What a pass needs from the parameters, fixed once per analysis.
struct Preparation {
    double airVelocity = 0;
    double ambientC = 0;
    double ambientK = 0;
    double sheetConductance = 0;  // kt, W/K
    double d = 1;
    double alpha = 0, beta = 0, gamma = 0;
    std::int32_t direction = 0;  // 0 none, 1 ... 4
    bool vertical = true;
    std::int64_t reachRings = 105;
    std::int64_t fanUnits = 0;
};

struct Rect64 {
    std::int64_t left, bottom, right, top;
};

Rect64 frameOf(const ComponentSlot& c) {
    return {c.frameLeft, c.frameBottom, c.frameRight, c.frameTop};
}

// Length for natural convection: from the board's bottom edge, on a horizontal board from the
// nearest edge.
std::int64_t naturalLength(const EngineState& s, const Preparation& p, const Rect64& r) {
    const std::int64_t fromBottom = r.bottom - s.boardBottom;
    if (p.vertical) return fromBottom;
    return std::min({fromBottom, static_cast<std::int64_t>(s.boardTop) - r.top,
                     r.left - s.boardLeft, static_cast<std::int64_t>(s.boardRight) - r.right});
}

// Run length of the forced air: from the board edge it enters at, plus the fan's distance.
std::int64_t runLength(const EngineState& s, const Preparation& p, const Rect64& r) {
    switch (p.direction) {
        case 1:
            return r.left - s.boardLeft + p.fanUnits;
        case 2:
            return s.boardRight - r.right + p.fanUnits;
        case 3:
            return r.bottom - s.boardBottom + p.fanUnits;
        case 4:
            return s.boardTop - r.top + p.fanUnits;
        default:
            return 0;
    }
}

// How much faster than on open board a place cools: lower near the board's bottom edge and the
// fan's edge, higher near the outline.
double coolingFactor(const EngineState& s, const std::uint8_t* mask, const Preparation& p,
                     const Rect64& r) {
    const std::int64_t step = s.rasterStep;
    const std::int64_t cx = (r.left + r.right) / 2, cy = (r.bottom + r.top) / 2;
    const std::int64_t column = (cx - s.boardLeft) / step, row = (cy - s.boardBottom) / step;
    // A place off the raster lies off the board: layer 0.
    std::int64_t layer = 0;
    if (column >= 0 && column < s.rasterColumns && row >= 0 && row < s.rasterRows)
        layer = mask[row * s.rasterColumns + column];
    double f =
        1.5 - p.gamma * static_cast<double>(std::max<std::int64_t>(naturalLength(s, p, r), 10));
    if (p.direction != 0 && p.airVelocity != 0)
        f += p.alpha - p.beta * static_cast<double>(std::max<std::int64_t>(runLength(s, p, r), 10));
    const std::int64_t l = std::min(s.boardWidth, s.boardHeight) / 3;
    const std::int64_t depth = layer * step;
    if (depth < l) f *= 2 - static_cast<double>(depth) / static_cast<double>(l);
    return f;
}

// Distance from a point to a source's spine, truncated to whole units.
std::int64_t spineDistance(std::int64_t dx, std::int64_t dy) {
    const double fx = static_cast<double>(dx), fy = static_cast<double>(dy);
    return static_cast<std::int64_t>(std::sqrt(fx * fx + fy * fy));
}

std::int64_t intervalDistance(std::int64_t v, std::int64_t from, std::int64_t to) {
    if (v < from) return from - v;
    if (v > to) return v - to;
    return 0;
}

Preparation prepare(const EngineState& s) {
    Preparation p;
    p.airVelocity = s.airVelocityMPerS;
    p.ambientC = s.ambientC;
    p.ambientK = s.ambientC + kKelvinOffset;
    p.vertical = s.orientation != 0;
    // Directions beyond 4 are not a side of the board: no forced air.
    p.direction = s.coolingDirection >= 1 && s.coolingDirection <= 4 ? s.coolingDirection : 0;
    p.fanUnits = static_cast<std::int64_t>(s.fanDistanceMm) * kUnitsPerMm;
    const std::int64_t paddedWidth =
        static_cast<std::int64_t>(s.rasterEndX) - s.rasterOriginX + 2540;
    const std::int64_t paddedHeight =
        static_cast<std::int64_t>(s.rasterEndY) - s.rasterOriginY + 2540;
    const std::int64_t naturalSpan =
        p.vertical ? paddedHeight : std::min(paddedWidth, paddedHeight);
    const std::int64_t forcedSpan =
        p.direction == 1 || p.direction == 2 ? paddedWidth : paddedHeight;
    p.d = std::pow(p.airVelocity, 0.25);
    if (!(p.d >= 1)) p.d = 1;
    p.reachRings = 105;
    if (p.direction != 0) p.reachRings = truncClamped(105 / p.d, 0, 105);
    // A board narrower than two units still divides by one unit.
    const double forcedHalf = static_cast<double>(std::max<std::int64_t>(forcedSpan / 2, 1));
    const double naturalHalf = static_cast<double>(std::max<std::int64_t>(naturalSpan / 2, 1));
    p.alpha = 2 * p.d - 1;
    p.beta = 0.5 * p.d / forcedHalf;
    p.gamma = 0.25 / naturalHalf;
    p.sheetConductance =
        (s.copperFractionPercent * 0.01 * s.copperThicknessMm * kCopperConductivity +
         s.insulatorConductivityWPerMK * s.boardThicknessMm) *
        0.001;
    return p;
}

void sourceGeometry(ComponentSlot& c) {
    const std::int64_t w = static_cast<std::int64_t>(c.frameRight) - c.frameLeft;
    const std::int64_t h = static_cast<std::int64_t>(c.frameTop) - c.frameBottom;
    const auto raw = static_cast<std::int64_t>(static_cast<double>(w + h) * (1 / 3.14));
    std::int64_t r0 =
        truncClamped(static_cast<double>(raw) * packageRadiusFactor(c.parameters.packageType), 0,
                     std::numeric_limits<std::int32_t>::max());
    if (r0 < kMinRadiusUnits) r0 = kMinRadiusUnits;
    c.radiusUnits = static_cast<std::int32_t>(r0);
    c.radiusM = static_cast<double>(r0) * 1e-8;
    const std::int64_t g = std::min(w / 2, h / 2);
    c.spineLeft = static_cast<std::int32_t>(c.frameLeft + g);
    c.spineBottom = static_cast<std::int32_t>(c.frameBottom + g);
    c.spineRight = static_cast<std::int32_t>(c.frameRight - g);
    c.spineTop = static_cast<std::int32_t>(c.frameTop - g);
}

struct SourcePhysics {
    double totalResistance = 0;  // °C/W from the case to the air, all paths
    double ringUnits = 0;        // ring step in database units
};

// The source's own path, its ring step and the share of heat each ring passes outward.
SourcePhysics sourcePhysics(const EngineState& s, const Preparation& p, const ComponentSlot& c,
                            RingRatios& ratio) {
    const ComponentParameters& q = c.parameters;
    double r = q.caseAirCPerW;
    double k = 1;
    if (q.fanOn && q.fanSpeed > 0) k = 1.98 * std::pow(q.fanSpeed, 0.25);
    if (q.heatsinkOn) {
        if (q.interfaceOn) {
            const double t =
                q.interfaceCPerW * q.caseAirCPerW / (q.interfaceCPerW + q.caseAirCPerW);
            r = t * q.heatsinkCPerW / (t + q.heatsinkCPerW);
        } else {
            r = q.heatsinkCPerW * q.caseAirCPerW / (q.heatsinkCPerW + q.caseAirCPerW);
        }
    }
    r /= k;

    const Rect64 frame = frameOf(c);
    const double length =
        static_cast<double>(std::max<std::int64_t>(naturalLength(s, p, frame), 10)) * 1e-8;
    const double caseK = c.caseOldC + kKelvinOffset;
    const double viscosity = std::max((1.57 + 0.0103 * (caseK - 300)) * 1e-5, 1.92e-6);
    const double airConductivity = 0.0261 + 7e-5 * (caseK - 300);
    const double rayleigh = kGravity * (caseK - p.ambientK) * length * length * length /
                            (((caseK + p.ambientK) / 2) * viscosity * viscosity) * kPrandtlAir;
    const double nusselt =
        p.vertical ? 0.5 * std::pow(rayleigh, 0.25)
                   : 0.5 * (0.58 * std::pow(rayleigh, 0.2) + 0.54 * std::pow(rayleigh, 0.25));
    const double natural = nusselt * airConductivity / length;
    double forced = 0;
    if (p.direction != 0) {
        const double run =
            static_cast<double>(std::max<std::int64_t>(runLength(s, p, frame), 10)) * 1e-8;
        forced = 0.332 * airConductivity / run * std::sqrt(p.airVelocity * run / viscosity) *
                 std::pow(kPrandtlAir, 1.0 / 3.0);
    }
    double forcedCubed = forced * forced * forced;
    // Air blown downward along a vertical board works against the rising warm air.
    if (p.direction == 4 && p.vertical) forcedCubed = -forcedCubed;
    const double convection =
        std::pow(std::fabs(natural * natural * natural + forcedCubed), 1.0 / 3.0);
    const double radiation = s.emissivity * kRadiationConstant *
                             (caseK * caseK + p.ambientK * p.ambientK) * (caseK + p.ambientK);
    const double h = convection + radiation;
    const double kt = p.sheetConductance;
    const double dr = 0.05 * std::sqrt(kt / (2 * h));
    SourcePhysics out;
    out.ringUnits = dr * 1e8;

    if (kt < 1e-6) {
        // A board that does not conduct spreads nothing: the whole rise stays at the source.
        ratio.fill(0);
        out.totalResistance = r;
        return out;
    }
    // Ladder network from the outermost ring inward.
    double perimeter = 6.28 * c.radiusM + 604 * dr;
    double g = 1 / (dr * perimeter * h);
    for (std::int32_t i = kRingCount - 1; i >= 0; --i) {
        perimeter -= 4 * dr;
        const double air = 1 / (dr * h * perimeter);
        const double series = dr / (kt * perimeter) + g;
        ratio[static_cast<std::size_t>(i)] = g / series;
        g = series * air / (series + air);
    }
    const double top = 1 / (3.14 * c.radiusM * c.radiusM * h);
    const double board = top * g / (top + g);
    out.totalResistance = board * r / (board + r);
    return out;
}

double powerW(const ComponentParameters& q) {
    return q.minPowerW + (q.maxPowerW - q.minPowerW) * q.dutyCyclePercent * 0.01;
}

void spreadProfile(const ComponentSlot& c, double totalResistance, RingRatios& ratio,
                   Profile& profile) {
    ratio[0] = 1;
    double t = powerW(c.parameters) * totalResistance;
    for (std::size_t i = 0; i < kProfileLength; ++i) {
        t *= ratio[i];
        profile[i] = toFiftieths(t);
    }
}

// One source's rise on the raster, kept for the final pass.
struct RasterRise {
    Profile profile{};
    double ringUnits = 0;
    std::int64_t spineLeft = 0, spineBottom = 0, spineRight = 0, spineTop = 0;
    std::int64_t xFrom = 0, xTo = 0, yFrom = 0, yTo = 0;
};

RasterRise rasterRise(const EngineState& s, const Preparation& p, const ComponentSlot& c,
                      const Profile& profile, double ringUnits) {
    RasterRise rise;
    rise.profile = profile;
    rise.ringUnits = ringUnits;
    rise.spineLeft = c.spineLeft;
    rise.spineBottom = c.spineBottom;
    rise.spineRight = c.spineRight;
    rise.spineTop = c.spineTop;
    const std::int64_t step = s.rasterStep;
    const std::int64_t cx = (static_cast<std::int64_t>(c.frameLeft) + c.frameRight) / 2;
    const std::int64_t cy = (static_cast<std::int64_t>(c.frameBottom) + c.frameTop) / 2;
    const double span = static_cast<double>(p.reachRings) * ringUnits;
    constexpr std::int64_t kFar = std::int64_t{1} << 40;
    auto snap = [&](double from, std::int64_t origin) {
        const std::int64_t v = truncClamped(from, -kFar, kFar);
        if (v < origin) return origin;
        return origin + step * ((v - origin) / step);
    };
    rise.xFrom = snap(static_cast<double>(cx) - span, s.rasterOriginX);
    rise.xTo = std::min<std::int64_t>(truncClamped(static_cast<double>(cx) + span, -kFar, kFar),
                                      s.rasterEndX);
    rise.yFrom = snap(static_cast<double>(cy) - span, s.rasterOriginY);
    rise.yTo = std::min<std::int64_t>(truncClamped(static_cast<double>(cy) + span, -kFar, kFar),
                                      s.rasterEndY);
    return rise;
}

// Adds one source's rise to the raster rows firstRow ... lastRow - 1.
void addRise(const EngineState& s, const RasterRise& rise, const std::vector<double>& cooling,
             std::int32_t* grid, std::int64_t firstRow, std::int64_t endRow) {
    if (!(rise.ringUnits > 0) || rise.yTo < rise.yFrom || rise.xTo < rise.xFrom) return;
    const std::int64_t step = s.rasterStep;
    const std::int64_t columns = s.rasterColumns;
    const std::int64_t column0 = (rise.xFrom - s.rasterOriginX) / step;
    if (column0 < 0 || column0 >= columns) return;
    const std::int64_t row0 = (rise.yFrom - s.rasterOriginY) / step;
    const std::int64_t rowCount = (rise.yTo - rise.yFrom) / step + 1;
    const std::int64_t columnCount = (rise.xTo - rise.xFrom) / step + 1;
    const std::int64_t from = std::max(row0, firstRow);
    const std::int64_t to =
        std::min({row0 + rowCount, endRow, static_cast<std::int64_t>(s.rasterRows)});
    for (std::int64_t row = from; row < to; ++row) {
        if (row < 0) continue;
        const std::int64_t y = rise.yFrom + (row - row0) * step;
        const std::int64_t dy = intervalDistance(y, rise.spineBottom, rise.spineTop);
        std::int32_t* cells = grid + row * columns + column0;
        const double* factors = cooling.data() + row * columns + column0;
        std::int64_t x = rise.xFrom;
        for (std::int64_t k = 0; k < columnCount; ++k, x += step) {
            const std::int64_t dx = intervalDistance(x, rise.spineLeft, rise.spineRight);
            const double reach =
                factors[k] * static_cast<double>(spineDistance(dx, dy)) / rise.ringUnits;
            const std::int64_t n = truncClamped(reach, 0, kProfileLength - 1);
            const std::int32_t sum = cells[k] + rise.profile[static_cast<std::size_t>(n)];
            cells[k] = std::clamp(sum, -kMaxFiftieths, kMaxFiftieths);
        }
    }
}

std::int32_t workerCount(const EngineState& s) {
    std::int32_t n = s.workerThreads;
    if (n <= 0) n = static_cast<std::int32_t>(std::thread::hardware_concurrency());
    return std::clamp(n, 1, 16);
}

// Runs work(firstRow, endRow) over bands of rows, one band per worker. Each band's result depends
// only on its own rows, so the result does not depend on the number of workers.
template <class Work>
void forRowBands(std::int32_t workers, std::int64_t rows, std::int64_t cellsPerRow, Work work) {
    constexpr std::int64_t kCellsWorthAThread = 20000;
    const std::int64_t useful = std::max<std::int64_t>(1, rows * cellsPerRow / kCellsWorthAThread);
    const std::int64_t bands = std::min<std::int64_t>({workers, rows, useful});
    if (bands <= 1) {
        work(std::int64_t{0}, rows);
        return;
    }
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(bands - 1));
    for (std::int64_t b = 1; b < bands; ++b)
        threads.emplace_back(work, rows * b / bands, rows * (b + 1) / bands);
    work(std::int64_t{0}, rows / bands);
    for (std::thread& t : threads) t.join();
}

// Five passes of (up + down + left + right + 2 × centre) / 6 over the interior cells, alternating
// between the raster and a copy; the border rows and columns keep their values.
void smooth(EngineState& s, std::int32_t workers) {
    const std::int64_t rows = s.rasterRows, columns = s.rasterColumns;
    if (rows < 10 || columns < 10) return;
    std::int32_t* grid = temperatureGrid(s);
    std::vector<std::int32_t> copy;
    try {
        copy.assign(grid, grid + rows * columns);
    } catch (const std::bad_alloc&) {
        return;  // the raster stays unsmoothed
    }
    std::int32_t* buffers[2] = {copy.data(), grid};
    for (int pass = 0; pass < 5; ++pass) {
        const std::int32_t* source = buffers[pass % 2];
        std::int32_t* target = buffers[(pass + 1) % 2];
        forRowBands(workers, rows - 2, columns, [&](std::int64_t first, std::int64_t end) {
            for (std::int64_t row = first + 1; row < end + 1; ++row) {
                const std::int32_t* in = source + row * columns;
                std::int32_t* out = target + row * columns;
                for (std::int64_t c = 1; c < columns - 1; ++c)
                    out[c] =
                        (in[c - columns] + in[c + columns] + in[c - 1] + in[c + 1] + 2 * in[c]) / 6;
            }
        });
    }
}

}  // namespace

std::int32_t toFiftieths(double temperatureC) {
    const double v = std::floor(temperatureC * 50 + 0.5);
    if (!(v >= -kMaxFiftieths)) return -kMaxFiftieths;
    if (v > kMaxFiftieths) return kMaxFiftieths;
    return static_cast<std::int32_t>(v);
}

std::int64_t truncClamped(double value, std::int64_t lo, std::int64_t hi) {
    if (!(value >= static_cast<double>(lo))) return lo;
    if (value >= static_cast<double>(hi)) return hi;
    return std::max(lo, std::min(hi, static_cast<std::int64_t>(value)));
}

double packageRadiusFactor(std::int32_t packageType) {
    switch (packageType) {
        case 45:
            return 0.8;
        case 4:
        case 21:
        case 24:
        case 27:
        case 33:
        case 48:
            return 0.85;
        case 18:
            return 0.9;
        case 25:
            return 0.95;
        case 26:
        case 37:
        case 43:
            return 1.1;
        case 12:
            return 1.15;
        case 2:
        case 5:
        case 13:
        case 36:
        case 42:
        case 51:
            return 1.2;
        case 3:
        case 30:
            return 1.25;
        case 34:
        case 38:
        case 52:
            return 1.3;
        case 10:
            return 1.35;
        case 28:
        case 40:
        case 49:
            return 1.4;
        case 14:
        case 17:
        case 35:
        case 44:
            return 1.5;
        case 11:
            return 1.65;
        case 41:
        case 50:
            return 1.7;
        case 53:
            return 2;
        case 20:
        case 23:
        case 47:
            return 2.25;
        default:
            return 1;
    }
}

std::int64_t reachRings(const EngineState& s) {
    return prepare(s).reachRings;
}

std::int32_t analyseBoard(EngineState& s) {
    if (!rasterReady(s)) return 1;
    const Preparation p = prepare(s);
    const std::int32_t count = usableSlots(s);
    ComponentSlot* slots = componentSlots(s);
    std::int32_t* grid = temperatureGrid(s);
    const std::uint8_t* mask = boardMask(s);
    const std::int64_t rows = s.rasterRows, columns = s.rasterColumns;
    const std::int32_t workers = workerCount(s);

    std::memset(grid, 0, s.temperatureGrid.bytes);
    for (std::int32_t i = 1; i <= count; ++i) {
        slots[i].caseNewC = 0;
        slots[i].caseOldC = p.ambientC + 20;
    }
    // The cooling factor of each component's frame and of each cell centre do not change during
    // the analysis.
    std::vector<double> componentCooling(static_cast<std::size_t>(count) + 1);
    for (std::int32_t i = 1; i <= count; ++i)
        componentCooling[static_cast<std::size_t>(i)] =
            coolingFactor(s, mask, p, frameOf(slots[i]));
    std::vector<double> cellCooling(static_cast<std::size_t>(rows * columns));

    RingRatios ratio{};
    Profile profile{};
    std::vector<RasterRise> rises;
    bool converging = true;
    for (std::int32_t passes = 1;; ++passes) {
        for (std::int32_t source = 1; source <= count; ++source) {
            ComponentSlot& c = slots[source];
            sourceGeometry(c);
            const SourcePhysics physics = sourcePhysics(s, p, c, ratio);
            spreadProfile(c, physics.totalResistance, ratio, profile);
            if (physics.ringUnits > 0) {
                for (std::int32_t j = 1; j <= count; ++j) {
                    ComponentSlot& target = slots[j];
                    const std::int64_t cx =
                        (static_cast<std::int64_t>(target.frameLeft) + target.frameRight) / 2;
                    const std::int64_t cy =
                        (static_cast<std::int64_t>(target.frameBottom) + target.frameTop) / 2;
                    const std::int64_t dx = intervalDistance(cx, c.spineLeft, c.spineRight);
                    const std::int64_t dy = intervalDistance(cy, c.spineBottom, c.spineTop);
                    const double reach = componentCooling[static_cast<std::size_t>(j)] *
                                         static_cast<double>(spineDistance(dx, dy)) /
                                         physics.ringUnits;
                    const std::int64_t n = truncClamped(reach, 0, kComponentReachRings);
                    if (n < kComponentReachRings)
                        target.caseNewC += profile[static_cast<std::size_t>(n)] / 50;
                }
            }
            if (!converging) rises.push_back(rasterRise(s, p, c, profile, physics.ringUnits));
        }
        for (std::int32_t i = 1; i <= count; ++i) slots[i].caseNewC += p.ambientC;
        s.analysisPasses = passes;
        if (!converging) break;
        if (count == 0) {
            converging = false;
            continue;
        }
        double largestChange = 0;
        for (std::int32_t i = 1; i <= count; ++i) {
            largestChange =
                std::max(largestChange, std::fabs(slots[i].caseNewC - slots[i].caseOldC));
            slots[i].caseOldC = slots[i].caseNewC;
            slots[i].caseNewC = 0;
        }
        if (largestChange < 1 || passes >= kMaxConvergingPasses) {
            converging = false;
            // The final pass fills the raster; it needs the cooling factor of every cell centre.
            forRowBands(workers, rows, columns, [&](std::int64_t first, std::int64_t end) {
                for (std::int64_t row = first; row < end; ++row)
                    for (std::int64_t column = 0; column < columns; ++column) {
                        const std::int64_t x = s.rasterOriginX + column * s.rasterStep;
                        const std::int64_t y = s.rasterOriginY + row * s.rasterStep;
                        cellCooling[static_cast<std::size_t>(row * columns + column)] =
                            coolingFactor(s, mask, p, {x, y, x, y});
                    }
            });
        }
    }

    // Rises on the raster, source after source in slot order within each band of rows.
    s.rasterCellUpdates = 0;
    for (const RasterRise& rise : rises) {
        if (!(rise.ringUnits > 0) || rise.yTo < rise.yFrom || rise.xTo < rise.xFrom) continue;
        const std::int64_t column0 = (rise.xFrom - s.rasterOriginX) / s.rasterStep;
        if (column0 < 0 || column0 >= columns) continue;
        s.rasterCellUpdates += ((rise.yTo - rise.yFrom) / s.rasterStep + 1) *
                               ((rise.xTo - rise.xFrom) / s.rasterStep + 1);
    }
    forRowBands(workers, rows, columns * static_cast<std::int64_t>(rises.size()),
                [&](std::int64_t first, std::int64_t end) {
                    for (const RasterRise& rise : rises)
                        addRise(s, rise, cellCooling, grid, first, end);
                });

    // Finishing.
    const std::int64_t ambient =
        truncClamped(std::floor(p.ambientC * 50 + 0.5), -2 * kMaxFiftieths, 2 * kMaxFiftieths);
    for (std::int64_t i = 0; i < rows * columns; ++i)
        grid[i] = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(grid[i] + ambient, -kMaxFiftieths, kMaxFiftieths));
    s.boardMinFiftieths = kMaxFiftieths;
    s.boardMaxFiftieths = -kMaxFiftieths;
    s.componentMinFiftieths = kMaxFiftieths;
    s.componentMaxFiftieths = -kMaxFiftieths;
    for (std::int32_t i = 1; i <= count; ++i) {
        ComponentSlot& c = slots[i];
        const std::int32_t caseValue = toFiftieths(c.caseNewC);
        c.junctionC = c.caseNewC + powerW(c.parameters) * c.parameters.junctionCaseCPerW;
        const std::int32_t junctionValue = toFiftieths(c.junctionC);
        s.componentMinFiftieths = std::min({s.componentMinFiftieths, caseValue, junctionValue});
        s.componentMaxFiftieths = std::max({s.componentMaxFiftieths, caseValue, junctionValue});
    }
    for (std::int64_t i = 0; i < rows * columns; ++i) {
        s.boardMinFiftieths = std::min(s.boardMinFiftieths, grid[i]);
        s.boardMaxFiftieths = std::max(s.boardMaxFiftieths, grid[i]);
    }
    smooth(s, workers);
    s.overallMinFiftieths = std::min(s.componentMinFiftieths, s.boardMinFiftieths);
    s.overallMaxFiftieths = std::max(s.componentMaxFiftieths, s.boardMaxFiftieths);
    return 1;
}

}  // namespace qor::thm
