// Importing a board file into a design file, all or nothing.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "qor/design/design_file.h"
#include "qor/importers/kicad.h"
#include "sexpr.h"

namespace qor::kicad {

bool importBoardFile(const std::string& boardPath, const std::string& designPath, ImportReport& report,
                     std::string& error) {
    namespace fs = std::filesystem;
    std::ifstream in(boardPath, std::ios::binary);
    if (!in) {
        error = "cannot read " + boardPath;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    design::Design d;
    try {
        d = readBoard(text.str(), fs::path(boardPath).stem().string(), report);
    } catch (const std::exception& e) {
        error = boardPath + ": " + e.what();
        return false;
    }
    // Written beside the target and renamed over it only when complete.
    const std::string temporary = designPath + ".importing" + std::to_string(::getpid());
    std::error_code ec;
    for (const char* suffix : {"", "-wal", "-shm"}) fs::remove(temporary + suffix, ec);
    {
        auto file = design::DesignFile::create(temporary, d, error);
        if (!file) {
            fs::remove(temporary, ec);
            return false;
        }
    }
    for (const char* suffix : {"-wal", "-shm"}) fs::remove(designPath + suffix, ec);
    fs::rename(temporary, designPath, ec);
    if (ec) {
        error = "cannot write " + designPath + ": " + ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

}  // namespace qor::kicad
