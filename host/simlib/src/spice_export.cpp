#include "spice_export.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>

namespace qor::simlib {
namespace {

// Shortest text that reads back as the same double.
std::string num(double value) {
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Times with 12 significant digits: circuit simulators keep their own time grid and refuse
// breakpoints that land a rounding error behind it.
std::string timeText(double valueS) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.12g", valueS);
    return buffer;
}

std::string node(int n) {
    return n == 0 ? "0" : "n" + std::to_string(n);
}

std::string sourceValue(const SourceSpec& s, const TransientEngine* engine, int index) {
    switch (s.kind) {
        case SourceKind::Ground:
            return "DC 0";
        case SourceKind::Constant:
            return "DC " + num(s.vMaxV);
        case SourceKind::Sine: {
            // v = mid + amp sin(2 pi f (t - phase)): SIN with a phase in degrees.
            const double phaseDeg = -360.0 * s.freqHz * s.phaseS;
            return "SIN(" + num((s.vMaxV + s.vMinV) / 2) + " " + num((s.vMaxV - s.vMinV) / 2) +
                   " " + num(s.freqHz) + " 0 0 " + num(phaseDeg) + ")";
        }
        case SourceKind::Pulse: {
            const double periodS = s.riseS + s.highS + s.fallS + s.lowS;
            return "PULSE(" + num(s.vMinV) + " " + num(s.vMaxV) + " 0 " + num(s.riseS) + " " +
                   num(s.fallS) + " " + num(s.highS) + " " + num(periodS) + ")";
        }
        case SourceKind::Pwl: {
            if (engine == nullptr) return "DC 0";
            const auto& history = engine->pwlHistory()[static_cast<std::size_t>(index)];
            if (history.empty()) return "DC " + num(engine->pwlVoltage(index));
            std::string text = "PWL(";
            for (std::size_t i = 0; i < history.size(); ++i) {
                if (i > 0) text += "\n+ ";
                text += timeText(history[i].first) + " " + num(history[i].second);
            }
            return text + ")";
        }
    }
    return "DC 0";
}

}  // namespace

void writeSpiceNetlist(std::ostream& out, const Network& net, const TransientEngine* engine) {
    out << "* QorEMABRD32 equivalent circuit: " << net.nodeCount << " nodes, "
        << net.branches.size() << " branches\n";
    for (std::size_t v = 0; v < net.viewNode.size(); ++v) {
        out << "* view " << v + 1 << ' ' << node(net.viewNode[v]) << '\n';
    }
    for (std::size_t k = 0; k < net.branches.size(); ++k) {
        const Branch& br = net.branches[k];
        const std::string id = std::to_string(k + 1);
        std::string from = node(br.a);
        if (br.source >= 0) {
            const std::string inner = "s" + id;
            out << "V" << id << ' ' << inner << ' ' << from << ' '
                << sourceValue(net.sources[static_cast<std::size_t>(br.source)], engine, br.source)
                << '\n';
            from = inner;
        }
        const std::string to = node(br.b);
        if (br.rOhm > 0 && br.lH > 0) {
            const std::string mid = "m" + id;
            out << "R" << id << ' ' << from << ' ' << mid << ' ' << num(br.rOhm) << '\n';
            out << "L" << id << ' ' << mid << ' ' << to << ' ' << num(br.lH) << '\n';
        } else if (br.lH > 0) {
            out << "L" << id << ' ' << from << ' ' << to << ' ' << num(br.lH) << '\n';
        } else {
            out << "R" << id << ' ' << from << ' ' << to << ' ' << num(br.rOhm) << '\n';
        }
    }
    for (std::size_t g = 0; g < net.conductances.size(); ++g) {
        const Conductance& c = net.conductances[g];
        out << "RG" << g + 1 << ' ' << node(c.a) << ' ' << node(c.b) << ' ' << num(1.0 / c.gS)
            << '\n';
    }
    for (int n = 1; n <= net.nodeCount; ++n) {
        const double capF = net.nodeCapF[static_cast<std::size_t>(n)];
        if (capF > 0) out << "C" << n << ' ' << node(n) << " 0 " << num(capF) << '\n';
    }
    if (engine != nullptr && engine->stepS() > 0) {
        const double stepS = engine->stepS();
        const double stopS = std::max(engine->timeS(), 100 * stepS);
        out << ".tran " << timeText(stepS) << ' ' << timeText(stopS) << " 0 " << timeText(stepS)
            << '\n';
    }
    if (!net.viewNode.empty()) {
        out << ".save";
        for (const int v : net.viewNode) out << " v(" << node(v) << ')';
        out << '\n';
    }
    out << ".end\n";
}

}  // namespace qor::simlib
