// dibdump FILE: decodes a bitmap with the renderer's own loader and prints
// "width W height H", then the loader's output rows (bottom row first) as
// lowercase hex, red, green, blue per pixel. On failure it prints the
// loader's message exactly as formed, on the same output, and exits 1.
#include <cstdio>
#include <string>

#include "dib/dib_loader.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: dibdump FILE\n", stderr);
        return 2;
    }
    std::string message;
    const auto image = tamaruka::loadDibImage(
        argv[1], [&message](const std::string& text) { message = text; });
    if (!image) {
        std::fwrite(message.data(), 1, message.size(), stdout);
        return 1;
    }
    std::printf("width %d height %d\n", image->width, image->height);
    if (!image->hasRows()) return 0;

    static const char digits[] = "0123456789abcdef";
    const std::size_t rowBytes = static_cast<std::size_t>(image->width) * 3;
    std::string line(rowBytes * 2 + 1, '\n');
    for (std::size_t row = 0; row < static_cast<std::size_t>(image->height); ++row) {
        const std::uint8_t* bytes = image->pixels.data() + row * rowBytes;
        for (std::size_t i = 0; i < rowBytes; ++i) {
            line[2 * i] = digits[bytes[i] >> 4];
            line[2 * i + 1] = digits[bytes[i] & 0x0F];
        }
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
