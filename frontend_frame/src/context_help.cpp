#include "qor/frontend/context_help.h"

#include <cstdint>

namespace qor::frontend {

std::string ContextHelpLimitMessage(int menu, int item, int tool, int subtool) {
    std::string message;
    if (menu > 11) message = "Menu No: exceeds 11";
    if (item > 100) message += " SubMenu No. exceeds 100";
    if (tool > 11) message += " Tool No: exceeds 11";
    if (subtool > 11) message += " SubTool No: exceeds 11";
    return message;
}

namespace {

int64_t topic(int64_t menu, int64_t item, int64_t tool, int64_t subtool) {
    if (subtool != 0)
        return menu && item && tool ? menu * 13301 + item * 133 + tool * 12 + subtool - 13443 : 0;
    if (tool != 0) return menu && item ? menu * 13301 + item * 133 + tool * 12 - 13443 : 0;
    if (item != 0) return menu ? menu * 13301 + item * 133 - 13432 : 0;
    return menu ? menu * 13301 - 13300 : 0;
}

}  // namespace

int ContextHelpTopic(int menu, int item, int tool, int subtool) {
    const int64_t t = topic(menu, item, tool, subtool);
    return t >= INT32_MIN && t <= INT32_MAX ? static_cast<int>(t)
                                            : 0;  // no topic for absurd numbers
}

void ContextHelp::ShowContextHelp(int menu, int item, int tool, int subtool) {
    const std::string limits = ContextHelpLimitMessage(menu, item, tool, subtool);
    if (!limits.empty()) {
        box_.show({"", limits, MessageIcon::None, false});
        return;
    }
    currentTopic_ = ContextHelpTopic(menu, item, tool, subtool);
    if (help_.contextHelpOn()) show();
}

void ContextHelp::ShowCurrentHelp() {
    show();
}

void ContextHelp::ShowHelpContents() {
    help_.showContents(contentsFile_);
}

void ContextHelp::show() {
    help_.displayTopic(helpFile_, currentTopic_);
    help_.helpCommand(helpFile_, kHelpWindowPlacement);
}

}  // namespace qor::frontend
