#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace tamaruka {

// Conversions between UTF-8 and code page 932 (Shift_JIS as Windows uses it),
// through iconv "CP932".

// nullopt when the text has a character that code page 932 cannot hold.
std::optional<std::string> utf8ToCp932(std::string_view utf8);

// Bytes that are not valid code page 932 become U+FFFD.
std::string cp932ToUtf8(std::string_view cp932);

// True for a byte that starts a two-byte character in code page 932.
constexpr bool isCp932LeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace tamaruka
