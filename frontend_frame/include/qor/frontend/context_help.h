// Context help: topic numbers from menu, item, tool and subtool, shown through the host's help.
#pragma once

#include <string>

#include "qor/frontend/messages.h"

namespace qor::frontend {

// The help system: the host's context-help switch, its topic display and the system help viewer.
class HelpSystem {
  public:
    virtual ~HelpSystem() = default;
    // The host's context-help switch (kernel system table 12).
    virtual bool contextHelpOn() = 0;
    // Shows a topic of a help file (H_DispTopic with the owner window).
    virtual void displayTopic(const std::string& helpFile, int topic) = 0;
    // Sends a command to the system help viewer for a help file.
    virtual void helpCommand(const std::string& helpFile, const std::string& command) = 0;
    // Opens the contents of a help file in the system help viewer.
    virtual void showContents(const std::string& helpFile) = 0;
};

// The limit message of ShowContextHelp: empty when menu <= 11, item <= 100, tool <= 11 and
// subtool <= 11; otherwise the texts of the exceeded limits, each after the first preceded by a
// blank (so it starts with a blank when the menu limit holds).
std::string ContextHelpLimitMessage(int menu, int item, int tool, int subtool);

// The topic number: menu 1 alone gives 1, with item 1 gives 2, with tool 1 gives 3, with subtool 1
// gives 4; 0 when a level is missing below a given one.
int ContextHelpTopic(int menu, int item, int tool, int subtool);

class ContextHelp {
  public:
    // helpFile: the component's context help file (server path and component name); contentsFile:
    // the analyzer's help file that the Help menu opens.
    ContextHelp(HelpSystem& help, MessageBox& box, std::string helpFile, std::string contentsFile)
        : help_(help),
          box_(box),
          helpFile_(std::move(helpFile)),
          contentsFile_(std::move(contentsFile)) {}

    // Checks the limits (an exceeded one is shown in a plain message box and nothing else
    // happens), remembers the topic and shows it when the host's context help is on.
    void ShowContextHelp(int menu, int item, int tool, int subtool);
    // Shows the current topic without checking the host's switch (Ctrl+F1 in a dialog).
    void ShowCurrentHelp();
    // The Help menu item: the contents of the analyzer's help file.
    void ShowHelpContents();

    int currentTopic() const { return currentTopic_; }
    const std::string& helpFile() const { return helpFile_; }

  private:
    void show();

    HelpSystem& help_;
    MessageBox& box_;
    std::string helpFile_;
    std::string contentsFile_;
    int currentTopic_ = 0;
};

// The command that places the help window after a topic is shown.
inline constexpr const char* kHelpWindowPlacement =
    "PositionWindow(600, 150, 400, 800, 1, \"main\")";

}  // namespace qor::frontend
