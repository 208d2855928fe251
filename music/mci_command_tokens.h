#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tamaruka {

struct MciToken {
    std::string text;
    bool quoted = false;
};

// Splits an MCI command string at blanks and tabs. A part in double quotation
// marks is one token and keeps its blanks (file names). Returns 0, or
// MCIERR_NO_CLOSING_QUOTE / MCIERR_EXTRA_CHARACTERS.
std::int32_t splitMciCommand(std::string_view command, std::vector<MciToken>& tokens);

// Keywords and device names are compared without regard to case.
std::string lowerAscii(std::string_view text);

}  // namespace tamaruka
