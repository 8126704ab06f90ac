// The main window frame over the demo design, with an engine that records its calls.
#include "frame_test_support.h"

namespace qor::widgets {
namespace {

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
    const QString zoomBefore = zoomText->text();  // the box shows the zoom
    QTest::keyClicks(zoomText, "*aa");
    EXPECT_TRUE(w.findChild<QToolButton*>("F_FSI(0)")->isChecked());
    EXPECT_EQ(line->text(), "First (Shortcut: *AA)");
    EXPECT_EQ(zoomText->text(), zoomBefore) << "the typed keys are not passed on";
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
