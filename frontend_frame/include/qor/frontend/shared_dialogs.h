// The behaviour of the small windows both front ends share: the active-layers grid, the colours
// dialog, the isotherm and isoline density bars, the input box's answer and the placement of the
// input box and the information window. The windows call these; tests drive them without a display.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "qor/frontend/analyzer.h"
#include "qor/frontend/layer_table.h"

namespace qor::frontend {

// ---- Active layers (THMACTIV, EMAACTIV) ---------------------------------------------------------

// The grid F_Layer over the layer table: row 0 is the header, row n + 1 shows layer n.
class ActiveLayersGrid {
  public:
    static constexpr int kRows = LayerTable::kLayers + 1;
    static constexpr int kColumns = 3;

    ActiveLayersGrid(LayerTable& table, Analyzer analyzer) : table_(table), analyzer_(analyzer) {}

    // The text of a cell: header "#", "Label", "Enabled" (EM: texts 991435 and 99649); row n + 1:
    // n, the layer's name, YesNoText of its flag.
    std::string Cell(int row, int column) const;
    // The width of column 2 is that of this text (" Enabled ", EM: text 99649).
    std::string EnabledColumnText() const;

    // The mouse went down on a row; the release toggles every layer row from that row to the end
    // row of the selection (either order). Rows outside 1..32 toggle nothing. Returns the rows
    // toggled.
    void Press(int row) { pressedRow_ = row; }
    std::vector<int> Release(int endRow);

    // "Accept": the flags go into the kernel's visibility mask.
    void Accept();
    // "Cancel": the table is read again from the kernel and the operation counts as cancelled.
    void Cancel();
    bool cancelled() const { return cancelled_; }

    LayerTable& table() { return table_; }

  private:
    LayerTable& table_;
    Analyzer analyzer_;
    int pressedRow_ = -1;
    bool cancelled_ = false;
};

// ---- Colours (CtempFRM)
// --------------------------------------------------------------------------

// Colours as Windows RGB numbers, red in the low byte (0xBBGGRR).
using ColourTable = std::array<int32_t, 16>;

// The standard 16-colour palette, entries 0 (black) to 15 (white), as 0xBBGGRR.
const ColourTable& StandardPalette();

class ColoursDialogModel {
  public:
    // Scale cell i (Pan_ColTab(i), top = Max) shows colour 15 - i of the table; palette cell i
    // (Pan_ColSel(i)) shows palette entry 15 - i; palette cell 0 is selected.
    explicit ColoursDialogModel(const ColourTable& table);

    int32_t ScaleCell(int i) const { return scale_.at(static_cast<size_t>(i)); }
    int32_t PaletteCell(int i) const;
    int selected() const { return selected_; }

    // A click on palette cell i selects it; a click on scale cell i paints it with the selected
    // palette colour. Cells outside 0..15 are ignored.
    void ClickPalette(int i);
    void ClickScale(int i);

    // "Accept": colour 15 - i of the table becomes the colour of scale cell i.
    ColourTable Accepted() const;

  private:
    std::array<int32_t, 16> scale_{};
    int selected_ = 0;
};

// ---- Isotherm density (DensityFRM) and isoline density (EMADENS)
// ----------------------------------

// The thermal bar over the engine's isotherm step (degrees Celsius x 50). In Centigrade the bar
// holds tenths of a degree Celsius (1 to 1000, default 10); in Fahrenheit tenths of a degree
// Fahrenheit of temperature difference (1 to 1800, default 18, that is 1.8 degF = 1 degC).
class IsothermDensity {
  public:
    explicit IsothermDensity(int temperatureUnit) : fahrenheit_(temperatureUnit == 0) {}

    int minimum() const { return 1; }
    int maximum() const { return fahrenheit_ ? 1800 : 1000; }
    int smallStep() const { return 1; }
    int largeStep() const { return 10; }
    int defaultPosition() const { return fahrenheit_ ? 18 : 10; }

    // The bar position of an engine step, within the bar's range.
    int PositionFromStep(int32_t step) const;
    // The engine step that "Accept" stores for a bar position (never below 1).
    int32_t StepFromPosition(int position) const;
    // The label SSP_Value: position / 10 with "#0.0", a blank, the degree sign and C or F.
    std::string Label(int position) const;

  private:
    bool fahrenheit_;
};

// The EM bar (1 to 1000, small step 10, large step 100) is the engine's isoline density itself.
// Its label shows position x (field maximum - field minimum) x 100 / 1000 (engine values; x 100
// gives microvolts per metre) in the field value format the EM window passes in.
struct IsolineDensity {
    static constexpr int kMinimum = 1, kMaximum = 1000, kSmallStep = 10, kLargeStep = 100;
    // The value shown: the formula above; at opening a field range of 0 shows 50.
    static double LabelValue(int position, double fieldMin, double fieldMax, bool opening);
};

// ---- Input box (QorInpBG) and InputLine
// -------------------------------------------------------------

// The prompt area's text: the prompt, or the second prompt, a line break and the prompt.
std::string InputPromptText(const std::string& prompt, const std::string& secondPrompt);
// The box's answer on Enter or "Accept": the entry trimmed of blanks, or one blank when empty.
std::string AcceptedInputAnswer(const std::string& entry);
// What InputLine returns for the box's answer ("" for Cancel): "" for an empty or blank answer,
// else the answer trimmed.
std::string InputLineResult(const std::string& answer);

// ---- Placement
// ---------------------------------------------------------------------------------------

struct ScreenRect {
    int left = 0, top = 0, width = 0, height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};
struct ScreenPoint {
    int x = 0, y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// The input box's top-left corner: centred on the screen while a modal dialog is open (modal depth
// above 0); otherwise at the main window's top-left corner, moved left or up as far as needed to
// stay on the screen (never past its left or top edge).
ScreenPoint PlaceInputBox(int modalDepth, int boxWidth, int boxHeight, const ScreenRect& mainWindow,
                          const ScreenRect& screen);

// The information window's top-left corner: the given screen point, moved left so that the
// window does not pass the main window's right edge (but not past the main window's left edge).
ScreenPoint PlaceInfoWindow(ScreenPoint at, int windowWidth, const ScreenRect& mainWindow);

}  // namespace qor::frontend
