// Thermal engine speed: load, shape set and analysis of a generated board of 511 components on the
// largest raster that fits, and of the demo design at a 0.254 mm raster.
//
// Counters: cells = raster cells; updates/s = raster cell additions of the final pass per second
// of analysis (the per-cell work: one profile lookup and one addition per source in reach).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "demo_design.h"
#include "engine_state.h"
#include "qor/design/builder.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"
#include "qorthm32.h"

namespace {

namespace fs = std::filesystem;

constexpr std::int32_t kStepUnits = 25400;  // 0.254 mm

// 211.6 mm x 228.3 mm at 0.254 mm: 834 columns x 899 rows, 749 766 cells.
qor::design::Design generatedBoard() {
    using qor::design::Point;
    qor::design::DesignBuilder b("Generated 511");
    const std::int32_t width = 21160000, height = 22830000;
    b.setOutline({{0, 0}, {width, 0}, {width, height}, {0, height}});
    struct Part {
        const char* device;
        const char* package;
        std::int32_t halfW, halfH;
    };
    const Part parts[] = {
        {"LM7805", "TO-220", 500000, 230000},     {"NE555", "DIP-8", 480000, 330000},
        {"LM358", "SO-8", 250000, 200000},        {"R0805", "0805", 140000, 75000},
        {"C0805", "0805", 140000, 75000},         {"IRF540N", "TO-220", 500000, 230000},
        {"ATMEGA328P", "DIP-28", 1800000, 380000}};
    std::vector<std::int32_t> symbols, devices;
    for (const Part& p : parts) {
        symbols.push_back(b.addSymbol(p.package,
                                      {{1, "1", -p.halfW / 2, 0, 0}, {2, "2", p.halfW / 2, 0, 0}},
                                      {-p.halfW, -p.halfH, p.halfW, p.halfH}));
        devices.push_back(b.addDevice(p.device, p.package));
    }
    for (std::int32_t i = 0; i < 511; ++i) {
        const std::size_t k = static_cast<std::size_t>(i * 7 % 13 % 7);
        const Point at{(i % 23) * 900000 + 600000, (i / 23) * 1000000 + 600000};
        b.addComponent("U" + std::to_string(i + 1), symbols[k], devices[k], at);
    }
    return b.take();
}

// A design file written once and opened through the kernel.
class OpenDesign {
  public:
    OpenDesign(const qor::design::Design& design, const char* name) {
        path_ =
            (fs::temp_directory_path() / ("qor_bench_thermal_" + std::to_string(::getpid()) + name))
                .string();
        std::string error;
        DB_CloseDesign();
        ok_ = qor::design::DesignFile::create(path_, design, error) != nullptr &&
              DB_OpenDesign(path_.c_str()) == 1;
    }
    ~OpenDesign() {
        DB_CloseDesign();
        for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(path_ + suffix);
    }
    bool ok() const { return ok_; }

  private:
    std::string path_;
    bool ok_ = false;
};

bool loadAndShape() {
    THM_A_DeleteDataBase();
    if (!THM_A_Qor_LoadDataBase(QOR_EXAMPLE_PROFILE)) return false;
    TemperatureParameters t{};
    THM_A_GetTemperatureParameters(&t);
    t.stepUnits = kStepUnits;
    THM_A_SetTemperatureParameters(&t);
    return THM_A_BoardShapeSet() == 1;
}

void setCounters(benchmark::State& state, double analysisSeconds) {
    const auto& s = qor::thm::engine();
    state.counters["cells"] = static_cast<double>(s.rasterColumns) * s.rasterRows;
    state.counters["components"] = s.componentCount;
    state.counters["passes"] = s.analysisPasses;
    if (analysisSeconds > 0)
        state.counters["updates/s"] =
            benchmark::Counter(static_cast<double>(s.rasterCellUpdates) *
                               static_cast<double>(state.iterations()) / analysisSeconds);
}

// Load, shape set and analysis together, as the front end runs them.
void runWhole(benchmark::State& state, const qor::design::Design& design, const char* name) {
    OpenDesign open(design, name);
    if (!open.ok()) {
        state.SkipWithError("cannot open the design");
        return;
    }
    qor::thm::engine().workerThreads = static_cast<std::int32_t>(state.range(0));
    double analysisSeconds = 0;
    for (auto _ : state) {
        if (!loadAndShape()) {
            state.SkipWithError("load or shape set failed");
            return;
        }
        const auto start = std::chrono::steady_clock::now();
        THM_A_AnalyseBoard();
        analysisSeconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    setCounters(state, analysisSeconds);
    THM_A_DeleteDataBase();
}

// One phase alone: 0 load, 1 shape set, 2 analysis.
void runPhase(benchmark::State& state, const qor::design::Design& design, const char* name) {
    OpenDesign open(design, name);
    if (!open.ok() || !loadAndShape()) {
        state.SkipWithError("cannot load the design");
        return;
    }
    const auto phase = state.range(0);
    qor::thm::engine().workerThreads = static_cast<std::int32_t>(state.range(1));
    double analysisSeconds = 0;
    for (auto _ : state) {
        if (phase == 0) {
            THM_A_DeleteDataBase();
            benchmark::DoNotOptimize(THM_A_Qor_LoadDataBase(QOR_EXAMPLE_PROFILE));
        } else if (phase == 1) {
            benchmark::DoNotOptimize(THM_A_BoardShapeSet());
        } else {
            const auto start = std::chrono::steady_clock::now();
            THM_A_AnalyseBoard();
            analysisSeconds +=
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        }
    }
    setCounters(state, analysisSeconds);
    THM_A_DeleteDataBase();
}

void BM_Generated511_Whole(benchmark::State& state) {
    runWhole(state, generatedBoard(), "gen.qdb");
}
void BM_Generated511_Phase(benchmark::State& state) {
    runPhase(state, generatedBoard(), "gen.qdb");
}
void BM_Demo_Whole(benchmark::State& state) {
    runWhole(state, qor::examples::buildDemoDesign(), "demo.qdb");
}
void BM_Demo_Phase(benchmark::State& state) {
    runPhase(state, qor::examples::buildDemoDesign(), "demo.qdb");
}

// Arguments: worker threads (0 = every core) for the whole run; phase and workers for a phase.
BENCHMARK(BM_Generated511_Whole)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Generated511_Phase)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_Demo_Whole)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Demo_Phase)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({2, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
