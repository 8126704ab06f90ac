// QorEMABRD32 transient speed on a bus-like net: 200 segments (a 100-segment trunk with ten
// 10-segment stubs), 3 pulse drivers on the trunk and 10 receivers at the stub ends, stepped
// 32000 times at 10 ps. SimlibVsNgspice also runs ngspice (when on PATH) on the exported netlist
// of the same circuit and reports both times from the one run.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "qor/simlib/simlib.h"

namespace {

constexpr double kMm = 1e5;  // kernel units per millimetre
constexpr double kTopMils = (1.5e-3 - 17.5e-6) / 25.4e-6;
constexpr int kSteps = 32000;
constexpr double kStepS = 10e-12;

struct Net {
    int circuit = 0;
    int view = 0;
};

Net buildNet() {
    SIM_Set_Board_Parametrs(4.5, 1.739e-8, 35e-6, 1.5e-3);
    Net net;
    net.circuit = SIM_Create_Super_Node();
    const int c = net.circuit;
    for (int i = 0; i < 100; ++i) {
        SIM_Add_Line_Seg(c, i * 2 * kMm, 0, (i + 1) * 2 * kMm, 0, 0.2 * kMm, kTopMils);
    }
    for (int stub = 0; stub < 10; ++stub) {
        const double x = (stub * 10 + 5) * 2 * kMm;
        for (int i = 0; i < 10; ++i) {
            SIM_Add_Line_Seg(c, x, i * kMm, x, (i + 1) * kMm, 0.15 * kMm, kTopMils);
        }
        SIM_Add_Input_Node(c, x, 10 * kMm, 1e5, 2e-9, 3e-12);
    }
    for (const int at : {0, 50, 100}) {
        SIM_Add_Voltage_Pulse(c, at * 2 * kMm, 0, 0, 3.3, 0.5e-9, 5e-9 + at * 1e-11, 0.5e-9, 5e-9,
                              20, 1e-9, 2e-12);
    }
    net.view = SIM_Add_View(c, 95 * 2 * kMm, 10 * kMm);
    SIM_Build_Equivalent(c);
    SIM_Calc_Set_Time_Step(c, kStepS);
    return net;
}

double runSteps(const Net& net) {
    SIM_Calc_Init(net.circuit);
    double sum = 0;
    for (int k = 0; k < kSteps; ++k) {
        SIM_Calc_Sim_Step(net.circuit);
        sum += SIM_Get_View(net.circuit, net.view, 1);
    }
    return sum;
}

void Simlib32000Steps(benchmark::State& state) {
    const Net net = buildNet();
    for (auto _ : state) benchmark::DoNotOptimize(runSteps(net));
    state.counters["steps_per_s"] =
        benchmark::Counter(double(kSteps) * state.iterations(), benchmark::Counter::kIsRate);
    SIM_Delete_Super_Node(net.circuit);
}
BENCHMARK(Simlib32000Steps)->Unit(benchmark::kMillisecond);

bool ngspiceOnPath() {
    return std::system("command -v ngspice > /dev/null 2>&1") == 0;
}

void SimlibVsNgspice(benchmark::State& state) {
    if (!ngspiceOnPath()) {
        state.SkipWithError("ngspice is not on PATH");
        return;
    }
    const Net net = buildNet();
    const auto dir =
        std::filesystem::temp_directory_path() / ("qor_bench_simlib_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const auto deck = dir / "net.cir";
    using Clock = std::chrono::steady_clock;
    double simlibS = 0;
    double ngspiceS = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(runSteps(net));
        const auto t1 = Clock::now();
        SIM_Export_Netlist(net.circuit, deck.c_str());
        const std::string command = "ngspice -b -r " + (dir / "net.raw").string() + " " +
                                    deck.string() + " > " + (dir / "ngspice.log").string() +
                                    " 2>&1";
        const auto t2 = Clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ngspice failed; see its log in the temporary directory");
            SIM_Delete_Super_Node(net.circuit);
            return;
        }
        const auto t3 = Clock::now();
        simlibS = std::chrono::duration<double>(t1 - t0).count();
        ngspiceS = std::chrono::duration<double>(t3 - t2).count();
        state.SetIterationTime(simlibS + ngspiceS);
    }
    state.counters["simlib_s"] = simlibS;
    state.counters["ngspice_s"] = ngspiceS;
    state.counters["simlib_steps_per_s"] = simlibS > 0 ? kSteps / simlibS : 0;
    state.counters["ngspice_over_simlib"] = simlibS > 0 ? ngspiceS / simlibS : 0;
    SIM_Delete_Super_Node(net.circuit);
    std::filesystem::remove_all(dir);
}
BENCHMARK(SimlibVsNgspice)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
