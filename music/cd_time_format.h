#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "music/cd_drive.h"
#include "music/mci_device.h"

namespace tamaruka {

// Positions of the CD device in its three time formats:
//   tmsf          "tt:mm:ss:ff", track and the time into that track
//   msf           "mm:ss:ff", the disc address (the first track starts at 00:02:00)
//   milliseconds  the disc address in milliseconds
std::string formatCdPosition(std::int32_t sector, MciTimeFormat format, const CdTableOfContents& toc);

// A duration ("length"): "mm:ss:ff" in tmsf and msf, milliseconds otherwise.
std::string formatCdLength(std::int32_t frames, MciTimeFormat format);

// Reads a position given in a command. Trailing fields may be left out
// ("3" is the start of track 3 in tmsf). Returns 0 with sector set, or
// MCIERR_BAD_INTEGER / MCIERR_OUTOFRANGE.
std::int32_t parseCdPosition(std::string_view text, MciTimeFormat format, const CdTableOfContents& toc,
                             std::int32_t& sector);

}  // namespace tamaruka
