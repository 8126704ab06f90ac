// The main window frame over the demo design, with an engine that records its calls.
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
namespace {

namespace fs = std::filesystem;
using frontend::MessageRequest;

QApplication& App() {
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

FrameDescription Thermal() {
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

TEST_F(FrameTest, LoadShowsTheWindowLoadsTheBoardAndPublishesTheStatus) {
    OpenDemo();
    FrameComponent& c = Make();
    ASSERT_TRUE(c.Load(0));
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().objectName(), "THMMAIN");
    EXPECT_TRUE(messages.empty()) << messages.front().title << ": " << messages.front().text;
    EXPECT_EQ(engine.calls, (std::vector<std::string>{"load " + (dir_ / "qor32.ini").string(),
                                                      "load parameters"}));
    EXPECT_EQ(Record("QORTHERM"), "Qor32 - Thermal Analyzer, 0, 0,-1, 0");
    EXPECT_EQ(values_.contextHelpFile,
              std::string(QOR_SOURCE_DIR) + "/examples/menus/Qortherm.HLP");
    EXPECT_EQ(values_.colours[1], 255);
    EXPECT_EQ(window().findChild<QLabel*>("F_MsgLine")->text().toStdString(),
              window().toolPanels().PromptLine());
    EXPECT_FALSE(window().findChild<QToolButton*>("F_FSI(9)")->isHidden());
    EXPECT_TRUE(window().findChild<QToolButton*>("F_FSI(9)")->isChecked());
}

TEST_F(FrameTest, StartUpAbortsShowNothingAndStillRaiseShutdown) {
    struct Case {
        const char* name;
        bool outline;
        bool engineLoads;
        const char* menuProfile;  // nullptr: the shipped one; "" no file
        int message;
    };
    const Case cases[] = {
        {"no board outline", false, true, nullptr, 10005},
        {"engine load fails", true, false, nullptr, 10003},
        {"no menu profile", true, true, "", 8},
        {"truncated menu profile", true, true, "FSI,1,0,9,p\nFSIKEY,1,0,0,1,1,0,0,Hint\n", 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DB_CloseDesign();
        OpenDemo(c.outline);
        engine = {};
        engine.loadSucceeds = c.engineLoads;
        engine.errorCode = 3;
        messages.clear();
        notifications.clear();
        std::string server;
        if (c.menuProfile) {
            server = (dir_ / c.name).string();
            fs::create_directories(server);
            if (*c.menuProfile) std::ofstream(server + "/THMFSI.MEN") << c.menuProfile;
        }
        FrameComponent& component = Make(Thermal(), server);
        EXPECT_FALSE(component.Load(0));
        EXPECT_FALSE(window().isVisible());
        EXPECT_TRUE(values_.loadFailed);
        EXPECT_EQ(notifications, std::vector<std::string>{"QORTHERM|SHUTDOWN"});
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.back().text, window().messages().ErrorMessage(c.message, "").text);
        // The abort leaves the engine's clean-up and the profile alone; a failed load is
        // discarded at once.
        for (const std::string& call : engine.calls) EXPECT_NE(call, "save parameters");
        if (!c.engineLoads) {
            EXPECT_EQ(engine.calls.back(), "delete");
        }
        EXPECT_EQ(Record("QORTHERM"), "");
    }
}

TEST_F(FrameTest, CommandsActOnlyForTheirTargetAndHierarchy) {
    OpenDemo();
    FrameComponent& c = Make();
    ASSERT_TRUE(c.Load(0));
    BoardView* view = window().view();
    const auto repaintsAfter = [&](const char* command) {
        const int before = view->repaintCount();
        c.NotifyMe("ignored", command);
        QApplication::processEvents();
        return view->repaintCount() - before;
    };
    EXPECT_GT(repaintsAfter("All,RD"), 0);
    EXPECT_GT(repaintsAfter("QORTHERM,RD"), 0);
    EXPECT_EQ(repaintsAfter("QOREMA,RD"), 0);
    EXPECT_EQ(repaintsAfter(""), 0);

    const int h = DB_CurHier();
    c.NotifyMe("", "All,FL,1000000,2000000," + std::to_string(h + 1));
    EXPECT_NE(view->originX(), 1000000);
    c.NotifyMe("", "All,FL,1000000,2000000," + std::to_string(h));
    EXPECT_EQ(view->originX(), 1000000);
    EXPECT_EQ(view->originY(), 2000000);

    c.NotifyMe("", "QORTHERM,EX");
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(notifications.back(), "QORTHERM|SHUTDOWN");
}

TEST_F(FrameTest, ShutDownOrderAndRefusalWhileAnOperationRuns) {
    OpenDemo();
    FrameComponent& c = Make();
    ASSERT_TRUE(c.Load(0));
    engine.calls.clear();
    engine.saveSucceeds = false;
    auto* extra = new QWidget;
    extra->setObjectName("EXTRA");
    window().AddOwnedWindow(extra);
    QPointer<QWidget> extraAlive(extra);

    // Shift+B asks for a box; the first click starts it (operation 99).
    QTest::keyClick(&window(), Qt::Key_B, Qt::ShiftModifier);
    EXPECT_FALSE(window().close()) << "a pending box blocks closing";
    QTest::mouseClick(window().view(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(window().view()->operationCode(), 99);
    EXPECT_FALSE(window().close());
    window().ShutDown();
    EXPECT_TRUE(window().isVisible());
    EXPECT_TRUE(notifications.empty());
    EXPECT_TRUE(messages.empty()) << "refused without a message";

    QTest::mouseClick(window().view(), Qt::LeftButton, {}, QPoint(150, 120));
    EXPECT_EQ(window().view()->operationCode(), 0);
    EXPECT_TRUE(window().close());
    EXPECT_EQ(engine.calls, (std::vector<std::string>{"save parameters", "delete"}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Can't save parameters") << "reported, and the unload goes on";
    EXPECT_TRUE(extraAlive.isNull()) << "other windows are unloaded";
    EXPECT_EQ(Record("QORTHERM"), "");
    EXPECT_EQ(notifications, std::vector<std::string>{"QORTHERM|SHUTDOWN"});
    std::ifstream ini(dir_ / "qor32.ini");
    const std::string text((std::istreambuf_iterator<char>(ini)), {});
    EXPECT_NE(text.find("Color#1=255"), std::string::npos);
    EXPECT_NE(text.find("Color#15=0"), std::string::npos) << "all 16 colours written back";

    // Load may be called again after an unload.
    notifications.clear();
    EXPECT_TRUE(c.Load(0));
    EXPECT_TRUE(window().isVisible());
}

TEST_F(FrameTest, ABusyAnalyzerBlocksAnOperationAndStaleRecordsAreErased) {
    OpenDemo();
    FrameComponent& c = Make();
    ASSERT_TRUE(c.Load(0));
    // The EM analyzer runs and is in a dialog.
    E_SetString("QOREMAMW_", "1");
    E_SetString("QOREMA", "Qor32 - Electromagnetic Analyzer, 0, 0,-1, 1");
    QTest::keyClick(&window(), Qt::Key_B, Qt::ShiftModifier);
    QTest::mouseClick(window().view(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(window().view()->operationCode(), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, "Finish current operation for: Qor32 - Electromagnetic Analyzer");
    EXPECT_TRUE(messages[0].systemModal);

    // It has stopped running: its record is stale, erased by the test, and the box starts.
    E_SetString("QOREMAMW_", "");
    QTest::mouseClick(window().view(), Qt::LeftButton, {}, QPoint(50, 50));
    EXPECT_EQ(window().view()->operationCode(), 99);
    EXPECT_EQ(E_GetString("QOREMA"), nullptr);
}

TEST_F(FrameTest, ToolPanelsFollowButtonsKeysShortcutsAndTheShortBox) {
    OpenDemo();
    const std::string server = (dir_ / "menus").string();
    fs::create_directories(server);
    std::ofstream(server + "/THMFSI.MEN") << "FSI,1,0,0,Prompt one\n"
                                             "FSIKEY,1,0,0,1,1,0,0,First,AA,1\n"
                                             "FSIKEY,1,1,0,1,0,0,0,Second,BB,1\n"
                                             "OSTKEY,1,1,0,1,1,0,Sub zero\n"
                                             "OSTKEY,1,1,1,1,1,1,Sub one\n"
                                             "FSI,2,1,0,Prompt two\n"
                                             "FSIKEY,2,0,0,1,1,0,0,Other,CC,1\n"
                                             "FSIKEY,2,1,0,1,0,0,0,Allowed,DD,1\n"
                                             "ENDMENU\n";
    FrameComponent& c = Make(Thermal(), server);
    ASSERT_TRUE(c.Load(0));
    MainFrame& w = window();
    auto* line = w.findChild<QLabel*>("F_MsgLine");
    EXPECT_EQ(line->text(), "Prompt one");

    QTest::mouseClick(w.findChild<QToolButton*>("F_FSI(1)"), Qt::LeftButton);
    EXPECT_EQ(line->text(), "Second (Shortcut: *BB)");
    auto* sub0 = w.findChild<QToolButton*>("F_OST(0)");
    auto* sub1 = w.findChild<QToolButton*>("F_OST(1)");
    EXPECT_FALSE(sub0->isHidden());
    EXPECT_TRUE(sub1->isChecked());
    QTest::keyClick(&w, Qt::Key_F1);  // presses sub-tool 0: the group's other button is released
    EXPECT_TRUE(sub0->isChecked());
    EXPECT_FALSE(sub1->isChecked());

    // "*dd": a tool of menu 2 whose shortcut may switch menus.
    QTest::keyClicks(&w, "*dd");
    EXPECT_EQ(w.toolPanels().currentMenu(), 2);
    EXPECT_TRUE(w.findChild<QToolButton*>("F_FSI(1)")->isChecked());
    EXPECT_FALSE(w.findChild<QToolButton*>("F_FSI(0)")->isChecked());

    ASSERT_TRUE(c.SetHiddenText("F_Short", "+1"));
    EXPECT_EQ(w.toolPanels().currentMenu(), 1);
    EXPECT_EQ(line->text(), "Prompt one");

    // The window sees the keys before its controls: a shortcut typed into the zoom box.
    QLineEdit* zoomText = w.findChild<QComboBox*>("ZoomCombo")->lineEdit();
    QTest::keyClicks(zoomText, "*aa");
    EXPECT_TRUE(w.findChild<QToolButton*>("F_FSI(0)")->isChecked());
    EXPECT_EQ(line->text(), "First (Shortcut: *AA)");
    EXPECT_EQ(zoomText->text(), "") << "the typed keys are not passed on";
    EXPECT_FALSE(c.SetHiddenText("F_Other", "+2"));
}

TEST_F(FrameTest, ContextHelpReachesTheHostOnlyWhileItsSwitchIsOn) {
    OpenDemo();
    std::vector<int> topics;
    kernel::setHelpDisplay([&](int32_t, const std::string&, int32_t t) { topics.push_back(t); });
    FrameComponent& c = Make();
    ASSERT_TRUE(c.Load(0));
    QTest::mouseClick(window().findChild<QToolButton*>("F_FSI(2)"), Qt::LeftButton);
    EXPECT_TRUE(topics.empty());
    E_SysTable(12)[0] = 1;
    QTest::mouseClick(window().findChild<QToolButton*>("F_FSI(2)"), Qt::LeftButton);
    // (9, 1, 3, 0): 9 * 13301 + 133 + 36 - 13443.
    EXPECT_EQ(topics, std::vector<int>{9 * 13301 + 133 + 3 * 12 - 13443});
    E_SysTable(12)[0] = 0;
    kernel::setHelpDisplay({});
}

TEST_F(FrameTest, OutgoingCallsAndWindowStates) {
    OpenDemo();
    FrameComponent& c = Make();
    ASSERT_TRUE(c.Load(2));
    EXPECT_EQ(window().windowState(), 2);
    window().AP_SendCmd("QORDIAGR", "OPEN,1");
    window().AP_SendCmdAll("All,RD");
    window().AP_Shell("/tmp/report.txt", 1);
    EXPECT_EQ(notifications, (std::vector<std::string>{"QORDIAGR|OPEN,1", "QORTHERM|All,RD",
                                                       "/tmp/report.txt|SHELL,1"}));
    c.NotifyMe("", "All,DF");
    EXPECT_EQ(window().windowState(), 0);
    c.NotifyMe("", "All,MN");
    EXPECT_EQ(window().windowState(), 1);
    EXPECT_EQ(Record("QORTHERM").substr(0, 28), "Qor32 - Thermal Analyzer, 1,");
}

TEST_F(FrameTest, ReloadDiscardsTheBoardAndLoadsItAgainOrUnloads) {
    OpenDemo();
    FrameComponent& c = Make();
    ASSERT_TRUE(c.Load(0));
    engine.calls.clear();
    c.NotifyMe("", "All,UP");
    EXPECT_EQ(engine.calls,
              (std::vector<std::string>{"delete", "load " + (dir_ / "qor32.ini").string()}));
    EXPECT_TRUE(window().isVisible());
    engine.calls.clear();
    engine.loadSucceeds = false;
    c.NotifyMe("", "All,UP");
    EXPECT_FALSE(window().isVisible());
    EXPECT_EQ(notifications, std::vector<std::string>{"QORTHERM|SHUTDOWN"});
    for (const std::string& call : engine.calls) EXPECT_NE(call, "save parameters");
}

TEST_F(FrameTest, WindowsAreLocalizedFromTheirTags) {
    const std::string catalog = (dir_ / "de.txt").string();
    std::ofstream(catalog) << "3995=Temperatur:\n991204=Einstellungen\n";
    ASSERT_GT(L32_LoadCatalog(catalog.c_str()), 0);
    OpenDemo();
    FrameComponent& c = Make();
    ASSERT_TRUE(c.Load(0));
    EXPECT_EQ(window().findChild<QLabel*>("L_TempMsg")->text(), "Temperatur: ")
        << "the default's trailing blank is kept";
    EXPECT_EQ(window().findChild<QAction*>("M_SetPanel")->text(), "Einstellungen");
    EXPECT_EQ(window().findChild<QAction*>("M_Exit")->text(), "E&xit") << "no text: default";
    EXPECT_TRUE(window().findChild<QAction*>("M_SetPanel")->isChecked());
}

TEST_F(FrameTest, ModalDialogsCountInTheStatusRecord) {
    OpenDemo();
    FrameComponent& c = Make();
    ASSERT_TRUE(c.Load(0));
    auto* dialog = new QDialog;
    std::string during;
    QTimer::singleShot(0, dialog, [&, dialog] {
        during = Record("QORTHERM");
        dialog->accept();
    });
    window().ShowModalDialog(dialog);
    EXPECT_EQ(during, "Qor32 - Thermal Analyzer, 0, 0,-1, 1");
    EXPECT_EQ(Record("QORTHERM"), "Qor32 - Thermal Analyzer, 0, 0,-1, 0");
}

TEST_F(FrameTest, WithoutAServerPathHelpFilesHaveNoFolder) {
    OpenDemo();
    FrameComponent& c = Make();
    c.SetSeverPath("  ");  // trimmed at start-up; the menu profile "/THMFSI.MEN" is missing
    EXPECT_FALSE(c.Load(0));
    EXPECT_EQ(values_.contextHelpFile, "/Qortherm.HLP");
}

}  // namespace
}  // namespace qor::widgets
