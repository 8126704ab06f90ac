// The raster: its size and step, the inside test, the peeled board mask and the edge layers.
#include "board_fixture.h"
#include "raster.h"

namespace qor::thm::test {
namespace {

using RasterTest = BoardTest;

design::Design outlineOnly(const std::vector<Point>& corners) {
    DesignBuilder b("Shape");
    b.setOutline(corners);
    return b.take();
}

TEST_F(RasterTest, TheStepGrowsUntilTheGridFits) {
    struct Case {
        std::int32_t widthMm, heightMm;
        std::int32_t step, columns, rows;
    };
    for (const Case& c : {Case{100, 80, 254000, 40, 32},
                          Case{100, 2500, 317500, 32, 788},     // 985 rows at the first step
                          Case{100, 4000, 444500, 23, 900},     // exactly 900 rows
                          Case{4000, 1500, 317500, 1260, 473},  // too many cells at first
                          Case{3000, 1000, 254000, 1182, 394}}) {
        SCOPED_TRACE(std::to_string(c.widthMm) + " x " + std::to_string(c.heightMm));
        ASSERT_EQ(load(outlineOnly(rectangleMm(c.widthMm, c.heightMm))), 1);
        const EngineState& s = engine();
        EXPECT_EQ(s.rasterStep, c.step);
        EXPECT_EQ(s.rasterColumns, c.columns);
        EXPECT_EQ(s.rasterRows, c.rows);
        EXPECT_EQ(s.rasterOriginX, c.step / 2);
        EXPECT_EQ(s.rasterEndY, c.heightMm * kMm - c.step / 2);
        EXPECT_EQ(rowTable(engine())[c.rows - 1], (c.rows - 1) * c.columns);
        EXPECT_EQ(s.requestedStepUnits, 254000) << "the requested step stays as asked";
    }
}

TEST_F(RasterTest, ABoardTooBigAtTheLargestStepFailsWithCode3) {
    EXPECT_EQ(load(outlineOnly(rectangleMm(100, 5000))), 0);
    EXPECT_EQ(THM_A_ErrorCode(), 3);
    EXPECT_EQ(THM_A_ErrorFunc(), 3);
    EXPECT_EQ(engine().requestedStepUnits, 508000 + 63500);

    // A shape set that must resize and cannot fit fails the same way.
    ASSERT_EQ(load(outlineOnly(rectangleMm(100, 4500))), 1);
    EXPECT_EQ(engine().rasterStep, 508000);
    setError(engine(), 0, 0);
    TemperatureParameters t{};
    THM_A_GetTemperatureParameters(&t);
    t.stepUnits = 2540;
    THM_A_SetTemperatureParameters(&t);
    EXPECT_EQ(THM_A_BoardShapeSet(), 0);
    EXPECT_EQ(THM_A_ErrorCode(), 3);
    EXPECT_EQ(THM_A_ErrorFunc(), 3);
    EXPECT_EQ(engine().requestedStepUnits, 2540 + 8 * 63500);
}

TEST_F(RasterTest, ANewStepTakesEffectAtTheShapeSet) {
    ASSERT_EQ(load(outlineOnly(rectangleMm(100, 80))), 1);
    TemperatureParameters t{};
    THM_A_GetTemperatureParameters(&t);
    t.stepUnits = 127000;
    THM_A_SetTemperatureParameters(&t);
    EXPECT_EQ(engine().rasterStep, 254000);
    ASSERT_EQ(THM_A_BoardShapeSet(), 1);
    EXPECT_EQ(engine().rasterStep, 127000);
    EXPECT_EQ(engine().rasterColumns, 79);
    EXPECT_EQ(engine().rasterRows, 64);
}

TEST_F(RasterTest, InsideTestSumsTheAnglesAlongTheOutlineAsRead) {
    struct Case {
        const char* what;
        std::vector<Point> points;
        std::int32_t x, y;
        bool inside;
    };
    const std::vector<Point> square{{0, 0}, {100, 0}, {100, 100}, {0, 100}, {0, 0}};
    const std::vector<Point> open{{0, 0}, {100, 0}, {100, 100}, {0, 100}};
    for (const Case& c :
         {Case{"centre", square, 50, 50, true}, Case{"right of it", square, 150, 50, false},
          Case{"below it", square, 50, -1, false}, Case{"near a corner", square, 1, 1, true},
          Case{"three sides still enclose", open, 50, 50, true},
          Case{"one point", {{0, 0}}, 0, 0, false}}) {
        SCOPED_TRACE(c.what);
        EngineState& s = engine();
        ASSERT_TRUE(allocateBlock(s, s.outline, (c.points.size() + 1) * kOutlinePointBytes));
        for (std::size_t i = 0; i < c.points.size(); ++i)
            outlinePoints(s)[i + 1] = {c.points[i].x, c.points[i].y};
        s.outlineCount = static_cast<std::int32_t>(c.points.size());
        EXPECT_EQ(insideOutline(s, c.x, c.y), c.inside);
        THM_A_DeleteDataBase();
    }
}

TEST_F(RasterTest, ARectangleHasNoOutsideCellsAndLayersGrowInward) {
    ASSERT_EQ(load(outlineOnly(rectangleMm(100, 80))), 1);
    for (std::int32_t r = 0; r < 32; ++r)
        for (std::int32_t c = 0; c < 40; ++c) ASSERT_EQ(maskAt(c, r), 0) << "zero before shape set";
    ASSERT_EQ(THM_A_BoardShapeSet(), 1);
    // Cell centres run over columns 0 ... 38 and rows 0 ... 30; column 39 and row 31 are margin.
    for (std::int32_t r = 0; r < 32; ++r)
        for (std::int32_t c = 0; c < 40; ++c) {
            const std::int32_t expected =
                c > 38 || r > 30 ? 1 : 1 + std::min({c, r, 38 - c, 30 - r});
            ASSERT_EQ(maskAt(c, r), expected) << c << "," << r;
        }
    EXPECT_EQ(maskAt(19, 15), 16);
}

TEST_F(RasterTest, LayersStopAt100) {
    ASSERT_EQ(load(outlineOnly(rectangleMm(600, 600))), 1);
    ASSERT_EQ(THM_A_BoardShapeSet(), 1);
    EXPECT_EQ(engine().rasterColumns, 237);
    EXPECT_EQ(maskAt(99, 99), 100);
    EXPECT_EQ(maskAt(118, 118), 100);
}

TEST_F(RasterTest, ABoardOfTwoCellsGetsNoLayerAbove1) {
    ASSERT_EQ(load(outlineOnly(rectangleMm(7, 50))), 1);
    ASSERT_EQ(THM_A_BoardShapeSet(), 1);
    for (std::int32_t r = 0; r < engine().rasterRows; ++r)
        for (std::int32_t c = 0; c < engine().rasterColumns; ++c) ASSERT_EQ(maskAt(c, r), 1);
}

// Every cell whose centre lies outside the outline is cleared. The peeled sides test points that
// step inward from the raster's end, not the cell centres, so a cell whose centre is inside may be
// cleared too, but only next to a cell whose centre is outside.
void expectOutsideCellsCleared(EngineState& s) {
    auto centreInside = [&](std::int32_t c, std::int32_t r) {
        return insideOutline(s, s.rasterOriginX + c * s.rasterStep,
                             s.rasterOriginY + r * s.rasterStep);
    };
    const std::int32_t lastColumn = (s.rasterEndX - s.rasterOriginX) / s.rasterStep;
    const std::int32_t lastRow = (s.rasterEndY - s.rasterOriginY) / s.rasterStep;
    for (std::int32_t r = 0; r <= lastRow; ++r)
        for (std::int32_t c = 0; c <= lastColumn; ++c) {
            const std::uint8_t m = boardMask(s)[r * s.rasterColumns + c];
            if (!centreInside(c, r)) {
                ASSERT_EQ(m, 0) << c << "," << r;
            } else if (m == 0) {
                bool nextToOutside = false;
                for (std::int32_t dr = -1; dr <= 1; ++dr)
                    for (std::int32_t dc = -1; dc <= 1; ++dc)
                        nextToOutside |= !centreInside(c + dc, r + dr);
                ASSERT_TRUE(nextToOutside) << c << "," << r;
            }
        }
}

TEST_F(RasterTest, AnLShapedBoardLosesItsNotch) {
    // 100 x 80 mm without the top right quarter (x > 50 mm, y > 40 mm).
    ASSERT_EQ(load(outlineOnly({{0, 0},
                                {100 * kMm, 0},
                                {100 * kMm, 40 * kMm},
                                {50 * kMm, 40 * kMm},
                                {50 * kMm, 80 * kMm},
                                {0, 80 * kMm}})),
              1);
    ASSERT_EQ(THM_A_BoardShapeSet(), 1);
    expectOutsideCellsCleared(engine());
    EXPECT_EQ(maskAt(30, 25), 0);
    EXPECT_EQ(maskAt(10, 25), 6) << "layers count from the notch's edge too";
    EXPECT_EQ(maskAt(16, 25), 4);
}

TEST_F(RasterTest, APocketBehindANarrowSlotStaysOnTheBoard) {
    // A 1 mm slot from the top edge between two cell centres opens into a 20 mm pocket: no pass
    // of the top side meets an outside cell, so the peeling stops before the pocket.
    ASSERT_EQ(load(outlineOnly({{0, 0},
                                {100 * kMm, 0},
                                {100 * kMm, 80 * kMm},
                                {48 * kMm, 80 * kMm},
                                {48 * kMm, 60 * kMm},
                                {70 * kMm, 60 * kMm},
                                {70 * kMm, 40 * kMm},
                                {30 * kMm, 40 * kMm},
                                {30 * kMm, 60 * kMm},
                                {47 * kMm, 60 * kMm},
                                {47 * kMm, 80 * kMm},
                                {0, 80 * kMm}})),
              1);
    ASSERT_EQ(THM_A_BoardShapeSet(), 1);
    EngineState& s = engine();
    EXPECT_FALSE(insideOutline(s, 50 * kMm, 50 * kMm));
    const std::int32_t pocketColumn = (50 * kMm - s.boardLeft) / s.rasterStep;
    const std::int32_t pocketRow = (50 * kMm - s.boardBottom) / s.rasterStep;
    EXPECT_NE(maskAt(pocketColumn, pocketRow), 0);
}

}  // namespace
}  // namespace qor::thm::test

namespace qor::thm::test {
namespace {

// The edge layers as their rule states them: pass i = 1 ... 99 over the cell centres i steps inside
// the raster's ends moves a cell to i + 1 when it and its eight neighbours reach i.
std::vector<std::uint8_t> layersPassByPass(const EngineState& s, std::vector<std::uint8_t> mask) {
    for (std::uint8_t& m : mask) m = m ? 1 : 0;
    const std::int64_t step = s.rasterStep, columns = s.rasterColumns;
    for (std::int32_t i = 1; i <= 99; ++i) {
        const std::int64_t xFrom = s.rasterOriginX + i * step, xTo = s.rasterEndX - i * step;
        const std::int64_t yFrom = s.rasterOriginY + i * step, yTo = s.rasterEndY - i * step;
        if (xFrom > xTo || yFrom > yTo) break;
        for (std::int64_t row = i; row <= i + (yTo - yFrom) / step; ++row)
            for (std::int64_t column = i; column <= i + (xTo - xFrom) / step; ++column) {
                bool all = true;
                for (std::int64_t dr = -1; dr <= 1; ++dr)
                    for (std::int64_t dc = -1; dc <= 1; ++dc)
                        all =
                            all &&
                            mask[static_cast<std::size_t>((row + dr) * columns + column + dc)] >= i;
                if (all)
                    mask[static_cast<std::size_t>(row * columns + column)] =
                        static_cast<std::uint8_t>(i + 1);
            }
    }
    return mask;
}

TEST_F(RasterTest, LayersFollowTheirRuleOnIrregularBoards) {
    struct Case {
        const char* what;
        std::vector<Point> outline;
        std::int32_t stepUnits;
    };
    for (const Case& c :
         {Case{"chamfer and notch",
               {{0, 0},
                {100 * kMm, 0},
                {100 * kMm, 70 * kMm},
                {90 * kMm, 80 * kMm},
                {0, 80 * kMm},
                {0, 45 * kMm},
                {4 * kMm, 45 * kMm},
                {4 * kMm, 35 * kMm},
                {0, 35 * kMm}},
               50800},
          Case{"triangle", {{0, 0}, {600 * kMm, 0}, {300 * kMm, 500 * kMm}}, 254000},
          Case{"large rectangle", rectangleMm(700, 400), 254000}}) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(load(outlineOnly(c.outline)), 1);
        TemperatureParameters t{};
        THM_A_GetTemperatureParameters(&t);
        t.stepUnits = c.stepUnits;
        THM_A_SetTemperatureParameters(&t);
        ASSERT_EQ(THM_A_BoardShapeSet(), 1);
        const EngineState& s = engine();
        const std::size_t cells = static_cast<std::size_t>(s.rasterColumns) * s.rasterRows;
        const std::vector<std::uint8_t> engineMask(boardMask(engine()),
                                                   boardMask(engine()) + cells);
        EXPECT_EQ(engineMask, layersPassByPass(s, engineMask));
        EXPECT_GT(*std::max_element(engineMask.begin(), engineMask.end()), 10);
    }
}

}  // namespace
}  // namespace qor::thm::test
