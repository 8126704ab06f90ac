// Validation against ngspice: the exported netlist reproduces the engine's waveforms, and the
// lumped line model agrees with ngspice's lossy transmission line (LTRA) on the same values.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "line_params.h"
#include "ngspice_runner.h"
#include "qor/simlib/simlib.h"

namespace qor::simlib {
namespace {

using testing::ngspiceAvailable;
using testing::runNgspice;
using testing::TestDirectory;
using testing::Waveforms;

constexpr double kUnitsPerMm = 1e5;  // kernel units
constexpr double kBoardM = 1.5e-3;
constexpr double kCopperM = 35e-6;
constexpr double kTopMils = (kBoardM - kCopperM / 2) / 25.4e-6;
constexpr double kInnerMils = 0.5e-3 / 25.4e-6;

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// "* view <handle> <node>" lines of an exported netlist, as ngspice vectors.
std::vector<std::string> viewVectors(const std::string& netlist) {
    std::vector<std::string> vectors;
    std::istringstream lines(netlist);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream f(line);
        std::string star, word, node;
        int handle = 0;
        if (f >> star >> word >> handle >> node && star == "*" && word == "view") {
            vectors.push_back("v(" + node + ")");
        }
    }
    return vectors;
}

struct GeneratedCase {
    const char* name;
    int chainSegments;  // 1..5 segments of 10 mm along x; the third one is an arc
    bool branch;        // an inner-layer stub from the first chain node
    bool pwl;           // PWL driver set before every step, else a pulse driver
    bool copperArea;    // a 10 mm square copper area linked at the far end
};

const GeneratedCase kCases[] = {
    {"one segment, pulse", 1, false, false, false},
    {"two segments with a branch, pulse", 2, true, false, false},
    {"three segments with an arc, PWL", 3, false, true, false},
    {"five segments, branch, PWL, copper area", 5, true, true, true},
};

// Ramp from 0 to 3.3 V between 100 ps and 300 ps, sampled by the caller at every step.
double pwlVoltage(double tS) {
    const double x = std::clamp((tS - 100e-12) / 200e-12, 0.0, 1.0);
    return 3.3 * x * x * (3 - 2 * x);
}

class NgspiceCheck : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ngspiceAvailable()) GTEST_SKIP() << "ngspice is not on PATH";
        ASSERT_EQ(SIM_Set_Board_Parametrs(4.5, 1.739e-8, kCopperM, kBoardM), 1);
        ASSERT_EQ(SIM_Set_Board_Size(-20 * kUnitsPerMm, -20 * kUnitsPerMm, 60 * kUnitsPerMm,
                                     20 * kUnitsPerMm),
                  1);
    }
};

TEST_F(NgspiceCheck, ExportedNetlistReproducesTheSteppedWaveforms) {
    for (const GeneratedCase& c : kCases) {
        SCOPED_TRACE(c.name);
        TestDirectory dir{testing::testDirectory()};
        const int circuit = SIM_Create_Super_Node();
        ASSERT_GT(circuit, 0);
        const double w = 0.3 * kUnitsPerMm;
        double x = 0;
        for (int s = 0; s < c.chainSegments; ++s) {
            const double next = x + 10 * kUnitsPerMm;
            if (s == 2) {
                // Half circle above the chain, from x to next.
                ASSERT_EQ(SIM_Add_Arc_Seg(circuit, x, 0, next, 0, 0, 180, w, kTopMils), 1);
            } else {
                ASSERT_EQ(SIM_Add_Line_Seg(circuit, x, 0, next, 0, w, kTopMils), 1);
            }
            x = next;
        }
        const double branchX = 10 * kUnitsPerMm;
        if (c.branch) {
            ASSERT_EQ(SIM_Add_Line_Seg(circuit, branchX, 0, branchX, -8 * kUnitsPerMm,
                                       0.2 * kUnitsPerMm, kInnerMils),
                      1);
        }
        const int source = c.pwl ? SIM_Add_Voltage_Source(circuit, 0, 0, 20, 1e-9, 2e-12)
                                 : SIM_Add_Voltage_Pulse(circuit, 0, 0, 0, 3.3, 150e-12, 1e-9,
                                                         150e-12, 1e-9, 20, 1e-9, 2e-12);
        ASSERT_GT(source, 0);
        ASSERT_GT(SIM_Add_Input_Node(circuit, x, 0, 1e5, 2e-9, 3e-12), 0);
        if (c.branch) {
            ASSERT_GT(SIM_Add_Input_Node(circuit, branchX, -8 * kUnitsPerMm, 0, 0, 4e-12), 0);
        }
        std::vector<int> views{SIM_Add_View_Voltage(circuit, source), SIM_Add_View(circuit, x, 0)};
        if (c.branch) views.push_back(SIM_Add_View(circuit, branchX, -8 * kUnitsPerMm));
        if (c.chainSegments > 1) views.push_back(SIM_Add_View(circuit, branchX, 0));
        for (const int v : views) ASSERT_GT(v, 0);
        if (c.copperArea) {
            const double s = 10 * kUnitsPerMm;
            const int t1 = SIM_Add_Polygon(circuit, kTopMils);
            const int t2 = SIM_Add_Polygon(circuit, kTopMils);
            for (const auto& [poly, px, py] : {std::tuple{t1, x, 0.0},
                                               {t1, x + s, 0.0},
                                               {t1, x + s, s},
                                               {t2, x, 0.0},
                                               {t2, x + s, s},
                                               {t2, x, s}}) {
                ASSERT_EQ(SIM_Add_Point_To_Polygon(circuit, poly, px, py), 1);
            }
            ASSERT_EQ(SIM_Add_Point_Link_Polygon(circuit, t1, x, 0), 1);
        }
        ASSERT_EQ(SIM_Build_Equivalent(circuit), 1);
        const double stepS = 2e-12;
        ASSERT_EQ(SIM_Calc_Set_Time_Step(circuit, stepS), 1);
        ASSERT_EQ(SIM_Calc_Init(circuit), 1);

        const int steps = 1500;
        std::vector<std::vector<double>> ours(views.size());
        for (int k = 0; k < steps; ++k) {
            if (c.pwl) SIM_Set_Voltage_Source(circuit, source, pwlVoltage(k * stepS));
            ASSERT_EQ(SIM_Calc_Sim_Step(circuit), 1);
            for (std::size_t v = 0; v < views.size(); ++v) {
                ours[v].push_back(SIM_Get_View(circuit, views[v], 1));
            }
        }
        const auto netlistPath = dir.path / "circuit.cir";
        ASSERT_EQ(SIM_Export_Netlist(circuit, netlistPath.c_str()), 1);
        ASSERT_EQ(SIM_Delete_Super_Node(circuit), 1);

        const std::string netlist = readFile(netlistPath);
        const auto vectors = viewVectors(netlist);
        ASSERT_EQ(vectors.size(), views.size());
        const auto spice = runNgspice(netlist, vectors, dir.path);
        ASSERT_TRUE(spice.has_value()) << "ngspice failed, see " << dir.path;

        const double swing = 3.3;
        double worst = 0;
        for (std::size_t v = 0; v < views.size(); ++v) {
            for (int k = 0; k < steps; ++k) {
                const double diff =
                    std::abs(ours[v][static_cast<std::size_t>(k)] - spice->at(v, k * stepS));
                worst = std::max(worst, diff);
            }
        }
        EXPECT_LT(worst, 1e-3 * swing);
        RecordProperty(std::string("worst_error_of_swing_") + std::to_string(&c - kCases),
                       std::to_string(worst / swing));
    }
}

// Time at which the waveform first crosses `level`, interpolated between samples.
double crossing(const std::vector<double>& timeS, const std::vector<double>& v, double level) {
    for (std::size_t k = 1; k < v.size(); ++k) {
        if (v[k - 1] < level && v[k] >= level) {
            return timeS[k - 1] +
                   (timeS[k] - timeS[k - 1]) * (level - v[k - 1]) / (v[k] - v[k - 1]);
        }
    }
    return -1;
}

TEST_F(NgspiceCheck, MicrostripAgreesWithLossyLineModel) {
    TestDirectory dir{testing::testDirectory()};
    // 100 mm of 50 ohm microstrip driven by a 1 ns edge through 25 ohm, into 1 Mohm || 3 pF.
    const double widthM = 2.8e-3;
    const double lengthM = 0.1;
    const double edgeS = 1e-9;
    BoardParameters board{4.5, 1.739e-8, kCopperM, kBoardM};
    const LineParameters line = traceParameters(board, widthM, kTopMils * 25.4e-6);

    const int circuit = SIM_Create_Super_Node();
    ASSERT_EQ(SIM_Add_Line_Seg(circuit, 0, 0, lengthM * 1e8, 0, widthM * 1e8, kTopMils), 1);
    ASSERT_GT(SIM_Add_Voltage_Pulse(circuit, 0, 0, 0, 1, edgeS, 50e-9, edgeS, 50e-9, 25, 0, 0), 0);
    ASSERT_GT(SIM_Add_Input_Node(circuit, lengthM * 1e8, 0, 1e6, 0, 3e-12), 0);
    const int view = SIM_Add_View(circuit, lengthM * 1e8, 0);
    ASSERT_EQ(SIM_Build_Equivalent(circuit), 1);
    const double stepS = 5e-12;
    ASSERT_EQ(SIM_Calc_Set_Time_Step(circuit, stepS), 1);
    ASSERT_EQ(SIM_Calc_Init(circuit), 1);
    std::vector<double> timeS;
    std::vector<double> ours;
    for (int k = 0; k < 2000; ++k) {
        ASSERT_EQ(SIM_Calc_Sim_Step(circuit), 1);
        timeS.push_back(k * stepS);
        ours.push_back(SIM_Get_View(circuit, view, 1));
    }
    SIM_Delete_Super_Node(circuit);

    std::ostringstream deck;
    deck.precision(17);
    deck << "* LTRA reference\n"
         << "V1 src 0 PULSE(0 1 0 " << edgeS << ' ' << edgeS << " 50n 102n)\n"
         << "R1 src in 25\n"
         << "O1 in 0 out 0 line\n"
         << ".model line LTRA R=" << line.rOhmPerM << " L=" << line.lHPerM
         << " G=0 C=" << line.cFPerM << " LEN=" << lengthM << "\n"
         << "R2 out 0 1e6\nC2 out 0 3p\n"
         << ".tran " << stepS << " 10n 0 " << stepS << "\n.end\n";
    const auto spice = runNgspice(deck.str(), {"v(out)"}, dir.path);
    ASSERT_TRUE(spice.has_value()) << "ngspice failed, see " << dir.path;

    const double ourDelayS = crossing(timeS, ours, 0.5) - edgeS / 2;
    const double spiceDelayS = crossing(spice->timeS, spice->values[0], 0.5) - edgeS / 2;
    ASSERT_GT(spiceDelayS, 0);
    EXPECT_NEAR(ourDelayS, spiceDelayS, 0.02 * spiceDelayS);

    // First overshoot: the peak before the wave has been back to the source and returned.
    const double windowS = 2 * edgeS + 4 * lengthM * line.delaySPerM();
    double ourPeak = 0;
    double spicePeak = 0;
    for (std::size_t k = 0; k < timeS.size() && timeS[k] < windowS; ++k) {
        ourPeak = std::max(ourPeak, ours[k]);
    }
    for (std::size_t k = 0; k < spice->timeS.size() && spice->timeS[k] < windowS; ++k) {
        spicePeak = std::max(spicePeak, spice->values[0][k]);
    }
    EXPECT_GT(spicePeak, 1.05);  // the test case does overshoot
    EXPECT_NEAR(ourPeak, spicePeak, 0.05);
    RecordProperty("delay_error", std::to_string((ourDelayS - spiceDelayS) / spiceDelayS));
    RecordProperty("overshoot_error_of_swing", std::to_string(ourPeak - spicePeak));
}

}  // namespace
}  // namespace qor::simlib
