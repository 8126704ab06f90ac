// Coordination between the analyzers of the suite through the host string store: each publishes a
// status record under its key, and checks that no other analyzer is in the middle of an operation
// before it starts one of its own.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "qor/frontend/analyzer.h"
#include "qor/frontend/messages.h"

namespace qor::frontend {

// The main window's caption and window state (0 normal, 1 minimized, 2 maximized), as the status
// record shows them.
class StatusWindow {
  public:
    virtual ~StatusWindow() = default;
    virtual std::string caption() const = 0;
    virtual int windowState() const = 0;
};

struct BusyResult {
    bool busy = false;
    std::string caption;  // the busy analyzer's caption
};

// Where ShowModalDialog puts a window: top and left in the screen's units.
struct Placement {
    int top = 0;
    int left = 0;
    friend bool operator==(const Placement&, const Placement&) = default;
};

class AnalyzerCoordination {
  public:
    AnalyzerCoordination(Analyzer analyzer, StatusWindow& window, MessageBox& box)
        : analyzer_(analyzer), window_(window), box_(box) {}

    // Reads the analyzer list ("AllAps") once at start-up of the main window.
    void Start();
    const std::vector<std::string>& keys() const { return keys_; }
    // The 1-based position of the own key in the list; 0 when it is absent.
    int ownPosition() const { return ownPosition_; }

    // The status record: caption, window state, 0, operation code and modal depth, separated by
    // commas, each number with a blank before non-negative values.
    std::string StatusRecord(int operationCode) const;
    // Stores the status record under the own key, or the empty text when write is false.
    void PublishStatus(bool write, int operationCode);

    // Whether another running analyzer is busy. A record of an analyzer that no longer runs is
    // erased. Unless silent, a busy result is shown in a system-modal warning box.
    BusyResult CheckOtherAnalyzers(bool silent);

    int modalDepth() const { return modalDepth_; }
    // Runs showModal (which shows the window modally and unloads it) with the modal depth raised by
    // one, publishing the status with code -1 before and after.
    void ShowModalDialog(const std::function<void()>& showModal);

    // The place of a dialog centred on the screen: the thermal front end uses the distances
    // |window - screen| / 2, the EM front end (screen - window) / 2 (negative for a window larger
    // than the screen).
    static Placement CentreOnScreen(Analyzer analyzer, int windowHeight, int windowWidth,
                                    int screenHeight, int screenWidth);

  private:
    Analyzer analyzer_;
    StatusWindow& window_;
    MessageBox& box_;
    std::vector<std::string> keys_;
    int ownPosition_ = 0;
    int modalDepth_ = 0;
};

}  // namespace qor::frontend
