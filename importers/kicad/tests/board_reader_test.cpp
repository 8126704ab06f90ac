#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "qor/design/design_file.h"
#include "qor/importers/kicad.h"
#include "sexpr.h"
#include "test_boards.h"

using namespace qor;
using design::Point;

namespace {



design::Design read(const std::string& text, kicad::ImportReport& report) {
    return kicad::readBoard(text, "fallback", report);
}

const design::Node& nodeOf(const design::Design& d, const std::string& ref, int32_t pin) {
    for (const auto& c : d.components)
        if (c.name == ref)
            for (const auto& n : d.nodes)
                if (n.component == c.number && n.pin == pin) return n;
    throw std::out_of_range(ref);
}

TEST(KicadBoard, ComponentsAndPadsLandWhereTheBoardHasThem) {
    kicad::ImportReport report;
    const auto d = read(kicad::testing::kBoard, report);
    EXPECT_EQ(d.name, "Test board");
    ASSERT_EQ(report.components, 2);
    EXPECT_EQ(report.padsOnNets, 4) << "the unconnected mounting hole is no node";
    const auto& r1 = d.components[0];
    EXPECT_EQ(r1.name, "R1");
    EXPECT_EQ((Point{r1.x, r1.y}), (Point{1000000, -2000000}));
    EXPECT_EQ(r1.angle, 90000);
    EXPECT_EQ(r1.flags, design::kComponentLocked);
    const auto& u1 = d.components[1];
    EXPECT_EQ(u1.flags, design::kComponentMirrored);
    ASSERT_EQ(d.devices.size(), 2u);
    EXPECT_EQ(d.devices[static_cast<size_t>(u1.device - 1)].name, "LM358");
    EXPECT_EQ(d.devices[static_cast<size_t>(u1.device - 1)].package, "SOIC-8");

    struct Case {
        const char* ref;
        int32_t pin;
        Point at;
    } cases[] = {
        {"R1", 1, {1000000, -2100000}},
        {"R1", 2, {1000000, -1900000}},
        {"U1", 1, {3270000, -2190500}},  // back side, turned half round
        {"U1", 2, {2730000, -2190500}},  // pad "8" is the footprint's second pad
    };
    for (const auto& c : cases) {
        const auto& n = nodeOf(d, c.ref, c.pin);
        EXPECT_EQ((Point{n.x, n.y}), c.at) << c.ref << " pin " << c.pin;
    }
    // The frame comes from the courtyard when there is one, else from the fabrication outline.
    const auto& r1Symbol = *std::find_if(d.symbols.begin(), d.symbols.end(), [&](auto& s) { return s.number == r1.symbol; });
    EXPECT_EQ(r1Symbol.items.size(), 4u);
    EXPECT_EQ(r1Symbol.pads[1].name, "2");
    const auto& u1Symbol = *std::find_if(d.symbols.begin(), d.symbols.end(), [&](auto& s) { return s.number == u1.symbol; });
    EXPECT_EQ(u1Symbol.items.size(), 1u);
    EXPECT_TRUE(u1Symbol.padStacks.back().throughHole);
}

TEST(KicadBoard, LayersMapToDesignLayers) {
    kicad::ImportReport report;
    const auto d = read(kicad::testing::kBoard, report);
    EXPECT_EQ(d.layers[2].name, "F.Cu");
    EXPECT_EQ(d.layers[3].name, "GND plane");
    EXPECT_EQ(d.layers[29].name, "B.Cu");
}

TEST(KicadBoard, TracksChainPerNetAndLayerAndBreakAtJunctions) {
    kicad::ImportReport report;
    const auto d = read(kicad::testing::kBoard, report);
    EXPECT_EQ(report.trackPieces, 8);
    EXPECT_EQ(report.vias, 2);
    std::vector<const design::Trace*> sig;
    for (const auto& t : d.traces)
        if (t.net == 2) sig.push_back(&t);
    ASSERT_EQ(sig.size(), 4u) << "three pieces meet at (20, 19): three front traces, one back";
    int pieces = 0;
    for (const auto& t : d.traces) {
        if (t.number == design::kOutlineTrace) continue;
        for (const auto& p : t.points) pieces += !(p.flags & design::kPointArcCentre);
        --pieces;
    }
    EXPECT_EQ(pieces, report.trackPieces);

    const design::Trace* back = nullptr;
    for (const auto* t : sig)
        if (t->points.front().layer == 29) back = t;
    ASSERT_NE(back, nullptr);
    ASSERT_EQ(back->points.size(), 4u);
    EXPECT_EQ(back->points[0].flags, design::kPointVia);
    EXPECT_EQ(back->points[1].flags, design::kPointArcCentre | design::kArcClockwise);
    EXPECT_EQ(back->points[1].centreDx, 300000);
    EXPECT_EQ(back->points[1].centreDy, -400000);
    EXPECT_EQ(back->points[1].radius, 500000);
    EXPECT_EQ(back->points[0].width, 30000);
    EXPECT_EQ(back->points[2].flags, design::kPointBend);
    EXPECT_EQ(back->points[3].flags, design::kPointNode);
    EXPECT_EQ(back->points[3].node, nodeOf(d, "U1", 1).number);
}

TEST(KicadBoard, ZonesBecomeCopperAreasAndKeepOutsAreSkipped) {
    kicad::ImportReport report;
    const auto d = read(kicad::testing::kBoard, report);
    EXPECT_EQ(report.zones, 1);
    EXPECT_EQ(report.skippedZones, 1);
    const auto& areas = d.symbols.front();
    ASSERT_EQ(areas.name, "@COPPAR");
    EXPECT_EQ(areas.number, design::copperAreaSymbol(1));
    ASSERT_EQ(areas.items.size(), 8u) << "one chain of four on each of two layers";
    EXPECT_EQ(areas.items[0].layer, 2);
    EXPECT_EQ(areas.items[4].layer, 29);
    EXPECT_EQ(areas.items[0].mask, 16);
    EXPECT_EQ(areas.items[0].link, 1);
    EXPECT_EQ(areas.items[3].flags, design::kItemOutline | design::kItemChainLast);
}

TEST(KicadBoard, OutlineIsChainedClosedAndCutOutsAreReported) {
    kicad::ImportReport report;
    const auto d = read(kicad::testing::kBoard, report);
    const auto& outline = d.traces.front();
    ASSERT_EQ(outline.number, design::kOutlineTrace);
    EXPECT_EQ(outline.points.front().x, outline.points.back().x);
    EXPECT_EQ(outline.points.front().y, outline.points.back().y);
    EXPECT_EQ(outline.points.size(), 14u) << "four corners, eight arc points, the arc end and the closing point";
    EXPECT_EQ(report.cutouts, 1);
    ASSERT_FALSE(report.warnings.empty());
    for (const auto& p : outline.points) {
        EXPECT_GE(p.x, 0);
        EXPECT_LE(p.x, 4000000);
        EXPECT_LE(p.y, 0);
        EXPECT_GE(p.y, -4000000);
    }
}

TEST(KicadBoard, ManySidedOutlinesStayUnderOneHundredRecords) {
    std::string board = "(kicad_pcb (version 20211014) (net 0 \"\")\n";
    // A 400-sided polygon approximating a circle of 50 mm.
    board += "(gr_poly (pts";
    for (int i = 0; i < 400; ++i)
        board += " (xy " + std::to_string(50 + 50 * std::cos(i * 2 * M_PI / 400)) + " " +
                 std::to_string(50 + 50 * std::sin(i * 2 * M_PI / 400)) + ")";
    board += ") (layer \"Edge.Cuts\") (width 0.1)))";
    kicad::ImportReport report;
    const auto d = read(board, report);
    EXPECT_LE(d.traces.front().points.size(), 99u);
    EXPECT_GE(d.traces.front().points.size(), 20u);
}

TEST(KicadBoard, NewerTokensAreRead) {
    constexpr const char* kKicad8 = R"BOARD((kicad_pcb (version 20240108) (generator "pcbnew")
  (layers (0 "F.Cu" signal) (31 "B.Cu" signal) (25 "Edge.Cuts" user))
  (net 0 "") (net 1 "GND")
  (footprint "Connector:J" (layer "F.Cu") (uuid "x") (at 5 5)
    (property "Reference" "J1" (at 0 0 0) (layer "F.SilkS"))
    (property "Value" "CONN_01x02" (at 0 0 0) (layer "F.Fab"))
    (locked yes)
    (pad "1" thru_hole circle (at 0 0) (size 1.7 1.7) (drill 1) (layers "*.Cu" "*.Mask") (net 1 "GND") (uuid "y")))
  (gr_rect (start 0 0) (end 10 10) (stroke (width 0.1) (type solid)) (fill none) (layer "Edge.Cuts"))
  (segment (start 5 5) (end 8 5) (width 0.25) (layer "B.Cu") (net 1) (uuid "z"))
))BOARD";
    kicad::ImportReport report;
    const auto d = read(kKicad8, report);
    ASSERT_EQ(d.components.size(), 1u);
    EXPECT_EQ(d.components[0].name, "J1");
    EXPECT_EQ(d.components[0].flags, design::kComponentLocked);
    EXPECT_EQ(d.devices[0].name, "CONN_01x02");
    EXPECT_EQ(d.traces.front().points.size(), 5u);
    ASSERT_EQ(d.traces.size(), 2u);
    EXPECT_EQ(d.traces[1].points[0].flags, design::kPointNode) << "a through-hole pad is on every copper layer";
}

TEST(KicadBoard, OlderTokensAreRead) {
    constexpr const char* kKicad5 = R"BOARD((kicad_pcb (version 20171130) (host pcbnew "(5.1.0)")
  (layers (0 F.Cu signal) (31 B.Cu signal) (44 Edge.Cuts user))
  (net 0 "") (net 1 GND)
  (module R_0805 (layer B.Cu) (tedit 0) (tstamp 0) (at 5 5)
    (fp_text reference R9 (at 0 0) (layer B.SilkS))
    (fp_text value 1k (at 0 0) (layer B.Fab))
    (pad 1 smd rect (at -1 0) (size 1 1) (layers B.Cu B.Paste B.Mask) (net 1 GND)))
  (gr_line (start 0 10) (end 0 0) (layer Edge.Cuts) (width 0.1))
  (gr_line (start 0 0) (end 10 0) (layer Edge.Cuts) (width 0.1))
  (gr_arc (start 10 10) (end 10 0) (angle 90) (layer Edge.Cuts) (width 0.1))
  (gr_line (start 20 10) (end 0 10) (layer Edge.Cuts) (width 0.1))
))BOARD";
    kicad::ImportReport report;
    const auto d = read(kKicad5, report);
    ASSERT_EQ(d.components.size(), 1u);
    EXPECT_EQ(d.components[0].name, "R9");
    EXPECT_EQ(d.components[0].flags, design::kComponentMirrored);
    const auto& n = d.nodes.at(0);
    EXPECT_EQ((Point{n.x, n.y}), (Point{400000, -500000}));
    EXPECT_TRUE(report.warnings.empty()) << report.warnings.front();
    const auto& outline = d.traces.front();
    EXPECT_EQ(outline.points.front().x, outline.points.back().x);
    // The quarter arc around (10, 10) from (10, 0) to (20, 10) bulges towards (17.07, 2.93).
    bool bulge = false;
    for (const auto& p : outline.points) bulge |= p.x > 1600000 && p.x < 1800000 && p.y < -200000 && p.y > -400000;
    EXPECT_TRUE(bulge);
}

TEST(KicadBoard, BadBoardsNameTheLineAndTheProblem) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"(kicad_sch (version 20211014))", "expected (kicad_pcb ...)"},
        {"(kicad_pcb (generator pcbnew))", "expected (version ...)"},
        {"(kicad_pcb\n (version 20990101))", "line 2: unsupported board file version 20990101"},
        {"(kicad_pcb (version 20211014) (net 0 \"\"))", "missing board outline"},
        {"(kicad_pcb (version 20211014)\n(footprint \"x\" (layer \"F.Cu\")))", "line 2: expected (at x y)"},
        {"(kicad_pcb (version 20211014)\n(segment (start 1 x) (end 2 2) (layer \"F.Cu\")))", "line 2: expected a number"},
        {"(kicad_pcb (version 20211014)\n(net 1 \"A\")", "expected ')'"},
    };
    for (const auto& c : cases) {
        kicad::ImportReport report;
        try {
            read(c.text, report);
            ADD_FAILURE() << "no error for " << c.text;
        } catch (const kicad::FormatError& e) {
            EXPECT_NE(std::string(e.what()).find(c.expected), std::string::npos) << e.what();
        }
    }
}

class ImportFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("qor_kicad_" + std::to_string(::getpid()) + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string write(const std::string& name, const std::string& text) {
        const auto path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
    std::filesystem::path dir_;
};

TEST_F(ImportFile, WritesADesignTheKernelCanOpen) {
    const std::string board = write("b.kicad_pcb", kicad::testing::kBoard);
    const std::string out = (dir_ / "b.qdb").string();
    kicad::ImportReport report;
    std::string error;
    ASSERT_TRUE(kicad::importBoardFile(board, out, report, error)) << error;
    auto file = design::DesignFile::open(out, error);
    ASSERT_TRUE(file) << error;
    design::Design d;
    ASSERT_TRUE(file->load(d, error));
    EXPECT_EQ(d.components.size(), 2u);
    // Importing again replaces the design.
    ASSERT_TRUE(kicad::importBoardFile(board, out, report, error)) << error;
}

TEST_F(ImportFile, BadInputLeavesNoFileAndKeepsAnOldOne) {
    const std::string bad = write("bad.kicad_pcb", "(kicad_pcb (version 20211014)\n(net 1 \"A\"");
    const std::string out = (dir_ / "out.qdb").string();
    kicad::ImportReport report;
    std::string error;
    EXPECT_FALSE(kicad::importBoardFile(bad, out, report, error));
    EXPECT_NE(error.find("line 2"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(out));
    std::ofstream(out) << "previous";
    EXPECT_FALSE(kicad::importBoardFile(bad, out, report, error));
    std::ifstream in(out);
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "previous");
    EXPECT_FALSE(kicad::importBoardFile((dir_ / "missing.kicad_pcb").string(), out, report, error));
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        EXPECT_EQ(entry.path().string().find(".importing"), std::string::npos) << entry.path();
}

}  // namespace
