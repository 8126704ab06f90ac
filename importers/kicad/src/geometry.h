// Plane geometry for the import: board millimetres (Y down) to design units (Y up), arcs through
// three points, polylines and their simplification.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "qor/design/model.h"

namespace qor::kicad {

struct Vec {
    double x = 0, y = 0;  // design units, Y up, not yet rounded
};

inline Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
inline Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
inline double cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }
inline double length(Vec a) { return std::hypot(a.x, a.y); }

// A board coordinate pair in millimetres (Y down) as design units (Y up).
inline Vec fromBoard(double xMm, double yMm) { return {xMm * design::kUnitsPerMm, -yMm * design::kUnitsPerMm}; }
inline int32_t units(double v) { return static_cast<int32_t>(std::lround(v)); }
inline design::Point rounded(Vec v) { return {units(v.x), units(v.y)}; }

// Turns v by degrees counter-clockwise (Y up).
inline Vec rotate(Vec v, double degrees) {
    const double a = degrees * M_PI / 180.0;
    return {v.x * std::cos(a) - v.y * std::sin(a), v.x * std::sin(a) + v.y * std::cos(a)};
}

struct Arc {
    Vec centre;
    double radius = 0;
    bool clockwise = false;
    bool valid = false;  // false when the three points are on one line
};

// The arc from start through mid to end.
Arc arcThrough(Vec start, Vec mid, Vec end);

// Points of the arc from start through mid to end, end included, start excluded, at most
// maxStepDegrees apart.
std::vector<Vec> arcPoints(Vec start, Vec mid, Vec end, double maxStepDegrees);

// Douglas-Peucker simplification of a closed ring (first point not repeated) to within tolerance.
std::vector<Vec> simplifyRing(const std::vector<Vec>& ring, double tolerance);

}  // namespace qor::kicad
