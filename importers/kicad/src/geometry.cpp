#include "geometry.h"

#include <algorithm>

namespace qor::kicad {

Arc arcThrough(Vec a, Vec b, Vec c) {
    Arc arc;
    const double d = 2 * (a.x * (b.y - c.y) + b.x * (c.y - a.y) + c.x * (a.y - b.y));
    if (std::fabs(d) < 1e-9) return arc;
    const double a2 = a.x * a.x + a.y * a.y, b2 = b.x * b.x + b.y * b.y, c2 = c.x * c.x + c.y * c.y;
    arc.centre = {(a2 * (b.y - c.y) + b2 * (c.y - a.y) + c2 * (a.y - b.y)) / d,
                  (a2 * (c.x - b.x) + b2 * (a.x - c.x) + c2 * (b.x - a.x)) / d};
    arc.radius = length(a - arc.centre);
    arc.clockwise = cross(b - a, c - a) < 0;
    arc.valid = std::isfinite(arc.radius) && arc.radius > 0;
    return arc;
}

std::vector<Vec> arcPoints(Vec start, Vec mid, Vec end, double maxStepDegrees) {
    const Arc arc = arcThrough(start, mid, end);
    if (!arc.valid) return {end};
    const double a0 = std::atan2(start.y - arc.centre.y, start.x - arc.centre.x);
    double sweep = std::atan2(end.y - arc.centre.y, end.x - arc.centre.x) - a0;
    if (arc.clockwise) {
        while (sweep >= 0) sweep -= 2 * M_PI;
    } else {
        while (sweep <= 0) sweep += 2 * M_PI;
    }
    const int steps = std::max(1, static_cast<int>(std::ceil(std::fabs(sweep) * 180 / M_PI / maxStepDegrees - 1e-3)));
    std::vector<Vec> out;
    for (int k = 1; k < steps; ++k) {
        const double a = a0 + sweep * k / steps;
        out.push_back({arc.centre.x + arc.radius * std::cos(a), arc.centre.y + arc.radius * std::sin(a)});
    }
    out.push_back(end);
    return out;
}

namespace {

double distanceToSegment(Vec p, Vec a, Vec b) {
    const Vec ab = b - a;
    const double len2 = ab.x * ab.x + ab.y * ab.y;
    if (len2 == 0) return length(p - a);
    const double t = std::clamp(((p.x - a.x) * ab.x + (p.y - a.y) * ab.y) / len2, 0.0, 1.0);
    return length(p - Vec{a.x + t * ab.x, a.y + t * ab.y});
}

void simplify(const std::vector<Vec>& pts, size_t first, size_t last, double tolerance, std::vector<bool>& keep) {
    double worst = 0;
    size_t at = first;
    for (size_t i = first + 1; i < last; ++i) {
        const double d = distanceToSegment(pts[i], pts[first], pts[last]);
        if (d > worst) worst = d, at = i;
    }
    if (worst <= tolerance) return;
    keep[at] = true;
    simplify(pts, first, at, tolerance, keep);
    simplify(pts, at, last, tolerance, keep);
}

}  // namespace

std::vector<Vec> simplifyRing(const std::vector<Vec>& ring, double tolerance) {
    if (ring.size() < 4) return ring;
    // Split the ring at its first point and at the point farthest from it.
    size_t far = 0;
    for (size_t i = 1; i < ring.size(); ++i)
        if (length(ring[i] - ring[0]) > length(ring[far] - ring[0])) far = i;
    std::vector<Vec> closed = ring;
    closed.push_back(ring[0]);
    std::vector<bool> keep(closed.size(), false);
    keep[0] = keep[far] = keep[closed.size() - 1] = true;
    simplify(closed, 0, far, tolerance, keep);
    simplify(closed, far, closed.size() - 1, tolerance, keep);
    std::vector<Vec> out;
    for (size_t i = 0; i + 1 < closed.size(); ++i)
        if (keep[i]) out.push_back(closed[i]);
    return out;
}

}  // namespace qor::kicad
