#pragma once
#include <cstddef>
#include <cstdint>

namespace tamaruka {

// A frame in memory: 32-bit pixels, blue in the lowest byte; rows top first,
// bytesPerLine apart. The top byte is unused, or the pixel's alpha (a 32-bit
// window's), which the frame keeps opaque.
struct FrameImage {
    std::uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    std::size_t bytesPerLine = 0;
    bool alphaInTopByte = false;
};

}  // namespace tamaruka
