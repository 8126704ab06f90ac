// Batch work on the largest KiCad demo board: import, and thermal analysis at a 0.5 mm raster.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <vector>
#include <fstream>
#include <sstream>

#include "qor/importers/kicad.h"
#include "qor/kernel/kernel.h"
#include "qorema32.h"
#include "qorthm32.h"

namespace {

const char* const kVideo = "/usr/share/kicad/demos/video/video.kicad_pcb";

std::string slurp(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void BM_ImportVideoBoard(benchmark::State& state) {
    const std::string text = slurp(kVideo);
    if (text.empty()) {
        state.SkipWithError("kicad-demos is not installed");
        return;
    }
    for (auto _ : state) {
        qor::kicad::ImportReport report;
        benchmark::DoNotOptimize(qor::kicad::readBoard(text, "video", report));
    }
}
BENCHMARK(BM_ImportVideoBoard)->Unit(benchmark::kMillisecond);

void BM_ThermalVideoBoardHalfMillimetre(benchmark::State& state) {
    const std::string qdb = (std::filesystem::temp_directory_path() / ("qor_bench_video_" + std::to_string(::getpid()) + ".qdb")).string();
    qor::kicad::ImportReport report;
    std::string error;
    if (!qor::kicad::importBoardFile(kVideo, qdb, report, error) || !DB_OpenDesign(qdb.c_str())) {
        state.SkipWithError("cannot import the video board");
        return;
    }
    for (auto _ : state) {
        THM_A_Qor_LoadDataBase(QOR_EXAMPLE_PROFILE);
        TemperatureParameters t{};
        THM_A_GetTemperatureParameters(&t);
        t.stepUnits = 50000;
        THM_A_SetTemperatureParameters(&t);
        // Every component dissipates 0.1 W, so that every source reaches the raster.
        for (int32_t i = THM_A_LLComponentFirst(nullptr, nullptr); i; i = THM_A_LLComponentNext(nullptr, nullptr)) {
            ComponentParameters p{};
            THM_A_ComponentGet(i, &p);
            p.minPowerW = p.maxPowerW = 0.1;
            THM_A_ComponentSet(i, &p);
        }
        THM_A_BoardShapeSet();
        THM_A_AnalyseBoard();
        THM_A_DeleteDataBase();
    }
    DB_CloseDesign();
    std::filesystem::remove(qdb);
}
BENCHMARK(BM_ThermalVideoBoardHalfMillimetre)->Unit(benchmark::kMillisecond);

// The near field of the board's three longest nets at a 0.5 mm raster.
void BM_FieldVideoBoardHalfMillimetre(benchmark::State& state) {
    const std::string qdb = (std::filesystem::temp_directory_path() / ("qor_bench_field_" + std::to_string(::getpid()) + ".qdb")).string();
    qor::kicad::ImportReport report;
    std::string error;
    if (!qor::kicad::importBoardFile(kVideo, qdb, report, error) || !DB_OpenDesign(qdb.c_str())) {
        state.SkipWithError("cannot import the video board");
        return;
    }
    std::vector<std::pair<int64_t, int32_t>> nets;  // trace points, net
    int32_t cursor = OM_GetFirst(DB_NetMap());
    while (const int32_t net = OM_SearchMask(DB_NetMap(), &cursor, 0, 0)) {
        int64_t points = 0;
        int32_t traces = OM_GetFirst(DB_TraceMap());
        KTraceRecord t;
        while (const int32_t trace = T_SearchNet(&traces, net))
            if (T_ReadTrace(trace, &t)) points += t.recordCount;
        nets.push_back({points, net});
    }
    std::sort(nets.rbegin(), nets.rend());
    nets.resize(std::min<size_t>(nets.size(), 3));
    for (auto _ : state) {
        EMA_A_Qor_LoadDataBase(QOR_EXAMPLE_PROFILE);
        FieldParameters p{};
        EMA_A_GetFieldParameters(&p);
        p.stepUnits = 50000;
        EMA_A_SetFieldParameters(&p);
        EMA_A_BoardShapeSet();
        EMA_Clear_Field();
        for (const auto& [points, net] : nets) EMA_Calc_Field(net, 3.3, 25e6);
        EMA_Min_Max_Field();
        EMA_A_DeleteDataBase();
    }
    DB_CloseDesign();
    std::filesystem::remove(qdb);
}
BENCHMARK(BM_FieldVideoBoardHalfMillimetre)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
