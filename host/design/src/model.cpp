#include <cmath>
#include <numbers>

#include "qor/design/model.h"

namespace qor::design {

Point place(const Component& c, Point p) {
    double x = (c.flags & kComponentMirrored) ? -p.x : p.x;
    double y = p.y;
    if (c.angle % 360000 != 0) {
        const double a = c.angle / 1000.0 * std::numbers::pi / 180.0;
        const double cs = std::cos(a), sn = std::sin(a);
        const double rx = x * cs - y * sn;
        const double ry = x * sn + y * cs;
        x = rx, y = ry;
    }
    return {static_cast<int32_t>(std::lround(c.x + x)), static_cast<int32_t>(std::lround(c.y + y))};
}

Point arcMidpoint(Point start, Point end, const TracePoint& arc) {
    if (arc.radius == 0) return {start.x + (end.x - start.x) / 2, start.y + (end.y - start.y) / 2};
    const double cx = start.x + static_cast<double>(arc.centreDx);
    const double cy = start.y + static_cast<double>(arc.centreDy);
    double a0 = std::atan2(start.y - cy, start.x - cx);
    double a1 = std::atan2(end.y - cy, end.x - cx);
    const bool clockwise = (arc.flags & kArcClockwise) != 0;
    // Sweep from start to end in the arc's direction; a full turn when the ends meet.
    double sweep = a1 - a0;
    if (clockwise) {
        while (sweep >= 0) sweep -= 2 * std::numbers::pi;
    } else {
        while (sweep <= 0) sweep += 2 * std::numbers::pi;
    }
    const double mid = a0 + sweep / 2;
    return {static_cast<int32_t>(std::lround(cx + arc.radius * std::cos(mid))),
            static_cast<int32_t>(std::lround(cy + arc.radius * std::sin(mid)))};
}

}  // namespace qor::design
