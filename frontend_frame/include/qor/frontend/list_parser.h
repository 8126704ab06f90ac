// The comma-list parser that every profile value, host record and command goes through, and the
// leading-number reader of its fields.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qor::frontend {

// The fields of one comma list. Both arrays are indexed from 1 to n; index 0 of ListWords is
// empty and index 0 of ListNumbers holds n.
struct ParsedList {
    std::vector<std::string> ListWords;
    std::vector<double> ListNumbers;

    int count() const { return static_cast<int>(ListWords.size()) - 1; }
    // Field i (1-based); the empty text past the last field.
    const std::string& word(int i) const;
    // The numeric value of field i; 0 past the last field.
    double number(int i) const;
};

// Splits text at every comma. Three items joined by two commas give three fields; one more comma
// at the end gives a fourth, empty field; the empty text gives one empty field. Blanks are kept.
ParsedList ParseList(std::string_view text);

// The leading number of a field: optional blanks, an optional sign, digits with an optional
// fraction and exponent. The first comma counts as a decimal point ("12,5" gives 12.5). Reading
// stops at the first character that does not fit; a text that does not start with a number, or
// one out of range, gives 0.
double TextToNumber(std::string_view text);

// The text without leading and trailing blanks.
std::string TrimBlanks(std::string_view text);

}  // namespace qor::frontend
