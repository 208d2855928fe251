#include "settings/number_rules.h"

#include <cfenv>
#include <charconv>
#include <cmath>
#include <limits>

namespace tamaruka {
namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(char c)
{
    return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }
int digitValue(char c)
{
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}
char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// "&H1F" or "&O17" at the start of text (nothing else); nullopt when the
// text does not start that way.
std::optional<double> radixValue(std::string_view text, std::size_t& used)
{
    used = 0;
    if (text.size() < 2 || text[0] != '&') return std::nullopt;
    const char kind = upper(text[1]);
    if (kind != 'H' && kind != 'O') return std::nullopt;
    const int base = kind == 'H' ? 16 : 8;
    double value = 0;
    std::size_t i = 2;
    while (i < text.size() && (base == 16 ? isHexDigit(text[i]) : isOctalDigit(text[i]))) {
        value = value * base + digitValue(text[i]);
        ++i;
    }
    used = i;
    return value;
}

// Decimal digits, a decimal point and an exponent at the start of text, in
// the plain form from_chars reads ("12.5e3"). Stops where the number cannot
// go on; an "E" without exponent digits is not part of the number.
std::string leadingDecimal(std::string_view text, std::size_t& used)
{
    std::string number;
    std::size_t i = 0;
    while (i < text.size() && isDigit(text[i])) number += text[i++];
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        while (i < text.size() && isDigit(text[i])) number += text[i++];
    }
    const bool hasDigits = number.find_first_of("0123456789") != std::string::npos;
    if (hasDigits && i < text.size() && upper(text[i]) == 'E') {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j])) exponent += text[j++];
            number += exponent;
            i = j;
        }
    }
    used = i;
    return hasDigits ? number : std::string();
}

double decimalValue(const std::string& number)
{
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too large reads as infinite (and then fits nothing); too small as 0.
        const auto e = number.find('e');
        return (e != std::string::npos && number[e + 1] == '-')
                   ? 0.0
                   : std::numeric_limits<double>::infinity();
    }
    (void)end;
    return value;
}

template <class Int>
std::optional<Int> roundHalfEven(double value)
{
    if (!std::isfinite(value)) return std::nullopt;
    const int oldMode = std::fegetround();
    std::fesetround(FE_TONEAREST);  // nearest, ties to even
    const double rounded = std::nearbyint(value);
    std::fesetround(oldMode);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return static_cast<Int>(rounded);
}

// Full-width forms of ASCII (U+FF01..U+FF5E) and the ideographic blank typed
// through a Japanese input method count as their ASCII characters.
std::string narrowed(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        if (b0 == 0xEF && i + 2 < text.size()) {
            const unsigned cp = ((b0 & 0x0Fu) << 12) |
                                ((static_cast<unsigned char>(text[i + 1]) & 0x3Fu) << 6) |
                                (static_cast<unsigned char>(text[i + 2]) & 0x3Fu);
            if (cp >= 0xFF01 && cp <= 0xFF5E) {
                out += static_cast<char>(cp - 0xFF01 + 0x21);
                i += 3;
                continue;
            }
        }
        if (text.substr(i, 3) == "\xE3\x80\x80") {  // U+3000
            out += ' ';
            i += 3;
            continue;
        }
        out += text[i++];
    }
    return out;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Skips n UTF-8 characters.
std::string_view afterCharacters(std::string_view text, std::size_t n)
{
    std::size_t i = 0;
    while (n > 0 && i < text.size()) {
        ++i;
        while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) ++i;
        --n;
    }
    return text.substr(i);
}

}  // namespace

double parseLeadingNumber(std::string_view text)
{
    std::string compact;
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n') compact += c;

    std::size_t used = 0;
    if (auto radix = radixValue(compact, used)) return *radix;

    std::string_view rest = compact;
    double sign = 1;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        sign = rest[0] == '-' ? -1 : 1;
        rest.remove_prefix(1);
    }
    const std::string number = leadingDecimal(rest, used);
    if (number.empty()) return 0;
    return sign * decimalValue(number);
}

std::int32_t readHostHandle(std::string_view argumentText)
{
    const double number = parseLeadingNumber(afterCharacters(argumentText, 3));
    return roundHalfEvenToInt32(number).value_or(0);
}

std::optional<double> numericValue(std::string_view text)
{
    const std::string narrow = narrowed(text);
    std::string_view rest = narrow;
    while (!rest.empty() && isBlank(rest.front())) rest.remove_prefix(1);
    while (!rest.empty() && isBlank(rest.back())) rest.remove_suffix(1);

    double sign = 1;
    if (!rest.empty() && (rest[0] == '+' || rest[0] == '-')) {
        sign = rest[0] == '-' ? -1 : 1;
        rest.remove_prefix(1);
        while (!rest.empty() && isBlank(rest.front())) rest.remove_prefix(1);
    }

    std::size_t used = 0;
    if (auto radix = radixValue(rest, used)) {
        if (used <= 2 || used != rest.size()) return std::nullopt;
        return sign * *radix;
    }

    // Thousands separators may stand between the digits before the point.
    std::string plain;
    std::size_t i = 0;
    while (i < rest.size() && (isDigit(rest[i]) || (rest[i] == ',' && i > 0))) {
        if (rest[i] != ',') plain += rest[i];
        ++i;
    }
    plain += rest.substr(i);
    const std::string number = leadingDecimal(plain, used);
    if (number.empty() || used != plain.size()) return std::nullopt;
    return sign * decimalValue(number);
}

bool isNumeric(std::string_view text) { return numericValue(text).has_value(); }

std::optional<std::int16_t> roundHalfEvenToInt16(double value)
{
    return roundHalfEven<std::int16_t>(value);
}

std::optional<std::int32_t> roundHalfEvenToInt32(double value)
{
    return roundHalfEven<std::int32_t>(value);
}

std::optional<std::int16_t> settingNumber(std::string_view value)
{
    if (value.empty()) return 0;
    const auto number = numericValue(value);
    if (!number || !std::isfinite(*number)) return std::nullopt;
    const double whole = std::floor(*number);
    if (whole < std::numeric_limits<std::int16_t>::min() ||
        whole > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(whole);
}

std::string formatHashHash(int value)
{
    return value == 0 ? std::string() : std::to_string(value);
}

std::string formatSignBlank(int value)
{
    return value < 0 ? std::to_string(value) : " " + std::to_string(value);
}

}  // namespace tamaruka
