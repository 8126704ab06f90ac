#include "spice_export.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace qor::simlib {
namespace {

// Shortest text that reads back as the same double.
struct Num {
    double value;
};
std::ostream& operator<<(std::ostream& out, Num n) {
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, n.value);
    return out.write(buffer, result.ptr - buffer);
}

// Times with 12 significant digits: circuit simulators keep their own time grid and refuse
// breakpoints that land a rounding error behind it.
struct Time {
    double valueS;
};
std::ostream& operator<<(std::ostream& out, Time t) {
    char buffer[40];
    const int n = std::snprintf(buffer, sizeof buffer, "%.12g", t.valueS);
    return out.write(buffer, std::clamp(n, 0, int(sizeof buffer) - 1));
}

// Node n, 0 being the return plane; other names carry a letter and a number.
struct Node {
    char prefix;
    std::size_t number;
};
std::ostream& operator<<(std::ostream& out, Node n) {
    if (n.prefix == 'n' && n.number == 0) return out << '0';
    return out << n.prefix << n.number;
}
Node node(int n) {
    return {'n', static_cast<std::size_t>(n)};
}

void writeSourceValue(std::ostream& out, const SourceDef& s, const TransientEngine* engine,
                      int index) {
    switch (s.kind) {
        case SourceKind::Ground:
            out << "DC 0";
            return;
        case SourceKind::Constant:
            out << "DC " << Num{s.vMaxV};
            return;
        case SourceKind::Sine:
            // v = mid + amp sin(2 pi f (t - phase)): SIN with a phase in degrees.
            out << "SIN(" << Num{(s.vMaxV + s.vMinV) / 2} << ' ' << Num{(s.vMaxV - s.vMinV) / 2}
                << ' ' << Num{s.freqHz} << " 0 0 " << Num{-360.0 * s.freqHz * s.phaseS} << ')';
            return;
        case SourceKind::Pulse:
            out << "PULSE(" << Num{s.vMinV} << ' ' << Num{s.vMaxV} << " 0 " << Time{s.riseS} << ' '
                << Time{s.fallS} << ' ' << Time{s.highS} << ' '
                << Time{s.riseS + s.highS + s.fallS + s.lowS} << ')';
            return;
        case SourceKind::Pwl: {
            if (engine == nullptr) {
                out << "DC 0";
                return;
            }
            const auto& history = engine->pwlHistory()[static_cast<std::size_t>(index)];
            if (history.empty()) {
                out << "DC " << Num{engine->pwlVoltage(index)};
                return;
            }
            out << "PWL(";
            for (std::size_t i = 0; i < history.size(); ++i) {
                if (i > 0) out << "\n+ ";
                out << Time{history[i].first} << ' ' << Num{history[i].second};
            }
            out << ')';
            return;
        }
    }
}

}  // namespace

void writeSpiceNetlist(std::ostream& out, const Network& net, const TransientEngine* engine) {
    out << "* QorEMABRD32 equivalent circuit: " << net.nodeCount << " nodes, "
        << net.branches.size() << " branches\n";
    for (std::size_t v = 0; v < net.viewNode.size(); ++v) {
        out << "* view " << v + 1 << ' ' << node(net.viewNode[v]) << '\n';
    }
    // Branch k: [V<k> from the branch start to s<k>] R<k> [m<k>] L<k> to the branch end.
    for (std::size_t k = 0; k < net.branches.size(); ++k) {
        const Branch& br = net.branches[k];
        const std::size_t id = k + 1;
        Node from = node(br.a);
        if (br.source >= 0) {
            const Node inner{'s', id};
            out << 'V' << id << ' ' << inner << ' ' << from << ' ';
            writeSourceValue(out, net.sources[static_cast<std::size_t>(br.source)], engine,
                             br.source);
            out << '\n';
            from = inner;
        }
        const Node to = node(br.b);
        if (br.rOhm > 0 && br.lH > 0) {
            const Node mid{'m', id};
            out << 'R' << id << ' ' << from << ' ' << mid << ' ' << Num{br.rOhm} << '\n';
            out << 'L' << id << ' ' << mid << ' ' << to << ' ' << Num{br.lH} << '\n';
        } else if (br.lH > 0) {
            out << 'L' << id << ' ' << from << ' ' << to << ' ' << Num{br.lH} << '\n';
        } else {
            out << 'R' << id << ' ' << from << ' ' << to << ' ' << Num{br.rOhm} << '\n';
        }
    }
    for (std::size_t g = 0; g < net.conductances.size(); ++g) {
        const Conductance& c = net.conductances[g];
        out << "RG" << g + 1 << ' ' << node(c.a) << ' ' << node(c.b) << ' ' << Num{1.0 / c.gS}
            << '\n';
    }
    for (int n = 1; n <= net.nodeCount; ++n) {
        const double capF = net.nodeCapF[static_cast<std::size_t>(n)];
        if (capF > 0) out << 'C' << n << ' ' << node(n) << " 0 " << Num{capF} << '\n';
    }
    if (engine != nullptr && engine->stepS() > 0) {
        const double stepS = engine->stepS();
        const double stopS = std::max(engine->timeS(), 100 * stepS);
        out << ".tran " << Time{stepS} << ' ' << Time{stopS} << " 0 " << Time{stepS} << '\n';
    }
    if (!net.viewNode.empty()) {
        out << ".save";
        for (const int v : net.viewNode) out << " v(" << node(v) << ')';
        out << '\n';
    }
    out << ".end\n";
}

}  // namespace qor::simlib
