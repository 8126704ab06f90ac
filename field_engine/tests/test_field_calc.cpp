// The per-cell formula, and the fast path against the plain reference bit for bit.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "field_calc.h"
#include "field_test_support.h"

namespace qor::ema {
namespace {

using testing::addAllReference;
using testing::firstDifference;
using testing::OwnedField;

TEST(ApproxLength, WeighsTheLongerSideMore) {
    struct Case {
        double a, b, expected;
    };
    const Case cases[] = {
        {3, 4, 0.96 * 4 + 0.398 * 3},
        {4, 3, 0.96 * 4 + 0.398 * 3},
        {-3, 4, 0.96 * 4 + 0.398 * 3},
        {3, -4, 0.96 * 4 + 0.398 * 3},
        {0, -2, 0.96 * 2},
        {0, 0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(approxLength(c.a, c.b), c.expected) << c.a << ", " << c.b;
    EXPECT_GT(approxLength(3, 4), 5.0);  // 5.034, a little above the exact length
    EXPECT_DOUBLE_EQ(approxLength(3, 4), 5.034);
}

// One cell of one piece, written out step by step from the physics of a short current element.
TEST(FieldPiece, OneCellAsWrittenOut) {
    const double x1 = 0.01, y1 = 0.02, x2 = 0.03, y2 = 0.025, volts = 3.3, hertz = 50e6;
    const FieldPiece piece = makePiece(x1, y1, x2, y2, volts, hertz);

    const double length = 0.96 * 0.02 + 0.398 * 0.005;
    const double f = hertz * 10;
    const double k = 6.283185307179586 / (299810800.0 / f);
    const double t = length * (volts * 0.0002) * (k * k * k) /
                     (6.283185307179586 * (6.283185307179586 * f) * 8.85e-12) * 0.01;
    EXPECT_DOUBLE_EQ(piece.k, k);
    EXPECT_DOUBLE_EQ(piece.t, t);
    EXPECT_DOUBLE_EQ(piece.cx, 0.02 / length);
    EXPECT_DOUBLE_EQ(piece.cy, 0.005 / length);

    // The cell centre at (0.05, 0.01).
    OwnedField field(1, 1, 0.002, 0.05, 0.01);
    addPieceReference(field.raster, piece);
    const double mx = 0.02, my = 0.0225;
    const double along = (0.01 - my) * piece.cy + (0.05 - mx) * piece.cx;
    const double across = (0.01 - my) * piece.cx - (0.05 - mx) * piece.cy;
    const double r = 0.96 * std::max(std::fabs(along), std::fabs(across)) +
                     0.398 * std::min(std::fabs(along), std::fabs(across));
    const double u = k * r;
    const double a1 = 1 / (u + 0.01), a2 = 1 / (u * u + 0.01), a3 = 1 / (u * u * u + 0.01);
    const double t1 = t * (across / r) * std::sqrt(a2 * a2 + a3 * a3);
    const double t2 = t / 2 * (along / r) * std::sqrt(a2 * a2 + (a1 - a3) * (a1 - a3));
    const double w = across / r * t1 - along / r * t2;
    const double z = across / r * t2 + along / r * t1;
    EXPECT_NEAR(field.values[0], approxLength(w, z), 1e-12 * approxLength(w, z));
    EXPECT_GT(field.values[0], 0.0);
}

TEST(FieldPiece, CoincidentEndPointsAddNothing) {
    OwnedField field(7, 5, 0.002, 0.001, 0.001);
    for (std::size_t i = 0; i < field.values.size(); ++i) field.values[i] = 0.25 * double(i);
    const std::vector<double> before = field.values;
    // One end point on a cell centre, one between centres.
    const std::vector<FieldPiece> pieces = {makePiece(0.005, 0.003, 0.005, 0.003, 5, 1e8),
                                            makePiece(0.0042, 0.0017, 0.0042, 0.0017, 5, 1e8)};
    EXPECT_EQ(pieces[0].cx, 0.0);
    EXPECT_EQ(pieces[0].cy, 0.0);
    addAllReference(field.raster, pieces);
    EXPECT_EQ(firstDifference(field.values, before), -1);
    ASSERT_TRUE(addPieces(field.raster, pieces));
    EXPECT_EQ(firstDifference(field.values, before), -1);
}

TEST(FieldPiece, DrivesWithoutAFiniteFieldAreRecognised) {
    EXPECT_TRUE(pieceAddsField(makePiece(0, 0, 0.01, 0, 5, 1e6)));
    EXPECT_TRUE(pieceAddsField(makePiece(0, 0, 0.01, 0, 0, 1e6)));  // adds zeros
    EXPECT_FALSE(pieceAddsField(makePiece(0, 0, 0.01, 0, 5, 0)));   // 0 / 0
    EXPECT_FALSE(pieceAddsField(makePiece(0, 0, 0.01, 0, 5, -1e6)));
    EXPECT_FALSE(pieceAddsField(makePiece(0, 0, 0.01, 0, 1e300, 1e30)));
}

// Random rasters (odd and even sizes, single rows and columns, more rows than one block holds),
// random pieces (some on cell centres, some of length 0), a field that already holds values.
struct RandomCase {
    OwnedField field;
    std::vector<FieldPiece> pieces;
};

RandomCase randomCase(std::uint32_t seed, std::int32_t columns, std::int32_t rows,
                      std::size_t pieceCount) {
    std::mt19937_64 rng(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const double spacing = 0.0005 + 0.004 * unit(rng);
    RandomCase c{OwnedField(columns, rows, spacing, 0.02 * unit(rng), 0.02 * unit(rng)), {}};
    for (double& v : c.field.values) v = unit(rng) < 0.5 ? 0.0 : 1e4 * unit(rng);
    const double width = spacing * columns + 0.02, height = spacing * rows + 0.02;
    const double volts = 0.5 + 10 * unit(rng);
    const double hertz = std::pow(10.0, 5 + 4 * unit(rng));
    for (std::size_t i = 0; i < pieceCount; ++i) {
        double x1 = width * unit(rng), y1 = height * unit(rng);
        double x2 = x1 + 0.03 * (unit(rng) - 0.5), y2 = y1 + 0.03 * (unit(rng) - 0.5);
        const double kind = unit(rng);
        if (kind < 0.1) {
            x2 = x1;  // length 0
            y2 = y1;
        } else if (kind < 0.2) {
            // centred on a cell centre: that cell's distance is the minimum
            const double cx = c.field.raster.originX + spacing * std::floor(columns * unit(rng));
            const double cy = c.field.raster.originY + spacing * std::floor(rows * unit(rng));
            x1 = cx - spacing;
            x2 = cx + spacing;
            y1 = y2 = cy;
        }
        c.pieces.push_back(makePiece(x1, y1, x2, y2, volts, hertz));
    }
    return c;
}

TEST(FastField, GivesTheReferenceBitsOnRandomBoards) {
    struct Size {
        std::int32_t columns, rows;
        std::size_t pieces;
    };
    const Size sizes[] = {{1, 1, 3},    {1, 7, 5},     {13, 1, 5},  {31, 17, 40},
                          {9, 2051, 3}, {57, 46, 300}, {40, 33, 11}};
    std::vector<FieldKernel> kernels;
    for (FieldKernel kernel : {FieldKernel::Portable, FieldKernel::Avx2, FieldKernel::Avx512})
        if (kernelAvailable(kernel)) kernels.push_back(kernel);
    std::uint32_t seed = 1;
    for (const Size& size : sizes) {
        SCOPED_TRACE(::testing::Message() << size.columns << " x " << size.rows);
        const RandomCase c = randomCase(seed++, size.columns, size.rows, size.pieces);
        OwnedField expected = c.field;
        addAllReference(expected.raster, c.pieces);
        for (FieldKernel kernel : kernels) {
            for (int threads : {1, 2, 3}) {
                OwnedField fast = c.field;
                FieldWork work;
                work.kernel = kernel;
                work.threads = threads;
                ASSERT_TRUE(addPieces(fast.raster, c.pieces, work));
                EXPECT_EQ(firstDifference(fast.values, expected.values), -1)
                    << "kernel " << static_cast<int>(kernel) << ", threads " << threads;
            }
        }
    }
}

TEST(FastField, AddsOnTopInCallOrder) {
    // Two calls of half the pieces each give the bits of one call with all of them.
    const RandomCase c = randomCase(99, 23, 19, 20);
    OwnedField once = c.field;
    ASSERT_TRUE(addPieces(once.raster, c.pieces));
    OwnedField twice = c.field;
    const std::span<const FieldPiece> all(c.pieces);
    ASSERT_TRUE(addPieces(twice.raster, all.first(7)));
    ASSERT_TRUE(addPieces(twice.raster, all.subspan(7)));
    EXPECT_EQ(firstDifference(once.values, twice.values), -1);
}

struct ProgressLog {
    std::thread::id caller;
    bool onCaller = true;
    std::int64_t last = -1;
    bool monotonic = true;
    std::int64_t total = 0;
    int calls = 0;
    std::atomic<bool>* cancelAfterFirst = nullptr;
};

void logProgress(void* context, std::int64_t done, std::int64_t total) {
    auto& log = *static_cast<ProgressLog*>(context);
    log.onCaller = log.onCaller && std::this_thread::get_id() == log.caller;
    log.monotonic = log.monotonic && done >= log.last && done <= total;
    log.last = done;
    log.total = total;
    ++log.calls;
    if (log.cancelAfterFirst) log.cancelAfterFirst->store(true);
}

TEST(FastField, ReportsProgressOnTheCallingThread) {
    const RandomCase c = randomCase(5, 60, 80, 600);
    OwnedField field = c.field;
    ProgressLog log{std::this_thread::get_id()};
    FieldWork work;
    work.threads = 2;
    work.progress = logProgress;
    work.progressContext = &log;
    ASSERT_TRUE(addPieces(field.raster, c.pieces, work));
    EXPECT_TRUE(log.onCaller);
    EXPECT_TRUE(log.monotonic);
    EXPECT_EQ(log.total, 60 * 80 * 600);
    EXPECT_EQ(log.last, log.total);
}

TEST(FastField, CancelledAdditionLeavesTheFieldAsItWas) {
    const RandomCase c = randomCase(6, 60, 80, 600);
    OwnedField field = c.field;
    std::atomic<bool> cancel{false};
    ProgressLog log{std::this_thread::get_id()};
    log.cancelAfterFirst = &cancel;
    FieldWork work;
    work.threads = 1;
    work.progress = logProgress;
    work.progressContext = &log;
    work.cancel = &cancel;
    EXPECT_FALSE(addPieces(field.raster, c.pieces, work));
    EXPECT_LT(log.last, 60 * 80 * 600);
    EXPECT_EQ(firstDifference(field.values, c.field.values), -1);

    // Cancelled before it starts, on several threads.
    work.threads = 3;
    work.progress = nullptr;
    EXPECT_FALSE(addPieces(field.raster, c.pieces, work));
    EXPECT_EQ(firstDifference(field.values, c.field.values), -1);

    // A flag that is never set changes nothing.
    std::atomic<bool> never{false};
    FieldWork quiet;
    quiet.cancel = &never;
    OwnedField expected = c.field;
    addAllReference(expected.raster, c.pieces);
    ASSERT_TRUE(addPieces(field.raster, c.pieces, quiet));
    EXPECT_EQ(firstDifference(field.values, expected.values), -1);
}

}  // namespace
}  // namespace qor::ema
