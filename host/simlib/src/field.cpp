#include "field.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "units.h"

namespace qor::simlib {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kCoulomb = 1.0 / (4 * kPi * kEps0FPerM);
constexpr double kBiot = kMu0HPerM / (4 * kPi);
// Sub-triangles per side for a charged copper triangle.
constexpr int kSheetDivisions = 6;

struct Vec {
    double x = 0, y = 0, z = 0;
};
Vec operator-(Point3 a, Point3 b) {
    return {a.xM - b.xM, a.yM - b.yM, a.zM - b.zM};
}
double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
double norm(Vec a) {
    return std::sqrt(dot(a, a));
}
Vec cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec scaled(Vec a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
Vec& operator+=(Vec& a, Vec b) {
    a.x += b.x;
    a.y += b.y;
    a.z += b.z;
    return a;
}
Point3 mirrored(Point3 p, double planeZM) {
    return {p.xM, p.yM, 2 * planeZM - p.zM};
}

struct Accumulator {
    double hz = 0;
    Vec e;
    Vec a;
    double fi = 0;

    // A straight filament with current currentA and line charge chargePerM.
    void line(Point3 from, Point3 to, Point3 p, double currentA, double chargePerM) {
        const Vec r1 = from - p;
        const Vec r2 = to - p;
        const Vec axis = to - from;
        const double l = norm(axis);
        if (!(l > 0)) return;
        const Vec u = scaled(axis, 1 / l);
        const double n1 = norm(r1);
        const double n2 = norm(r2);
        const double sum = n1 + n2;
        if (!(sum - l > 1e-15)) return;  // on the filament itself
        const double logTerm = std::log((sum + l) / (sum - l));
        if (currentA != 0) {
            const double denom = n1 * n2 * (n1 * n2 + dot(r1, r2));
            if (denom > 0) {
                const Vec b = scaled(cross(r1, r2), kBiot * currentA * sum / denom);
                hz += b.z / kMu0HPerM;
            }
            a += scaled(u, kBiot * currentA * logTerm);
        }
        if (chargePerM != 0) {
            fi += kCoulomb * chargePerM * logTerm;
            // Axial positions of the ends relative to the foot of p on the line.
            const double s1 = dot(r1, u);
            const double s2 = dot(r2, u);
            Vec radial = scaled(r1, -1);  // p - from, less its axial part: from the line to p
            radial += scaled(u, -dot(radial, u));
            const double rho = norm(radial);
            const double k = kCoulomb * chargePerM;
            e += scaled(u, k * (1 / n2 - 1 / n1));
            if (rho > 1e-12) e += scaled(radial, k * (s2 / n2 - s1 / n1) / (rho * rho));
        }
    }

    void point(Point3 at, Point3 p, double chargeC) {
        const Vec r = p - at;
        const double d = norm(r);
        if (!(d > 1e-12)) return;
        fi += kCoulomb * chargeC / d;
        e += scaled(r, kCoulomb * chargeC / (d * d * d));
    }
};

}  // namespace

double FieldValues::get(FieldKind kind) const {
    switch (kind) {
        case FieldKind::Hz:
            return hzAPerM;
        case FieldKind::E:
            return eVPerM;
        case FieldKind::A:
            return aWbPerM;
        case FieldKind::Fi:
            return fiV;
    }
    return 0;
}

bool FieldModel::size(double cellM, Point2 centreM, double boardHalfM, double observationZM) {
    if (!(cellM > 0) || !std::isfinite(cellM) || !std::isfinite(boardHalfM)) return false;
    const double halfM = std::max(1.5 * std::max(boardHalfM, 0.0), kMinHalfCells * cellM);
    const int halfCells =
        static_cast<int>(std::min<double>(std::ceil(halfM / cellM - 1e-9), kMaxCellsPerSide / 2));
    cells_ = 2 * std::max(halfCells, 1);
    cellM_ = cellM;
    cornerM_ = {centreM.xM - halfCells * cellM, centreM.yM - halfCells * cellM};
    observationZM_ = observationZM;
    grid_.assign(static_cast<std::size_t>(cells_) * static_cast<std::size_t>(cells_), {});
    computed_ = false;
    return true;
}

Point2 FieldModel::cellCentreM(int column, int row) const {
    return {cornerM_.xM + (column + 0.5) * cellM_, cornerM_.yM + (row + 0.5) * cellM_};
}

const FieldValues& FieldModel::cell(int column, int row) const {
    return grid_[static_cast<std::size_t>(row) * static_cast<std::size_t>(cells_) +
                 static_cast<std::size_t>(column)];
}

void FieldModel::compute(const Network& net, const TransientEngine& engine, bool withSheets) {
    lines_.clear();
    charges_.clear();
    // Each source and its image through its return plane, both kept as plain sources.
    for (const Filament& f : net.filaments) {
        const double lengthM = norm(f.toM - f.fromM);
        if (!(lengthM > 0)) continue;
        const double currentA = f.branch >= 0 ? engine.branchCurrent(f.branch) : 0;
        const double charge =
            f.capF * (engine.nodeVoltage(f.nodeA) + engine.nodeVoltage(f.nodeB)) / 2 / lengthM;
        lines_.push_back({f.fromM, f.toM, currentA, charge});
        lines_.push_back(
            {mirrored(f.fromM, f.planeZM), mirrored(f.toM, f.planeZM), -currentA, -charge});
    }
    if (withSheets) {
        constexpr int n = kSheetDivisions;
        for (const Sheet& s : net.sheets) {
            const double q = s.capF * engine.nodeVoltage(s.node) / (n * n);
            const Point3& a = s.cornersM[0];
            const Point3& b = s.cornersM[1];
            const Point3& c = s.cornersM[2];
            // Centroids of the n*n congruent sub-triangles of a regular subdivision.
            for (int i = 0; i < n; ++i) {
                for (int j = 0; i + j < n; ++j) {
                    const auto at = [&](double wi, double wj) {
                        const double wa = 1 - (wi + wj) / n;
                        return Point3{wa * a.xM + wi / n * b.xM + wj / n * c.xM,
                                      wa * a.yM + wi / n * b.yM + wj / n * c.yM, a.zM};
                    };
                    const Point3 up = at(i + 1.0 / 3, j + 1.0 / 3);
                    charges_.push_back({up, q});
                    charges_.push_back({mirrored(up, s.planeZM), -q});
                    if (i + j + 1 < n) {
                        const Point3 down = at(i + 2.0 / 3, j + 2.0 / 3);
                        charges_.push_back({down, q});
                        charges_.push_back({mirrored(down, s.planeZM), -q});
                    }
                }
            }
        }
    }
    for (int row = 0; row < cells_; ++row) {
        for (int column = 0; column < cells_; ++column) {
            grid_[static_cast<std::size_t>(row) * static_cast<std::size_t>(cells_) +
                  static_cast<std::size_t>(column)] = valueAt(cellCentreM(column, row));
        }
    }
    computed_ = true;
}

FieldValues FieldModel::valueAt(Point2 atM) const {
    const Point3 p{atM.xM, atM.yM, observationZM_};
    Accumulator acc;
    for (const LineSource& l : lines_) acc.line(l.fromM, l.toM, p, l.currentA, l.chargePerM);
    for (const PointCharge& c : charges_) acc.point(c.atM, p, c.chargeC);
    return {acc.hz, norm(acc.e), norm(acc.a), acc.fi};
}

double FieldModel::maximum(FieldKind kind) const {
    double best = 0;
    for (const FieldValues& v : grid_) best = std::max(best, std::abs(v.get(kind)));
    return best;
}

double FieldModel::smoothedMaximum(FieldKind kind) const {
    double best = 0;
    for (int row = 0; row < cells_; ++row) {
        for (int column = 0; column < cells_; ++column) {
            double sum = 0;
            int count = 0;
            for (int dr = -1; dr <= 1; ++dr) {
                for (int dc = -1; dc <= 1; ++dc) {
                    const int r = row + dr;
                    const int c = column + dc;
                    if (r < 0 || c < 0 || r >= cells_ || c >= cells_) continue;
                    sum += std::abs(cell(c, r).get(kind));
                    ++count;
                }
            }
            best = std::max(best, sum / count);
        }
    }
    return best;
}

}  // namespace qor::simlib
