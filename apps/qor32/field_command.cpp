#include "field_command.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "board_pictures.h"
#include "json_text.h"
#include "progress.h"
#include "qor/frontend/net_parameters.h"
#include "qor/kernel/kernel.h"
#include "qorema32.h"

namespace fs = std::filesystem;

namespace qor::cli {

const char* const kFieldUsage =
    "usage: qor32 field DESIGN.qdb --nets FILE.enp --out DIR [options]\n"
    "\n"
    "Computes the near electric field of the nets listed in a net parameter file (one net per\n"
    "line: name,voltage,x ,x,frequency, e.g. CLK,3.3V,x ,x,25MHz) and writes field_board.png,\n"
    "field_isolines.png (each with its legend in V/m) and field.json into DIR.\n"
    "\n"
    "options:\n"
    "  -n, --nets FILE          the net parameter file (.enp)\n"
    "  -o, --out DIR            folder for the results (created when missing)\n"
    "  --profile FILE           the suite's profile file (default: the example profile)\n"
    "  --step MM                raster step in millimetres (default 0.254)\n"
    "  --threads N              worker threads (default: one per core)\n"
    "  -q, --quiet              print nothing but errors\n";

namespace {

struct Options {
    std::string design, nets, out, profile;
    double stepMm = 0.254;
    int threads = 0;
    bool quiet = false;
};

int fail(const std::string& message) {
    std::fprintf(stderr, "qor32 field: %s\n", message.c_str());
    return 1;
}

int usage(const std::string& message) {
    std::fprintf(stderr, "qor32 field: %s\n\n%s", message.c_str(), kFieldUsage);
    return 2;
}

int parse(const std::vector<std::string>& args, Options& o) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) return false;
            into = args[++i];
            return true;
        };
        std::string v;
        if (a == "-h" || a == "--help") {
            std::fputs(kFieldUsage, stdout);
            return 0;
        } else if (a == "-q" || a == "--quiet") {
            o.quiet = true;
        } else if (a == "-n" || a == "--nets") {
            if (!value(o.nets)) return usage(a + " needs a file");
        } else if (a == "-o" || a == "--out") {
            if (!value(o.out)) return usage(a + " needs a folder");
        } else if (a == "--profile") {
            if (!value(o.profile)) return usage(a + " needs a file");
        } else if (a == "--step") {
            char* end = nullptr;
            if (!value(v) || (o.stepMm = std::strtod(v.c_str(), &end), !end || *end || !(o.stepMm > 0)))
                return usage("--step needs a length above 0");
        } else if (a == "--threads") {
            char* end = nullptr;
            long n = 0;
            if (!value(v) || (n = std::strtol(v.c_str(), &end, 10), !end || *end || n < 0 || n > 1024))
                return usage("--threads needs a count of 0 or more");
            o.threads = static_cast<int>(n);
        } else if (a.starts_with("-")) {
            return usage("unknown option " + a);
        } else if (o.design.empty()) {
            o.design = a;
        } else {
            return usage("one design at a time");
        }
    }
    if (o.design.empty()) return usage("no design given");
    if (o.nets.empty()) return usage("no net parameter file given (--nets FILE.enp)");
    if (o.out.empty()) return usage("no output folder given (--out DIR)");
    return -1;
}

// A legend's value: three significant digits are enough to tell the colours apart.
std::string legendValue(double voltsPerMetre) {
    char buffer[255];
    const int32_t n = E_FormatFloatValue(buffer, voltsPerMetre, "V/m", -3, -5, 0);
    std::string text(buffer, static_cast<size_t>(n > 0 ? n : 0));
    if (const size_t micro = text.find('\xB5'); micro != std::string::npos) text.replace(micro, 1, "\u00B5");
    return text;
}

struct ProgressContext {
    Progress* progress;
    double first, share;  // this net's part of the whole work
};

void onProgress(void* context, int64_t done, int64_t total) {
    const auto* c = static_cast<const ProgressContext*>(context);
    c->progress->update(c->first + c->share * (total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1));
}

}  // namespace

int runField(const std::vector<std::string>& args, const std::string& programPath) {
    Options o;
    if (const int status = parse(args, o); status >= 0) return status;
    if (o.profile.empty()) {
        std::error_code ec;
        o.profile =
            (fs::weakly_canonical(programPath, ec).parent_path().parent_path() / "examples" / "profiles" / "qor32.ini")
                .string();
    }
    std::ifstream in(o.nets, std::ios::binary);
    if (!in) return fail("cannot read " + o.nets);
    std::stringstream netText;
    netText << in.rdbuf();
    const fs::path out = fs::absolute(o.out);
    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec) return fail("cannot create " + out.string() + ": " + ec.message());
    installInterruptHandler();

    if (!DB_OpenDesign(o.design.c_str())) return fail(DB_LastError());
    struct Closer {
        ~Closer() {
            EMA_A_DeleteDataBase();
            DB_CloseDesign();
        }
    } closer;
    if (!EMA_A_Qor_LoadDataBase(o.profile.c_str()))
        return fail("the field engine cannot load the design: code " + std::to_string(EMA_A_ErrorCode()) +
                    ", stage " + std::to_string(EMA_A_ErrorFunc()));
    FieldParameters parameters{};
    EMA_A_GetFieldParameters(&parameters);
    parameters.stepUnits = static_cast<int32_t>(std::lround(o.stepMm * 100000));
    EMA_A_SetFieldParameters(&parameters);
    if (!EMA_A_BoardShapeSet())
        return fail("the raster does not fit the board: code " + std::to_string(EMA_A_ErrorCode()));

    frontend::NetParamTable table;
    const auto loaded = frontend::LoadNetParameters(netText.str(), false, table, [](const std::string& name) {
        return OM_FindName(DB_NetMap(), name.c_str());
    });
    if (loaded.skipped && !o.quiet)
        std::fprintf(stderr, "qor32 field: %d line(s) of %s name no net of the design or lack a value; left out\n",
                     loaded.skipped, o.nets.c_str());
    const std::vector<int32_t> nets = table.setIndices();
    if (nets.empty()) return fail("no net of " + o.nets + " has both a voltage and a frequency");

    EMA_Clear_Field();
    Progress progress(stderr, "Field", Progress::stderrIsTerminal());
    for (size_t i = 0; i < nets.size(); ++i) {
        double voltage = 0, frequency = 0;
        table.get(nets[i], voltage, frequency);
        ProgressContext context{&progress, static_cast<double>(i) / static_cast<double>(nets.size()),
                                1.0 / static_cast<double>(nets.size())};
        ema::FieldCalcControl control;
        control.progress = onProgress;
        control.progressContext = &context;
        control.cancel = &interruptFlag();
        control.threads = o.threads;
        if (ema::calculateField(nets[i], voltage, frequency, control) == ema::FieldCalcResult::Cancelled) {
            progress.finish();
            return fail("stopped");
        }
    }
    progress.update(1);
    progress.finish();
    EMA_Min_Max_Field();
    double fieldMin = 0, fieldMax = 0;
    EMA_A_FieldMinMax(&fieldMin, &fieldMax);
    EMA_A_SetColorTable(apps::kHeatColours);

    // Normalised cell values n = 1 ... 1001 stand for fieldMin ... fieldMax (1e-4 V/m units).
    const auto toVoltsPerMetre = [&](double n) { return (fieldMin + (n - 1) / 1000.0 * (fieldMax - fieldMin)) * 1e-4; };
    struct Picture {
        const char* file;
        const char* title;
        void (*display)();
    };
    std::vector<std::string> written;
    for (const Picture& picture : {Picture{"field_board.png", "Electric field", EMA_A_DisplayBoard},
                                   Picture{"field_isolines.png", "Field isolines", EMA_A_DisplayIsotherms}}) {
        const fs::path png = out / picture.file;
        const int32_t surface = apps::openBoardSurface(1200);
        if (!surface) return fail("cannot open a surface for " + png.string());
        if (picture.display == EMA_A_DisplayIsotherms) {
            apps::drawLayout();
            G_SetColor(15);
        } else {
            G_SetStyle(16);
        }
        picture.display();
        apps::drawOutline();
        std::vector<apps::LegendRow> legend;
        const double min = EMA_A_ColorTempMin(), step = EMA_A_ColorTempGrid();
        for (int k = 15; k >= 0; --k) {
            const std::string from = legendValue(toVoltsPerMetre(min + k * step));
            const std::string to = legendValue(toVoltsPerMetre(min + (k + 1) * step));
            legend.push_back({apps::kHeatColours[k], k == 15 ? from + " and above" : k == 0 ? "below " + to : from + " to " + to});
        }
        if (!apps::closeAndSave(surface, png) || !apps::addLegend(png, picture.title, legend))
            return fail("cannot write " + png.string());
        written.push_back(png.string());
    }

    std::ostringstream json;
    json << "{\n  \"design\": " << apps::jsonText(O_GetName(DB_DataBase()) ? O_GetName(DB_DataBase()) : "") << ",\n"
         << "  \"parameters\": {\"raster_step_mm\": " << o.stepMm << ", \"net_file\": " << apps::jsonText(o.nets)
         << ", \"profile\": " << apps::jsonText(o.profile) << "},\n"
         << "  \"field\": {\"min_v_m\": " << fieldMin * 1e-4 << ", \"max_v_m\": " << fieldMax * 1e-4 << "},\n"
         << "  \"skipped_lines\": " << loaded.skipped << ",\n  \"nets\": [";
    for (size_t i = 0; i < nets.size(); ++i) {
        double voltage = 0, frequency = 0;
        table.get(nets[i], voltage, frequency);
        const char* name = O_GetName(N_Net(nets[i]));
        json << (i ? ",\n    " : "\n    ") << "{\"name\": " << apps::jsonText(name ? name : "") << ", \"voltage_v\": " << voltage
             << ", \"frequency_hz\": " << frequency << "}";
    }
    json << "\n  ]\n}\n";
    const fs::path jsonPath = out / "field.json";
    if (!apps::writeFileAtomically(jsonPath, json.str())) return fail("cannot write " + jsonPath.string());
    written.push_back(jsonPath.string());
    if (!o.quiet) {
        std::printf("%s: field of %zu net(s), %s to %s\n", o.design.c_str(), nets.size(),
                    frontend::FormatEngValue(fieldMin * 1e-4, "V/m").c_str(),
                    frontend::FormatEngValue(fieldMax * 1e-4, "V/m").c_str());
        for (const std::string& w : written) std::printf("  %s\n", w.c_str());
    }
    return 0;
}

}  // namespace qor::cli
