// The field engine on the shared board model: the field matrix, its parameters, the calculation
// of a net's field, the normalisation and the field at a point.
#pragma once

#include <cstdint>
#include <vector>

#include "engine_state.h"
#include "field_calc.h"
#include "net_field.h"
#include "qorema32.h"

namespace qor::ema {

inline constexpr double kFieldUnitsPerVPerM = 1e4;
inline constexpr double kInitialSpacingM = 0.002;
inline constexpr std::int32_t kComponentScaleMin = 32000;
inline constexpr std::int32_t kComponentScaleMax = -32000;

// What the field engine keeps beside the shared board model.
struct FieldState {
    // The field matrix, [column][row], 1e-4 V/m, and the raster it was made for.
    std::vector<double> grid;
    bool gridMade = false;
    double spacing = kInitialSpacingM;
    double originX = 0, originY = 0;
    std::int32_t columns = 0, rows = 0;
    // The range of the last normalisation, field units.
    double fieldMin = 0, fieldMax = 0;
    // Field parameters beside those kept in the board model's state (step, window, density).
    double carriedValue = 0;
    std::int32_t scaleMode = 0;
    double upperLimit = 0;  // field units
    double lowerLimit = 0;

    FieldRaster raster() {
        return FieldRaster{spacing, originX, originY, columns, rows, grid.data()};
    }
};

// The field engine's own state (engine_instance.cpp).
FieldState& fieldState();

// Makes a zero field matrix for the board model's current raster; code 2, stage 2 when the memory
// cannot be had.
bool makeFieldGrid(thm::EngineState& s, FieldState& f);

// The parameters after a load.
void setDefaultFieldParameters(thm::EngineState& s, FieldState& f);

void getFieldParameters(const thm::EngineState& s, const FieldState& f, FieldParameters& p);
void setFieldParameters(thm::EngineState& s, FieldState& f, const FieldParameters& p);

// EMA_A_Qor_LoadDataBase and EMA_A_BoardShapeSet: the thermal engine's, plus the field matrix.
std::int32_t loadFieldDataBase(thm::EngineState& s, FieldState& f, const char* profileFile);
std::int32_t fieldShapeSet(thm::EngineState& s, FieldState& f);

void clearField(FieldState& f);

// EMA_Calc_Field with progress and cancel; Failed sets the error code and stage 402.
FieldCalcResult calcField(thm::EngineState& s, FieldState& f, std::int32_t net, double voltage,
                          double frequency, const FieldWork& work,
                          const TraceAccess& access = kernelTraceAccess());

// EMA_Min_Max_Field.
void minMaxField(thm::EngineState& s, FieldState& f);

// EMA_A_FieldGet: 2 with the cell's field, or 0.
std::int32_t fieldAt(thm::EngineState& s, FieldState& f, std::int32_t x, std::int32_t y,
                     double* value);

}  // namespace qor::ema
