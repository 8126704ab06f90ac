// Field engine speed: 2000 trace pieces on a raster of 200 099 cells (499 x 401 at 0.5 mm), the
// plain scalar formula and the fast path in the same run.
//
// Counters: evals/s = cell-piece evaluations per second. Every evaluation needs 5 divisions and 2
// square roots, which share the processor's divide unit; the DivideUnitBound benchmarks time
// exactly that work (independent operations, so only the unit's throughput counts) for one lane
// and for the vector width of the kernel in use, which gives the most evaluations per second one
// core can reach. The summary at the end sets the figures side by side.
#include <benchmark/benchmark.h>
#include <immintrin.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include "field_calc.h"

namespace {

using qor::ema::FieldPiece;
using qor::ema::FieldRaster;

constexpr std::int32_t kColumns = 499, kRows = 401;
constexpr std::size_t kPieces = 2000;
constexpr double kSpacing = 0.0005;

struct BenchField {
    std::vector<double> values = std::vector<double>(std::size_t{kColumns} * kRows, 0.0);
    FieldRaster raster;
    std::vector<FieldPiece> pieces;

    BenchField() {
        raster.spacing = kSpacing;
        raster.originX = raster.originY = kSpacing / 2;
        raster.columns = kColumns;
        raster.rows = kRows;
        raster.values = values.data();
        std::mt19937_64 rng(2000);
        std::uniform_real_distribution<double> x(0.0, kColumns * kSpacing),
            y(0.0, kRows * kSpacing), step(-0.01, 0.01);
        // Traces of a few bends each, like routed nets.
        double px = x(rng), py = y(rng);
        for (std::size_t i = 0; i < kPieces; ++i) {
            if (i % 8 == 0) px = x(rng), py = y(rng);
            const double qx = std::clamp(px + step(rng), 0.0, kColumns * kSpacing);
            const double qy = std::clamp(py + step(rng), 0.0, kRows * kSpacing);
            pieces.push_back(qor::ema::makePiece(px, py, qx, qy, 3.3, 1e8));
            px = qx;
            py = qy;
        }
    }
    double evaluations() const { return double(raster.cells()) * double(pieces.size()); }
};

BenchField& field() {
    static BenchField f;
    return f;
}

// Rates of the last run of each benchmark, for the summary.
double gReference = 0, gFast = 0, gFastOneThread = 0, gAvx2 = 0, gPortable = 0, gBound = 0,
       gScalarBound = 0;

void BM_FieldReference(benchmark::State& state) {
    BenchField& f = field();
    for (auto _ : state) {
        for (const FieldPiece& piece : f.pieces) qor::ema::addPieceReference(f.raster, piece);
        benchmark::DoNotOptimize(f.values.data());
    }
    state.counters["evals/s"] = benchmark::Counter(f.evaluations() * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FieldReference)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

void fastRun(benchmark::State& state, qor::ema::FieldKernel kernel, int threads, double& rate) {
    BenchField& f = field();
    qor::ema::FieldWork work;
    work.kernel = kernel;
    work.threads = threads;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        qor::ema::addPieces(f.raster, f.pieces, work);
        benchmark::DoNotOptimize(f.values.data());
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rate = f.evaluations() * double(state.iterations()) / seconds;
    state.counters["evals/s"] = benchmark::Counter(f.evaluations() * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
    state.counters["threads"] = threads > 0 ? threads : std::thread::hardware_concurrency();
}

// All cores, the best kernel of this processor.
void BM_FieldFast(benchmark::State& state) {
    fastRun(state, qor::ema::FieldKernel::Automatic, 0, gFast);
}
BENCHMARK(BM_FieldFast)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FieldFastOneThread(benchmark::State& state) {
    fastRun(state, qor::ema::FieldKernel::Automatic, 1, gFastOneThread);
}
BENCHMARK(BM_FieldFastOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// The AVX2 kernel on one thread (processors without AVX-512).
void BM_FieldAvx2OneThread(benchmark::State& state) {
    if (!qor::ema::kernelAvailable(qor::ema::FieldKernel::Avx2)) {
        state.SkipWithError("no AVX2");
        return;
    }
    fastRun(state, qor::ema::FieldKernel::Avx2, 1, gAvx2);
}
BENCHMARK(BM_FieldAvx2OneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// The SSE2 kernel that processors without AVX2 run, on one thread.
void BM_FieldPortableOneThread(benchmark::State& state) {
    fastRun(state, qor::ema::FieldKernel::Portable, 1, gPortable);
}
BENCHMARK(BM_FieldPortableOneThread)->Unit(benchmark::kMillisecond)->UseRealTime();

// The divide unit's work of four evaluations: 5 divisions and 2 square roots of 4 lanes each,
// independent of each other. The loop keeps every value a full-precision number.
__attribute__((target("avx2"))) double divideUnitWork(std::int64_t rounds) {
    const __m256d d = _mm256_set1_pd(1.2345678901234567);
    const __m256d c = _mm256_set1_pd(1.7);
    __m256d v0 = _mm256_set1_pd(1.1), v1 = _mm256_set1_pd(1.3), v2 = _mm256_set1_pd(1.5),
            v3 = _mm256_set1_pd(1.7), v4 = _mm256_set1_pd(1.9), s0 = _mm256_set1_pd(2.1),
            s1 = _mm256_set1_pd(2.3);
    for (std::int64_t i = 0; i < rounds; ++i) {
        v0 = _mm256_div_pd(d, v0);
        v1 = _mm256_div_pd(d, v1);
        v2 = _mm256_div_pd(d, v2);
        v3 = _mm256_div_pd(d, v3);
        v4 = _mm256_div_pd(d, v4);
        s0 = _mm256_mul_pd(_mm256_sqrt_pd(s0), c);
        s1 = _mm256_mul_pd(_mm256_sqrt_pd(s1), c);
    }
    const __m256d sum = _mm256_add_pd(_mm256_add_pd(_mm256_add_pd(v0, v1), _mm256_add_pd(v2, v3)),
                                      _mm256_add_pd(_mm256_add_pd(v4, s0), s1));
    double lanes[4];
    _mm256_storeu_pd(lanes, sum);
    return lanes[0] + lanes[1] + lanes[2] + lanes[3];
}

__attribute__((target("avx512f"))) double divideUnitWork512(std::int64_t rounds) {
    const __m512d d = _mm512_set1_pd(1.2345678901234567);
    const __m512d c = _mm512_set1_pd(1.7);
    __m512d v0 = _mm512_set1_pd(1.1), v1 = _mm512_set1_pd(1.3), v2 = _mm512_set1_pd(1.5),
            v3 = _mm512_set1_pd(1.7), v4 = _mm512_set1_pd(1.9), s0 = _mm512_set1_pd(2.1),
            s1 = _mm512_set1_pd(2.3);
    for (std::int64_t i = 0; i < rounds; ++i) {
        v0 = _mm512_div_pd(d, v0);
        v1 = _mm512_div_pd(d, v1);
        v2 = _mm512_div_pd(d, v2);
        v3 = _mm512_div_pd(d, v3);
        v4 = _mm512_div_pd(d, v4);
        s0 = _mm512_mul_pd(_mm512_mask_sqrt_pd(s0, 0xFF, s0), c);
        s1 = _mm512_mul_pd(_mm512_mask_sqrt_pd(s1, 0xFF, s1), c);
    }
    double lanes[8];
    _mm512_storeu_pd(lanes,
                     _mm512_add_pd(_mm512_add_pd(_mm512_add_pd(v0, v1), _mm512_add_pd(v2, v3)),
                                   _mm512_add_pd(_mm512_add_pd(v4, s0), s1)));
    double sum = 0;
    for (double lane : lanes) sum += lane;
    return sum;
}

// The same for one evaluation in scalar code, the reference's own bound.
double scalarDivideUnitWork(std::int64_t rounds) {
    const double d = 1.2345678901234567, c = 1.7;
    double v0 = 1.1, v1 = 1.3, v2 = 1.5, v3 = 1.7, v4 = 1.9, s0 = 2.1, s1 = 2.3;
    for (std::int64_t i = 0; i < rounds; ++i) {
        v0 = d / v0;
        v1 = d / v1;
        v2 = d / v2;
        v3 = d / v3;
        v4 = d / v4;
        s0 = std::sqrt(s0) * c;
        s1 = std::sqrt(s1) * c;
        benchmark::DoNotOptimize(s1);
    }
    return v0 + v1 + v2 + v3 + v4 + s0 + s1;
}

// At the vector width of the kernel that BM_FieldFast runs.
void BM_DivideUnitBound(benchmark::State& state) {
    constexpr std::int64_t kRounds = 1 << 20;
    const qor::ema::FieldKernel kernel = qor::ema::bestKernel();
    const double lanes = kernel == qor::ema::FieldKernel::Avx512 ? 8
                         : kernel == qor::ema::FieldKernel::Avx2 ? 4
                                                                 : 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(lanes == 8   ? divideUnitWork512(kRounds)
                                 : lanes == 4 ? divideUnitWork(kRounds)
                                              : scalarDivideUnitWork(kRounds));
    state.counters["evals/s"] = benchmark::Counter(lanes * kRounds * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DivideUnitBound)->Unit(benchmark::kMillisecond);

void BM_ScalarDivideUnitBound(benchmark::State& state) {
    constexpr std::int64_t kRounds = 1 << 20;
    for (auto _ : state) benchmark::DoNotOptimize(scalarDivideUnitWork(kRounds));
    state.counters["evals/s"] = benchmark::Counter(double(kRounds) * double(state.iterations()),
                                                   benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ScalarDivideUnitBound)->Unit(benchmark::kMillisecond);

// Keeps the evals/s counter of the bound benchmarks for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const auto it = run.counters.find("evals/s");
            if (it == run.counters.end()) continue;
            const std::string name = run.benchmark_name();
            if (name.rfind("BM_DivideUnitBound", 0) == 0) gBound = it->second.value;
            if (name.rfind("BM_ScalarDivideUnitBound", 0) == 0) gScalarBound = it->second.value;
            if (name.rfind("BM_FieldReference", 0) == 0) gReference = it->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const qor::ema::FieldKernel best = qor::ema::bestKernel();
    std::printf("\nField summary (%s kernel, %u cores):\n",
                best == qor::ema::FieldKernel::Avx512 ? "AVX-512"
                : best == qor::ema::FieldKernel::Avx2 ? "AVX2"
                                                      : "SSE2",
                cores);
    const auto line = [](const char* what, double rate) {
        if (rate > 0) std::printf("  %-38s %8.1f M evals/s\n", what, rate / 1e6);
    };
    line("reference (scalar, one thread)", gReference);
    line("fast, one thread", gFastOneThread);
    line("fast, AVX2 kernel, one thread", gAvx2);
    line("fast, SSE2 kernel, one thread", gPortable);
    line("fast, all cores", gFast);
    line("divide-unit bound, scalar, one core", gScalarBound);
    line("divide-unit bound, one core", gBound);
    if (gReference > 0 && gFast > 0) std::printf("  fast / reference: %.2fx\n", gFast / gReference);
    if (gReference > 0 && gAvx2 > 0)
        std::printf("  AVX2 one thread / reference: %.2fx\n", gAvx2 / gReference);
    if (gReference > 0 && gPortable > 0)
        std::printf("  SSE2 one thread / reference: %.2fx\n", gPortable / gReference);
    if (gBound > 0 && gFastOneThread > 0)
        std::printf("  fast one thread / divide-unit bound of one core: %.0f%%\n",
                    100 * gFastOneThread / gBound);
    if (gBound > 0 && gFast > 0)
        std::printf("  fast all cores / divide-unit bound of %u cores: %.0f%%\n", cores,
                    100 * gFast / (gBound * cores));
    if (gScalarBound > 0 && gReference > 0)
        std::printf("  reference / scalar divide-unit bound: %.0f%%\n",
                    100 * gReference / gScalarBound);
    return 0;
}
