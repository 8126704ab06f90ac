// The C boundary: argument checks, unit conversion, and no exception ever leaves a call.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <new>

#include "library.h"
#include "qor/simlib/simlib.h"
#include "spice_export.h"
#include "units.h"

namespace qor::simlib {

Library& Library::instance() {
    static Library library;
    return library;
}

int Library::create() {
    if (nextHandle_ == std::numeric_limits<int>::max()) return 0;
    const int handle = nextHandle_++;
    circuits_.emplace(handle, std::make_unique<CircuitRecord>());
    return handle;
}

CircuitRecord* Library::find(int handle) {
    const auto it = circuits_.find(handle);
    return it == circuits_.end() ? nullptr : it->second.get();
}

bool Library::remove(int handle) {
    if (field.circuit == handle) field.circuit = 0;
    return circuits_.erase(handle) > 0;
}

bool Library::build(int handle) {
    CircuitRecord* record = find(handle);
    if (record == nullptr || !board.valid()) return false;
    // Built aside and swapped in only when complete, so a failure leaves nothing half-built.
    const double stepS = record->engine ? record->engine->stepS() : 0;
    auto network = std::make_unique<Network>(buildNetwork(record->circuit, board, stepS));
    if (network->nodeCount == 0) return false;
    auto engine = std::make_unique<TransientEngine>(*network);
    if (!engine->prepare()) return false;
    if (stepS > 0 && !engine->setTimeStep(stepS)) return false;
    record->engine = std::move(engine);
    record->network = std::move(network);
    record->board = board;
    record->builtRevision = record->circuit.revision();
    return true;
}

bool Library::setTimeStep(int handle, double stepS) {
    CircuitRecord* record = find(handle);
    if (record == nullptr || !record->built() || !(stepS > 0) || !std::isfinite(stepS)) {
        return false;
    }
    // The section count may depend on the step (a jump lasts one step): rebuild when it does.
    auto network = std::make_unique<Network>(buildNetwork(record->circuit, record->board, stepS));
    if (network->sectionsPerSegment != record->network->sectionsPerSegment) {
        auto engine = std::make_unique<TransientEngine>(*network);
        if (!engine->prepare() || !engine->setTimeStep(stepS)) return false;
        record->engine = std::move(engine);
        record->network = std::move(network);
        return true;
    }
    return record->engine->setTimeStep(stepS);
}

Point2 Library::probeM() const {
    const FieldModel& m = field.model;
    if (!m.sized()) return {};
    if (!field.probeSet) {
        const Point2 c = m.cornerM();
        return {c.xM + m.cellsPerSide() * m.cellM() / 2, c.yM + m.cellsPerSide() * m.cellM() / 2};
    }
    return {m.cornerM().xM + (field.probeXPixel + 0.5) * m.cellM(),
            m.cornerM().yM + (m.cellsPerSide() - field.probeYPixel - 0.5) * m.cellM()};
}

}  // namespace qor::simlib

namespace {

using qor::simlib::Circuit;
using qor::simlib::CircuitRecord;
using qor::simlib::FieldKind;
using qor::simlib::Library;
using qor::simlib::Point2;
using qor::simlib::SourceDef;
using qor::simlib::SourceKind;

template <typename Result, typename Body>
Result guarded(Result failure, Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

Circuit* circuitFor(int32_t handle) {
    CircuitRecord* r = Library::instance().find(handle);
    return r == nullptr ? nullptr : &r->circuit;
}

Point2 at(double x, double y) {
    return {qor::simlib::kernelToMetres(x), qor::simlib::kernelToMetres(y)};
}

bool allFinite(std::initializer_list<double> values) {
    for (const double v : values) {
        if (!std::isfinite(v)) return false;
    }
    return true;
}

// Series and shunt values: finite and not negative.
bool passive(double r, double l, double c) {
    return allFinite({r, l, c}) && r >= 0 && l >= 0 && c >= 0;
}

int32_t addSource(int32_t circuit, const SourceDef& def) {
    return guarded<int32_t>(0, [&] {
        Circuit* c = circuitFor(circuit);
        if (c == nullptr || !passive(def.rOutOhm, def.lOutH, def.cOutF)) return 0;
        return c->addSource(def);
    });
}

bool validField(int32_t field) {
    return field >= 0 && field <= 3;
}

}  // namespace

extern "C" {

int32_t SIM_Set_Board_Parametrs(double relPermittivity, double resistivityOhmM,
                                double copperThicknessM, double boardThicknessM) {
    return guarded<int32_t>(0, [&] {
        const qor::simlib::BoardParameters b{relPermittivity, resistivityOhmM, copperThicknessM,
                                             boardThicknessM};
        if (!b.valid()) return 0;
        Library::instance().board = b;
        return 1;
    });
}

int32_t SIM_Set_Board_Size(double x1, double y1, double x2, double y2) {
    return guarded<int32_t>(0, [&] {
        if (!allFinite({x1, y1, x2, y2})) return 0;
        const Point2 a = at(std::min(x1, x2), std::min(y1, y2));
        const Point2 b = at(std::max(x1, x2), std::max(y1, y2));
        Library::instance().boardSize = qor::simlib::BoardSize{a, b};
        return 1;
    });
}

int32_t SIM_Create_Super_Node(void) {
    return guarded<int32_t>(0, [] { return Library::instance().create(); });
}

int32_t SIM_Add_Line_Seg(int32_t circuit, double x1, double y1, double x2, double y2, double width,
                         double z) {
    return guarded<int32_t>(0, [&] {
        Circuit* c = circuitFor(circuit);
        if (c == nullptr || !allFinite({width, z})) return 0;
        return c->addLine(at(x1, y1), at(x2, y2), qor::simlib::kernelToMetres(width),
                          qor::simlib::thousandthsInchToMetres(z))
                   ? 1
                   : 0;
    });
}

int32_t SIM_Add_Arc_Seg(int32_t circuit, double x1, double y1, double x2, double y2,
                        int32_t startAngleDeg, int32_t sweepDeg, double width, double z) {
    return guarded<int32_t>(0, [&] {
        Circuit* c = circuitFor(circuit);
        if (c == nullptr || !allFinite({width, z})) return 0;
        return c->addArc(at(x1, y1), at(x2, y2), startAngleDeg, sweepDeg,
                         qor::simlib::kernelToMetres(width),
                         qor::simlib::thousandthsInchToMetres(z))
                   ? 1
                   : 0;
    });
}

int32_t SIM_Add_Voltage_Pulse(int32_t circuit, double x, double y, double vMin, double vMax,
                              double tRise, double tHigh, double tFall, double tLow, double rOut,
                              double lOut, double cOut) {
    if (!allFinite({x, y, vMin, vMax, tRise, tHigh, tFall, tLow}) || tRise < 0 || tHigh < 0 ||
        tFall < 0 || tLow < 0) {
        return 0;
    }
    SourceDef s;
    s.kind = SourceKind::Pulse;
    s.atM = at(x, y);
    s.vMinV = vMin;
    s.vMaxV = vMax;
    s.riseS = tRise;
    s.highS = tHigh;
    s.fallS = tFall;
    s.lowS = tLow;
    s.rOutOhm = rOut;
    s.lOutH = lOut;
    s.cOutF = cOut;
    return addSource(circuit, s);
}

int32_t SIM_Add_Voltage_Sine(int32_t circuit, double x, double y, double vMin, double vMax,
                             double freq, double tPhase, double rOut, double lOut, double cOut) {
    if (!allFinite({x, y, vMin, vMax, freq, tPhase}) || freq < 0) return 0;
    SourceDef s;
    s.kind = SourceKind::Sine;
    s.atM = at(x, y);
    s.vMinV = vMin;
    s.vMaxV = vMax;
    s.freqHz = freq;
    s.phaseS = tPhase;
    s.rOutOhm = rOut;
    s.lOutH = lOut;
    s.cOutF = cOut;
    return addSource(circuit, s);
}

int32_t SIM_Add_Voltage_Constant(int32_t circuit, double x, double y, double vMax, double rOut,
                                 double lOut, double cOut) {
    if (!allFinite({x, y, vMax})) return 0;
    SourceDef s;
    s.kind = SourceKind::Constant;
    s.atM = at(x, y);
    s.vMaxV = vMax;
    s.rOutOhm = rOut;
    s.lOutH = lOut;
    s.cOutF = cOut;
    return addSource(circuit, s);
}

int32_t SIM_Add_Voltage_Source(int32_t circuit, double x, double y, double rOut, double lOut,
                               double cOut) {
    if (!allFinite({x, y})) return 0;
    SourceDef s;
    s.kind = SourceKind::Pwl;
    s.atM = at(x, y);
    s.rOutOhm = rOut;
    s.lOutH = lOut;
    s.cOutF = cOut;
    return addSource(circuit, s);
}

int32_t SIM_Add_Gnd(int32_t circuit, double x, double y) {
    if (!allFinite({x, y})) return 0;
    SourceDef s;
    s.kind = SourceKind::Ground;
    s.atM = at(x, y);
    return addSource(circuit, s);
}

int32_t SIM_Add_Input_Node(int32_t circuit, double x, double y, double rIn, double lIn,
                           double cIn) {
    return guarded<int32_t>(0, [&] {
        Circuit* c = circuitFor(circuit);
        if (c == nullptr || !allFinite({x, y}) || !passive(rIn, lIn, cIn)) return 0;
        return c->addInput({at(x, y), 0, rIn, lIn, cIn});
    });
}

int32_t SIM_Add_View(int32_t circuit, double x, double y) {
    return guarded<int32_t>(0, [&] {
        Circuit* c = circuitFor(circuit);
        if (c == nullptr || !allFinite({x, y})) return 0;
        return c->addViewAt(at(x, y));
    });
}

int32_t SIM_Add_View_Voltage(int32_t circuit, int32_t source) {
    return guarded<int32_t>(0, [&] {
        Circuit* c = circuitFor(circuit);
        return c == nullptr ? 0 : c->addViewOfSource(source);
    });
}

int32_t SIM_Add_Polygon(int32_t circuit, double z) {
    return guarded<int32_t>(0, [&] {
        Circuit* c = circuitFor(circuit);
        return c == nullptr ? 0 : c->addPolygon(qor::simlib::thousandthsInchToMetres(z));
    });
}

int32_t SIM_Add_Point_To_Polygon(int32_t circuit, int32_t polygon, double x, double y) {
    return guarded<int32_t>(0, [&] {
        Circuit* c = circuitFor(circuit);
        return c != nullptr && c->addPolygonPoint(polygon, at(x, y)) ? 1 : 0;
    });
}

int32_t SIM_Add_Point_Link_Polygon(int32_t circuit, int32_t polygon, double x, double y) {
    return guarded<int32_t>(0, [&] {
        Circuit* c = circuitFor(circuit);
        return c != nullptr && c->addPolygonLink(polygon, at(x, y)) ? 1 : 0;
    });
}

int32_t SIM_Build_Equivalent(int32_t circuit) {
    return guarded<int32_t>(0, [&] { return Library::instance().build(circuit) ? 1 : 0; });
}

int32_t SIM_Delete_Super_Node(int32_t circuit) {
    return guarded<int32_t>(0, [&] { return Library::instance().remove(circuit) ? 1 : 0; });
}

int32_t SIM_Calc_Set_Time_Step(int32_t circuit, double stepS) {
    return guarded<int32_t>(
        0, [&] { return Library::instance().setTimeStep(circuit, stepS) ? 1 : 0; });
}

int32_t SIM_Calc_Init(int32_t circuit) {
    return guarded<int32_t>(0, [&] {
        CircuitRecord* r = Library::instance().find(circuit);
        return r != nullptr && r->built() && r->engine->init() ? 1 : 0;
    });
}

int32_t SIM_Set_Voltage_Source(int32_t circuit, int32_t source, double voltage) {
    return guarded<int32_t>(0, [&] {
        CircuitRecord* r = Library::instance().find(circuit);
        return r != nullptr && r->built() && r->engine->setPwlVoltage(source - 1, voltage) ? 1 : 0;
    });
}

int32_t SIM_Calc_Sim_Step(int32_t circuit) {
    return guarded<int32_t>(0, [&] {
        CircuitRecord* r = Library::instance().find(circuit);
        return r != nullptr && r->built() && r->engine->step() ? 1 : 0;
    });
}

double SIM_Get_View(int32_t circuit, int32_t view, int32_t quantity) {
    return guarded<double>(0.0, [&] {
        CircuitRecord* r = Library::instance().find(circuit);
        if (r == nullptr || !r->built() || quantity != 1) return 0.0;
        const auto& views = r->network->viewNode;
        if (view < 1 || view > static_cast<int32_t>(views.size())) return 0.0;
        return r->engine->nodeVoltage(views[static_cast<std::size_t>(view - 1)]);
    });
}

int32_t SIM_Export_Netlist(int32_t circuit, const char* path) {
    return guarded<int32_t>(0, [&] {
        CircuitRecord* r = Library::instance().find(circuit);
        if (r == nullptr || !r->built() || path == nullptr || *path == '\0') return 0;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) return 0;
        const qor::simlib::TransientEngine* engine =
            r->engine->initialised() ? r->engine.get() : nullptr;
        qor::simlib::writeSpiceNetlist(out, *r->network, engine);
        out.flush();
        return out ? 1 : 0;
    });
}

int32_t Field_Size(int32_t circuit, double cellM) {
    return guarded<int32_t>(0, [&] {
        Library& lib = Library::instance();
        CircuitRecord* r = lib.find(circuit);
        if (r == nullptr || !r->built()) return 0;
        // Around the board size given, else around the copper of the circuit.
        qor::simlib::BoardSize extent{};
        if (lib.boardSize) {
            extent = *lib.boardSize;
        } else if (!r->network->filaments.empty()) {
            const auto& first = r->network->filaments.front().fromM;
            extent = {{first.xM, first.yM}, {first.xM, first.yM}};
            for (const auto& f : r->network->filaments) {
                for (const auto& p : {f.fromM, f.toM}) {
                    extent.lowM = {std::min(extent.lowM.xM, p.xM), std::min(extent.lowM.yM, p.yM)};
                    extent.highM = {std::max(extent.highM.xM, p.xM),
                                    std::max(extent.highM.yM, p.yM)};
                }
            }
        }
        const Point2 centre{(extent.lowM.xM + extent.highM.xM) / 2,
                            (extent.lowM.yM + extent.highM.yM) / 2};
        const double halfM =
            std::max(extent.highM.xM - extent.lowM.xM, extent.highM.yM - extent.lowM.yM) / 2;
        const double topM = r->board.boardThicknessM + qor::simlib::FieldModel::kObservationHeightM;
        if (!lib.field.model.size(cellM, centre, halfM, topM)) return 0;
        lib.field.circuit = circuit;
        return 1;
    });
}

int32_t Field_Calc(void) {
    return guarded<int32_t>(0, [] {
        Library& lib = Library::instance();
        CircuitRecord* r = lib.find(lib.field.circuit);
        if (r == nullptr || !r->built() || !lib.field.model.sized() || !r->engine->hasSolution()) {
            return 0;
        }
        lib.field.model.compute(*r->network, *r->engine, lib.field.withPolygons);
        return 1;
    });
}

double Field_Get_Value(int32_t field) {
    return guarded<double>(0.0, [&] {
        const Library& lib = Library::instance();
        if (!validField(field) || !lib.field.model.computed()) return 0.0;
        return lib.field.model.valueAt(lib.probeM()).get(static_cast<FieldKind>(field));
    });
}

double Field_Get_Max(int32_t field, int32_t /*graphType*/) {
    return guarded<double>(0.0, [&] {
        const Library& lib = Library::instance();
        if (!validField(field) || !lib.field.model.computed()) return 0.0;
        return lib.field.model.maximum(static_cast<FieldKind>(field));
    });
}

double Field_Get_Max_mid(int32_t field, int32_t /*graphType*/) {
    return guarded<double>(0.0, [&] {
        const Library& lib = Library::instance();
        if (!validField(field) || !lib.field.model.computed()) return 0.0;
        return lib.field.model.smoothedMaximum(static_cast<FieldKind>(field));
    });
}

int32_t Field_Delete(void) {
    return guarded<int32_t>(0, [] {
        Library::instance().field.model = {};
        Library::instance().field.circuit = 0;
        return 1;
    });
}

int32_t Set_Field_Zond(int32_t xPixel, int32_t yPixel) {
    return guarded<int32_t>(0, [&] {
        auto& f = Library::instance().field;
        f.probeXPixel = xPixel;
        f.probeYPixel = yPixel;
        f.probeSet = true;
        return 1;
    });
}

int32_t Set_Field_Type(int32_t field) {
    return guarded<int32_t>(0, [&] {
        if (!validField(field)) return 0;
        Library::instance().field.fieldType = field;
        return 1;
    });
}

int32_t Set_Poly(void) {
    Library::instance().field.withPolygons = true;
    return 1;
}

int32_t Reset_Poly(void) {
    Library::instance().field.withPolygons = false;
    return 1;
}

}  // extern "C"
