// Drawing through the kernel: the colour scale, the board map with its temperature window, the
// component tiles and the isotherm tracer, asserted call by call on a recording surface.
#include "board_fixture.h"
#include "drawing.h"

namespace qor::thm::test {
namespace {

class DrawingTest : public BoardTest {
  protected:
    // A 5.08 mm square board: a raster of 3 x 3 cells at 2.54 mm, centres at 1.27 and 3.81 mm,
    // the third column and row margin. Every cell starts at 1000.
    void SetUp() override {
        BoardTest::SetUp();
        DesignBuilder b("Small");
        b.setOutline({{0, 0}, {508000, 0}, {508000, 508000}, {0, 508000}});
        ASSERT_EQ(load(b.take()), 1);
        ASSERT_EQ(THM_A_BoardShapeSet(), 1);
        ASSERT_EQ(engine().rasterColumns, 3);
        ASSERT_EQ(engine().rasterRows, 3);
        for (std::int32_t i = 0; i < 9; ++i) temperatureGrid(engine())[i] = 1000;
        setBoardRange(1000, 1000);
    }
    static void setBoardRange(std::int32_t lo, std::int32_t hi) {
        engine().boardMinFiftieths = lo;
        engine().boardMaxFiftieths = hi;
    }
    static void setCells(std::initializer_list<std::pair<std::int32_t, std::int32_t>> cells,
                         std::int32_t value) {
        for (const auto& [c, r] : cells) temperatureGrid(engine())[r * 3 + c] = value;
    }
};

TEST_F(DrawingTest, TheColourScaleFollowsTheModeOrTheUserLimits) {
    EngineState& s = engine();
    s.boardMinFiftieths = 1000, s.boardMaxFiftieths = 1159;
    s.componentMinFiftieths = 1200, s.componentMaxFiftieths = 2000;
    s.overallMinFiftieths = 1000, s.overallMaxFiftieths = 2000;
    struct Case {
        const char* what;
        std::int32_t scaleMode;
        void (*draw)();
        std::int32_t min, step;
    };
    for (const Case& c : {Case{"board", 0, THM_A_DisplayBoard, 1000, 10},
                          Case{"isotherms", 0, THM_A_DisplayIsotherms, 1000, 10},
                          Case{"components", 0, THM_A_DisplayComponents, 1200, 50},
                          Case{"both", 0, THM_A_DisplayBoardComponents, 1000, 62},
                          Case{"user limits 25 and 90", 1, THM_A_DisplayBoard, 1250, 203},
                          Case{"user limits, mode 2 is not 1", 2, THM_A_DisplayBoard, 1000, 10}}) {
        SCOPED_TRACE(c.what);
        s.scaleMode = c.scaleMode;
        Recording recording;
        c.draw();
        EXPECT_EQ(THM_A_ColorTempMin(), c.min);
        EXPECT_EQ(THM_A_ColorTempGrid(), c.step);
    }
    // A range narrower than 16 fiftieths still steps by one.
    s.scaleMode = 0;
    s.boardMaxFiftieths = s.boardMinFiftieths = 1234;
    THM_A_DisplayBoard();
    EXPECT_EQ(THM_A_ColorTempGrid(), 1);
    EXPECT_EQ(colourIndex(s, 1233), 0);
    EXPECT_EQ(colourIndex(s, 1240), 6);
    EXPECT_EQ(colourIndex(s, 9999), 15);
}

TEST_F(DrawingTest, TheBoardMapPaintsEachCellOnTheBoardAndTheWindowKeepsTheLastColour) {
    setCells({{1, 0}}, 1160);
    setCells({{0, 1}}, 1100);
    setBoardRange(1000, 1159);   // step 10
    boardMask(engine())[4] = 0;  // cell (1, 1) is off the board
    {
        Recording recording;
        THM_A_DisplayBoard();
        EXPECT_EQ(recording.calls(),
                  "G_SetColor 0\nG_Rectangle 0 0 254000 254000 0\n"
                  "G_SetColor 15\nG_Rectangle 254000 0 254000 254000 0\n"
                  "G_SetColor 10\nG_Rectangle 0 254000 254000 254000 0\n");
    }
    TemperatureParameters t{};
    THM_A_GetTemperatureParameters(&t);
    t.windowOn = 1;
    t.windowLowerFiftieths = 1050;
    t.windowUpperFiftieths = 1150;
    THM_A_SetTemperatureParameters(&t);
    Recording recording;
    THM_A_DisplayBoard();
    EXPECT_EQ(recording.calls(),
              "G_Rectangle 0 0 254000 254000 0\n"
              "G_Rectangle 254000 0 254000 254000 0\n"
              "G_SetColor 10\nG_Rectangle 0 254000 254000 254000 0\n");
}

TEST_F(DrawingTest, ComponentsAreTiledByCaseAndJunctionColour) {
    DesignBuilder b("Tiles");
    b.setOutline(rectangleMm(20, 20));
    // Frames 508000 square and 254000 x 127000 (pads inside the bodies).
    b.addComponent("U1", addPackage(b, "BIG", 254000, 254000), 0, {5 * kMm, 5 * kMm});
    b.addComponent("R1", addPackage(b, "SMALL", 127000, 63500), 0, {15 * kMm, 5 * kMm});
    ASSERT_EQ(load(b.take()), 1);
    EngineState& s = engine();
    slot(1).caseNewC = 30, slot(1).junctionC = 40;
    slot(2).caseNewC = 20, slot(2).junctionC = 20.5;
    s.componentMinFiftieths = 1000, s.componentMaxFiftieths = 2599;  // step 100
    Recording recording;
    THM_A_DisplayComponents();
    std::string expected = "G_SetColor 5\n";
    for (std::int32_t y : {246000, 373000, 500000, 627000})
        for (std::int32_t x : {246000, 373000, 500000, 627000})
            expected +=
                "G_Rectangle " + std::to_string(x) + " " + std::to_string(y) + " 127000 127000 0\n";
    expected += "G_SetColor 10\n";
    for (std::int32_t y : {373000, 500000})
        for (std::int32_t x : {373000, 500000})
            expected +=
                "G_Rectangle " + std::to_string(x) + " " + std::to_string(y) + " 127000 127000 0\n";
    // R1: one row of two tiles for the case, the centre is too small for a tile.
    expected +=
        "G_SetColor 0\nG_Rectangle 1373000 436500 127000 127000 0\n"
        "G_Rectangle 1500000 436500 127000 127000 0\nG_SetColor 0\n";
    EXPECT_EQ(recording.calls(), expected);
}

TEST_F(DrawingTest, IsothermLevelsFollowTheBoardRange) {
    struct Case {
        std::int32_t lo, hi, density;
        std::vector<double> levels;
    };
    for (const Case& c :
         {Case{1250, 1750, 50, {1300, 1350, 1400, 1450, 1500, 1550, 1600, 1650, 1700, 1750, 1800}},
          Case{1000, 1000, 50, {1050}}, Case{1000, 1024, 50, {1050}},
          Case{1000, 1025, 50, {1050, 1100}}, Case{1000, 1200, 0, {}}}) {
        SCOPED_TRACE(c.density);
        setBoardRange(c.lo, c.hi);
        THM_A_SetITDensity(c.density);
        EXPECT_EQ(THM_A_GetITDensity(), c.density);
        EXPECT_EQ(isothermLevels(engine()), c.levels);
    }
    // User colour limits do not move the levels.
    engine().scaleMode = 1;
    THM_A_SetITDensity(50);
    setBoardRange(1250, 1750);
    EXPECT_EQ(isothermLevels(engine()).front(), 1300);
}

// Only cell (0, 0) is traced: its corners are (0, 0), (1, 0), (0, 1) and (1, 1). One level at
// 1050 runs through it; the cell spans 127000 ... 254000 both ways.
class OneCellTest : public DrawingTest {
  protected:
    void SetUp() override {
        DrawingTest::SetUp();
        for (std::int32_t i : {2, 5, 6, 7, 8}) boardMask(engine())[i] = 0;
        THM_A_SetITDensity(50);
    }
    static std::string trace() {
        Recording recording;
        THM_A_DisplayIsotherms();
        return recording.calls();
    }
};

TEST_F(OneCellTest, OneCornerAboveTheLevelGetsOneLineAroundIt) {
    struct Case {
        const char* corner;
        std::pair<std::int32_t, std::int32_t> cell;
        const char* line;
    };
    for (const Case& c : {Case{"b", {1, 0}, "G_Line 190500 127000 254000 190500\n"},
                          Case{"a", {0, 0}, "G_Line 190500 127000 127000 190500\n"},
                          Case{"d", {1, 1}, "G_Line 254000 190500 190500 254000\n"},
                          Case{"cc", {0, 1}, "G_Line 190500 254000 127000 190500\n"}}) {
        SCOPED_TRACE(c.corner);
        for (std::int32_t i = 0; i < 9; ++i) temperatureGrid(engine())[i] = 900;
        setCells({c.cell}, 1200);
        setBoardRange(1000, 1000);
        EXPECT_EQ(trace(), std::string("G_SetStyle 32\n") + c.line);
    }
}

TEST_F(OneCellTest, ASaddleWithZeroSumGetsAllFourLines) {
    setCells({{0, 0}, {1, 1}}, 1300);
    setCells({{1, 0}, {0, 1}}, 800);
    setBoardRange(1000, 1000);
    EXPECT_EQ(trace(),
              "G_SetStyle 32\n"
              "G_Line 190500 127000 254000 190500\n"
              "G_Line 190500 127000 127000 190500\n"
              "G_Line 254000 190500 190500 254000\n"
              "G_Line 190500 254000 127000 190500\n");
}

TEST_F(OneCellTest, ASaddleDecidedByTheSumJoinsTwoPairs) {
    struct Case {
        std::int32_t high, low;
        const char* lines;
    };
    // a and d above the level: a positive sum joins bottom-right and top-left, a negative one
    // bottom-left and right-top.
    for (const Case& c : {Case{1400, 900,
                               "G_Line 215900 127000 254000 165100\n"
                               "G_Line 165100 254000 127000 215900\n"},
                          Case{1100, 800,
                               "G_Line 148166 127000 127000 148166\n"
                               "G_Line 254000 232833 232833 254000\n"}}) {
        SCOPED_TRACE(c.high);
        setCells({{0, 0}, {1, 1}}, c.high);
        setCells({{1, 0}, {0, 1}}, c.low);
        setBoardRange(1000, 1000);
        EXPECT_EQ(trace(), std::string("G_SetStyle 32\n") + c.lines);
    }
}

TEST_F(OneCellTest, AFlatBoardHasNoIsotherms) {
    EXPECT_EQ(trace(), "G_SetStyle 32\n");
}

}  // namespace
}  // namespace qor::thm::test

namespace qor::thm::test {
namespace {

TEST_F(DrawingTest, NeighboursShareTheirCrossingsAndAnUntracedCellLeavesNoneBehind) {
    for (std::int32_t r = 0; r < 3; ++r) setCells({{1, r}, {2, r}}, 1150);
    THM_A_SetITDensity(50);
    {
        // The level 1050 runs up through the first column of cells, a third of the way across.
        Recording recording;
        THM_A_DisplayIsotherms();
        EXPECT_EQ(recording.calls(),
                  "G_SetStyle 32\n"
                  "G_Line 169333 127000 169333 254000\n"
                  "G_Line 169333 254000 169333 381000\n");
    }
    // Without the cell below, the upper cell finds its bottom crossing itself.
    boardMask(engine())[0] = 0;
    Recording recording;
    THM_A_DisplayIsotherms();
    EXPECT_EQ(recording.calls(), "G_SetStyle 32\nG_Line 169333 254000 169333 381000\n");
}

}  // namespace
}  // namespace qor::thm::test
