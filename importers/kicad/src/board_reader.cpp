// Reading a KiCad board into a design.
#include <algorithm>
#include <map>
#include <set>

#include "geometry.h"
#include "qor/importers/kicad.h"
#include "sexpr.h"

namespace qor::kicad {
namespace {

using design::Point;

// Board file versions from KiCad 5 to KiCad 8.
constexpr long kFirstVersion = 20171130;
constexpr long kLastVersion = 20241231;

// Outline records the thermal raster accepts, the closing point included.
constexpr size_t kMaxOutlineRecords = 99;
// Ends of Edge.Cuts pieces closer than this belong together (0.02 mm).
constexpr double kOutlineSnapUnits = 2000;

// ---- layers ---------------------------------------------------------------------------------

class Layers {
public:
    explicit Layers(const Sexpr* list) {
        names_.resize(design::kLayerCount);
        for (int32_t i = 0; i < design::kLayerCount; ++i) names_[static_cast<size_t>(i)] = "L" + std::to_string(i);
        names_[0] = "Edge.Cuts";
        names_[1] = "Courtyard";
        add("F.Cu", "");
        add("B.Cu", "");
        if (!list) return;
        for (size_t i = 1; i < list->items.size(); ++i) {
            const Sexpr& entry = list->items[i];
            if (!entry.isList || entry.items.size() < 2) continue;
            const std::string& name = entry.text(1);
            const std::string user = entry.items.size() > 3 && !entry.items[3].isList ? entry.items[3].atom : "";
            if (name.size() > 3 && name.ends_with(".Cu")) add(name, user);
        }
    }

    // The design layer of a copper layer name, or -1.
    int32_t copper(const std::string& name) const {
        const auto it = copper_.find(name);
        return it == copper_.end() ? -1 : it->second;
    }

    // The design layers a list of board layer names covers ("*.Cu", "F&B.Cu" included).
    std::vector<int32_t> copperOf(const std::vector<std::string>& names) const {
        std::set<int32_t> out;
        for (const std::string& n : names) {
            if (n == "*.Cu") {
                for (const auto& [k, v] : copper_) out.insert(v);
            } else if (n == "F&B.Cu") {
                out.insert(2), out.insert(29);
            } else if (const int32_t l = copper(n); l >= 0) {
                out.insert(l);
            }
        }
        return {out.begin(), out.end()};
    }

    const std::vector<std::string>& names() const { return names_; }

private:
    void add(const std::string& name, const std::string& user) {
        int32_t layer = -1;
        if (name == "F.Cu") layer = 2;
        else if (name == "B.Cu") layer = 29;
        else if (name.starts_with("In")) {
            const int k = std::atoi(name.c_str() + 2);
            if (k >= 1 && k <= 26) layer = 2 + k;
        }
        if (layer < 0) return;
        copper_[name] = layer;
        names_[static_cast<size_t>(layer)] = user.empty() ? name : user;
    }

    std::map<std::string, int32_t> copper_;
    std::vector<std::string> names_;
};

std::vector<std::string> layerNames(const Sexpr& item) {
    std::vector<std::string> out;
    for (const char* key : {"layer", "layers"})
        if (const Sexpr* l = item.find(key))
            for (size_t i = 1; i < l->items.size(); ++i)
                if (!l->items[i].isList) out.push_back(l->items[i].atom);
    return out;
}

std::string layerOf(const Sexpr& item) {
    const Sexpr* l = item.find("layer");
    return l && l->items.size() > 1 ? l->text(1) : "";
}

// (key x y) as board millimetres.
std::pair<double, double> xy(const Sexpr& item, const char* key) {
    const Sexpr* p = item.find(key);
    if (!p) throw FormatError(item.line, std::string("expected (") + key + " x y) in (" + item.head() + " ...)");
    return {p->number(1), p->number(2)};
}

// ---- placement of footprint-local coordinates -------------------------------------------------

struct Placement {
    Vec origin;           // design units
    double angle = 0;     // degrees counter-clockwise
    // Footprint-local millimetres to design units.
    Vec toDesign(double x, double y) const { return origin + rotate(fromBoard(x, y), angle); }
};

// ---- graphics (outline and footprint frames) ------------------------------------------------

// One piece of a drawn shape: a line, an arc through mid, or a closed ring.
struct Piece {
    Vec a, b, mid;
    bool arc = false;
    std::vector<Vec> ring;  // closed shapes: circle, rectangle, polygon
};

template <typename Map>
void readPolyPoints(const Sexpr& pts, const Map& map, std::vector<Vec>& ring) {
    for (size_t i = 1; i < pts.items.size(); ++i) {
        const Sexpr& p = pts.items[i];
        if (!p.isList) continue;
        if (p.head() == "xy") {
            ring.push_back(map(p.number(1), p.number(2)));
        } else if (p.head() == "arc") {
            const auto [sx, sy] = xy(p, "start");
            const auto [mx, my] = xy(p, "mid");
            const auto [ex, ey] = xy(p, "end");
            ring.push_back(map(sx, sy));
            for (const Vec& v : arcPoints(map(sx, sy), map(mx, my), map(ex, ey), 10)) ring.push_back(v);
        }
    }
}

// A graphic item (gr_* or fp_*) as a piece; map turns its millimetres into design units.
template <typename Map>
bool readPiece(const Sexpr& g, const Map& map, Piece& piece) {
    const std::string kind = g.head().substr(3);  // line, arc, circle, rect, poly
    if (kind == "line") {
        const auto [sx, sy] = xy(g, "start");
        const auto [ex, ey] = xy(g, "end");
        piece.a = map(sx, sy), piece.b = map(ex, ey);
        return true;
    }
    if (kind == "arc") {
        if (g.find("mid")) {
            const auto [sx, sy] = xy(g, "start");
            const auto [mx, my] = xy(g, "mid");
            const auto [ex, ey] = xy(g, "end");
            piece.a = map(sx, sy), piece.mid = map(mx, my), piece.b = map(ex, ey);
        } else {
            // Older files: centre in "start", arc start in "end", sweep in "angle" (degrees,
            // clockwise on the board's Y-down axes).
            const auto [cx, cy] = xy(g, "start");
            const auto [px, py] = xy(g, "end");
            const Sexpr* angle = g.find("angle");
            const double sweep = angle ? angle->number(1) : 0;
            const auto turn = [&](double deg) {
                const double a = deg * M_PI / 180;
                return map(cx + (px - cx) * std::cos(a) - (py - cy) * std::sin(a),
                           cy + (px - cx) * std::sin(a) + (py - cy) * std::cos(a));
            };
            piece.a = map(px, py), piece.mid = turn(sweep / 2), piece.b = turn(sweep);
            if (std::fabs(sweep) >= 359.999) {
                for (int k = 0; k < 36; ++k) piece.ring.push_back(turn(k * 10.0));
                return true;
            }
        }
        piece.arc = true;
        return true;
    }
    if (kind == "circle") {
        const auto [cx, cy] = xy(g, "center");
        const auto [ex, ey] = xy(g, "end");
        const double r = std::hypot(ex - cx, ey - cy);
        for (int k = 0; k < 36; ++k)
            piece.ring.push_back(map(cx + r * std::cos(k * M_PI / 18), cy + r * std::sin(k * M_PI / 18)));
        return true;
    }
    if (kind == "rect") {
        const auto [sx, sy] = xy(g, "start");
        const auto [ex, ey] = xy(g, "end");
        piece.ring = {map(sx, sy), map(ex, sy), map(ex, ey), map(sx, ey)};
        return true;
    }
    if (kind == "poly") {
        if (const Sexpr* pts = g.find("pts")) readPolyPoints(*pts, map, piece.ring);
        return piece.ring.size() >= 2;
    }
    return false;
}

// ---- outline --------------------------------------------------------------------------------

struct Loop {
    std::vector<Piece> pieces;  // oriented, chained; a ring stands alone
    bool closed = false;
};

std::vector<Loop> chainLoops(std::vector<Piece> pieces) {
    std::vector<Loop> loops;
    std::vector<Piece> open;
    for (Piece& p : pieces) {
        if (!p.ring.empty()) loops.push_back(Loop{{std::move(p)}, true});
        else open.push_back(std::move(p));
    }
    std::vector<bool> used(open.size(), false);
    for (size_t s = 0; s < open.size(); ++s) {
        if (used[s]) continue;
        used[s] = true;
        Loop loop{{open[s]}, false};
        for (;;) {
            const Vec end = loop.pieces.back().b, start = loop.pieces.front().a;
            if (loop.pieces.size() > 1 && length(end - start) <= kOutlineSnapUnits) {
                loop.closed = true;
                break;
            }
            size_t best = open.size();
            bool reverse = false;
            double bestDistance = kOutlineSnapUnits;
            for (size_t i = 0; i < open.size(); ++i) {
                if (used[i]) continue;
                const double da = length(open[i].a - end), db = length(open[i].b - end);
                if (da <= bestDistance) best = i, reverse = false, bestDistance = da;
                if (db < bestDistance) best = i, reverse = true, bestDistance = db;
            }
            if (best == open.size()) break;
            used[best] = true;
            Piece next = open[best];
            if (reverse) std::swap(next.a, next.b);
            loop.pieces.push_back(next);
        }
        if (loop.pieces.size() == 1 && !loop.pieces[0].arc) loop.closed = false;
        loops.push_back(std::move(loop));
    }
    return loops;
}

// The loop's corner points (the closing point not repeated), arcs at most stepDegrees apart.
std::vector<Vec> loopPoints(const Loop& loop, double stepDegrees) {
    if (!loop.pieces.front().ring.empty()) return loop.pieces.front().ring;
    std::vector<Vec> pts;
    for (const Piece& p : loop.pieces) {
        pts.push_back(p.a);
        if (p.arc) {
            auto arc = arcPoints(p.a, p.mid, p.b, stepDegrees);
            arc.pop_back();  // the end is the next piece's start
            pts.insert(pts.end(), arc.begin(), arc.end());
        }
    }
    if (!loop.closed) pts.push_back(loop.pieces.back().b);
    return pts;
}

double boxArea(const std::vector<Vec>& pts) {
    double l = 1e300, b = 1e300, r = -1e300, t = -1e300;
    for (const Vec& p : pts) l = std::min(l, p.x), b = std::min(b, p.y), r = std::max(r, p.x), t = std::max(t, p.y);
    return pts.empty() ? 0 : (r - l) * (t - b);
}

design::Trace buildOutline(const std::vector<Piece>& edges, int line, ImportReport& report) {
    if (edges.empty()) throw FormatError(line, "missing board outline: expected graphics on the Edge.Cuts layer");
    std::vector<Loop> loops = chainLoops(edges);
    size_t outer = 0;
    for (size_t i = 1; i < loops.size(); ++i)
        if (boxArea(loopPoints(loops[i], 30)) > boxArea(loopPoints(loops[outer], 30))) outer = i;
    const Loop& loop = loops[outer];
    report.cutouts = static_cast<int>(loops.size()) - 1;
    if (report.cutouts > 0)
        report.warnings.push_back(std::to_string(report.cutouts) +
                                  " inner Edge.Cuts shape(s) (cut-outs) are left out of the outline");
    if (!loop.closed) report.warnings.push_back("the board outline is not closed; its ends are joined");

    // Finer arcs first; then coarser arcs; then simplification within growing tolerances.
    std::vector<Vec> pts;
    for (const double step : {10.0, 22.5, 45.0, 90.0}) {
        pts = loopPoints(loop, step);
        if (pts.size() + 1 <= kMaxOutlineRecords) break;
    }
    for (const double toleranceMm : {0.005, 0.01, 0.02, 0.05, 0.1, 0.2}) {
        if (pts.size() + 1 <= kMaxOutlineRecords) break;
        pts = simplifyRing(loopPoints(loop, 10), toleranceMm * design::kUnitsPerMm);
    }
    if (pts.size() + 1 > kMaxOutlineRecords)
        report.warnings.push_back("the board outline needs " + std::to_string(pts.size() + 1) +
                                  " points; the thermal analysis accepts at most 99");
    design::Trace outline{design::kOutlineTrace, 0, 0, 0, {}};
    for (size_t i = 0; i <= pts.size(); ++i) {
        const Point p = rounded(pts[i % pts.size()]);
        outline.points.push_back({design::kPointBend, 0, 0, 0, p.x, p.y, 0, 0, 0});
    }
    report.outlineRecords = static_cast<int>(outline.points.size());
    return outline;
}

// ---- tracks ---------------------------------------------------------------------------------

struct TrackPiece {
    Point a, b;
    Vec mid;
    bool arc = false;
    int32_t width = 0;
};

struct PointLess {
    bool operator()(const Point& p, const Point& q) const { return p.x != q.x ? p.x < q.x : p.y < q.y; }
};

// Chains the pieces of one net on one layer into traces, broken where more or fewer than two
// pieces meet.
// A pad a track can end on: tracks usually end inside the pad, not on its centre.
struct PadSpot {
    int32_t node;
    Point at;
    double reachUnits;  // half the pad's larger side
};

void chainTracks(const std::vector<TrackPiece>& pieces, int32_t net, int32_t layer, const std::vector<PadSpot>& pads,
                 const std::set<Point, PointLess>& viasHere, design::Design& d) {
    std::map<Point, std::vector<size_t>, PointLess> at;
    for (size_t i = 0; i < pieces.size(); ++i) {
        at[pieces[i].a].push_back(i);
        at[pieces[i].b].push_back(i);
    }
    std::vector<bool> used(pieces.size(), false);
    // A point on a pad is a node record (the nearest pad wins), else a via or a bend.
    const auto kindAt = [&](Point p, int32_t& node) {
        node = 0;
        double best = 0;
        for (const PadSpot& pad : pads) {
            const double distance = std::hypot(static_cast<double>(p.x - pad.at.x), static_cast<double>(p.y - pad.at.y));
            if (distance <= pad.reachUnits && (node == 0 || distance < best)) node = pad.node, best = distance;
        }
        if (node) return design::kPointNode;
        return viasHere.count(p) ? design::kPointVia : design::kPointBend;
    };
    const auto walk = [&](Point start, size_t first) {
        design::Trace t;
        t.number = static_cast<int32_t>(d.traces.size()) + 1;
        t.net = net;
        int32_t node = 0;
        const int32_t flags = kindAt(start, node);
        t.points.push_back({flags, node, layer, pieces[first].width, start.x, start.y, 0, 0, 0});
        Point here = start;
        size_t piece = first;
        for (;;) {
            used[piece] = true;
            const TrackPiece& p = pieces[piece];
            const bool forward = p.a == here;
            const Point there = forward ? p.b : p.a;
            t.points.back().width = p.width;
            if (p.arc) {
                const Vec from{static_cast<double>(here.x), static_cast<double>(here.y)};
                const Vec to{static_cast<double>(there.x), static_cast<double>(there.y)};
                const Arc arc = arcThrough(from, p.mid, to);
                design::TracePoint c{design::kPointArcCentre | (arc.valid && arc.clockwise ? design::kArcClockwise : 0),
                                     0, layer, p.width, 0, 0, 0, 0, 0};
                if (arc.valid) {
                    c.centreDx = units(arc.centre.x - from.x);
                    c.centreDy = units(arc.centre.y - from.y);
                    c.radius = units(arc.radius);
                }
                t.points.push_back(c);
            }
            const int32_t kind = kindAt(there, node);
            t.points.push_back({kind, node, layer, p.width, there.x, there.y, 0, 0, 0});
            here = there;
            const auto& next = at[here];
            if (next.size() != 2) break;
            const size_t other = next[0] == piece ? next[1] : next[0];
            if (used[other] || other == piece) break;
            piece = other;
        }
        d.traces.push_back(std::move(t));
    };
    // Chains from every end or junction first, then the closed rings that remain.
    for (const auto& [p, list] : at) {
        if (list.size() == 2) continue;
        for (const size_t i : list)
            if (!used[i]) walk(p, i);
    }
    for (size_t i = 0; i < pieces.size(); ++i)
        if (!used[i]) walk(pieces[i].a, i);
}

// ---- footprints -----------------------------------------------------------------------------

struct SymbolKey {
    std::string text;
    bool operator<(const SymbolKey& o) const { return text < o.text; }
};

std::string fieldText(const Sexpr& fp, const char* textKind, const char* property) {
    for (const Sexpr* t : fp.all("fp_text"))
        if (t->items.size() > 2 && t->text(1) == textKind) return t->text(2);
    for (const Sexpr* p : fp.all("property"))
        if (p->items.size() > 2 && p->text(1) == property) return p->text(2);
    return "";
}

}  // namespace

design::Design readBoard(std::string_view text, const std::string& fallbackName, ImportReport& report) {
    report = ImportReport{};
    const Sexpr board = parseSexpr(text);
    if (board.head() != "kicad_pcb")
        throw FormatError(board.line, "expected (kicad_pcb ...), found (" + board.head() + " ...)");
    const Sexpr* version = board.find("version");
    if (!version) throw FormatError(board.line, "expected (version ...) in (kicad_pcb ...)");
    const auto fileVersion = static_cast<long>(version->number(1));
    if (fileVersion < kFirstVersion || fileVersion > kLastVersion)
        throw FormatError(version->line, "unsupported board file version " + std::to_string(fileVersion) +
                                             " (expected KiCad 5 to 8, versions " + std::to_string(kFirstVersion) +
                                             " to " + std::to_string(kLastVersion) + ")");

    design::Design d;
    d.name = fallbackName;
    if (const Sexpr* tb = board.find("title_block"))
        if (const Sexpr* title = tb->find("title"); title && title->items.size() > 1 && !title->text(1).empty())
            d.name = title->text(1);
    const Layers layers(board.find("layers"));
    for (int32_t i = 0; i < design::kLayerCount; ++i) d.layers.push_back({i, layers.names()[static_cast<size_t>(i)]});
    d.hierarchies.push_back({1, "Main"});
    d.currentHierarchy = 1;

    for (const Sexpr* n : board.all("net")) {
        const int32_t number = static_cast<int32_t>(n->number(1));
        if (number > 0) d.nets.push_back({number, n->items.size() > 2 ? n->text(2) : "", 0});
    }
    std::set<int32_t> knownNets;
    for (const auto& n : d.nets) knownNets.insert(n.number);
    const auto netOf = [&](const Sexpr& item) -> int32_t {
        const Sexpr* n = item.find("net");
        if (!n) return 0;
        const auto number = static_cast<int32_t>(n->number(1));
        if (number != 0 && !knownNets.count(number)) {
            // Later formats may name nets without a declaration list.
            const std::string name = n->items.size() > 2 ? n->text(2) : "Net" + std::to_string(number);
            d.nets.push_back({number, name, 0});
            knownNets.insert(number);
        }
        return number;
    };

    const auto boardMap = [](double x, double y) { return fromBoard(x, y); };
    std::vector<Piece> edges;
    for (const Sexpr& g : board.items) {
        if (!g.isList || !g.head().starts_with("gr_") || layerOf(g) != "Edge.Cuts") continue;
        Piece p;
        if (readPiece(g, boardMap, p)) edges.push_back(std::move(p));
    }

    // Footprints.
    std::map<SymbolKey, int32_t> symbols;
    std::map<std::pair<std::string, std::string>, int32_t> devices;
    struct PadPlace {
        int32_t node;
        int32_t net;
        Point at;
        double reachUnits;
        std::vector<int32_t> layers;
    };
    std::vector<PadPlace> padPlaces;
    for (const Sexpr& fp : board.items) {
        if (!fp.isList || (fp.head() != "footprint" && fp.head() != "module")) continue;
        const std::string libId = fp.text(1);
        const std::string packageName = libId.substr(libId.find(':') == std::string::npos ? 0 : libId.find(':') + 1);
        const bool bottom = layerOf(fp) == "B.Cu";
        const Sexpr* atItem = fp.find("at");
        if (!atItem) throw FormatError(fp.line, "expected (at x y) in the footprint " + libId);
        Placement place{fromBoard(atItem->number(1), atItem->number(2)), atItem->numberIf(3).value_or(0)};
        // Symbol coordinates: board-local millimetres with Y up; on the back side also mirrored,
        // since components there are mirrored again when placed.
        const auto symbolMap = [bottom](double x, double y) {
            const Vec v = fromBoard(x, y);
            return bottom ? Vec{-v.x, v.y} : v;
        };
        const auto absoluteMap = [&place](double x, double y) { return place.toDesign(x, y); };

        design::Symbol sym;
        sym.name = packageName;
        std::vector<Piece> courtyard, fab;
        for (const Sexpr& g : fp.items) {
            if (!g.isList || !g.head().starts_with("fp_")) continue;
            const std::string layer = layerOf(g);
            if (layer == "Edge.Cuts") {
                Piece p;
                if (readPiece(g, absoluteMap, p)) edges.push_back(std::move(p));
                continue;
            }
            std::vector<Piece>* target = layer.ends_with("CrtYd") ? &courtyard : layer.ends_with("Fab") ? &fab : nullptr;
            if (!target || g.head() == "fp_text") continue;
            Piece p;
            if (readPiece(g, symbolMap, p)) target->push_back(std::move(p));
        }
        const std::vector<Piece>& frame = courtyard.empty() ? fab : courtyard;
        const auto addLine = [&sym](Vec a, Vec b) {
            design::Item line;
            line.kind = design::kItemLine;
            line.layer = 1;
            const Point pa = rounded(a), pb = rounded(b);
            line.x = pa.x, line.y = pa.y, line.dx = pb.x - pa.x, line.dy = pb.y - pa.y;
            sym.items.push_back(line);
        };
        for (const Piece& p : frame) {
            if (!p.ring.empty()) {
                for (size_t i = 0; i < p.ring.size(); ++i) addLine(p.ring[i], p.ring[(i + 1) % p.ring.size()]);
            } else if (p.arc) {
                Vec prev = p.a;
                for (const Vec& q : arcPoints(p.a, p.mid, p.b, 30)) addLine(prev, q), prev = q;
            } else {
                addLine(p.a, p.b);
            }
        }

        struct PadNet {
            int32_t pin, net;
            std::vector<int32_t> layers;
        };
        std::vector<PadNet> padNets;
        int32_t pin = 0;
        for (const Sexpr* pad : fp.all("pad")) {
            ++pin;
            const std::string type = pad->items.size() > 2 ? pad->text(2) : "";
            const Sexpr* pa = pad->find("at");
            if (!pa) throw FormatError(pad->line, "expected (at x y) in the pad");
            const Vec local = symbolMap(pa->number(1), pa->number(2));
            const Sexpr* size = pad->find("size");
            const double sizeMm = size ? std::max(size->number(1), size->numberIf(2).value_or(0)) : 0;
            const Sexpr* drill = pad->find("drill");
            double drillMm = 0;
            if (drill)
                for (size_t i = 1; i < drill->items.size(); ++i)
                    if (const auto dv = drill->numberIf(i)) {
                        drillMm = *dv;
                        break;
                    }
            design::PadStack stack{0, type == "thru_hole" || type == "np_thru_hole",
                                   units(sizeMm * design::kUnitsPerMm), units(drillMm * design::kUnitsPerMm)};
            int32_t stackNumber = 0;
            for (const auto& k : sym.padStacks)
                if (k.throughHole == stack.throughHole && k.sizeUnits == stack.sizeUnits &&
                    k.drillUnits == stack.drillUnits)
                    stackNumber = k.number;
            if (!stackNumber) {
                stack.number = stackNumber = static_cast<int32_t>(sym.padStacks.size()) + 1;
                sym.padStacks.push_back(stack);
            }
            const Point p = rounded(local);
            sym.pads.push_back({pin, pad->items.size() > 1 ? pad->text(1) : "", p.x, p.y, stackNumber});
            padNets.push_back({pin, netOf(*pad), layers.copperOf(layerNames(*pad))});
        }

        // Footprints of one kind and side with the same pads and frame share a symbol.
        std::string key = libId + (bottom ? "|B" : "|F");
        for (const auto& p : sym.pads)
            key += "|" + p.name + "," + std::to_string(p.x) + "," + std::to_string(p.y) + "," + std::to_string(p.padStack);
        for (const auto& k : sym.padStacks)
            key += "|s" + std::to_string(k.sizeUnits) + "," + std::to_string(k.drillUnits) + (k.throughHole ? "t" : "");
        for (const auto& it : sym.items)
            key += "|i" + std::to_string(it.x) + "," + std::to_string(it.y) + "," + std::to_string(it.dx) + "," +
                   std::to_string(it.dy);
        auto [symIt, freshSymbol] = symbols.try_emplace(SymbolKey{key}, 0);
        if (freshSymbol) {
            sym.number = static_cast<int32_t>(symbols.size());
            symIt->second = sym.number;
            d.symbols.push_back(sym);
        }

        const std::string value = fieldText(fp, "value", "Value");
        int32_t device = 0;
        if (!value.empty()) {
            auto [devIt, freshDevice] = devices.try_emplace({value, packageName}, 0);
            if (freshDevice) {
                devIt->second = static_cast<int32_t>(d.devices.size()) + 1;
                d.devices.push_back({devIt->second, value, packageName});
            }
            device = devIt->second;
        }

        design::Component c;
        c.number = static_cast<int32_t>(d.components.size()) + 1;
        c.name = fieldText(fp, "reference", "Reference");
        const Point origin = rounded(place.origin);
        c.x = origin.x, c.y = origin.y;
        c.angle = units(place.angle * 1000);
        const Sexpr* locked = fp.find("locked");
        c.flags = (bottom ? design::kComponentMirrored : 0) |
                  (fp.hasAtom("locked") || (locked && locked->items.size() > 1 && locked->text(1) == "yes")
                       ? design::kComponentLocked
                       : 0);
        c.symbol = symIt->second, c.device = device, c.hierarchy = 1;
        d.components.push_back(c);

        for (const PadNet& pn : padNets) {
            if (pn.net == 0) continue;
            const design::Pad& pad = sym.pads[static_cast<size_t>(pn.pin - 1)];
            const Point at = design::place(c, {pad.x, pad.y});
            const int32_t node = static_cast<int32_t>(d.nodes.size()) + 1;
            d.nodes.push_back({node, pn.net, c.number, pn.pin, at.x, at.y, 0, 0});
            const auto& stack = sym.padStacks[static_cast<size_t>(pad.padStack - 1)];
            padPlaces.push_back({node, pn.net, at, stack.sizeUnits / 2.0, pn.layers});
        }
    }
    report.components = static_cast<int>(d.components.size());
    report.padsOnNets = static_cast<int>(d.nodes.size());

    // Vias.
    std::map<int32_t, std::set<Point, PointLess>> viaPoints;  // by net
    for (const Sexpr* via : board.all("via")) {
        const auto [x, y] = xy(*via, "at");
        const Point at = rounded(fromBoard(x, y));
        const Sexpr* size = via->find("size");
        const Sexpr* drill = via->find("drill");
        const int32_t net = netOf(*via);
        d.vias.push_back({static_cast<int32_t>(d.vias.size()) + 1, net, at.x, at.y,
                          size ? units(size->number(1) * design::kUnitsPerMm) : 0,
                          drill ? units(drill->number(1) * design::kUnitsPerMm) : 0});
        viaPoints[net].insert(at);
    }
    report.vias = static_cast<int>(d.vias.size());

    // Tracks, grouped by net and layer.
    std::map<std::pair<int32_t, int32_t>, std::vector<TrackPiece>> groups;
    for (const Sexpr& t : board.items) {
        if (!t.isList || (t.head() != "segment" && t.head() != "arc")) continue;
        const int32_t layer = layers.copper(layerOf(t));
        if (layer < 0) {
            report.warnings.push_back("line " + std::to_string(t.line) + ": track on a layer that is not copper, left out");
            continue;
        }
        TrackPiece piece;
        const auto [sx, sy] = xy(t, "start");
        const auto [ex, ey] = xy(t, "end");
        piece.a = rounded(fromBoard(sx, sy));
        piece.b = rounded(fromBoard(ex, ey));
        if (t.head() == "arc") {
            const auto [mx, my] = xy(t, "mid");
            piece.arc = true;
            piece.mid = fromBoard(mx, my);
        }
        const Sexpr* width = t.find("width");
        piece.width = width ? units(width->number(1) * design::kUnitsPerMm) : 0;
        groups[{netOf(t), layer}].push_back(piece);
        ++report.trackPieces;
    }
    for (const auto& [key, pieces] : groups) {
        const auto [net, layer] = key;
        std::vector<PadSpot> pads;
        for (const PadPlace& p : padPlaces)
            if (p.net == net && std::find(p.layers.begin(), p.layers.end(), layer) != p.layers.end())
                pads.push_back({p.node, p.at, p.reachUnits});
        chainTracks(pieces, net, layer, pads, viaPoints[net], d);
    }

    // Zones become copper areas: one outline chain per polygon and copper layer, the net on the
    // chain's first item.
    design::Symbol areas;
    areas.number = design::copperAreaSymbol(1);
    areas.name = "@COPPAR";
    int32_t zoneOrdinal = 0;
    for (const Sexpr* zone : board.all("zone")) {
        ++zoneOrdinal;
        const std::vector<int32_t> zoneLayers = layers.copperOf(layerNames(*zone));
        if (zone->find("keepout") || zoneLayers.empty()) {
            ++report.skippedZones;
            continue;
        }
        const int32_t net = netOf(*zone);
        for (const Sexpr* polygon : zone->all("polygon")) {
            std::vector<Vec> ring;
            if (const Sexpr* pts = polygon->find("pts")) readPolyPoints(*pts, boardMap, ring);
            if (ring.size() < 3) continue;
            for (const int32_t layer : zoneLayers)
                for (size_t i = 0; i < ring.size(); ++i) {
                    const Point a = rounded(ring[i]), b = rounded(ring[(i + 1) % ring.size()]);
                    design::Item line;
                    line.kind = design::kItemLine;
                    line.flags = design::kItemOutline | (i == 0 ? design::kItemChainFirst : 0) |
                                 (i + 1 == ring.size() ? design::kItemChainLast : 0);
                    line.mask = i == 0 ? 16 : 0;
                    line.link = net;
                    line.layer = layer;
                    line.attributes = zoneOrdinal;
                    line.x = a.x, line.y = a.y, line.dx = b.x - a.x, line.dy = b.y - a.y;
                    areas.items.push_back(line);
                }
        }
        ++report.zones;
    }
    if (!areas.items.empty()) d.symbols.insert(d.symbols.begin(), std::move(areas));
    // The outline last, so that any error in the copper is reported before a missing outline.
    d.traces.insert(d.traces.begin(), buildOutline(edges, board.line, report));
    std::sort(d.nets.begin(), d.nets.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
    return d;
}

}  // namespace qor::kicad
