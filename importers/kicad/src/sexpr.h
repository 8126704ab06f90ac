// S-expressions as KiCad writes them: lists of atoms and quoted strings, with line numbers kept
// for error messages.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qor::kicad {

// A parse or content error that names the line where it was found.
class FormatError : public std::runtime_error {
public:
    FormatError(int line, const std::string& what)
        : std::runtime_error("line " + std::to_string(line) + ": " + what), line_(line) {}
    int line() const { return line_; }

private:
    int line_;
};

struct Sexpr {
    bool isList = false;
    std::string atom;  // the atom's text, unquoted (lists: empty)
    int line = 0;
    std::vector<Sexpr> items;

    // A list's head word ("footprint" of "(footprint ...)"), or "".
    const std::string& head() const;
    // The first child list with this head, or nullptr.
    const Sexpr* find(std::string_view name) const;
    // All child lists with this head.
    std::vector<const Sexpr*> all(std::string_view name) const;
    // Whether a bare atom (a flag such as "locked") stands among the items.
    bool hasAtom(std::string_view word) const;

    // Item i as text or number; FormatError naming the line and what was expected otherwise.
    const std::string& text(size_t i) const;
    double number(size_t i) const;
    std::optional<double> numberIf(size_t i) const;
};

// Parses one top-level expression; throws FormatError.
Sexpr parseSexpr(std::string_view text);

}  // namespace qor::kicad
