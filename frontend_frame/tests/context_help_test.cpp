#include "qor/frontend/context_help.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace qor::frontend {
namespace {

using testing::RecordingMessageBox;

TEST(ContextHelpTopic, NumbersFromMenuItemToolAndSubtool) {
    const struct {
        int menu, item, tool, subtool, topic;
    } cases[] = {
        {1, 0, 0, 0, 1},     {1, 1, 0, 0, 2},           {1, 1, 1, 0, 3},     {1, 1, 1, 1, 4},
        {0, 0, 0, 0, 0},     {2, 0, 0, 0, 13302},       {2, 3, 0, 0, 13569}, {2, 3, 4, 0, 13606},
        {2, 3, 4, 5, 13611}, {11, 100, 11, 11, 146311}, {0, 5, 0, 0, 0},     {1, 0, 2, 0, 0},
        {1, 1, 0, 3, 0},     {0, 1, 1, 1, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ContextHelpTopic(c.menu, c.item, c.tool, c.subtool), c.topic)
            << c.menu << " " << c.item << " " << c.tool << " " << c.subtool;
}

TEST(ContextHelpLimitMessage, TextsOfTheExceededLimits) {
    EXPECT_EQ(ContextHelpLimitMessage(11, 100, 11, 11), "");
    EXPECT_EQ(ContextHelpLimitMessage(12, 0, 0, 0), "Menu No: exceeds 11");
    EXPECT_EQ(ContextHelpLimitMessage(1, 101, 0, 0), " SubMenu No. exceeds 100");
    EXPECT_EQ(
        ContextHelpLimitMessage(12, 101, 12, 12),
        "Menu No: exceeds 11 SubMenu No. exceeds 100 Tool No: exceeds 11 SubTool No: exceeds 11");
    EXPECT_EQ(ContextHelpLimitMessage(1, 1, 12, 12), " Tool No: exceeds 11 SubTool No: exceeds 11");
}

class FakeHelp : public HelpSystem {
  public:
    bool on = false;
    std::vector<std::string> calls;
    bool contextHelpOn() override { return on; }
    void displayTopic(const std::string& file, int topic) override {
        calls.push_back("topic " + file + " " + std::to_string(topic));
    }
    void helpCommand(const std::string& file, const std::string& command) override {
        calls.push_back("command " + file + " " + command);
    }
    void showContents(const std::string& file) override { calls.push_back("contents " + file); }
};

TEST(ContextHelp, ShownOnlyWhenTheHostsSwitchIsOn) {
    FakeHelp help;
    RecordingMessageBox box;
    ContextHelp ctx(help, box, "/srv/qortherm.HLP", "/srv/QORTHERM.HLP");
    ctx.ShowContextHelp(1, 1, 0, 0);
    EXPECT_EQ(ctx.currentTopic(), 2);
    EXPECT_TRUE(help.calls.empty());

    help.on = true;
    ctx.ShowContextHelp(1, 1, 1, 1);
    EXPECT_EQ(help.calls,
              (std::vector<std::string>{
                  "topic /srv/qortherm.HLP 4",
                  "command /srv/qortherm.HLP PositionWindow(600, 150, 400, 800, 1, \"main\")"}));

    help.calls.clear();
    ctx.ShowContextHelp(12, 1, 0, 0);
    EXPECT_TRUE(help.calls.empty()) << "a limit message replaces the help";
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text, "Menu No: exceeds 11");
    EXPECT_EQ(box.shown[0].icon, MessageIcon::None);
    EXPECT_EQ(ctx.currentTopic(), 4) << "and leaves the current topic";

    help.on = false;
    ctx.ShowCurrentHelp();
    EXPECT_EQ(help.calls.size(), 2u) << "the current topic is shown without the switch";
    EXPECT_EQ(help.calls[0], "topic /srv/qortherm.HLP 4");
    ctx.ShowHelpContents();
    EXPECT_EQ(help.calls.back(), "contents /srv/QORTHERM.HLP");
}

}  // namespace
}  // namespace qor::frontend
