#include "qor/frontend/print_pages.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace qor::frontend {
namespace {

using testing::ScratchDir;
using testing::UseCatalog;

TEST(PrintArea, BoardJoinedWithShownFramesPlusTheMargin) {
    const KRect board{0, 0, 10000000, 8000000};
    const KRect area = PrintArea(board, {});
    EXPECT_EQ(area.left, -25400);
    EXPECT_EQ(area.bottom, -25400);
    EXPECT_EQ(area.right, 10025400);
    EXPECT_EQ(area.top, 8025400);
    const KRect labels{-500000, 100, 200, 9000000};
    const KRect empty{5, 5, 0, 0};  // nothing shown
    const KRect joined = PrintArea(board, {labels, empty});
    EXPECT_EQ(joined.left, -525400);
    EXPECT_EQ(joined.bottom, -25400);
    EXPECT_EQ(joined.right, 10025400);
    EXPECT_EQ(joined.top, 9025400);
}

TEST(PageView, OriginMovesRightPerColumnAndDownPerRow) {
    KPrintSetup setup{};
    setup.view = {2540, 4000, 3000, 1000, 9000, 0x20};
    setup.stepX = 500;
    setup.stepY = 700;
    const KViewRecord v = PageView(setup, 2, 3);
    EXPECT_EQ(v.originX, 2500);
    EXPECT_EQ(v.originY, 7600);
    EXPECT_EQ(v.zoom, 2540);
    EXPECT_EQ(v.width, 4000);
    EXPECT_EQ(v.drawFlags, 0x20);
    EXPECT_EQ(PageView(setup, 0, 0).originY, 9000);
}

TEST(EstimatePageTiling, PagesAtAScale) {
    KPrintSetup setup{};
    setup.pageWidth = 800;  // 8 x 10 inches at 100 dpi
    setup.pageHeight = 1000;
    setup.dotsPerInch = 100;
    const KRect area{0, 0, 2540000 * 20, 2540000 * 10};  // 20 x 10 inches
    setup.scale = 1000;
    EXPECT_EQ(EstimatePageTiling(area, setup).columns, 3);
    EXPECT_EQ(EstimatePageTiling(area, setup).rows, 1);
    setup.scale = 2000;
    EXPECT_EQ(EstimatePageTiling(area, setup).columns, 5);
    EXPECT_EQ(EstimatePageTiling(area, setup).rows, 2);
    setup.scale = 400;  // exactly one page across
    EXPECT_EQ(EstimatePageTiling(area, setup).columns, 1);
    setup.scale = 0;  // fit on one page
    EXPECT_EQ(EstimatePageTiling(area, setup).columns, 1);
    EXPECT_EQ(EstimatePageTiling(area, setup).rows, 1);
}

struct Recorder : PrintTarget {
    void Message(const std::string& text) override { log.push_back("message " + text); }
    bool DrawPage(const KViewRecord& view) override {
        log.push_back("page " + std::to_string(view.originX) + "," + std::to_string(view.originY));
        return ++drawn == cancelAt;
    }
    void NewPage() override { log.push_back("new page"); }
    void EndDocument() override { log.push_back("end"); }
    std::vector<std::string> log;
    int drawn = 0;
    int cancelAt = 0;
};

KPrintSetup TwoByTwo() {
    KPrintSetup setup{};
    setup.columns = 2;
    setup.rows = 2;
    setup.stepX = 10;
    setup.stepY = 20;
    setup.view = {100, 50, 50, 0, 0, 0};
    return setup;
}

TEST(PrintPages, RowsThenColumnsWithMessagesAndNoTrailingPage) {
    Recorder r;
    EXPECT_EQ(PrintPages(TwoByTwo(), Analyzer::Thermal, r), 4);
    const std::string printing = "message Thermal Printout ... (<F10> to Cancel)";
    const std::string manager = "message Printer Manager";
    EXPECT_EQ(r.log, (std::vector<std::string>{printing, "page 0,0", manager, "new page",    //
                                               printing, "page 10,0", manager, "new page",   //
                                               printing, "page 0,-20", manager, "new page",  //
                                               printing, "page 10,-20", manager, "end"}));
}

TEST(PrintPages, CancelEndsTheDocumentAfterThatPage) {
    Recorder r;
    r.cancelAt = 2;
    EXPECT_EQ(PrintPages(TwoByTwo(), Analyzer::Em, r), 2);
    const std::string printing = "message Electromagnetic Analyzer Printout ... (<F10> to Cancel)";
    EXPECT_EQ(r.log, (std::vector<std::string>{printing, "page 0,0", "message Printer Manager",
                                               "new page", printing, "page 10,0", "end"}));
}

TEST(PrintPages, NoPagesStillEndsTheDocumentAndMessagesAreLocalized) {
    Recorder r;
    KPrintSetup none{};
    EXPECT_EQ(PrintPages(none, Analyzer::Thermal, r), 0);
    EXPECT_EQ(r.log, std::vector<std::string>{"end"});

    ScratchDir dir;
    UseCatalog(dir, "39100=Thermodruck ... (<F10> bricht ab)\n");
    EXPECT_EQ(PrintoutMessage(Analyzer::Thermal), "Thermodruck ... (<F10> bricht ab)");
    UseCatalog(dir, "");
}

}  // namespace
}  // namespace qor::frontend
