#include "qor/frontend/pin_name.h"

#include <gtest/gtest.h>

#include "qor/design/builder.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"
#include "test_support.h"

namespace qor::frontend {
namespace {

using design::Item;
using design::Pad;

Item namingText(std::string text, int32_t mask = 4) {
    Item item;
    item.kind = design::kItemText;
    item.mask = mask;
    item.text = std::move(text);
    return item;
}

// A board with grid packages: 3 columns x 2 rows at a 1 mm pitch, with and without a full naming
// text, one with a gap in its grid, and a plain package.
class PinNameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        design::DesignBuilder b("Grid board");
        // Pins 1..6 row by row from the top left: (0,100000) (100000,100000) (200000,100000) and
        // the same at y = 0.
        std::vector<Pad> grid;
        for (int32_t i = 0; i < 6; ++i)
            grid.push_back({i + 1, "", (i % 3) * 100000, (1 - i / 3) * 100000, 0});
        const auto gridPackage = [&](const std::string& name, std::vector<Item> extra) {
            const int32_t symbol = b.addSymbol(name, grid, {-50000, -50000, 250000, 150000});
            for (Item& it : extra) b.design().symbols.back().items.push_back(std::move(it));
            return b.addComponent("U" + std::to_string(symbol), symbol, 0, {1000000 * symbol, 0},
                                  90000);
        };
        Item markedLine;  // carries mask 4 but is no text: passed over
        markedLine.mask = 4;
        full_ =
            gridPackage("BGA6", {markedLine, namingText("BGA,3, A ,B"), namingText("BGA,3,X,Y")});
        twoColumns_ = gridPackage("BGA6-2C", {namingText("BGA,2,A,B")});
        oneRow_ = gridPackage("BGA6-1R", {namingText("BGA,3,A")});
        tooShort_ = gridPackage("BGA6-S", {namingText("BGA,3")});
        unmarked_ = gridPackage("BGA6-U", {namingText("BGA,3,A,B", 1)});
        emptyRow_ = gridPackage("BGA6-E", {namingText("BGA,3, ,B")});
        // A 2 mm column pitch with the middle column missing except in the top row.
        std::vector<Pad> sparse = {{1, "", 0, 100000, 0},
                                   {2, "", 200000, 100000, 0},
                                   {3, "", 400000, 100000, 0},
                                   {4, "", 0, 0, 0},
                                   {5, "", 400000, 0, 0}};
        const int32_t sparseSymbol =
            b.addSymbol("SPARSE", sparse, {-50000, -50000, 450000, 150000});
        b.design().symbols.back().items.push_back(namingText("BGA,3,A,B"));
        sparse_ = b.addComponent("U9", sparseSymbol, 0, {9000000, 0});
        const int32_t so8 =
            b.addSymbol("SO-8", {{1, "1", 0, 0, 0}, {8, "8", 0, 100000, 0}}, {-1, -1, 1, 1});
        plain_ = b.addComponent("U10", so8, 0, {0, 5000000});

        path_ = dir_.file("grid.qdb");
        std::string error;
        ASSERT_TRUE(design::DesignFile::create(path_, b.take(), error)) << error;
        ASSERT_EQ(DB_OpenDesign(path_.c_str()), 1) << DB_LastError();
    }
    void TearDown() override { DB_CloseDesign(); }

    testing::ScratchDir dir_;
    std::string path_;
    int32_t full_ = 0, twoColumns_ = 0, oneRow_ = 0, tooShort_ = 0, unmarked_ = 0, emptyRow_ = 0,
            sparse_ = 0, plain_ = 0;
};

TEST_F(PinNameTest, GridPackagesNameColumnAndRow) {
    const struct {
        const char* what;
        int32_t component;
        int32_t pad;
        const char* name;
    } cases[] = {
        {"top left", full_, 1, "1A"},
        {"top right", full_, 3, "3A"},
        {"second row", full_, 5, "2B"},
        {"pad not in the package", full_, 7, "7"},
        {"column above the count", twoColumns_, 3, "3"},
        {"column within the count", twoColumns_, 2, "2A"},
        {"row without a name", oneRow_, 4, "4"},
        {"row with a name", oneRow_, 1, "1A"},
        {"fewer than three fields", tooShort_, 1, "1"},
        {"text without mask bit 4", unmarked_, 1, "1"},
        {"blank row name", emptyRow_, 2, "2"},
        {"pitch from the nearest entry", sparse_, 2, "2A"},
        {"pitch from the nearest entry, far column", sparse_, 5, "3B"},
        {"plain package", plain_, 8, "8"},
    };
    for (const auto& c : cases) EXPECT_EQ(PinName(c.component, c.pad), c.name) << c.what;
}

TEST_F(PinNameTest, UnknownComponentsAndClosedDesignsGiveThePadNumber) {
    EXPECT_EQ(PinName(999, 3), "3");
    DB_CloseDesign();
    EXPECT_EQ(PinName(full_, 1), "1");
}

}  // namespace
}  // namespace qor::frontend
