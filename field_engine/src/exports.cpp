// The exported calls of QOREMA32. Each one catches everything: nothing crosses the C boundary.
#include <utility>

#include "board_model.h"
#include "drawing.h"
#include "engine_state.h"
#include "field_engine.h"
#include "qorema32.h"
#include "queries.h"

namespace {

using qor::ema::fieldState;
using qor::thm::engine;

template <class F>
std::int32_t guarded(std::int32_t onFailure, F&& f) noexcept {
    try {
        return std::forward<F>(f)();
    } catch (...) {
        return onFailure;
    }
}

template <class F>
void guardedVoid(F&& f) noexcept {
    try {
        std::forward<F>(f)();
    } catch (...) {
    }
}

}  // namespace

namespace qor::ema {

FieldCalcResult calculateField(int32_t net, double voltage, double frequency,
                               const FieldCalcControl& control) {
    try {
        FieldWork work;
        work.threads = control.threads;
        work.progress = control.progress;
        work.progressContext = control.progressContext;
        work.cancel = control.cancel;
        return calcField(engine(), fieldState(), net, voltage, frequency, work);
    } catch (...) {
        // Only the copy that makes a cancel possible can run out of memory; nothing was added.
        return FieldCalcResult::Cancelled;
    }
}

}  // namespace qor::ema

extern "C" {

QOR_API int32_t EMA_A_Qor_LoadDataBase(const char* profileFile) {
    return guarded(
        0, [&] { return qor::ema::loadFieldDataBase(engine(), fieldState(), profileFile); });
}

QOR_API void EMA_A_DeleteDataBase(void) {
    guardedVoid([] { qor::thm::deleteDataBase(engine()); });
}

QOR_API int32_t EMA_A_BoardShapeSet(void) {
    return guarded(0, [] { return qor::ema::fieldShapeSet(engine(), fieldState()); });
}

QOR_API void EMA_A_GetBoardSize(int32_t* left, int32_t* bottom, int32_t* right, int32_t* top) {
    qor::thm::getBoardSize(engine(), left, bottom, right, top);
}

QOR_API int32_t EMA_A_GetBoardDimentions(int32_t* width, int32_t* height) {
    return qor::thm::getBoardDimensions(engine(), width, height);
}

QOR_API void EMA_A_GetBoardParameters(BoardParameters* parameters) {
    if (parameters) qor::thm::getBoardParameters(engine(), *parameters);
}

QOR_API void EMA_A_SetBoardParameters(const BoardParameters* parameters) {
    if (parameters) qor::thm::setBoardParameters(engine(), *parameters);
}

QOR_API int32_t EMA_A_ErrorCode(void) {
    return engine().lastErrorCode;
}

QOR_API int32_t EMA_A_ErrorFunc(void) {
    return engine().lastErrorStage;
}

QOR_API int32_t EMA_A_GetITDensity(void) {
    return engine().isothermDensityFiftieths;
}

QOR_API void EMA_A_SetITDensity(int32_t density) {
    engine().isothermDensityFiftieths = density;
}

QOR_API void EMA_A_SetColorTable(const int32_t* colours16) {
    qor::thm::setColourTable(engine(), colours16);
}

QOR_API int32_t EMA_A_ColorTempMin(void) {
    return engine().colourScaleMinFiftieths;
}

QOR_API int32_t EMA_A_ColorTempGrid(void) {
    return engine().colourScaleStepFiftieths;
}

QOR_API void EMA_A_DisplayBoard(void) {
    guardedVoid([] { qor::thm::displayBoard(engine()); });
}

QOR_API void EMA_A_DisplayComponents(void) {
    guardedVoid([] { qor::thm::displayComponents(engine()); });
}

QOR_API void EMA_A_DisplayBoardComponents(void) {
    guardedVoid([] { qor::thm::displayBoardComponents(engine()); });
}

QOR_API void EMA_A_DisplayIsotherms(void) {
    guardedVoid([] { qor::thm::displayIsotherms(engine()); });
}

QOR_API void EMA_A_GetFieldParameters(FieldParameters* parameters) {
    if (parameters) qor::ema::getFieldParameters(engine(), fieldState(), *parameters);
}

QOR_API void EMA_A_SetFieldParameters(const FieldParameters* parameters) {
    if (parameters) qor::ema::setFieldParameters(engine(), fieldState(), *parameters);
}

QOR_API void EMA_Clear_Field(void) {
    qor::ema::clearField(fieldState());
}

QOR_API int32_t EMA_Calc_Field(int32_t net, double voltage, double frequency) {
    return guarded(0, [&] {
        const auto result =
            qor::ema::calcField(engine(), fieldState(), net, voltage, frequency, {});
        return result == qor::ema::FieldCalcResult::Done ? 1 : 0;
    });
}

QOR_API void EMA_Min_Max_Field(void) {
    guardedVoid([] { qor::ema::minMaxField(engine(), fieldState()); });
}

QOR_API void EMA_A_FieldMinMax(double* minimum, double* maximum) {
    if (minimum) *minimum = fieldState().fieldMin;
    if (maximum) *maximum = fieldState().fieldMax;
}

QOR_API int32_t EMA_A_FieldGet(int32_t x, int32_t y, int32_t* unused1, double* field,
                               double* unused2) {
    (void)unused1;
    (void)unused2;
    return guarded(0, [&] { return qor::ema::fieldAt(engine(), fieldState(), x, y, field); });
}

}  // extern "C"
