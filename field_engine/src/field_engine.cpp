#include "field_engine.h"

#include <new>

#include "board_model.h"
#include "drawing.h"
#include "field_normalise.h"
#include "queries.h"
#include "raster.h"

namespace qor::ema {

bool makeFieldGrid(thm::EngineState& s, FieldState& f) {
    f.spacing = s.rasterStep * kUnitsToMetres;
    f.originX = s.rasterOriginX * kUnitsToMetres;
    f.originY = s.rasterOriginY * kUnitsToMetres;
    f.grid = std::vector<double>();
    f.gridMade = false;
    f.columns = 0;
    f.rows = 0;
    try {
        f.grid.assign(
            static_cast<std::size_t>(s.rasterColumns) * static_cast<std::size_t>(s.rasterRows),
            0.0);
    } catch (const std::bad_alloc&) {
        thm::setError(s, EMA_ERR_FIELD_MEMORY, EMA_STAGE_FIELD_MATRIX);
        return false;
    }
    f.columns = s.rasterColumns;
    f.rows = s.rasterRows;
    f.gridMade = true;
    return true;
}

void setDefaultFieldParameters(thm::EngineState& s, FieldState& f) {
    s.requestedStepUnits = thm::kLoadStepUnits;
    f.carriedValue = 25;
    f.scaleMode = 0;
    f.upperLimit = 90 * kFieldUnitsPerVPerM;
    f.lowerLimit = 0;
    s.windowOn = 0;
    s.windowUpperFiftieths = 4500;
    s.windowLowerFiftieths = 1250;
    s.isothermDensityFiftieths = 50;
    // The colour scale follows the normalised field, never the thermal colour limits.
    s.scaleMode = 0;
}

void getFieldParameters(const thm::EngineState& s, const FieldState& f, FieldParameters& p) {
    p.stepUnits = s.requestedStepUnits;
    p.carriedValue = f.carriedValue;
    p.scaleMode = f.scaleMode;
    p.maxFieldVPerM = f.upperLimit * 0.0001;
    p.minFieldVPerM = f.lowerLimit * 0.0001;
    p.windowOn = s.windowOn;
    p.windowUpper = s.windowUpperFiftieths;
    p.windowLower = s.windowLowerFiftieths;
}

void setFieldParameters(thm::EngineState& s, FieldState& f, const FieldParameters& p) {
    s.requestedStepUnits = p.stepUnits;
    f.carriedValue = p.carriedValue;
    f.scaleMode = p.scaleMode;
    f.upperLimit = p.maxFieldVPerM * kFieldUnitsPerVPerM;
    f.lowerLimit = p.minFieldVPerM * kFieldUnitsPerVPerM;
    s.windowOn = p.windowOn;
    s.windowUpperFiftieths = thm::truncToInt32(p.windowUpper);
    s.windowLowerFiftieths = thm::truncToInt32(p.windowLower);
}

std::int32_t loadFieldDataBase(thm::EngineState& s, FieldState& f, const char* profileFile) {
    const bool loaded = s.usedBytes != 0;
    const std::int32_t result = thm::loadDataBase(s, profileFile);
    if (result != 1 || loaded) return result;
    if (!makeFieldGrid(s, f)) return 0;
    setDefaultFieldParameters(s, f);
    return 1;
}

std::int32_t fieldShapeSet(thm::EngineState& s, FieldState& f) {
    if (thm::boardShapeSet(s) != 1) return 0;
    return makeFieldGrid(s, f) ? 1 : 0;
}

void clearField(FieldState& f) {
    std::fill(f.grid.begin(), f.grid.end(), 0.0);
}

FieldCalcResult calcField(thm::EngineState& s, FieldState& f, std::int32_t net, double voltage,
                          double frequency, const FieldWork& work, const TraceAccess& access) {
    const NetFieldResult result = addNetField(f.raster(), net, voltage, frequency, work, access);
    switch (result.outcome) {
        case FieldOutcome::Done:
            return FieldCalcResult::Done;
        case FieldOutcome::Cancelled:
            return FieldCalcResult::Cancelled;
        case FieldOutcome::Failed:
            break;
    }
    thm::setError(s, result.errorCode, kStageFieldCalculation);
    return FieldCalcResult::Failed;
}

void minMaxField(thm::EngineState& s, FieldState& f) {
    std::int32_t* grid = thm::temperatureGrid(s);
    if (!grid || !f.gridMade) return;
    const FieldLimits limits{f.scaleMode != 0, f.lowerLimit, f.upperLimit};
    const FieldScale scale = normaliseField(f.raster(), limits, grid);
    f.fieldMin = scale.fieldMin;
    f.fieldMax = scale.fieldMax;
    s.boardMinFiftieths = scale.gridMin;
    s.boardMaxFiftieths = scale.gridMax;
    s.componentMinFiftieths = kComponentScaleMin;
    s.componentMaxFiftieths = kComponentScaleMax;
}

std::int32_t fieldAt(thm::EngineState& s, FieldState& f, std::int32_t x, std::int32_t y,
                     double* value) {
    const std::int32_t mode = s.displayMode;
    if (mode != thm::kDisplayBoard && mode != thm::kDisplayBoardComponents &&
        mode != thm::kDisplayIsotherms)
        return 0;
    std::int64_t cell = 0;
    if (!thm::boardCellAt(s, x, y, cell)) return 0;
    const std::int64_t column = cell % s.rasterColumns;
    const std::int64_t row = cell / s.rasterColumns;
    // A shape set that failed may have left the raster and the matrix different.
    if (!f.gridMade || column >= f.columns || row >= f.rows) return 0;
    if (value) *value = f.grid[static_cast<std::size_t>(column * f.rows + row)];
    return 2;
}

}  // namespace qor::ema
