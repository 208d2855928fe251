#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tamaruka {

// The front-end's number rules: how it reads numbers out of text and how it
// writes them. Text is UTF-8; only ASCII characters can form a number.

// Reads the number at the start of the text, the way the host handle is read:
// blanks, tabs and line feeds are ignored wherever they stand; an optional
// sign; digits with a decimal point and an exponent (E, with its own sign);
// or "&H" with hexadecimal digits, "&O" with octal digits. Reading stops at
// the first character that cannot continue the number. A text without a
// number gives 0. Hexadecimal and octal digits are read as a plain magnitude.
double parseLeadingNumber(std::string_view text);

// The preview host's window handle from the argument text: the number read
// from the fourth character on (the first three are skipped whatever they
// are), rounded half to even; 0 when it does not fit 32 signed bits.
std::int32_t readHostHandle(std::string_view argumentText);

// The value of a text that is a number as a whole, in the runtime's numeric
// sense: blanks around it, a leading sign, digits with optional ","
// thousands separators, a decimal point, an exponent, or "&H"/"&O" forms.
// nullopt when the text is not a number (the empty text included).
std::optional<double> numericValue(std::string_view text);
bool isNumeric(std::string_view text);

// Nearest whole number, a half to the even neighbour; nullopt when the result
// does not fit (or the value is not finite).
std::optional<std::int16_t> roundHalfEvenToInt16(double value);
std::optional<std::int32_t> roundHalfEvenToInt32(double value);

// A settings value as LoadSettings reads it: the empty text gives 0; a number
// gives its integer part rounded towards minus infinity (1.9 -> 1,
// -0.5 -> -1); nullopt when the text is not a number or the result does not
// fit 16 bits (the setting then keeps its value).
std::optional<std::int16_t> settingNumber(std::string_view value);

// The "##" format: 0 gives the empty text, 7 gives "7", -5 gives "-5".
std::string formatHashHash(int value);

// The decimal form with a sign position: " 1", " 0", "-3".
std::string formatSignBlank(int value);

}  // namespace tamaruka
