// Symbol pin entries and symbol item arrays: what a pin-naming reader needs from the kernel.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "qor/design/builder.h"
#include "qor/design/design_file.h"
#include "kernel_fixture.h"
#include "qor/kernel/kernel.h"

namespace {

using qor::design::Item;

class SymbolItemsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() / ("qor_symbols_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        qor::design::DesignBuilder b("Grid board");
        grid_ = b.addSymbol("BGA4",
                            {{1, "1", -50000, 50000, 0},
                             {2, "2", 50000, 50000, 0},
                             {3, "3", -50000, -50000, 0},
                             {4, "4", 50000, -50000, 0}},
                            {-100000, -100000, 100000, 100000});
        Item marked;  // a line with the mask bit comes before the naming text
        marked.mask = 4;
        Item naming;
        naming.kind = qor::design::kItemText;
        naming.mask = 4 | 1;
        naming.x = 7, naming.y = -9;
        naming.text = "GRID,2,A,B";
        auto& items = b.design().symbols.back().items;
        items.push_back(marked);
        items.push_back(naming);
        const std::string path = (dir_ / "grid.qdb").string();
        std::string error;
        ASSERT_TRUE(qor::design::DesignFile::create(path, b.take(), error)) << error;
        ASSERT_EQ(DB_OpenDesign(path.c_str()), 1) << DB_LastError();
    }
    void TearDown() override {
        DB_CloseDesign();
        std::filesystem::remove_all(dir_);
    }
    std::filesystem::path dir_;
    int32_t grid_ = 0;
};

TEST_F(SymbolItemsTest, EntryFrameAndEntriesAreRelativeToTheSymbol) {
    KRect frame{};
    ASSERT_EQ(S_FrameSymbolEntries(grid_, &frame), 1);
    EXPECT_EQ(frame.left, -50000);
    EXPECT_EQ(frame.bottom, -50000);
    EXPECT_EQ(frame.right, 50000);
    EXPECT_EQ(frame.top, 50000);
    KEntryRecord entry{};
    ASSERT_EQ(S_ReadSymbolEntry(grid_, 4, &entry), 1);
    EXPECT_EQ(entry.pin, 4);
    EXPECT_EQ(entry.x, 50000);
    EXPECT_EQ(entry.y, -50000);
    EXPECT_EQ(entry.padStack, 1);
    for (const int32_t bad : {0, 5, -1}) EXPECT_EQ(S_ReadSymbolEntry(grid_, bad, &entry), 0) << bad;
    EXPECT_EQ(S_ReadSymbolEntry(999, 1, &entry), 0);
    EXPECT_EQ(S_FrameSymbolEntries(999, &frame), 0);
    EXPECT_EQ(S_FrameSymbolEntries(grid_, nullptr), 0);
}

TEST_F(SymbolItemsTest, MaskSearchFindsItemsInOrderAndReadsText) {
    const int32_t items = S_SymbolItemArray(grid_);
    ASSERT_NE(items, 0);
    EXPECT_EQ(OA_GetCount(items), 6);  // four body lines, the marked line, the naming text
    EXPECT_EQ(OA_SearchMask(items, 1, 4), 5);
    EXPECT_EQ(OA_SearchMask(items, 6, 4), 6);
    EXPECT_EQ(OA_SearchMask(items, 7, 4), 0);
    EXPECT_EQ(OA_SearchMask(items, 0, 1), 6)
        << "a search from before the first position starts at 1";
    EXPECT_EQ(OA_SearchMask(items, 1, 64), 0);
    KItemRecord item{};
    ASSERT_EQ(I_ReadItem(items, 6, &item), 1);
    EXPECT_EQ(item.kind, 6);
    EXPECT_EQ(item.mask, 5);
    EXPECT_EQ(item.x, 7);
    EXPECT_EQ(item.y, -9);
    EXPECT_STREQ(item.text, "GRID,2,A,B");
    ASSERT_EQ(I_ReadItem(items, 1, &item), 1);
    EXPECT_EQ(item.kind, 1);
    EXPECT_STREQ(item.text, "");
    EXPECT_EQ(I_ReadItem(items, 7, &item), 0);
    EXPECT_EQ(I_ReadItem(items, 0, &item), 0);
}

TEST_F(SymbolItemsTest, UnknownArraysAndClosedDesignsFailHarmlessly) {
    EXPECT_EQ(S_SymbolItemArray(999), 0);
    EXPECT_EQ(OA_SearchMask(DB_NetMap(), 1, 4), 0) << "a map is not an item array";
    EXPECT_EQ(OA_GetCount(0), 0);
    KItemRecord item{};
    EXPECT_EQ(I_ReadItem(0, 1, &item), 0);
    const int32_t items = S_SymbolItemArray(grid_);
    DB_CloseDesign();
    EXPECT_EQ(OA_SearchMask(items, 1, 4), 0);
    EXPECT_EQ(I_ReadItem(items, 6, &item), 0);
    KRect frame{};
    EXPECT_EQ(S_FrameSymbolEntries(grid_, &frame), 0);
}

}  // namespace

namespace qor::kernel::testing {
namespace {

class CoverTest : public KernelTest {};

// U1 sits at (2 mm, 3 mm) with pad 1 at (-1.905 mm, -2.7 mm) of it; U2 is turned and mirrored.
TEST_F(CoverTest, PadsWinThenTheSmallestFrameHoldingThePoint) {
    struct Case {
        int32_t x, y, aperture;
        int32_t component, pad;
    };
    const Case cases[] = {
        {2000000 - 190500, 3000000 - 270000, 0, f_.u1, 1},        // on pad 1
        {2000000 - 190500 + 100000, 3000000 - 270000, 0, f_.u1, 0},  // beside it (pads are 1.5 mm)
        {2000000 - 190500 + 100000, 3000000 - 270000, 30000, f_.u1, 1},  // reached by the aperture
        {2000000, 3000000, 0, f_.u1, 0},                          // the body
        {4000000 + 100000, 5000000, 0, f_.r1, 2},                 // R1's pad 2
        {9000000, 1000000, 50000, 0, 0},                         // empty board
    };
    for (const Case& c : cases) {
        int32_t pad = -1;
        EXPECT_EQ(L_CoverComponent(c.x, c.y, c.aperture, &pad), c.component) << c.x << "," << c.y;
        EXPECT_EQ(pad, c.pad) << c.x << "," << c.y;
    }
    EXPECT_EQ(L_CoverComponent(2000000, 3000000, 0, nullptr), f_.u1);
    DB_CloseDesign();
    int32_t pad = 7;
    EXPECT_EQ(L_CoverComponent(2000000, 3000000, 0, &pad), 0);
    EXPECT_EQ(pad, 0);
}

}  // namespace
}  // namespace qor::kernel::testing
