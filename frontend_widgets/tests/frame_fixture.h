// A main window over the demo design for tests of the windows it opens, and a way to answer the
// modal dialog that a call is about to show.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>

#include "demo_design.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"
#include "qor/widgets/frame_component.h"

namespace qor::widgets::testing {

inline QApplication& App() {
    if (auto* running = qobject_cast<QApplication*>(QCoreApplication::instance())) return *running;
    static int argc = 1;
    static char name[] = "frontend_widgets_tests";
    static char* argv[] = {name, nullptr};
    // Left to the end of the process: destroying it among the static objects crashes.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

struct QuietEngine : frontend::AnalyzerEngine {
    bool Bind(std::string&) override { return true; }
    bool LoadDataBase(const std::string&) override { return true; }
    bool LoadParameters() override { return true; }
    bool SaveParameters() override { return true; }
    void DeleteDataBase() override {}
    int ErrorCode() override { return 0; }
    int ErrorFunc() override { return 1; }
};

inline FrameDescription Description(frontend::Analyzer analyzer) {
    FrameDescription d;
    d.analyzer = analyzer;
    const bool em = analyzer == frontend::Analyzer::Em;
    d.windowName = em ? "EMAMAIN" : "THMMAIN";
    d.labelName = em ? "EMALABEL" : "THMLABEL";
    d.labelText = em ? "Electromagnetic Analyzer" : "Automatic Thermo Analyzer";
    d.caption = em ? "Qor32 - EM Analyzer" : "Qor32 - Thermal Analyzer";
    d.componentName = em ? "Qorema" : "Qortherm";
    d.helpContents = em ? "QOREMA.HLP" : "QORTHERM.HLP";
    d.menuProfile = em ? "EMAFSI.MEN" : "THMFSI.MEN";
    d.readoutLabel = "Temp: ";
    d.editMenus = {{1, "&Components", 9922}};
    return d;
}

// A loaded main window over the demo design.
class LoadedFrame : public ::testing::Test {
  protected:
    LoadedFrame() {
        App();
        dir_ = std::filesystem::temp_directory_path() /
               ("qor_dialogs_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        std::ofstream(dir_ / "qor32.ini") << "[Colors]\nColor#0=255\nColor#15=65280\n";
        E_SetString("IniFile", (dir_ / "qor32.ini").c_str());
        SetMessageHandler([this](const frontend::MessageRequest& r) { messages.push_back(r); });
    }
    ~LoadedFrame() override {
        component_.reset();
        SetMessageHandler({});
        DB_CloseDesign();
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    void Load(frontend::Analyzer analyzer = frontend::Analyzer::Thermal) {
        std::string error;
        const std::string path = (dir_ / "demo.qdb").string();
        ASSERT_TRUE(design::DesignFile::create(path, examples::buildDemoDesign(), error)) << error;
        ASSERT_EQ(DB_OpenDesign(path.c_str()), 1) << DB_LastError();
        const FrameDescription description = Description(analyzer);
        component_ = std::make_unique<FrameComponent>(
            [description](StartupValues& values) {
                return std::make_unique<MainFrame>(description, values,
                                                   std::make_unique<QuietEngine>());
            },
            values_);
        component_->SetSeverPath(std::string(QOR_SOURCE_DIR) + "/examples/menus");
        ASSERT_TRUE(component_->Load(0));
    }

    MainFrame& frame() { return *component_->window(); }
    const std::filesystem::path& dir() const { return dir_; }

    std::vector<frontend::MessageRequest> messages;

  private:
    std::filesystem::path dir_;
    StartupValues values_;
    std::unique_ptr<FrameComponent> component_;
};

// Runs `answer` on the modal dialog once the next call has shown it.
inline void WhenModalShown(std::function<void(QWidget*)> answer) {
    QTimer::singleShot(0, [answer = std::move(answer)] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->isVisible() && w->isModal()) dialog = w;
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog";
            return;
        }
        answer(dialog);
    });
}

}  // namespace qor::widgets::testing
