#include "harness/harness.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <unordered_set>

namespace tamaruka::test {

Screenshot::Pixel Screenshot::at(int x, int y) const {
    const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
    return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

double Screenshot::meanBrightness() const {
    if (rgb.empty()) return 0.0;
    double sum = 0;
    for (std::uint8_t v : rgb) sum += v;
    return sum / static_cast<double>(rgb.size());
}

std::size_t Screenshot::countBrighterThan(int level) const {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        if (std::max({rgb[i], rgb[i + 1], rgb[i + 2]}) > level) ++count;
    return count;
}

std::size_t Screenshot::countWhite() const {
    std::size_t count = 0;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        if (rgb[i] == 255 && rgb[i + 1] == 255 && rgb[i + 2] == 255) ++count;
    return count;
}

std::size_t Screenshot::distinctColours() const {
    std::unordered_set<std::uint32_t> colours;
    for (std::size_t i = 0; i + 2 < rgb.size(); i += 3)
        colours.insert(static_cast<std::uint32_t>(rgb[i]) << 16 | rgb[i + 1] << 8 | rgb[i + 2]);
    return colours.size();
}

Screenshot Screenshot::crop(const Rect& r) const {
    Screenshot part;
    const int x0 = std::clamp(r.x, 0, width), y0 = std::clamp(r.y, 0, height);
    const int x1 = std::clamp(r.x + r.width, 0, width), y1 = std::clamp(r.y + r.height, 0, height);
    part.width = x1 - x0;
    part.height = y1 - y0;
    for (int y = y0; y < y1; ++y) {
        auto row = rgb.begin() + (static_cast<std::ptrdiff_t>(y) * width + x0) * 3;
        part.rgb.insert(part.rgb.end(), row, row + part.width * 3);
    }
    return part;
}

bool Screenshot::savePng(const std::string& path) const {
    if (width <= 0 || height <= 0) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = false;
    if (png && info && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                     PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < height; ++y)
            png_write_row(png, rgb.data() + static_cast<std::size_t>(y) * width * 3);
        png_write_end(png, nullptr);
        ok = true;
    }
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0 && ok;
}

}  // namespace tamaruka::test
