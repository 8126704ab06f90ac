#include "qor/platform/profile.h"

#include <cstdio>
#include <cctype>
#include <fstream>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace qor::profile {
namespace {

std::string_view trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (std::tolower(ca) != std::tolower(cb)) return false;
    }
    return true;
}

// One line of the file, classified once.
struct Line {
    std::string text;
    std::optional<std::string> section;  // set on "[Name]" lines
    std::optional<std::string> key;      // set on "Key=Value" lines
    std::string value;
};

Line classify(std::string text) {
    Line line;
    const std::string_view t = trim(text);
    if (t.size() >= 2 && t.front() == '[') {
        const auto close = t.find(']');
        if (close != std::string_view::npos) line.section = std::string(trim(t.substr(1, close - 1)));
    } else if (!t.empty() && t.front() != ';' && t.front() != '#') {
        const auto eq = t.find('=');
        if (eq != std::string_view::npos) {
            line.key = std::string(trim(t.substr(0, eq)));
            std::string_view v = trim(t.substr(eq + 1));
            if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
            line.value = std::string(v);
        }
    }
    line.text = std::move(text);
    return line;
}

std::vector<Line> load(const std::string& file) {
    std::vector<Line> lines;
    std::ifstream in(file, std::ios::binary);
    std::string text;
    while (std::getline(in, text)) {
        if (!text.empty() && text.back() == '\r') text.pop_back();
        lines.push_back(classify(std::move(text)));
    }
    return lines;
}

// Writes the lines to a temporary file beside the target and renames it over the target.
bool store(const std::string& file, const std::vector<Line>& lines) {
    const std::string tmp = file + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        for (const Line& line : lines) out << line.text << "\r\n";
        out.flush();
        if (!out) {
            out.close();
            std::remove(tmp.c_str());
            return false;
        }
    }
    if (std::rename(tmp.c_str(), file.c_str()) != 0) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

// Index range [begin, end) of a section's body (the lines after its header), or nullopt.
struct Range {
    size_t header, begin, end;
};
std::optional<Range> findSection(const std::vector<Line>& lines, std::string_view section) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].section || !equalNoCase(*lines[i].section, section)) continue;
        size_t end = i + 1;
        while (end < lines.size() && !lines[end].section) ++end;
        return Range{i, i + 1, end};
    }
    return std::nullopt;
}

std::optional<size_t> findKey(const std::vector<Line>& lines, const Range& r, std::string_view key) {
    for (size_t i = r.begin; i < r.end; ++i)
        if (lines[i].key && equalNoCase(*lines[i].key, key)) return i;
    return std::nullopt;
}

}  // namespace

std::string readString(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view def) {
    const auto lines = load(file);
    const auto range = findSection(lines, section);
    if (!range) return std::string(def);
    const auto at = findKey(lines, *range, key);
    return at ? lines[*at].value : std::string(def);
}

int readInt(const std::string& file, std::string_view section, std::string_view key, int def) {
    const auto lines = load(file);
    const auto range = findSection(lines, section);
    if (!range) return def;
    const auto at = findKey(lines, *range, key);
    if (!at) return def;
    const std::string& v = lines[*at].value;
    size_t i = 0;
    bool negative = false;
    if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
    long long n = 0;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9' && n < 10000000000LL) n = n * 10 + (v[i++] - '0');
    if (n > 2147483647LL) n = 2147483647LL;
    return static_cast<int>(negative ? -n : n);
}

bool writeString(const std::string& file, std::string_view section, std::string_view key,
                 std::string_view value) {
    auto lines = load(file);
    const std::string text = std::string(key) + "=" + std::string(value);
    auto range = findSection(lines, section);
    if (!range) {
        if (!lines.empty() && !trim(lines.back().text).empty()) lines.push_back(classify(""));
        lines.push_back(classify("[" + std::string(section) + "]"));
        lines.push_back(classify(text));
        return store(file, lines);
    }
    if (const auto at = findKey(lines, *range, key)) {
        lines[*at] = classify(text);
    } else {
        // New keys go after the section's last non-blank line.
        size_t pos = range->end;
        while (pos > range->begin && trim(lines[pos - 1].text).empty()) --pos;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(pos), classify(text));
    }
    return store(file, lines);
}

bool deleteKey(const std::string& file, std::string_view section, std::string_view key) {
    auto lines = load(file);
    const auto range = findSection(lines, section);
    if (!range) return true;
    const auto at = findKey(lines, *range, key);
    if (!at) return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*at));
    return store(file, lines);
}

bool deleteSection(const std::string& file, std::string_view section) {
    auto lines = load(file);
    const auto range = findSection(lines, section);
    if (!range) return true;
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(range->header),
                lines.begin() + static_cast<std::ptrdiff_t>(range->end));
    return store(file, lines);
}

std::vector<std::string> keys(const std::string& file, std::string_view section) {
    std::vector<std::string> names;
    const auto lines = load(file);
    const auto range = findSection(lines, section);
    if (!range) return names;
    for (size_t i = range->begin; i < range->end; ++i)
        if (lines[i].key) names.push_back(*lines[i].key);
    return names;
}

}  // namespace qor::profile
