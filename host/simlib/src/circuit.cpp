#include "circuit.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace qor::simlib {
namespace {

constexpr double kPi = std::numbers::pi;

bool finite(Point2 p) {
    return std::isfinite(p.xM) && std::isfinite(p.yM);
}

}  // namespace

double distanceM(Point2 a, Point2 b) {
    return std::hypot(a.xM - b.xM, a.yM - b.yM);
}

double Segment::lengthM() const {
    return arc ? radiusM * std::abs(sweepRad) : distanceM(startM, endM);
}

Point2 Segment::pointAt(double fraction) const {
    if (!arc) {
        return {startM.xM + (endM.xM - startM.xM) * fraction,
                startM.yM + (endM.yM - startM.yM) * fraction};
    }
    const double angle = startAngleRad + sweepRad * fraction;
    return {centreM.xM + radiusM * std::cos(angle), centreM.yM + radiusM * std::sin(angle)};
}

double SourceDef::voltageAt(double tS, double pwlV) const {
    switch (kind) {
        case SourceKind::Ground:
            return 0;
        case SourceKind::Constant:
            return vMaxV;
        case SourceKind::Pwl:
            return pwlV;
        case SourceKind::Sine: {
            const double mid = (vMaxV + vMinV) / 2;
            const double amplitude = (vMaxV - vMinV) / 2;
            return mid + amplitude * std::sin(2 * kPi * freqHz * (tS - phaseS));
        }
        case SourceKind::Pulse: {
            // One period: rise, high, fall, low, starting at vMin at t = 0.
            const double periodS = riseS + highS + fallS + lowS;
            if (periodS <= 0) return vMinV;
            const double tau = std::fmod(std::max(tS, 0.0), periodS);
            const double swing = vMaxV - vMinV;
            if (tau <= 0) return vMinV;
            if (tau < riseS) return vMinV + swing * tau / riseS;
            if (tau < riseS + highS) return vMaxV;
            if (tau < riseS + highS + fallS) return vMaxV - swing * (tau - riseS - highS) / fallS;
            return vMinV;
        }
    }
    return 0;
}

std::optional<double> SourceDef::edgeS() const {
    switch (kind) {
        case SourceKind::Pulse:
            if (vMaxV == vMinV) return std::nullopt;
            return std::min(riseS, fallS);
        case SourceKind::Sine:
            // A sine behaves like an edge of about 0.3 of its period (10 % to 90 % of a swing).
            if (freqHz <= 0 || vMaxV == vMinV) return std::nullopt;
            return 0.3 / freqHz;
        case SourceKind::Pwl:
            return 0.0;
        case SourceKind::Constant:
        case SourceKind::Ground:
            return std::nullopt;
    }
    return std::nullopt;
}

int Circuit::joinNode(Point2 atM, double widthM, bool* created) {
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        if (distanceM(nodes_[i].atM, atM) <= kJoinToleranceM) {
            nodes_[i].maxWidthM = std::max(nodes_[i].maxWidthM, widthM);
            if (created != nullptr) *created = false;
            return static_cast<int>(i);
        }
    }
    nodes_.push_back({atM, widthM});
    if (created != nullptr) *created = true;
    return static_cast<int>(nodes_.size() - 1);
}

std::optional<int> Circuit::nearNode(Point2 atM) const {
    std::optional<int> best;
    double bestDistanceM = 0;
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const double d = distanceM(nodes_[i].atM, atM);
        const double tolerance = std::max(kAttachToleranceM, nodes_[i].maxWidthM / 2);
        if (d <= tolerance && (!best || d < bestDistanceM)) {
            best = static_cast<int>(i);
            bestDistanceM = d;
        }
    }
    return best;
}

std::optional<std::pair<std::size_t, double>> Circuit::segmentUnder(Point2 atM,
                                                                    std::size_t except) const {
    for (std::size_t i = 0; i < segments_.size(); ++i) {
        const Segment& s = segments_[i];
        if (i == except || s.arc) continue;
        const double dx = s.endM.xM - s.startM.xM;
        const double dy = s.endM.yM - s.startM.yM;
        const double length2 = dx * dx + dy * dy;
        const double f = ((atM.xM - s.startM.xM) * dx + (atM.yM - s.startM.yM) * dy) / length2;
        const double lengthM = std::sqrt(length2);
        // Strictly inside: the ends themselves are nodes already.
        if (f * lengthM <= kJoinToleranceM || (1 - f) * lengthM <= kJoinToleranceM) continue;
        const double offM =
            std::abs((atM.xM - s.startM.xM) * dy - (atM.yM - s.startM.yM) * dx) / lengthM;
        if (offM <= std::max(kAttachToleranceM, s.widthM / 2)) return std::pair{i, f};
    }
    return std::nullopt;
}

void Circuit::splitSegment(std::size_t index, int node) {
    Segment tail = segments_[index];
    Segment& head = segments_[index];
    const Point2 at = nodes_[static_cast<std::size_t>(node)].atM;
    head.endM = at;
    head.endNode = node;
    tail.startM = at;
    tail.startNode = node;
    nodes_[static_cast<std::size_t>(node)].maxWidthM =
        std::max(nodes_[static_cast<std::size_t>(node)].maxWidthM, head.widthM);
    segments_.push_back(tail);
}

std::optional<int> Circuit::attachNode(Point2 atM) {
    if (const auto node = nearNode(atM)) return node;
    const auto under = segmentUnder(atM, segments_.size());
    if (!under) return std::nullopt;
    const int node = joinNode(atM, 0);
    splitSegment(under->first, node);
    ++revision_;
    return node;
}

bool Circuit::addSegment(Segment segment) {
    if (!(segment.lengthM() > Circuit::kJoinToleranceM) || !(segment.widthM > 0) ||
        !std::isfinite(segment.zM) || !std::isfinite(segment.lengthM())) {
        return false;
    }
    bool startCreated = false;
    bool endCreated = false;
    segment.startNode = joinNode(segment.startM, segment.widthM, &startCreated);
    segment.endNode = joinNode(segment.endM, segment.widthM, &endCreated);
    if (segment.startNode == segment.endNode) return false;
    const std::size_t index = segments_.size();
    segments_.push_back(segment);
    // A new end on the inside of an existing straight segment splits it there.
    for (const auto& [node, created] :
         {std::pair{segment.startNode, startCreated}, std::pair{segment.endNode, endCreated}}) {
        if (!created) continue;
        const Point2 at = nodes_[static_cast<std::size_t>(node)].atM;
        if (const auto under = segmentUnder(at, index)) {
            splitSegment(under->first, node);
        }
    }
    // Existing nodes on the inside of the new segment split it, nearest to its start first.
    if (!segment.arc) {
        std::vector<std::pair<double, int>> inside;
        for (std::size_t n = 0; n < nodes_.size(); ++n) {
            const int node = static_cast<int>(n);
            if (node == segment.startNode || node == segment.endNode) continue;
            const Segment& s = segments_[index];
            const double dx = s.endM.xM - s.startM.xM;
            const double dy = s.endM.yM - s.startM.yM;
            const double lengthM = std::hypot(dx, dy);
            const Point2 p = nodes_[n].atM;
            const double f =
                ((p.xM - s.startM.xM) * dx + (p.yM - s.startM.yM) * dy) / (lengthM * lengthM);
            const double offM =
                std::abs((p.xM - s.startM.xM) * dy - (p.yM - s.startM.yM) * dx) / lengthM;
            if (f * lengthM > kJoinToleranceM && (1 - f) * lengthM > kJoinToleranceM &&
                offM <= std::max(kAttachToleranceM, s.widthM / 2)) {
                inside.emplace_back(f, node);
            }
        }
        std::sort(inside.begin(), inside.end(), std::greater<>());
        // From the far end back: each split keeps the remaining head at `index`.
        for (const auto& [f, node] : inside) splitSegment(index, node);
    }
    ++revision_;
    return true;
}

bool Circuit::addLine(Point2 fromM, Point2 toM, double widthM, double zM) {
    if (!finite(fromM) || !finite(toM)) return false;
    Segment s;
    s.startM = fromM;
    s.endM = toM;
    s.widthM = widthM;
    s.zM = zM;
    return addSegment(s);
}

bool Circuit::addArc(Point2 fromM, Point2 toM, double startAngleDeg, double sweepDeg, double widthM,
                     double zM) {
    if (!finite(fromM) || !finite(toM) || !std::isfinite(startAngleDeg) ||
        !std::isfinite(sweepDeg)) {
        return false;
    }
    const double sweep = std::fmod(std::fmod(sweepDeg, 360.0) + 360.0, 360.0) * kPi / 180;
    const double chordM = distanceM(fromM, toM);
    if (sweep < 1e-9 || chordM <= kJoinToleranceM) return addLine(fromM, toM, widthM, zM);

    // The sweep runs counter-clockwise from one end point P to the other, Q. The centre lies
    // left of the chord P->Q at (chord/2)·cot(sweep/2) from its middle. Which end is P is told
    // by the start angle: take the reading whose direction from the centre matches it.
    const auto centreFor = [&](Point2 p, Point2 q) {
        const double dx = (q.xM - p.xM) / chordM;
        const double dy = (q.yM - p.yM) / chordM;
        const double offset = chordM / 2 / std::tan(sweep / 2);
        return Point2{(p.xM + q.xM) / 2 - dy * offset, (p.yM + q.yM) / 2 + dx * offset};
    };
    const double wanted = startAngleDeg * kPi / 180;
    const auto angleMiss = [&](Point2 centre, Point2 p) {
        const double a = std::atan2(p.yM - centre.yM, p.xM - centre.xM);
        return std::abs(std::remainder(a - wanted, 2 * kPi));
    };
    const Point2 centreFromStart = centreFor(fromM, toM);
    const Point2 centreFromEnd = centreFor(toM, fromM);
    const bool startsAtFrom = angleMiss(centreFromStart, fromM) <= angleMiss(centreFromEnd, toM);

    Segment s;
    s.arc = true;
    s.startM = fromM;
    s.endM = toM;
    s.centreM = startsAtFrom ? centreFromStart : centreFromEnd;
    s.radiusM = distanceM(s.centreM, fromM);
    s.startAngleRad = std::atan2(fromM.yM - s.centreM.yM, fromM.xM - s.centreM.xM);
    s.sweepRad = startsAtFrom ? sweep : -sweep;
    s.widthM = widthM;
    s.zM = zM;
    return addSegment(s);
}

int Circuit::addSource(const SourceDef& def) {
    const auto node = attachNode(def.atM);
    if (!node) return 0;
    SourceDef s = def;
    s.node = *node;
    sources_.push_back(s);
    ++revision_;
    return static_cast<int>(sources_.size());
}

int Circuit::addInput(const InputDef& def) {
    const auto node = attachNode(def.atM);
    if (!node) return 0;
    InputDef s = def;
    s.node = *node;
    inputs_.push_back(s);
    ++revision_;
    return static_cast<int>(inputs_.size());
}

int Circuit::addViewAt(Point2 atM) {
    const auto node = attachNode(atM);
    if (!node) return 0;
    views_.push_back({*node, 0});
    ++revision_;
    return static_cast<int>(views_.size());
}

int Circuit::addViewOfSource(int source) {
    if (source < 1 || source > static_cast<int>(sources_.size())) return 0;
    views_.push_back({sources_[static_cast<std::size_t>(source - 1)].node, source});
    ++revision_;
    return static_cast<int>(views_.size());
}

int Circuit::addPolygon(double zM) {
    if (!std::isfinite(zM)) return 0;
    polygons_.push_back({zM, {}, {}});
    ++revision_;
    return static_cast<int>(polygons_.size());
}

bool Circuit::addPolygonPoint(int polygon, Point2 atM) {
    if (polygon < 1 || polygon > static_cast<int>(polygons_.size()) || !finite(atM)) return false;
    auto& p = polygons_[static_cast<std::size_t>(polygon - 1)];
    if (p.verticesM.size() >= 3) return false;
    p.verticesM.push_back(atM);
    ++revision_;
    return true;
}

bool Circuit::addPolygonLink(int polygon, Point2 atM) {
    if (polygon < 1 || polygon > static_cast<int>(polygons_.size()) || !finite(atM)) return false;
    // A pad standing only on a copper area has no node yet: the link makes one.
    const auto existing = attachNode(atM);
    const int node = existing ? *existing : joinNode(atM, 0);
    polygons_[static_cast<std::size_t>(polygon - 1)].linkNodes.push_back(node);
    ++revision_;
    return true;
}

}  // namespace qor::simlib
