#include "progress.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>

namespace qor::cli {

namespace {
std::atomic<bool> gInterrupted{false};

extern "C" void onInterrupt(int) {
    if (gInterrupted.exchange(true)) std::_Exit(130);
}
}  // namespace

Progress::Progress(std::FILE* out, std::string label, bool terminal, Clock clock)
    : out_(out), label_(std::move(label)), terminal_(terminal), clock_(std::move(clock)), start_(clock_()) {}

Progress::~Progress() { finish(); }

double Progress::steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool Progress::stderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void Progress::update(double fraction) {
    if (finished_ || clock_() - start_ < 1.0) return;
    const int percent = static_cast<int>(std::clamp(fraction, 0.0, 1.0) * 100);
    if (terminal_) {
        if (percent == shownPercent_) return;
        constexpr int kWidth = 30;
        const int filled = percent * kWidth / 100;
        std::fprintf(out_, "\r%s [%s%s] %3d%%", label_.c_str(), std::string(static_cast<size_t>(filled), '#').c_str(),
                     std::string(static_cast<size_t>(kWidth - filled), '-').c_str(), percent);
    } else {
        if (percent / 10 == shownPercent_ / 10 && shownPercent_ >= 0) return;
        std::fprintf(out_, "%s: %d%%\n", label_.c_str(), percent / 10 * 10);
    }
    std::fflush(out_);
    shownPercent_ = percent;
}

void Progress::finish() {
    if (finished_) return;
    finished_ = true;
    if (shownPercent_ < 0) return;
    if (terminal_) std::fprintf(out_, "\n");
    else if (shownPercent_ < 100) std::fprintf(out_, "%s: done\n", label_.c_str());
    std::fflush(out_);
}

void installInterruptHandler() {
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool interrupted() { return gInterrupted.load(); }

const std::atomic<bool>& interruptFlag() { return gInterrupted; }

}  // namespace qor::cli
