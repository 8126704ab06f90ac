// The circuit as the caller describes it: trace segments, sources, receivers, views and copper
// triangles, with every point joined to a circuit node. Segment ends closer than
// kJoinToleranceM are one node; a segment end or an attached point lying on the inside of a
// straight segment splits that segment there (a trace ending on another one joins it). This is the
// set-up side; the equivalent network that the engine steps is derived from it by buildNetwork
// (network.h).
#pragma once

#include <optional>
#include <utility>
#include <vector>

namespace qor::simlib {

struct Point2 {
    double xM = 0;
    double yM = 0;
};

double distanceM(Point2 a, Point2 b);

// A straight or circular trace segment. Arcs run from startM to endM through sweepRad (signed:
// positive counter-clockwise) around centreM.
struct Segment {
    Point2 startM;
    Point2 endM;
    bool arc = false;
    Point2 centreM;
    double radiusM = 0;
    double startAngleRad = 0;  // direction from the centre to startM
    double sweepRad = 0;
    double widthM = 0;
    double zM = 0;  // height of the trace centre above the board bottom
    int startNode = 0;
    int endNode = 0;

    double lengthM() const;
    Point2 pointAt(double fraction) const;
};

enum class SourceKind { Pulse, Sine, Constant, Pwl, Ground };

struct SourceDef {
    SourceKind kind = SourceKind::Constant;
    Point2 atM;
    int node = 0;
    double vMinV = 0;
    double vMaxV = 0;
    double riseS = 0;
    double highS = 0;
    double fallS = 0;
    double lowS = 0;
    double freqHz = 0;
    double phaseS = 0;
    double rOutOhm = 0;
    double lOutH = 0;
    double cOutF = 0;

    // Generator voltage at tS; pwlV is the value last set for a PWL source.
    double voltageAt(double tS, double pwlV) const;
    // Shortest transition time the source produces; 0 for a jump between two steps; nullopt
    // when it has no edges (constant, ground).
    std::optional<double> edgeS() const;
};

struct InputDef {
    Point2 atM;
    int node = 0;
    double rInOhm = 0;
    double lInH = 0;
    double cInF = 0;
};

struct ViewDef {
    int node = 0;    // circuit node read by the view
    int source = 0;  // the source handle for a source view, else 0
};

struct PolygonDef {
    double zM = 0;
    std::vector<Point2> verticesM;
    std::vector<int> linkNodes;
};

struct CircuitNode {
    Point2 atM;
    double maxWidthM = 0;  // widest copper ending here; sets the attach tolerance
};

class Circuit {
  public:
    // Segment end points closer than this are one node.
    static constexpr double kJoinToleranceM = 1e-6;
    // A source, receiver or view point is joined to the nearest node within half the widest
    // trace ending there, and never less than this.
    static constexpr double kAttachToleranceM = 10e-6;

    bool addLine(Point2 fromM, Point2 toM, double widthM, double zM);
    bool addArc(Point2 fromM, Point2 toM, double startAngleDeg, double sweepDeg, double widthM,
                double zM);
    int addSource(const SourceDef& def);  // handle, 0 when the point lies on no node
    int addInput(const InputDef& def);
    int addViewAt(Point2 atM);
    int addViewOfSource(int source);
    int addPolygon(double zM);
    bool addPolygonPoint(int polygon, Point2 atM);
    bool addPolygonLink(int polygon, Point2 atM);

    // The node a point joins: the nearest node within tolerance, else a new node splitting the
    // straight segment whose copper the point lies on; nullopt when it lies on neither.
    std::optional<int> attachNode(Point2 atM);

    const std::vector<CircuitNode>& nodes() const { return nodes_; }
    const std::vector<Segment>& segments() const { return segments_; }
    const std::vector<SourceDef>& sources() const { return sources_; }
    const std::vector<InputDef>& inputs() const { return inputs_; }
    const std::vector<ViewDef>& views() const { return views_; }
    const std::vector<PolygonDef>& polygons() const { return polygons_; }
    // Bumped by every change, so that a built equivalent can tell it is stale.
    int revision() const { return revision_; }

  private:
    int joinNode(Point2 atM, double widthM, bool* created = nullptr);
    std::optional<int> nearNode(Point2 atM) const;
    // Straight segment (other than `except`) whose inside the point lies on, within half its
    // width, with the fraction along it.
    std::optional<std::pair<std::size_t, double>> segmentUnder(Point2 atM,
                                                               std::size_t except) const;
    void splitSegment(std::size_t index, int node);
    bool addSegment(Segment segment);

    std::vector<CircuitNode> nodes_;
    std::vector<Segment> segments_;
    std::vector<SourceDef> sources_;
    std::vector<InputDef> inputs_;
    std::vector<ViewDef> views_;
    std::vector<PolygonDef> polygons_;
    int revision_ = 0;
};

}  // namespace qor::simlib
