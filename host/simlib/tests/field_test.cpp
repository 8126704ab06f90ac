// The field model against the closed forms of an infinite line current and line charge over a
// conducting plane, and the field calls at the C boundary.
#include "field.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine.h"
#include "network.h"
#include "qor/simlib/simlib.h"
#include "units.h"

namespace qor::simlib {
namespace {

constexpr double kPi = std::numbers::pi;

// A 2 m wire along x at height hM over the plane z = 0, carrying the current of a constant
// source into a resistor, and charged by its capacitance at the source voltage.
struct LongWire {
    static constexpr double kHalfLengthM = 1.0;
    double hM = 1e-3;
    double volts = 2.0;
    double ohms = 50.0;
    double capF = 200e-12;
    Network net;
    std::unique_ptr<TransientEngine> engine;

    LongWire() {
        SourceDef s;
        s.kind = SourceKind::Constant;
        s.vMaxV = volts;
        net.nodeCount = 1;
        net.nodeCapF = {0, 0};
        net.sources = {s};
        net.branches = {{0, 1, 0, 1e-9, 0}};
        net.sourceBranch = {0};
        net.conductances = {{1, 0, 1 / ohms}};
        net.filaments = {{{-kHalfLengthM, 0, hM}, {kHalfLengthM, 0, hM}, 0, 1, 1, capF, 0}};
        engine = std::make_unique<TransientEngine>(net);
        EXPECT_TRUE(engine->prepare());
        EXPECT_TRUE(engine->setTimeStep(1e-12));
        EXPECT_TRUE(engine->init());
        EXPECT_TRUE(engine->step());  // operating point: 2 V, 40 mA
    }
    double currentA() const { return volts / ohms; }
    double chargePerM() const { return capF * volts / (2 * kHalfLengthM); }
};

TEST(FieldModel, LongWireMatchesLineAndImageClosedForms) {
    LongWire wire;
    FieldModel field;
    const double observationZM = 3e-3;
    ASSERT_TRUE(field.size(1e-3, {0, 0}, 0.01, observationZM));
    field.compute(wire.net, *wire.engine, false);

    for (const double yM : {-4e-3, 0.5e-3, 2e-3, 10e-3}) {
        SCOPED_TRACE(yM);
        const double dz = observationZM - wire.hM;       // to the wire
        const double dzImage = observationZM + wire.hM;  // to its image at -h
        const double r2 = yM * yM + dz * dz;
        const double ri2 = yM * yM + dzImage * dzImage;
        const double i = wire.currentA();
        const double lambda = wire.chargePerM();
        // Current +x at the wire, -x at the image: Hz = I y / (2 pi r^2) for each.
        const double hz = i * yM / (2 * kPi) * (1 / r2 - 1 / ri2);
        const double a = kMu0HPerM * i / (4 * kPi) * std::log(ri2 / r2);
        const double fi = lambda / (4 * kPi * kEps0FPerM) * std::log(ri2 / r2);
        const double k = lambda / (2 * kPi * kEps0FPerM);
        const double ey = k * (yM / r2 - yM / ri2);
        const double ez = k * (dz / r2 - dzImage / ri2);

        const FieldValues v = field.valueAt({0, yM});
        EXPECT_NEAR(v.hzAPerM, hz, 1e-3 * std::abs(hz));
        EXPECT_NEAR(v.aWbPerM, a, 1e-3 * a);
        EXPECT_NEAR(v.fiV, fi, 1e-3 * fi);
        EXPECT_NEAR(v.eVPerM, std::hypot(ey, ez), 1e-3 * std::hypot(ey, ez));
    }
}

TEST(FieldModel, GridCoversBoardAndMaximaBoundTheCells) {
    LongWire wire;
    FieldModel field;
    EXPECT_FALSE(field.size(0, {0, 0}, 0.01, 1e-3));
    EXPECT_FALSE(field.size(std::nan(""), {0, 0}, 0.01, 1e-3));
    // A board 40 mm across in 1 mm cells: 1.5 times the half side each way.
    ASSERT_TRUE(field.size(1e-3, {5e-3, 0}, 0.02, 3e-3));
    EXPECT_EQ(field.cellsPerSide(), 60);
    EXPECT_NEAR(field.cornerM().xM, 5e-3 - 30e-3, 1e-12);
    // Few cells per board: at least twenty each way.
    ASSERT_TRUE(field.size(0.035, {0, 0}, 0.05, 3e-3));
    EXPECT_EQ(field.cellsPerSide(), 40);
    // Very fine cells are capped.
    ASSERT_TRUE(field.size(1e-6, {0, 0}, 0.05, 3e-3));
    EXPECT_EQ(field.cellsPerSide(), FieldModel::kMaxCellsPerSide);

    ASSERT_TRUE(field.size(1e-3, {0, 0}, 0.01, 3e-3));
    field.compute(wire.net, *wire.engine, false);
    for (const FieldKind kind : {FieldKind::Hz, FieldKind::E, FieldKind::A, FieldKind::Fi}) {
        const double maximum = field.maximum(kind);
        EXPECT_GT(maximum, 0);
        EXPECT_LE(field.smoothedMaximum(kind), maximum);
        EXPECT_GE(maximum, std::abs(field.cell(7, 11).get(kind)));
    }
    // Hz is odd in y: rows r and 39 - r mirror each other about the wire.
    ASSERT_EQ(field.cellsPerSide(), 40);
    EXPECT_NEAR(field.cell(3, 9).hzAPerM, -field.cell(3, 39 - 9).hzAPerM, 1e-9);
    EXPECT_GT(std::abs(field.cell(3, 9).hzAPerM), 0);
}

constexpr double kMm = 1e5;
constexpr double kTopMils = (1.5e-3 - 17.5e-6) / 25.4e-6;

TEST(FieldCalls, FieldFollowsTheSteppedCircuit) {
    ASSERT_EQ(SIM_Set_Board_Parametrs(4.5, 1.739e-8, 35e-6, 1.5e-3), 1);
    ASSERT_EQ(SIM_Set_Board_Size(0, -5 * kMm, 40 * kMm, 5 * kMm), 1);
    const int c = SIM_Create_Super_Node();
    ASSERT_EQ(SIM_Add_Line_Seg(c, 0, 0, 40 * kMm, 0, 0.3 * kMm, kTopMils), 1);
    ASSERT_GT(SIM_Add_Voltage_Constant(c, 0, 0, 3.3, 25, 0, 0), 0);
    ASSERT_GT(SIM_Add_Input_Node(c, 40 * kMm, 0, 50, 0, 0), 0);
    const int poly = SIM_Add_Polygon(c, kTopMils);
    for (const auto& [x, y] : {std::pair{40.0, 0.0}, {60.0, 0.0}, {60.0, 20.0}}) {
        ASSERT_EQ(SIM_Add_Point_To_Polygon(c, poly, x * kMm, y * kMm), 1);
    }
    ASSERT_EQ(SIM_Add_Point_Link_Polygon(c, poly, 40 * kMm, 0), 1);

    EXPECT_EQ(Field_Size(c, 1e-3), 0);  // not built
    ASSERT_EQ(SIM_Build_Equivalent(c), 1);
    ASSERT_EQ(Field_Size(c, 1e-3), 1);
    EXPECT_EQ(Field_Size(c, 0), 0);
    ASSERT_EQ(SIM_Calc_Set_Time_Step(c, 10e-12), 1);
    ASSERT_EQ(SIM_Calc_Init(c), 1);
    EXPECT_EQ(Field_Calc(), 0);  // no solution yet
    EXPECT_EQ(Field_Get_Value(1), 0.0);
    ASSERT_EQ(SIM_Calc_Sim_Step(c), 1);
    ASSERT_EQ(Reset_Poly(), 1);
    ASSERT_EQ(Field_Calc(), 1);

    // The grid spans 1.5 x the 20 mm half side around the board centre (20, 0) mm: 60 cells of
    // 1 mm from (-10, -30) mm. Pixel (30, 30) is the cell centred at (20.5, -0.5) mm, over the
    // trace; pixel (30, 5) lies 25 mm beside it.
    ASSERT_EQ(Set_Field_Zond(30, 30), 1);
    const double eOver = Field_Get_Value(1);
    const double fiOver = Field_Get_Value(3);
    ASSERT_EQ(Set_Field_Zond(30, 5), 1);
    const double eBeside = Field_Get_Value(1);
    EXPECT_GT(eOver, 10 * eBeside);
    EXPECT_GT(fiOver, 0);
    EXPECT_GE(Field_Get_Max(1, 0), eOver);
    EXPECT_GT(Field_Get_Max_mid(1, 0), 0);
    EXPECT_LE(Field_Get_Max_mid(1, 0), Field_Get_Max(1, 0));
    for (const int bad : {-1, 4}) {
        EXPECT_EQ(Field_Get_Value(bad), 0.0);
        EXPECT_EQ(Field_Get_Max(bad, 0), 0.0);
        EXPECT_EQ(Set_Field_Type(bad), 0);
    }

    // The charged copper area adds to the potential over it.
    ASSERT_EQ(Set_Field_Zond(60, 10), 1);  // (50.5, 19.5) mm: over the triangle
    const double fiWithout = Field_Get_Value(3);
    ASSERT_EQ(Set_Poly(), 1);
    ASSERT_EQ(Field_Calc(), 1);
    EXPECT_GT(Field_Get_Value(3), fiWithout + 0.1);
    Reset_Poly();

    ASSERT_EQ(SIM_Delete_Super_Node(c), 1);
    EXPECT_EQ(Field_Calc(), 0);  // its circuit is gone
    EXPECT_EQ(Field_Delete(), 1);
    EXPECT_EQ(Field_Get_Max(1, 0), 0.0);
}

}  // namespace
}  // namespace qor::simlib
