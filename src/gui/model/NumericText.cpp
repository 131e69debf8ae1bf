#include "gui/model/NumericText.h"

#include "gui/app/Strings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace sonivera {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string FillBounds(const char* pattern, const std::string& min, const std::string& max) {
    std::string out = pattern;
    const auto p1 = out.find("%1");
    out.replace(p1, 2, min);
    const auto p2 = out.find("%2");
    out.replace(p2, 2, max);
    return out;
}

// Whether s is [sign] (digits [. [digits]] | . digits) [(e|E) [sign] digits].
bool IsDecimalNumber(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    std::size_t mantissaDigits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        ++i;
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        std::size_t exponentDigits = 0;
        while (i < s.size() && IsDigit(s[i])) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
    }
    return i == s.size();
}

// strtod in the C locale, whatever locale the toolkit has set.
double ParseCDouble(const std::string& s) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t{});
    return strtod_l(s.c_str(), nullptr, cLocale);
}

} // namespace

std::string FormatIntField(int value) {
    return std::to_string(value);
}

std::string FormatDoubleField(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

FieldCheck<int> CheckIntField(std::string_view text, int min, int max) {
    const std::string_view s = Trim(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    if (i == s.size()) {
        return {std::nullopt, text::kEnterInteger};
    }
    long long magnitude = 0;
    for (; i < s.size(); ++i) {
        if (!IsDigit(s[i])) {
            return {std::nullopt, text::kEnterInteger};
        }
        // Saturate well above the int range; such a value is refused by the range check.
        magnitude = std::min(magnitude * 10 + (s[i] - '0'), 1LL << 40);
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value < min || value > max) {
        return {std::nullopt,
                FillBounds(text::kEnterIntegerBetween, FormatIntField(min), FormatIntField(max))};
    }
    return {static_cast<int>(value), {}};
}

FieldCheck<double> CheckDoubleField(std::string_view text, double min, double max) {
    const std::string_view s = Trim(text);
    if (!IsDecimalNumber(s)) {
        return {std::nullopt, text::kEnterNumber};
    }
    // A value beyond the double range parses as an infinity and fails the range check.
    const double value = ParseCDouble(std::string(s));
    if (!(value >= min && value <= max)) {
        return {std::nullopt, FillBounds(text::kEnterNumberBetween, FormatDoubleField(min),
                                         FormatDoubleField(max))};
    }
    return {value, {}};
}

int TruncateToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

} // namespace sonivera
