// The equivalent network: lumped R, L, C, conductances and sources derived from a Circuit.
//
// Model:
//   - Each trace segment is a transmission line with per-unit-length R', L', C' (line_params.h),
//     cut into N equal pi-sections: a series R'l/N + L'l/N branch between consecutive nodes and
//     C'l/(2N) from each end of the section to the return plane. N is chosen so that one
//     section's delay is at most a tenth of the fastest source edge, but not below the time step
//     (finer sections than the step cannot be resolved), and at most kMaxSectionsPerSegment.
//   - A source is an ideal generator behind its series ROut + LOut (one branch), with COut from
//     its point to the return plane. A generator with neither R nor L gets kMinSeriesOhm so that
//     two ideal sources on one node stay solvable.
//   - A receiver is its point, through LIn, loaded by RIn parallel CIn.
//   - A copper triangle is one plane node with its parallel-plate capacitance to the return
//     plane (fringing neglected). Triangles of one layer that share an edge, and each linked
//     point, are joined by a strip branch between centroids: R = rho·d/(t·w), L = mu0·h·d/w
//     (parallel-plate strip over its plane), w the shared edge or the square root of the area.
//   - Every group of nodes without a DC path to the return plane gets a 1e12 ohm leak to it, so
//     that the operating point is defined.
// The return plane is node 0.
#pragma once

#include <array>
#include <vector>

#include "circuit.h"
#include "line_params.h"

namespace qor::simlib {

struct Point3 {
    double xM = 0;
    double yM = 0;
    double zM = 0;
};

// A series R-L branch from node a to node b, optionally with a generator: the branch obeys
// v(a) - v(b) + e(t) = R i + L di/dt with i flowing from a to b.
struct Branch {
    int a = 0;
    int b = 0;
    double rOhm = 0;
    double lH = 0;
    int source = -1;  // index into Network::sources, or -1
};

struct Conductance {
    int a = 0;
    int b = 0;
    double gS = 0;
};

// Geometry of a piece of copper for the field: a straight filament carrying the current of a
// branch and the line charge of a section (capF times the mean voltage of nodes a and b).
struct Filament {
    Point3 fromM;
    Point3 toM;
    int branch = -1;
    int nodeA = 0;
    int nodeB = 0;
    double capF = 0;
    double planeZM = 0;
};

// A charged copper triangle (plane node).
struct Sheet {
    std::array<Point3, 3> cornersM;
    int node = 0;
    double capF = 0;
    double planeZM = 0;
};

struct Network {
    static constexpr int kMaxSectionsPerSegment = 200;
    static constexpr double kMinSeriesOhm = 1e-6;
    static constexpr double kLeakS = 1e-12;

    int nodeCount = 0;             // nodes 1..nodeCount; 0 is the return plane
    std::vector<double> nodeCapF;  // capacitance to the return plane, by node
    std::vector<Branch> branches;
    std::vector<Conductance> conductances;
    std::vector<SourceDef> sources;  // in source-handle order
    std::vector<int> sourceBranch;   // branch of each source
    std::vector<int> circuitNode;    // network node of each circuit node
    std::vector<int> viewNode;       // network node read by each view (handle order)
    std::vector<int> sectionsPerSegment;
    std::vector<Filament> filaments;
    std::vector<Sheet> sheets;
    double edgeS = 0;  // the edge time the sections were sized for
};

// Fastest edge of the circuit's sources for a time step of stepS (a jump lasts one step).
double circuitEdgeS(const Circuit& circuit, double stepS);

// Builds the network. stepS may be 0 when no time step is known yet.
Network buildNetwork(const Circuit& circuit, const BoardParameters& board, double stepS);

}  // namespace qor::simlib
