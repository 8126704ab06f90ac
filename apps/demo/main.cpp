// qor-demo: builds the demo design, opens it through the kernel, draws it into a PNG, then loads it
// into the thermal engine, analyses it and writes the results as pictures and a CSV; finally the
// field engine computes the near field of two driven nets and draws it as a map and isolines.
//
//   qor-demo <output folder> [profile file]
//
// Without a profile file the example profile next to the build's programs is used
// (<bin>/../examples/profiles/qor32.ini); it selects the compiled example libraries.
#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "demo_design.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"
#include "qorema32.h"
#include "qorthm32.h"

namespace fs = std::filesystem;

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "qor-demo: %s\n", message.c_str());
    return 1;
}

// Cold to hot: blue, cyan, green, yellow, red, from the kernel palette's colour cube.
constexpr int32_t kColourTable[16] = {21, 27,  33,  39,  45,  51,  49,  47,
                                      82, 118, 154, 190, 226, 220, 208, 196};

// A raster surface showing the whole board, about widthPx wide, with its context open.
int32_t openBoardSurface(int32_t widthPx) {
    KRect frame;
    if (!T_FrameTraceLines(-1, 63, &frame)) return 0;
    // A 5 % margin around the board; 64-bit arithmetic, since boards reach 2^31 units / 105.
    const int64_t boardW = int64_t{frame.right} - frame.left,
                  boardH = int64_t{frame.top} - frame.bottom;
    const auto zoom = static_cast<int32_t>(std::max<int64_t>(1, boardW * 105 / 100 / widthPx));
    const auto heightPx =
        static_cast<int32_t>(std::clamp<int64_t>(boardH * 105 / 100 / zoom, 1, 20000));
    const int32_t surface = G_CreateRasterSurface(widthPx, heightPx);
    const KViewRecord view{zoom,
                           widthPx,
                           heightPx,
                           static_cast<int32_t>(frame.left + boardW / 2),
                           static_cast<int32_t>(frame.bottom + boardH / 2),
                           0};
    if (!surface || !G_OpenDC(surface, &view)) return 0;
    return surface;
}

bool closeAndSave(int32_t surface, const fs::path& png) {
    G_CloseDC();
    const bool saved = G_SaveSurfacePng(surface, png.c_str()) == 1;
    G_DeleteSurface(surface);
    return saved;
}

void drawOutline() {
    G_SetStyle(0);
    G_SetColor(15);
    T_DrawAllRecords(-1, 1);
}

// Draws the open design's board, copper, components and outline into a PNG about widthPx wide.
bool drawBoard(const fs::path& png, int32_t widthPx) {
    const int32_t surface = openBoardSurface(widthPx);
    if (!surface) return false;
    S_DrawSymbol(-DB_CurHier() - 400, -1, -1);  // copper areas
    T_DrawAllTraceMask(1, 1);
    V_DrawAllVias(1);
    L_DrawAllComponents(1);
    G_SetColor(11);
    T_DrawAllRecords(-1, 1);
    return closeAndSave(surface, png);
}

// Appends a legend of the 16 colours, labelled from coldest (0) to hottest (15), to the right of a
// PNG.
bool addLegend(const fs::path& png, const std::string& title, const std::vector<QString>& labels) {
    const QImage board(QString::fromStdString(png.string()));
    if (board.isNull() || labels.size() != 16) return false;
    constexpr int kRow = 28, kWidth = 330;
    QImage out(board.width() + kWidth, std::max(board.height(), 17 * kRow + 20),
               QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter p(&out);
    p.drawImage(0, 0, board);
    QFont font = p.font();
    font.setPixelSize(15);
    p.setFont(font);
    p.setPen(Qt::white);
    const int x = board.width() + 14;
    p.drawText(x, 24, QString::fromStdString(title));
    for (int i = 15; i >= 0; --i) {
        const int y = 40 + (15 - i) * kRow;
        p.fillRect(x, y, 36, kRow - 6,
                   QColor::fromRgb(static_cast<QRgb>(G_PaletteRgb(kColourTable[i]))));
        p.drawText(x + 46, y + kRow - 11, labels[static_cast<std::size_t>(i)]);
    }
    p.end();
    return out.save(QString::fromStdString(png.string()));
}

// The legend of a colour scale that starts at `min` and rises `step` per colour, each bound written
// by `text`.
std::vector<QString> scaleLabels(int32_t min, int32_t step, QString (*text)(double)) {
    std::vector<QString> labels(16);
    for (int i = 0; i < 16; ++i) {
        const QString from = text(min + i * step);
        const QString to = text(min + (i + 1) * step);
        labels[static_cast<std::size_t>(i)] = i == 15  ? from + " and above"
                                              : i == 0 ? "below " + to
                                                       : from + " to " + to;
    }
    return labels;
}

std::vector<QString> temperatureLabels() {
    return scaleLabels(THM_A_ColorTempMin(), THM_A_ColorTempGrid(), [](double fiftieths) {
        return QString::asprintf("%.1f \u00B0C", fiftieths / 50.0);
    });
}

struct ComponentResult {
    std::string name, device;
    double powerW = 0, caseC = 0, junctionC = 0;
};

// Every component's result, read through the engine's calls: parameters by database index,
// temperatures at the component's position (the first component whose frame holds it).
std::vector<ComponentResult> componentResults() {
    std::vector<ComponentResult> results;
    for (int32_t index = THM_A_LLComponentFirst(nullptr, nullptr); index;
         index = THM_A_LLComponentNext(nullptr, nullptr)) {
        KComponentRecord component{};
        if (L_ReadComponent(index, &component) != 1) continue;
        ComponentResult r;
        r.name = component.name ? component.name : "";
        KDeviceRecord device{};
        if (component.device && D_ReadDevice(component.device, &device) && device.name)
            r.device = device.name;
        ComponentParameters p{};
        THM_A_ComponentGet(index, &p);
        r.powerW = p.minPowerW + (p.maxPowerW - p.minPowerW) * p.dutyCyclePercent * 0.01;
        KRect frame{component.x, component.y, component.x, component.y};
        L_FrameCompEntries(index, &frame);
        double cellC = 0;
        int32_t found = 0;
        for (const auto& [x, y] :
             {std::pair{component.x, component.y},
              std::pair{(frame.left + frame.right) / 2, (frame.bottom + frame.top) / 2}}) {
            if (THM_A_GetTemp(x, y, &cellC, &found, &r.caseC, &r.junctionC) && found == index)
                break;
            found = 0;
        }
        if (!found) r.caseC = r.junctionC = cellC;
        results.push_back(r);
    }
    std::stable_sort(
        results.begin(), results.end(), [](const ComponentResult& a, const ComponentResult& b) {
            return a.junctionC != b.junctionC ? a.junctionC > b.junctionC : a.caseC > b.caseC;
        });
    return results;
}

std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

bool writeCsv(const fs::path& csv, const std::vector<ComponentResult>& results) {
    std::ofstream out(csv, std::ios::trunc);
    out << "component,device,power_w,case_c,junction_c\n";
    char line[256];
    for (const ComponentResult& r : results) {
        std::snprintf(line, sizeof line, ",%.4f,%.2f,%.2f\n", r.powerW, r.caseC, r.junctionC);
        out << csvField(r.name) << "," << csvField(r.device) << line;
    }
    return static_cast<bool>(out);
}

// Loads the open design into the engine, analyses it and writes the pictures and the CSV.
int thermalDemo(const fs::path& out, const std::string& profile) {
    if (!THM_A_Qor_LoadDataBase(profile.c_str()))
        return fail("the thermal engine cannot load the design: code " +
                    std::to_string(THM_A_ErrorCode()) + ", stage " +
                    std::to_string(THM_A_ErrorFunc()));
    THM_A_LoadParameters();
    THM_A_SetColorTable(kColourTable);
    TemperatureParameters t{};
    THM_A_GetTemperatureParameters(&t);
    t.stepUnits = 25400;  // 0.254 mm
    THM_A_SetTemperatureParameters(&t);
    if (!THM_A_BoardShapeSet())
        return fail("the raster does not fit: code " + std::to_string(THM_A_ErrorCode()));
    THM_A_AnalyseBoard();

    struct Picture {
        const char* file;
        const char* title;
        void (*display)();
    };
    for (const Picture& picture :
         {Picture{"thermal_board.png", "Board temperature", THM_A_DisplayBoard},
          Picture{"thermal_components.png", "Case and junction", THM_A_DisplayComponents},
          Picture{"thermal_isotherms.png", "Isotherms", THM_A_DisplayIsotherms}}) {
        const fs::path png = out / picture.file;
        const int32_t surface = openBoardSurface(1200);
        if (!surface) return fail("cannot open a surface for " + png.string());
        const bool isotherms = picture.display == THM_A_DisplayIsotherms;
        if (!isotherms) {
            if (picture.display == THM_A_DisplayComponents) {
                T_DrawAllTraceMask(1, 1);
                L_DrawAllComponents(1);
            }
            G_SetStyle(16);  // filled cells and tiles
            picture.display();
        } else {
            T_DrawAllTraceMask(1, 1);
            L_DrawAllComponents(1);
            G_SetColor(15);
            picture.display();
        }
        drawOutline();
        if (!closeAndSave(surface, png) || !addLegend(png, picture.title, temperatureLabels()))
            return fail("cannot write " + png.string());
        std::printf("  %-19s %s\n", (std::string(picture.title) + ":").c_str(), png.c_str());
    }

    const std::vector<ComponentResult> results = componentResults();
    const fs::path csv = out / "thermal_components.csv";
    if (!writeCsv(csv, results)) return fail("cannot write " + csv.string());
    std::printf("  %-19s %s\n", "Components CSV:", csv.c_str());
    std::printf("Five hottest components:\n");
    for (std::size_t i = 0; i < results.size() && i < 5; ++i)
        std::printf("  %-6s %-16s %7.3f W  case %6.1f \u00B0C  junction %6.1f \u00B0C\n",
                    results[i].name.c_str(), results[i].device.c_str(), results[i].powerW,
                    results[i].caseC, results[i].junctionC);
    THM_A_DeleteDataBase();
    return 0;
}

// The range of the last normalisation, for the field legend: normalised units back to V/m.
double gFieldMin = 0, gFieldMax = 0;

double normalisedToVPerM(double n) {
    return (gFieldMin + (n - 1) / 1000 * (gFieldMax - gFieldMin)) * 1e-4;
}

// Drives two nets of the open design, computes their near field and writes it as a coloured board
// and as isolines.
int fieldDemo(const fs::path& out, const std::string& profile) {
    if (!EMA_A_Qor_LoadDataBase(profile.c_str()))
        return fail("the field engine cannot load the design: code " +
                    std::to_string(EMA_A_ErrorCode()) + ", stage " +
                    std::to_string(EMA_A_ErrorFunc()));
    EMA_A_SetColorTable(kColourTable);
    FieldParameters parameters{};
    EMA_A_GetFieldParameters(&parameters);
    parameters.stepUnits = 25400;  // 0.254 mm
    EMA_A_SetFieldParameters(&parameters);
    if (!EMA_A_BoardShapeSet())
        return fail("the field raster does not fit: code " + std::to_string(EMA_A_ErrorCode()));
    struct Drive {
        const char* net;
        double volts, hertz;
    };
    std::printf("Near field:\n");
    EMA_Clear_Field();
    for (const Drive& d : {Drive{"OSC_IN", 3.3, 8e6}, Drive{"SER", 3.3, 10e6}}) {
        const int32_t net = OM_FindName(DB_NetMap(), d.net);
        if (!net) return fail(std::string("the demo design has no net ") + d.net);
        if (!EMA_Calc_Field(net, d.volts, d.hertz))
            return fail(std::string("the field of ") + d.net + " failed: code " +
                        std::to_string(EMA_A_ErrorCode()));
        std::printf("  %-19s %.1f V at %.0f MHz\n", (std::string(d.net) + ":").c_str(), d.volts,
                    d.hertz / 1e6);
    }
    EMA_Min_Max_Field();
    EMA_A_FieldMinMax(&gFieldMin, &gFieldMax);
    std::printf("  %-19s %.3g to %.3g V/m\n", "Field range:", gFieldMin * 1e-4, gFieldMax * 1e-4);
    struct Picture {
        const char* file;
        const char* title;
        void (*display)();
    };
    for (const Picture& picture :
         {Picture{"field_board.png", "Near field", EMA_A_DisplayBoard},
          Picture{"field_isolines.png", "Field isolines", EMA_A_DisplayIsotherms}}) {
        const fs::path png = out / picture.file;
        const int32_t surface = openBoardSurface(1200);
        if (!surface) return fail("cannot open a surface for " + png.string());
        if (picture.display == EMA_A_DisplayBoard) {
            G_SetStyle(16);  // filled cells
            picture.display();
            G_SetStyle(0);
            T_DrawAllTraceMask(1, 1);
        } else {
            T_DrawAllTraceMask(1, 1);
            L_DrawAllComponents(1);
            G_SetColor(15);
            picture.display();
        }
        drawOutline();
        const std::vector<QString> labels =
            scaleLabels(EMA_A_ColorTempMin(), EMA_A_ColorTempGrid(), [](double normalised) {
                return QString::asprintf("%.3g V/m", normalisedToVPerM(normalised));
            });
        if (!closeAndSave(surface, png) || !addLegend(png, picture.title, labels))
            return fail("cannot write " + png.string());
        std::printf("  %-19s %s\n", (std::string(picture.title) + ":").c_str(), png.c_str());
    }
    EMA_A_DeleteDataBase();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: qor-demo <output folder> [profile file]\n");
        return 2;
    }
    const fs::path out = fs::absolute(argv[1]);
    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec) return fail("cannot create " + out.string() + ": " + ec.message());
    const fs::path program = fs::weakly_canonical(fs::path(argv[0]), ec);
    const fs::path profile =
        argc == 3 ? fs::absolute(argv[2])
                  : program.parent_path().parent_path() / "examples" / "profiles" / "qor32.ini";
    if (!fs::exists(profile)) return fail("no profile file " + profile.string());

    // The legend's text is drawn with Qt; no window system is needed.
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);

    // The demo design is generated afresh each run.
    const fs::path qdb = out / "demo.qdb";
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(qdb.string() + suffix, ec);
    std::string error;
    if (!qor::design::DesignFile::create(qdb.string(), qor::examples::buildDemoDesign(), error))
        return fail(error);
    if (!DB_OpenDesign(qdb.c_str())) return fail(DB_LastError());

    const fs::path png = out / "demo_board.png";
    if (!drawBoard(png, 1200)) {
        DB_CloseDesign();
        return fail("cannot draw the board into " + png.string());
    }
    std::printf("Demo design \"%s\": %d components, %d nets, %d traces\n", O_GetName(DB_DataBase()),
                OM_GetCount(DB_LayCompMap()), OM_GetCount(DB_NetMap()), OM_GetCount(DB_TraceMap()));
    std::printf("  design file:   %s\n", qdb.c_str());
    std::printf("  board picture: %s\n", png.c_str());
    int result = thermalDemo(out, profile.string());
    if (result == 0) result = fieldDemo(out, profile.string());
    DB_CloseDesign();
    return result;
}
