// Drawing calls on the recording and raster surfaces.
#include <QImage>
#include <string>

#include "kernel_fixture.h"

namespace qor::kernel::testing {
namespace {

constexpr KViewRecord kView{1000, 100, 100, 50000, 50000, 0};

class Recording {
public:
    Recording() : surface_(G_CreateRecordingSurface()) {}
    ~Recording() {
        G_CloseDC();
        G_DeleteSurface(surface_);
    }
    int32_t surface() const { return surface_; }
    std::string text() const { return G_SurfaceRecording(surface_); }

private:
    int32_t surface_;
};

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
                 {9, 0xFF0000}, {10, 0x00FF00}, {11, 0xFFFF00}, {12, 0x0000FF}, {14, 0x00FFFF}, {15, 0xFFFFFF}};
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

}  // namespace
}  // namespace qor::kernel::testing
