// qor-demo: builds the demo design into a design file and draws its board into a PNG; then the
// field engine gives two nets a voltage and frequency, computes their near field and draws it as
// a coloured board and as isolines. The thermal analysis of the demo runs through qor32 (see
// ./qor demo).
//
//   qor-demo <output folder>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "board_pictures.h"
#include "demo_design.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"
#include "qorema32.h"

namespace fs = std::filesystem;

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "qor-demo: %s\n", message.c_str());
    return 1;
}

// The near field of two driven nets of the open design, written as field_board.png and
// field_isolines.png with legends in microvolts per metre.
int fieldDemo(const fs::path& out) {
    // The field needs no device libraries: a profile without any will do.
    const fs::path profile = out / "field-demo.ini";
    std::ofstream(profile) << "[Qor32]\n";
    EMA_A_DeleteDataBase();
    if (!EMA_A_Qor_LoadDataBase(profile.c_str()))
        return fail("the field engine cannot load the design: code " +
                    std::to_string(EMA_A_ErrorCode()) + ", stage " +
                    std::to_string(EMA_A_ErrorFunc()));
    EMA_A_SetColorTable(qor::apps::kHeatColours);
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
        std::printf("  %-16s %.1f V at %.0f MHz\n", (std::string(d.net) + ":").c_str(), d.volts,
                    d.hertz / 1e6);
    }
    EMA_Min_Max_Field();
    double fieldMin = 0, fieldMax = 0;  // 1e-4 V/m
    EMA_A_FieldMinMax(&fieldMin, &fieldMax);
    std::printf("  %-16s %.3f to %.3f uV/m\n", "field:", fieldMin * 100, fieldMax * 100);

    struct Picture {
        const char* file;
        const char* title;
        void (*display)();
    };
    for (const Picture& picture :
         {Picture{"field_board.png", "Near field", EMA_A_DisplayBoard},
          Picture{"field_isolines.png", "Field isolines", EMA_A_DisplayIsotherms}}) {
        const fs::path png = out / picture.file;
        const int32_t surface = qor::apps::openBoardSurface(1200);
        if (!surface) return fail("cannot open a surface for " + png.string());
        if (picture.display == EMA_A_DisplayBoard) {
            G_SetStyle(16);  // filled cells
            picture.display();
            G_SetStyle(0);
            T_DrawAllTraceMask(1, 1);
        } else {
            qor::apps::drawLayout();
            G_SetColor(15);
            picture.display();
        }
        qor::apps::drawOutline();
        // Normalised units 1 ... 1001 back to microvolts per metre.
        const double perUnit = (fieldMax - fieldMin) / 1000 * 100;
        const double min = fieldMin * 100 + (EMA_A_ColorTempMin() - 1) * perUnit;
        const auto legend = qor::apps::scaleLegend(qor::apps::kHeatColours, min,
                                                   EMA_A_ColorTempGrid() * perUnit, "uV/m", 3);
        if (!qor::apps::closeAndSave(surface, png) ||
            !qor::apps::addLegend(png, picture.title, legend))
            return fail("cannot write " + png.string());
        std::printf("  %-16s %s\n", (std::string(picture.title) + ":").c_str(), png.c_str());
    }
    EMA_A_DeleteDataBase();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qor-demo <output folder>\n");
        return 2;
    }
    // The legends are drawn with Qt; no window system is needed.
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    const fs::path out = fs::absolute(argv[1]);
    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec) return fail("cannot create " + out.string() + ": " + ec.message());

    // The demo design is generated afresh each run.
    const fs::path qdb = out / "demo.qdb";
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(qdb.string() + suffix, ec);
    std::string error;
    if (!qor::design::DesignFile::create(qdb.string(), qor::examples::buildDemoDesign(), error))
        return fail(error);
    if (!DB_OpenDesign(qdb.c_str())) return fail(DB_LastError());

    const fs::path png = out / "demo_board.png";
    const int32_t surface = qor::apps::openBoardSurface(1200);
    if (surface) {
        qor::apps::drawLayout();
        qor::apps::drawOutline();
    }
    if (!surface || !qor::apps::closeAndSave(surface, png)) {
        DB_CloseDesign();
        return fail("cannot draw the board into " + png.string());
    }
    std::printf("Demo design \"%s\": %d components, %d nets, %d traces\n", O_GetName(DB_DataBase()),
                OM_GetCount(DB_LayCompMap()), OM_GetCount(DB_NetMap()), OM_GetCount(DB_TraceMap()));
    std::printf("  design file:   %s\n", qdb.c_str());
    std::printf("  board picture: %s\n", png.c_str());
    const int result = fieldDemo(out);
    DB_CloseDesign();
    return result;
}
