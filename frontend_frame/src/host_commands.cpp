#include "qor/frontend/host_commands.h"

#include <cmath>

#include "qor/frontend/list_parser.h"
#include "qor/frontend/localization.h"

namespace qor::frontend {

bool CommandIsForUs(Analyzer analyzer, std::string_view target) {
    const std::string t = TrimBlanks(target);
    if (t == AnalyzerKey(analyzer)) return true;
    const std::string all = analyzer == Analyzer::Em ? LocalText("All", 99188) : std::string("All");
    return t == all;
}

bool ExecuteHostCommand(Analyzer analyzer, std::string_view command, CommandTarget& target) {
    if (TrimBlanks(command).empty()) return false;
    const ParsedList list = ParseList(command);
    if (!CommandIsForUs(analyzer, list.word(1))) return false;
    const std::string word = TrimBlanks(list.word(2));
    const auto hierarchyMatches = [&](int field) {
        return static_cast<int>(list.number(field)) == target.CurrentHierarchy();
    };
    if (word == "RD") {
        target.Repaint();
    } else if (word == "MX") {
        target.Maximize();
    } else if (word == "MN") {
        target.Minimize();
    } else if (word == "DF") {
        target.RestoreSize();
    } else if (word == "UP") {
        target.ReloadDesign();
    } else if (word == "EX") {
        target.Exit();
    } else if (word == "FL") {
        if (!hierarchyMatches(5)) return false;
        target.CentreOn(list.number(3), list.number(4));
    } else if (word == "BL") {
        if (!hierarchyMatches(9)) return false;
        const double width = list.number(3), height = list.number(4);
        target.ZoomToBox(std::fabs(width), std::fabs(height), list.number(7) - width / 2,
                         list.number(8) - height / 2);
    } else {
        return false;
    }
    return true;
}

}  // namespace qor::frontend
