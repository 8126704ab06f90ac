// The host stand-in with the real front-end libraries, created by class name, on the demo design.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTextBrowser>
#include <filesystem>

#include "demo_design.h"
#include "host_window.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"

namespace qor::host {
namespace {

namespace fs = std::filesystem;

QApplication& App() {
    static int argc = 1;
    static char name[] = "host_tests";
    static char* argv[] = {name, nullptr};
    // Left to the end of the process: destroying it among the static objects crashes.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

QWidget* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name) return w;
    return nullptr;
}

// The share of a window's drawing area showing the layout background: 0 for an area left
// undrawn.
double BackgroundShare(QWidget* window) {
    auto* area = window ? window->findChild<QWidget*>("ViewPicture") : nullptr;
    if (!area) return 0;
    const QImage picture = area->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb background = static_cast<QRgb>(G_PaletteRgb(223)) | 0xFF000000u;
    int64_t count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) count += picture.pixel(x, y) == background;
    return double(count) / (double(picture.width()) * picture.height());
}

class HostTest : public ::testing::Test {
  protected:
    HostTest() {
        App();
        qputenv("QOR_MESSAGE_BOXES", "stderr");
        dir_ = fs::temp_directory_path() / ("qor_host_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
        fs::copy_file(QOR_EXAMPLE_PROFILE, dir_ / "qor32.ini");
        design_ = (dir_ / "demo.qdb").string();
        std::string error;
        EXPECT_TRUE(design::DesignFile::create(design_, examples::buildDemoDesign(), error))
            << error;
        host_ = std::make_unique<HostWindow>(
            HostSettings{QOR_FRONTEND_LIBRARY_DIR, std::string(QOR_SOURCE_DIR) + "/examples/menus",
                         (dir_ / "qor32.ini").string()});
    }
    ~HostTest() override {
        host_.reset();
        DB_CloseDesign();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    std::vector<std::string> Log() const {
        std::vector<std::string> lines;
        for (int i = 0; i < host_->log()->count(); ++i)
            lines.push_back(host_->log()->item(i)->text().toStdString());
        return lines;
    }

    fs::path dir_;
    std::string design_;
    std::unique_ptr<HostWindow> host_;
};

TEST_F(HostTest, BothAnalyzersRunSideBySideAndShutDownOnCommand) {
    std::string why;
    ASSERT_TRUE(host_->OpenDesign(design_, why)) << why;
    EXPECT_STREQ(E_GetString("AllAps"), "QORTHERM,QOREMA");
    ASSERT_TRUE(host_->StartAnalyzer("QORTHERM"));
    ASSERT_TRUE(host_->StartAnalyzer("QOREMA"));
    EXPECT_FALSE(host_->StartAnalyzer("QORTHERM")) << "one object per analyzer";
    ASSERT_NE(TopLevel("THMMAIN"), nullptr);
    ASSERT_NE(TopLevel("EMAMAIN"), nullptr);
    EXPECT_TRUE(TopLevel("THMMAIN")->isVisible());
    EXPECT_TRUE(TopLevel("EMAMAIN")->isVisible());
    // Their analysis menus come with the analyzers' own tools: shown, disabled.
    EXPECT_FALSE(TopLevel("THMMAIN")->findChild<QAction*>("M_Riso")->isEnabled());
    EXPECT_FALSE(TopLevel("EMAMAIN")->findChild<QAction*>("M_FNetParam(0)")->isEnabled());
    EXPECT_STREQ(E_GetString("QORTHERMMW_"), "1");
    EXPECT_STREQ(E_GetString("QOREMA"), "Qor32 - Electromagnetic Analyzer, 0, 0,-1, 0");
    EXPECT_STREQ(E_GetString("QORTHERM"), "Qor32 - Thermal Analyzer, 0, 0,-1, 0");
    EXPECT_FALSE(host_->OpenDesign(design_, why)) << "not while analyzers run";
    // One command zooms both to the board: each draws its own picture although the kernel has
    // one drawing context for the process.
    host_->SendCommand("All,BL,10400000,8400000,-200000,-200000,10200000,8200000,1");
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    EXPECT_GT(BackgroundShare(TopLevel("THMMAIN")), 0.3);
    EXPECT_GT(BackgroundShare(TopLevel("EMAMAIN")), 0.3);

    host_->SendCommand("QOREMA:All,EX");
    QApplication::processEvents();
    EXPECT_EQ(Log(), std::vector<std::string>{"QOREMA | SHUTDOWN"});
    EXPECT_EQ(host_->analyzer("QOREMA"), nullptr) << "released on SHUTDOWN";
    EXPECT_EQ(E_GetString("QOREMAMW_"), nullptr);
    EXPECT_NE(host_->analyzer("QORTHERM"), nullptr);

    host_->SendCommand("QORTHERM,EX");
    QApplication::processEvents();
    EXPECT_EQ(Log().back(), "QORTHERM | SHUTDOWN");
    EXPECT_EQ(host_->analyzer("QORTHERM"), nullptr);
    EXPECT_EQ(E_GetString("QORTHERM"), nullptr) << "the status record is cleared";
}

TEST_F(HostTest, ADesignWithoutOutlineNeverShowsTheWindow) {
    design::Design d = examples::buildDemoDesign();
    std::erase_if(d.traces, [](const design::Trace& t) { return t.number == -1; });
    const std::string path = (dir_ / "no_outline.qdb").string();
    std::string why;
    ASSERT_TRUE(design::DesignFile::create(path, d, why)) << why;
    ASSERT_TRUE(host_->OpenDesign(path, why)) << why;
    EXPECT_FALSE(host_->StartAnalyzer("QORTHERM"));
    EXPECT_FALSE(TopLevel("THMMAIN") && TopLevel("THMMAIN")->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(Log(), std::vector<std::string>{"QORTHERM | SHUTDOWN"});
    EXPECT_EQ(host_->analyzer("QORTHERM"), nullptr);
}

TEST_F(HostTest, CommandBoxReachesTheHiddenBoxesAndHelpShowsTopics) {
    std::string why;
    ASSERT_TRUE(host_->OpenDesign(design_, why)) << why;
    ASSERT_TRUE(host_->StartAnalyzer("QORTHERM"));
    QWidget* main = TopLevel("THMMAIN");
    ASSERT_NE(main, nullptr);
    auto* shortBox = main->findChild<QLineEdit*>("F_Short");
    host_->SendCommand("QORTHERM:F_Short=+1");
    EXPECT_EQ(shortBox->text(), "+1");

    E_SysTable(12)[0] = 1;
    EXPECT_FALSE(main->findChild<QWidget*>("F_FSI(3)")->isEnabled()) << "no action yet";
    main->findChild<QAction*>("M_HelpContents")->trigger();
    QTextBrowser* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "HelpWindow") shown = qobject_cast<QTextBrowser*>(w);
    ASSERT_NE(shown, nullptr);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_NE(shown->toPlainText().toStdString().find("examples/menus/QORTHERM.HLP"),
              std::string::npos);
    E_SysTable(12)[0] = 0;
}

TEST(FrontEndLibraries, CreateOnlyTheClassesTheyPublish) {
    const std::string dir = QOR_FRONTEND_LIBRARY_DIR;
    std::string why;
    FrontEndLibrary thermal;
    ASSERT_TRUE(thermal.Load(dir + "/libQortherm.so", why)) << why;
    EXPECT_EQ(thermal.Create("clsQorema"), nullptr);
    EXPECT_EQ(thermal.Create("clsqortherm"), nullptr) << "class names match exactly";
    FrontEndLibrary missing;
    EXPECT_FALSE(missing.Load(dir + "/libQorNothing.so", why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(missing.Create("clsQortherm"), nullptr);
}

}  // namespace
}  // namespace qor::host
