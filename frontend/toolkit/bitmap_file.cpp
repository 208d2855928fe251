#include "frontend/toolkit/bitmap_file.h"

#include "settings/atomic_file.h"

namespace tamaruka {
namespace {

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value)
{
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

}  // namespace

std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap, int bitsPerPixel)
{
    if ((bitsPerPixel != 24 && bitsPerPixel != 32) || bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height)
        return {};
    const std::size_t bytesPerPixel = static_cast<std::size_t>(bitsPerPixel) / 8;
    const std::size_t rowSize = (bitmap.width * bytesPerPixel + 3) & ~std::size_t{3};
    const std::size_t imageSize = rowSize * bitmap.height;
    constexpr std::size_t headersSize = 14 + 40;

    std::vector<std::uint8_t> out(headersSize + imageSize, 0);
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, static_cast<std::uint32_t>(out.size()));
    put32(out, 10, headersSize);
    put32(out, 14, 40);
    put32(out, 18, static_cast<std::uint32_t>(bitmap.width));
    put32(out, 22, static_cast<std::uint32_t>(bitmap.height));  // positive: bottom row first
    put16(out, 26, 1);
    put16(out, 28, static_cast<std::uint32_t>(bitsPerPixel));
    put32(out, 30, 0);  // no compression
    put32(out, 34, static_cast<std::uint32_t>(imageSize));

    for (int y = 0; y < bitmap.height; ++y) {
        const std::size_t row = headersSize + rowSize * (bitmap.height - 1 - y);
        for (int x = 0; x < bitmap.width; ++x) {
            const std::uint32_t rgb = bitmap.pixels[static_cast<std::size_t>(y) * bitmap.width + x];
            const std::size_t at = row + x * bytesPerPixel;
            out[at] = static_cast<std::uint8_t>(rgb);            // blue
            out[at + 1] = static_cast<std::uint8_t>(rgb >> 8);   // green
            out[at + 2] = static_cast<std::uint8_t>(rgb >> 16);  // red
        }
    }
    return out;
}

bool writeBmpFile(const std::string& path, const Bitmap& bitmap, int bitsPerPixel)
{
    const std::vector<std::uint8_t> bytes = encodeBmp(bitmap, bitsPerPixel);
    if (bytes.empty()) return false;
    return replaceFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                                 true);
}

}  // namespace tamaruka
