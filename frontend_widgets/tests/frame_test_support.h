// The main window test fixture: the demo design, an engine that records its calls, a scratch
// folder with the profile, and the thermal window's description.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>

#include "demo_design.h"
#include "qor/design/design_file.h"
#include "qor/kernel/help.h"
#include "qor/kernel/kernel.h"
#include "qor/localtext/localtext.h"
#include "qor/widgets/board_view.h"
#include "qor/widgets/frame_component.h"

namespace qor::widgets {

namespace fs = std::filesystem;
using frontend::MessageRequest;

inline QApplication& App() {
    static int argc = 1;
    static char name[] = "frontend_widgets_tests";
    static char* argv[] = {name, nullptr};
    // Left to the end of the process: destroying it among the static objects crashes.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

struct FakeEngine : frontend::AnalyzerEngine {
    struct Log {
        std::vector<std::string> calls;
        bool loadSucceeds = true;
        bool saveSucceeds = true;
        int errorCode = 0;
    };
    explicit FakeEngine(Log& log) : log_(log) {}
    bool Bind(std::string&) override { return true; }
    bool LoadDataBase(const std::string& profile) override {
        log_.calls.push_back("load " + profile);
        return log_.loadSucceeds;
    }
    bool LoadParameters() override {
        log_.calls.push_back("load parameters");
        return true;
    }
    bool SaveParameters() override {
        log_.calls.push_back("save parameters");
        return log_.saveSucceeds;
    }
    void DeleteDataBase() override { log_.calls.push_back("delete"); }
    int ErrorCode() override { return log_.errorCode; }
    int ErrorFunc() override { return 1; }
    Log& log_;
};

inline FrameDescription Thermal() {
    FrameDescription d;
    d.analyzer = frontend::Analyzer::Thermal;
    d.windowName = "THMMAIN";
    d.labelName = "THMLABEL";
    d.labelText = "Automatic Thermo Analyzer";
    d.caption = "Qor32 - Thermal Analyzer";
    d.componentName = "Qortherm";
    d.helpContents = "QORTHERM.HLP";
    d.menuProfile = "THMFSI.MEN";
    d.readoutLabel = "Temp: ";
    d.readoutNumber = 3995;
    d.editMenus = {{1, "&Components", 9922}, {2, "&Board", 0}};
    d.toolPictures = {"A", "B", "C"};
    d.subToolPictures = {"45", "X"};
    return d;
}

inline FrameDescription Em() {
    FrameDescription d = Thermal();
    d.analyzer = frontend::Analyzer::Em;
    d.windowName = "EMAMAIN";
    d.labelName = "EMALABEL";
    d.labelText = "Electromagnetic Analyzer";
    d.caption = "Qor32 - EM Analyzer";
    d.componentName = "Qorema";
    d.helpContents = "QOREMA.HLP";
    d.menuProfile = "EMAFSI.MEN";
    d.readoutLabel = "Field: ";
    d.readoutNumber = 4324;
    return d;
}

class FrameTest : public ::testing::Test {
  protected:
    FrameTest() {
        App();
        dir_ = fs::temp_directory_path() /
               ("qor_frame_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        std::ofstream(dir_ / "qor32.ini") << "[Colors]\nColor#1=255\n";
        E_SetString("IniFile", (dir_ / "qor32.ini").c_str());
        E_SetString("AllAps", "QORTHERM,QOREMA");
        E_SetString("QORTHERMMW_", "1");
        SetMessageHandler([this](const MessageRequest& r) { messages.push_back(r); });
    }
    ~FrameTest() override {
        component_.reset();
        SetMessageHandler({});
        DB_CloseDesign();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    void OpenDemo(bool withOutline = true) {
        design::Design d = examples::buildDemoDesign();
        if (!withOutline)
            std::erase_if(d.traces, [](const design::Trace& t) { return t.number == -1; });
        std::string error;
        const std::string path = (dir_ / ("demo" + std::to_string(++designs_) + ".qdb")).string();
        ASSERT_TRUE(design::DesignFile::create(path, d, error)) << error;
        ASSERT_EQ(DB_OpenDesign(path.c_str()), 1) << DB_LastError();
    }

    // The thermal window's class over the fake engine; serverPath "" keeps the shipped menus.
    FrameComponent& Make(FrameDescription description = Thermal(), std::string serverPath = "") {
        component_ = std::make_unique<FrameComponent>(
            [&, description](StartupValues& values) {
                return std::make_unique<MainFrame>(description, values,
                                                   std::make_unique<FakeEngine>(engine));
            },
            values_);
        component_->SetSeverPath(
            serverPath.empty() ? std::string(QOR_SOURCE_DIR) + "/examples/menus" : serverPath);
        component_->SetNotifyClass([this](const std::string& a, const std::string& c) {
            notifications.push_back(a + "|" + c);
        });
        return *component_;
    }

    MainFrame& window() { return *component_->window(); }
    std::string Record(const char* key) {
        const char* r = E_GetString(key);
        return r ? r : "";
    }
    bool Shown(int code) {
        for (const MessageRequest& r : messages)
            if (r.text.find(std::to_string(code)) != std::string::npos) return true;
        return false;
    }

    fs::path dir_;
    int designs_ = 0;
    StartupValues values_;
    FakeEngine::Log engine;
    std::unique_ptr<FrameComponent> component_;
    std::vector<MessageRequest> messages;
    std::vector<std::string> notifications;
};

}  // namespace qor::widgets
