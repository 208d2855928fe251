#pragma once
#include <array>
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

}  // namespace tamaruka
