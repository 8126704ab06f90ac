// The traces of a net as pieces: the walk, its failures, and a net read through the kernel.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "field_test_support.h"
#include "net_field.h"
#include "qor/design/builder.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"

namespace qor::ema {
namespace {

using testing::addAllReference;
using testing::firstDifference;
using testing::OwnedField;

// A trace of the fake design: its number, its points, and what cannot be read.
struct FakeTrace {
    std::int32_t number;
    std::vector<std::pair<std::int32_t, std::int32_t>> points;
    bool headerUnreadable = false;
    std::int32_t firstUnreadableRecord = 0;  // 0 = all readable
    std::int32_t recordCount = -1;           // -1 = the number of points
};

// The traces that T_SearchNet hands out for the net under test, in order.
std::vector<FakeTrace> gTraces;
std::vector<std::int32_t> gRecordsRead;  // trace numbers whose records were read

const FakeTrace* findTrace(std::int32_t number) {
    for (const FakeTrace& t : gTraces)
        if (t.number == number) return &t;
    return nullptr;
}

TraceAccess fakeAccess() {
    TraceAccess a{};
    a.traceMap = [] { return 7; };
    a.firstCursor = [](std::int32_t map) { return map == 7 ? 1 : 0; };
    a.searchNet = [](std::int32_t* cursor, std::int32_t net) {
        if (net != 3 || *cursor < 1 || *cursor > static_cast<std::int32_t>(gTraces.size()))
            return 0;
        return gTraces[static_cast<std::size_t>((*cursor)++ - 1)].number;
    };
    a.readTrace = [](std::int32_t trace, KTraceRecord* record) {
        const FakeTrace* t = findTrace(trace);
        if (!t || t->headerUnreadable) return 0;
        *record = KTraceRecord{};
        record->net = 3;
        record->recordCount =
            t->recordCount >= 0 ? t->recordCount : static_cast<std::int32_t>(t->points.size());
        record->number = trace;
        return 1;
    };
    a.readRecord = [](std::int32_t trace, std::int32_t index, KTracePoint* record) {
        const FakeTrace* t = findTrace(trace);
        if (!t || index < 1 || index > static_cast<std::int32_t>(t->points.size())) return 0;
        if (t->firstUnreadableRecord != 0 && index >= t->firstUnreadableRecord) return 0;
        gRecordsRead.push_back(trace);
        *record = KTracePoint{};
        record->x = t->points[static_cast<std::size_t>(index - 1)].first;
        record->y = t->points[static_cast<std::size_t>(index - 1)].second;
        return 1;
    };
    return a;
}

constexpr double kVolts = 5, kHertz = 2e7;

FieldPiece pieceOf(std::pair<std::int32_t, std::int32_t> a,
                   std::pair<std::int32_t, std::int32_t> b) {
    return makePiece(a.first * 1e-8, a.second * 1e-8, b.first * 1e-8, b.second * 1e-8, kVolts,
                     kHertz);
}

class NetWalk : public ::testing::Test {
  protected:
    void TearDown() override {
        gTraces.clear();
        gRecordsRead.clear();
    }
    // Adds the net's field to a fresh field with a pattern in it and checks it against the
    // reference for `expected` pieces.
    void expectField(FieldOutcome outcome, std::int32_t errorCode,
                     const std::vector<FieldPiece>& expected) {
        OwnedField field(11, 9, 0.0025, 0.0012, 0.0012);
        for (std::size_t i = 0; i < field.values.size(); ++i) field.values[i] = double(i % 5);
        OwnedField reference = field;
        addAllReference(reference.raster, expected);
        const NetFieldResult result =
            addNetField(field.raster, 3, kVolts, kHertz, {}, fakeAccess());
        EXPECT_EQ(result.outcome, outcome);
        EXPECT_EQ(result.errorCode, errorCode);
        EXPECT_EQ(firstDifference(field.values, reference.values), -1);
    }
};

const std::pair<std::int32_t, std::int32_t> kA{100000, 200000}, kB{900000, 250000},
    kC{900000, 1200000}, kD{300000, 700000};

TEST_F(NetWalk, PiecesFollowTheRecordsOfEveryTrace) {
    gTraces = {{5, {kA, kB, kC}}, {6, {kD, kA}}};
    expectField(FieldOutcome::Done, 0, {pieceOf(kA, kB), pieceOf(kB, kC), pieceOf(kD, kA)});
}

TEST_F(NetWalk, NetWithoutTracesLeavesTheFieldAlone) {
    gTraces = {};
    expectField(FieldOutcome::Done, 0, {});
}

TEST_F(NetWalk, TraceWithOneRecordAddsNothing) {
    gTraces = {{5, {kA}}, {6, {kB, kC}}};
    expectField(FieldOutcome::Done, 0, {pieceOf(kB, kC)});
}

TEST_F(NetWalk, TraceIndexAbove31999Fails419KeepingWhatWasAdded) {
    gTraces = {{31999, {kA, kB}}, {32000, {kC, kD}}, {8, {kD, kA}}};
    expectField(FieldOutcome::Failed, kErrTraceIndexTooBig, {pieceOf(kA, kB)});
}

TEST_F(NetWalk, UnreadableTraceFails418KeepingWhatWasAdded) {
    gTraces = {{5, {kA, kB}}, {6, {kC, kD}, true}, {8, {kD, kA}}};
    expectField(FieldOutcome::Failed, kErrTraceUnreadable, {pieceOf(kA, kB)});
}

TEST_F(NetWalk, UnreadableFirstRecordEndsTheWalkWithSuccess) {
    gTraces = {{5, {kA, kB}}, {6, {kC, kD}, false, 1}, {8, {kD, kA}}};
    expectField(FieldOutcome::Done, 0, {pieceOf(kA, kB)});
    EXPECT_EQ(std::count(gRecordsRead.begin(), gRecordsRead.end(), 8), 0);
}

TEST_F(NetWalk, UnreadableLaterRecordEndsOnlyItsTrace) {
    gTraces = {{5, {kA, kB, kC, kD}, false, 3}, {6, {kD, kA}}};
    expectField(FieldOutcome::Done, 0, {pieceOf(kA, kB), pieceOf(kD, kA)});
}

TEST_F(NetWalk, RecordCountOfTheHeaderBoundsTheWalk) {
    gTraces = {{5, {kA, kB, kC}, false, 0, 2}};
    expectField(FieldOutcome::Done, 0, {pieceOf(kA, kB)});
}

TEST_F(NetWalk, DriveWithoutFrequencyAddsNothingButStillReportsBadTraces) {
    gTraces = {{5, {kA, kB}}, {32001, {kC, kD}}};
    OwnedField field(5, 4, 0.0025, 0.0012, 0.0012);
    const std::vector<double> before = field.values;
    const NetFieldResult result = addNetField(field.raster, 3, kVolts, 0, {}, fakeAccess());
    EXPECT_EQ(result.outcome, FieldOutcome::Failed);
    EXPECT_EQ(result.errorCode, kErrTraceIndexTooBig);
    EXPECT_EQ(firstDifference(field.values, before), -1);
}

// A net of a real design file, read through the kernel.
TEST(NetFieldThroughKernel, TracesOfTheNetOnly) {
    using design::Point;
    design::DesignBuilder b("Field");
    const std::int32_t clk = b.addNet("CLK");
    const std::int32_t data = b.addNet("DATA");
    b.trace(clk, 2, 25400)
        .from({1000000, 1000000})
        .bendTo({3000000, 1000000})
        .bendTo({3000000, 2500000});
    b.trace(data, 2, 25400).from({500000, 500000}).bendTo({500000, 3000000});
    b.trace(clk, 29, 25400).from({4000000, 500000}).bendTo({4000000, 500000});
    b.setOutline({{0, 0}, {5000000, 0}, {5000000, 4000000}, {0, 4000000}});
    const auto dir =
        std::filesystem::temp_directory_path() / ("qor_field_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "field.qdb").string();
    std::string error;
    ASSERT_TRUE(design::DesignFile::create(path, b.take(), error)) << error;
    ASSERT_EQ(DB_OpenDesign(path.c_str()), 1) << DB_LastError();

    OwnedField field(19, 15, 0.00254, 0.00127, 0.00127);
    OwnedField reference = field;
    const auto m = [](std::int32_t units) { return units * 1e-8; };
    addAllReference(reference.raster,
                    {makePiece(m(1000000), m(1000000), m(3000000), m(1000000), 3.3, 1e8),
                     makePiece(m(3000000), m(1000000), m(3000000), m(2500000), 3.3, 1e8)});
    const NetFieldResult result = addNetField(field.raster, clk, 3.3, 1e8, {});
    DB_CloseDesign();
    std::filesystem::remove_all(dir);
    EXPECT_EQ(result.outcome, FieldOutcome::Done);
    EXPECT_EQ(firstDifference(field.values, reference.values), -1);
    EXPECT_GT(field.values[0], 0.0);
}

}  // namespace
}  // namespace qor::ema
