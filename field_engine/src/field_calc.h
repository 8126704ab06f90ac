// The near field of trace pieces on the raster: the per-piece terms, the per-cell formula as a
// plain scalar reference, and the fast path that gives the same bits.
//
// Every raster cell is evaluated for every piece. The fast path vectorizes along the rows of a
// column (AVX-512 or AVX2 when the processor has it, SSE2 otherwise), works on blocks of columns
// that stay in cache while all pieces are added, and spreads the blocks over threads. Each cell
// still adds the pieces in their order with the same operations, and this code is built without
// floating-point contraction, so the result does not depend on the path or the thread count.
#pragma once

#include <atomic>
#include <cstdint>
#include <span>

namespace qor::ema {

inline constexpr double kMinDistanceM = 0.0001;
inline constexpr double kEpsilon0 = 8.85e-12;
inline constexpr double kPropagationSpeed = 299810800.0;
inline constexpr double kTwoPi = 6.283185307179586;
inline constexpr double kUnitsToMetres = 1e-8;

// 0.96 × max(|a|, |b|) + 0.398 × min(|a|, |b|): a length without a square root.
double approxLength(double a, double b);

// The field matrix and the raster it lies on. values[column × rows + row], 1e-4 V/m.
struct FieldRaster {
    double spacing = 0;  // metres between cell centres
    double originX = 0;  // metres, centre of cell (0, 0)
    double originY = 0;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    double* values = nullptr;

    std::int64_t cells() const { return std::int64_t{columns} * rows; }
};

// What every cell evaluation of one piece needs.
struct FieldPiece {
    double mx = 0, my = 0;  // centre, metres
    double cx = 0, cy = 0;  // direction cosines
    double k = 0;           // wave number
    double t = 0;           // strength term
    double tHalf = 0;       // t / 2
};

// The piece from (x1, y1) to (x2, y2), metres, of a net driven with `voltage` volts at
// `frequency` hertz.
FieldPiece makePiece(double x1, double y1, double x2, double y2, double voltage, double frequency);

// A drive that gives no finite field (frequency 0 or below, or values that overflow) adds
// nothing; its terms would only spread NaN over the whole field.
bool pieceAddsField(const FieldPiece& piece);

// The plain scalar reference: adds one piece to every cell, rows outer, columns inner.
void addPieceReference(const FieldRaster& raster, const FieldPiece& piece);

// The cell loops: SSE2 (every x86-64), AVX2, AVX-512 (the F set); Automatic takes the widest
// this processor runs.
enum class FieldKernel { Automatic, Portable, Avx2, Avx512 };

FieldKernel bestKernel();
bool kernelAvailable(FieldKernel kernel);

// How a long addition runs and how its caller follows it.
struct FieldWork {
    // 0 = one thread per core; small jobs stay on the calling thread.
    int threads = 0;
    FieldKernel kernel = FieldKernel::Automatic;
    // Called on the calling thread from time to time with the cell-piece evaluations done and the
    // total of this call; done reaches total at the end.
    void (*progress)(void* context, std::int64_t done, std::int64_t total) = nullptr;
    void* progressContext = nullptr;
    // When set (from any thread) the addition stops soon and the field is left as it was before.
    const std::atomic<bool>* cancel = nullptr;
};

// Adds the pieces, in their order, to every cell. False when cancelled; the field is then
// unchanged.
bool addPieces(const FieldRaster& raster, std::span<const FieldPiece> pieces,
               const FieldWork& work = {});

}  // namespace qor::ema
