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

// Longest side taken when the caller knows no texture limit (what Mesa's
// software renderer reports as GL_MAX_TEXTURE_SIZE).
inline constexpr std::int32_t DibDefaultMaxSide = 16384;

// Black a run-length stream may leave unpainted beyond what its codes paint:
// a 1024 x 1024 picture at 3 bytes a pixel, with room to spare.
inline constexpr std::size_t DibRleBlankAllowance = std::size_t{4} << 20;

// What a decode may cost. A bitmap with a side longer than maxSide is refused
// as unconvertible: no texture could take it.
struct DibLimits {
    std::int32_t maxSide = DibDefaultMaxSide;
    std::size_t maxPixelBytes = DibDefaultPixelLimit;
};

// The largest pixel block a run-length stream of streamBytes can ask for: a
// two-byte run paints at most 255 pixels (765 bytes), plus the blank
// allowance. Uncompressed data costs at most 24 output bytes per stored byte
// (1 bit a pixel), well inside the same bound.
std::uint64_t dibRlePixelBytesBound(std::size_t streamBytes);

using DibDecodeResult = std::variant<DibImage, DibError>;

// Decodes a whole bitmap file held in memory: with or without the 14-byte
// "BM" file header, with a core or an info header; 1, 4, 8, 16, 24 and 32
// bits per pixel, uncompressed, BI_BITFIELDS (16 and 32 bits) and RLE8/RLE4.
// Every read is checked against file.size(). The pixel block of a
// run-length bitmap is bounded by dibRlePixelBytesBound of its stream; a
// bigger one is refused as unconvertible.
DibDecodeResult decodeDib(std::span<const std::uint8_t> file, const DibLimits& limits = {});

}  // namespace tamaruka
