#pragma once
// The pixel converters behind decodeDib, one per storage form.
#include <cstddef>
#include <cstdint>
#include <span>

#include "dib/dib_header.h"

namespace tamaruka {

// A colour-table entry, already in output order.
struct DibColour {
    std::uint8_t red = 0, green = 0, blue = 0;
};

// One channel of a BI_BITFIELDS (or implied 5-5-5) pixel.
struct DibChannelMask {
    std::uint32_t mask = 0;
    unsigned shift = 0;
    unsigned bits = 0;

    // False for a mask whose set bits are not one contiguous run.
    bool describe(std::uint32_t value);
    std::uint8_t expand(std::uint32_t pixel) const;
};

struct DibChannelMasks {
    DibChannelMask red, green, blue;
};

// What the converters need to know of a bitmap with rows to convert.
struct DibPixelFormat {
    std::int32_t width = 0;
    std::int32_t rows = 0;  // positive: rows are stored bottom row first
    std::uint16_t bitCount = 0;
    std::span<const DibColour> palette;
    DibChannelMasks masks;  // for 16 and 32 bits
};

// Bytes of one stored row, padded to a multiple of 4.
std::uint64_t dibRowStride(std::int32_t width, std::uint16_t bitCount);
// Bytes of one stored row without its padding.
std::uint64_t dibRowBytes(std::int32_t width, std::uint16_t bitCount);

// Converts uncompressed rows into out (width x rows x 3 bytes). The caller
// has checked that data holds every row. False when a colour index lies
// past the colour table.
bool convertDibRows(const DibPixelFormat& format, std::span<const std::uint8_t> data,
                    std::uint8_t* out);

// Decodes an RLE8 (bitCount 8) or RLE4 (bitCount 4) stream into out, which
// the caller has zero-filled: pixels the stream skips stay black. False when
// the stream runs past data before its end-of-bitmap code, or when a colour
// index lies past the colour table.
bool decodeDibRle(const DibPixelFormat& format, std::span<const std::uint8_t> data,
                  std::uint8_t* out);

}  // namespace tamaruka
