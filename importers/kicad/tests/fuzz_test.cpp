// Random and damaged input reaches the board reader: it reports a format error or reads a board,
// and never crashes or reads out of bounds (run under the sanitizers in CI).
#include <gtest/gtest.h>

#include <random>

#include "qor/importers/kicad.h"
#include "sexpr.h"
#include "test_boards.h"

using namespace qor;

namespace {

void feed(const std::string& text) {
    kicad::ImportReport report;
    try {
        kicad::readBoard(text, "fuzz", report);
    } catch (const kicad::FormatError&) {
    }
}

TEST(KicadFuzz, TruncatedBoards) {
    const std::string board = kicad::testing::kBoard;
    for (size_t cut = 0; cut < board.size(); cut += 7) feed(board.substr(0, cut));
}

TEST(KicadFuzz, MutatedBoards) {
    const std::string board = kicad::testing::kBoard;
    const std::string alphabet = "()\" \n0123456789.-+eEatxyzcnpldr";
    std::mt19937 rng(20261211);
    for (int round = 0; round < 1500; ++round) {
        std::string text = board;
        const int edits = 1 + static_cast<int>(rng() % 6);
        for (int e = 0; e < edits; ++e) {
            const size_t at = rng() % text.size();
            switch (rng() % 3) {
                case 0: text[at] = alphabet[rng() % alphabet.size()]; break;
                case 1: text.erase(at, 1 + rng() % 12); break;
                default: text.insert(at, 1, alphabet[rng() % alphabet.size()]); break;
            }
            if (text.empty()) text = "(";
        }
        feed(text);
    }
}

TEST(KicadFuzz, RandomExpressions) {
    std::mt19937 rng(7);
    const char* words[] = {"kicad_pcb", "version", "20211014", "footprint", "pad", "at", "net", "segment", "arc",
                           "start", "mid", "end", "zone", "polygon", "pts", "xy", "layer", "\"Edge.Cuts\"",
                           "gr_line", "gr_arc", "gr_circle", "center", "via", "1", "-2.5", "0", "\"F.Cu\"",
                           "layers", "size", "drill", "angle", "module", "fp_line", "keepout"};
    for (int round = 0; round < 1500; ++round) {
        std::string text = "(kicad_pcb (version 20211014)";
        int depth = 1;
        const int tokens = static_cast<int>(rng() % 200);
        for (int i = 0; i < tokens; ++i) {
            const auto r = rng() % 10;
            if (r < 3) text += " (", ++depth;
            else if (r < 5 && depth > 1) text += ")", --depth;
            else text += std::string(" ") + words[rng() % std::size(words)];
        }
        text.append(static_cast<size_t>(depth), ')');
        feed(text);
    }
}

}  // namespace
