#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "progress.h"

using qor::cli::Progress;

namespace {

// Runs work through a Progress writing into memory; the clock advances one second per update.
std::string render(bool terminal, const std::vector<double>& fractions, double startAt = 0) {
    char* buf = nullptr;
    size_t size = 0;
    std::FILE* out = ::open_memstream(&buf, &size);
    double now = startAt;
    {
        Progress p(out, "Analysis", terminal, [&] { return now; });
        for (const double f : fractions) {
            now += 1.0;
            p.update(f);
        }
    }
    std::fclose(out);
    std::string text(buf, size);
    std::free(buf);
    return text;
}

TEST(Progress, PlainLinesAtEachTenthAndADoneLine) {
    EXPECT_EQ(render(false, {0.05, 0.12, 0.15, 0.31, 0.5}), "Analysis: 0%\nAnalysis: 10%\nAnalysis: 30%\nAnalysis: 50%\nAnalysis: done\n");
    EXPECT_EQ(render(false, {0.5, 1.0}), "Analysis: 50%\nAnalysis: 100%\n");
}

TEST(Progress, TerminalRedrawsOneBar) {
    const std::string text = render(true, {0.5, 0.5, 1.0});
    EXPECT_EQ(text, "\rAnalysis [###############---------------]  50%"
                    "\rAnalysis [##############################] 100%\n");
}

TEST(Progress, ShortWorkShowsNothing) {
    char* buf = nullptr;
    size_t size = 0;
    std::FILE* out = ::open_memstream(&buf, &size);
    double now = 0;
    {
        Progress p(out, "Quick", false, [&] { return now; });
        now = 0.5;
        p.update(0.9);
    }
    std::fclose(out);
    EXPECT_EQ(size, 0u);
    std::free(buf);
}

}  // namespace
