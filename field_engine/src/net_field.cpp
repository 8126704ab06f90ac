#include "net_field.h"

namespace qor::ema {

TraceAccess kernelTraceAccess() {
    return TraceAccess{DB_TraceMap, OM_GetFirst, T_SearchNet, T_ReadTrace, T_ReadRecord};
}

NetPieces collectNetPieces(std::int32_t net, double voltage, double frequency,
                           const TraceAccess& access) {
    NetPieces result;
    std::int32_t cursor = access.firstCursor(access.traceMap());
    for (std::int32_t trace = access.searchNet(&cursor, net); trace != 0;
         trace = access.searchNet(&cursor, net)) {
        if (trace > kMaxTraceIndex) {
            result.errorCode = kErrTraceIndexTooBig;
            return result;
        }
        KTraceRecord header{};
        if (access.readTrace(trace, &header) == 0) {
            result.errorCode = kErrTraceUnreadable;
            return result;
        }
        KTracePoint point{};
        if (access.readRecord(trace, 1, &point) == 0) return result;
        double x1 = point.x * kUnitsToMetres;
        double y1 = point.y * kUnitsToMetres;
        for (std::int32_t k = 2; k <= header.recordCount; ++k) {
            if (access.readRecord(trace, k, &point) == 0) break;
            const double x2 = point.x * kUnitsToMetres;
            const double y2 = point.y * kUnitsToMetres;
            const FieldPiece piece = makePiece(x1, y1, x2, y2, voltage, frequency);
            if (pieceAddsField(piece)) result.pieces.push_back(piece);
            x1 = x2;
            y1 = y2;
        }
    }
    return result;
}

NetFieldResult addNetField(const FieldRaster& field, std::int32_t net, double voltage,
                           double frequency, const FieldWork& work, const TraceAccess& access) {
    const NetPieces netPieces = collectNetPieces(net, voltage, frequency, access);
    NetFieldResult result;
    if (!addPieces(field, netPieces.pieces, work)) {
        result.outcome = FieldOutcome::Cancelled;
        return result;
    }
    if (netPieces.errorCode != 0) {
        result.outcome = FieldOutcome::Failed;
        result.errorCode = netPieces.errorCode;
    }
    return result;
}

}  // namespace qor::ema
