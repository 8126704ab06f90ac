#include "network.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "units.h"

namespace qor::simlib {
namespace {

// Edge assumed when nothing else tells: a jump with no time step known yet.
constexpr double kDefaultEdgeS = 100e-12;
// Pieces of an arc section for the field are at most this many radians.
constexpr double kMaxFieldArcRad = 0.25;

struct Builder {
    const BoardParameters& board;
    Network net;

    int newNode() {
        net.nodeCapF.push_back(0);
        return ++net.nodeCount;
    }
    void addCap(int node, double capF) {
        if (node > 0 && capF > 0) net.nodeCapF[static_cast<std::size_t>(node)] += capF;
    }
    int addBranch(int a, int b, double rOhm, double lH, int source = -1) {
        rOhm = std::max(rOhm, 0.0);
        lH = std::max(lH, 0.0);
        if (rOhm <= 0 && lH <= 0) rOhm = Network::kMinSeriesOhm;
        net.branches.push_back({a, b, rOhm, lH, source});
        return static_cast<int>(net.branches.size() - 1);
    }
};

double effectiveHeightM(const CrossSection& cs) {
    if (cs.kind == LineKind::Microstrip) return cs.heightM;
    return 1.0 / (1.0 / cs.heightM + 1.0 / cs.otherHeightM);
}

void addSegment(Builder& b, const Segment& s, double sectionDelayS) {
    const LineParameters p = traceParameters(b.board, s.widthM, s.zM);
    const CrossSection cs = crossSectionAt(b.board, s.zM);
    const double lengthM = s.lengthM();
    const double delayS = lengthM * p.delaySPerM();
    const int sections = static_cast<int>(std::clamp(std::ceil(delayS / sectionDelayS - 1e-9), 1.0,
                                                     double(Network::kMaxSectionsPerSegment)));
    b.net.sectionsPerSegment.push_back(sections);

    const double pieceM = lengthM / sections;
    const int startNode = b.net.circuitNode[static_cast<std::size_t>(s.startNode)];
    const int endNode = b.net.circuitNode[static_cast<std::size_t>(s.endNode)];
    int from = startNode;
    for (int k = 0; k < sections; ++k) {
        const int to = k + 1 == sections ? endNode : b.newNode();
        const int branch = b.addBranch(from, to, p.rOhmPerM * pieceM, p.lHPerM * pieceM);
        const double capF = p.cFPerM * pieceM;
        b.addCap(from, capF / 2);
        b.addCap(to, capF / 2);

        // Field geometry: straight pieces along the section, the charge shared by length.
        const double f0 = double(k) / sections;
        const double f1 = double(k + 1) / sections;
        const int pieces =
            s.arc ? std::max(1, int(std::ceil(std::abs(s.sweepRad) / sections / kMaxFieldArcRad)))
                  : 1;
        for (int j = 0; j < pieces; ++j) {
            const Point2 a = s.pointAt(f0 + (f1 - f0) * j / pieces);
            const Point2 c = s.pointAt(f0 + (f1 - f0) * (j + 1) / pieces);
            b.net.filaments.push_back({{a.xM, a.yM, s.zM},
                                       {c.xM, c.yM, s.zM},
                                       branch,
                                       from,
                                       to,
                                       capF / pieces,
                                       cs.planeZM});
        }
        from = to;
    }
}

struct Triangle {
    std::array<Point2, 3> cornersM;
    double areaM2 = 0;
    Point2 centroidM;
    int node = 0;
    double zM = 0;
};

void addPolygons(Builder& b, const Circuit& circuit) {
    const double rho = b.board.resistivityOhmM;
    const double t = b.board.copperThicknessM;
    std::vector<Triangle> triangles;
    for (const PolygonDef& poly : circuit.polygons()) {
        if (poly.verticesM.size() != 3) continue;
        Triangle tri;
        std::copy(poly.verticesM.begin(), poly.verticesM.end(), tri.cornersM.begin());
        const auto& v = tri.cornersM;
        tri.areaM2 = std::abs((v[1].xM - v[0].xM) * (v[2].yM - v[0].yM) -
                              (v[2].xM - v[0].xM) * (v[1].yM - v[0].yM)) /
                     2;
        if (!(tri.areaM2 > 0)) continue;
        tri.centroidM = {(v[0].xM + v[1].xM + v[2].xM) / 3, (v[0].yM + v[1].yM + v[2].yM) / 3};
        tri.zM = poly.zM;
        tri.node = b.newNode();
        const CrossSection cs = crossSectionAt(b.board, poly.zM);
        const double hM = effectiveHeightM(cs);
        b.addCap(tri.node, kEps0FPerM * b.board.relPermittivity * tri.areaM2 / hM);
        b.net.sheets.push_back(
            {{Point3{v[0].xM, v[0].yM, poly.zM}, Point3{v[1].xM, v[1].yM, poly.zM},
              Point3{v[2].xM, v[2].yM, poly.zM}},
             tri.node,
             kEps0FPerM * b.board.relPermittivity * tri.areaM2 / hM,
             cs.planeZM});
        const auto strip = [&](int nodeA, Point2 atA, int nodeB, Point2 atB, double widthM) {
            const double dM = std::max(distanceM(atA, atB), Circuit::kAttachToleranceM);
            const int branch =
                b.addBranch(nodeA, nodeB, rho * dM / (t * widthM), kMu0HPerM * hM * dM / widthM);
            b.net.filaments.push_back({{atA.xM, atA.yM, poly.zM},
                                       {atB.xM, atB.yM, poly.zM},
                                       branch,
                                       nodeA,
                                       nodeB,
                                       0,
                                       cs.planeZM});
        };
        for (const int linked : poly.linkNodes) {
            const Point2 at = circuit.nodes()[static_cast<std::size_t>(linked)].atM;
            strip(b.net.circuitNode[static_cast<std::size_t>(linked)], at, tri.node, tri.centroidM,
                  std::sqrt(tri.areaM2));
        }
        // Neighbours of the same layer sharing an edge with this triangle.
        for (const Triangle& other : triangles) {
            if (std::abs(other.zM - tri.zM) > 1e-9) continue;
            std::vector<Point2> shared;
            for (const Point2& p : tri.cornersM) {
                for (const Point2& q : other.cornersM) {
                    if (distanceM(p, q) <= Circuit::kJoinToleranceM) shared.push_back(p);
                }
            }
            if (shared.size() >= 2) {
                strip(other.node, other.centroidM, tri.node, tri.centroidM,
                      distanceM(shared[0], shared[1]));
            }
        }
        triangles.push_back(tri);
    }
}

void addSourcesAndLoads(Builder& b, const Circuit& circuit) {
    for (const SourceDef& s : circuit.sources()) {
        const int node = b.net.circuitNode[static_cast<std::size_t>(s.node)];
        const int index = static_cast<int>(b.net.sources.size());
        b.net.sources.push_back(s);
        b.net.sourceBranch.push_back(b.addBranch(0, node, s.rOutOhm, s.lOutH, index));
        b.addCap(node, s.cOutF);
    }
    for (const InputDef& in : circuit.inputs()) {
        int node = b.net.circuitNode[static_cast<std::size_t>(in.node)];
        if (in.rInOhm <= 0 && in.cInF <= 0) continue;  // nothing loads the point
        if (in.lInH > 0) {
            const int inner = b.newNode();
            b.addBranch(node, inner, 0, in.lInH);
            node = inner;
        }
        if (in.rInOhm > 0) b.net.conductances.push_back({node, 0, 1.0 / in.rInOhm});
        b.addCap(node, in.cInF);
    }
}

// Union-find over DC paths; each group not reaching node 0 gets a leak.
void addLeaks(Network& net) {
    std::vector<int> parent(static_cast<std::size_t>(net.nodeCount + 1));
    std::iota(parent.begin(), parent.end(), 0);
    const auto find = [&](int n) {
        while (parent[static_cast<std::size_t>(n)] != n) {
            n = parent[static_cast<std::size_t>(n)] =
                parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(n)])];
        }
        return n;
    };
    const auto join = [&](int a, int c) {
        a = find(a);
        c = find(c);
        if (a != c) parent[static_cast<std::size_t>(std::max(a, c))] = std::min(a, c);
    };
    for (const Branch& br : net.branches) join(br.a, br.b);
    for (const Conductance& g : net.conductances) join(g.a, g.b);
    std::vector<bool> leaked(parent.size(), false);
    for (int n = 1; n <= net.nodeCount; ++n) {
        const int root = find(n);
        if (root != 0 && !leaked[static_cast<std::size_t>(root)]) {
            leaked[static_cast<std::size_t>(root)] = true;
            net.conductances.push_back({n, 0, Network::kLeakS});
        }
    }
}

}  // namespace

double circuitEdgeS(const Circuit& circuit, double stepS) {
    std::optional<double> edge;
    for (const SourceDef& s : circuit.sources()) {
        const auto e = s.edgeS();
        if (!e) continue;
        const double effective = *e > 0 ? *e : (stepS > 0 ? stepS : kDefaultEdgeS);
        edge = edge ? std::min(*edge, effective) : effective;
    }
    return edge.value_or(kDefaultEdgeS);
}

Network buildNetwork(const Circuit& circuit, const BoardParameters& board, double stepS) {
    Builder b{board, {}};
    b.net.nodeCapF.push_back(0);  // node 0
    for (std::size_t i = 0; i < circuit.nodes().size(); ++i)
        b.net.circuitNode.push_back(b.newNode());

    b.net.edgeS = circuitEdgeS(circuit, stepS);
    const double sectionDelayS = std::max(b.net.edgeS / 10, stepS);
    for (const Segment& s : circuit.segments()) addSegment(b, s, sectionDelayS);
    addSourcesAndLoads(b, circuit);
    addPolygons(b, circuit);
    for (const ViewDef& v : circuit.views()) {
        b.net.viewNode.push_back(b.net.circuitNode[static_cast<std::size_t>(v.node)]);
    }
    addLeaks(b.net);
    return std::move(b.net);
}

}  // namespace qor::simlib
