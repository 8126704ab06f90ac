#include "nets_command.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "qor/frontend/net_parameters.h"
#include "qor/kernel/kernel.h"

namespace qor::cli {

const char* const kNetsUsage =
    "usage: qor32 nets DESIGN.qdb [options]\n"
    "\n"
    "Prints the routed nets of a design as a net parameter file (.enp), longest first:\n"
    "name,voltage,x ,x,frequency, with x where no value is given.\n"
    "\n"
    "options:\n"
    "  --voltage V       the voltage of every net, e.g. 3.3 (default x)\n"
    "  --frequency F     the frequency of every net, e.g. 25MHz (default x)\n"
    "  --most N          only the N nets with the most trace points\n";

int runNets(const std::vector<std::string>& args) {
    std::string design, voltage = "x", frequency = "x";
    long most = -1;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "-h" || a == "--help") {
            std::fputs(kNetsUsage, stdout);
            return 0;
        } else if (a == "--voltage" && hasValue) {
            voltage = frontend::FormatEngValue(frontend::ParseEngValue(args[++i]), "V");
        } else if (a == "--frequency" && hasValue) {
            frequency = frontend::FormatEngValue(frontend::ParseEngValue(args[++i]), "Hz");
        } else if (a == "--most" && hasValue) {
            char* end = nullptr;
            most = std::strtol(args[++i].c_str(), &end, 10);
            if (!end || *end || most < 0) {
                std::fprintf(stderr, "qor32 nets: --most needs a count\n\n%s", kNetsUsage);
                return 2;
            }
        } else if (a.starts_with("-") || !design.empty()) {
            std::fprintf(stderr, "qor32 nets: unexpected %s\n\n%s", a.c_str(), kNetsUsage);
            return 2;
        } else {
            design = a;
        }
    }
    if (design.empty()) {
        std::fprintf(stderr, "qor32 nets: no design given\n\n%s", kNetsUsage);
        return 2;
    }
    if (!DB_OpenDesign(design.c_str())) {
        std::fprintf(stderr, "qor32 nets: %s\n", DB_LastError());
        return 1;
    }
    struct Net {
        std::string name;
        int64_t points = 0;
    };
    std::vector<Net> nets;
    int32_t cursor = OM_GetFirst(DB_NetMap());
    while (const int32_t net = OM_SearchMask(DB_NetMap(), &cursor, 0, 0)) {
        Net n{O_GetName(N_Net(net)) ? O_GetName(N_Net(net)) : "", 0};
        int32_t traces = OM_GetFirst(DB_TraceMap());
        KTraceRecord t;
        while (const int32_t trace = T_SearchNet(&traces, net))
            if (T_ReadTrace(trace, &t)) n.points += t.recordCount;
        if (n.points > 0 && !n.name.empty() && n.name.find(',') == std::string::npos) nets.push_back(n);
    }
    DB_CloseDesign();
    std::stable_sort(nets.begin(), nets.end(), [](const Net& a, const Net& b) { return a.points > b.points; });
    if (most >= 0 && nets.size() > static_cast<size_t>(most)) nets.resize(static_cast<size_t>(most));
    for (const Net& n : nets) std::printf("%s,%s,x ,x,%s\r\n", n.name.c_str(), voltage.c_str(), frequency.c_str());
    return 0;
}

}  // namespace qor::cli
