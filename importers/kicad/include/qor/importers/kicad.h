// Import of KiCad boards (.kicad_pcb, KiCad 5 to 8) into designs.
//
// Coordinates become database units with Y up; copper layers map to the design's layers (front
// 2, inner layers 3 upward, back 29); footprints become components whose symbols reproduce the
// board's pad positions; tracks become traces chained per net and layer; zones become copper areas
// of "@COPPAR"; the Edge.Cuts graphics become the outline trace.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "qor/design/model.h"

namespace qor::kicad {

struct ImportReport {
    int components = 0;
    int padsOnNets = 0;
    int trackPieces = 0;  // segments and arcs
    int vias = 0;
    int zones = 0;         // zones imported as copper areas
    int skippedZones = 0;  // keep-out areas and zones without copper layers
    int outlineRecords = 0;
    int cutouts = 0;  // inner Edge.Cuts loops, left out
    std::vector<std::string> warnings;
};

// Reads a board. Throws FormatError (from sexpr.h, a std::runtime_error naming the line) on bad input.
design::Design readBoard(std::string_view text, const std::string& fallbackName, ImportReport& report);

// Reads boardPath and writes designPath (replacing it only when the whole import succeeded).
bool importBoardFile(const std::string& boardPath, const std::string& designPath, ImportReport& report,
                     std::string& error);

}  // namespace qor::kicad
