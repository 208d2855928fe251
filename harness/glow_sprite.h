#pragma once
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace tamaruka::test {

// Writes a 32 x 32 24-bit bitmap of a grey glow on black, like the sprite the
// front-end writes, so that the renderer's loader finds its file.
inline void writeGlowSprite(const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    const int size = 32;
    const int pixelBytes = size * size * 3;
    std::vector<unsigned char> bmp(54 + pixelBytes, 0);
    auto put32 = [&](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<unsigned char>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<std::uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, size);
    put32(22, size);
    bmp[26] = 1;
    bmp[28] = 24;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double dx = x - 15.5, dy = y - 15.5;
            const double glow = std::max(0.0, 1.0 - std::sqrt(dx * dx + dy * dy) / 16.0);
            const auto level = static_cast<unsigned char>(254 * glow * glow);
            for (int c = 0; c < 3; ++c) bmp[54 + (y * size + x) * 3 + c] = level;
        }
    }
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
}

}  // namespace tamaruka::test
