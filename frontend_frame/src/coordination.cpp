#include "qor/frontend/coordination.h"

#include <cctype>
#include <cstdlib>

#include "qor/frontend/list_parser.h"
#include "qor/frontend/localization.h"
#include "qor/frontend/number_format.h"
#include "qor/frontend/text_utils.h"
#include "qor/kernel/kernel.h"

namespace qor::frontend {

namespace {

std::string upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// The busy fields of a record. The caption comes first and may itself contain commas, so the four
// numbers are taken from the end of the record.
struct RecordFields {
    std::string caption;
    double zero = 0, code = 0, depth = 0;
};

RecordFields readRecord(const std::string& record) {
    const ParsedList list = ParseList(record);
    const int n = list.count();
    RecordFields f;
    if (n < 5) {  // not a record of ours: read what is there
        f.caption = list.word(1);
        f.zero = list.number(3), f.code = list.number(4), f.depth = list.number(5);
        return f;
    }
    f.caption = list.word(1);
    for (int i = 2; i <= n - 4; ++i) f.caption += "," + list.word(i);
    f.zero = list.number(n - 2), f.code = list.number(n - 1), f.depth = list.number(n);
    return f;
}

}  // namespace

void AnalyzerCoordination::Start() {
    keys_.clear();
    ownPosition_ = 0;
    const std::string all = HostText(E_GetString("AllAps"));
    if (all.empty()) return;
    const ParsedList list = ParseList(all);
    for (int i = 1; i <= list.count(); ++i) {
        keys_.push_back(list.word(i));
        if (TrimBlanks(list.word(i)) == AnalyzerKey(analyzer_)) ownPosition_ = i;
    }
}

std::string AnalyzerCoordination::StatusRecord(int operationCode) const {
    return window_.caption() + "," + DecimalText(window_.windowState()) + "," + DecimalText(0) +
           "," + DecimalText(operationCode) + "," + DecimalText(modalDepth_);
}

void AnalyzerCoordination::PublishStatus(bool write, int operationCode) {
    E_SetString(AnalyzerKey(analyzer_), write ? StatusRecord(operationCode).c_str() : "");
}

BusyResult AnalyzerCoordination::CheckOtherAnalyzers(bool silent) {
    for (const std::string& listed : keys_) {
        const std::string key = TrimBlanks(listed);
        if (key.empty() || key == AnalyzerKey(analyzer_)) continue;  // an empty field names nobody
        const std::string record = HostText(E_GetString(key.c_str()));
        if (TrimBlanks(HostText(E_GetString(upper(key + "mw_").c_str()))) != "1") {
            E_SetString(key.c_str(), "");  // a stale record of an analyzer that no longer runs
            continue;
        }
        if (record.empty()) continue;
        const RecordFields f = readRecord(record);
        if (f.zero == 0 && f.code == 0 && f.depth == 0) continue;
        if (!silent) {
            try {
                box_.show({"Qor32", LocalText("Finish current operation for: ", 99688) + f.caption,
                           MessageIcon::Warning, true});
            } catch (...) {
            }
        }
        return {true, f.caption};
    }
    return {};
}

void AnalyzerCoordination::ShowModalDialog(const std::function<void()>& showModal) {
    ++modalDepth_;
    PublishStatus(true, -1);
    struct Lower {
        AnalyzerCoordination& c;
        ~Lower() {
            if (c.modalDepth_ > 0) --c.modalDepth_;
            c.PublishStatus(true, -1);
        }
    } lower{*this};
    showModal();
}

Placement AnalyzerCoordination::CentreOnScreen(Analyzer analyzer, int windowHeight, int windowWidth,
                                               int screenHeight, int screenWidth) {
    if (analyzer == Analyzer::Em)
        return {(screenHeight - windowHeight) / 2, (screenWidth - windowWidth) / 2};
    return {std::abs(windowHeight - screenHeight) / 2, std::abs(windowWidth - screenWidth) / 2};
}

}  // namespace qor::frontend
