#include "qor/frontend/shared_dialogs.h"

#include <algorithm>
#include <cmath>

#include "qor/frontend/list_parser.h"
#include "qor/frontend/localization.h"
#include "qor/frontend/number_format.h"
#include "qor/frontend/text_utils.h"

namespace qor::frontend {

// ---- Active layers -----------------------------------------------------------------------------

std::string ActiveLayersGrid::Cell(int row, int column) const {
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns) return {};
    if (row == 0) {
        if (column == 0) return "#";
        if (analyzer_ == Analyzer::Em)
            return column == 1 ? LocalText("Label", 991435) : LocalText("Enabled", 99649);
        return column == 1 ? "Label" : "Enabled";
    }
    const LayerEntry& layer = table_[row - 1];
    if (column == 0) return std::to_string(row - 1);
    if (column == 1) return layer.name;
    return YesNoText(layer.enabled ? 1 : 0, analyzer_);
}

std::string ActiveLayersGrid::EnabledColumnText() const {
    return analyzer_ == Analyzer::Em ? LocalText(" Enabled ", 99649) : " Enabled ";
}

std::vector<int> ActiveLayersGrid::Release(int endRow) {
    std::vector<int> toggled;
    const int start = pressedRow_;
    pressedRow_ = -1;
    if (start < 0) return toggled;
    const int from = std::max(1, std::min(start, endRow));
    const int to = std::min(kRows - 1, std::max(start, endRow));
    for (int row = from; row <= to; ++row) {
        LayerEntry& layer = table_[row - 1];
        layer.enabled = !layer.enabled;
        toggled.push_back(row);
    }
    return toggled;
}

void ActiveLayersGrid::Accept() {
    cancelled_ = false;
    table_.WriteToKernel();
}

void ActiveLayersGrid::Cancel() {
    table_.ReadFromKernel();
    cancelled_ = true;
}

// ---- Colours
// -------------------------------------------------------------------------------------

const ColourTable& StandardPalette() {
    static const ColourTable palette = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                        0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                        0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
    return palette;
}

ColoursDialogModel::ColoursDialogModel(const ColourTable& table) {
    for (size_t i = 0; i < 16; ++i) scale_[i] = table[15 - i];
}

int32_t ColoursDialogModel::PaletteCell(int i) const {
    return StandardPalette().at(static_cast<size_t>(15 - i));
}

void ColoursDialogModel::ClickPalette(int i) {
    if (i >= 0 && i < 16) selected_ = i;
}

void ColoursDialogModel::ClickScale(int i) {
    if (i >= 0 && i < 16) scale_[static_cast<size_t>(i)] = PaletteCell(selected_);
}

ColourTable ColoursDialogModel::Accepted() const {
    ColourTable table{};
    for (size_t i = 0; i < 16; ++i) table[15 - i] = scale_[i];
    return table;
}

// ---- Density ------------------------------------------------------------------------------------

int IsothermDensity::PositionFromStep(int32_t step) const {
    // Centigrade: tenths of a degree are step / 5. Fahrenheit: a difference of step / 50 degC is
    // step / 50 x 9 / 5 degF, in tenths step x 9 / 25.
    const double position = fahrenheit_ ? std::round(step * 9.0 / 25.0) : std::round(step / 5.0);
    return static_cast<int>(std::clamp(position, double(minimum()), double(maximum())));
}

int32_t IsothermDensity::StepFromPosition(int position) const {
    const double step = fahrenheit_ ? std::round(position * 25.0 / 9.0) : position * 5.0;
    return static_cast<int32_t>(std::max(1.0, step));
}

std::string IsothermDensity::Label(int position) const {
    return FormatNumber(position / 10.0, "#0.0") + " " + std::string(kDegreeSign) +
           (fahrenheit_ ? "F" : "C");
}

double IsolineDensity::LabelValue(int position, double fieldMin, double fieldMax, bool opening) {
    const double range = fieldMax - fieldMin;
    if (opening && range == 0) return 50;
    return position * range * 100 / 1000;
}

// ---- Input box
// ------------------------------------------------------------------------------------

std::string InputPromptText(const std::string& prompt, const std::string& secondPrompt) {
    if (secondPrompt.empty()) return prompt;
    return secondPrompt + "\n" + prompt;
}

std::string AcceptedInputAnswer(const std::string& entry) {
    const std::string answer = TrimBlanks(entry);
    return answer.empty() ? std::string(" ") : answer;
}

std::string InputLineResult(const std::string& answer) {
    return TrimBlanks(answer);
}

// ---- Placement
// ---------------------------------------------------------------------------------------

ScreenPoint PlaceInputBox(int modalDepth, int boxWidth, int boxHeight, const ScreenRect& mainWindow,
                          const ScreenRect& screen) {
    if (modalDepth > 0)
        return {screen.left + (screen.width - boxWidth) / 2,
                screen.top + (screen.height - boxHeight) / 2};
    ScreenPoint p{mainWindow.left, mainWindow.top};
    if (p.x + boxWidth > screen.right()) p.x = screen.right() - boxWidth;
    if (p.y + boxHeight > screen.bottom()) p.y = screen.bottom() - boxHeight;
    p.x = std::max(p.x, screen.left);
    p.y = std::max(p.y, screen.top);
    return p;
}

ScreenPoint PlaceInfoWindow(ScreenPoint at, int windowWidth, const ScreenRect& mainWindow) {
    ScreenPoint p = at;
    if (p.x + windowWidth > mainWindow.right()) p.x = mainWindow.right() - windowWidth;
    p.x = std::max(p.x, mainWindow.left);
    return p;
}

}  // namespace qor::frontend
