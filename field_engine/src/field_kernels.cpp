// The fast path: the cell loop for AVX-512, AVX2 and plain SSE2 (every x86-64 has it), chosen at
// run time, on blocks of cells that threads take one after another.
//
// Every header is included before the AVX regions: only the code of field_kernel_body.inc is
// built for AVX, so nothing shared with other files can pick up AVX instructions. FMA is not
// enabled, so no multiply and add can be fused into an instruction that rounds once.
#include <emmintrin.h>
#include <immintrin.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "field_calc.h"

namespace qor::ema {
namespace {

// A block of cells and the pieces to add to it.
struct BlockJob {
    const FieldPiece* pieces = nullptr;
    std::size_t pieceCount = 0;
    const double* xs = nullptr;  // cell centre of each column
    const double* ys = nullptr;  // cell centre of each row
    double* values = nullptr;
    std::int32_t rows = 0;  // rows of the whole raster
    std::int32_t firstColumn = 0, endColumn = 0;
    std::int32_t firstRow = 0, endRow = 0;
};

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace avx2 {

struct Pack {
    using V = __m256d;
    static constexpr int kLanes = 4;
    static V set1(double v) { return _mm256_set1_pd(v); }
    static V load(const double* p) { return _mm256_loadu_pd(p); }
    static void store(double* p, V v) { _mm256_storeu_pd(p, v); }
    static V add(V a, V b) { return _mm256_add_pd(a, b); }
    static V sub(V a, V b) { return _mm256_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm256_mul_pd(a, b); }
    static V div(V a, V b) { return _mm256_div_pd(a, b); }
    static V sqrt(V a) { return _mm256_sqrt_pd(a); }
    static V abs(V a) { return _mm256_andnot_pd(_mm256_set1_pd(-0.0), a); }
    static V max(V a, V b) { return _mm256_max_pd(a, b); }
    static V min(V a, V b) { return _mm256_min_pd(a, b); }
    static V atLeast(V a, V floor) {
        return _mm256_blendv_pd(a, floor, _mm256_cmp_pd(a, floor, _CMP_LT_OQ));
    }
};

#include "field_kernel_body.inc"

void addBlockAvx2(const BlockJob& job) {
    addBlock(job);
}

}  // namespace avx2
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f")
#endif
namespace avx512 {

struct Pack {
    using V = __m512d;
    static constexpr int kLanes = 8;
    static V set1(double v) { return _mm512_set1_pd(v); }
    static V load(const double* p) { return _mm512_loadu_pd(p); }
    static void store(double* p, V v) { _mm512_storeu_pd(p, v); }
    // sqrt, max and min in their masked forms: GCC 12 takes the undefined source of the plain
    // ones for an uninitialized value.
    static V add(V a, V b) { return _mm512_add_pd(a, b); }
    static V sub(V a, V b) { return _mm512_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm512_mul_pd(a, b); }
    static V div(V a, V b) { return _mm512_div_pd(a, b); }
    static V sqrt(V a) { return _mm512_mask_sqrt_pd(a, 0xFF, a); }
    static V abs(V a) { return _mm512_abs_pd(a); }
    static V max(V a, V b) { return _mm512_mask_max_pd(a, 0xFF, a, b); }
    static V min(V a, V b) { return _mm512_mask_min_pd(a, 0xFF, a, b); }
    static V atLeast(V a, V floor) {
        return _mm512_mask_blend_pd(_mm512_cmp_pd_mask(a, floor, _CMP_LT_OQ), a, floor);
    }
};

#include "field_kernel_body.inc"

void addBlockAvx512(const BlockJob& job) {
    addBlock(job);
}

}  // namespace avx512
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

namespace portable {

struct Pack {
    using V = __m128d;
    static constexpr int kLanes = 2;
    static V set1(double v) { return _mm_set1_pd(v); }
    static V load(const double* p) { return _mm_loadu_pd(p); }
    static void store(double* p, V v) { _mm_storeu_pd(p, v); }
    static V add(V a, V b) { return _mm_add_pd(a, b); }
    static V sub(V a, V b) { return _mm_sub_pd(a, b); }
    static V mul(V a, V b) { return _mm_mul_pd(a, b); }
    static V div(V a, V b) { return _mm_div_pd(a, b); }
    static V sqrt(V a) { return _mm_sqrt_pd(a); }
    static V abs(V a) { return _mm_andnot_pd(_mm_set1_pd(-0.0), a); }
    static V max(V a, V b) { return _mm_max_pd(a, b); }
    static V min(V a, V b) { return _mm_min_pd(a, b); }
    static V atLeast(V a, V floor) {
        const V below = _mm_cmplt_pd(a, floor);
        return _mm_or_pd(_mm_and_pd(below, floor), _mm_andnot_pd(below, a));
    }
};

#include "field_kernel_body.inc"

void addBlockPortable(const BlockJob& job) {
    addBlock(job);
}

}  // namespace portable

using BlockFunction = void (*)(const BlockJob&);

BlockFunction blockFunction(FieldKernel kernel) {
    switch (kernel) {
        case FieldKernel::Portable:
            return portable::addBlockPortable;
        case FieldKernel::Avx2:
            return avx2::addBlockAvx2;
        case FieldKernel::Avx512:
            return avx512::addBlockAvx512;
        case FieldKernel::Automatic:
            break;
    }
    return bestKernel() == FieldKernel::Avx512 ? avx512::addBlockAvx512
           : bestKernel() == FieldKernel::Avx2 ? avx2::addBlockAvx2
                                               : portable::addBlockPortable;
}

// About 16 KiB of cells per block: the block's values stay in the first-level cache while every
// piece passes over them.
constexpr std::int64_t kBlockCells = 2048;
// Pieces added to a block between two looks at the cancel flag.
constexpr std::size_t kPiecesPerPass = 256;
// Below this many evaluations a job stays on the calling thread unless told otherwise.
constexpr std::int64_t kThreadedEvaluations = std::int64_t{1} << 22;

struct Blocks {
    std::int32_t rowsPerBlock = 0;
    std::int32_t columnsPerBlock = 0;
    std::int64_t rowBlocks = 0;
    std::int64_t count = 0;
};

Blocks splitIntoBlocks(const FieldRaster& raster) {
    Blocks b;
    b.rowsPerBlock = static_cast<std::int32_t>(std::min<std::int64_t>(raster.rows, kBlockCells));
    b.columnsPerBlock =
        static_cast<std::int32_t>(std::max<std::int64_t>(1, kBlockCells / b.rowsPerBlock));
    b.rowBlocks = (raster.rows + b.rowsPerBlock - 1) / b.rowsPerBlock;
    const std::int64_t columnBlocks = (raster.columns + b.columnsPerBlock - 1) / b.columnsPerBlock;
    b.count = b.rowBlocks * columnBlocks;
    return b;
}

}  // namespace

FieldKernel bestKernel() {
    static const FieldKernel best = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f")) return FieldKernel::Avx512;
        if (__builtin_cpu_supports("avx2")) return FieldKernel::Avx2;
        return FieldKernel::Portable;
    }();
    return best;
}

bool kernelAvailable(FieldKernel kernel) {
    switch (kernel) {
        case FieldKernel::Avx512:
            return bestKernel() == FieldKernel::Avx512;
        case FieldKernel::Avx2:
            return bestKernel() != FieldKernel::Portable;
        case FieldKernel::Portable:
        case FieldKernel::Automatic:
            break;
    }
    return true;
}

bool addPieces(const FieldRaster& raster, std::span<const FieldPiece> pieces,
               const FieldWork& work) {
    const std::int64_t total = raster.cells() * static_cast<std::int64_t>(pieces.size());
    if (total == 0) {
        if (work.progress) work.progress(work.progressContext, 0, 0);
        return true;
    }
    const BlockFunction addBlockOf = blockFunction(work.kernel);

    std::vector<double> xs(static_cast<std::size_t>(raster.columns));
    std::vector<double> ys(static_cast<std::size_t>(raster.rows));
    for (std::int32_t c = 0; c < raster.columns; ++c)
        xs[static_cast<std::size_t>(c)] = raster.originX + static_cast<double>(c) * raster.spacing;
    for (std::int32_t r = 0; r < raster.rows; ++r)
        ys[static_cast<std::size_t>(r)] = raster.originY + static_cast<double>(r) * raster.spacing;

    // A cancelled addition puts the field back as it was.
    std::vector<double> before;
    if (work.cancel) before.assign(raster.values, raster.values + raster.cells());

    const Blocks blocks = splitIntoBlocks(raster);
    std::atomic<std::int64_t> nextBlock{0};
    std::atomic<std::int64_t> done{0};
    std::atomic<bool> stopped{false};
    const auto cancelled = [&] {
        if (work.cancel && work.cancel->load(std::memory_order_relaxed))
            stopped.store(true, std::memory_order_relaxed);
        return stopped.load(std::memory_order_relaxed);
    };
    // Takes the next block and adds every piece to it; false when there is nothing left to do.
    const auto doOneBlock = [&]() -> bool {
        const std::int64_t index = nextBlock.fetch_add(1, std::memory_order_relaxed);
        if (index >= blocks.count) return false;
        BlockJob job;
        job.xs = xs.data();
        job.ys = ys.data();
        job.values = raster.values;
        job.rows = raster.rows;
        const std::int64_t rowBlock = index % blocks.rowBlocks;
        const std::int64_t columnBlock = index / blocks.rowBlocks;
        job.firstRow = static_cast<std::int32_t>(rowBlock * blocks.rowsPerBlock);
        job.endRow = std::min(raster.rows, job.firstRow + blocks.rowsPerBlock);
        job.firstColumn = static_cast<std::int32_t>(columnBlock * blocks.columnsPerBlock);
        job.endColumn = std::min(raster.columns, job.firstColumn + blocks.columnsPerBlock);
        const std::int64_t cells =
            std::int64_t{job.endColumn - job.firstColumn} * (job.endRow - job.firstRow);
        for (std::size_t first = 0; first < pieces.size(); first += kPiecesPerPass) {
            if (cancelled()) return false;
            job.pieces = pieces.data() + first;
            job.pieceCount = std::min(kPiecesPerPass, pieces.size() - first);
            addBlockOf(job);
            done.fetch_add(cells * static_cast<std::int64_t>(job.pieceCount),
                           std::memory_order_relaxed);
        }
        return true;
    };

    std::int64_t threads = work.threads;
    if (threads <= 0) {
        threads =
            total < kThreadedEvaluations ? 1 : std::max(1u, std::thread::hardware_concurrency());
    }
    threads = std::min(threads, blocks.count);
    std::vector<std::thread> helpers;
    try {
        for (std::int64_t i = 1; i < threads; ++i)
            helpers.emplace_back([&] {
                while (doOneBlock()) {
                }
            });
    } catch (...) {
        // The threads that did start, and this one, do the work.
    }
    while (doOneBlock()) {
        if (work.progress)
            work.progress(work.progressContext, done.load(std::memory_order_relaxed), total);
    }
    for (std::thread& helper : helpers) helper.join();

    if (stopped.load()) {
        std::copy(before.begin(), before.end(), raster.values);
        return false;
    }
    if (work.progress) work.progress(work.progressContext, total, total);
    return true;
}

}  // namespace qor::ema
