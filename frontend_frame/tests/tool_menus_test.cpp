#include "qor/frontend/tool_menus.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace qor::frontend {
namespace {

using testing::RecordingMessageBox;
using testing::ScratchDir;

constexpr const char* kProfile =
    "; comment lines and unknown kinds are skipped\n"
    "FSI,1,0,0,Select a component\n"
    "FSIKEY,1,0,0,1,1,0,0,Component parameters,CP,1\n"
    "FSIKEY,1,1,0,1,0,11,0,Temperature label\n"
    "OSTKEY,1,1,0,1,1,1,Turn\n"
    "OSTKEY,1,1,1,1,1,0,Mirror\n"
    "OSTKEY,1,1,10,2,1,0,Cancel\n"
    "\n"
    "FSI,2,11,0,Board settings\n"
    "FSIKEY,2,0,0,1,1,0,0,Board parameters,BP,1\n"
    "FSIKEY,2,3,0,1,0,0,0,Cooling,CO,0\n"
    "ENDMENU\n"
    "FSI,3,0,0,after the end\n";

struct ProfileFixture : ::testing::Test {
    RecordingMessageBox box;
    Messages messages{Analyzer::Thermal, box};
    FileAccess files{messages};
    ScratchDir dir;
    ToolMenus menus;
};

TEST_F(ProfileFixture, LinesFillMenusToolsAndSubTools) {
    ASSERT_EQ(ReadMenuProfile(files, dir.write("THMFSI.MEN", kProfile), menus), 0);
    EXPECT_TRUE(box.shown.empty());
    const ToolMenu& m1 = menus.menu(1);
    EXPECT_TRUE(m1.defined);
    EXPECT_EQ(m1.prompt, "Select a component");
    EXPECT_EQ(m1.tools[0].hint, "Component parameters");
    EXPECT_TRUE(m1.tools[0].pressed);
    EXPECT_EQ(m1.tools[1].subPictureBase, 11);
    EXPECT_EQ(m1.tools[1].subTools[0].hint, "Turn");
    EXPECT_TRUE(m1.tools[1].subTools[0].pressed);
    EXPECT_EQ(m1.tools[1].subTools[10].group, 2);
    EXPECT_FALSE(m1.tools[2].enabled);
    EXPECT_EQ(menus.menu(2).pictureBase, 11);
    EXPECT_FALSE(menus.menu(3).defined) << "lines after ENDMENU are not read";
}

TEST_F(ProfileFixture, ShortcutOnlyFromLinesOfElevenFields) {
    ASSERT_EQ(ReadMenuProfile(files, dir.write("THMFSI.MEN", kProfile), menus), 0);
    EXPECT_EQ(menus.menu(1).tools[0].shortcut, "CP") << "11 fields";
    EXPECT_TRUE(menus.menu(1).tools[0].shortcutAllowed);
    EXPECT_EQ(menus.menu(1).tools[1].shortcut, "") << "9 fields";
    // 10 fields: the tenth is not a shortcut.
    const std::string ten = "FSI,1,0,0,p\nFSIKEY,1,4,0,1,0,0,0,Hint,XY\nENDMENU\n";
    ASSERT_EQ(ReadMenuProfile(files, dir.write("ten.MEN", ten), menus), 0);
    EXPECT_EQ(menus.menu(1).tools[4].shortcut, "");
    EXPECT_EQ(menus.menu(1).tools[4].hint, "Hint");
}

TEST_F(ProfileFixture, MissingTruncatedOrOutOfRangeProfilesGiveCode8) {
    struct Case {
        const char* name;
        const char* content;  // nullptr: no file
        bool readMessage;
    };
    const Case cases[] = {
        {"missing", nullptr, true},
        {"no ENDMENU", "FSI,1,0,0,p\nFSIKEY,1,0,0,1,1,0,0,Hint\n", true},
        {"empty", "", true},
        {"tool 11", "FSI,1,0,0,p\nFSIKEY,1,11,0,1,1,0,0,Hint\nENDMENU\n", false},
        {"sub-tool 11", "FSI,1,0,0,p\nOSTKEY,1,0,11,1,1,0,Hint\nENDMENU\n", false},
        {"menu 12", "FSI,12,0,0,p\nENDMENU\n", false},
        {"menu 0", "FSIKEY,0,0,0,1,1,0,0,Hint\nENDMENU\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        box.shown.clear();
        const std::string path =
            c.content ? dir.write("case.MEN", c.content) : dir.file("absent.MEN");
        EXPECT_EQ(ReadMenuProfile(files, path, menus), 8);
        if (c.readMessage) {
            ASSERT_EQ(box.shown.size(), 1u);
            EXPECT_NE(box.shown[0].text.find(path), std::string::npos);
        } else {
            EXPECT_TRUE(box.shown.empty());
        }
    }
}

TEST_F(ProfileFixture, PressingToolsAndSubToolGroups) {
    ASSERT_EQ(ReadMenuProfile(files, dir.write("THMFSI.MEN", kProfile), menus), 0);
    ToolPanelState panels(menus);
    panels.SelectMenu(1);
    EXPECT_EQ(panels.messageLine(), "Select a component");
    EXPECT_EQ(panels.PressTool(1), (std::array<int, 4>{9, 1, 2, 0}));
    EXPECT_FALSE(panels.current().tools[0].pressed) << "the previous tool is released";
    EXPECT_TRUE(panels.current().tools[1].pressed);
    EXPECT_EQ(panels.current().currentTool, 1);
    EXPECT_EQ(panels.messageLine(), "Temperature label");
    EXPECT_EQ(panels.PressTool(9), (std::array<int, 4>{0, 0, 0, 0})) << "tool 9 has no topic";
    panels.PressTool(0);
    EXPECT_EQ(panels.messageLine(), "Component parameters (Shortcut: *CP)");

    panels.PressTool(1);
    auto& subs = panels.current().tools[1].subTools;
    panels.PressSubTool(1, true, false);
    EXPECT_TRUE(subs[1].pressed);
    EXPECT_FALSE(subs[0].pressed) << "same group released";
    panels.PressSubTool(10, true, false);
    EXPECT_FALSE(subs[10].pressed) << "sub-tool 10 is released at once without an operation";
    EXPECT_TRUE(subs[1].pressed) << "other groups keep their state";
    panels.PressSubTool(10, true, true);
    EXPECT_TRUE(subs[10].pressed);
}

TEST_F(ProfileFixture, ShortcutsPressSwitchOrIgnore) {
    ASSERT_EQ(ReadMenuProfile(files, dir.write("THMFSI.MEN", kProfile), menus), 0);
    ToolPanelState panels(menus);
    bool menu2Enabled = true;
    const auto enabled = [&](int menu) { return menu != 2 || menu2Enabled; };
    const auto type = [&](const std::string& keys) {
        ShortcutOutcome last;
        for (char c : keys) last = panels.ShortcutKey(c, enabled);
        return last;
    };
    EXPECT_EQ(panels.ShortcutKey('c', enabled).kind, ShortcutOutcome::NotTaken);
    EXPECT_EQ(type("*c").kind, ShortcutOutcome::Pending);
    EXPECT_EQ(panels.messageLine(), "Shortcut: C");
    const ShortcutOutcome own = panels.ShortcutKey('p', enabled);
    EXPECT_EQ(own.kind, ShortcutOutcome::PressTool);
    EXPECT_EQ(own.tool, 0);
    EXPECT_FALSE(panels.shortcutActive());

    EXPECT_EQ(type("*co").kind, ShortcutOutcome::NoMatch) << "shortcut of menu 2 not allowed";
    menu2Enabled = false;
    EXPECT_EQ(type("*bp").kind, ShortcutOutcome::NoMatch) << "its Edit menu item is disabled";
    menu2Enabled = true;
    panels.menus().menu(2).tools[5].pressed = true;
    const ShortcutOutcome other = type("*bp");
    EXPECT_EQ(other.kind, ShortcutOutcome::SwitchedMenu);
    EXPECT_EQ(other.menu, 2);
    EXPECT_TRUE(panels.menus().menu(2).tools[0].pressed);
    EXPECT_FALSE(panels.menus().menu(2).tools[5].pressed) << "the only pressed tool";
    EXPECT_EQ(panels.menus().menu(2).currentTool, 0);
    // A second "*" after a complete shortcut starts a new one.
    EXPECT_EQ(type("*").kind, ShortcutOutcome::Pending);
    EXPECT_EQ(panels.messageLine(), "Shortcut: ");
}

}  // namespace
}  // namespace qor::frontend
