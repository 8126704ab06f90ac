// Drawing calls on the recording and raster surfaces.
#include <QImage>
#include <string>

#include "kernel_fixture.h"

namespace qor::kernel::testing {
namespace {

TEST(Drawing, CallsReachTheSurfaceExactlyAndTheColourPersists) {
    Recording rec;
    G_SetColor(5);
    G_SetStyle(16);
    ASSERT_EQ(G_OpenDC(rec.surface(), &kView), 1);
    G_Rectangle(10, 20, 30, 40, 0);
    G_Rectangle(50, 60, 70, 80, 0);
    G_SetStyle(32);
    G_Line(1, 2, 3, 4);
    ASSERT_EQ(G_CloseDC(), 1);
    EXPECT_EQ(rec.text(),
              "G_OpenDC 1000 100 100 50000 50000 0\n"
              "G_SetColor 5\nG_SetStyle 16\n"
              "G_Rectangle 10 20 30 40 0\nG_Rectangle 50 60 70 80 0\n"
              "G_SetStyle 32\nG_Line 1 2 3 4\nG_CloseDC\n");
}

TEST(Drawing, NothingIsDrawnWithoutAContext) {
    G_CloseDC();
    EXPECT_EQ(G_Rectangle(0, 0, 1, 1, 0), 0);
    EXPECT_EQ(G_Line(0, 0, 1, 1), 0);
    EXPECT_EQ(G_CloseDC(), 0);
    EXPECT_EQ(G_OpenDC(987654, &kView), 0);
    EXPECT_EQ(G_OpenDC(G_CreateRecordingSurface(), nullptr), 0);
    EXPECT_EQ(G_SetColor(3), 1) << "the colour is kept for the next context";
}

TEST(Drawing, RasterMapsDesignUnitsWithYUp) {
    const int32_t s = G_CreateRasterSurface(100, 100);
    ASSERT_GT(s, 0);
    ASSERT_EQ(G_OpenDC(s, &kView), 1);
    G_SetStyle(16);
    G_SetColor(9);
    // Lower-left (10000, 10000), 20000 x 10000: columns 10..29, rows 80..89 (row 0 at the top).
    G_Rectangle(10000, 10000, 20000, 10000, 0);
    G_CloseDC();
    const auto path = std::filesystem::temp_directory_path() / ("qor_raster_" + std::to_string(::getpid()) + ".png");
    ASSERT_EQ(G_SaveSurfacePng(s, path.c_str()), 1);
    QImage img(QString::fromStdString(path.string()));
    std::filesystem::remove(path);
    ASSERT_EQ(img.size(), QSize(100, 100));
    const auto rgb = [&](int x, int y) { return img.pixel(x, y) & 0xFFFFFFu; };
    EXPECT_EQ(rgb(10, 80), 0xFF0000u);
    EXPECT_EQ(rgb(29, 89), 0xFF0000u);
    EXPECT_EQ(rgb(30, 85), 0x000000u);
    EXPECT_EQ(rgb(15, 79), 0x000000u);
    EXPECT_EQ(rgb(15, 90), 0x000000u);
    EXPECT_EQ(G_SaveSurfacePng(s, "/nonexistent/dir/x.png"), 0);
    EXPECT_FALSE(std::filesystem::exists("/nonexistent/dir/x.png"));
    EXPECT_EQ(G_SaveSurfacePng(G_CreateRecordingSurface(), path.c_str()), 0) << "only raster surfaces save";
    EXPECT_EQ(G_DeleteSurface(s), 1);
    EXPECT_EQ(G_DeleteSurface(s), 0);
    EXPECT_EQ(G_CreateRasterSurface(0, 10), 0);
}

TEST(Drawing, PaletteStartsWithTheStandardColours) {
    struct Case {
        int32_t index;
        int32_t rgb;
    } cases[] = {{0, 0x000000}, {1, 0x800000}, {4, 0x000080}, {7, 0x808080}, {8, 0xC0C0C0},
                 {9, 0xFF0000}, {10, 0x00FF00}, {11, 0xFFFF00}, {12, 0x0000FF}, {14, 0x00FFFF}, {15, 0xFFFFFF},
                 {16, 0x000000}, {231, 0xFFFFFF}, {222, 0xFFD787}, {223, 0x18202C}};
    for (const auto& c : cases) EXPECT_EQ(G_PaletteRgb(c.index), c.rgb) << c.index;
}

TEST_F(KernelTest, OutlineIsDrawnInTheCurrentColour) {
    Recording rec;
    G_SetColor(93);
    G_OpenDC(rec.surface(), &kView);
    ASSERT_EQ(T_DrawAllRecords(-1, 1), 1);
    G_CloseDC();
    const std::string text = rec.text();
    EXPECT_NE(text.find("G_Line 0 0 10000000 0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("G_Line 10000000 7000000 9000000 8000000\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("G_SetColor", text.find("G_SetColor 93") + 1), std::string::npos)
        << "the outline keeps the caller's colour";
    EXPECT_EQ(T_DrawAllRecords(4242, 1), 0);
}

TEST_F(KernelTest, KernelDrawingRestoresTheCallersColourAndStyle) {
    Recording rec;
    G_SetColor(3);
    G_SetStyle(32);
    G_OpenDC(rec.surface(), &kView);
    ASSERT_EQ(T_DrawAllTraceMask(1, 1), 1);
    ASSERT_EQ(L_DrawAllComponents(1), 1);
    ASSERT_EQ(V_DrawAllVias(1), 1);
    ASSERT_EQ(S_DrawSymbol(design::copperAreaSymbol(1), -1, -1), 1);
    EXPECT_NE(rec.text().find("G_SetColor 10\nG_Line 100000 100000 900000 100000\n"), std::string::npos)
        << "copper area outline on the inner layer";
    EXPECT_EQ(S_DrawSymbol(f_.so8, -1, -1), 0) << "package symbols need a placement";
    const std::string text = rec.text();
    EXPECT_NE(text.find("G_SetColor 9\n"), std::string::npos) << "top layer copper";
    EXPECT_NE(text.find("G_SetColor 12\n"), std::string::npos) << "bottom layer copper after the via";
    EXPECT_TRUE(text.ends_with("G_SetColor 3\nG_SetStyle 32\n")) << text.substr(text.size() - 60);
    G_CloseDC();
}

TEST_F(KernelTest, DrawRecordsDrawsChosenSegmentsAndArcsWhole) {
    struct Case {
        int32_t first, count;
        std::vector<std::string> expected;  // lines that must be recorded
        size_t lines;                       // G_Line calls in all
    } cases[] = {
        {1, 1, {"G_SetColor 9\nG_Line 1809500 3270000 1809500 4000000 50800\n"}, 1},
        {5, 1, {"G_SetColor 12\nG_Line 5000000 5000000 5730000 3190500 50800\n"}, 1},
        {3, 1, {}, 0},  // an arc-centre record starts no segment of its own
        {2, 1, {"2809500 5000000 50800\n"}, 9},  // a quarter arc in chords of 10 degrees
        {1, 99, {"G_Line 2809500 5000000 5000000 5000000 50800\n", "G_Line 5000000 5000000 5730000 3190500 50800\n"},
         12},  // every segment, clipped at the last record
    };
    G_SetStyle(16);  // an earlier test in the same process may have left another style
    for (const auto& c : cases) {
        Recording rec;
        G_SetColor(3);
        G_OpenDC(rec.surface(), &kView);
        ASSERT_EQ(T_DrawRecords(f_.vccTrace, c.first, c.count), 1);
        G_CloseDC();
        const std::string text = rec.text();
        for (const auto& e : c.expected) EXPECT_NE(text.find(e), std::string::npos) << c.first << ": " << text;
        size_t lines = 0;
        for (size_t at = text.find("G_Line"); at != std::string::npos; at = text.find("G_Line", at + 1)) ++lines;
        EXPECT_EQ(lines, c.lines) << c.first;
        EXPECT_TRUE(text.ends_with("G_SetColor 3\nG_SetStyle 16\nG_CloseDC\n")) << "the caller's colour is back";
    }
    Recording rec;
    G_OpenDC(rec.surface(), &kView);
    EXPECT_EQ(T_DrawRecords(f_.vccTrace, 0, 1), 0);
    EXPECT_EQ(T_DrawRecords(4242, 1, 1), 0);
}

TEST_F(KernelTest, NetNodesAreMarkedInTheCurrentColour) {
    Recording rec;
    G_SetColor(15);
    G_OpenDC(rec.surface(), &kView);
    ASSERT_EQ(N_DrawNetNodes(f_.vcc, -1), 1);
    EXPECT_EQ(N_DrawNetNodes(999, -1), 0);
    G_CloseDC();
    const std::string text = rec.text();
    EXPECT_NE(text.find("G_Circle 1809500 3270000 40000 0\n"), std::string::npos) << text;
    EXPECT_NE(text.find("G_Circle 5730000 3190500 40000 0\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("G_SetColor", text.find("G_Circle")), std::string::npos);
}

TEST(Drawing, ExclusiveOrDrawingTwiceRestoresThePicture) {
    const int32_t s = G_CreateRasterSurface(100, 100);
    G_SetDrawMode(0);
    ASSERT_EQ(G_OpenDC(s, &kView), 1);
    G_SetStyle(16);
    G_SetColor(9);
    G_Rectangle(10000, 10000, 20000, 20000, 0);
    G_SetDrawMode(K_DRAW_XOR);
    EXPECT_EQ(G_GetDrawMode(), K_DRAW_XOR);
    G_SetColor(15);
    for (int i = 0; i < 2; ++i) {
        G_Line(0, 50000, 100000, 50000);
        G_Rectangle(15000, 15000, 10000, 10000, 0);
    }
    G_SetDrawMode(0);
    G_CloseDC();
    const auto path = std::filesystem::temp_directory_path() / ("qor_xor_" + std::to_string(::getpid()) + ".png");
    ASSERT_EQ(G_SaveSurfacePng(s, path.c_str()), 1);
    QImage img(QString::fromStdString(path.string()));
    std::filesystem::remove(path);
    EXPECT_EQ(img.pixel(20, 75) & 0xFFFFFFu, 0xFF0000u) << "the red square is whole again";
    EXPECT_EQ(img.pixel(50, 50) & 0xFFFFFFu, 0x000000u) << "the line is gone again";
    G_DeleteSurface(s);

    Recording rec;
    G_SetDrawMode(K_DRAW_XOR);
    G_OpenDC(rec.surface(), &kView);
    G_SetDrawMode(0);
    G_CloseDC();
    EXPECT_NE(rec.text().find("G_SetDrawMode 12\n"), std::string::npos) << "a new context takes the current mode";
    EXPECT_NE(rec.text().find("G_SetDrawMode 0\n"), std::string::npos);
}

}  // namespace
}  // namespace qor::kernel::testing
