#include "valuetext.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qor::kernel {
namespace {

// Prefix exponents in steps of 3, from femto (-5) to tera (4).
constexpr int kLowestPrefix = -5;
constexpr int kHighestPrefix = 4;
constexpr char kPrefixLetters[] = {'f', 'p', 'n', kMicroSign, 'm', 0, 'k', 'M', 'G', 'T'};

char prefixLetter(int p) { return kPrefixLetters[p - kLowestPrefix]; }

std::string mantissaText(double mantissa, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", digits, mantissa);
    return buf;
}

}  // namespace

std::string formatEngineering(double value, std::string_view unit, int digits, int lowestPrefix) {
    digits = std::abs(digits);
    if (digits == 0) digits = 6;
    if (digits > 15) digits = 15;
    if (lowestPrefix < kLowestPrefix || lowestPrefix > -1) lowestPrefix = kLowestPrefix;
    std::string out;
    if (value == 0 || !std::isfinite(value)) {
        out.push_back('0');
    } else {
        const double magnitude = std::fabs(value);
        int p = static_cast<int>(std::floor(std::log10(magnitude) / 3.0));
        p = std::clamp(p, lowestPrefix, kHighestPrefix);
        double mantissa = magnitude / std::pow(10.0, 3 * p);
        std::string text = mantissaText(mantissa, digits);
        // Rounding can carry the mantissa to 1000: move up one prefix.
        if (std::strtod(text.c_str(), nullptr) >= 1000 && p < kHighestPrefix) {
            ++p;
            mantissa = magnitude / std::pow(10.0, 3 * p);
            text = mantissaText(mantissa, digits);
        } else if (std::strtod(text.c_str(), nullptr) < 1 && p > lowestPrefix && mantissa >= 1) {
            --p;
            text = mantissaText(magnitude / std::pow(10.0, 3 * p), digits);
        }
        if (value < 0) out.push_back('-');
        out.append(text);
        if (const char letter = prefixLetter(p)) out += letter;
    }
    out += unit;
    return out;
}

double parseEngineering(std::string_view text, bool* ok) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    double value = 0;
    const char* first = text.data() + i;
    const auto [end, ec] = std::from_chars(first, text.data() + text.size(), value);
    if (ec != std::errc() || end == first) {
        if (ok) *ok = false;
        return 0;
    }
    if (ok) *ok = true;
    i = static_cast<size_t>(end - text.data());
    while (i < text.size() && text[i] == ' ') ++i;
    double scale = 1;
    if (i < text.size()) {
        const char c = text[i];
        const auto next = [&](size_t k) { return i + k < text.size() ? text[i + k] : '\0'; };
        switch (c) {
            case 'f': scale = 1e-15; break;
            case 'p': case 'P': scale = 1e-12; break;
            case 'n': case 'N': scale = 1e-9; break;
            case 'u': case 'U': case kMicroSign: scale = 1e-6; break;
            case 'm':
                // "meg" is mega in circuit-simulator notation.
                scale = (next(1) == 'e' || next(1) == 'E') && (next(2) == 'g' || next(2) == 'G') ? 1e6 : 1e-3;
                break;
            case 'M': scale = 1e6; break;
            case 'k': case 'K': scale = 1e3; break;
            case 'g': case 'G': scale = 1e9; break;
            case 't': case 'T': scale = 1e12; break;
            case '\xC2':  // UTF-8 micro sign
                if (next(1) == kMicroSign) scale = 1e-6;
                break;
            default: break;
        }
    }
    value *= scale;
    return negative ? -value : value;
}

}  // namespace qor::kernel
