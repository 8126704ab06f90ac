// qor-demo: builds the demo design into a design file and draws its board into a PNG. The
// analyses of the demo run through qor32 (see ./qor demo).
//
//   qor-demo <output folder>
#include <cstdio>
#include <filesystem>
#include <string>

#include "board_pictures.h"
#include "demo_design.h"
#include "qor/design/design_file.h"
#include "qor/kernel/kernel.h"

namespace fs = std::filesystem;

namespace {

int fail(const std::string& message) {
    std::fprintf(stderr, "qor-demo: %s\n", message.c_str());
    return 1;
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
    DB_CloseDesign();
    return 0;
}
