#include "dib/dib_encoder.h"

#include <cstddef>

namespace tamaruka {
namespace {

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> encodeDib(const DibImage& image, int bitsPerPixel) {
    if ((bitsPerPixel != 24 && bitsPerPixel != 32) || !image.hasRows() ||
        image.pixels.size() != static_cast<std::size_t>(image.width) * image.height * 3)
        return {};
    const std::size_t width = static_cast<std::size_t>(image.width);
    const std::size_t height = static_cast<std::size_t>(image.height);
    const std::size_t bytesPerPixel = static_cast<std::size_t>(bitsPerPixel) / 8;
    const std::size_t rowSize = (width * bytesPerPixel + 3) & ~std::size_t{3};
    constexpr std::size_t headersSize = 14 + 40;

    std::vector<std::uint8_t> out(headersSize + rowSize * height, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<std::uint32_t>(out.size()));
    put32(out, 10, headersSize);
    put32(out, 14, 40);
    put32(out, 18, static_cast<std::uint32_t>(image.width));
    put32(out, 22, static_cast<std::uint32_t>(image.height));  // positive: bottom row first
    put16(out, 26, 1);
    put16(out, 28, static_cast<std::uint32_t>(bitsPerPixel));

    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t* rgb = &image.pixels[(y * width + x) * 3];
            const std::size_t at = headersSize + rowSize * y + x * bytesPerPixel;
            out[at] = rgb[2];
            out[at + 1] = rgb[1];
            out[at + 2] = rgb[0];
        }
    }
    return out;
}

}  // namespace tamaruka
