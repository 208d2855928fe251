#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "dib/dib_image.h"

namespace tamaruka {

// A picture in memory: rows top first, each pixel 0x00RRGGBB.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height entries
};

// The same picture in the bitmap codec's form (RGB bytes, bottom row first),
// and back; an inconsistent bitmap gives one without rows.
DibImage toDibImage(const Bitmap& bitmap);
Bitmap fromDibImage(const DibImage& image);

// An uncompressed Windows BMP (encodeDib), 24 or 32 bits per pixel. Empty
// when the bitmap is inconsistent or the depth is neither.
std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap, int bitsPerPixel);

// Writes the bitmap as such a BMP file: under a temporary name in the same
// folder (made when missing, readable by its owner only), renamed over the
// path. A symbolic link at the path is replaced itself; the file it names
// stays untouched. A failed write (a full disk, a file-size limit) leaves the
// old file and no temporary file behind. False when it was not written.
bool writeBmpFile(const std::string& path, const Bitmap& bitmap, int bitsPerPixel);

}  // namespace tamaruka
