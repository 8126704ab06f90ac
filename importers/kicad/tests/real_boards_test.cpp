// The demo boards that Debian's kicad-demos package installs: each imports, and the design holds
// what the board file holds.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "qor/design/design_file.h"
#include "qor/importers/kicad.h"
#include "sexpr.h"

namespace fs = std::filesystem;
using namespace qor;

namespace {

const fs::path kDemos = "/usr/share/kicad/demos";

struct Counts {
    size_t components = 0, padsOnNets = 0, trackPieces = 0, vias = 0, zones = 0;
    friend bool operator==(const Counts&, const Counts&) = default;
};

std::ostream& operator<<(std::ostream& o, const Counts& c) {
    return o << c.components << " components, " << c.padsOnNets << " pads on nets, " << c.trackPieces
             << " track pieces, " << c.vias << " vias, " << c.zones << " zones";
}

// Counted straight from the file's expressions.
Counts countBoard(const std::string& text) {
    const kicad::Sexpr board = kicad::parseSexpr(text);
    Counts c;
    for (const auto& item : board.items) {
        if (!item.isList) continue;
        const std::string& h = item.head();
        if (h == "footprint" || h == "module") {
            ++c.components;
            for (const auto* pad : item.all("pad"))
                if (const auto* net = pad->find("net"); net && net->number(1) != 0) ++c.padsOnNets;
        } else if (h == "segment" || h == "arc") {
            ++c.trackPieces;
        } else if (h == "via") {
            ++c.vias;
        } else if (h == "zone" && !item.find("keepout")) {
            ++c.zones;
        }
    }
    return c;
}

// Counted from the design file that the import wrote.
Counts countDesign(const design::Design& d) {
    Counts c;
    c.components = d.components.size();
    c.padsOnNets = d.nodes.size();
    c.vias = d.vias.size();
    for (const auto& t : d.traces) {
        if (t.number == design::kOutlineTrace) continue;
        size_t points = 0;
        for (const auto& p : t.points) points += !(p.flags & design::kPointArcCentre);
        c.trackPieces += points - 1;
    }
    std::set<int32_t> zones;
    for (const auto& s : d.symbols)
        if (s.name == "@COPPAR")
            for (const auto& it : s.items) zones.insert(it.attributes);
    c.zones = zones.size();
    return c;
}

TEST(RealBoards, EveryDemoBoardImportsWhole) {
    ASSERT_TRUE(fs::exists(kDemos)) << "the kicad-demos package is missing (./qor installs it)";
    const fs::path out = fs::temp_directory_path() / ("qor_real_" + std::to_string(::getpid()));
    fs::create_directories(out);
    int boards = 0;
    for (const auto& entry : fs::recursive_directory_iterator(kDemos)) {
        if (entry.path().extension() != ".kicad_pcb") continue;
        ++boards;
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        const Counts expected = countBoard(text.str());

        const std::string qdb = (out / (entry.path().stem().string() + ".qdb")).string();
        kicad::ImportReport report;
        std::string error;
        ASSERT_TRUE(kicad::importBoardFile(entry.path().string(), qdb, report, error)) << error;
        auto file = design::DesignFile::open(qdb, error);
        ASSERT_TRUE(file) << error;
        design::Design d;
        ASSERT_TRUE(file->load(d, error)) << error;
        EXPECT_EQ(countDesign(d), expected);

        const auto& outline = d.traces.front();
        ASSERT_EQ(outline.number, design::kOutlineTrace);
        ASSERT_GE(outline.points.size(), 4u);
        EXPECT_EQ(outline.points.front().x, outline.points.back().x) << "outline closed";
        EXPECT_EQ(outline.points.front().y, outline.points.back().y) << "outline closed";
        EXPECT_LE(outline.points.size(), 99u);
    }
    fs::remove_all(out);
    EXPECT_GE(boards, 14);
}

}  // namespace
