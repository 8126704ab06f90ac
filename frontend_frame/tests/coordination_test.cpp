#include "qor/frontend/coordination.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "qor/kernel/kernel.h"
#include "test_support.h"

namespace qor::frontend {
namespace {

using testing::RecordingMessageBox;
using testing::ScratchDir;
using testing::UseCatalog;

class FakeWindow : public StatusWindow {
  public:
    std::string caption() const override { return caption_; }
    int windowState() const override { return state_; }
    std::string caption_ = "Thermal Analyzer - Demo";
    int state_ = 0;
};

std::string stored(const char* key) {
    const char* text = E_GetString(key);
    return text ? text : "<absent>";
}

class CoordinationTest : public ::testing::Test {
  protected:
    void SetUp() override { UseCatalog(dir_, ""); }
    void TearDown() override {
        for (const char* key : {"AllAps", "QORTHERM", "QOREMA", "QORTHERMMW_", "QOREMAMW_",
                                "QORPLACE", "QORPLACEMW_", "QORROUTE", "QORROUTEMW_"})
            E_SetString(key, "");
    }
    ScratchDir dir_;
    RecordingMessageBox box_;
    FakeWindow window_;
    AnalyzerCoordination thermal_{Analyzer::Thermal, window_, box_};
};

TEST_F(CoordinationTest, StatusRecordPublishedAndCleared) {
    thermal_.PublishStatus(true, -1);
    EXPECT_EQ(stored("QORTHERM"), "Thermal Analyzer - Demo, 0, 0,-1, 0");
    window_.state_ = 2;
    thermal_.PublishStatus(true, 0);
    EXPECT_EQ(stored("QORTHERM"), "Thermal Analyzer - Demo, 2, 0, 0, 0");
    thermal_.PublishStatus(true, 7);
    EXPECT_EQ(stored("QORTHERM"), "Thermal Analyzer - Demo, 2, 0, 7, 0");
    thermal_.PublishStatus(false, 7);
    EXPECT_EQ(stored("QORTHERM"), "<absent>") << "the empty text removes the record";
    AnalyzerCoordination em(Analyzer::Em, window_, box_);
    em.PublishStatus(true, 0);
    EXPECT_EQ(stored("QOREMA"), "Thermal Analyzer - Demo, 2, 0, 0, 0");
}

TEST_F(CoordinationTest, AnalyzerListAndOwnPosition) {
    thermal_.Start();
    EXPECT_TRUE(thermal_.keys().empty());
    EXPECT_EQ(thermal_.ownPosition(), 0);
    EXPECT_FALSE(thermal_.CheckOtherAnalyzers(false).busy) << "without a list nobody is busy";

    E_SetString("AllAps", "QORPLACE,QORTHERM,QOREMA");
    thermal_.Start();
    EXPECT_EQ(thermal_.keys(), (std::vector<std::string>{"QORPLACE", "QORTHERM", "QOREMA"}));
    EXPECT_EQ(thermal_.ownPosition(), 2);
    AnalyzerCoordination em(Analyzer::Em, window_, box_);
    E_SetString("AllAps", "QOREMA, QORTHERM, QOREMA ");
    em.Start();
    EXPECT_EQ(em.ownPosition(), 3) << "the last position of the own key";
}

// The records other analyzers may leave in the store, and what the busy test makes of them.
TEST_F(CoordinationTest, BusyTestOverOtherAnalyzers) {
    const struct {
        const char* name;
        const char* running;  // the other analyzer's running flag, nullptr = absent
        const char* record;
        bool busy;
        const char* caption;
    } cases[] = {
        {"idle", "1", "EM - Demo, 0, 0, 0, 0", false, ""},
        {"minimized idle", "1", "EM - Demo, 1, 0, 0, 0", false, ""},
        {"operation under way", "1", "EM - Demo, 0, 0, 3, 0", true, "EM - Demo"},
        {"just started", "1", "EM - Demo, 0, 0,-1, 0", true, "EM - Demo"},
        {"modal dialog open", "1", "EM - Demo, 0, 0, 0, 1", true, "EM - Demo"},
        {"field 3 set", "1", "EM - Demo, 0, 1, 0, 0", true, "EM - Demo"},
        {"running without record", "1", nullptr, false, ""},
        {"running flag with blanks", " 1 ", "EM - Demo, 0, 0, 3, 0", true, "EM - Demo"},
        {"caption with a comma, idle and minimized", "1", "EM - Board, rev A, 1, 0, 0, 0", false,
         ""},
        {"caption with a comma, busy", "1", "EM - Board, rev A, 0, 0, 0, 2", true,
         "EM - Board, rev A"},
        {"short record", "1", "EM, 0, 0, 4", true, "EM"},
    };
    E_SetString("AllAps", "QORTHERM,QOREMA");
    thermal_.Start();
    for (const auto& c : cases) {
        E_SetString("QOREMAMW_", c.running);
        E_SetString("QOREMA", c.record);
        box_.shown.clear();
        const BusyResult silent = thermal_.CheckOtherAnalyzers(true);
        EXPECT_EQ(silent.busy, c.busy) << c.name;
        EXPECT_EQ(silent.caption, c.caption) << c.name;
        EXPECT_TRUE(box_.shown.empty()) << c.name;
        const BusyResult shown = thermal_.CheckOtherAnalyzers(false);
        EXPECT_EQ(shown.busy, c.busy) << c.name;
        if (c.busy) {
            ASSERT_EQ(box_.shown.size(), 1u) << c.name;
            EXPECT_EQ(
                box_.shown[0],
                (MessageRequest{"Qor32", std::string("Finish current operation for: ") + c.caption,
                                MessageIcon::Warning, true}))
                << c.name;
        } else {
            EXPECT_TRUE(box_.shown.empty()) << c.name;
        }
        EXPECT_EQ(stored("QOREMA"), c.record ? c.record : "<absent>")
            << "a running analyzer keeps its record";
    }
}

TEST_F(CoordinationTest, StaleRecordsAreErasedAndTheOwnRecordIsSkipped) {
    E_SetString("AllAps", "QORTHERM, QORPLACE,QOREMA");
    thermal_.Start();
    thermal_.PublishStatus(true, -1);  // our own record is busy but never counts
    E_SetString("QORPLACE", "Placer, 0, 0, 5, 0");
    E_SetString("QORPLACEMW_", "0");          // no longer running
    E_SetString("QOREMA", "EM, 0, 0, 3, 0");  // running flag absent
    EXPECT_FALSE(thermal_.CheckOtherAnalyzers(false).busy);
    EXPECT_TRUE(box_.shown.empty());
    EXPECT_EQ(stored("QORPLACE"), "<absent>");
    EXPECT_EQ(stored("QOREMA"), "<absent>");
    EXPECT_EQ(stored("QORTHERM"), "Thermal Analyzer - Demo, 0, 0,-1, 0");

    E_SetString("QORPLACE", "Placer, 0, 0, 5, 0");
    E_SetString("QORPLACEMW_", "10");
    EXPECT_FALSE(thermal_.CheckOtherAnalyzers(true).busy) << "the running flag is exactly 1";
}

TEST_F(CoordinationTest, FirstBusyAnalyzerStopsTheTest) {
    E_SetString("AllAps", "QORPLACE,QOREMA,QORROUTE");
    thermal_.Start();
    E_SetString("QORPLACEMW_", "1");
    E_SetString("QORPLACE", "Placer, 0, 0, 0, 0");
    E_SetString("QOREMAMW_", "1");
    E_SetString("QOREMA", "EM, 0, 0, 2, 0");
    E_SetString("QORROUTE", "Router, 0, 0, 2, 0");  // stale, but after the busy one
    const BusyResult r = thermal_.CheckOtherAnalyzers(false);
    EXPECT_TRUE(r.busy);
    EXPECT_EQ(r.caption, "EM");
    EXPECT_EQ(box_.shown.size(), 1u);
    EXPECT_EQ(stored("QORROUTE"), "Router, 0, 0, 2, 0");
}

TEST_F(CoordinationTest, WarningIsLocalized) {
    UseCatalog(dir_, "99688=Laufenden Vorgang zuerst beenden für:\n");
    E_SetString("AllAps", "QOREMA");
    thermal_.Start();
    E_SetString("QOREMAMW_", "1");
    E_SetString("QOREMA", "EM, 0, 0, 2, 0");
    ASSERT_TRUE(thermal_.CheckOtherAnalyzers(false).busy);
    EXPECT_EQ(box_.shown.back().text, "Laufenden Vorgang zuerst beenden für: EM");
}

TEST_F(CoordinationTest, ModalDialogRaisesTheDepthWhileItIsShown) {
    std::string during;
    thermal_.ShowModalDialog([&] {
        during = stored("QORTHERM");
        thermal_.ShowModalDialog(
            [&] { EXPECT_EQ(stored("QORTHERM"), "Thermal Analyzer - Demo, 0, 0,-1, 2"); });
    });
    EXPECT_EQ(during, "Thermal Analyzer - Demo, 0, 0,-1, 1");
    EXPECT_EQ(thermal_.modalDepth(), 0);
    EXPECT_EQ(stored("QORTHERM"), "Thermal Analyzer - Demo, 0, 0,-1, 0");

    EXPECT_THROW(thermal_.ShowModalDialog([] { throw std::runtime_error("dialog failed"); }),
                 std::runtime_error);
    EXPECT_EQ(thermal_.modalDepth(), 0) << "a failing dialog does not leave the analyzer busy";
    EXPECT_EQ(stored("QORTHERM"), "Thermal Analyzer - Demo, 0, 0,-1, 0");
}

TEST(CentreOnScreen, ThermalUsesDistancesEmSignedOffsets) {
    EXPECT_EQ(AnalyzerCoordination::CentreOnScreen(Analyzer::Thermal, 400, 600, 1000, 1600),
              (Placement{300, 500}));
    EXPECT_EQ(AnalyzerCoordination::CentreOnScreen(Analyzer::Em, 400, 600, 1000, 1600),
              (Placement{300, 500}));
    EXPECT_EQ(AnalyzerCoordination::CentreOnScreen(Analyzer::Thermal, 1200, 600, 1000, 1600),
              (Placement{100, 500}));
    EXPECT_EQ(AnalyzerCoordination::CentreOnScreen(Analyzer::Em, 1200, 600, 1000, 1600),
              (Placement{-100, 500}));
}

}  // namespace
}  // namespace qor::frontend
