// Progress of long work on standard error, and Ctrl-C as a request to stop.
//
// Nothing is shown for work that ends within a second. On a terminal one line is redrawn as a
// bar; otherwise a plain line is written at every tenth of the work.
#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>

namespace qor::cli {

class Progress {
public:
    using Clock = std::function<double()>;  // seconds
    Progress(std::FILE* out, std::string label, bool terminal, Clock clock = steadySeconds);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // fraction of the work done, 0 ... 1.
    void update(double fraction);
    // Ends the display (a finished bar or a last line), when anything was shown.
    void finish();

    static double steadySeconds();
    // Whether standard error is a terminal.
    static bool stderrIsTerminal();

private:
    std::FILE* out_;
    std::string label_;
    bool terminal_;
    Clock clock_;
    double start_;
    int shownPercent_ = -1;
    bool finished_ = false;
};

// Ctrl-C sets a flag that long work polls; a second Ctrl-C ends the program at once.
void installInterruptHandler();
bool interrupted();
// The flag itself, for work that polls it on other threads.
const std::atomic<bool>& interruptFlag();

}  // namespace qor::cli
