#pragma once
#include <cstdint>
#include <vector>

#include "dib/dib_image.h"

namespace tamaruka {

// An uncompressed Windows BMP file of the picture: the 14-byte file header,
// the 40-byte info header (the image-size, resolution and colour fields 0),
// rows bottom first, each padded to 4 bytes; 24 or 32 bits a pixel. Empty
// when the picture has no rows, its pixels do not match its size, or the
// depth is neither.
std::vector<std::uint8_t> encodeDib(const DibImage& image, int bitsPerPixel);

}  // namespace tamaruka
