// qor-demo: builds the demo design, opens it through the kernel and draws it into a PNG.
//
//   qor-demo <output folder>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "demo_design.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"

namespace fs = std::filesystem;

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "qor-demo: %s\n", message.c_str());
    return 1;
}

// Draws the open design's board, copper, components and outline into a PNG about widthPx wide.
bool drawBoard(const std::string& png, int32_t widthPx) {
    KRect frame;
    if (!T_FrameTraceLines(-1, 63, &frame)) return false;
    // A 5 % margin around the board; 64-bit arithmetic, since boards reach 2^31 units / 105.
    const int64_t boardW = int64_t{frame.right} - frame.left, boardH = int64_t{frame.top} - frame.bottom;
    const auto zoom = static_cast<int32_t>(std::max<int64_t>(1, boardW * 105 / 100 / widthPx));
    const auto heightPx = static_cast<int32_t>(std::clamp<int64_t>(boardH * 105 / 100 / zoom, 1, 20000));
    const int32_t surface = G_CreateRasterSurface(widthPx, heightPx);
    const KViewRecord view{zoom, widthPx, heightPx, static_cast<int32_t>(frame.left + boardW / 2),
                           static_cast<int32_t>(frame.bottom + boardH / 2), 0};
    if (!surface || !G_OpenDC(surface, &view)) return false;
    S_DrawSymbol(-DB_CurHier() - 400, -1, -1);  // copper areas
    T_DrawAllTraceMask(1, 1);
    V_DrawAllVias(1);
    L_DrawAllComponents(1);
    G_SetColor(11);
    T_DrawAllRecords(-1, 1);
    G_CloseDC();
    const bool saved = G_SaveSurfacePng(surface, png.c_str()) == 1;
    G_DeleteSurface(surface);
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qor-demo <output folder>\n");
        return 2;
    }
    const fs::path out = fs::absolute(argv[1]);
    std::error_code ec;
    fs::create_directories(out, ec);
    if (ec) return fail("cannot create " + out.string() + ": " + ec.message());

    // The demo design is generated afresh each run.
    const fs::path qdb = out / "demo.qdb";
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(qdb.string() + suffix, ec);
    std::string error;
    if (!qor::design::DesignFile::create(qdb.string(), qor::examples::buildDemoDesign(), error)) return fail(error);
    if (!DB_OpenDesign(qdb.c_str())) return fail(DB_LastError());

    const fs::path png = out / "demo_board.png";
    if (!drawBoard(png.string(), 1200)) {
        DB_CloseDesign();
        return fail("cannot draw the board into " + png.string());
    }
    std::printf("Demo design \"%s\": %d components, %d nets, %d traces\n", O_GetName(DB_DataBase()),
                OM_GetCount(DB_LayCompMap()), OM_GetCount(DB_NetMap()), OM_GetCount(DB_TraceMap()));
    std::printf("  design file:   %s\n", qdb.c_str());
    std::printf("  board picture: %s\n", png.c_str());
    DB_CloseDesign();
    return 0;
}
