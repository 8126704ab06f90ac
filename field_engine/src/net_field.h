// The field of one net: its traces read through the kernel, cut into straight pieces, added to
// the field.
#pragma once

#include <cstdint>
#include <vector>

#include "field_calc.h"
#include "qor/kernel/kernel.h"

namespace qor::ema {

inline constexpr std::int32_t kErrTraceUnreadable = 418;
inline constexpr std::int32_t kErrTraceIndexTooBig = 419;
inline constexpr std::int32_t kStageFieldCalculation = 402;
inline constexpr std::int32_t kMaxTraceIndex = 31999;

// The kernel calls that the walk makes; tests put their own in.
struct TraceAccess {
    std::int32_t (*traceMap)();
    std::int32_t (*firstCursor)(std::int32_t map);
    std::int32_t (*searchNet)(std::int32_t* cursor, std::int32_t net);
    std::int32_t (*readTrace)(std::int32_t trace, KTraceRecord* record);
    std::int32_t (*readRecord)(std::int32_t trace, std::int32_t index, KTracePoint* record);
};

TraceAccess kernelTraceAccess();

struct NetPieces {
    std::vector<FieldPiece> pieces;  // in trace order, then record order
    std::int32_t errorCode = 0;      // 0, or 418/419 when the walk stopped at a bad trace
};

// The pieces of every trace of the net, driven with `voltage` at `frequency`. The walk ends early
// (without an error) at a trace whose first record cannot be read; a drive that gives no finite
// field yields no pieces.
NetPieces collectNetPieces(std::int32_t net, double voltage, double frequency,
                           const TraceAccess& access);

enum class FieldOutcome { Done, Failed, Cancelled };

struct NetFieldResult {
    FieldOutcome outcome = FieldOutcome::Done;
    std::int32_t errorCode = 0;  // with Failed: 418 or 419; the pieces read before it were added
};

// Adds the field of the net to `field`. A cancelled calculation leaves the field as it was.
NetFieldResult addNetField(const FieldRaster& field, std::int32_t net, double voltage,
                           double frequency, const FieldWork& work,
                           const TraceAccess& access = kernelTraceAccess());

}  // namespace qor::ema
