// Quasi-static near field of the simulated copper over a square grid.
//
// Sources, taken from the present solution of the transient engine:
//   - every line section (and copper strip branch) is a straight filament carrying its branch
//     current I and a uniform line charge lambda = C_section · (v_a + v_b) / 2 / length;
//   - every copper triangle carries the charge C · v of its plane node, spread over a grid of
//     sub-triangles as point charges.
// The return plane under each piece of copper is a perfect conductor, taken into account by an
// image of opposite sign mirrored through the plane. Radiation and retardation are neglected
// (the grid lies within a small fraction of a wavelength at the edge rates of interest), and the
// field is evaluated in air (eps0, mu0), on a plane kObservationHeightM above the top face.
// Closed forms for a straight filament from A to B seen from P (r1 = A - P, r2 = B - P,
// l = |B - A|, u = (B - A)/l):
//   B   = mu0 I/(4 pi) · (|r1| + |r2|) / (|r1||r2| (|r1||r2| + r1·r2)) · (r1 x r2)   (Biot-Savart)
//   A   = mu0 I/(4 pi) · u · ln((|r1| + |r2| + l) / (|r1| + |r2| - l))
//   Fi  = lambda/(4 pi eps0) · ln((|r1| + |r2| + l) / (|r1| + |r2| - l))
//   E   = lambda/(4 pi eps0) · [ (s2/|r2| - s1/|r1|)/rho · rho_hat + (1/|r2| - 1/|r1|) · u ]
// with rho the distance of P from the filament's line and s1, s2 the axial positions of A, B
// relative to the foot of P.
// Quantities: 0 Hz (A/m, vertical magnetic field, signed), 1 |E| (V/m), 2 |A| (Wb/m),
// 3 Fi (V, signed).
#pragma once

#include <array>
#include <vector>

#include "engine.h"
#include "network.h"

namespace qor::simlib {

enum class FieldKind { Hz = 0, E = 1, A = 2, Fi = 3 };

struct FieldValues {
    double hzAPerM = 0;
    double eVPerM = 0;
    double aWbPerM = 0;
    double fiV = 0;

    double get(FieldKind kind) const;
};

class FieldModel {
  public:
    static constexpr double kObservationHeightM = 1e-3;
    static constexpr int kMaxCellsPerSide = 200;
    static constexpr int kMinHalfCells = 20;

    // Grid of square cells of cellM centred on the board: it covers the board (boardHalfM, the
    // larger half side) with a margin, and at least kMinHalfCells cells each way from the centre.
    bool size(double cellM, Point2 centreM, double boardHalfM, double observationZM);

    // Takes the sources from the engine's present solution and fills the grid.
    void compute(const Network& network, const TransientEngine& engine, bool withSheets);

    FieldValues valueAt(Point2 atM) const;
    double maximum(FieldKind kind) const;
    double smoothedMaximum(FieldKind kind) const;  // largest 3x3-cell mean of |value|

    bool sized() const { return cells_ > 0; }
    bool computed() const { return computed_; }
    int cellsPerSide() const { return cells_; }
    double cellM() const { return cellM_; }
    Point2 cornerM() const { return cornerM_; }  // lower-left corner of the grid
    Point2 cellCentreM(int column, int row) const;
    const FieldValues& cell(int column, int row) const;

  private:
    struct LineSource {
        Point3 fromM;
        Point3 toM;
        double currentA = 0;
        double chargePerM = 0;
    };
    struct PointCharge {
        Point3 atM;
        double chargeC = 0;
    };

    double cellM_ = 0;
    int cells_ = 0;
    Point2 cornerM_;
    double observationZM_ = 0;
    bool computed_ = false;
    std::vector<LineSource> lines_;
    std::vector<PointCharge> charges_;
    std::vector<FieldValues> grid_;
};

}  // namespace qor::simlib
