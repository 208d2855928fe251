#include "dib/dib_pixel_rows.h"

#include <bit>

namespace tamaruka {

bool DibChannelMask::describe(std::uint32_t value) {
    mask = value;
    if (value == 0) {
        shift = bits = 0;
        return true;
    }
    shift = static_cast<unsigned>(std::countr_zero(value));
    bits = static_cast<unsigned>(std::popcount(value));
    // Contiguous when nothing is left above the run once it is shifted down.
    return shift + bits == 32 || (value >> (shift + bits)) == 0;
}

std::uint8_t DibChannelMask::expand(std::uint32_t pixel) const {
    if (bits == 0) return 0;
    std::uint32_t value = (pixel & mask) >> shift;
    if (bits >= 8) return static_cast<std::uint8_t>(value >> (bits - 8));
    // Repeat the bits downwards so that the largest value becomes 255.
    std::uint32_t wide = value << (8 - bits);
    for (unsigned have = bits; have < 8; have *= 2) wide |= wide >> have;
    return static_cast<std::uint8_t>(wide);
}

std::uint64_t dibRowBytes(std::int32_t width, std::uint16_t bitCount) {
    return (static_cast<std::uint64_t>(width) * bitCount + 7) / 8;
}

std::uint64_t dibRowStride(std::int32_t width, std::uint16_t bitCount) {
    return (static_cast<std::uint64_t>(width) * bitCount + 31) / 32 * 4;
}

namespace {

// Rows of colour-table indexes, 1, 4 or 8 bits each, high bits first.
bool convertIndexedRow(const DibPixelFormat& format, const std::uint8_t* source,
                       std::uint8_t* out) {
    const unsigned bitCount = format.bitCount;
    const unsigned perByte = 8 / bitCount;
    const unsigned valueMask = (1u << bitCount) - 1;
    const std::size_t tableSize = format.palette.size();
    for (std::int32_t x = 0; x < format.width; ++x) {
        const unsigned slot = static_cast<unsigned>(x) % perByte;
        const unsigned shift = 8 - bitCount * (slot + 1);
        const unsigned index = (source[static_cast<unsigned>(x) / perByte] >> shift) & valueMask;
        if (index >= tableSize) return false;
        const DibColour& colour = format.palette[index];
        *out++ = colour.red;
        *out++ = colour.green;
        *out++ = colour.blue;
    }
    return true;
}

void convertMaskedRow(const DibPixelFormat& format, const std::uint8_t* source,
                      std::uint8_t* out) {
    const DibChannelMasks& masks = format.masks;
    const bool wide = format.bitCount == 32;
    for (std::int32_t x = 0; x < format.width; ++x) {
        std::uint32_t pixel;
        if (wide) {
            pixel = std::uint32_t{source[0]} | std::uint32_t{source[1]} << 8 |
                    std::uint32_t{source[2]} << 16 | std::uint32_t{source[3]} << 24;
            source += 4;
        } else {
            pixel = std::uint32_t{source[0]} | std::uint32_t{source[1]} << 8;
            source += 2;
        }
        *out++ = masks.red.expand(pixel);
        *out++ = masks.green.expand(pixel);
        *out++ = masks.blue.expand(pixel);
    }
}

// Stored blue, green, red (and one unused byte for 32 bits).
template <unsigned Step>
void convertDirectRow(std::int32_t width, const std::uint8_t* source, std::uint8_t* out) {
    for (std::int32_t x = 0; x < width; ++x) {
        out[0] = source[2];
        out[1] = source[1];
        out[2] = source[0];
        out += 3;
        source += Step;
    }
}

}  // namespace

bool convertDibRows(const DibPixelFormat& format, std::span<const std::uint8_t> data,
                    std::uint8_t* out) {
    const std::uint64_t stride = dibRowStride(format.width, format.bitCount);
    const std::size_t outRow = static_cast<std::size_t>(format.width) * 3;
    const bool byteMasks = format.masks.red.mask == 0xFF0000 &&
                           format.masks.green.mask == 0xFF00 && format.masks.blue.mask == 0xFF;
    for (std::int32_t y = 0; y < format.rows; ++y) {
        const std::uint8_t* source = data.data() + static_cast<std::size_t>(y) * stride;
        std::uint8_t* row = out + static_cast<std::size_t>(y) * outRow;
        switch (format.bitCount) {
        case 1:
        case 4:
        case 8:
            if (!convertIndexedRow(format, source, row)) return false;
            break;
        case 24:
            convertDirectRow<3>(format.width, source, row);
            break;
        case 32:
            if (byteMasks) {
                convertDirectRow<4>(format.width, source, row);
            } else {
                convertMaskedRow(format, source, row);
            }
            break;
        default:  // 16
            convertMaskedRow(format, source, row);
            break;
        }
    }
    return true;
}

}  // namespace tamaruka
