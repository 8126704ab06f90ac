// Loading the board model from the open design: outline, components, frames, library lookup,
// defaults, and every failure with its code and stage.
#include "board_fixture.h"

namespace qor::thm::test {
namespace {

using LoadTest = BoardTest;

// A 100 mm x 80 mm board whose top edge zigzags through enough corners for `records` records.
design::Design boardWithOutlineRecords(std::int32_t records) {
    DesignBuilder b("Outline");
    std::vector<Point> corners{{0, 0}, {100 * kMm, 0}};
    const std::int32_t topCorners = records - 1 - 2;  // the outline closes on its first corner
    for (std::int32_t i = 0; i < topCorners; ++i)
        corners.push_back({100 * kMm - i * (100 * kMm / topCorners), (i % 2 ? 79 : 80) * kMm});
    b.setOutline(corners);
    return b.take();
}

TEST_F(LoadTest, OutlineOf99RecordsLoadsAnd100Fail) {
    struct Case {
        std::int32_t records;
        std::int32_t result, code, stage, points;
    };
    for (const Case& c : {Case{99, 1, 0, 0, 99}, Case{100, 0, 6, 4, 0}}) {
        SCOPED_TRACE(c.records);
        setError(engine(), 0, 0);
        EXPECT_EQ(load(boardWithOutlineRecords(c.records)), c.result);
        EXPECT_EQ(THM_A_ErrorCode(), c.code);
        EXPECT_EQ(THM_A_ErrorFunc(), c.stage);
        EXPECT_EQ(engine().outlineCount, c.points);
    }
}

TEST_F(LoadTest, OnlyBendingPointsOfTheOutlineAreKept) {
    DesignBuilder b("Outline");
    b.setOutline(rectangleMm(100, 80));
    design::Design d = b.take();
    auto& outline = d.traces.front().points;
    design::TracePoint node = outline[1];
    node.flags = design::kPointNode;
    node.x = 123;
    outline.insert(outline.begin() + 2, node);
    ASSERT_EQ(load(d), 1);
    ASSERT_EQ(engine().outlineCount, 5);
    const OutlinePoint* p = outlinePoints(engine());
    EXPECT_EQ(p[2].x, 100 * kMm);
    EXPECT_EQ(p[3].x, 100 * kMm);
    EXPECT_EQ(p[3].y, 80 * kMm);
    EXPECT_EQ(p[5].x, 0);
    EXPECT_EQ(p[5].y, 0);
    std::int32_t l = 0, bottom = 0, r = 0, t = 0, w = 0, h = 0;
    THM_A_GetBoardSize(&l, &bottom, &r, &t);
    EXPECT_EQ(std::vector<std::int32_t>({l, bottom, r, t}),
              std::vector<std::int32_t>({0, 0, 100 * kMm, 80 * kMm}));
    EXPECT_EQ(THM_A_GetBoardDimentions(&w, &h), 80 * kMm);
    EXPECT_EQ(w, 100 * kMm);
    EXPECT_EQ(h, 80 * kMm);
}

design::Design boardWithComponents(std::int32_t count) {
    DesignBuilder b("Many");
    b.setOutline(rectangleMm(200, 200));
    const std::int32_t pkg = addPackage(b, "R0805", 100000, 60000);
    for (std::int32_t i = 0; i < count; ++i)
        b.addComponent("R" + std::to_string(i + 1), pkg, 0,
                       {(i % 30 + 1) * 6 * kMm, (i / 30 + 1) * 6 * kMm});
    return b.take();
}

TEST_F(LoadTest, At511ComponentsTheModelIsFull) {
    ASSERT_EQ(load(boardWithComponents(511)), 1);
    EXPECT_EQ(THM_A_Components(), 511);

    EXPECT_EQ(load(boardWithComponents(512)), 0);
    EXPECT_EQ(THM_A_ErrorCode(), 12);
    EXPECT_EQ(THM_A_ErrorFunc(), 6);
    // The calls that walk the slots stay within the 511 that exist.
    std::int32_t walked = 0;
    for (std::int32_t i = THM_A_LLComponentFirst(nullptr, nullptr); i;
         i = THM_A_LLComponentNext(nullptr, nullptr))
        ++walked;
    EXPECT_EQ(walked, 511);
    EXPECT_EQ(THM_A_AnalyseBoard(), 1);
}

TEST_F(LoadTest, ReadFailuresStopTheLoadWithTheirCode) {
    struct Case {
        const char* what;
        std::int32_t device, symbol, code;
    };
    for (const Case& c : {Case{"missing device", 99, 0, 9}, Case{"missing symbol", 0, 99, 10}}) {
        SCOPED_TRACE(c.what);
        DesignBuilder b("Broken");
        b.setOutline(rectangleMm(50, 50));
        const std::int32_t pkg = addPackage(b, "SO-8", 250000, 200000);
        const std::int32_t dev = b.addDevice("LM358", "SO-8");
        b.addComponent("U1", pkg, dev, {10 * kMm, 10 * kMm});
        b.addComponent("U2", c.symbol ? c.symbol : pkg, c.device ? c.device : dev,
                       {30 * kMm, 10 * kMm});
        EXPECT_EQ(load(b.take()), 0);
        EXPECT_EQ(THM_A_ErrorCode(), c.code);
        EXPECT_EQ(THM_A_ErrorFunc(), 5);
    }
}

TEST_F(LoadTest, NoProfileLoadsNothingAndASecondLoadKeepsTheFirstModel) {
    setError(engine(), 12, 6);
    EXPECT_EQ(THM_A_Qor_LoadDataBase(nullptr), 0);
    EXPECT_EQ(THM_A_Qor_LoadDataBase(""), 0);
    EXPECT_EQ(THM_A_UsedMemory(), 0);
    EXPECT_EQ(THM_A_ErrorCode(), 12);

    ASSERT_EQ(load(boardWithComponents(3)), 1);
    open(boardWithComponents(7), "other.qdb");
    EXPECT_EQ(THM_A_Qor_LoadDataBase(noLibraries().c_str()), 1);
    EXPECT_EQ(THM_A_Components(), 3);
    THM_A_DeleteDataBase();
    EXPECT_EQ(THM_A_Qor_LoadDataBase(noLibraries().c_str()), 1);
    EXPECT_EQ(THM_A_Components(), 7);
}

TEST_F(LoadTest, FramesDeviceNamesAndDefaults) {
    DesignBuilder b("Frames");
    b.setOutline(rectangleMm(100, 80));
    const std::int32_t so8 = addPackage(b, "SO-8", 250000, 200000);
    const std::int32_t bare = b.addSymbol("BARE", {}, {});
    const std::int32_t dev = b.addDevice("LM358", "SO-8");
    const std::int32_t u1 = b.addComponent("U1", so8, dev, {20 * kMm, 30 * kMm});
    const std::int32_t r1 = b.addComponent("R1", so8, 0, {40 * kMm, 30 * kMm});
    const std::int32_t tp = b.addComponent("TP1", bare, 0, {60 * kMm, 30 * kMm});
    design::Design d = b.take();
    for (auto& s : d.symbols)
        if (s.number == bare) s.items.clear();  // a symbol without pads and graphics
    engine().fanDistanceMm = 120;
    ASSERT_EQ(load(d), 1);
    ASSERT_EQ(THM_A_Components(), 3);

    struct Case {
        std::int32_t index;
        const char* name;
        std::int32_t left, bottom, right, top;
    };
    for (const Case& c : {Case{u1, "LM358", 1750000, 2800000, 2250000, 3200000},
                          Case{r1, nullptr, 3750000, 2800000, 4250000, 3200000},
                          Case{tp, nullptr, 6000000, 3000000, 6000000, 3000000}}) {
        SCOPED_TRACE(c.index);
        const std::int32_t n = slotOfIndex(engine(), c.index);
        ASSERT_GT(n, 0);
        const ComponentSlot& s = slot(n);
        const char* name = deviceName(engine(), s);
        EXPECT_EQ(name ? std::string(name) : "-", c.name ? std::string(c.name) : "-");
        EXPECT_EQ(std::vector<std::int32_t>({s.frameLeft, s.frameBottom, s.frameRight, s.frameTop}),
                  std::vector<std::int32_t>({c.left, c.bottom, c.right, c.top}));
        ComponentParameters p{};
        THM_A_ComponentGet(c.index, &p);
        EXPECT_EQ(val(p.packageType), 0);
        EXPECT_EQ(val(p.minPowerW), 0);
        EXPECT_EQ(val(p.maxPowerW), 0);
        EXPECT_EQ(val(p.junctionCaseCPerW), 30);
        EXPECT_EQ(val(p.caseAirCPerW), 70);
        EXPECT_EQ(val(p.dutyCyclePercent), 50);
        EXPECT_EQ(p.fanOn + p.heatsinkOn + p.interfaceOn, 0);
    }
    // Each name follows a separating zero and ends with its own.
    EXPECT_EQ(engine().deviceNamesUsedBytes, 7);

    BoardParameters board{};
    THM_A_GetBoardParameters(&board);
    EXPECT_EQ(val(board.insulatorConductivityWPerMK), 0.16);
    EXPECT_EQ(val(board.copperThicknessMm), 0.04);
    EXPECT_EQ(val(board.emissivity), 0.3);
    EXPECT_EQ(val(board.copperFractionPercent), 30);
    EXPECT_EQ(val(board.orientation), 1);
    EXPECT_EQ(val(board.boardThicknessMm), 1.5);
    CoolingParameters cooling{};
    THM_A_GetCoolingParameters(&cooling);
    EXPECT_EQ(val(cooling.direction), 0);
    EXPECT_EQ(val(cooling.airVelocityMPerS), 0);
    EXPECT_EQ(val(cooling.fanDistanceMm), 120) << "the load keeps the fan distance";
    TemperatureParameters t{};
    THM_A_GetTemperatureParameters(&t);
    EXPECT_EQ(val(t.stepUnits), 254000);
    EXPECT_EQ(val(t.ambientC), 25);
    EXPECT_EQ(val(t.scaleMode), 0);
    EXPECT_EQ(val(t.colourUpperC), 90);
    EXPECT_EQ(val(t.colourLowerC), 25);
    EXPECT_EQ(val(t.windowOn), 0);
    EXPECT_EQ(val(t.windowUpperFiftieths), 4500);
    EXPECT_EQ(val(t.windowLowerFiftieths), 1250);
    EXPECT_EQ(THM_A_GetITDensity(), 50);
}

TEST_F(LoadTest, TheFirstLibraryInTheSetsOrderThatKnowsADeviceWins) {
    makeLibrary("AAA.TAL", {device("LM358", THM_PKG_SOP, 0.1, 0.5, 40, 150)});
    makeLibrary("BBB.TAL", {device("LM358", THM_PKG_DIPP, 0.2, 0.9, 41, 100),
                            device("LM7805", THM_PKG_FMP, 0.5, 2, 5, 50)});
    const std::string profile = makeProfile({"BBB", "MISSING", "AAA"});

    DesignBuilder b("Libraries");
    b.setOutline(rectangleMm(100, 80));
    const std::int32_t pkg = addPackage(b, "SO-8", 250000, 200000);
    const std::int32_t opamp =
        b.addComponent("U1", pkg, b.addDevice("LM358", "SO-8"), {10 * kMm, 10 * kMm});
    const std::int32_t reg =
        b.addComponent("U2", pkg, b.addDevice("lm7805", "TO-220"), {30 * kMm, 10 * kMm});
    const std::int32_t odd =
        b.addComponent("U3", pkg, b.addDevice("NOSUCHPART", "SO-8"), {50 * kMm, 10 * kMm});
    ASSERT_EQ(load(b.take(), profile), 1);

    struct Case {
        std::int32_t index, packageType;
        double maxPowerW;
        std::int32_t known;
    };
    for (const Case& c :
         {Case{opamp, THM_PKG_SOP, 0.5, 1}, Case{reg, THM_PKG_FMP, 2, 1}, Case{odd, 0, 0, 0}}) {
        SCOPED_TRACE(c.index);
        ComponentParameters p{};
        THM_A_ComponentGet(c.index, &p);
        EXPECT_EQ(val(p.packageType), c.packageType);
        EXPECT_EQ(val(p.maxPowerW), c.maxPowerW);
        EXPECT_EQ(val(p.dutyCyclePercent), 50);
        EXPECT_EQ(slotIndexMap(engine())[c.index].known, c.known);
    }
    // The lookup ends the set it began and leaves no library selected.
    EXPECT_EQ(THM_S_Begin(), 0);
    THM_S_End();
    EXPECT_EQ(selectedNames(), std::vector<std::string>{});
}

TEST_F(LoadTest, ASetBegunByTheCallerIsLeftAloneAndNotSearched) {
    makeLibrary("AAA.TAL", {device("LM358", THM_PKG_SOP, 0.1, 0.5, 40, 150)});
    const std::string profile = makeProfile({"AAA"});
    ASSERT_EQ(THM_S_Begin(), 0);
    DesignBuilder b("Begun");
    b.setOutline(rectangleMm(100, 80));
    const std::int32_t u1 = b.addComponent("U1", addPackage(b, "SO-8", 250000, 200000),
                                           b.addDevice("LM358", "SO-8"), {10 * kMm, 10 * kMm});
    ASSERT_EQ(load(b.take(), profile), 1);
    EXPECT_EQ(slotIndexMap(engine())[u1].known, 0);
    EXPECT_EQ(setNames(), std::vector<std::string>{"AAA"}) << "the set is still begun";
    THM_S_End();
}

}  // namespace
}  // namespace qor::thm::test
