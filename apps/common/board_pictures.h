// Pictures of the open design drawn through the kernel into PNG files, with a colour legend.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qor::apps {

// Cold to hot: blue, cyan, green, yellow, red, from the kernel palette's colour cube.
extern const int32_t kHeatColours[16];

// A raster surface showing the whole board with a 5 % margin, about widthPx wide, with its
// context open; 0 when the design has no outline.
int32_t openBoardSurface(int32_t widthPx);
// The copper, vias and components of the open design.
void drawLayout();
// The board outline in the current palette colour 11.
void drawOutline();
// Closes the context and saves the surface as PNG (replaced only when complete).
bool closeAndSave(int32_t surface, const std::filesystem::path& png);

struct LegendRow {
    int32_t colour;  // palette index
    std::string text;
};
// Appends a legend to the right of a PNG, rows from top to bottom.
bool addLegend(const std::filesystem::path& png, const std::string& title, const std::vector<LegendRow>& rows);

// The 16 legend rows of a colour scale: value k covers [min + k step, min + (k + 1) step).
std::vector<LegendRow> scaleLegend(const int32_t colours[16], double min, double step, const char* unit,
                                   int decimals);

// Writes text to a file beside path and renames it over path.
bool writeFileAtomically(const std::filesystem::path& path, const std::string& text);

}  // namespace qor::apps
