// The command channel of a main window: the host's commands "target,command,numbers..." as
// AP_ExeCmd executes them.
#pragma once

#include <string>
#include <string_view>

#include "qor/frontend/analyzer.h"

namespace qor::frontend {

// What the commands act on: the main window and its view.
class CommandTarget {
  public:
    virtual ~CommandTarget() = default;
    virtual void Repaint() = 0;
    virtual void Maximize() = 0;
    virtual void Minimize() = 0;
    virtual void RestoreSize() = 0;
    // "UP": discard the engine's board and load the design again.
    virtual void ReloadDesign() = 0;
    // "EX": clear the operation and unload the main window.
    virtual void Exit() = 0;
    virtual int CurrentHierarchy() = 0;
    // "FL": centre the view on a design point, update the scroll bars and repaint.
    virtual void CentreOn(double x, double y) = 0;
    // "BL": zoom to the box of the given unsigned size whose centre is (centreX, centreY).
    virtual void ZoomToBox(double width, double height, double centreX, double centreY) = 0;
};

// Whether a command's target names this analyzer: "All" (the EM front end compares the localized
// text 99188) or the analyzer's own key.
bool CommandIsForUs(Analyzer analyzer, std::string_view target);

// Executes one command; false when it was ignored (another target, an empty or unknown command,
// "FL" or "BL" for another hierarchy).
bool ExecuteHostCommand(Analyzer analyzer, std::string_view command, CommandTarget& target);

}  // namespace qor::frontend
