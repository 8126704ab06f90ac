// Walks, lookups by name and object names.
#include <vector>

#include "kernel_fixture.h"

namespace qor::kernel::testing {
namespace {

std::vector<int32_t> walk(int32_t map, int32_t mask = 0, int32_t value = 0) {
    std::vector<int32_t> out;
    int32_t cursor = OM_GetFirst(map);
    while (const int32_t n = OM_SearchMask(map, &cursor, mask, value)) {
        out.push_back(n);
        if (out.size() > 1000) break;
    }
    return out;
}

TEST_F(KernelTest, WalksVisitEveryObjectOnceAndThenStayAtTheEnd) {
    EXPECT_EQ(walk(DB_LayCompMap()), (std::vector{f_.u1, f_.u2, f_.r1}));
    EXPECT_EQ(walk(DB_NetMap()), (std::vector{f_.vcc, f_.sig}));
    EXPECT_EQ(walk(DB_TraceMap()), (std::vector{f_.vccTrace, f_.sigTrace, f_.sigTrace2}))
        << "the outline is not part of trace walks";
    EXPECT_EQ(walk(N_NodeMap(f_.sig)), (std::vector{f_.nodeU1Sig, f_.nodeR1Sig}));
    EXPECT_EQ(walk(DB_HierarchyMap()), std::vector{1});
    EXPECT_EQ(walk(DB_LayerMap()).size(), 32u);

    int32_t cursor = OM_GetFirst(DB_LayCompMap());
    for (int i = 0; i < 3; ++i) OM_SearchMask(DB_LayCompMap(), &cursor, 0, 0);
    EXPECT_EQ(OM_SearchMask(DB_LayCompMap(), &cursor, 0, 0), 0);
    EXPECT_EQ(OM_SearchMask(DB_LayCompMap(), &cursor, 0, 0), 0) << "past the end stays 0";
}

TEST_F(KernelTest, MaskSelectsWhereMaskedBitsEqualTheValue) {
    ASSERT_EQ(OM_MaskAll(DB_NetMap(), 0x51, 0xFF), 1);  // every net: bits 0x51
    int32_t cursor = OM_GetFirst(DB_NetMap());
    ASSERT_EQ(OM_SearchMask(DB_NetMap(), &cursor, 0, 0), f_.vcc);
    EXPECT_EQ(walk(DB_NetMap(), 1, 1).size(), 2u);
    EXPECT_EQ(walk(DB_NetMap(), 2, 2).size(), 0u);
    EXPECT_EQ(walk(DB_NetMap(), 0x41, 0x40).size(), 0u);
    ASSERT_EQ(OM_MaskAll(DB_NetMap(), 0, 80), 1);  // clears bits 0x50 only
    EXPECT_EQ(walk(DB_NetMap(), 0xFF, 0x01).size(), 2u);
}

TEST_F(KernelTest, SearchNetWalksTheTracesOfOneNet) {
    const auto traces = [](int32_t net) {
        std::vector<int32_t> out;
        int32_t cursor = OM_GetFirst(DB_TraceMap());
        while (const int32_t t = T_SearchNet(&cursor, net)) out.push_back(t);
        return out;
    };
    EXPECT_EQ(traces(f_.sig), (std::vector{f_.sigTrace, f_.sigTrace2}));
    EXPECT_EQ(traces(f_.vcc), std::vector{f_.vccTrace});
    EXPECT_TRUE(traces(999).empty());
    EXPECT_EQ(T_SearchNet(nullptr, f_.vcc), 0);
}

TEST_F(KernelTest, BadWalkArgumentsEndTheWalk) {
    int32_t cursor = -5;
    EXPECT_EQ(OM_SearchMask(DB_LayCompMap(), &cursor, 0, 0), 0);
    cursor = 0;
    EXPECT_EQ(OM_SearchMask(12345, &cursor, 0, 0), 0);
    EXPECT_EQ(OM_SearchMask(DB_LayCompMap(), nullptr, 0, 0), 0);
    EXPECT_EQ(N_NodeMap(999), 0);
}

TEST_F(KernelTest, FindByNameAndObjectNames) {
    struct Case {
        int32_t map;
        const char* name;
        int32_t expected;
    } cases[] = {
        {DB_LayCompMap(), "U2", f_.u2},  {DB_LayCompMap(), "u2", f_.u2}, {DB_LayCompMap(), "U9", 0},
        {DB_NetMap(), "Sig", f_.sig},    {DB_NetMap(), "SIG", f_.sig},   {DB_NetMap(), "", 0},
        {DB_LayerMap(), "bottom", 30},   {DB_HierarchyMap(), "Main", 1}, {DB_FileMap(), "THERMO_A", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(OM_FindName(c.map, c.name), c.expected) << c.name;
    EXPECT_EQ(OM_FindName(DB_NetMap(), nullptr), 0);

    EXPECT_STREQ(O_GetName(DB_DataBase()), "Fixture board");
    EXPECT_STREQ(O_GetName(OM_Object(DB_HierarchyMap(), DB_CurHier())), "Main");
    EXPECT_STREQ(O_GetName(OM_Object(DB_LayerMap(), 2 + 1)), "Top");
    EXPECT_STREQ(O_GetName(L_Component(f_.r1)), "R1");
    EXPECT_STREQ(O_GetName(D_Device(f_.u1)), "LM358");
    EXPECT_EQ(D_Device(f_.r1), 0) << "R1 has no device";
    EXPECT_STREQ(O_GetName(N_Net(f_.vcc)), "VCC");
    EXPECT_EQ(N_Net(999), 0);
    EXPECT_EQ(O_GetName(0), nullptr);
    EXPECT_EQ(OM_Object(DB_LayCompMap(), 999), 0);
}

}  // namespace
}  // namespace qor::kernel::testing
