// The field engine on a loaded board: load and shape set with the field matrix, parameters, the
// field of nets, failures, normalisation, the field at a point, the progress interface, and the
// inside test's angle factor.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "board_model.h"
#include "demo_design.h"
#include "field_engine.h"
#include "field_test_support.h"
#include "qor/design/builder.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"
#include "qorema32.h"
#include "raster.h"

namespace qor::ema {
namespace {

namespace fs = std::filesystem;
using design::Point;
using testing::firstDifference;

constexpr std::int32_t kMm = 100000;
constexpr double kVolts = 3.3, kHertz = 1e8;

template <class T>
T val(T value) {
    return value;
}

// A board of 50 mm x 40 mm with a clock net of two traces, a data net and a net without traces.
class FieldEngineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("qor_field_engine_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        design::DesignBuilder b("Field board");
        clk_ = b.addNet("CLK");
        data_ = b.addNet("DATA");
        empty_ = b.addNet("EMPTY");
        b.trace(clk_, 2, 25400).from(kClkA).bendTo(kClkB).bendTo(kClkC);
        b.trace(data_, 2, 25400).from(kDataA).bendTo(kDataB);
        b.trace(clk_, 29, 25400).from(kClkD).bendTo(kClkE);
        b.setOutline({{0, 0}, {50 * kMm, 0}, {50 * kMm, 40 * kMm}, {0, 40 * kMm}});
        const std::string path = (dir_ / "board.qdb").string();
        std::string error;
        ASSERT_TRUE(design::DesignFile::create(path, b.take(), error)) << error;
        ASSERT_EQ(DB_OpenDesign(path.c_str()), 1) << DB_LastError();
        profile_ = (dir_ / "qor32.ini").string();
        std::ofstream(profile_) << "[Qor32]\n";
        EMA_A_DeleteDataBase();
        ASSERT_EQ(EMA_A_Qor_LoadDataBase(profile_.c_str()), 1);
        ASSERT_EQ(EMA_A_BoardShapeSet(), 1);
    }
    void TearDown() override {
        EMA_A_DeleteDataBase();
        DB_CloseDesign();
        fs::remove_all(dir_);
    }

    static FieldPiece piece(Point a, Point b) {
        return makePiece(a.x * 1e-8, a.y * 1e-8, b.x * 1e-8, b.y * 1e-8, kVolts, kHertz);
    }
    std::vector<FieldPiece> clkPieces() const {
        return {piece(kClkA, kClkB), piece(kClkB, kClkC), piece(kClkD, kClkE)};
    }
    // The engine's field after adding `pieces` with the plain formula to `start`.
    static std::vector<double> reference(const std::vector<FieldPiece>& pieces,
                                         std::vector<double> start) {
        FieldRaster r = fieldState().raster();
        r.values = start.data();
        testing::addAllReference(r, pieces);
        return start;
    }
    static std::int32_t normalised(std::int32_t column, std::int32_t row) {
        return thm::temperatureGrid(thm::engine())[row * thm::engine().rasterColumns + column];
    }

  public:
    static constexpr Point kClkA{5 * kMm, 5 * kMm}, kClkB{30 * kMm, 5 * kMm},
        kClkC{30 * kMm, 30 * kMm}, kClkD{10 * kMm, 35 * kMm}, kClkE{40 * kMm, 36 * kMm},
        kDataA{45 * kMm, 2 * kMm}, kDataB{45 * kMm, 38 * kMm};

  protected:
    fs::path dir_;
    std::string profile_;
    std::int32_t clk_ = 0, data_ = 0, empty_ = 0;
};

TEST_F(FieldEngineTest, LoadMakesAZeroFieldAndSetsTheDefaults) {
    const FieldState& f = fieldState();
    EXPECT_EQ(f.columns, 20);  // (5000000 - 254000 + 2540) / 254000 + 2
    EXPECT_EQ(f.rows, 16);
    EXPECT_DOUBLE_EQ(f.spacing, 0.00254);
    EXPECT_DOUBLE_EQ(f.originX, 0.00127);
    ASSERT_EQ(f.grid.size(), 20u * 16u);
    for (double v : f.grid) ASSERT_EQ(v, 0.0);

    FieldParameters p{};
    EMA_A_GetFieldParameters(&p);
    EXPECT_EQ(val(p.stepUnits), 254000);
    EXPECT_EQ(val(p.carriedValue), 25.0);
    EXPECT_EQ(val(p.scaleMode), 0);
    EXPECT_DOUBLE_EQ(val(p.maxFieldVPerM), 90.0);
    EXPECT_EQ(val(p.minFieldVPerM), 0.0);
    EXPECT_EQ(val(p.windowOn), 0);
    EXPECT_EQ(val(p.windowUpper), 4500.0);
    EXPECT_EQ(val(p.windowLower), 1250.0);
    EXPECT_EQ(f.upperLimit, 900000.0);
    EXPECT_EQ(EMA_A_GetITDensity(), 50);
}

TEST_F(FieldEngineTest, ParametersKeepLimitsTimes1e4AndWholeWindowBounds) {
    const FieldParameters in{127000, 7.5, 1, 45.5, 2.25, 1, 800.9, -3.7};
    EMA_A_SetFieldParameters(&in);
    EXPECT_EQ(fieldState().upperLimit, 455000.0);
    EXPECT_EQ(fieldState().lowerLimit, 22500.0);
    FieldParameters out{};
    EMA_A_GetFieldParameters(&out);
    EXPECT_EQ(val(out.stepUnits), 127000);
    EXPECT_EQ(val(out.carriedValue), 7.5);
    EXPECT_EQ(val(out.scaleMode), 1);
    EXPECT_DOUBLE_EQ(val(out.maxFieldVPerM), 45.5);
    EXPECT_DOUBLE_EQ(val(out.minFieldVPerM), 2.25);
    EXPECT_EQ(val(out.windowOn), 1);
    EXPECT_EQ(val(out.windowUpper), 800.0);
    EXPECT_EQ(val(out.windowLower), -3.0);

    // The step takes effect at the next shape set, with a new matrix for the finer raster.
    EXPECT_EQ(fieldState().columns, 20);
    ASSERT_EQ(EMA_A_BoardShapeSet(), 1);
    EXPECT_EQ(thm::engine().rasterStep, 127000);
    EXPECT_EQ(fieldState().columns, 40);
    EXPECT_DOUBLE_EQ(fieldState().spacing, 0.00127);
}

TEST_F(FieldEngineTest, CalcFieldAddsEveryTraceOfTheNetAndAccumulates) {
    const std::vector<double> zero = fieldState().grid;
    ASSERT_EQ(EMA_Calc_Field(clk_, kVolts, kHertz), 1);
    const std::vector<double> once = reference(clkPieces(), zero);
    EXPECT_EQ(firstDifference(fieldState().grid, once), -1);

    ASSERT_EQ(EMA_Calc_Field(data_, kVolts, kHertz), 1);
    const std::vector<double> both = reference({piece(kDataA, kDataB)}, once);
    EXPECT_EQ(firstDifference(fieldState().grid, both), -1);

    // A net without traces changes nothing and succeeds.
    ASSERT_EQ(EMA_Calc_Field(empty_, kVolts, kHertz), 1);
    EXPECT_EQ(firstDifference(fieldState().grid, both), -1);

    EMA_Clear_Field();
    EXPECT_EQ(firstDifference(fieldState().grid, zero), -1);
}

TEST_F(FieldEngineTest, ShapeSetDiscardsTheField) {
    ASSERT_EQ(EMA_Calc_Field(clk_, kVolts, kHertz), 1);
    ASSERT_NE(fieldState().grid[0], 0.0);
    ASSERT_EQ(EMA_A_BoardShapeSet(), 1);
    for (double v : fieldState().grid) ASSERT_EQ(v, 0.0);
}

// Traces handed out by a fake kernel walk: a good one, then one that fails.
struct FakeWalk {
    static inline std::vector<std::int32_t> traces;
    static TraceAccess access() {
        TraceAccess a{};
        a.traceMap = [] { return 1; };
        a.firstCursor = [](std::int32_t) { return 0; };
        a.searchNet = [](std::int32_t* cursor, std::int32_t) {
            return *cursor < static_cast<std::int32_t>(traces.size())
                       ? traces[static_cast<std::size_t>((*cursor)++)]
                       : 0;
        };
        a.readTrace = [](std::int32_t trace, KTraceRecord* r) {
            if (trace == 77) return 0;  // unreadable
            *r = KTraceRecord{};
            r->recordCount = 2;
            return 1;
        };
        a.readRecord = [](std::int32_t, std::int32_t index, KTracePoint* r) {
            *r = KTracePoint{};
            const Point p = index == 1 ? FieldEngineTest::kClkA : FieldEngineTest::kClkB;
            r->x = p.x;
            r->y = p.y;
            return index <= 2 ? 1 : 0;
        };
        return a;
    }
};

TEST_F(FieldEngineTest, FailedTracesSetStage402AndKeepWhatWasAdded) {
    struct Case {
        std::vector<std::int32_t> traces;
        std::int32_t code;
    };
    const Case cases[] = {{{5, 77, 6}, EMA_ERR_TRACE_READ}, {{5, 32000, 6}, EMA_ERR_TRACE_INDEX}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EMA_Clear_Field();
        FakeWalk::traces = c.traces;
        const auto result =
            calcField(thm::engine(), fieldState(), 1, kVolts, kHertz, {}, FakeWalk::access());
        EXPECT_EQ(result, FieldCalcResult::Failed);
        EXPECT_EQ(EMA_A_ErrorCode(), c.code);
        EXPECT_EQ(EMA_A_ErrorFunc(), EMA_STAGE_FIELD);
        const std::vector<double> zero(fieldState().grid.size(), 0.0);
        EXPECT_EQ(firstDifference(fieldState().grid, reference({piece(kClkA, kClkB)}, zero)), -1);
    }
    // Success leaves the last failure in place.
    ASSERT_EQ(EMA_Calc_Field(clk_, kVolts, kHertz), 1);
    EXPECT_EQ(EMA_A_ErrorCode(), EMA_ERR_TRACE_INDEX);
}

TEST_F(FieldEngineTest, MinMaxNormalisesForTheColourScale) {
    ASSERT_EQ(EMA_Calc_Field(clk_, kVolts, kHertz), 1);
    EMA_Min_Max_Field();
    const std::vector<double>& g = fieldState().grid;
    const auto [lo, hi] = std::minmax_element(g.begin(), g.end());
    double fmin = 0, fmax = 0;
    EMA_A_FieldMinMax(&fmin, &fmax);
    EXPECT_EQ(fmin, *lo);
    EXPECT_EQ(fmax, *hi);
    const auto at = [&](std::vector<double>::const_iterator it) {
        const auto i = static_cast<std::int32_t>(it - g.begin());
        return normalised(i / fieldState().rows, i % fieldState().rows);
    };
    EXPECT_EQ(at(hi), 1001);
    EXPECT_EQ(at(lo), 1);

    const std::int32_t surface = G_CreateRecordingSurface();
    const KViewRecord view{1000, 100, 100, 0, 0, 0};
    G_OpenDC(surface, &view);
    EMA_A_DisplayBoard();
    EXPECT_EQ(EMA_A_ColorTempMin(), 1);
    EXPECT_EQ(EMA_A_ColorTempGrid(), 62);  // (1001 - 1 + 1) / 16
    EMA_A_DisplayComponents();
    EXPECT_EQ(EMA_A_ColorTempMin(), 32000);
    EXPECT_EQ(EMA_A_ColorTempGrid(), 1);

    // User limits: everything at or above the upper limit is 1001.
    FieldParameters p{};
    EMA_A_GetFieldParameters(&p);
    p.scaleMode = 1;
    p.maxFieldVPerM = *hi / 2 * 1e-4;
    EMA_A_SetFieldParameters(&p);
    EMA_Min_Max_Field();
    EMA_A_FieldMinMax(&fmin, &fmax);
    EXPECT_DOUBLE_EQ(fmax, *hi / 2);
    for (std::size_t i = 0; i < g.size(); ++i)
        if (g[i] >= fmax) {
            EXPECT_EQ(at(g.begin() + static_cast<std::ptrdiff_t>(i)), 1001);
        }

    // A field of 0 everywhere is 1 everywhere.
    EMA_Clear_Field();
    EMA_Min_Max_Field();
    EMA_A_FieldMinMax(&fmin, &fmax);
    EXPECT_EQ(fmin, 0.0);
    EMA_A_DisplayIsotherms();
    EXPECT_EQ(EMA_A_ColorTempMin(), 1);
    for (std::int32_t c = 0; c < fieldState().columns; ++c)
        for (std::int32_t r = 0; r < fieldState().rows; ++r) ASSERT_EQ(normalised(c, r), 1);
    G_CloseDC();
    G_DeleteSurface(surface);
}

TEST_F(FieldEngineTest, FieldAtAPointFollowsTheDisplayMode) {
    ASSERT_EQ(EMA_Calc_Field(clk_, kVolts, kHertz), 1);
    EMA_Min_Max_Field();
    const std::int32_t x = 12 * kMm, y = 7 * kMm;
    const std::int32_t column = x / 254000, row = y / 254000;
    const double expected =
        fieldState().grid[static_cast<std::size_t>(column * fieldState().rows + row)];
    ASSERT_GT(expected, 0.0);

    const std::int32_t surface = G_CreateRecordingSurface();
    const KViewRecord view{1000, 100, 100, 0, 0, 0};
    G_OpenDC(surface, &view);
    struct Case {
        void (*display)();
        std::int32_t result;
    };
    const Case cases[] = {{EMA_A_DisplayBoard, 2},
                          {EMA_A_DisplayComponents, 0},
                          {EMA_A_DisplayBoardComponents, 2},
                          {EMA_A_DisplayIsotherms, 2}};
    for (const Case& c : cases) {
        c.display();
        double value = -1;
        std::int32_t untouched = 5;
        double untouched2 = 6;
        EXPECT_EQ(EMA_A_FieldGet(x, y, &untouched, &value, &untouched2), c.result);
        EXPECT_EQ(value, c.result == 2 ? expected : -1.0);
        EXPECT_EQ(untouched, 5);
        EXPECT_EQ(untouched2, 6.0);
    }
    double value = -1;
    EXPECT_EQ(EMA_A_FieldGet(-1, y, nullptr, &value, nullptr), 0);
    EXPECT_EQ(EMA_A_FieldGet(x, 40 * kMm + 1, nullptr, &value, nullptr), 0);
    G_CloseDC();
    G_DeleteSurface(surface);
}

void countProgress(void* context, std::int64_t done, std::int64_t total) {
    auto* last = static_cast<std::int64_t*>(context);
    *last = done == total ? -total : done;
}

TEST_F(FieldEngineTest, CalculationWithProgressAndCancel) {
    ASSERT_EQ(EMA_Calc_Field(clk_, kVolts, kHertz), 1);
    const std::vector<double> byExport = fieldState().grid;
    EMA_Clear_Field();

    std::int64_t last = 0;
    FieldCalcControl control;
    control.progress = countProgress;
    control.progressContext = &last;
    EXPECT_EQ(calculateField(clk_, kVolts, kHertz, control), FieldCalcResult::Done);
    EXPECT_EQ(last, -std::int64_t{20 * 16 * 3});
    EXPECT_EQ(firstDifference(fieldState().grid, byExport), -1);

    const std::int32_t code = EMA_A_ErrorCode();
    std::atomic<bool> cancel{true};
    control.cancel = &cancel;
    EXPECT_EQ(calculateField(clk_, kVolts, kHertz, control), FieldCalcResult::Cancelled);
    EXPECT_EQ(firstDifference(fieldState().grid, byExport), -1);
    EXPECT_EQ(EMA_A_ErrorCode(), code);
}

// A narrow clockwise triangle: its tip lies inside for the field engine's 180/pi and outside for
// the thermal engine's 180/3.14, whose larger factor rounds the tip's angle past a whole degree.
TEST(InsideTest, AngleFactorDecidesAtANarrowTip) {
    const auto insideAtTip = [](const thm::EngineVariant& variant) {
        thm::EngineState s(variant);
        const std::vector<thm::OutlinePoint> points = {
            {0, 0}, {0, 0}, {10000000, 174500}, {10000000, 0}, {0, 0}};
        EXPECT_TRUE(thm::allocateBlock(s, s.outline, points.size() * sizeof(thm::OutlinePoint)));
        std::copy(points.begin(), points.end(), thm::outlinePoints(s));
        s.outlineCount = 4;
        const bool inside = thm::insideOutline(s, 0, 0);
        thm::deleteDataBase(s);
        return inside;
    };
    EXPECT_TRUE(insideAtTip(thm::fieldVariant()));
    EXPECT_FALSE(insideAtTip(thm::thermalVariant()));
}

}  // namespace
}  // namespace qor::ema

namespace qor::ema {
namespace {

// The demo design, every net with traces driven: the engine's field has the plain formula's bits.
TEST(DemoDesignField, EveryNetGivesThePlainFormulasBits) {
    const fs::path dir =
        fs::temp_directory_path() / ("qor_field_demo_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = (dir / "demo.qdb").string();
    std::string error;
    ASSERT_TRUE(design::DesignFile::create(path, examples::buildDemoDesign(), error)) << error;
    ASSERT_EQ(DB_OpenDesign(path.c_str()), 1) << DB_LastError();
    const std::string profile = (dir / "qor32.ini").string();
    std::ofstream(profile) << "[Qor32]\n";
    EMA_A_DeleteDataBase();
    ASSERT_EQ(EMA_A_Qor_LoadDataBase(profile.c_str()), 1);
    FieldParameters p{};
    EMA_A_GetFieldParameters(&p);
    p.stepUnits = 50800;
    EMA_A_SetFieldParameters(&p);
    ASSERT_EQ(EMA_A_BoardShapeSet(), 1);

    std::vector<double> expected = fieldState().grid;
    FieldRaster reference = fieldState().raster();
    reference.values = expected.data();
    std::size_t pieces = 0;
    const std::int32_t nets = DB_NetMap();
    std::int32_t cursor = OM_GetFirst(nets);
    for (std::int32_t net = OM_SearchMask(nets, &cursor, 0, 0); net != 0;
         net = OM_SearchMask(nets, &cursor, 0, 0)) {
        const double volts = 1 + net % 5, hertz = 1e6 * (1 + net % 7);
        ASSERT_EQ(EMA_Calc_Field(net, volts, hertz), 1);
        const NetPieces netPieces = collectNetPieces(net, volts, hertz, kernelTraceAccess());
        testing::addAllReference(reference, netPieces.pieces);
        pieces += netPieces.pieces.size();
    }
    EXPECT_GT(pieces, 50u);
    EXPECT_EQ(firstDifference(fieldState().grid, expected), -1);

    EMA_A_DeleteDataBase();
    DB_CloseDesign();
    fs::remove_all(dir);
}

}  // namespace
}  // namespace qor::ema

namespace qor::ema {
namespace {

// The field engine's library search compares device names exactly; the thermal engine's ignores
// case.
TEST(FieldLibrary, DeviceSearchIsCaseSensitive) {
    const fs::path dir =
        fs::temp_directory_path() / ("qor_field_lib_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    const std::string path = (dir / "ICS.TAL").string();
    std::ofstream(path).close();
    const auto found = [&](thm::DeviceLibrary& library, const char* name) {
        EXPECT_EQ(library.select(path.c_str()), 0);
        DeviceRecord record{};
        const std::int32_t result = library.search(name, &record);
        library.release();
        return result;
    };
    thm::DeviceLibrary& library = thm::engine().library;
    ASSERT_EQ(library.create(path.c_str()), 0);
    ASSERT_EQ(library.select(path.c_str()), 0);
    DeviceRecord lm358{};
    ASSERT_EQ(library.insert("LM358", &lm358), 0);
    ASSERT_EQ(library.close(), 0);

    EXPECT_EQ(found(library, "LM358"), 1);
    EXPECT_EQ(found(library, "lm358"), 0);
    thm::DeviceLibrary thermal(thm::thermalVariant().library);
    EXPECT_EQ(found(thermal, "lm358"), 1);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace qor::ema
