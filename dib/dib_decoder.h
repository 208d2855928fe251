#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

#include "dib/dib_image.h"

namespace tamaruka {

// Why a bitmap could not be decoded; each has one message for the user.
enum class DibError {
    UnknownFormat,    // header neither 12 nor 40 bytes, or cut short
    ConversionError,  // pixel data that cannot be turned into rows
    OutOfMemory,      // the pixel block cannot be allocated
};

// "Unknown DIB file format.", "Image file conversion error.", "Out of memory."
std::string_view dibErrorText(DibError error);

// Largest pixel block the decoder allocates; a bigger one is refused as an
// allocation that cannot be made, before any memory is touched.
inline constexpr std::size_t DibDefaultPixelLimit = std::size_t{1} << 30;

using DibDecodeResult = std::variant<DibImage, DibError>;

// Decodes a whole bitmap file held in memory: with or without the 14-byte
// "BM" file header, with a core or an info header; 1, 4, 8, 16, 24 and 32
// bits per pixel, uncompressed, BI_BITFIELDS (16 and 32 bits) and RLE8/RLE4.
// Every read is checked against file.size().
DibDecodeResult decodeDib(std::span<const std::uint8_t> file,
                          std::size_t maxPixelBytes = DibDefaultPixelLimit);

}  // namespace tamaruka
