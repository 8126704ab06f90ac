// Parameter records, component parameters and iteration, and the temperature at a point.
#include <cmath>
#include <limits>

#include "board_fixture.h"

namespace qor::thm::test {
namespace {

class QueryTest : public BoardTest {
  protected:
    // U1 and U2 overlap: frames 17.5 ... 22.5 mm and 19.5 ... 24.5 mm wide, 18 ... 22 mm high.
    void SetUp() override {
        BoardTest::SetUp();
        DesignBuilder b("Queries");
        b.setOutline(rectangleMm(100, 80));
        const std::int32_t pkg = addPackage(b, "SO-8", 250000, 200000);
        u1_ = b.addComponent("U1", pkg, b.addDevice("LM358", "SO-8"), {20 * kMm, 20 * kMm});
        u2_ = b.addComponent("U2", pkg, 0, {22 * kMm, 20 * kMm});
        r1_ = b.addComponent("R1", pkg, 0, {60 * kMm, 50 * kMm});
        makeLibrary("LIB.TAL", {device("LM358", THM_PKG_SOP, 0.1, 0.5, 40, 150)});
        ASSERT_EQ(load(b.take(), makeProfile({"LIB"})), 1);
        ComponentParameters p{};
        THM_A_ComponentGet(u1_, &p);
        THM_A_ComponentSet(u1_, &p);  // U1 changed
        ASSERT_EQ(THM_A_BoardShapeSet(), 1);
        ASSERT_EQ(THM_A_AnalyseBoard(), 1);
    }
    std::int32_t u1_ = 0, u2_ = 0, r1_ = 0;
};

TEST_F(QueryTest, TemperatureParametersKeepWholeWindowBounds) {
    struct Case {
        double bound;
        std::int32_t kept;
    };
    for (const Case& c :
         {Case{1250.9, 1250}, Case{-3.7, -3}, Case{4500, 4500}, Case{std::nan(""), 0},
          Case{1e12, std::numeric_limits<std::int32_t>::max()}}) {
        SCOPED_TRACE(c.bound);
        const TemperatureParameters in{127000, 21.5, 1, 80.5, 20.5, 1, c.bound, c.bound};
        THM_A_SetTemperatureParameters(&in);
        TemperatureParameters out{};
        THM_A_GetTemperatureParameters(&out);
        EXPECT_EQ(val(out.stepUnits), 127000);
        EXPECT_EQ(val(out.ambientC), 21.5);
        EXPECT_EQ(val(out.scaleMode), 1);
        EXPECT_EQ(val(out.colourUpperC), 80.5);
        EXPECT_EQ(val(out.colourLowerC), 20.5);
        EXPECT_EQ(val(out.windowOn), 1);
        EXPECT_EQ(val(out.windowUpperFiftieths), c.kept);
        EXPECT_EQ(val(out.windowLowerFiftieths), c.kept);
    }
}

TEST_F(QueryTest, BoardAndCoolingParametersRoundTrip) {
    struct Case {
        double orientation;
        double kept;
    };
    for (const Case& c : {Case{0.7, 0}, Case{1.9, 1}, Case{-0.5, 0}}) {
        const BoardParameters in{0.3, 0.07, 0.8, 55, c.orientation, 0.8};
        THM_A_SetBoardParameters(&in);
        BoardParameters out{};
        THM_A_GetBoardParameters(&out);
        EXPECT_EQ(val(out.orientation), c.kept) << c.orientation;
        EXPECT_EQ(val(out.insulatorConductivityWPerMK), 0.3);
        EXPECT_EQ(val(out.copperThicknessMm), 0.07);
        EXPECT_EQ(val(out.emissivity), 0.8);
        EXPECT_EQ(val(out.copperFractionPercent), 55);
        EXPECT_EQ(val(out.boardThicknessMm), 0.8);
    }
    const CoolingParameters in{3, 2.25, 150};
    THM_A_SetCoolingParameters(&in);
    CoolingParameters out{};
    THM_A_GetCoolingParameters(&out);
    EXPECT_EQ(val(out.direction), 3);
    EXPECT_EQ(val(out.airVelocityMPerS), 2.25);
    EXPECT_EQ(val(out.fanDistanceMm), 150);
}

TEST_F(QueryTest, ComponentsAreWalkedInSlotOrderWithTheirFlags) {
    EXPECT_EQ(THM_A_Components(), 3);
    struct Seen {
        std::int32_t index, known, changed;
        bool operator==(const Seen&) const = default;
    };
    std::vector<Seen> seen;
    std::int32_t known = -1, changed = -1;
    for (std::int32_t i = THM_A_LLComponentFirst(&known, &changed); i;
         i = THM_A_LLComponentNext(&known, &changed))
        seen.push_back({i, known, changed});
    EXPECT_EQ(seen, (std::vector<Seen>{{u1_, 1, 1}, {u2_, 0, 0}, {r1_, 0, 0}}));
    EXPECT_EQ(THM_A_LLComponentNext(&known, &changed), 0);
    EXPECT_EQ(THM_A_LLComponentFirst(&known, &changed), u1_) << "First starts over";
}

TEST_F(QueryTest, ComponentSetMarksTheComponentChangedAndUnknownIndexesChangeNothing) {
    ComponentParameters p{};
    THM_A_ComponentGet(u2_, &p);
    p.maxPowerW = 3;
    p.heatsinkOn = 1;
    p.heatsinkCPerW = 12;
    THM_A_ComponentSet(u2_, &p);
    ComponentParameters back{};
    THM_A_ComponentGet(u2_, &back);
    EXPECT_EQ(std::memcmp(&back, &p, sizeof p), 0);
    EXPECT_EQ(slotIndexMap(engine())[u2_].changed, 1);

    for (std::int32_t index : {999, 31999, 32000, -1}) {
        SCOPED_TRACE(index);
        THM_A_ComponentSet(index, &p);
        ComponentParameters none;
        std::memset(&none, 0x5A, sizeof none);
        THM_A_ComponentGet(index, &none);
        const ComponentParameters zero{};
        EXPECT_EQ(std::memcmp(&none, &zero, sizeof zero), 0);
    }
    EXPECT_EQ(val(slot(1).parameters.maxPowerW), 0.5);
    EXPECT_EQ(val(slot(3).parameters.maxPowerW), 0);
}

TEST_F(QueryTest, ThePointFindsTheFirstComponentWhoseFrameHoldsIt) {
    struct Case {
        const char* what;
        std::int32_t x, y, slot;
    };
    for (const Case& c :
         {Case{"U1 only", 1800000, 2000000, 1},
          Case{"both, the lower slot wins", 2100000, 2000000, 1},
          Case{"U2 only", 2400000, 2000000, 2}, Case{"left edge of U1", 1750000, 1800000, 1},
          Case{"top right corner of U2", 2450000, 2200000, 2},
          Case{"just outside U2", 2450001, 2200000, 0}, Case{"bare board", 5000000, 2000000, 0}}) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(THM_A_ComponentInsidePosition(c.x, c.y), c.slot);
    }
}

TEST_F(QueryTest, GetTempReadsTheCellAndTheComponentThere) {
    double cellC = -1, caseC = -1, junctionC = -1;
    std::int32_t index = -1;
    // Off the board's extents: nothing written.
    EXPECT_EQ(THM_A_GetTemp(-1, 100, &cellC, &index, &caseC, &junctionC), 0);
    EXPECT_EQ(THM_A_GetTemp(100 * kMm + 1, 100, &cellC, &index, &caseC, &junctionC), 0);
    EXPECT_EQ(cellC, -1);
    EXPECT_EQ(index, -1);

    // On U1: the cell, U1's index, case and junction temperatures.
    ASSERT_EQ(THM_A_GetTemp(1800000, 2000000, &cellC, &index, &caseC, &junctionC), 1);
    EXPECT_EQ(cellC, cell(1800000 / 254000, 2000000 / 254000) * 0.02);
    EXPECT_EQ(index, u1_);
    EXPECT_EQ(caseC, slot(1).caseNewC);
    EXPECT_EQ(junctionC, slot(1).junctionC);
    EXPECT_GT(junctionC, caseC);

    // Bare board: index 0, the component temperatures untouched.
    caseC = junctionC = -1;
    ASSERT_EQ(THM_A_GetTemp(100 * kMm, 80 * kMm, &cellC, &index, &caseC, &junctionC), 1);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(caseC, -1);
    EXPECT_EQ(junctionC, -1);

    // A cell outside the outline.
    boardMask(engine())[0] = 0;
    EXPECT_EQ(THM_A_GetTemp(0, 0, &cellC, &index, &caseC, &junctionC), 0);
}

TEST_F(QueryTest, TemperatureGetFollowsTheDisplayMode) {
    struct Case {
        std::int32_t mode;
        std::int32_t onComponent, onBareBoard;
    };
    Recording recording;
    for (const Case& c :
         {Case{0, 0, 0}, Case{1, 2, 2}, Case{2, 1, 0}, Case{3, 1, 2}, Case{4, 2, 2}}) {
        SCOPED_TRACE(c.mode);
        switch (c.mode) {
            case 1:
                THM_A_DisplayBoard();
                break;
            case 2:
                THM_A_DisplayComponents();
                break;
            case 3:
                THM_A_DisplayBoardComponents();
                break;
            case 4:
                THM_A_DisplayIsotherms();
                break;
            default:
                break;
        }
        std::int32_t index = -1;
        double t = -1, junction = -1;
        EXPECT_EQ(THM_A_TemperatureGet(6000000, 5000000, &index, &t, &junction), c.onComponent);
        if (c.onComponent == 1) {
            EXPECT_EQ(index, r1_);
            EXPECT_EQ(t, slot(3).caseNewC);
            EXPECT_EQ(junction, slot(3).junctionC);
        } else if (c.onComponent == 2) {
            EXPECT_EQ(index, -1);
            EXPECT_EQ(t, cell(6000000 / 254000, 5000000 / 254000) * 0.02);
            EXPECT_EQ(junction, -1);
        }
        EXPECT_EQ(THM_A_TemperatureGet(9000000, 1000000, &index, &t, &junction), c.onBareBoard);
    }
}

}  // namespace
}  // namespace qor::thm::test
