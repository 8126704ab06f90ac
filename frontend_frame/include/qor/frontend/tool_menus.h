// The tool panels of a main window: up to 11 editing menus of 11 tools, each tool with up to 11
// sub-tools, read from the menu profile file ("THMFSI.MEN", "EMAFSI.MEN"); pressing, groups,
// message-line texts and the two-character shortcuts typed after "*".
#pragma once

#include <array>
#include <functional>
#include <string>

#include "qor/frontend/files.h"

namespace qor::frontend {

inline constexpr int kToolMenuCount = 11;  // menus 1 to 11
inline constexpr int kToolCount = 11;      // tools and sub-tools 0 to 10

struct SubTool {
    int group = 0;
    bool enabled = false;
    bool pressed = false;
    std::string hint;
};

struct Tool {
    int value1 = 0;  // kept, not used by the panels
    bool enabled = false;
    bool pressed = false;
    int subPictureBase = 0;
    int value2 = 0;  // kept, not used by the panels
    std::string hint;
    std::string shortcut;  // two characters; empty when the line defines none
    bool shortcutAllowed = false;
    std::array<SubTool, kToolCount> subTools{};
};

struct ToolMenu {
    bool defined = false;  // an "FSI" line named this menu
    int pictureBase = 0;
    int currentTool = 0;
    std::string prompt;
    std::array<Tool, kToolCount> tools{};
};

struct ToolMenus {
    std::array<ToolMenu, kToolMenuCount + 1> menus{};  // index 0 unused
    ToolMenu& menu(int n) { return menus.at(static_cast<size_t>(n)); }
    const ToolMenu& menu(int n) const { return menus.at(static_cast<size_t>(n)); }
};

// Reads a menu profile into menus. 0 on success. A file that cannot be opened, or that ends
// before "ENDMENU", shows the standard read message for the file and gives 8; a menu, tool or
// sub-tool number out of range stops reading and gives 8 as well.
int ReadMenuProfile(FileAccess& files, const std::string& path, ToolMenus& menus);

// What typing one key of a shortcut did.
struct ShortcutOutcome {
    enum Kind {
        NotTaken,      // the key is not part of a shortcut: pass it on
        Pending,       // "*" or the first character: wait for more
        NoMatch,       // two characters that name no reachable tool
        PressTool,     // a tool of the current menu: press it
        SwitchedMenu,  // a tool of another menu became its only pressed tool; select that menu
    } kind = NotTaken;
    int menu = 0;
    int tool = 0;
};

// The pressed states, the current menu and the message line of the two tool panels.
class ToolPanelState {
  public:
    explicit ToolPanelState(ToolMenus menus = {}) : menus_(std::move(menus)) {}

    ToolMenus& menus() { return menus_; }
    const ToolMenus& menus() const { return menus_; }
    int currentMenu() const { return currentMenu_; }
    ToolMenu& current() { return menus_.menu(currentMenu_); }

    // An editing menu chosen: it becomes current and the message line shows its prompt.
    void SelectMenu(int menu);
    // Pressing tool i of the current menu: releases the menu's previous tool, presses i and makes
    // it current, and shows its hint with its shortcut. The help topic to show is returned as
    // (9, menu, i + 1, 0); item 0 for tool 9, which has no topic of its own.
    std::array<int, 4> PressTool(int i);
    // Pressing sub-tool i of the current tool with its new state. operationRunning: the button was
    // handed to the view's operation; without one, sub-tool 10 is released at once. A pressed
    // button releases the other sub-tools of its group.
    void PressSubTool(int i, bool pressed, bool operationRunning);

    // The hint of a tool as the message line shows it: the hint, then " (Shortcut: *", the two
    // characters and ")" when the tool has a shortcut.
    std::string ToolHintLine(int menu, int tool) const;
    // The message line after the pointer came back onto the panels' background or the drawing
    // area: the current menu's prompt.
    std::string PromptLine() const;

    // One typed character. menuEnabled tells whether a menu's Edit menu item is enabled.
    ShortcutOutcome ShortcutKey(char c, const std::function<bool(int menu)>& menuEnabled);
    bool shortcutActive() const { return shortcutActive_; }

    const std::string& messageLine() const { return messageLine_; }
    void setMessageLine(std::string text) { messageLine_ = std::move(text); }

  private:
    ToolMenus menus_;
    int currentMenu_ = 1;
    bool shortcutActive_ = false;
    std::string typed_;
    std::string messageLine_;
};

}  // namespace qor::frontend
