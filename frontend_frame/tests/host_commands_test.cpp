#include "qor/frontend/host_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace qor::frontend {
namespace {

struct RecordingTarget : CommandTarget {
    std::vector<std::string> calls;
    int hierarchy = 3;
    void Repaint() override { calls.push_back("repaint"); }
    void Maximize() override { calls.push_back("max"); }
    void Minimize() override { calls.push_back("min"); }
    void RestoreSize() override { calls.push_back("normal"); }
    void ReloadDesign() override { calls.push_back("reload"); }
    void Exit() override { calls.push_back("exit"); }
    int CurrentHierarchy() override { return hierarchy; }
    void CentreOn(double x, double y) override {
        calls.push_back("centre " + std::to_string(int(x)) + " " + std::to_string(int(y)));
    }
    void ZoomToBox(double w, double h, double cx, double cy) override {
        calls.push_back("box " + std::to_string(int(w)) + " " + std::to_string(int(h)) + " " +
                        std::to_string(int(cx)) + " " + std::to_string(int(cy)));
    }
};

TEST(HostCommands, TargetsAndVocabulary) {
    struct Case {
        Analyzer analyzer;
        const char* command;
        const char* call;  // "" = ignored
    };
    const Case cases[] = {
        {Analyzer::Thermal, "All,RD", "repaint"},
        {Analyzer::Thermal, "QORTHERM,RD", "repaint"},
        {Analyzer::Thermal, "QOREMA,RD", ""},
        {Analyzer::Thermal, "all,RD", ""},
        {Analyzer::Em, "QOREMA,RD", "repaint"},
        {Analyzer::Em, "All,MX", "max"},
        {Analyzer::Thermal, "All,MN", "min"},
        {Analyzer::Thermal, "All,DF", "normal"},
        {Analyzer::Thermal, "All,UP", "reload"},
        {Analyzer::Thermal, "QORTHERM,EX", "exit"},
        {Analyzer::Thermal, "All,ZZ", ""},
        {Analyzer::Thermal, "All", ""},
        {Analyzer::Thermal, "", ""},
        {Analyzer::Thermal, "All,FL,100,200,3", "centre 100 200"},
        {Analyzer::Thermal, "All,FL,100,200,2", ""},
        {Analyzer::Thermal, "All,FL,100,200", ""},
        // width = first x - second x: first corner (500, 400), second (100, 300).
        {Analyzer::Thermal, "All,BL,400,100,100,300,500,400,3", "box 400 100 300 350"},
        {Analyzer::Thermal, "All,BL,-400,-100,500,400,100,300,3", "box 400 100 300 350"},
        {Analyzer::Thermal, "All,BL,400,100,100,300,500,400,1", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        RecordingTarget target;
        const bool acted = ExecuteHostCommand(c.analyzer, c.command, target);
        EXPECT_EQ(acted, *c.call != 0);
        if (*c.call) {
            ASSERT_EQ(target.calls.size(), 1u);
            EXPECT_EQ(target.calls[0], c.call);
        } else {
            EXPECT_TRUE(target.calls.empty());
        }
    }
}

TEST(HostCommands, TheEmWindowComparesTheLocalizedAll) {
    const testing::ScratchDir dir;
    testing::UseCatalog(dir, "99188=Alle\n");
    RecordingTarget target;
    EXPECT_TRUE(ExecuteHostCommand(Analyzer::Em, "Alle,RD", target));
    EXPECT_FALSE(ExecuteHostCommand(Analyzer::Em, "All,RD", target));
    EXPECT_TRUE(ExecuteHostCommand(Analyzer::Thermal, "All,RD", target)) << "thermal: always All";
    EXPECT_FALSE(ExecuteHostCommand(Analyzer::Thermal, "Alle,RD", target));
}

}  // namespace
}  // namespace qor::frontend
