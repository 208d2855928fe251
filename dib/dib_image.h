#pragma once
#include <cstdint>
#include <vector>

namespace tamaruka {

// A decoded bitmap: red, green, blue bytes per pixel, rows packed without
// filler, bottom row first (the order OpenGL takes texture rows in).
// pixels holds width x height x 3 bytes; a bitmap stored top-down (negative
// height) has no rows converted and so no pixels at all.
struct DibImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> pixels;

    bool hasRows() const { return width > 0 && height > 0 && !pixels.empty(); }
};

}  // namespace tamaruka
