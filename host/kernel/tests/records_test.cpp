// The record words callers rely on, read by byte offset as they read them.
#include "kernel_fixture.h"

namespace qor::kernel::testing {
namespace {

TEST_F(KernelTest, ComponentRecordWords) {
    KComponentRecord c;
    ASSERT_EQ(L_ReadComponent(f_.u2, &c), 1) << "success is exactly 1";
    EXPECT_EQ(word(c, 8), 6000000);
    EXPECT_EQ(word(c, 12), 3000000);
    EXPECT_EQ(word(c, 20), f_.so8);
    EXPECT_EQ(word(c, 24), f_.lm358);
    EXPECT_EQ(word(c, 0) & 2, 2) << "flag 2: mirrored";
    EXPECT_EQ(c.angle, 90000);
    EXPECT_STREQ(c.name, "U2");

    ASSERT_EQ(L_ReadComponent(f_.r1, &c), 1);
    EXPECT_EQ(word(c, 24), 0) << "no device";
    EXPECT_EQ(word(c, 0) & 2, 0);

    KComponentRecord untouched;
    std::memset(&untouched, 0x5A, sizeof untouched);
    KComponentRecord probe = untouched;
    EXPECT_EQ(L_ReadComponent(999, &probe), 0);
    EXPECT_EQ(std::memcmp(&probe, &untouched, sizeof probe), 0) << "a failed read fills nothing";
    EXPECT_EQ(L_ReadComponent(f_.u1, nullptr), 0);
}

TEST_F(KernelTest, DeviceAndSymbolRecords) {
    KComponentRecord c;
    ASSERT_EQ(L_ReadComponent(f_.u1, &c), 1);
    KDeviceRecord d;
    ASSERT_NE(D_ReadDevice(word(c, 24), &d), 0);
    const char* name;
    std::memcpy(&name, reinterpret_cast<const char*>(&d) + 4, sizeof name);
    EXPECT_STREQ(name, "LM358") << "the name pointer sits at +4";
    EXPECT_STREQ(d.package, "SO-8");
    EXPECT_EQ(D_ReadDevice(0, &d), 0);

    KSymbolRecord s;
    EXPECT_NE(S_ReadSymbol(word(c, 20), &s), 0);
    EXPECT_EQ(s.padCount, 3);
    EXPECT_STREQ(s.name, "SO-8");
    EXPECT_EQ(S_ReadSymbol(77, &s), 0);
    EXPECT_NE(S_ReadSymbol(design::copperAreaSymbol(1), &s), 0) << "auxiliary symbols have negative numbers";
    EXPECT_STREQ(s.name, "@COPPAR");
}

TEST_F(KernelTest, ComponentFrames) {
    KRect r;
    ASSERT_NE(L_FrameCompEntries(f_.u1, &r), 0);
    EXPECT_EQ((std::array{r.left, r.bottom, r.right, r.top}), (std::array{1809500, 2730000, 2190500, 3270000}));
    ASSERT_NE(L_FrameCompItems(f_.u1, &r), 0);
    EXPECT_EQ((std::array{r.left, r.bottom, r.right, r.top}), (std::array{1750000, 2800000, 2250000, 3200000}));
    // Rotated by 90 degrees and mirrored: the body stands upright.
    ASSERT_NE(L_FrameCompItems(f_.u2, &r), 0);
    EXPECT_EQ((std::array{r.left, r.bottom, r.right, r.top}), (std::array{5800000, 2750000, 6200000, 3250000}));
    EXPECT_EQ(L_FrameCompEntries(999, &r), 0);
}

TEST_F(KernelTest, OutlineTraceAndFrame) {
    KTraceRecord t;
    ASSERT_NE(T_ReadTrace(-1, &t), 0);
    EXPECT_EQ(word(t, 8), 6) << "five corners and the closing point";
    KTracePoint p;
    const std::array<std::array<int32_t, 2>, 6> corners{
        {{0, 0}, {10000000, 0}, {10000000, 7000000}, {9000000, 8000000}, {0, 8000000}, {0, 0}}};
    for (int32_t i = 1; i <= 6; ++i) {
        ASSERT_NE(T_ReadRecord(-1, i, &p), 0) << i;
        EXPECT_EQ(word(p, 0) & 4, 4) << "bend point";
        EXPECT_EQ(word(p, 20), corners[static_cast<size_t>(i - 1)][0]);
        EXPECT_EQ(word(p, 24), corners[static_cast<size_t>(i - 1)][1]);
    }
    EXPECT_EQ(T_ReadRecord(-1, 7, &p), 0) << "reads fail past the last record";
    EXPECT_EQ(T_ReadRecord(-1, 0, &p), 0);
    KRect r;
    ASSERT_NE(T_FrameTraceLines(-1, 63, &r), 0);
    EXPECT_EQ((std::array{r.left, r.bottom, r.right, r.top}), (std::array{0, 0, 10000000, 8000000}));
    EXPECT_EQ(T_FrameTraceLines(4242, 63, &r), 0);
}

TEST_F(KernelTest, TraceRecordWordsWithArcAndVia) {
    KTraceRecord t;
    ASSERT_NE(T_ReadTrace(f_.vccTrace, &t), 0);
    EXPECT_EQ(word(t, 4), f_.vcc);
    EXPECT_EQ(word(t, 8), 6);

    struct Expected {
        int32_t flags, w4, w8, w12, x, y;
    };
    const Expected expected[] = {
        {2, f_.nodeU1Vcc, 2, 50800, 1809500, 3270000},   // node
        {4, 0, 2, 50800, 1809500, 4000000},              // bend
        {0x30, 1000000, 0, 1000000, 2102393, 4707107},   // arc centre: dx, dy, radius; point halfway
        {4, 0, 2, 50800, 2809500, 5000000},              // arc end
        {8, 0, 29, 50800, 5000000, 5000000},             // via, bottom layer after it
        {2, f_.nodeU2Vcc, 29, 50800, 5730000, 3190500},  // node on U2 (rotated, mirrored)
    };
    for (int32_t i = 1; i <= 6; ++i) {
        KTracePoint p;
        ASSERT_NE(T_ReadRecord(f_.vccTrace, i, &p), 0);
        const Expected& e = expected[i - 1];
        EXPECT_EQ(word(p, 0), e.flags) << i;
        EXPECT_EQ(word(p, 4), e.w4) << i;
        EXPECT_EQ(word(p, 8), e.w8) << i;
        EXPECT_EQ(word(p, 12), e.w12) << i;
        EXPECT_EQ(word(p, 20), e.x) << i;
        EXPECT_EQ(word(p, 24), e.y) << i;
        EXPECT_TRUE((e.flags & 0xE) == 0 || (e.flags & 0xE) == 2 || (e.flags & 0xE) == 4 || (e.flags & 0xE) == 8)
            << "exactly one kind bit";
    }
    KTracePoint p;
    EXPECT_EQ(T_ReadRecord(f_.vccTrace, 7, &p), 0);
}

TEST_F(KernelTest, NodeRecordIsExactly28Bytes) {
    struct {
        KNodeRecord node;
        int32_t sentinel[4];
    } buf;
    std::memset(&buf, 0x77, sizeof buf);
    ASSERT_NE(N_ReadNode(f_.nodeU2Vcc, &buf.node), 0);
    EXPECT_EQ(word(buf.node, 12), f_.u2);
    EXPECT_EQ(word(buf.node, 16), 8);
    EXPECT_EQ(word(buf.node, 20), 5730000);
    EXPECT_EQ(word(buf.node, 24), 3190500);
    EXPECT_EQ(buf.node.net, f_.vcc);
    for (const int32_t s : buf.sentinel) EXPECT_EQ(s, 0x77777777) << "nothing written past 28 bytes";
    EXPECT_EQ(N_ReadNode(0, &buf.node), 0);
}

TEST_F(KernelTest, NothingIsReadWithNoDesignOpen) {
    ASSERT_EQ(DB_CloseDesign(), 1);
    EXPECT_EQ(DB_CloseDesign(), 0);
    KComponentRecord c;
    KTraceRecord t;
    KRect r;
    EXPECT_EQ(DB_DataBase(), 0);
    EXPECT_EQ(DB_LayCompMap(), 0);
    EXPECT_EQ(DB_FileMap(), 0);
    EXPECT_EQ(L_ReadComponent(f_.u1, &c), 0);
    EXPECT_EQ(T_ReadTrace(-1, &t), 0);
    EXPECT_EQ(T_FrameTraceLines(-1, 63, &r), 0);
    EXPECT_EQ(F_CreateFile(0, "X"), 0);
    int32_t cursor = OM_GetFirst(1);
    EXPECT_EQ(OM_SearchMask(1, &cursor, 0, 0), 0);
    EXPECT_EQ(O_GetName(0x01000001), nullptr);
    ASSERT_EQ(DB_OpenDesign(path_.c_str()), 1);
}

TEST_F(KernelTest, OpeningErrorsAreClear) {
    EXPECT_EQ(DB_OpenDesign(path_.c_str()), 0) << "one design at a time";
    EXPECT_NE(std::string(DB_LastError()).find("already open"), std::string::npos);
    ASSERT_EQ(DB_CloseDesign(), 1);
    const std::string missing = (dir_ / "missing.qdb").string();
    EXPECT_EQ(DB_OpenDesign(missing.c_str()), 0);
    EXPECT_NE(std::string(DB_LastError()).find("not found"), std::string::npos) << DB_LastError();
    EXPECT_EQ(DB_OpenDesign(nullptr), 0);
    EXPECT_EQ(DB_CreateDesign(path_.c_str(), "x"), 0) << "an existing file is never overwritten";
    const std::string fresh = (dir_ / "fresh.qdb").string();
    ASSERT_EQ(DB_CreateDesign(fresh.c_str(), "Fresh"), 1) << DB_LastError();
    EXPECT_STREQ(O_GetName(DB_DataBase()), "Fresh");
    EXPECT_EQ(OM_GetCount(DB_LayCompMap()), 0);
    EXPECT_EQ(OM_GetCount(DB_LayerMap()), 32);
    ASSERT_EQ(DB_CloseDesign(), 1);
    ASSERT_EQ(DB_OpenDesign(path_.c_str()), 1);
}

TEST_F(KernelTest, SaveKeepsChangesAcrossReopening) {
    ASSERT_EQ(OM_MaskAll(DB_NetMap(), 1, 1), 1);
    ASSERT_EQ(DB_SaveDesign(), 1) << DB_LastError();
    reopen();
    int32_t cursor = OM_GetFirst(DB_NetMap());
    EXPECT_EQ(OM_SearchMask(DB_NetMap(), &cursor, 1, 1), f_.vcc);
    // Unsaved changes are dropped on close.
    ASSERT_EQ(OM_MaskAll(DB_NetMap(), 0, 1), 1);
    reopen();
    cursor = OM_GetFirst(DB_NetMap());
    EXPECT_EQ(OM_SearchMask(DB_NetMap(), &cursor, 1, 1), f_.vcc);
}

}  // namespace
}  // namespace qor::kernel::testing
