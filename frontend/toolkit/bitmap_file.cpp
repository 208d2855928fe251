#include "frontend/toolkit/bitmap_file.h"

#include "dib/dib_encoder.h"
#include "common/atomic_file.h"

namespace tamaruka {

DibImage toDibImage(const Bitmap& bitmap)
{
    DibImage image;
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height)
        return image;
    image.width = bitmap.width;
    image.height = bitmap.height;
    image.pixels.reserve(bitmap.pixels.size() * 3);
    for (int y = bitmap.height - 1; y >= 0; --y) {
        for (int x = 0; x < bitmap.width; ++x) {
            const std::uint32_t rgb = bitmap.pixels[static_cast<std::size_t>(y) * bitmap.width + x];
            image.pixels.insert(image.pixels.end(), {static_cast<std::uint8_t>(rgb >> 16),
                                                     static_cast<std::uint8_t>(rgb >> 8),
                                                     static_cast<std::uint8_t>(rgb)});
        }
    }
    return image;
}

Bitmap fromDibImage(const DibImage& image)
{
    Bitmap bitmap;
    if (!image.hasRows()) return bitmap;
    bitmap.width = image.width;
    bitmap.height = image.height;
    bitmap.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* rgb =
                &image.pixels[(static_cast<std::size_t>(image.height - 1 - y) * image.width + x) * 3];
            bitmap.pixels[static_cast<std::size_t>(y) * image.width + x] =
                static_cast<std::uint32_t>(rgb[0]) << 16 | rgb[1] << 8 | rgb[2];
        }
    }
    return bitmap;
}

std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap, int bitsPerPixel)
{
    return encodeDib(toDibImage(bitmap), bitsPerPixel);
}

bool writeBmpFile(const std::string& path, const Bitmap& bitmap, int bitsPerPixel)
{
    const std::vector<std::uint8_t> bytes = encodeBmp(bitmap, bitsPerPixel);
    if (bytes.empty()) return false;
    return replaceFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                                 true);
}

}  // namespace tamaruka
