#include "qor/frontend/list_parser.h"

#include <charconv>
#include <cmath>

namespace qor::frontend {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

const std::string& ParsedList::word(int i) const {
    static const std::string empty;
    return i >= 1 && i <= count() ? ListWords[static_cast<size_t>(i)] : empty;
}

double ParsedList::number(int i) const {
    return i >= 1 && i <= count() ? ListNumbers[static_cast<size_t>(i)] : 0.0;
}

ParsedList ParseList(std::string_view text) {
    ParsedList list;
    list.ListWords.emplace_back();
    list.ListNumbers.push_back(0);
    size_t start = 0;
    for (size_t comma = text.find(','); comma != std::string_view::npos;
         comma = text.find(',', start)) {
        const std::string_view field = text.substr(start, comma - start);
        list.ListWords.emplace_back(field);
        list.ListNumbers.push_back(TextToNumber(field));
        start = comma + 1;
    }
    const std::string_view last = text.substr(start);
    list.ListWords.emplace_back(last);
    list.ListNumbers.push_back(TextToNumber(last));
    list.ListNumbers[0] = list.count();
    return list;
}

double TextToNumber(std::string_view text) {
    std::string s(text);
    if (const size_t comma = s.find(','); comma != std::string::npos) s[comma] = '.';
    size_t i = s.find_first_not_of(' ');
    if (i == std::string::npos) return 0;
    const size_t begin = i;
    if (s[i] == '+' || s[i] == '-') ++i;
    const size_t digitsStart = i;
    while (i < s.size() && isDigit(s[i])) ++i;
    bool anyDigit = i > digitsStart;
    if (i < s.size() && s[i] == '.') {
        const size_t fractionStart = ++i;
        while (i < s.size() && isDigit(s[i])) ++i;
        anyDigit = anyDigit || i > fractionStart;
    }
    if (!anyDigit) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        const size_t exponentStart = j;
        while (j < s.size() && isDigit(s[j])) ++j;
        if (j > exponentStart) i = j;
    }
    // from_chars takes no leading '+' and no bare leading '.', so hand it a tidied copy.
    std::string number;
    if (s[begin] == '-') number.push_back('-');
    std::string_view body(s.data() + digitsStart, i - digitsStart);
    if (!body.empty() && body[0] == '.') number.push_back('0');
    number.append(body);
    double value = 0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec != std::errc() || !std::isfinite(value)) return 0;
    return value;
}

std::string TrimBlanks(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace qor::frontend
