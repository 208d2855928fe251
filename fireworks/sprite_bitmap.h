#pragma once
#include <cstdint>
#include <span>

namespace tamaruka {

// The particle sprite embedded in the front-end: a 3126-byte Windows BMP,
// 32 x 32 pixels, 24 bits, rows bottom-up, a soft grey glow on black. The
// bytes are generated at build time by tools/make_sprite.
std::span<const std::uint8_t> spriteBitmap();

}  // namespace tamaruka
