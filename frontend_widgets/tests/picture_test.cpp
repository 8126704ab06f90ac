// The drawing area's pictures of the demo design and of the imported KiCad video board, compared
// with stored expectations within a small tolerance. QOR_UPDATE_PICTURES=1 writes the
// expectations again (look at them before committing).
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <filesystem>
#include <memory>
#include <string>

#include "demo_design.h"
#include "qor/design/design_file.h"
#include "qor/importers/kicad.h"
#include "qor/kernel/kernel.h"
#include "qor/widgets/board_view.h"

namespace {

namespace fs = std::filesystem;

QApplication& App() {
    if (auto* running = qobject_cast<QApplication*>(QCoreApplication::instance())) return *running;
    static int argc = 1;
    static char name[] = "picture_tests";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    return *app;
}

const fs::path kExpected = fs::path(QOR_SOURCE_DIR) / "frontend_widgets/tests/pictures";

struct Difference {
    double differingFraction = 1;  // pixels with a channel off by more than 48
    int largest = 255;
};

Difference Compare(const QImage& a, const QImage& b) {
    Difference d;
    if (a.size() != b.size()) return d;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    int64_t differing = 0;
    d.largest = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int diff = std::max({std::abs(qRed(p[col]) - qRed(q[col])),
                                       std::abs(qGreen(p[col]) - qGreen(q[col])),
                                       std::abs(qBlue(p[col]) - qBlue(q[col]))});
            d.largest = std::max(d.largest, diff);
            if (diff > 48) ++differing;
        }
    }
    d.differingFraction = double(differing) / (double(x.width()) * x.height());
    return d;
}

class PictureTest : public ::testing::Test {
  protected:
    PictureTest() {
        App();
        dir_ = fs::temp_directory_path() / ("qor_pictures_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    ~PictureTest() override {
        view_.reset();
        DB_CloseDesign();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // The board zoomed to fill a 640 x 480 area, repainted once.
    QImage Render() {
        view_ = std::make_unique<qor::widgets::BoardView>();
        view_->resize(640, 480);
        view_->layers().ReadFromKernel();
        EXPECT_TRUE(view_->ReadBoardExtent());
        view_->ZoomToBoard();
        view_->Invalidate();
        view_->Repaint();
        return view_->picture();
    }

    void Check(const QImage& actual, const std::string& name) {
        ASSERT_FALSE(actual.isNull());
        const fs::path expected = kExpected / (name + ".png");
        if (qEnvironmentVariableIsSet("QOR_UPDATE_PICTURES")) {
            fs::create_directories(kExpected);
            ASSERT_TRUE(actual.save(QString::fromStdString(expected.string())));
            GTEST_SKIP() << "wrote " << expected;
        }
        const QImage stored(QString::fromStdString(expected.string()));
        ASSERT_FALSE(stored.isNull()) << "no expectation " << expected;
        const Difference d = Compare(actual, stored);
        const fs::path kept = fs::path(QOR_BINARY_DIR) / (name + "_actual.png");
        if (d.differingFraction > 0.005) actual.save(QString::fromStdString(kept.string()));
        EXPECT_LE(d.differingFraction, 0.005)
            << name << ": " << d.differingFraction * 100 << " % of the pixels differ (largest "
            << d.largest << "); the picture is kept as " << kept;
    }

    fs::path dir_;
    std::unique_ptr<qor::widgets::BoardView> view_;
};

TEST_F(PictureTest, DemoDesign) {
    std::string error;
    const std::string path = (dir_ / "demo.qdb").string();
    ASSERT_TRUE(qor::design::DesignFile::create(path, qor::examples::buildDemoDesign(), error))
        << error;
    ASSERT_EQ(DB_OpenDesign(path.c_str()), 1) << DB_LastError();
    Check(Render(), "demo_design");
}

TEST_F(PictureTest, ImportedVideoBoard) {
    const char* video = "/usr/share/kicad/demos/video/video.kicad_pcb";
    if (!fs::exists(video)) GTEST_SKIP() << "kicad-demos is not installed";
    const std::string path = (dir_ / "video.qdb").string();
    qor::kicad::ImportReport report;
    std::string error;
    ASSERT_TRUE(qor::kicad::importBoardFile(video, path, report, error)) << error;
    ASSERT_EQ(DB_OpenDesign(path.c_str()), 1) << DB_LastError();
    Check(Render(), "video_board");
}

// The comparison itself: equal pictures pass, a shifted board does not.
TEST(PictureCompare, ToleratesNothingButTinyDifferences) {
    QImage a(100, 100, QImage::Format_RGB32);
    a.fill(Qt::black);
    QImage b = a;
    b.setPixel(3, 3, qRgb(255, 255, 255));
    EXPECT_LE(Compare(a, b).differingFraction, 0.005);
    QImage c = a;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 10; ++x) c.setPixel(x, y, qRgb(0, 200, 0));
    EXPECT_GT(Compare(a, c).differingFraction, 0.005);
    EXPECT_EQ(Compare(a, QImage(50, 50, QImage::Format_RGB32)).differingFraction, 1);
}

}  // namespace
