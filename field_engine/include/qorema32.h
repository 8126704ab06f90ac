/* QOREMA32: the field analysis engine, seen from its callers.
 *
 * The board model, raster, colour map and isolines are those of QORTHM32 (its board parameter
 * record is shared), kept in this library's own state. On top of them the engine adds up the near
 * electric field of the traces of driven nets in a matrix of one double per raster cell, in units
 * of 1e-4 V/m, and normalises it to 1 ... 1001 for drawing.
 *
 * Plain C exports with 32-bit integers, 64-bit doubles and 4-byte packed records. Analysis calls
 * return 1 or 0 and leave an error code and stage (EMA_A_ErrorCode, EMA_A_ErrorFunc). No call
 * throws. The field calls need a loaded board. */
#ifndef QOREMA32_H
#define QOREMA32_H

#include <stddef.h>
#include <stdint.h>

#include "qor/platform/export.h"
#include "qorthm32.h"

#ifdef __cplusplus
extern "C" {
#define QOR_EMA_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define QOR_EMA_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

/* Error codes of the field calculation (stage EMA_STAGE_FIELD) and of the field matrix. */
enum {
    EMA_ERR_FIELD_MEMORY = 2,  /* the field matrix could not be allocated (stage 2) */
    EMA_ERR_TRACE_READ = 418,  /* a trace of the net could not be read */
    EMA_ERR_TRACE_INDEX = 419, /* a trace of the net has an index above 31999 */
    EMA_STAGE_FIELD_MATRIX = 2,
    EMA_STAGE_FIELD = 402
};

#pragma pack(push, 4)

/* Field calculation parameters: 52 bytes. */
typedef struct FieldParameters {
    int32_t stepUnits;    /* requested raster step, database units; used at the next shape set */
    double carriedValue;  /* kept and returned, not used by the engine */
    int32_t scaleMode;    /* non-zero: the normalisation range is clipped to the limits */
    double maxFieldVPerM; /* upper limit, V/m */
    double minFieldVPerM; /* lower limit, V/m */
    int32_t windowOn;
    double windowUpper; /* normalised units 1 ... 1001, kept as a whole number */
    double windowLower; /* normalised units, kept as a whole number */
} FieldParameters;

#pragma pack(pop)

QOR_EMA_STATIC_ASSERT(sizeof(FieldParameters) == 52, "FieldParameters is 52 bytes");
QOR_EMA_STATIC_ASSERT(offsetof(FieldParameters, stepUnits) == 0, "stepUnits at 0");
QOR_EMA_STATIC_ASSERT(offsetof(FieldParameters, carriedValue) == 4, "carriedValue at 4");
QOR_EMA_STATIC_ASSERT(offsetof(FieldParameters, scaleMode) == 12, "scaleMode at 12");
QOR_EMA_STATIC_ASSERT(offsetof(FieldParameters, maxFieldVPerM) == 16, "maxFieldVPerM at 16");
QOR_EMA_STATIC_ASSERT(offsetof(FieldParameters, minFieldVPerM) == 24, "minFieldVPerM at 24");
QOR_EMA_STATIC_ASSERT(offsetof(FieldParameters, windowOn) == 32, "windowOn at 32");
QOR_EMA_STATIC_ASSERT(offsetof(FieldParameters, windowUpper) == 36, "windowUpper at 36");
QOR_EMA_STATIC_ASSERT(offsetof(FieldParameters, windowLower) == 44, "windowLower at 44");

/* Board model and raster (as the thermal engine's). */
QOR_API int32_t EMA_A_Qor_LoadDataBase(const char* profileFile);
QOR_API void EMA_A_DeleteDataBase(void);
/* Sizes the raster and builds the board mask, then makes a new, zero field matrix: 1 when both
 * were made. */
QOR_API int32_t EMA_A_BoardShapeSet(void);
QOR_API void EMA_A_GetBoardSize(int32_t* left, int32_t* bottom, int32_t* right, int32_t* top);
QOR_API int32_t EMA_A_GetBoardDimentions(int32_t* width, int32_t* height);
QOR_API void EMA_A_GetBoardParameters(BoardParameters* parameters);
QOR_API void EMA_A_SetBoardParameters(const BoardParameters* parameters);
QOR_API int32_t EMA_A_ErrorCode(void);
QOR_API int32_t EMA_A_ErrorFunc(void);

/* Drawing of the normalised field (units 1 ... 1001). */
QOR_API int32_t EMA_A_GetITDensity(void);
QOR_API void EMA_A_SetITDensity(int32_t density);
QOR_API void EMA_A_SetColorTable(const int32_t* colours16);
QOR_API int32_t EMA_A_ColorTempMin(void);
QOR_API int32_t EMA_A_ColorTempGrid(void);
QOR_API void EMA_A_DisplayBoard(void);
QOR_API void EMA_A_DisplayComponents(void);
QOR_API void EMA_A_DisplayBoardComponents(void);
QOR_API void EMA_A_DisplayIsotherms(void);

/* Field parameters: limits in V/m, window bounds in normalised units. */
QOR_API void EMA_A_GetFieldParameters(FieldParameters* parameters);
QOR_API void EMA_A_SetFieldParameters(const FieldParameters* parameters);

/* The field. */
QOR_API void EMA_Clear_Field(void);
/* Adds the field of every trace of net driven with voltage (V) at frequency (Hz): 1 done, 0 failed
 * (EMA_ERR_TRACE_READ or EMA_ERR_TRACE_INDEX, stage EMA_STAGE_FIELD; what was added stays). */
QOR_API int32_t EMA_Calc_Field(int32_t net, double voltage, double frequency);
/* The range of the field (clipped to the limits when the scale mode is on) and the normalised
 * grid for drawing. */
QOR_API void EMA_Min_Max_Field(void);
/* The range of the last EMA_Min_Max_Field, 1e-4 V/m. */
QOR_API void EMA_A_FieldMinMax(double* minimum, double* maximum);
/* 2 and the field (1e-4 V/m) of the cell at (x, y) when the board is drawn as a map or isolines
 * and the point lies on the board; 0 otherwise. The other pointers are not written. */
QOR_API int32_t EMA_A_FieldGet(int32_t x, int32_t y, int32_t* unused1, double* field,
                               double* unused2);

#ifdef __cplusplus
}  // extern "C"

#include <atomic>

namespace qor::ema {

// Following and stopping a long field calculation (the batch tool and the front end).
struct FieldCalcControl {
    // Called on the calling thread from time to time: cell-piece evaluations done and in all.
    void (*progress)(void* context, int64_t done, int64_t total) = nullptr;
    void* progressContext = nullptr;
    // Set from any thread: the calculation stops soon and leaves the field as it was.
    const std::atomic<bool>* cancel = nullptr;
    // 0 = one thread per core.
    int threads = 0;
};

enum class FieldCalcResult { Done, Failed, Cancelled };

// EMA_Calc_Field with progress and a way out. Done and Failed are EMA_Calc_Field's 1 and 0, with
// the same error state; Cancelled changes neither the field nor the error state.
QOR_API FieldCalcResult calculateField(int32_t net, double voltage, double frequency,
                                       const FieldCalcControl& control);

}  // namespace qor::ema
#endif

#endif /* QOREMA32_H */
