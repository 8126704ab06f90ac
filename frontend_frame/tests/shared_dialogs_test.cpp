#include "qor/frontend/shared_dialogs.h"

#include <gtest/gtest.h>

#include "qor/frontend/text_utils.h"
#include "qor/kernel/kernel.h"
#include "test_support.h"

namespace qor::frontend {
namespace {

using testing::ScratchDir;
using testing::UseCatalog;

LayerTable NamedTable(uint32_t mask) {
    LayerTable table;
    for (int n = 0; n < LayerTable::kLayers; ++n) table[n].name = "L" + std::to_string(n);
    table.SetEnabledMask(mask);
    return table;
}

TEST(ActiveLayersGrid, CellsShowNumberNameAndYesNo) {
    ScratchDir dir;
    UseCatalog(dir, "991435=Name\n99649=Aktiv\n991426=Ja\n99938=Nein\n");
    LayerTable table = NamedTable(0b101);
    ActiveLayersGrid thermal(table, Analyzer::Thermal);
    EXPECT_EQ(thermal.Cell(0, 0), "#");
    EXPECT_EQ(thermal.Cell(0, 1), "Label");
    EXPECT_EQ(thermal.Cell(0, 2), "Enabled");
    EXPECT_EQ(thermal.EnabledColumnText(), " Enabled ");
    EXPECT_EQ(thermal.Cell(1, 0), "0");
    EXPECT_EQ(thermal.Cell(1, 1), "L0");
    EXPECT_EQ(thermal.Cell(1, 2), "Yes");
    EXPECT_EQ(thermal.Cell(2, 2), "No ");
    EXPECT_EQ(thermal.Cell(32, 0), "31");
    EXPECT_EQ(thermal.Cell(33, 0), "") << "past the last layer";
    ActiveLayersGrid em(table, Analyzer::Em);
    EXPECT_EQ(em.Cell(0, 1), "Name");
    EXPECT_EQ(em.Cell(0, 2), "Aktiv");
    EXPECT_EQ(em.EnabledColumnText(), " Aktiv ");
    EXPECT_EQ(em.Cell(3, 2), "Ja");
    EXPECT_EQ(em.Cell(2, 2), "Nein ");
    UseCatalog(dir, "");
}

TEST(ActiveLayersGrid, PressAndReleaseToggleARangeOfLayerRows) {
    const struct {
        const char* what;
        int press, release;
        std::vector<int> toggled;
        uint32_t mask;  // from all layers off
    } cases[] = {
        {"a single click toggles its layer only", 3, 3, {3}, 1u << 2},
        {"a drag down toggles every row passed", 2, 4, {2, 3, 4}, 0b1110},
        {"a drag up does the same", 4, 2, {2, 3, 4}, 0b1110},
        {"the header row toggles nothing", 0, 0, {}, 0},
        {"a drag from the header starts at row 1", 0, 2, {1, 2}, 0b11},
        {"the last row", 32, 32, {32}, 1u << 31},
        {"past the grid stops at the last row", 31, 40, {31, 32}, 3u << 30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LayerTable table = NamedTable(0);
        ActiveLayersGrid grid(table, Analyzer::Thermal);
        grid.Press(c.press);
        EXPECT_EQ(grid.Release(c.release), c.toggled);
        EXPECT_EQ(table.EnabledMask(), c.mask);
    }
    LayerTable table = NamedTable(0b1);
    ActiveLayersGrid grid(table, Analyzer::Thermal);
    grid.Press(1);
    grid.Release(1);
    EXPECT_EQ(table.EnabledMask(), 0u) << "toggling turns an enabled layer off";
    EXPECT_TRUE(grid.Release(1).empty()) << "a release without a press toggles nothing";
}

class KernelLayersTest : public testing::DemoDesignTest {};

TEST_F(KernelLayersTest, AcceptWritesTheMaskAndCancelReadsItBack) {
    SetKernelLayerMask(0x0000'0013);
    LayerTable table;
    table.ReadFromKernel();
    ActiveLayersGrid grid(table, Analyzer::Thermal);
    EXPECT_EQ(grid.Cell(1, 1), "Board");
    EXPECT_EQ(grid.Cell(1, 2), "Yes");
    grid.Press(18);  // layer 17, in the second word
    grid.Release(18);
    grid.Accept();
    EXPECT_FALSE(grid.cancelled());
    EXPECT_EQ(KernelLayerMask(), 0x0002'0013u);
    EXPECT_EQ(E_SysTable(11)[1], 2);

    grid.Press(1);
    grid.Release(2);
    EXPECT_EQ(table.EnabledMask(), 0x0002'0010u);
    grid.Cancel();
    EXPECT_TRUE(grid.cancelled());
    EXPECT_EQ(table.EnabledMask(), 0x0002'0013u) << "the kernel's mask is read back";
    EXPECT_EQ(KernelLayerMask(), 0x0002'0013u);
}

TEST(ColoursDialogModel, LoadClickAndAccept) {
    ColourTable table{};
    for (size_t i = 0; i < 16; ++i) table[i] = static_cast<int32_t>(0x010101 * i);
    ColoursDialogModel model(table);
    EXPECT_EQ(model.ScaleCell(0), table[15]) << "Max at the top";
    EXPECT_EQ(model.ScaleCell(15), table[0]);
    EXPECT_EQ(model.PaletteCell(0), 0xFFFFFF);
    EXPECT_EQ(model.PaletteCell(6), 0xFF0000) << "palette entry 9 (0xBBGGRR: blue)";
    EXPECT_EQ(model.PaletteCell(15), 0x000000);
    EXPECT_EQ(model.selected(), 0);
    EXPECT_EQ(model.Accepted(), table) << "accepting without a click keeps the table";

    model.ClickScale(2);  // palette cell 0 (white) is selected
    model.ClickPalette(3);
    model.ClickScale(15);
    model.ClickPalette(16);  // no such cell: the selection stays
    model.ClickScale(-1);
    EXPECT_EQ(model.selected(), 3);
    ColourTable expected = table;
    expected[13] = 0xFFFFFF;
    expected[0] = StandardPalette()[12];
    EXPECT_EQ(model.Accepted(), expected);
}

TEST(IsothermDensity, CentigradeBar) {
    const IsothermDensity d(kCentigrade);
    EXPECT_EQ(d.minimum(), 1);
    EXPECT_EQ(d.maximum(), 1000);
    EXPECT_EQ(d.defaultPosition(), 10);
    EXPECT_EQ(d.StepFromPosition(1000), 5000) << "100 degC between isotherms";
    EXPECT_EQ(d.StepFromPosition(10), 50);
    EXPECT_EQ(d.StepFromPosition(1), 5);
    EXPECT_EQ(d.PositionFromStep(50), 10);
    EXPECT_EQ(d.PositionFromStep(5000), 1000);
    EXPECT_EQ(d.PositionFromStep(99999), 1000) << "kept on the bar";
    EXPECT_EQ(d.PositionFromStep(0), 1);
    const std::string deg(kDegreeSign);
    EXPECT_EQ(d.Label(10), "1.0 " + deg + "C");
    EXPECT_EQ(d.Label(1000), "100.0 " + deg + "C");
    EXPECT_EQ(d.Label(1), "0.1 " + deg + "C");
}

TEST(IsothermDensity, FahrenheitBarIsATemperatureDifference) {
    const IsothermDensity d(kFahrenheit);
    EXPECT_EQ(d.maximum(), 1800);
    EXPECT_EQ(d.defaultPosition(), 18);
    EXPECT_EQ(d.StepFromPosition(18), 50) << "1.8 degF apart is 1 degC apart";
    EXPECT_EQ(d.StepFromPosition(1800), 5000);
    EXPECT_EQ(d.StepFromPosition(1), 3);
    EXPECT_EQ(d.PositionFromStep(50), 18);
    EXPECT_EQ(d.PositionFromStep(5000), 1800);
    for (int32_t step : {5, 50, 123, 2500, 5000})
        EXPECT_NEAR(d.StepFromPosition(d.PositionFromStep(step)), step, 2) << step;
    EXPECT_EQ(d.Label(18), "1.8 " + std::string(kDegreeSign) + "F");
}

TEST(IsolineDensity, LabelValue) {
    EXPECT_DOUBLE_EQ(IsolineDensity::LabelValue(500, 1, 3, true), 100);
    EXPECT_DOUBLE_EQ(IsolineDensity::LabelValue(1000, 0, 10, false), 1000);
    EXPECT_DOUBLE_EQ(IsolineDensity::LabelValue(500, 2, 2, true), 50) << "no field yet";
    EXPECT_DOUBLE_EQ(IsolineDensity::LabelValue(500, 2, 2, false), 0);
}

TEST(InputBox, PromptAndAnswers) {
    EXPECT_EQ(InputPromptText("Name:", ""), "Name:");
    EXPECT_EQ(InputPromptText("Name:", "Net U1"), "Net U1\nName:");
    const struct {
        const char* entry;
        const char* answer;
        const char* result;
    } cases[] = {
        {"  abc ", "abc", "abc"},
        {"a b", "a b", "a b"},
        {"", " ", ""},
        {"   ", " ", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AcceptedInputAnswer(c.entry), c.answer) << '"' << c.entry << '"';
        EXPECT_EQ(InputLineResult(AcceptedInputAnswer(c.entry)), c.result);
    }
    EXPECT_EQ(InputLineResult(""), "") << "cancel";
}

TEST(Placement, InputBox) {
    const ScreenRect screen{0, 0, 1920, 1080};
    EXPECT_EQ(PlaceInputBox(1, 400, 100, {50, 60, 800, 600}, screen), (ScreenPoint{760, 490}))
        << "centred while a modal dialog is open";
    EXPECT_EQ(PlaceInputBox(0, 400, 100, {50, 60, 800, 600}, screen), (ScreenPoint{50, 60}));
    EXPECT_EQ(PlaceInputBox(0, 400, 100, {1700, 1000, 800, 600}, screen), (ScreenPoint{1520, 980}))
        << "moved left and up to stay on the screen";
    EXPECT_EQ(PlaceInputBox(0, 400, 100, {-30, -20, 800, 600}, screen), (ScreenPoint{0, 0}));
}

TEST(Placement, InfoWindow) {
    const ScreenRect main{100, 100, 800, 600};
    EXPECT_EQ(PlaceInfoWindow({300, 400}, 200, main), (ScreenPoint{300, 400}));
    EXPECT_EQ(PlaceInfoWindow({800, 400}, 200, main), (ScreenPoint{700, 400}))
        << "kept inside the main window's right edge";
    EXPECT_EQ(PlaceInfoWindow({800, 400}, 1000, main), (ScreenPoint{100, 400}))
        << "a window wider than the main window starts at its left edge";
}

}  // namespace
}  // namespace qor::frontend
