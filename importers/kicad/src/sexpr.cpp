#include "sexpr.h"

#include <charconv>

namespace qor::kicad {

namespace {

// Nesting deeper than any board file stops the parse instead of the stack.
constexpr int kMaxDepth = 200;

class Parser {
public:
    explicit Parser(std::string_view text) : s_(text) {}

    Sexpr parseTop() {
        skipSpace();
        if (pos_ >= s_.size()) throw FormatError(line_, "empty file, expected '('");
        if (s_[pos_] != '(') throw FormatError(line_, "expected '(' at the start of the file");
        Sexpr top = parseList(0);
        skipSpace();
        if (pos_ < s_.size()) throw FormatError(line_, "unexpected text after the end of the board");
        return top;
    }

private:
    void skipSpace() {
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c == '\n') ++line_;
            if (c != ' ' && c != '\t' && c != '\n' && c != '\r') break;
            ++pos_;
        }
    }

    Sexpr parseList(int depth) {
        if (depth > kMaxDepth) throw FormatError(line_, "lists nested too deeply");
        Sexpr list;
        list.isList = true;
        list.line = line_;
        ++pos_;  // '('
        for (;;) {
            skipSpace();
            if (pos_ >= s_.size())
                throw FormatError(line_, "unexpected end of file, expected ')' closing the list opened on line " +
                                             std::to_string(list.line));
            const char c = s_[pos_];
            if (c == ')') {
                ++pos_;
                return list;
            }
            if (c == '(') list.items.push_back(parseList(depth + 1));
            else if (c == '"') list.items.push_back(parseString());
            else list.items.push_back(parseAtom());
        }
    }

    Sexpr parseString() {
        Sexpr atom;
        atom.line = line_;
        ++pos_;  // opening quote
        for (;;) {
            if (pos_ >= s_.size()) throw FormatError(atom.line, "unterminated string, expected '\"'");
            const char c = s_[pos_++];
            if (c == '"') return atom;
            if (c == '\n') ++line_;
            if (c == '\\' && pos_ < s_.size()) {
                const char e = s_[pos_++];
                atom.atom.push_back(e == 'n' ? '\n' : e);
            } else {
                atom.atom.push_back(c);
            }
        }
    }

    Sexpr parseAtom() {
        Sexpr atom;
        atom.line = line_;
        const size_t start = pos_;
        while (pos_ < s_.size()) {
            const char c = s_[pos_];
            if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '(' || c == ')' || c == '"') break;
            ++pos_;
        }
        atom.atom = std::string(s_.substr(start, pos_ - start));
        return atom;
    }

    std::string_view s_;
    size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

const std::string& Sexpr::head() const {
    static const std::string none;
    return isList && !items.empty() && !items[0].isList ? items[0].atom : none;
}

const Sexpr* Sexpr::find(std::string_view name) const {
    for (const Sexpr& s : items)
        if (s.isList && s.head() == name) return &s;
    return nullptr;
}

std::vector<const Sexpr*> Sexpr::all(std::string_view name) const {
    std::vector<const Sexpr*> out;
    for (const Sexpr& s : items)
        if (s.isList && s.head() == name) out.push_back(&s);
    return out;
}

bool Sexpr::hasAtom(std::string_view word) const {
    for (size_t i = 1; i < items.size(); ++i)
        if (!items[i].isList && items[i].atom == word) return true;
    return false;
}

const std::string& Sexpr::text(size_t i) const {
    if (i >= items.size() || items[i].isList)
        throw FormatError(line, "expected a text as item " + std::to_string(i) + " of (" + head() + " ...)");
    return items[i].atom;
}

std::optional<double> Sexpr::numberIf(size_t i) const {
    if (i >= items.size() || items[i].isList) return std::nullopt;
    const std::string& a = items[i].atom;
    double v = 0;
    const char* first = a.data();
    if (!a.empty() && a[0] == '+') ++first;
    const auto [end, ec] = std::from_chars(first, a.data() + a.size(), v);
    if (ec != std::errc() || end != a.data() + a.size()) return std::nullopt;
    return v;
}

double Sexpr::number(size_t i) const {
    if (const auto v = numberIf(i)) return *v;
    throw FormatError(i < items.size() ? items[i].line : line,
                      "expected a number as item " + std::to_string(i) + " of (" + head() + " ...)");
}

Sexpr parseSexpr(std::string_view text) { return Parser(text).parseTop(); }

}  // namespace qor::kicad
