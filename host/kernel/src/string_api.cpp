// E_ calls: the host string store and value text.
#include <cstring>

#include "guard.h"
#include "qor/kernel/kernel.h"
#include "valuetext.h"

using namespace qor::kernel;

extern "C" {

const char* E_GetString(const char* key) {
    return guard<const char*>(nullptr, [&]() -> const char* {
        if (!key) return nullptr;
        const auto it = state().strings.find(key);
        return it == state().strings.end() ? nullptr : it->second.c_str();
    });
}

int32_t E_SetString(const char* key, const char* text) {
    return guard(0, [&] {
        if (!key || !*key) return 0;
        if (!text || !*text) state().strings.erase(key);
        else state().strings[key] = text;
        return 1;
    });
}

int32_t E_FormatFloatValue(char* buffer, double value, const char* unit, int32_t digits, int8_t lowestPrefix,
                           int32_t flags) {
    (void)flags;
    return guard(0, [&] {
        if (!buffer) return 0;
        std::string text = formatEngineering(value, unit ? unit : "", digits, lowestPrefix);
        if (text.size() > 254) text.resize(254);
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return static_cast<int32_t>(text.size());
    });
}

double E_GetFloatValue(const char* text) {
    return guard(0.0, [&] { return text ? parseEngineering(text) : 0.0; });
}

}  // extern "C"
