// The thermal solver: edge cases of the model and a golden result that pins the numbers.
#include <cmath>

#include "board_fixture.h"
#include "solver.h"

namespace qor::thm::test {
namespace {

struct Part {
    std::int32_t xMm, yMm;
    std::int32_t halfW, halfH;  // body half sizes, database units
    double powerW;
    std::int32_t packageType = THM_PKG_SOP;
};

design::Design partsBoard(std::int32_t widthMm, std::int32_t heightMm,
                          const std::vector<Part>& parts) {
    DesignBuilder b("Parts");
    b.setOutline(rectangleMm(widthMm, heightMm));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const Part& p = parts[i];
        const std::int32_t pkg = addPackage(b, "P" + std::to_string(i), p.halfW, p.halfH);
        b.addComponent("U" + std::to_string(i + 1), pkg, 0, {p.xMm * kMm, p.yMm * kMm});
    }
    return b.take();
}

class SolverTest : public BoardTest {
  protected:
    // Loads the parts board and gives every part its power at full duty.
    void loadParts(std::int32_t widthMm, std::int32_t heightMm, const std::vector<Part>& parts) {
        ASSERT_EQ(load(partsBoard(widthMm, heightMm, parts)), 1);
        std::int32_t known = 0, changed = 0;
        std::size_t i = 0;
        for (std::int32_t index = THM_A_LLComponentFirst(&known, &changed); index;
             index = THM_A_LLComponentNext(&known, &changed), ++i) {
            ComponentParameters p{};
            THM_A_ComponentGet(index, &p);
            p.packageType = parts[i].packageType;
            p.minPowerW = 0;
            p.maxPowerW = parts[i].powerW;
            p.junctionCaseCPerW = 20;
            p.caseAirCPerW = 60;
            p.dutyCyclePercent = 100;
            THM_A_ComponentSet(index, &p);
        }
        ASSERT_EQ(THM_A_BoardShapeSet(), 1);
    }
    static void setAmbient(double c) {
        TemperatureParameters t{};
        THM_A_GetTemperatureParameters(&t);
        t.ambientC = c;
        THM_A_SetTemperatureParameters(&t);
    }
    static std::int64_t cells() {
        return static_cast<std::int64_t>(engine().rasterColumns) * engine().rasterRows;
    }
};

TEST_F(SolverTest, ABoardWithoutComponentsIsAtAmbient) {
    loadParts(100, 80, {});
    ASSERT_EQ(THM_A_AnalyseBoard(), 1);
    const EngineState& s = engine();
    EXPECT_EQ(s.analysisPasses, 2) << "an empty converging pass, then the final one";
    for (std::int64_t i = 0; i < cells(); ++i) ASSERT_EQ(temperatureGrid(engine())[i], 1250);
    EXPECT_EQ(s.boardMinFiftieths, 1250);
    EXPECT_EQ(s.boardMaxFiftieths, 1250);
    EXPECT_EQ(s.overallMinFiftieths, 1250);
    EXPECT_EQ(s.overallMaxFiftieths, 1250);
    EXPECT_EQ(s.componentMinFiftieths, 32000);
    EXPECT_EQ(s.componentMaxFiftieths, -32000);
}

TEST_F(SolverTest, AComponentWithoutPowerStaysAtAmbient) {
    loadParts(100, 80, {{50, 40, 250000, 200000, 0}});
    setAmbient(31.5);
    ASSERT_EQ(THM_A_AnalyseBoard(), 1);
    EXPECT_EQ(slot(1).caseNewC, 31.5);
    EXPECT_EQ(slot(1).junctionC, 31.5);
    for (std::int64_t i = 0; i < cells(); ++i) ASSERT_EQ(temperatureGrid(engine())[i], 1575);
    EXPECT_EQ(engine().componentMinFiftieths, 1575);
    EXPECT_EQ(engine().componentMaxFiftieths, 1575);
}

TEST_F(SolverTest, ComponentsRiseInWholeDegreesAndTheRasterInFiftieths) {
    loadParts(100, 80, {{30, 40, 500000, 400000, 2}, {45, 40, 250000, 200000, 0.5}});
    setAmbient(25.3);
    ASSERT_EQ(THM_A_AnalyseBoard(), 1);
    for (std::int32_t i = 1; i <= 2; ++i) {
        const double rise = slot(i).caseNewC - 25.3;
        EXPECT_GT(rise, 0.5);
        EXPECT_NEAR(rise, std::round(rise), 1e-9) << i;
        // The junction adds power x junction-to-case resistance.
        EXPECT_DOUBLE_EQ(slot(i).junctionC, slot(i).caseNewC + (i == 1 ? 2 : 0.5) * 20);
    }
    EXPECT_GT(slot(1).caseNewC, slot(2).caseNewC);
    bool fractional = false;
    for (std::int64_t i = 0; i < cells(); ++i)
        fractional |= (temperatureGrid(engine())[i] - 1265) % 50 != 0;
    EXPECT_TRUE(fractional);
    EXPECT_EQ(engine().componentMaxFiftieths, toFiftieths(slot(1).junctionC));
    EXPECT_GT(engine().boardMaxFiftieths, 1265);
}

TEST_F(SolverTest, TheIterationEndsWhenNoComponentMovesByADegreeOrAfter11Passes) {
    loadParts(100, 80, {{30, 40, 500000, 400000, 2}, {60, 40, 250000, 200000, 1}});
    ASSERT_EQ(THM_A_AnalyseBoard(), 1);
    EXPECT_GE(engine().analysisPasses, 3);
    EXPECT_LT(engine().analysisPasses, 12);
    EXPECT_LT(std::fabs(slot(1).caseNewC - slot(1).caseOldC), 1);

    // A hot part on a black board: radiation swings its cooling from pass to pass and the case
    // temperature keeps alternating by a degree. 11 converging passes and the final one.
    loadParts(100, 80, {{50, 40, 250000, 200000, 15.25}});
    const BoardParameters black{0.16, 0.04, 1, 30, 1, 1.5};
    THM_A_SetBoardParameters(&black);
    ASSERT_EQ(THM_A_AnalyseBoard(), 1);
    EXPECT_EQ(engine().analysisPasses, 12);
    EXPECT_EQ(std::fabs(slot(1).caseNewC - slot(1).caseOldC), 1);

    // Rises beyond the scale are clamped.
    loadParts(100, 80, {{50, 40, 250000, 200000, 1e6}});
    ASSERT_EQ(THM_A_AnalyseBoard(), 1);
    EXPECT_EQ(engine().boardMaxFiftieths, 32000);
}

TEST_F(SolverTest, ReachDependsOnTheForcedAir) {
    loadParts(100, 80, {});
    struct Case {
        std::int32_t direction;
        double velocity;
        std::int64_t reach;
    };
    for (const Case& c : {Case{0, 0, 105}, Case{0, 16, 105}, Case{1, 16, 52}, Case{4, 81, 35},
                          Case{2, 0.5, 105}, Case{7, 16, 105}}) {
        SCOPED_TRACE(std::to_string(c.direction) + " " + std::to_string(c.velocity));
        const CoolingParameters cooling{c.direction, c.velocity, 0};
        THM_A_SetCoolingParameters(&cooling);
        EXPECT_EQ(reachRings(engine()), c.reach);
    }
}

TEST_F(SolverTest, TheEquivalentRadiusHasAMinimum) {
    struct Case {
        std::int32_t halfW, halfH, packageType;
        std::int32_t radiusUnits;
    };
    // Frame 0.1 + 0.1 mm: 6369 units, raised to 25400; 1 + 0.8 mm: 57324; times 2 for code 53;
    // times 0.8 for code 45.
    for (const Case& c :
         {Case{5000, 5000, THM_PKG_SOP, 25400}, Case{50000, 40000, 1, 57324},
          Case{50000, 40000, THM_PKG_SSM, 114648}, Case{50000, 40000, THM_PKG_PFP, 45859}}) {
        SCOPED_TRACE(c.packageType);
        loadParts(40, 40, {{20, 20, c.halfW, c.halfH, 0.1, c.packageType}});
        ASSERT_EQ(THM_A_AnalyseBoard(), 1);
        EXPECT_EQ(slot(1).radiusUnits, c.radiusUnits);
    }
}

TEST_F(SolverTest, ABoardThatDoesNotConductKeepsTheHeatAtTheSource) {
    const std::vector<Part> parts{{30, 40, 500000, 400000, 1}, {70, 40, 500000, 400000, 0.5}};
    const BoardParameters insulating{2e-4, 0, 0.3, 0, 1, 1.5};  // kt = 3e-7 W/K
    auto run = [&] {
        THM_A_SetBoardParameters(&insulating);
        EXPECT_EQ(THM_A_AnalyseBoard(), 1);
        return std::vector<double>{slot(1).caseNewC, slot(2).caseNewC};
    };
    loadParts(100, 80, parts);
    const std::vector<double> fresh = run();
    // Each source rises by its own power x case-to-air resistance (60 °C/W), in whole degrees.
    EXPECT_EQ(fresh, (std::vector<double>{25 + 60, 25 + 30}));
    // The result does not depend on what an earlier analysis left behind.
    loadParts(100, 80, parts);
    ASSERT_EQ(THM_A_AnalyseBoard(), 1);
    EXPECT_EQ(run(), fresh);
}

std::uint64_t checksum(const std::int32_t* cells, std::int64_t count) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::int64_t i = 0; i < count; ++i) {
        h ^= static_cast<std::uint32_t>(cells[i]);
        h *= 1099511628211ull;
    }
    return h;
}

// The result of one small board, pinned: an optimization that changes any number fails here.
TEST_F(SolverTest, GoldenBoard) {
    const std::vector<Part> parts{{15, 20, 500000, 400000, 1.5, THM_PKG_SOP},
                                  {40, 25, 250000, 200000, 0.5, THM_PKG_DIPP},
                                  {50, 10, 100000, 60000, 0.1, THM_PKG_LFP}};
    std::vector<std::uint64_t> sums;
    for (std::int32_t workers : {1, 3}) {
        SCOPED_TRACE(workers);
        engine().workerThreads = workers;
        loadParts(60, 40, parts);
        const CoolingParameters cooling{1, 2.5, 30};
        THM_A_SetCoolingParameters(&cooling);
        ASSERT_EQ(THM_A_AnalyseBoard(), 1);
        EXPECT_EQ(engine().analysisPasses, 3);
        EXPECT_EQ(std::vector<double>({slot(1).caseNewC, slot(2).caseNewC, slot(3).caseNewC}),
                  std::vector<double>({62, 45, 31}));
        EXPECT_EQ(std::vector<double>({slot(1).junctionC, slot(2).junctionC, slot(3).junctionC}),
                  std::vector<double>({92, 55, 33}));
        EXPECT_EQ(engine().boardMinFiftieths, 1250);
        EXPECT_EQ(engine().boardMaxFiftieths, 2944);
        EXPECT_EQ(cell(6, 8), 2374);
        sums.push_back(checksum(temperatureGrid(engine()), cells()));
        EXPECT_EQ(sums.back(), 9829752464592646132ull);
    }
    EXPECT_EQ(sums[0], sums[1]) << "the result does not depend on the number of workers";
}

}  // namespace
}  // namespace qor::thm::test
