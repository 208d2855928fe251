#pragma once
#include <cstddef>
#include <cstdint>

namespace tamaruka {

// A frame in memory: 32-bit pixels, blue in the lowest byte, the top byte
// unused; rows top first, bytesPerLine apart.
struct FrameImage {
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::size_t bytesPerLine = 0;
};

}  // namespace tamaruka
