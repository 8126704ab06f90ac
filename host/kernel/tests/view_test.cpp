// The view calls: layer visibility and draw flags in the kernel's drawing, layout texts, auxiliary
// symbols, nodes and the ratsnest, the grid, pens and the cached picture.
#include <QImage>
#include <algorithm>
#include <string>
#include <vector>

#include "kernel_fixture.h"

namespace qor::kernel::testing {
namespace {

constexpr int32_t kTitleLayer = 1;

size_t count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

design::Item item(int32_t kind, int32_t layer, int32_t mask, design::Point at, design::Point d,
                  const char* text = "") {
    design::Item it;
    it.kind = kind, it.layer = layer, it.mask = mask, it.x = at.x, it.y = at.y, it.dx = d.x,
    it.dy = d.y;
    it.text = text;
    return it;
}

// The fixture board with layout texts (a title, a rule, a box and two analyzer labels) and board
// notes.
class ViewTest : public KernelTest {
  protected:
    void SetUp() override {
        KernelTest::SetUp();
        DB_CloseDesign();
        path_ = (dir_ / "view.qdb").string();
        design::Design d = buildBoard(f_);
        auto title = item(design::kItemText, kTitleLayer, 0, {500000, 7500000}, {}, "TITLE");
        title.textSize = 200000;
        d.layoutTexts.push_back(title);
        auto rule = item(design::kItemLine, kTitleLayer, 0, {500000, 7000000}, {1000000, 0});
        rule.width = 20000;
        d.layoutTexts.push_back(rule);
        d.layoutTexts.push_back(item(design::kItemBox, 3, 0, {200000, 200000}, {300000, 100000}));
        auto thermal = item(design::kItemText, 2, 4, {3000000, 3000000}, {}, "25");
        thermal.angle = 90000;
        thermal.textSize = 100000;
        d.layoutTexts.push_back(thermal);
        d.layoutTexts.push_back(
            item(design::kItemLine, 29, 8 | 16, {4000000, 4000000}, {0, 500000}));
        design::Symbol notes;
        notes.number = design::boardNotesSymbol(1);
        notes.name = "@BRDNOTES";
        notes.items.push_back(
            item(design::kItemText, kTitleLayer, 0, {100000, 7800000}, {}, "Rev A"));
        d.symbols.push_back(notes);
        std::string error;
        ASSERT_TRUE(design::DesignFile::create(path_, d, error)) << error;
        ASSERT_EQ(DB_OpenDesign(path_.c_str()), 1) << DB_LastError();
    }
    void TearDown() override {
        G_SetDrawMode(0);
        KernelTest::TearDown();
    }

    static void setVisible(uint32_t layers) {
        E_SysTable(11)[0] = static_cast<int32_t>(layers & 0xFFFFu);
        E_SysTable(11)[1] = static_cast<int32_t>(layers >> 16);
    }
    // Everything the view draws for one layer pass.
    static void drawContent() {
        S_DrawSymbol(design::copperAreaSymbol(1), -1, -1);
        S_DrawSymbol(design::boardNotesSymbol(1), -1, -1);
        L_DrawAllComponents(1);
        T_DrawAllTraceMask(1, 1);
        V_DrawAllVias(1);
        T_DrawLayoutAllTexts(1);
        N_DrawAllNodes(1);
    }
};

// ---- Layer visibility ---------------------------------------------------------------------------

TEST_F(ViewTest, HiddenLayersAreLeftOutOfEveryDrawingCall) {
    const std::string u1Pad = "G_Rectangle 1734500 2655000 150000 150000 0\n";
    const std::string r1Pad = "G_Rectangle 3825000 4925000 150000 150000 0\n";
    const std::string u2Pad = "G_Rectangle 5655000 3115500 150000 150000 90000\n";
    const std::string topCopper = "G_Line 1809500 3270000 1809500 4000000 50800\n";
    const std::string bottomCopper = "G_Line 5000000 5000000 5730000 3190500 50800\n";
    const std::string via = "G_Circle 5000000 5000000 30000 1\n";
    const std::string area = "G_Line 100000 100000 900000 100000\n";
    const std::string areaBox = "G_Line 200000 200000 500000 200000\n";
    const std::string title = "G_Text 500000 7500000 200000 0 TITLE\n";
    const std::string notes = "G_Text 100000 7800000 150000 0 Rev A\n";
    const std::string u1Node = "G_Circle 1809500 3270000 40000 0\n";
    const std::string u2Node = "G_Circle 5730000 3190500 40000 0\n";
    const std::vector<std::string> all = {u1Pad, r1Pad,   u2Pad, topCopper, bottomCopper, via,
                                          area,  areaBox, title, notes,     u1Node,       u2Node};
    struct Case {
        const char* name;
        uint32_t visible;
        std::vector<std::string> drawn;
    } cases[] = {
        {"all", 0xFFFFFFFFu, all},
        {"none", 0, {}},
        {"top side", 1u << 2, {u1Pad, r1Pad, topCopper, via, u1Node}},
        {"bottom side", 1u << 29, {u2Pad, bottomCopper, via, u2Node}},
        {"inner layer", 1u << 3, {area, areaBox}},
        {"title layer", 1u << kTitleLayer, {title, notes}},
    };
    for (const auto& c : cases) {
        setVisible(c.visible);
        Recording rec;
        G_OpenDC(rec.surface(), &kView);
        drawContent();
        G_CloseDC();
        const std::string text = rec.text();
        for (const auto& line : all) {
            const bool expected = std::find(c.drawn.begin(), c.drawn.end(), line) != c.drawn.end();
            EXPECT_EQ(text.find(line) != std::string::npos, expected) << c.name << ": " << line;
        }
    }
}

TEST_F(ViewTest, TheOutlineFollowsLayerZeroButHighlightsAreAlwaysDrawn) {
    for (const uint32_t visible : {1u, ~1u}) {
        setVisible(visible);
        Recording rec;
        G_OpenDC(rec.surface(), &kView);
        EXPECT_EQ(T_DrawAllRecords(-1, 1), 1);
        EXPECT_EQ(rec.has("G_Line 0 0 10000000 0\n"), visible == 1u) << visible;
        setVisible(0);
        T_DrawAllRecords(f_.sigTrace, -1);
        EXPECT_TRUE(rec.has("G_Line 1809500 2730000 1809500 2000000 25400\n")) << rec.text();
    }
}

// ---- Draw flags ---------------------------------------------------------------------------------

TEST_F(ViewTest, MonochromeDrawsEverythingInColourZero) {
    struct Case {
        int32_t viewFlags, mode;
        bool monochrome;
    } cases[] = {
        {8, 0, true}, {8 | 4, 4, true}, {0, 8, true}, {0, K_DRAW_XOR, false}, {0, 0, false}};
    G_SetStyle(16);
    for (const auto& c : cases) {
        Recording rec;
        G_SetColor(66);
        G_SetDrawMode(c.mode);
        KViewRecord view = kView;
        view.drawFlags = c.viewFlags;
        G_OpenDC(rec.surface(), &view);
        L_DrawAllComponents(1);
        T_DrawAllTraceMask(1, 1);
        S_DrawSymbol(design::copperAreaSymbol(1), -1, -1);
        V_DrawAllVias(1);
        G_CloseDC();
        G_SetDrawMode(0);
        std::string text = rec.text();
        size_t coloured = 0;
        for (const int32_t colour : {8, 9, 10, 12, 15})
            coloured += count(text, "G_SetColor " + std::to_string(colour) + "\n");
        if (c.monochrome) {
            EXPECT_EQ(coloured, 1u)
                << c.viewFlags << "/" << c.mode << ": only the via's hole is white\n"
                << text;
            EXPECT_NE(text.find("G_SetColor 15\nG_Circle 5000000 5000000 15000 1\n"),
                      std::string::npos);
        } else {
            EXPECT_GT(coloured, 4u) << c.viewFlags << "/" << c.mode << text;
        }
        EXPECT_NE(text.find("G_SetColor 66\nG_SetStyle 16\nG_CloseDC\n"), std::string::npos)
            << "the caller's colour";
    }
}

TEST_F(ViewTest, PadFramesDrawPadsHollow) {
    G_SetStyle(16);
    for (const int32_t flags : {0, 0x80}) {
        Recording rec;
        KViewRecord view = kView;
        view.drawFlags = flags;
        G_OpenDC(rec.surface(), &view);
        L_DrawAllComponents(1);
        G_CloseDC();
        const std::string padStyle = flags ? "G_SetStyle 0\n" : "G_SetStyle 16\n";
        EXPECT_NE(rec.text().find(padStyle + "G_Rectangle 1734500 2655000"), std::string::npos)
            << flags << rec.text();
        EXPECT_EQ(count(rec.text(), "G_SetStyle 0\n"), flags ? 3u : 0u) << "one per component";
    }
}

TEST_F(ViewTest, WithoutTrueSizeTracesAndItemLinesAreHairlines) {
    struct Case {
        int32_t viewFlags, mode;
        const char* trace;
        const char* rule;
    } cases[] = {
        {0, 0, "G_Line 5000000 5000000 5730000 3190500 50800\n",
         "G_Line 500000 7000000 1500000 7000000 20000\n"},
        {0x20, 0, "G_Line 5000000 5000000 5730000 3190500\n",
         "G_Line 500000 7000000 1500000 7000000\n"},
        {0, 0x20, "G_Line 5000000 5000000 5730000 3190500\n",
         "G_Line 500000 7000000 1500000 7000000\n"},
    };
    for (const auto& c : cases) {
        Recording rec;
        KViewRecord view = kView;
        view.drawFlags = c.viewFlags;
        G_SetDrawMode(c.mode);
        G_OpenDC(rec.surface(), &view);
        T_DrawAllTraceMask(1, 1);
        T_DrawRecords(f_.vccTrace, 5, 1);
        T_DrawLayoutAllTexts(1);
        G_CloseDC();
        G_SetDrawMode(0);
        EXPECT_EQ(count(rec.text(), c.trace), 2u) << c.viewFlags << "/" << c.mode << rec.text();
        EXPECT_TRUE(rec.has(c.rule)) << c.viewFlags << "/" << c.mode;
    }
}

// ---- Layout texts -------------------------------------------------------------------------------

TEST_F(ViewTest, LayoutTextsAreAnItemArray) {
    const int32_t texts = DB_LayoutTextArray();
    ASSERT_NE(texts, 0);
    EXPECT_EQ(OA_GetCount(texts), 5);
    EXPECT_EQ(OA_SearchMask(texts, 1, 4), 4);
    EXPECT_EQ(OA_SearchMask(texts, 1, 8), 5);
    EXPECT_EQ(OA_SearchMask(texts, 5, 16), 5);
    EXPECT_EQ(OA_SearchMask(texts, 1, 32), 0);
    KItemRecord r{};
    ASSERT_EQ(I_ReadItem(texts, 1, &r), 1);
    EXPECT_EQ(r.kind, design::kItemText);
    EXPECT_STREQ(r.text, "TITLE");
    EXPECT_EQ(r.textSize, 200000);
    EXPECT_EQ(I_ReadItem(texts, 6, &r), 0);
    EXPECT_EQ(I_ReadItem(texts, 0, &r), 0);
    EXPECT_NE(texts, S_SymbolItemArray(design::copperAreaSymbol(1))) << "the arrays are apart";
}

TEST_F(ViewTest, DeletingByMaskLeavesTheOtherItems) {
    const int32_t texts = DB_LayoutTextArray();
    // The analyzers' clean-up: search from position 1, delete, search again.
    for (int32_t at = OA_SearchMask(texts, 1, 4 | 8); at; at = OA_SearchMask(texts, at, 4 | 8))
        ASSERT_EQ(OA_Delete(texts, at), 1);
    EXPECT_EQ(OA_GetCount(texts), 3);
    KItemRecord r{};
    ASSERT_EQ(I_ReadItem(texts, 3, &r), 1);
    EXPECT_EQ(r.kind, design::kItemBox) << "the items after a deleted one move up";
    EXPECT_EQ(OA_Delete(texts, 4), 0);
    EXPECT_EQ(OA_Delete(texts, 0), 0);
    EXPECT_EQ(OA_Delete(12345, 1), 0);
    const int32_t area = S_SymbolItemArray(design::copperAreaSymbol(1));
    const int32_t before = OA_GetCount(area);
    ASSERT_EQ(OA_Delete(area, before), 1);
    EXPECT_EQ(OA_GetCount(area), before - 1) << "symbol item arrays delete too";
    ASSERT_EQ(DB_SaveDesign(), 1);
    reopen();
    EXPECT_EQ(OA_GetCount(DB_LayoutTextArray()), 3) << "deletions are saved with the design";
}

TEST_F(ViewTest, ItemFramesCoverTextsLinesAndBoxes) {
    struct Case {
        int32_t position;
        KRect frame;
    } cases[] = {
        {1, {500000, 7500000, 1100000, 7700000}},   // 5 characters of 0.6 x 200000
        {2, {490000, 6990000, 1510000, 7010000}},   // a line widened by half its 20000 pen
        {3, {200000, 200000, 500000, 300000}},      // a box
        {4, {2900000, 3000000, 3000000, 3120000}},  // "25" turned by 90 degrees about its position
        {5, {4000000, 4000000, 4000000, 4500000}},  // a hairline
    };
    const int32_t texts = DB_LayoutTextArray();
    for (const auto& c : cases) {
        KRect r{};
        ASSERT_EQ(I_FrameItem(texts, c.position, &r), 1) << c.position;
        EXPECT_EQ(r.left, c.frame.left) << c.position;
        EXPECT_EQ(r.bottom, c.frame.bottom) << c.position;
        EXPECT_EQ(r.right, c.frame.right) << c.position;
        EXPECT_EQ(r.top, c.frame.top) << c.position;
    }
    KRect r{};
    EXPECT_EQ(I_FrameItem(texts, 6, &r), 0);
    EXPECT_EQ(I_FrameItem(texts, 1, nullptr), 0);
}

TEST_F(ViewTest, LayoutTextModesPickTheBoardTextsOrTheLabels) {
    struct Case {
        int32_t mode;
        std::vector<std::string> drawn;
    } cases[] = {
        {1,
         {"G_Text 500000 7500000 200000 0 TITLE\n", "G_Line 200000 300000 200000 200000\n",
          "G_Text 3000000 3000000 100000 90000 25\n", "G_Line 4000000 4000000 4000000 4500000\n"}},
        {4, {"G_Text 3000000 3000000 100000 90000 25\n"}},
        {8, {"G_Line 4000000 4000000 4000000 4500000\n"}},
    };
    for (const auto& c : cases) {
        Recording rec;
        G_SetColor(15);
        G_OpenDC(rec.surface(), &kView);
        ASSERT_EQ(T_DrawLayoutAllTexts(c.mode), 1);
        G_CloseDC();
        const std::string text = rec.text();
        for (const auto& line : c.drawn)
            EXPECT_TRUE(rec.has(line)) << c.mode << ": " << line << text;
        EXPECT_EQ(count(text, "G_Text") + count(text, "G_Line"), c.mode == 1 ? 8u : 1u)
            << c.mode << text;
        EXPECT_EQ(count(text, "G_SetColor"), 1u) << "texts take the current colour";
    }
    setVisible(1u << 29);
    Recording rec;
    G_OpenDC(rec.surface(), &kView);
    T_DrawLayoutAllTexts(1);
    T_DrawLayoutAllTexts(4);
    EXPECT_EQ(count(rec.text(), "G_Text") + count(rec.text(), "G_Line"), 2u)
        << "mode 1 keeps to the visible layers, a label mode does not\n"
        << rec.text();
    EXPECT_EQ(T_DrawLayoutAllTexts(0), 0);
}

TEST(ViewCalls, TextDrawsInTheCurrentColour) {
    Recording rec;
    EXPECT_EQ(G_Text(1, 2, 3, 0, "x"), 0) << "no context";
    G_SetColor(11);
    G_OpenDC(rec.surface(), &kView);
    EXPECT_EQ(G_Text(1000, 2000, 50000, 180000, "Hello"), 1);
    EXPECT_EQ(G_Text(1000, 2000, 50000, 0, nullptr), 0);
    G_CloseDC();
    EXPECT_TRUE(rec.text().ends_with(
        "G_SetColor 11\nG_SetStyle 16\nG_Text 1000 2000 50000 180000 Hello\nG_CloseDC\n"))
        << rec.text();
}

// ---- Auxiliary symbols --------------------------------------------------------------------------

TEST_F(ViewTest, AuxiliarySymbolsAreCreatedOnceFoundAndMasked) {
    const int32_t dims = design::dimensionsSymbol(1);
    EXPECT_EQ(S_FindSymbol("@BRDDIM"), 0);
    EXPECT_EQ(S_CreateSymbol(dims, "@BRDDIM"), dims);
    EXPECT_EQ(S_FindSymbol("@BRDDIM"), dims);
    EXPECT_EQ(S_FindSymbol("@brddim"), 0) << "names match exactly";
    EXPECT_EQ(S_FindSymbol("@COPPAR"), design::copperAreaSymbol(1));
    EXPECT_EQ(S_FindSymbol(nullptr), 0);

    struct Refused {
        int32_t number;
        const char* name;
    } refused[] = {{dims, "@OTHER"}, {-999, "@BRDDIM"},
                   {-999, "SO-8"},   {5, "@POSITIVE"},
                   {0, "@ZERO"},     {-998, ""},
                   {-997, nullptr},  {design::boardNotesSymbol(1), "@BRDNOTES"}};
    for (const auto& r : refused) EXPECT_EQ(S_CreateSymbol(r.number, r.name), 0) << r.number;

    KSymbolRecord rec{};
    ASSERT_EQ(S_ReadSymbol(dims, &rec), 1);
    EXPECT_STREQ(rec.name, "@BRDDIM");
    EXPECT_EQ(rec.itemCount, 0);
    EXPECT_EQ(OA_GetCount(S_SymbolItemArray(dims)), 0);

    EXPECT_EQ(S_MaskSymbol(dims, 2, 2), 1);
    EXPECT_EQ(S_MaskSymbol(dims, 0xFF, 0x30), 1);
    ASSERT_EQ(S_ReadSymbol(dims, &rec), 1);
    EXPECT_EQ(rec.mask, 0x32);
    EXPECT_EQ(S_MaskSymbol(dims, 0, 0x10), 1);
    S_ReadSymbol(dims, &rec);
    EXPECT_EQ(rec.mask, 0x22);
    EXPECT_EQ(S_MaskSymbol(-424242, 2, 2), 0);

    Recording draw;
    G_OpenDC(draw.surface(), &kView);
    EXPECT_EQ(S_DrawSymbol(dims, -1, -1), 1) << "an empty symbol draws nothing, harmlessly";
    ASSERT_EQ(DB_SaveDesign(), 1);
    reopen();
    EXPECT_EQ(S_FindSymbol("@BRDDIM"), dims) << "created symbols are saved with the design";
    DB_CloseDesign();
    EXPECT_EQ(S_CreateSymbol(-500, "@X"), 0);
    EXPECT_EQ(S_FindSymbol("@COPPAR"), 0);
    EXPECT_EQ(DB_LayoutTextArray(), 0);
    ASSERT_EQ(DB_OpenDesign(path_.c_str()), 1);
}

// ---- Nodes and ratsnest -------------------------------------------------------------------------

TEST_F(ViewTest, AllNodesAreMarkedInTheCurrentColourAndMode) {
    Recording rec;
    G_SetStyle(16);
    G_SetColor(14);
    G_SetDrawMode(K_DRAW_XOR);
    G_OpenDC(rec.surface(), &kView);
    ASSERT_EQ(N_DrawAllNodes(1), 1);
    G_CloseDC();
    G_SetDrawMode(0);
    const std::string text = rec.text();
    EXPECT_EQ(count(text, "G_Circle"), 4u) << text;
    EXPECT_TRUE(text.starts_with(
        "G_OpenDC 1000 100 100 50000 50000 0\nG_SetColor 14\nG_SetStyle 16\nG_SetDrawMode 12\n"));
    EXPECT_EQ(count(text, "G_SetColor"), 1u);
    EXPECT_EQ(N_DrawAllNodes(1), 0) << "no context";
}

TEST(ViewCalls, RatsnestIsTheMinimumSpanningTree) {
    // Five nodes: a square of side 10 mm and its centre; the tree joins each corner to the centre.
    design::DesignBuilder b("Ratsnest");
    const int32_t pad = b.addSymbol("P", {{1, "1", 0, 0, 0}}, {-1000, -1000, 1000, 1000});
    const int32_t net = b.addNet("N");
    const design::Point at[] = {
        {0, 0}, {1000000, 0}, {1000000, 1000000}, {0, 1000000}, {500000, 500000}};
    for (size_t i = 0; i < std::size(at); ++i)
        b.connect(net, b.addComponent("P" + std::to_string(i), pad, 0, at[i]), 1);
    const int32_t lonely = b.addNet("Lonely");
    b.connect(lonely, b.addComponent("Q", pad, 0, {7, 7}), 1);
    const auto path = std::filesystem::temp_directory_path() /
                      ("qor_ratsnest_" + std::to_string(::getpid()) + ".qdb");
    std::string error;
    ASSERT_TRUE(design::DesignFile::create(path.string(), b.take(), error)) << error;
    ASSERT_EQ(DB_OpenDesign(path.c_str()), 1) << DB_LastError();
    Recording rec;
    G_SetColor(66);
    G_OpenDC(rec.surface(), &kView);
    EXPECT_EQ(N_DrawNetRatsnest(net), 1);
    EXPECT_EQ(N_DrawNetRatsnest(lonely), 1);
    EXPECT_EQ(N_DrawNetRatsnest(4242), 0);
    G_CloseDC();
    const std::string text = rec.text();
    EXPECT_EQ(count(text, "G_Line"), 4u) << text;
    for (const auto& corner : {at[0], at[1], at[2], at[3]}) {
        const std::string a = std::to_string(corner.x) + " " + std::to_string(corner.y);
        EXPECT_TRUE(rec.has("G_Line 500000 500000 " + a + "\n") ||
                    rec.has("G_Line " + a + " 500000 500000\n"))
            << a << "\n"
            << text;
    }
    EXPECT_EQ(count(text, "G_SetColor"), 1u) << "the current colour";
    DB_CloseDesign();
    std::filesystem::remove(path);
}

// ---- Primitives, mapping, grid and pens ---------------------------------------------------------

TEST(ViewCalls, TrianglesPointTheirTipAtThePoint) {
    struct Case {
        int32_t direction;
        const char* polygon;
    } cases[] = {
        {0, "G_Polygon 1 1000 2000 -7000 -2000 -7000 6000\n"},
        {1, "G_Polygon 1 1000 2000 -3000 -6000 5000 -6000\n"},
        {2, "G_Polygon 1 1000 2000 9000 6000 9000 -2000\n"},
        {3, "G_Polygon 1 1000 2000 5000 10000 -3000 10000\n"},
    };
    Recording rec;
    G_OpenDC(rec.surface(), &kView);
    for (const auto& c : cases) {
        EXPECT_EQ(G_Triangle(1000, 2000, 8000, c.direction), 1);
        EXPECT_TRUE(rec.has(c.polygon)) << c.direction << "\n" << rec.text();
    }
    EXPECT_EQ(G_Triangle(0, 0, 8000, 4), 0);
    EXPECT_EQ(G_Triangle(0, 0, 0, 1), 0);
}

TEST(ViewCalls, PixelsMapBackToDesignUnitsMirrorAware) {
    struct Case {
        KViewRecord view;
        int32_t px, py, x, y;
    } cases[] = {
        {{1000, 100, 100, 50000, 50000, 0}, 50, 50, 50000, 50000},
        {{1000, 100, 100, 50000, 50000, 0}, 0, 0, 0, 100000},
        {{1000, 100, 100, 50000, 50000, 0}, 100, 100, 100000, 0},
        {{1000, 100, 100, 50000, 50000, 1}, 0, 0, 100000, 100000},
        {{2540000, 800, 600, 0, 0, 0}, 799, 0, 1013460000, 762000000},
        {{100, 640, 480, -3000, 7000, 0}, 10, 470, -34000, -16000},
    };
    Recording rec;
    for (const auto& c : cases) {
        ASSERT_EQ(G_OpenDC(rec.surface(), &c.view), 1);
        int32_t x = 0, y = 0;
        ASSERT_EQ(G_DPtoLP(c.px, c.py, &x, &y), 1);
        EXPECT_EQ(x, c.x) << c.px << "," << c.py;
        EXPECT_EQ(y, c.y) << c.px << "," << c.py;
        G_CloseDC();
        int32_t again = 0, y2 = 0;
        ASSERT_EQ(G_DPtoLP(c.px, c.py, &again, &y2), 1) << "the last context's view still maps";
        EXPECT_EQ(again, c.x);
    }
    EXPECT_EQ(G_DPtoLP(0, 0, nullptr, nullptr), 0);
}

TEST(ViewCalls, TheOpenContextNamesItsSurfaceUntilClosed) {
    Recording a, b;
    const KViewRecord view{1000, 100, 100, 0, 0, 0};
    G_CloseDC();
    EXPECT_EQ(G_ContextSurface(), 0);
    ASSERT_EQ(G_OpenDC(a.surface(), &view), 1);
    EXPECT_EQ(G_ContextSurface(), a.surface());
    ASSERT_EQ(G_OpenDC(b.surface(), &view), 1);
    EXPECT_EQ(G_ContextSurface(), b.surface()) << "opening another context closes the first";
    G_CloseDC();
    EXPECT_EQ(G_ContextSurface(), 0);
}

TEST(ViewCalls, GridStepGrowsUntilItIsFourPixelsWide) {
    struct Case {
        int32_t zoom, step, used;
    } cases[] = {
        {1000, 10000, 10000},  // 10 pixels
        {1000, 4000, 4000},    // exactly 4 pixels
        {1000, 1000, 5000},    // 1 -> 2 -> 5 times
        {1000, 1500, 7500},    // 3 times is not a step: 1, 2, 5
        {10000, 1000, 50000}, {2540000, 2540, 12700000}, {100, 1, 500},
    };
    Recording rec;
    const KRect pixels{0, 0, 100, 100};
    for (const auto& c : cases) {
        const KViewRecord view{c.zoom, 100, 100, 0, 0, 0};
        G_OpenDC(rec.surface(), &view);
        EXPECT_EQ(G_DrawGrid(&pixels, c.step, 0), c.used) << c.zoom << " " << c.step;
        G_CloseDC();
        EXPECT_EQ(G_DrawGrid(&pixels, c.step, 0), c.used) << "the last view still counts";
    }
    EXPECT_EQ(count(rec.text(), "G_Rectangle"), 0u) << "grid off draws nothing";
    EXPECT_EQ(G_DrawGrid(&pixels, 0, 1), 0);
    EXPECT_EQ(G_DrawGrid(nullptr, 1000, 1), 0);
}

TEST(ViewCalls, GridDotsAreDrawnInExclusiveOrAndTheModeComesBack) {
    Recording rec;
    G_SetColor(9);
    G_SetStyle(0);
    const KViewRecord view{1000, 40, 20, 0, 0, 0};  // design x -20000 ... 20000, y -10000 ... 10000
    G_OpenDC(rec.surface(), &view);
    const KRect pixels{0, 0, 40, 20};
    ASSERT_EQ(G_DrawGrid(&pixels, 10000, 1), 10000);
    G_CloseDC();
    const std::string text = rec.text();
    EXPECT_EQ(count(text, "G_Rectangle"), 15u) << "5 columns by 3 rows\n" << text;
    EXPECT_TRUE(rec.has("G_SetDrawMode 12\nG_Rectangle -20000 -10000 0 0 0\n")) << text;
    EXPECT_TRUE(
        rec.has("G_Rectangle 20000 10000 0 0 0\nG_SetDrawMode 0\nG_SetColor 9\nG_SetStyle 0\n"))
        << text;
}

TEST(ViewCalls, GridXorTwiceLeavesTheRasterAsItWas) {
    const int32_t s = G_CreateRasterSurface(40, 20);
    const KViewRecord view{1000, 40, 20, 0, 0, 0};
    const KRect pixels{0, 0, 40, 20};
    G_OpenDC(s, &view);
    ASSERT_EQ(G_DrawGrid(&pixels, 10000, 1), 10000);
    G_CloseDC();
    const auto path = std::filesystem::temp_directory_path() /
                      ("qor_grid_" + std::to_string(::getpid()) + ".png");
    ASSERT_EQ(G_SaveSurfacePng(s, path.c_str()), 1);
    QImage once(QString::fromStdString(path.string()));
    EXPECT_EQ(once.pixel(30, 0) & 0xFFFFFFu, 0xFFFFFFu) << "a dot at x 10000, y 10000";
    EXPECT_EQ(once.pixel(31, 0) & 0xFFFFFFu, 0u);
    G_OpenDC(s, &view);
    G_DrawGrid(&pixels, 10000, 1);
    G_CloseDC();
    ASSERT_EQ(G_SaveSurfacePng(s, path.c_str()), 1);
    QImage twice(QString::fromStdString(path.string()));
    std::filesystem::remove(path);
    EXPECT_EQ(twice.pixel(30, 0) & 0xFFFFFFu, 0u) << "the second grid erases the first";
    G_DeleteSurface(s);
}

TEST(ViewCalls, ThickPensAreCountedByWidthUntilFreed) {
    Recording rec;
    G_FreeThickPen(0, 0);
    G_OpenDC(rec.surface(), &kView);
    EXPECT_EQ(G_ThickPenCount(), 0);
    EXPECT_EQ(G_SetWidth(1), 1);
    EXPECT_EQ(G_ThickPenCount(), 0) << "a hairline is no thick pen";
    G_SetWidth(3);
    G_SetWidth(3);
    G_SetWidth(5);
    EXPECT_EQ(G_ThickPenCount(), 2);
    EXPECT_EQ(G_SetWidth(0), 0);
    EXPECT_EQ(G_FreeThickPen(0, 0), 1);
    EXPECT_EQ(G_ThickPenCount(), 0);
    G_SetWidth(1);
    G_CloseDC();
    EXPECT_TRUE(rec.has("G_SetWidth 3\nG_SetWidth 3\nG_SetWidth 5\nG_SetWidth 1\n")) << rec.text();
    EXPECT_EQ(G_BackgroundColor(), 0);
    EXPECT_EQ(G_PickAperture(), 4);
}

TEST_F(ViewTest, WideTracesUseThickPens) {
    Recording rec;
    G_FreeThickPen(0, 0);
    G_OpenDC(rec.surface(), &kView);  // 1000 units per pixel: traces of 50800 and 25400 units
    T_DrawAllTraceMask(1, 1);
    EXPECT_EQ(G_ThickPenCount(), 2) << "51 and 25 pixels";
    G_FreeThickPen(0, 0);
    KViewRecord far = kView;
    far.zoom = 100000;
    G_OpenDC(rec.surface(), &far);
    T_DrawAllTraceMask(1, 1);
    EXPECT_EQ(G_ThickPenCount(), 0) << "below a pixel wide";
    G_CloseDC();
}

TEST(ViewCalls, EachRasterContextStartsWithTheKernelsPenAndMode) {
    const int32_t a = G_CreateRasterSurface(20, 20), b = G_CreateRasterSurface(20, 20);
    const KViewRecord view{1000, 20, 20, 10000, 10000, 0};
    G_SetColor(15);
    G_OpenDC(a, &view);
    G_SetWidth(5);
    G_SetDrawMode(K_DRAW_XOR);
    G_OpenDC(b, &view);  // the wide pen and the exclusive-or mode end on b
    G_SetWidth(1);
    G_SetDrawMode(0);
    G_OpenDC(a, &view);
    G_Line(0, 10000, 20000, 10000);
    G_Line(0, 10000, 20000, 10000);
    G_CloseDC();
    const auto path =
        std::filesystem::temp_directory_path() / ("qor_pen_" + std::to_string(::getpid()) + ".png");
    ASSERT_EQ(G_SaveSurfacePng(a, path.c_str()), 1);
    QImage img(QString::fromStdString(path.string()));
    std::filesystem::remove(path);
    EXPECT_EQ(img.pixel(10, 10) & 0xFFFFFFu, 0xFFFFFFu) << "drawn twice in the normal mode";
    EXPECT_EQ(img.pixel(10, 8) & 0xFFFFFFu, 0u) << "with a hairline again";
    G_DeleteSurface(a);
    G_DeleteSurface(b);
    G_FreeThickPen(0, 0);
}

TEST(ViewCalls, WidthReachesNewContexts) {
    Recording rec;
    G_SetWidth(2);
    G_OpenDC(rec.surface(), &kView);
    G_SetWidth(1);
    G_CloseDC();
    EXPECT_TRUE(rec.text().starts_with("G_OpenDC 1000 100 100 50000 50000 0\nG_SetColor"))
        << rec.text();
    EXPECT_TRUE(rec.has("G_SetWidth 2\nG_SetWidth 1\n")) << rec.text();
    G_FreeThickPen(0, 0);
}

// ---- Cached picture -----------------------------------------------------------------------------

TEST(ViewCalls, CachedPictureComesBackUntilDeleted) {
    const int32_t s = G_CreateRasterSurface(100, 100);
    const auto pixel = [&](int x, int y) {
        const auto path = std::filesystem::temp_directory_path() /
                          ("qor_view_" + std::to_string(::getpid()) + ".png");
        EXPECT_EQ(G_SaveSurfacePng(s, path.c_str()), 1);
        QImage img(QString::fromStdString(path.string()));
        std::filesystem::remove(path);
        return img.pixel(x, y) & 0xFFFFFFu;
    };
    G_SetStyle(16);
    G_SetColor(9);
    G_OpenDC(s, &kView);
    G_Rectangle(0, 0, 100000, 100000, 0);
    const int32_t view = G_CopyView();
    ASSERT_NE(view, 0);
    G_SetColor(10);
    G_Rectangle(0, 0, 100000, 100000, 0);
    G_CloseDC();
    EXPECT_EQ(pixel(50, 50), 0x00FF00u);
    EXPECT_EQ(G_DispView(view), 1) << "shown again after the context is closed";
    EXPECT_EQ(pixel(50, 50), 0xFF0000u);
    const int32_t second = G_CopyView();
    EXPECT_NE(second, view) << "each copy is its own";
    EXPECT_EQ(G_DeleteObject(view), 1);
    EXPECT_EQ(G_DispView(view), 0);
    EXPECT_EQ(G_DispView(second), 1);
    EXPECT_EQ(G_DeleteObject(second), 1);
    EXPECT_EQ(G_DispView(0), 0);
    EXPECT_EQ(G_DeleteObject(0), 0);
    EXPECT_EQ(G_CopyScreen(s, 0, 0, 10, 10), 0) << "no application, no clipboard";
    EXPECT_EQ(G_CopyScreen(987654, 0, 0, 10, 10), 0);
    G_DeleteSurface(s);
    EXPECT_EQ(G_CopyView(), 0) << "the last context's surface is gone";

    Recording rec;
    G_OpenDC(rec.surface(), &kView);
    EXPECT_EQ(G_CopyView(), 0) << "a recording keeps no picture";
}

}  // namespace
}  // namespace qor::kernel::testing
