#include "thermal_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "board_pictures.h"
#include "json_text.h"
#include "progress.h"
#include "qor/kernel/kernel.h"
#include "qor/platform/profile.h"
#include "qorthm32.h"

namespace fs = std::filesystem;

namespace qor::cli {

const char* const kThermalUsage =
    "usage: qor32 thermal DESIGN.qdb --out DIR [options]\n"
    "\n"
    "Computes the steady temperatures of the design's components and board and writes\n"
    "thermal_board.png, thermal_components.png, thermal_isotherms.png (each with its legend),\n"
    "components.csv (hottest first) and report.json into DIR.\n"
    "\n"
    "options:\n"
    "  -o, --out DIR            folder for the results (created when missing)\n"
    "  --profile FILE           the suite's profile file (default: the example profile)\n"
    "  --libdir DIR             folder of the thermal libraries (.TAL)\n"
    "  --lib NAME               a library to use, in order; may be repeated\n"
    "  --ambient C              ambient temperature in degrees Celsius (default 25)\n"
    "  --cooling DIR            forced air: none, left, right, bottom or top (default none)\n"
    "  --air-velocity M/S       air velocity of the forced cooling (default 0)\n"
    "  --step MM                raster step in millimetres (default 0.254)\n"
    "  --power REF=W            a component's power in watts; may be repeated\n"
    "  --max-junction C         exit with status 3, naming them, when any junction is hotter\n"
    "  -q, --quiet              print nothing but errors\n";

namespace {

struct Options {
    std::string design, out, profile, libDir;
    std::vector<std::string> libraries;
    double ambientC = 25, airVelocity = 0, stepMm = 0.254;
    int32_t cooling = 0;
    std::map<std::string, double> powerW;
    bool hasMaxJunction = false, quiet = false;
    double maxJunctionC = 0;
};

struct ComponentResult {
    std::string name, device;
    double powerW = 0, caseC = 0, junctionC = 0;
};

int fail(const std::string& message) {
    std::fprintf(stderr, "qor32 thermal: %s\n", message.c_str());
    return 1;
}

int usage(const std::string& message) {
    std::fprintf(stderr, "qor32 thermal: %s\n\n%s", message.c_str(), kThermalUsage);
    return 2;
}

bool number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && end && *end == 0 && std::isfinite(value);
}

// Parses the options; returns -1 when the command should go on, else the exit status.
int parse(const std::vector<std::string>& args, Options& o) {
    static const std::map<std::string, int32_t> kCooling{{"none", 0}, {"left", 1}, {"right", 2}, {"bottom", 3}, {"top", 4}};
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            std::fputs(kThermalUsage, stdout);
            return 0;
        } else if (a == "-q" || a == "--quiet") {
            o.quiet = true;
        } else if (a == "-o" || a == "--out") {
            if (!value(o.out)) return usage(a + " needs a folder");
        } else if (a == "--profile") {
            if (!value(o.profile)) return usage(a + " needs a file");
        } else if (a == "--libdir") {
            if (!value(o.libDir)) return usage(a + " needs a folder");
        } else if (a == "--lib") {
            if (!value(v) || v.empty()) return usage(a + " needs a library name");
            o.libraries.push_back(v);
        } else if (a == "--ambient") {
            if (!value(v) || !number(v, o.ambientC)) return usage("--ambient needs a temperature");
        } else if (a == "--air-velocity") {
            if (!value(v) || !number(v, o.airVelocity) || o.airVelocity < 0)
                return usage("--air-velocity needs a speed of 0 or more");
        } else if (a == "--step") {
            if (!value(v) || !number(v, o.stepMm) || o.stepMm <= 0) return usage("--step needs a length above 0");
        } else if (a == "--cooling") {
            if (!value(v) || !kCooling.count(v)) return usage("--cooling takes none, left, right, bottom or top");
            o.cooling = kCooling.at(v);
        } else if (a == "--power") {
            double w = 0;
            const size_t eq = i + 1 < args.size() ? args[i + 1].find('=') : std::string::npos;
            if (!value(v) || eq == std::string::npos || eq == 0 || !number(v.substr(eq + 1), w) || w < 0)
                return usage("--power takes REF=WATTS, for example U1=1.5");
            o.powerW[v.substr(0, eq)] = w;
        } else if (a == "--max-junction") {
            if (!value(v) || !number(v, o.maxJunctionC)) return usage("--max-junction needs a temperature");
            o.hasMaxJunction = true;
        } else if (a.starts_with("-")) {
            return usage("unknown option " + a);
        } else if (o.design.empty()) {
            o.design = a;
        } else {
            return usage("one design at a time");
        }
    }
    if (o.design.empty()) return usage("no design given");
    if (o.out.empty()) return usage("no output folder given (--out DIR)");
    return -1;
}

// The profile the engine reads: the given one, or a copy with the library folder and set replaced.
bool prepareProfile(Options& o, const fs::path& out, std::string& error) {
    if (!fs::exists(o.profile)) {
        error = "no profile file " + o.profile;
        return false;
    }
    if (o.libDir.empty() && o.libraries.empty()) return true;
    const fs::path copy = out / ".qor32-thermal.ini";
    std::error_code ec;
    fs::copy_file(o.profile, copy, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        error = "cannot write " + copy.string() + ": " + ec.message();
        return false;
    }
    bool ok = true;
    if (!o.libDir.empty()) ok &= profile::writeString(copy, "Qor32", "LibDir", fs::absolute(o.libDir).string());
    if (!o.libraries.empty()) {
        ok &= profile::deleteSection(copy, "Library");
        ok &= profile::writeString(copy, "Library", "Number", std::to_string(o.libraries.size()));
        for (size_t i = 0; i < o.libraries.size(); ++i)
            ok &= profile::writeString(copy, "Library", std::to_string(i + 1), o.libraries[i]);
    }
    if (!ok) {
        error = "cannot write " + copy.string();
        return false;
    }
    o.profile = copy.string();
    return true;
}

// Every component's result: parameters by database index, temperatures at the component's
// position (or the centre of its pads) from the component that holds the point.
std::vector<ComponentResult> componentResults() {
    std::vector<ComponentResult> results;
    for (int32_t index = THM_A_LLComponentFirst(nullptr, nullptr); index; index = THM_A_LLComponentNext(nullptr, nullptr)) {
        KComponentRecord component{};
        if (L_ReadComponent(index, &component) != 1) continue;
        ComponentResult r;
        r.name = component.name ? component.name : "";
        KDeviceRecord device{};
        if (component.device && D_ReadDevice(component.device, &device) && device.name) r.device = device.name;
        ComponentParameters p{};
        THM_A_ComponentGet(index, &p);
        r.powerW = p.minPowerW + (p.maxPowerW - p.minPowerW) * p.dutyCyclePercent * 0.01;
        KRect frame{component.x, component.y, component.x, component.y};
        L_FrameCompEntries(index, &frame);
        double cellC = 0;
        int32_t found = 0;
        for (const auto& [x, y] : {std::pair{component.x, component.y},
                                   std::pair{(frame.left + frame.right) / 2, (frame.bottom + frame.top) / 2}}) {
            if (THM_A_GetTemp(x, y, &cellC, &found, &r.caseC, &r.junctionC) && found == index) break;
            found = 0;
        }
        if (!found) r.caseC = r.junctionC = cellC;
        results.push_back(r);
    }
    std::stable_sort(results.begin(), results.end(), [](const ComponentResult& a, const ComponentResult& b) {
        return a.junctionC != b.junctionC ? a.junctionC > b.junctionC : a.caseC > b.caseC;
    });
    return results;
}

// The board's lowest and highest cell temperature, sampled at the raster step.
std::pair<double, double> boardRange(int32_t stepUnits) {
    int32_t left = 0, bottom = 0, right = 0, top = 0;
    THM_A_GetBoardSize(&left, &bottom, &right, &top);
    double lo = 1e300, hi = -1e300;
    for (int64_t y = bottom + stepUnits / 2; y <= top; y += stepUnits)
        for (int64_t x = left + stepUnits / 2; x <= right; x += stepUnits) {
            double cellC = 0, caseC = 0, junctionC = 0;
            int32_t index = 0;
            if (!THM_A_GetTemp(static_cast<int32_t>(x), static_cast<int32_t>(y), &cellC, &index, &caseC, &junctionC))
                continue;
            lo = std::min(lo, cellC), hi = std::max(hi, cellC);
        }
    return lo <= hi ? std::pair{lo, hi} : std::pair{0.0, 0.0};
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string fixed(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

}  // namespace

int runThermal(const std::vector<std::string>& args, const std::string& programPath) {
    Options o;
    if (const int status = parse(args, o); status >= 0) return status;
    if (o.profile.empty()) {
        std::error_code ec;
        o.profile = (fs::weakly_canonical(programPath, ec).parent_path().parent_path() / "examples" / "profiles" /
                     "qor32.ini")
                        .string();
    }
    const fs::path out = fs::absolute(o.out);
    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec) return fail("cannot create " + out.string() + ": " + ec.message());
    std::string error;
    if (!prepareProfile(o, out, error)) return fail(error);
    installInterruptHandler();

    if (!DB_OpenDesign(o.design.c_str())) return fail(DB_LastError());
    struct Closer {
        ~Closer() {
            THM_A_DeleteDataBase();
            DB_CloseDesign();
        }
    } closer;
    if (!THM_A_Qor_LoadDataBase(o.profile.c_str()))
        return fail("the thermal engine cannot load the design: code " + std::to_string(THM_A_ErrorCode()) +
                    ", stage " + std::to_string(THM_A_ErrorFunc()));
    THM_A_LoadParameters();
    THM_A_SetColorTable(apps::kHeatColours);
    TemperatureParameters t{};
    THM_A_GetTemperatureParameters(&t);
    t.stepUnits = static_cast<int32_t>(std::lround(o.stepMm * 100000));
    t.ambientC = o.ambientC;
    t.scaleMode = 0;
    THM_A_SetTemperatureParameters(&t);
    CoolingParameters cooling{};
    THM_A_GetCoolingParameters(&cooling);
    cooling.direction = o.cooling;
    cooling.airVelocityMPerS = o.airVelocity;
    THM_A_SetCoolingParameters(&cooling);
    for (const auto& [ref, watts] : o.powerW) {
        const int32_t index = OM_FindName(DB_LayCompMap(), ref.c_str());
        if (!index) return fail("no component " + ref + " in the design");
        ComponentParameters p{};
        THM_A_ComponentGet(index, &p);
        p.minPowerW = p.maxPowerW = watts;
        THM_A_ComponentSet(index, &p);
    }
    if (!THM_A_BoardShapeSet())
        return fail("the raster does not fit the board: code " + std::to_string(THM_A_ErrorCode()));
    if (interrupted()) return fail("stopped");
    if (!THM_A_AnalyseBoard())
        return fail("the analysis failed: code " + std::to_string(THM_A_ErrorCode()));
    if (interrupted()) return fail("stopped");

    struct Picture {
        const char* file;
        const char* title;
        void (*display)();
    };
    std::vector<std::string> written;
    for (const Picture& picture : {Picture{"thermal_board.png", "Board temperature", THM_A_DisplayBoard},
                                   Picture{"thermal_components.png", "Case and junction", THM_A_DisplayComponents},
                                   Picture{"thermal_isotherms.png", "Isotherms", THM_A_DisplayIsotherms}}) {
        const fs::path png = out / picture.file;
        const int32_t surface = apps::openBoardSurface(1200);
        if (!surface) return fail("cannot open a surface for " + png.string());
        if (picture.display != THM_A_DisplayBoard) apps::drawLayout();
        if (picture.display == THM_A_DisplayIsotherms) G_SetColor(15);
        else G_SetStyle(16);  // filled cells and tiles
        picture.display();
        apps::drawOutline();
        const auto legend = apps::scaleLegend(apps::kHeatColours, THM_A_ColorTempMin() / 50.0,
                                              THM_A_ColorTempGrid() / 50.0, "\u00B0C", 1);
        if (!apps::closeAndSave(surface, png) || !apps::addLegend(png, picture.title, legend))
            return fail("cannot write " + png.string());
        written.push_back(png.string());
        if (interrupted()) return fail("stopped");
    }

    const std::vector<ComponentResult> results = componentResults();
    std::string csv = "component,device,power_w,case_c,junction_c\n";
    for (const ComponentResult& r : results)
        csv += csvField(r.name) + "," + csvField(r.device) + "," + fixed(r.powerW, 4) + "," + fixed(r.caseC, 2) + "," +
               fixed(r.junctionC, 2) + "\n";
    const fs::path csvPath = out / "components.csv";
    if (!apps::writeFileAtomically(csvPath, csv)) return fail("cannot write " + csvPath.string());
    written.push_back(csvPath.string());

    const auto [boardMinC, boardMaxC] = boardRange(t.stepUnits);
    std::ostringstream json;
    json << "{\n  \"design\": " << apps::jsonText(O_GetName(DB_DataBase()) ? O_GetName(DB_DataBase()) : "") << ",\n"
         << "  \"parameters\": {\"ambient_c\": " << o.ambientC << ", \"raster_step_mm\": " << o.stepMm
         << ", \"cooling_direction\": " << o.cooling << ", \"air_velocity_m_s\": " << o.airVelocity
         << ", \"profile\": " << apps::jsonText(o.profile) << "},\n"
         << "  \"board\": {\"min_c\": " << fixed(boardMinC, 2) << ", \"max_c\": " << fixed(boardMaxC, 2) << "},\n"
         << "  \"components\": [";
    for (size_t i = 0; i < results.size(); ++i) {
        const ComponentResult& r = results[i];
        json << (i ? ",\n    " : "\n    ") << "{\"name\": " << apps::jsonText(r.name) << ", \"device\": " << apps::jsonText(r.device)
             << ", \"power_w\": " << fixed(r.powerW, 4) << ", \"case_c\": " << fixed(r.caseC, 2)
             << ", \"junction_c\": " << fixed(r.junctionC, 2) << "}";
    }
    json << "\n  ]\n}\n";
    const fs::path jsonPath = out / "report.json";
    if (!apps::writeFileAtomically(jsonPath, json.str())) return fail("cannot write " + jsonPath.string());
    written.push_back(jsonPath.string());

    if (!o.quiet) {
        std::printf("%s: board %.1f to %.1f \u00B0C, %zu components\n", o.design.c_str(), boardMinC, boardMaxC,
                    results.size());
        for (const std::string& w : written) std::printf("  %s\n", w.c_str());
        std::printf("Five hottest components:\n");
        for (size_t i = 0; i < results.size() && i < 5; ++i)
            std::printf("  %-6s %-16s %7.3f W  case %6.1f \u00B0C  junction %6.1f \u00B0C\n", results[i].name.c_str(),
                        results[i].device.c_str(), results[i].powerW, results[i].caseC, results[i].junctionC);
    }
    if (o.hasMaxJunction) {
        std::string offenders;
        for (const ComponentResult& r : results)
            if (r.junctionC > o.maxJunctionC) offenders += " " + r.name + " (" + fixed(r.junctionC, 1) + " \u00B0C)";
        if (!offenders.empty()) {
            std::fprintf(stderr, "qor32 thermal: junctions above %.1f \u00B0C:%s\n", o.maxJunctionC, offenders.c_str());
            return 3;
        }
    }
    return 0;
}

}  // namespace qor::cli
