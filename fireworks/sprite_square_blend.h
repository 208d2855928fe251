#pragma once
#include <cstddef>
#include <cstdint>
#include <span>

namespace tamaruka {

// The two texels a pixel's bilinear filter reads along one axis (texel
// offsets, already wrapped) and the second one's 8-bit weight.
struct TexelSpan {
    std::uint32_t first;
    std::uint32_t second;
    std::uint32_t weight;  // 0-255
};

// Adds one sprite square to 32-bit BGRX pixels, with llvmpipe's arithmetic:
// the 8-bit bilinear filter (each lerp v0 + round(w (v1 - v0) / 256), along
// the row first), the texel in float times the colour (blue, green, red)
// rounded half to even, times the alpha byte (a * b / 255 rounded), and a
// saturating add. topLeft is the pixel of the first column and row. A
// column's second tap must follow its first in memory (texel rows padded
// with their wrapped texel).
void blendSpriteSquare(const std::uint32_t* texels, std::span<const TexelSpan> columns,
                       std::span<const TexelSpan> rows, const float colour[3], std::uint32_t alpha,
                       std::uint8_t* topLeft, std::size_t bytesPerLine);

}  // namespace tamaruka
