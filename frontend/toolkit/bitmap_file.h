#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tamaruka {

// A picture in memory: rows top first, each pixel 0x00RRGGBB.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // width * height entries
};

// An uncompressed Windows BMP (14-byte file header, 40-byte info header,
// rows bottom first, each padded to 4 bytes), 24 or 32 bits per pixel.
// Empty when the bitmap is inconsistent or the depth is neither.
std::vector<std::uint8_t> encodeBmp(const Bitmap& bitmap, int bitsPerPixel);

// Writes the bitmap as such a BMP file: under a temporary name in the same
// folder (made when missing, readable by its owner only), renamed over the
// path. A symbolic link at the path is replaced itself; the file it names
// stays untouched. A failed write (a full disk, a file-size limit) leaves the
// old file and no temporary file behind. False when it was not written.
bool writeBmpFile(const std::string& path, const Bitmap& bitmap, int bitsPerPixel);

}  // namespace tamaruka
