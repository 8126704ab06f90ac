#include "qor/frontend/net_parameters.h"

#include <algorithm>
#include <cmath>

#include "qor/frontend/list_parser.h"
#include "qor/frontend/localization.h"
#include "qor/kernel/kernel.h"

namespace qor::frontend {

std::string FormatEngValue(double value, std::string_view unit) {
    // The smallest prefix the text may use follows the value's magnitude.
    const double magnitude = std::fabs(value);
    const int8_t prefix = magnitude <= 1e-13 ? -5 : magnitude <= 1e-10 ? -4 : magnitude <= 1e-7 ? -3 : magnitude <= 1e-4 ? -2 : -1;
    char buffer[255];
    const std::string unitText(unit);
    const int32_t length = E_FormatFloatValue(buffer, value, unitText.c_str(), -6, prefix, 0);
    std::string text(buffer, static_cast<size_t>(std::max(0, length)));
    if (const size_t micro = text.find('\xB5'); micro != std::string::npos)
        text.replace(micro, 1, LocalText("\xC2\xB5", 991454));
    return text;
}

double ParseEngValue(std::string_view text) {
    std::string trimmed = TrimBlanks(text);
    if (trimmed.empty()) trimmed = "0";
    return E_GetFloatValue(trimmed.c_str());
}

NetParamTable::NetParamTable() : slots_(kSlots + 1) {}

bool NetParamTable::set(int32_t index, double voltage, double frequency) {
    if (index < 1 || index > kSlots) return false;
    Slot& s = slots_[static_cast<size_t>(index)];
    if (voltage != 0 && frequency != 0) {
        s = {true, voltage, frequency};
        return true;
    }
    s = Slot{};
    return false;
}

bool NetParamTable::clear(int32_t index) {
    if (index < 1 || index > kSlots) return false;
    slots_[static_cast<size_t>(index)].set = false;
    return true;
}

bool NetParamTable::get(int32_t index, double& voltage, double& frequency) const {
    if (index < 1 || index > kSlots || !slots_[static_cast<size_t>(index)].set) return false;
    voltage = slots_[static_cast<size_t>(index)].voltage;
    frequency = slots_[static_cast<size_t>(index)].frequency;
    return true;
}

void NetParamTable::clearAll() { std::fill(slots_.begin(), slots_.end(), Slot{}); }

std::vector<int32_t> NetParamTable::setIndices() const {
    std::vector<int32_t> out;
    for (int32_t i = 1; i <= kSlots; ++i)
        if (slots_[static_cast<size_t>(i)].set) out.push_back(i);
    return out;
}

namespace {
bool isNoValue(const std::string& field) {
    const std::string t = TrimBlanks(field);
    return t == "x" || t == "X";
}
}  // namespace

NetParameterLoad LoadNetParameters(std::string_view text, bool append, NetParamTable& table,
                                   const std::function<int32_t(const std::string&)>& netIndex) {
    NetParameterLoad result;
    if (!append) table.clearAll();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        const ParsedList fields = ParseList(line);
        const int32_t index = fields.count() == 5 ? netIndex(TrimBlanks(fields.word(1))) : 0;
        double voltage = 0, frequency = 0;
        if (index == 0 || (append && table.get(index, voltage, frequency))) {
            ++result.skipped;
            continue;
        }
        voltage = isNoValue(fields.word(2)) ? 0 : ParseEngValue(fields.word(2));
        frequency = isNoValue(fields.word(5)) ? 0 : ParseEngValue(fields.word(5));
        table.set(index, voltage, frequency);
        ++result.applied;
    }
    return result;
}

std::string NetParameterText(const NetParamTable& table, const std::function<std::string(int32_t)>& netName) {
    std::string text;
    for (const int32_t index : table.setIndices()) {
        double voltage = 0, frequency = 0;
        table.get(index, voltage, frequency);
        text += netName(index) + "," + FormatEngValue(voltage, "V") + ",x ,x," + FormatEngValue(frequency, "Hz") + "\r\n";
    }
    return text;
}

}  // namespace qor::frontend
