#include "qor/frontend/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace qor::frontend {

namespace {

constexpr int kSignificant = 15;

// A finite non-negative value as kSignificant decimal digits d1 d2 ... and an exponent e, so that
// value = 0.d1d2... x 10^e; zero has all digits '0' and e = 1.
struct Decimal {
    std::string digits;
    int exponent = 1;
};

Decimal toDecimal(double magnitude) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, kSignificant - 1);
    const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    Decimal d;
    const size_t e = text.find('e');
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.') d.digits.push_back(text[i]);
    d.exponent = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
    if (magnitude == 0) d.exponent = 1;
    return d;
}

// Rounds to `keep` digits after the decimal point (halves away from zero) and returns the integer
// digits and the fraction digits (exactly `keep` of them).
void roundDecimal(const Decimal& d, int keep, std::string& integer, std::string& fraction) {
    // All digits of the number from the first integer place down to the last kept fraction place.
    const int integerDigits = std::max(d.exponent, 0);
    std::string all;
    // Positions relative to the decimal point: digit k of d.digits (0-based) sits at place
    // exponent - 1 - k (0 = units).
    for (int place = integerDigits - 1; place >= -keep; --place) {
        const int k = d.exponent - 1 - place;
        all.push_back(k >= 0 && k < static_cast<int>(d.digits.size())
                          ? d.digits[static_cast<size_t>(k)]
                          : '0');
    }
    const int next = d.exponent - 1 + keep + 1;  // index in d.digits of the first dropped digit
    const bool roundUp = next >= 0 && next < static_cast<int>(d.digits.size()) &&
                         d.digits[static_cast<size_t>(next)] >= '5';
    if (roundUp) {
        int i = static_cast<int>(all.size()) - 1;
        for (; i >= 0; --i) {
            if (all[static_cast<size_t>(i)] == '9') {
                all[static_cast<size_t>(i)] = '0';
            } else {
                ++all[static_cast<size_t>(i)];
                break;
            }
        }
        if (i < 0) all.insert(all.begin(), '1');
    }
    const size_t split = all.size() - static_cast<size_t>(keep);
    integer = all.substr(0, split);
    fraction = all.substr(split);
}

struct Pattern {
    int integerZeros = 0;
    int fractionZeros = 0;
    int fractionPlaces = 0;
};

bool parsePattern(std::string_view p, Pattern& out) {
    const size_t point = p.find('.');
    const std::string_view integer = p.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : p.substr(point + 1);
    if (integer.empty() && fraction.empty()) return false;
    for (const char c : integer) {
        if (c == '0') {
            ++out.integerZeros;
        } else if (c != '#') {
            return false;
        }
    }
    bool optional = false;
    for (const char c : fraction) {
        if (c == '0' && !optional) {
            ++out.fractionZeros;
        } else if (c == '#') {
            optional = true;
        } else {
            return false;  // a '0' after a '#' place, a second point or another character
        }
        ++out.fractionPlaces;
    }
    return true;
}

std::string nonFinite(double value) {
    if (std::isnan(value)) return "NaN";
    return value < 0 ? "-Infinity" : "Infinity";
}

}  // namespace

bool IsNumberPattern(std::string_view pattern) {
    Pattern p;
    return parsePattern(pattern, p);
}

std::string FormatNumber(double value, std::string_view pattern) {
    Pattern p;
    if (!parsePattern(pattern, p)) return GeneralNumber(value);
    if (!std::isfinite(value)) return nonFinite(value);
    std::string integer, fraction;
    roundDecimal(toDecimal(std::fabs(value)), p.fractionPlaces, integer, fraction);
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size()));
    while (static_cast<int>(integer.size()) < p.integerZeros) integer.insert(integer.begin(), '0');
    while (static_cast<int>(fraction.size()) > p.fractionZeros && fraction.back() == '0')
        fraction.pop_back();
    const bool zero = integer.find_first_not_of('0') == std::string::npos &&
                      fraction.find_first_not_of('0') == std::string::npos;
    std::string out = value < 0 && !zero ? "-" : "";
    out += integer;
    if (!fraction.empty()) out += "." + fraction;
    return out;
}

std::string DecimalText(int64_t value) {
    return (value >= 0 ? " " : "") + std::to_string(value);
}

std::string GeneralNumber(double value) {
    if (!std::isfinite(value)) return nonFinite(value);
    if (value == 0) return "0";
    Decimal d = toDecimal(std::fabs(value));
    const std::string sign = value < 0 ? "-" : "";
    // Plain notation for 1E-04 <= |value| < 1E+15, judged on the rounded digits.
    if (d.exponent >= -3 && d.exponent <= kSignificant) {
        std::string integer, fraction;
        roundDecimal(d, kSignificant - d.exponent, integer, fraction);
        integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size() - 1));
        while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
        if (integer.empty()) integer = "0";
        return sign + integer + (fraction.empty() ? "" : "." + fraction);
    }
    std::string mantissa = d.digits;
    while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
    const int exponent = d.exponent - 1;
    std::string out = sign + mantissa.substr(0, 1);
    if (mantissa.size() > 1) out += "." + mantissa.substr(1);
    const std::string digits = std::to_string(std::abs(exponent));
    out += std::string("E") + (exponent < 0 ? "-" : "+") + (digits.size() < 2 ? "0" : "") + digits;
    return out;
}

}  // namespace qor::frontend
