#pragma once
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace tamaruka {

// A 5 x 7 pixel font of the characters that the --fps text uses ("FPS: 59.9",
// "CPU: 23%", "-"), for displays without server-side fonts. Each row holds
// five bits, the leftmost pixel in bit 4; the top row comes first.
inline constexpr int GlyphWidth = 5;
inline constexpr int GlyphHeight = 7;
using GlyphRows = std::array<std::uint8_t, GlyphHeight>;

// The glyph of `c`; blank for a character the font lacks.
GlyphRows fpsGlyph(char c);

// How many screen pixels square each glyph pixel is drawn for a surface's
// buffer scale: as many, within reason.
constexpr int glyphPixelSize(int scale) { return std::clamp(scale, 1, 8); }
// A blank column after each glyph, two blank rows between lines.
constexpr int glyphAdvance(int pixelSize) { return (GlyphWidth + 1) * pixelSize; }
constexpr int glyphLineHeight(int pixelSize) { return (GlyphHeight + 2) * pixelSize; }
constexpr int glyphTextWidth(std::size_t characters, int pixelSize) {
    return static_cast<int>(characters) * glyphAdvance(pixelSize);
}

}  // namespace tamaruka
