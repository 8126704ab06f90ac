#include "qor/localtext/localtext.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unordered_map>

namespace {

struct Catalog {
    std::unordered_map<int32_t, std::string> texts;
    bool loaded = false;
};

Catalog& catalog() {
    static Catalog c;
    return c;
}

std::string unescape(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size() && s[i + 1] == 'n') {
            out.push_back('\n');
            ++i;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

bool read(const char* path, std::unordered_map<int32_t, std::string>& texts) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        const size_t eq = line.find('=', first);
        if (eq == std::string::npos) continue;
        int32_t number = 0;
        const char* begin = line.data() + first;
        const auto [end, ec] = std::from_chars(begin, line.data() + eq, number);
        if (ec != std::errc() || end == begin) continue;
        texts[number] = unescape(std::string_view(line).substr(eq + 1));
    }
    return true;
}

}  // namespace

extern "C" {

const char* L32_Object_GetMessage(int32_t number) {
    try {
        Catalog& c = catalog();
        if (!c.loaded) {
            c.loaded = true;
            if (const char* path = std::getenv("QOR_MESSAGES")) read(path, c.texts);
        }
        const auto it = c.texts.find(number);
        return it == c.texts.end() ? nullptr : it->second.c_str();
    } catch (...) {
        return nullptr;
    }
}

int32_t L32_LoadCatalog(const char* path) {
    try {
        std::unordered_map<int32_t, std::string> texts;
        if (!path || !read(path, texts)) return -1;
        Catalog& c = catalog();
        c.texts = std::move(texts);
        c.loaded = true;
        return static_cast<int32_t>(c.texts.size());
    } catch (...) {
        return -1;
    }
}

}  // extern "C"
