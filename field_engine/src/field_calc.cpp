// The per-piece terms and the plain scalar reference of the per-cell formula.
#include "field_calc.h"

#include <algorithm>
#include <cmath>

namespace qor::ema {

double approxLength(double a, double b) {
    const double x = std::fabs(a);
    const double y = std::fabs(b);
    return 0.96 * std::max(x, y) + 0.398 * std::min(x, y);
}

FieldPiece makePiece(double x1, double y1, double x2, double y2, double voltage, double frequency) {
    FieldPiece piece;
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    double length = approxLength(dx, dy);
    if (length < kMinDistanceM) length = kMinDistanceM;
    piece.cx = dx / length;
    piece.cy = dy / length;
    piece.mx = (x1 + x2) / 2;
    piece.my = (y1 + y2) / 2;
    const double current = voltage * 0.0002;
    const double f = frequency * 10;
    const double omega = kTwoPi * f;
    const double lambda = kPropagationSpeed / f;
    piece.k = kTwoPi / lambda;
    piece.t =
        length * current * (piece.k * piece.k * piece.k) / (kTwoPi * omega * kEpsilon0) * 0.01;
    piece.tHalf = piece.t / 2;
    return piece;
}

bool pieceAddsField(const FieldPiece& piece) {
    return piece.k > 0 && std::isfinite(piece.k) && std::isfinite(piece.t);
}

void addPieceReference(const FieldRaster& raster, const FieldPiece& piece) {
    for (std::int32_t row = 0; row < raster.rows; ++row) {
        const double y = raster.originY + static_cast<double>(row) * raster.spacing;
        for (std::int32_t column = 0; column < raster.columns; ++column) {
            const double x = raster.originX + static_cast<double>(column) * raster.spacing;
            const double dx = x - piece.mx;
            const double dy = y - piece.my;
            const double along = dy * piece.cy + dx * piece.cx;
            const double across = dy * piece.cx - dx * piece.cy;
            double r = approxLength(along, across);
            if (r < kMinDistanceM) r = kMinDistanceM;
            const double s = across / r;
            const double q = along / r;
            const double u = piece.k * r;
            const double a1 = 1 / (u + 0.01);
            const double a2 = 1 / (u * u + 0.01);
            const double a3 = 1 / (u * u * u + 0.01);
            const double t1 = piece.t * s * std::sqrt(a2 * a2 + a3 * a3);
            const double t2 = piece.tHalf * q * std::sqrt(a2 * a2 + (a1 - a3) * (a1 - a3));
            const double w = s * t1 - q * t2;
            const double z = s * t2 + q * t1;
            raster.values[std::int64_t{column} * raster.rows + row] += approxLength(w, z);
        }
    }
}

}  // namespace qor::ema
