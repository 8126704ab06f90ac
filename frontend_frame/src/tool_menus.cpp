#include "qor/frontend/tool_menus.h"

#include <cctype>

#include "qor/frontend/list_parser.h"
#include "qor/frontend/localization.h"

namespace qor::frontend {

namespace {

inline constexpr int kProfileError = 8;

int intField(const ParsedList& list, int i) {
    return static_cast<int>(list.number(i));
}

bool inRange(int value, int low, int high) {
    return value >= low && value <= high;
}

}  // namespace

int ReadMenuProfile(FileAccess& files, const std::string& path, ToolMenus& menus) {
    menus = ToolMenus{};
    files.SetCurrentFileName(path);
    LineFile file;
    if (files.OpenForReading(path, file) != 0) return kProfileError;
    std::string line;
    for (;;) {
        if (files.ReadLine(file, line) != 0) return kProfileError;
        const ParsedList list = ParseList(line);
        const std::string kind = TrimBlanks(list.word(1));
        if (kind == "ENDMENU") return 0;
        if (kind != "FSI" && kind != "FSIKEY" && kind != "OSTKEY") continue;
        const int menu = intField(list, 2);
        if (!inRange(menu, 1, kToolMenuCount)) return kProfileError;
        ToolMenu& m = menus.menu(menu);
        if (kind == "FSI") {
            m.defined = true;
            m.pictureBase = intField(list, 3);
            m.currentTool = intField(list, 4);
            if (!inRange(m.currentTool, 0, kToolCount - 1)) return kProfileError;
            m.prompt = list.word(5);
            continue;
        }
        const int tool = intField(list, 3);
        if (!inRange(tool, 0, kToolCount - 1)) return kProfileError;
        Tool& t = m.tools[static_cast<size_t>(tool)];
        if (kind == "FSIKEY") {
            t.value1 = intField(list, 4);
            t.enabled = intField(list, 5) != 0;
            t.pressed = intField(list, 6) != 0;
            t.subPictureBase = intField(list, 7);
            t.value2 = intField(list, 8);
            t.hint = list.word(9);
            t.shortcut.clear();
            t.shortcutAllowed = false;
            if (list.count() == 11) {
                t.shortcut = list.word(10);
                t.shortcutAllowed = intField(list, 11) != 0;
            }
            continue;
        }
        const int sub = intField(list, 4);
        if (!inRange(sub, 0, kToolCount - 1)) return kProfileError;
        SubTool& s = t.subTools[static_cast<size_t>(sub)];
        s.group = intField(list, 5);
        s.enabled = intField(list, 6) != 0;
        s.pressed = intField(list, 7) != 0;
        s.hint = list.word(8);
    }
}

void ToolPanelState::SelectMenu(int menu) {
    if (!inRange(menu, 1, kToolMenuCount)) return;
    currentMenu_ = menu;
    messageLine_ = PromptLine();
}

std::array<int, 4> ToolPanelState::PressTool(int i) {
    if (!inRange(i, 0, kToolCount - 1)) return {0, 0, 0, 0};
    ToolMenu& m = current();
    m.tools[static_cast<size_t>(m.currentTool)].pressed = false;
    m.tools[static_cast<size_t>(i)].pressed = true;
    m.currentTool = i;
    messageLine_ = ToolHintLine(currentMenu_, i);
    if (i == 9) return {0, 0, 0, 0};
    return {9, currentMenu_, i + 1, 0};
}

void ToolPanelState::PressSubTool(int i, bool pressed, bool operationRunning) {
    if (!inRange(i, 0, kToolCount - 1)) return;
    if (!operationRunning && i == kToolCount - 1) pressed = false;
    ToolMenu& m = current();
    auto& subs = m.tools[static_cast<size_t>(m.currentTool)].subTools;
    SubTool& s = subs[static_cast<size_t>(i)];
    if (pressed) {
        for (SubTool& other : subs)
            if (other.group == s.group) other.pressed = false;
    }
    s.pressed = pressed;
}

std::string ToolPanelState::ToolHintLine(int menu, int tool) const {
    const Tool& t = menus_.menu(menu).tools.at(static_cast<size_t>(tool));
    if (t.shortcut.empty()) return t.hint;
    return t.hint + LocalText(" (Shortcut: *", 99116) + t.shortcut + ")";
}

std::string ToolPanelState::PromptLine() const {
    return menus_.menu(currentMenu_).prompt;
}

ShortcutOutcome ToolPanelState::ShortcutKey(char c,
                                            const std::function<bool(int menu)>& menuEnabled) {
    if (!shortcutActive_) {
        if (c != '*') return {};
        shortcutActive_ = true;
        typed_.clear();
        messageLine_ = LocalText("Shortcut: ", 991210);
        return {ShortcutOutcome::Pending};
    }
    typed_.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    messageLine_ = LocalText("Shortcut: ", 991210) + typed_;
    if (typed_.size() < 2) return {ShortcutOutcome::Pending};
    shortcutActive_ = false;
    for (int menu = 1; menu <= kToolMenuCount; ++menu) {
        ToolMenu& m = menus_.menu(menu);
        for (int tool = 0; tool < kToolCount; ++tool) {
            Tool& t = m.tools[static_cast<size_t>(tool)];
            if (t.shortcut.empty() || t.shortcut != typed_) continue;
            if (menu == currentMenu_) return {ShortcutOutcome::PressTool, menu, tool};
            // A tool of another menu: taken only where its shortcut is allowed and its menu can
            // be chosen; otherwise the search goes on.
            if (!t.shortcutAllowed || !menuEnabled(menu)) continue;
            for (Tool& other : m.tools) other.pressed = false;
            t.pressed = true;
            m.currentTool = tool;
            return {ShortcutOutcome::SwitchedMenu, menu, tool};
        }
    }
    return {ShortcutOutcome::NoMatch};
}

}  // namespace qor::frontend
