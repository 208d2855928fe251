#include "frontend/run/sprite_picture.h"

#include <cstddef>

#include "fireworks/sprite_bitmap.h"

namespace tamaruka {

namespace {

std::uint32_t readLittleEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

}  // namespace

// The embedded file is the generator's fixed layout (24 bits, bottom-up, rows
// of 96 bytes), so only that layout is read here.
Bitmap spritePicture() {
    const std::span<const std::uint8_t> file = spriteBitmap();
    Bitmap picture;
    picture.width = static_cast<int>(readLittleEndian32(file, 18));
    picture.height = static_cast<int>(readLittleEndian32(file, 22));
    const std::size_t pixelOffset = readLittleEndian32(file, 10);
    const std::size_t rowBytes = (static_cast<std::size_t>(picture.width) * 3 + 3) & ~std::size_t{3};
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    for (int row = 0; row < picture.height; ++row) {
        const std::size_t fileRow = pixelOffset + (picture.height - 1 - row) * rowBytes;
        for (int column = 0; column < picture.width; ++column) {
            const std::uint8_t* bgr = &file[fileRow + column * 3];
            picture.pixels[static_cast<std::size_t>(row) * picture.width + column] =
                static_cast<std::uint32_t>(bgr[2]) << 16 | bgr[1] << 8 | bgr[0];
        }
    }
    return picture;
}

}  // namespace tamaruka
