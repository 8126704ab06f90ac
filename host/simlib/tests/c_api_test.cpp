// The C boundary: failure results for bad calls, node joining, run life cycle and independence
// of circuits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "circuit.h"
#include "qor/simlib/simlib.h"

namespace qor::simlib {
namespace {

constexpr double kMm = 1e5;  // kernel units per millimetre
constexpr double kTopMils = (1.5e-3 - 17.5e-6) / 25.4e-6;

class SimApi : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(SIM_Set_Board_Parametrs(4.5, 1.739e-8, 35e-6, 1.5e-3), 1); }
    void TearDown() override {
        for (const int c : circuits_) SIM_Delete_Super_Node(c);
        Field_Delete();
    }

    int create() {
        const int c = SIM_Create_Super_Node();
        circuits_.push_back(c);
        return c;
    }

    // A 30 mm line from (0, 0), a driver there and a 50 ohm receiver at the far end.
    int simpleNet(int* source, int* farView, bool pwl = false) {
        const int c = create();
        EXPECT_EQ(SIM_Add_Line_Seg(c, 0, 0, 30 * kMm, 0, 0.3 * kMm, kTopMils), 1);
        *source =
            pwl ? SIM_Add_Voltage_Source(c, 0, 0, 10, 0, 0)
                : SIM_Add_Voltage_Pulse(c, 0, 0, 0, 1, 100e-12, 1e-9, 100e-12, 1e-9, 10, 0, 0);
        EXPECT_GT(*source, 0);
        EXPECT_GT(SIM_Add_Input_Node(c, 30 * kMm, 0, 50, 0, 1e-12), 0);
        *farView = SIM_Add_View(c, 30 * kMm, 0);
        EXPECT_GT(*farView, 0);
        return c;
    }

    static std::vector<double> run(int circuit, int view, int steps) {
        std::vector<double> v;
        for (int k = 0; k < steps; ++k) {
            EXPECT_EQ(SIM_Calc_Sim_Step(circuit), 1);
            v.push_back(SIM_Get_View(circuit, view, 1));
        }
        return v;
    }

    std::vector<int> circuits_;
};

TEST_F(SimApi, UnknownHandlesFail) {
    for (const int bad : {0, -1, 987654}) {
        SCOPED_TRACE(bad);
        const std::vector<std::function<int()>> calls = {
            [&] { return SIM_Add_Line_Seg(bad, 0, 0, kMm, 0, kMm, 10); },
            [&] { return SIM_Add_Arc_Seg(bad, 0, 0, kMm, kMm, 0, 90, kMm, 10); },
            [&] { return SIM_Add_Voltage_Pulse(bad, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0); },
            [&] { return SIM_Add_Voltage_Sine(bad, 0, 0, 0, 1, 1e6, 0, 0, 0, 0); },
            [&] { return SIM_Add_Voltage_Constant(bad, 0, 0, 1, 0, 0, 0); },
            [&] { return SIM_Add_Voltage_Source(bad, 0, 0, 0, 0, 0); },
            [&] { return SIM_Add_Gnd(bad, 0, 0); },
            [&] { return SIM_Add_Input_Node(bad, 0, 0, 1, 0, 0); },
            [&] { return SIM_Add_View(bad, 0, 0); },
            [&] { return SIM_Add_View_Voltage(bad, 1); },
            [&] { return SIM_Add_Polygon(bad, 10); },
            [&] { return SIM_Add_Point_To_Polygon(bad, 1, 0, 0); },
            [&] { return SIM_Add_Point_Link_Polygon(bad, 1, 0, 0); },
            [&] { return SIM_Build_Equivalent(bad); },
            [&] { return SIM_Calc_Set_Time_Step(bad, 1e-12); },
            [&] { return SIM_Calc_Init(bad); },
            [&] { return SIM_Set_Voltage_Source(bad, 1, 1.0); },
            [&] { return SIM_Calc_Sim_Step(bad); },
            [&] { return SIM_Export_Netlist(bad, "/dev/null"); },
            [&] { return Field_Size(bad, 1e-3); },
            [&] { return SIM_Delete_Super_Node(bad); },
        };
        for (std::size_t i = 0; i < calls.size(); ++i) EXPECT_EQ(calls[i](), 0) << "call " << i;
        EXPECT_EQ(SIM_Get_View(bad, 1, 1), 0.0);
    }
}

TEST_F(SimApi, RunCallsFailOutOfOrderOrWithBadValues) {
    const int empty = create();
    EXPECT_EQ(SIM_Build_Equivalent(empty), 0);  // no nodes
    EXPECT_EQ(SIM_Calc_Set_Time_Step(empty, 1e-12), 0);
    EXPECT_EQ(SIM_Calc_Init(empty), 0);
    EXPECT_EQ(SIM_Calc_Sim_Step(empty), 0);

    int source = 0;
    int view = 0;
    const int c = simpleNet(&source, &view);
    EXPECT_EQ(SIM_Calc_Set_Time_Step(c, 1e-12), 0);  // not built
    ASSERT_EQ(SIM_Build_Equivalent(c), 1);
    EXPECT_EQ(SIM_Calc_Init(c), 0);  // no time step yet
    for (const double bad : {0.0, -1e-12, std::nan(""), HUGE_VAL}) {
        EXPECT_EQ(SIM_Calc_Set_Time_Step(c, bad), 0) << bad;
    }
    EXPECT_EQ(SIM_Calc_Sim_Step(c), 0);  // not initialised
    ASSERT_EQ(SIM_Calc_Set_Time_Step(c, 1e-12), 1);
    ASSERT_EQ(SIM_Calc_Init(c), 1);
    EXPECT_EQ(SIM_Get_View(c, view, 1), 0.0);  // nothing computed yet
    ASSERT_EQ(SIM_Calc_Sim_Step(c), 1);
    EXPECT_EQ(SIM_Get_View(c, view, 2), 0.0);  // only quantity 1 is defined
    EXPECT_EQ(SIM_Get_View(c, view + 5, 1), 0.0);
    EXPECT_EQ(SIM_Set_Voltage_Source(c, source, 1.0), 0);  // not a PWL source
    EXPECT_EQ(SIM_Export_Netlist(c, nullptr), 0);
    EXPECT_EQ(SIM_Export_Netlist(c, ""), 0);
    EXPECT_EQ(SIM_Export_Netlist(c, "/nonexistent-dir/x.cir"), 0);

    // Adding to a built circuit makes it stale until it is built again.
    ASSERT_EQ(SIM_Add_Line_Seg(c, 30 * kMm, 0, 40 * kMm, 0, 0.3 * kMm, kTopMils), 1);
    EXPECT_EQ(SIM_Calc_Sim_Step(c), 0);
    EXPECT_EQ(SIM_Calc_Init(c), 0);
    ASSERT_EQ(SIM_Build_Equivalent(c), 1);
    ASSERT_EQ(SIM_Calc_Init(c), 1);  // the time step survives the rebuild
    EXPECT_EQ(SIM_Calc_Sim_Step(c), 1);
}

TEST_F(SimApi, BadValuesAreRefused) {
    EXPECT_EQ(SIM_Set_Board_Parametrs(0.5, 1.7e-8, 35e-6, 1.5e-3), 0);
    EXPECT_EQ(SIM_Set_Board_Parametrs(4.5, 0, 35e-6, 1.5e-3), 0);
    EXPECT_EQ(SIM_Set_Board_Parametrs(4.5, 1.7e-8, 35e-6, std::nan("")), 0);
    const int c = create();
    EXPECT_EQ(SIM_Add_Line_Seg(c, 0, 0, 0, 0, kMm, kTopMils), 0);  // zero length
    EXPECT_EQ(SIM_Add_Line_Seg(c, 0, 0, kMm, 0, 0, kTopMils), 0);  // zero width
    EXPECT_EQ(SIM_Add_Line_Seg(c, 0, 0, std::nan(""), 0, kMm, kTopMils), 0);
    ASSERT_EQ(SIM_Add_Line_Seg(c, 0, 0, 10 * kMm, 0, 0.3 * kMm, kTopMils), 1);
    EXPECT_EQ(SIM_Add_Voltage_Constant(c, 0, 0, 1, -5, 0, 0), 0);  // negative ROut
    EXPECT_EQ(SIM_Add_Input_Node(c, 0, 0, 50, std::nan(""), 0), 0);
    EXPECT_EQ(SIM_Add_Voltage_Pulse(c, 0, 0, 0, 1, -1e-9, 1e-9, 1e-9, 1e-9, 0, 0, 0), 0);
    const int poly = SIM_Add_Polygon(c, kTopMils);
    ASSERT_GT(poly, 0);
    EXPECT_EQ(SIM_Add_Point_To_Polygon(c, poly + 1, 0, 0), 0);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(SIM_Add_Point_To_Polygon(c, poly, k * kMm, k * k * kMm), 1);
    EXPECT_EQ(SIM_Add_Point_To_Polygon(c, poly, 0, 5 * kMm), 0);  // a triangle has three
    // The circuit still builds with the last good board parameters.
    EXPECT_EQ(SIM_Build_Equivalent(c), 1);
}

TEST_F(SimApi, PointsJoinTheNearestNodeWithinTolerance) {
    const int c = create();
    ASSERT_EQ(SIM_Add_Line_Seg(c, 0, 0, 10 * kMm, 0, 0.4 * kMm, kTopMils), 1);
    ASSERT_EQ(SIM_Add_Line_Seg(c, 10 * kMm, 0, 10 * kMm, 10 * kMm, 0.4 * kMm, kTopMils), 1);
    // Within half the width of the widest trace ending there.
    EXPECT_GT(SIM_Add_View(c, 10 * kMm + 0.15 * kMm, 0.1 * kMm), 0);
    EXPECT_GT(SIM_Add_Gnd(c, 0.19 * kMm, 0), 0);
    // On the copper of a segment: the segment is split there.
    EXPECT_GT(SIM_Add_View(c, 5 * kMm, 0.1 * kMm), 0);
    // On no node and no copper: reported by a zero handle.
    EXPECT_EQ(SIM_Add_View(c, 5 * kMm, 0.5 * kMm), 0);
    EXPECT_EQ(SIM_Add_Input_Node(c, 0.3 * kMm, 0.3 * kMm, 50, 0, 0), 0);
    EXPECT_EQ(SIM_Add_Voltage_Constant(c, 20 * kMm, 0, 1, 0, 0, 0), 0);
    // Views of sources: any handle that is not a source fails.
    EXPECT_GT(SIM_Add_View_Voltage(c, 1), 0);
    for (const int bad : {0, 2, -3, 1 << 30}) EXPECT_EQ(SIM_Add_View_Voltage(c, bad), 0);
}

TEST(CircuitArcs, AngleAndSweepPickTheCentre) {
    // A quarter arc between (1, 0) and (0, 1) mm read either way round.
    struct Case {
        double startAngleDeg;
        double sweepDeg;
        double lengthM;
        Point2 midpointM;
    };
    const double r = 1e-3;
    const double s = std::numbers::sqrt2 / 2;
    const Case cases[] = {
        {0, 90, r * std::numbers::pi / 2, {r * s, r * s}},            // centre (0, 0), short way
        {90, 270, r * 3 * std::numbers::pi / 2, {-r * s, -r * s}},    // same centre, long way
        {180, 90, r * std::numbers::pi / 2, {r - r * s, r - r * s}},  // centre (1, 1) mm
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.startAngleDeg);
        Circuit circuit;
        ASSERT_TRUE(circuit.addArc({r, 0}, {0, r}, c.startAngleDeg, c.sweepDeg, 1e-4, 0));
        const Segment& seg = circuit.segments().front();
        EXPECT_NEAR(seg.lengthM(), c.lengthM, 1e-12);
        EXPECT_NEAR(seg.pointAt(0).xM, r, 1e-12);
        EXPECT_NEAR(seg.pointAt(1).yM, r, 1e-12);
        EXPECT_NEAR(seg.pointAt(0.5).xM, c.midpointM.xM, 1e-12);
        EXPECT_NEAR(seg.pointAt(0.5).yM, c.midpointM.yM, 1e-12);
    }
    // A sweep of 0 is a straight segment.
    Circuit straight;
    ASSERT_TRUE(straight.addArc({r, 0}, {0, r}, 0, 0, 1e-4, 0));
    EXPECT_FALSE(straight.segments().front().arc);
}

TEST_F(SimApi, ReinitialisedRunRepeatsItself) {
    int source = 0;
    int view = 0;
    const int c = simpleNet(&source, &view);
    ASSERT_EQ(SIM_Build_Equivalent(c), 1);
    ASSERT_EQ(SIM_Calc_Set_Time_Step(c, 2e-12), 1);
    ASSERT_EQ(SIM_Calc_Init(c), 1);
    const auto first = run(c, view, 600);
    EXPECT_GT(*std::max_element(first.begin(), first.end()), 0.5);
    // As the field window does after the waveform phase: time step, init, step again.
    ASSERT_EQ(SIM_Calc_Set_Time_Step(c, 2e-12), 1);
    ASSERT_EQ(SIM_Calc_Init(c), 1);
    EXPECT_EQ(run(c, view, 600), first);
    // A coarser step re-sizes the sections and still runs.
    ASSERT_EQ(SIM_Calc_Set_Time_Step(c, 20e-12), 1);
    ASSERT_EQ(SIM_Calc_Init(c), 1);
    const auto coarse = run(c, view, 60);
    EXPECT_NEAR(coarse.back(), first.back(), 0.02);
}

TEST_F(SimApi, CircuitsAreIndependent) {
    int sourceA = 0, viewA = 0, sourceB = 0, viewB = 0;
    const int a = simpleNet(&sourceA, &viewA, true);
    const int b = simpleNet(&sourceB, &viewB, true);
    ASSERT_NE(a, b);
    for (const int c : {a, b}) {
        ASSERT_EQ(SIM_Build_Equivalent(c), 1);
        ASSERT_EQ(SIM_Calc_Set_Time_Step(c, 10e-12), 1);
        ASSERT_EQ(SIM_Calc_Init(c), 1);
    }
    ASSERT_EQ(SIM_Set_Voltage_Source(a, sourceA, 1.2), 1);
    ASSERT_EQ(SIM_Set_Voltage_Source(b, sourceB, 3.0), 1);
    for (int k = 0; k < 400; ++k) {
        ASSERT_EQ(SIM_Calc_Sim_Step(a), 1);
        ASSERT_EQ(SIM_Calc_Sim_Step(b), 1);
    }
    // PWL through 10 ohm into 50 ohm (the line's DC resistance is well below 0.1 ohm).
    EXPECT_NEAR(SIM_Get_View(a, viewA, 1), 1.2 * 50 / 60, 2e-3);
    EXPECT_NEAR(SIM_Get_View(b, viewB, 1), 3.0 * 50 / 60, 5e-3);
    ASSERT_EQ(SIM_Delete_Super_Node(a), 1);
    EXPECT_EQ(SIM_Calc_Sim_Step(a), 0);
    EXPECT_EQ(SIM_Calc_Sim_Step(b), 1);
    EXPECT_EQ(SIM_Delete_Super_Node(a), 0);  // already gone
}

TEST_F(SimApi, SourcesAndGroundSetTheOperatingPoint) {
    // Constant 3 V through 100 ohm into two segments grounded at the far end: the first step is
    // the DC solution, with the driver pin held near 0 V by the ground.
    const int c = create();
    ASSERT_EQ(SIM_Add_Line_Seg(c, 0, 0, 10 * kMm, 0, 0.3 * kMm, kTopMils), 1);
    ASSERT_EQ(SIM_Add_Line_Seg(c, 10 * kMm, 0, 20 * kMm, 0, 0.3 * kMm, kTopMils), 1);
    const int drive = SIM_Add_Voltage_Constant(c, 0, 0, 3.0, 100, 1e-9, 1e-12);
    ASSERT_GT(drive, 0);
    const int ground = SIM_Add_Gnd(c, 20 * kMm, 0);
    ASSERT_GT(ground, 0);
    const int driverView = SIM_Add_View_Voltage(c, drive);
    const int groundView = SIM_Add_View_Voltage(c, ground);
    ASSERT_EQ(SIM_Build_Equivalent(c), 1);
    ASSERT_EQ(SIM_Calc_Set_Time_Step(c, 1e-12), 1);
    ASSERT_EQ(SIM_Calc_Init(c), 1);
    ASSERT_EQ(SIM_Calc_Sim_Step(c), 1);
    EXPECT_NEAR(SIM_Get_View(c, groundView, 1), 0, 1e-3);
    EXPECT_LT(std::abs(SIM_Get_View(c, driverView, 1)), 0.01);  // 3 V over 100 ohm, line ~0.03 ohm
}

TEST_F(SimApi, ExportWritesEveryElementAndTheViews) {
    int source = 0;
    int view = 0;
    const int c = simpleNet(&source, &view, true);
    ASSERT_EQ(SIM_Build_Equivalent(c), 1);
    const auto path = std::filesystem::path(::testing::TempDir()) / "qor_simlib_export.cir";
    // Before any run: a PWL source is written as its present (zero) value, no .tran line.
    ASSERT_EQ(SIM_Export_Netlist(c, path.c_str()), 1);
    std::stringstream before;
    before << std::ifstream(path).rdbuf();
    EXPECT_NE(before.str().find("DC 0"), std::string::npos);
    EXPECT_EQ(before.str().find(".tran"), std::string::npos);
    EXPECT_NE(before.str().find("* view 1 n2"), std::string::npos);

    ASSERT_EQ(SIM_Calc_Set_Time_Step(c, 1e-11), 1);
    ASSERT_EQ(SIM_Calc_Init(c), 1);
    for (int k = 0; k < 20; ++k) {
        SIM_Set_Voltage_Source(c, source, k < 5 ? 0.0 : 2.5);
        ASSERT_EQ(SIM_Calc_Sim_Step(c), 1);
    }
    ASSERT_EQ(SIM_Export_Netlist(c, path.c_str()), 1);
    std::stringstream after;
    after << std::ifstream(path).rdbuf();
    std::filesystem::remove(path);
    // The staircase is replayed: 0 V up to 40 ps, 2.5 V from 50 ps on.
    const std::string text = after.str();
    const auto open = text.find("PWL(");
    ASSERT_NE(open, std::string::npos);
    std::string points = text.substr(open + 4, text.find(')', open) - open - 4);
    std::replace(points.begin(), points.end(), '+', ' ');
    std::istringstream in(points);
    std::vector<double> values{std::istream_iterator<double>(in), {}};
    ASSERT_EQ(values.size(), 6u) << points;
    const double expected[] = {0, 0, 40e-12, 0, 50e-12, 2.5};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_NEAR(values[i], expected[i], 1e-22) << i;
    EXPECT_NE(text.find(".tran 1e-11 "), std::string::npos);
    EXPECT_NE(after.str().rfind(".end\n"), std::string::npos);
}

}  // namespace
}  // namespace qor::simlib
