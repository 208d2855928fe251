#pragma once
#include <cstddef>
#include <cstdint>

namespace tamaruka {

inline constexpr std::size_t DibFileHeaderSize = 14;
inline constexpr std::uint32_t DibCoreHeaderSize = 12;
inline constexpr std::uint32_t DibInfoHeaderSize = 40;

// Compression codes of the info header.
inline constexpr std::uint32_t DibRgb = 0;
inline constexpr std::uint32_t DibRle8 = 1;
inline constexpr std::uint32_t DibRle4 = 2;
inline constexpr std::uint32_t DibBitfields = 3;

// The fields of the 40-byte info header. A 12-byte core header is widened
// into one (its 16-bit sides without sign), keeping size 12 so that the
// colour table is known to hold 3-byte entries.
struct DibHeader {
    std::uint32_t size = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = DibRgb;
    std::uint32_t imageSize = 0;
    std::int32_t xPelsPerMeter = 0;
    std::int32_t yPelsPerMeter = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t coloursImportant = 0;
};

// Number of colour-table entries after the header: a core header always
// has a full table for its depth; an info header says so in its
// colours-used field (cut to 16 bits), or falls back on its depth.
std::uint16_t dibColorCount(const DibHeader& header);

}  // namespace tamaruka
