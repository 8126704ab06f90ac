// The raster surface with a QGuiApplication: real texts and the clipboard.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <filesystem>
#include <string>

#include "qor/kernel/kernel.h"

namespace {

QImage picture(int32_t surface) {
    const auto path =
        std::filesystem::temp_directory_path() / ("qor_gui_" + std::to_string(::getpid()) + ".png");
    EXPECT_EQ(G_SaveSurfacePng(surface, path.c_str()), 1);
    QImage img(QString::fromStdString(path.string()));
    std::filesystem::remove(path);
    return img;
}

int litPixels(const QImage& img, QRect area) {
    int lit = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) lit += (img.pixel(x, y) & 0xFFFFFFu) != 0;
    return lit;
}

class GuiSurface : public ::testing::Test {
  protected:
    int argc_ = 1;
    char name_[16] = "kernel_gui";
    char* argv_[2] = {name_, nullptr};
    QGuiApplication app_{argc_, argv_};
};

TEST_F(GuiSurface, TextsAreDrawnAboveTheirPosition) {
    const int32_t s = G_CreateRasterSurface(200, 100);
    const KViewRecord view{1000, 200, 100, 100000, 50000, 0};  // pixel (0, 100) is design (0, 0)
    G_SetColor(15);
    ASSERT_EQ(G_OpenDC(s, &view), 1);
    ASSERT_EQ(G_Text(10000, 10000, 40000, 0, "HELLO"), 1);  // 40 pixels high from row 90 up
    G_CloseDC();
    const QImage img = picture(s);
    EXPECT_GT(litPixels(img, QRect(10, 50, 100, 40)), 50) << "the letters stand above the position";
    EXPECT_EQ(litPixels(img, QRect(0, 92, 200, 8)), 0) << "nothing below the text's line";
    EXPECT_EQ(litPixels(img, QRect(0, 0, 200, 40)), 0) << "nothing far above it";
    G_DeleteSurface(s);
}

TEST_F(GuiSurface, ScreenCopyPutsTheRectangleOnTheClipboard) {
    const int32_t s = G_CreateRasterSurface(100, 100);
    const KViewRecord view{1000, 100, 100, 50000, 50000, 0};
    G_SetStyle(16);
    G_SetColor(9);
    G_OpenDC(s, &view);
    G_Rectangle(0, 0, 50000, 100000, 0);  // the left half red
    G_CloseDC();
    ASSERT_EQ(G_CopyScreen(s, 40, 10, 60, 30), 1);
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(20, 20));
    EXPECT_EQ(copied.pixel(0, 0) & 0xFFFFFFu, 0xFF0000u);
    EXPECT_EQ(copied.pixel(19, 19) & 0xFFFFFFu, 0u);
    EXPECT_EQ(G_CopyScreen(s, 60, 10, 40, 30), 0) << "an empty rectangle";
    EXPECT_EQ(G_CopyScreen(s, 200, 200, 300, 300), 0) << "outside the picture";
    EXPECT_EQ(G_CopyScreen(G_CreateRecordingSurface(), 0, 0, 10, 10), 0)
        << "a recording has no picture";
    G_DeleteSurface(s);
}

}  // namespace
