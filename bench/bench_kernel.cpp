// Kernel speed: drawing into a raster surface, and walks that must cost O(1) per step.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "qor/design/builder.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"

namespace {

// 750 000 coloured cells, the size of the largest thermal raster, in one raster surface.
void BM_RasterRectangles750k(benchmark::State& state) {
    const int32_t columns = 1000, rows = 750, step = 25400;
    const int32_t surface = G_CreateRasterSurface(1200, 900);
    const KViewRecord view{step, 1200, 900, columns * step / 2, rows * step / 2, 0};
    G_SetStyle(16);
    for (auto _ : state) {
        G_OpenDC(surface, &view);
        for (int32_t r = 0; r < rows; ++r)
            for (int32_t c = 0; c < columns; ++c) {
                G_SetColor((r + c) & 15);
                G_Rectangle(c * step - step / 2, r * step - step / 2, step, step, 0);
            }
        G_CloseDC();
    }
    state.SetItemsProcessed(state.iterations() * columns * rows);
    G_DeleteSurface(surface);
}
BENCHMARK(BM_RasterRectangles750k)->Unit(benchmark::kMillisecond);

// A design of n components, each with one pin on one of n/10 nets and one trace.
class OpenBoard {
public:
    explicit OpenBoard(int32_t n) {
        path_ = (std::filesystem::temp_directory_path() /
                 ("qor_bench_" + std::to_string(::getpid()) + "_" + std::to_string(n) + ".qdb"))
                    .string();
        qor::design::DesignBuilder b("bench");
        const int32_t sym = b.addSymbol("P", {{1, "1", 0, 0, 0}}, {-1000, -1000, 1000, 1000});
        std::vector<int32_t> nets;
        for (int32_t i = 0; i < std::max(1, n / 10); ++i) nets.push_back(b.addNet("N" + std::to_string(i)));
        for (int32_t i = 0; i < n; ++i) {
            const int32_t c = b.addComponent("C" + std::to_string(i), sym, 0, {i * 10000, 0});
            const int32_t net = nets[static_cast<size_t>(i) % nets.size()];
            b.trace(net, 2, 1000).fromNode(b.connect(net, c, 1)).bendTo({i * 10000, 50000});
        }
        std::string error;
        qor::design::DesignFile::create(path_, b.take(), error);
        DB_OpenDesign(path_.c_str());
    }
    ~OpenBoard() {
        DB_CloseDesign();
        std::filesystem::remove(path_);
    }

private:
    std::string path_;
};

void BM_ComponentWalk(benchmark::State& state) {
    OpenBoard board(static_cast<int32_t>(state.range(0)));
    KComponentRecord c;
    for (auto _ : state) {
        int32_t cursor = OM_GetFirst(DB_LayCompMap());
        while (const int32_t i = OM_SearchMask(DB_LayCompMap(), &cursor, 0, 0)) L_ReadComponent(i, &c);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ComponentWalk)->Arg(500)->Arg(5000)->Arg(50000);

void BM_TracesOfEveryNet(benchmark::State& state) {
    OpenBoard board(static_cast<int32_t>(state.range(0)));
    KTraceRecord t;
    for (auto _ : state) {
        int32_t nets = OM_GetFirst(DB_NetMap());
        while (const int32_t net = OM_SearchMask(DB_NetMap(), &nets, 0, 0)) {
            int32_t cursor = OM_GetFirst(DB_TraceMap());
            while (const int32_t trace = T_SearchNet(&cursor, net)) T_ReadTrace(trace, &t);
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TracesOfEveryNet)->Arg(500)->Arg(5000)->Arg(50000);

}  // namespace

BENCHMARK_MAIN();
