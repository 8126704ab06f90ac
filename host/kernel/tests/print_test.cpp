// E_PrintScaleSetupDialog: scale, page tiling and the installed print-scale dialog.
#include "qor/kernel/print.h"

#include <gtest/gtest.h>

#include "qor/kernel/kernel.h"

namespace {

KPrintSetup page(int32_t width, int32_t height, int32_t dpi, int32_t scale) {
    KPrintSetup s{};
    s.pageWidth = width, s.pageHeight = height, s.dotsPerInch = dpi, s.scale = scale;
    return s;
}

TEST(PrintSetup, TilesTheAreaAtTheChosenScale) {
    struct Case {
        const char* name;
        KRect area;
        int32_t maxZoom;
        KPrintSetup in;
        int32_t columns, rows, stepX, stepY;
        KViewRecord view;
    } cases[] = {
        {"fit",
         {0, 0, 10000000, 8000000},
         2540000,
         page(1000, 800, 100, 0),
         1,
         1,
         10000000,
         8000000,
         {10000, 1000, 800, 5000000, 4000000, 0}},
        {"fit, the wider side decides",
         {-500000, 100000, 9500000, 6100000},
         2540000,
         page(1000, 800, 100, 0),
         1,
         1,
         10000000,
         8000000,
         {10000, 1000, 800, 4500000, 2100000, 0}},
        {"fit rounds the zoom up",
         {0, 0, 1000001, 10},
         2540000,
         page(1000, 800, 100, 0),
         1,
         1,
         1001000,
         800800,
         {1001, 1000, 800, 500500, -400390, 0}},
        {"1:1",
         {0, 0, 10000000, 8000000},
         2540000,
         page(1000, 800, 100, 1000),
         1,
         1,
         25400000,
         20320000,
         {25400, 1000, 800, 12700000, -2160000, 0}},
        {"2:1",
         {0, 0, 30000000, 8000000},
         2540000,
         page(1000, 800, 100, 2000),
         3,
         1,
         12700000,
         10160000,
         {12700, 1000, 800, 6350000, 2920000, 0}},
        {"10:1 on many pages",
         {0, 0, 10000000, 8000000},
         2540000,
         page(1000, 800, 300, 10000),
         12,
         12,
         847000,
         677600,
         {847, 1000, 800, 423500, 7661200, 0}},
        {"fit held at the largest zoom",
         {-220000000, -220000000, 220000000, 220000000},
         100000,
         page(1000, 800, 100, 0),
         5,
         6,
         100000000,
         80000000,
         {100000, 1000, 800, -170000000, 180000000, 0}},
    };
    for (const auto& c : cases) {
        KPrintSetup s = c.in;
        ASSERT_EQ(E_PrintScaleSetupDialog(0, c.area.left, c.area.bottom, c.area.right, c.area.top,
                                          c.maxZoom, &s, 0),
                  1)
            << c.name;
        EXPECT_EQ(s.columns, c.columns) << c.name;
        EXPECT_EQ(s.rows, c.rows) << c.name;
        EXPECT_EQ(s.stepX, c.stepX) << c.name;
        EXPECT_EQ(s.stepY, c.stepY) << c.name;
        EXPECT_EQ(s.view.zoom, c.view.zoom) << c.name;
        EXPECT_EQ(s.view.width, c.view.width) << c.name;
        EXPECT_EQ(s.view.height, c.view.height) << c.name;
        EXPECT_EQ(s.view.originX, c.view.originX) << c.name;
        EXPECT_EQ(s.view.originY, c.view.originY) << c.name;
        EXPECT_EQ(s.view.drawFlags, 0) << c.name;
        EXPECT_EQ(s.scale, c.in.scale) << c.name;
        // The pages cover the area: the last page's far edges lie at or beyond the area's.
        EXPECT_GE(int64_t{s.view.originX} - s.stepX / 2 + int64_t{s.columns} * s.stepX,
                  c.area.right)
            << c.name;
        EXPECT_LE(int64_t{s.view.originY} + s.stepY / 2 - int64_t{s.rows} * s.stepY, c.area.bottom)
            << c.name;
    }
}

TEST(PrintSetup, NonsenseIsRefusedAndLeavesTheRecord) {
    struct Case {
        const char* name;
        KRect area;
        KPrintSetup in;
        int32_t maxZoom;
    } cases[] = {
        {"empty width", {5, 0, 5, 10}, page(1000, 800, 100, 0), 2540000},
        {"upside down", {0, 10, 10, 0}, page(1000, 800, 100, 0), 2540000},
        {"no page width", {0, 0, 10, 10}, page(0, 800, 100, 0), 2540000},
        {"negative page height", {0, 0, 10, 10}, page(1000, -1, 100, 0), 2540000},
        {"negative scale", {0, 0, 10, 10}, page(1000, 800, 100, -1000), 2540000},
        {"a scale needs a resolution", {0, 0, 10, 10}, page(1000, 800, 0, 1000), 2540000},
        {"pages beyond 32 bits", {0, 0, 10, 10}, page(100000, 100000, 1, 1), 0},
    };
    for (const auto& c : cases) {
        KPrintSetup s = c.in;
        s.columns = -7;
        EXPECT_EQ(E_PrintScaleSetupDialog(0, c.area.left, c.area.bottom, c.area.right, c.area.top,
                                          c.maxZoom, &s, 0),
                  0)
            << c.name;
        EXPECT_EQ(s.columns, -7) << c.name;
    }
    EXPECT_EQ(E_PrintScaleSetupDialog(0, 0, 0, 10, 10, 2540000, nullptr, 0), 0);
}

TEST(PrintSetup, TheInstalledDialogSeesTheProposalAndMayChangeOrCancel) {
    KRect seenArea{};
    int32_t seenScale = -1, seenOwner = 0, answerScale = 1000;
    bool accept = true;
    qor::kernel::setPrintScaleDialog([&](const KRect& area, KPrintSetup& setup, int32_t owner) {
        seenArea = area, seenScale = setup.scale, seenOwner = owner;
        setup.scale = answerScale;
        return accept;
    });
    KPrintSetup s = page(1000, 800, 100, 0);
    ASSERT_EQ(E_PrintScaleSetupDialog(0, 0, 0, 10000000, 8000000, 2540000, &s, 77), 1);
    EXPECT_EQ(seenScale, 0);
    EXPECT_EQ(seenOwner, 77);
    EXPECT_EQ(seenArea.right, 10000000);
    EXPECT_EQ(seenArea.top, 8000000);
    EXPECT_EQ(s.scale, 1000) << "the dialog's scale is the one used";
    EXPECT_EQ(s.view.zoom, 25400);

    answerScale = -5;
    s = page(1000, 800, 100, 0);
    EXPECT_EQ(E_PrintScaleSetupDialog(0, 0, 0, 10000000, 8000000, 2540000, &s, 0), 0)
        << "a nonsense answer";
    EXPECT_EQ(s.scale, 0);

    accept = false;
    answerScale = 1000;
    s = page(1000, 800, 100, 0);
    EXPECT_EQ(E_PrintScaleSetupDialog(0, 0, 0, 10000000, 8000000, 2540000, &s, 0), 0)
        << "cancelled";
    EXPECT_EQ(s.scale, 0) << "a cancelled dialog leaves the record";
    EXPECT_EQ(s.columns, 0);

    seenScale = -1;
    EXPECT_EQ(E_PrintScaleSetupDialog(0, 0, 0, 0, 8000000, 2540000, &s, 0), 0);
    EXPECT_EQ(seenScale, -1) << "nonsense is refused before the dialog shows";
    qor::kernel::setPrintScaleDialog({});
    EXPECT_EQ(E_PrintScaleSetupDialog(0, 0, 0, 10000000, 8000000, 2540000, &s, 0), 1)
        << "fit without a dialog";
    EXPECT_EQ(s.columns, 1);
}

}  // namespace
